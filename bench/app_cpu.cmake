# Processor time of the program's windows, idle and playing, and the cost of one preview tick;
# on a display also beside the bare Qt window of app.cmake.
if(LUMORA_WITH_QT)
  add_executable(app_cpu_bench ${CMAKE_CURRENT_LIST_DIR}/app_cpu_bench.cpp)
  target_link_libraries(app_cpu_bench PRIVATE lumora_program_windows lumora_ftdi PkgConfig::XCB)
  target_include_directories(app_cpu_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(app_cpu_bench PRIVATE
    BARE_WINDOW_FROM_BENCH="$<PATH:RELATIVE_PATH,$<TARGET_FILE:bare_window>,$<TARGET_FILE_DIR:app_cpu_bench>>"
    LUMORA_FROM_BENCH="$<PATH:RELATIVE_PATH,$<TARGET_FILE:lumora>,$<TARGET_FILE_DIR:app_cpu_bench>>")
  add_dependencies(app_cpu_bench bare_window lumora)
endif()
