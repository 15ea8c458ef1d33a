# The computer player: search, stored-answer look-up on a 100 MB file (against grep -c), self-play.
add_executable(kelvara-bench-player ${CMAKE_CURRENT_LIST_DIR}/PlayerBench.cpp)
target_link_libraries(kelvara-bench-player PRIVATE kelvara_player benchmark::benchmark)
