#include <QApplication>

#include "Startup.h"

int main(int argc, char** argv) {
    QApplication runtime(argc, argv);
    QApplication::setApplicationName("Larderon");
    return RunLarderon();
}
