#pragma once
// Runs the registered benchmarks inside a QApplication, headless unless told otherwise.

int RunQtBenchmarks(int argc, char** argv);
