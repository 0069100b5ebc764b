# The lists, the search and the window modes, driven through the controls.
add_executable(main_window_lists_tests
    ${CMAKE_CURRENT_LIST_DIR}/ListsAndSearchTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ModesTest.cpp
)
target_link_libraries(main_window_lists_tests PRIVATE larderon_app_test_support SQLite::SQLite3)
gtest_discover_tests(main_window_lists_tests TEST_PREFIX "main_window." DISCOVERY_TIMEOUT 60)
