# lumora-cli's check and image of a full project, timed as whole runs of the executable.
add_executable(cli_bench ${CMAKE_CURRENT_LIST_DIR}/cli_bench.cpp)
target_link_libraries(cli_bench PRIVATE lumora_core)
target_include_directories(cli_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(cli_bench PRIVATE
  LUMORA_CLI_FROM_BENCH="$<PATH:RELATIVE_PATH,$<TARGET_FILE:lumora-cli>,$<TARGET_FILE_DIR:cli_bench>>")
add_dependencies(cli_bench lumora-cli)
