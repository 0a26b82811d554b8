# The multimedia timer's pacing at the transfer's 50 ms period, idle and with a busy core, and
# the CPU cost of one standard-programmer burst.
add_executable(timer_bench ${CMAKE_CURRENT_LIST_DIR}/timer_bench.cpp)
target_link_libraries(timer_bench PRIVATE lumora_core)
