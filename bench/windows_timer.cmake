# The timer thread's pacing at the transfer's 50 ms period beside the system's multimedia timer,
# idle and with every core busy.
add_executable(windows_timer_bench ${CMAKE_CURRENT_LIST_DIR}/windows_timer_bench.cpp)
target_link_libraries(windows_timer_bench PRIVATE lumora_core winmm)
