# The multimedia timer's pacing at the transfer's 50 ms period, idle and with busy cores, with
# the scheduling class the timer thread got, and the CPU cost of one standard-programmer burst.
# It asks the desktop's real-time service as the application does, so it comes with the toolkit.
if(LUMORA_WITH_QT AND NOT WIN32)
  add_executable(timer_bench ${CMAKE_CURRENT_LIST_DIR}/timer_bench.cpp)
  target_link_libraries(timer_bench PRIVATE lumora_core lumora_realtime_kit)
endif()
