# Saving and reading the sequence and project files against a plain fprintf/fscanf loop.
add_executable(file_formats_bench ${CMAKE_CURRENT_LIST_DIR}/file_formats_bench.cpp)
target_link_libraries(file_formats_bench PRIVATE lumora_core)
