# Retrograde solver of the whole game: plain C++, no Qt.
add_library(kelvara_solver STATIC
  ${CMAKE_CURRENT_LIST_DIR}/PositionIndex.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PositionRules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PositionSymmetry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PositionValue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Solver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SolverChecker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PerfectPlayer.cpp
)
target_include_directories(kelvara_solver PUBLIC ${CMAKE_CURRENT_LIST_DIR})
# The solve is the hot loop of the whole program; optimise it fully except in debug builds.
target_compile_options(kelvara_solver PRIVATE $<$<NOT:$<CONFIG:Debug>>:-O3>)
find_package(Threads REQUIRED)
target_link_libraries(kelvara_solver PUBLIC Threads::Threads)

add_executable(kelvara-solve ${CMAKE_CURRENT_LIST_DIR}/solve_main.cpp)
target_link_libraries(kelvara-solve PRIVATE kelvara_solver)
