# Widget tests of the desktop window and the start dialog. Each test runs in a process of its
# own (gtest_discover_tests) inside a temporary working directory holding copies of set/ and
# res/, with QT_QPA_PLATFORM=offscreen.
if(KELVARA_GUI)
  add_executable(kelvara-gui-tests
    GuiTestMain.cpp
    GuiFixture.cpp
    PlayerBookTest.cpp
    CSGDlgTest.cpp
    MainDialogTest.cpp
    GamePlayTest.cpp
  )
  target_include_directories(kelvara-gui-tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  target_link_libraries(kelvara-gui-tests PRIVATE kelvara_gui Qt6::Test GTest::gtest)
  target_compile_definitions(kelvara-gui-tests PRIVATE
    KELVARA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(kelvara-gui-tests
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120
    DISCOVERY_TIMEOUT 60)

  # The program itself refuses to start without any display, in one line.
  add_test(NAME kelvara-without-display
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
            --unset=QT_QPA_PLATFORM $<TARGET_FILE:kelvara>)
  set_tests_properties(kelvara-without-display PROPERTIES
    PASS_REGULAR_EXPRESSION "no display found")
endif()
