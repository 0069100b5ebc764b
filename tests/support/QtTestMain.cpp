// The main of the test programs that need Qt widgets: tests run headless unless told otherwise.

#include <gtest/gtest.h>

#include <QApplication>

#include "support/HeadlessQt.h"

int main(int argc, char** argv) {
    PrepareHeadlessQt();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
