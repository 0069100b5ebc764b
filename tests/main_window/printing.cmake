# Page setup, the printing menu items and printing a recipe from the main window.
add_executable(main_window_printing_tests
    ${CMAKE_CURRENT_LIST_DIR}/PrintingTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PageSetupTest.cpp
)
target_link_libraries(main_window_printing_tests PRIVATE larderon_app_test_support)
# A print that hangs fails instead of holding the run up.
gtest_discover_tests(main_window_printing_tests TEST_PREFIX "main_window." DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120)
