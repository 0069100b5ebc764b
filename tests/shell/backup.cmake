# Backup and Restore from the File menu.
add_executable(shell_backup_tests
    ${CMAKE_CURRENT_LIST_DIR}/BackupRestoreTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BackupRoundTripTest.cpp
)
target_link_libraries(shell_backup_tests PRIVATE larderon_app_test_support)
# The damaged-file test must end even if a restore waits for lines that never come.
gtest_discover_tests(shell_backup_tests TEST_PREFIX "shell." DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300)
