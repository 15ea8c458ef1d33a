# The wire protocol and the stream splitter: plain C++.
add_library(kelvara_wire STATIC
  ${CMAKE_CURRENT_LIST_DIR}/WireProtocol.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StreamSplitter.cpp
)
target_include_directories(kelvara_wire PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(kelvara_wire PUBLIC kelvara_core)

if(KELVARA_GUI)
  # Sockets and dialogs of network play.
  add_library(kelvara_net STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CInfoInput.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CInfoNotice.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GameConnection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InvitationClient.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InvitationListener.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NetMessageBox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NetworkHub.cpp
  )
  target_include_directories(kelvara_net PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(kelvara_net PUBLIC kelvara_core kelvara_wire kelvara_gbk
    Qt6::Network Qt6::Widgets)
endif()

if(KELVARA_GUI AND EXISTS ${PROJECT_SOURCE_DIR}/app/MainDialog.h)
  # The main window and the start dialog with network play wired in.
  add_library(kelvara_netgui STATIC
    ${CMAKE_CURRENT_LIST_DIR}/NetMainDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NetStartDialog.cpp
  )
  target_include_directories(kelvara_netgui PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(kelvara_netgui PUBLIC kelvara_net kelvara_gui)
endif()
