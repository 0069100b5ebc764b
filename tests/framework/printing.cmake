# Printing, pictures and painting surfaces. Included from this folder's CMakeLists.txt; paths are
# relative to this file so that it does not matter who includes it.
add_executable(larderon_printing_tests
    ${CMAKE_CURRENT_LIST_DIR}/PrinterSetupTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StyledTextPrinterTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PdfPrintingTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PictureTest.cpp
)
target_link_libraries(larderon_printing_tests PRIVATE larderon_qt_test_support larderon_framework)
include(GoogleTest)
gtest_discover_tests(larderon_printing_tests TEST_PREFIX "framework." DISCOVERY_TIMEOUT 60)
