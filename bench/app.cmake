# Start-up of the main window, its memory and the cost of a grid redraw with a display refresh;
# on a display also the program's start and memory beside a bare Qt window (bare_window), which
# app_cpu.cmake measures too.
if(LUMORA_WITH_QT)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
  add_executable(bare_window ${CMAKE_CURRENT_LIST_DIR}/bare_window.cpp)
  target_link_libraries(bare_window PRIVATE Qt6::Widgets)

  add_executable(app_startup_bench ${CMAKE_CURRENT_LIST_DIR}/app_startup_bench.cpp)
  target_link_libraries(app_startup_bench PRIVATE lumora_widgets PkgConfig::XCB)
  target_include_directories(app_startup_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(app_startup_bench PRIVATE
    BARE_WINDOW_FROM_BENCH="$<PATH:RELATIVE_PATH,$<TARGET_FILE:bare_window>,$<TARGET_FILE_DIR:app_startup_bench>>"
    LUMORA_FROM_BENCH="$<PATH:RELATIVE_PATH,$<TARGET_FILE:lumora>,$<TARGET_FILE_DIR:app_startup_bench>>")
  add_dependencies(app_startup_bench bare_window lumora)
endif()
