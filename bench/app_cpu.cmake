# Processor time of the main window, idle and playing, and the cost of one preview tick.
if(LUMORA_WITH_QT)
  add_executable(app_cpu_bench ${CMAKE_CURRENT_LIST_DIR}/app_cpu_bench.cpp)
  target_link_libraries(app_cpu_bench PRIVATE lumora_widgets Qt6::Test)
endif()
