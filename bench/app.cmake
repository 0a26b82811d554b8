# Start-up of the main window, its memory and the cost of a grid redraw with a display refresh.
if(LUMORA_WITH_QT)
  add_executable(app_startup_bench ${CMAKE_CURRENT_LIST_DIR}/app_startup_bench.cpp)
  target_link_libraries(app_startup_bench PRIVATE lumora_widgets)
  target_include_directories(app_startup_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
endif()
