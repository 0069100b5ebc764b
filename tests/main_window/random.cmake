# Long random sequences of a person's actions in the main window, checked after every step.
add_executable(main_window_random_tests
    ${CMAKE_CURRENT_LIST_DIR}/RandomActionsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RandomActionsPerson.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RandomActionsChecks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RandomActionsBook.cpp
)
target_link_libraries(main_window_random_tests PRIVATE larderon_app_test_support)
gtest_discover_tests(main_window_random_tests TEST_PREFIX "main_window." DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300)
