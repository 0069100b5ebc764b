#include "QtBenchMain.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include "support/HeadlessQt.h"

int RunQtBenchmarks(int argc, char** argv) {
    PrepareHeadlessQt();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
