# Computer player (evaluation, one-step search, stored answers) and the kelvara-engine front end.
add_library(kelvara_player STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ComputerPlayer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExperienceStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EngineProtocol.cpp
)
target_include_directories(kelvara_player PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(kelvara_player PUBLIC kelvara_core)

add_executable(kelvara-engine ${CMAKE_CURRENT_LIST_DIR}/engine_main.cpp)
target_link_libraries(kelvara-engine PRIVATE kelvara_player)
