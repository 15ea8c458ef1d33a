# The Qt desktop application: the main window, its drawing, the start dialog and the about box
# (library kelvara_gui, shared with the GUI tests) and the program itself (build/app/kelvara).
add_library(kelvara_gui STATIC
  AboutDialog.cpp
  BoardCanvas.cpp
  CSGDlg.cpp
  InputBlocker.cpp
  MainDialog.cpp
  Messages.cpp
  PlayerBook.cpp
  ${PROJECT_SOURCE_DIR}/res/kelvara.qrc
)
target_include_directories(kelvara_gui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kelvara_gui
  PUBLIC kelvara_core kelvara_player kelvara_settings kelvara_gbk Qt6::Widgets)

add_executable(kelvara main.cpp)
target_link_libraries(kelvara PRIVATE kelvara_gui kelvara_netgui)
