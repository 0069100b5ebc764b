add_executable(main_window_layout_tests ${CMAKE_CURRENT_LIST_DIR}/LayoutTest.cpp)
# Qt private API: the test turns accessibility on as the platform does when a screen reader listens.
target_link_libraries(main_window_layout_tests PRIVATE larderon_app_test_support Qt6::GuiPrivate)
gtest_discover_tests(main_window_layout_tests TEST_PREFIX "main_window." DISCOVERY_TIMEOUT 60)
