# Full solve of the game, retrograde and (for comparison) a sweep of the smaller slices.
add_executable(kelvara-solver-bench ${CMAKE_CURRENT_LIST_DIR}/SolverBench.cpp)
target_link_libraries(kelvara-solver-bench PRIVATE kelvara_solver benchmark::benchmark)
