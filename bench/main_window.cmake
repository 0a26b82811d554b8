add_executable(model_bench ${CMAKE_CURRENT_LIST_DIR}/model_bench.cpp)
target_link_libraries(model_bench PRIVATE lumora_core)
