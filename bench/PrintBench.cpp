// Printing a recipe with long directions through the real window, from the press of Print to
// the PDF file written: ordinary lines of 100 KB and 1 MB on the job the print dialog offers when
// nothing is set up (A4 less Qt's margins) and on A5 chosen in the dialog, and one unbroken line
// of 512 KiB, as a restore may bring in, beside 512 KiB of ordinary lines.
//
// The print dialog is answered as Qt's own dialog answers when the person picks "Print to File"
// and, for A5, other paper: through fw::OpenPrintJob, which hands the dialog the job's QPrinter
// and starts the job on the printer as the dialog left it. The file is a real PDF, so the figure
// holds what a printer would cost: laying out at the printer's resolution and drawing every line.
//
//   larderon_print_bench [--benchmark_filter=...]

#include <benchmark/benchmark.h>

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QString>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "BenchDatabase.h"
#include "MainForm.h"
#include "QtBenchMain.h"
#include "database/Database.h"
#include "framework/PrintDialogsQt.h"
#include "framework/Printing.h"
#include "support/LarderonHarness.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kRecipe = "Huge Recipe";

// range(0): bytes of directions; range(1): 1 for one unbroken line; range(2): 1 for A5 paper
// chosen in the print dialog.
void BM_PrintRecipe(benchmark::State& state) {
    const std::size_t bytes = static_cast<std::size_t>(state.range(0));
    const bool oneLine = state.range(1) == 1;
    const bool a5 = state.range(2) == 1;
    const std::string directions = bench::HugeDirections(bytes, oneLine);
    LarderonHarness h(LarderonHarness::Options{true, [&directions](Database& db) {
        db.SQLExecute("INSERT INTO Recipe (Name, CategoryId, Directions) VALUES (?, 1, ?)",
                      {SqlValue(std::string(kRecipe)), SqlValue(directions)});
    }});
    h.Start();
    class MainForm& form = h.Form();
    form.lstRecipe().SelectRowAsUser(0);
    if (form.txtDirections().Text().size() != bytes) {
        state.SkipWithError("the recipe was not shown");
        return;
    }

    TempDir dir;
    const fs::path pdf = dir.path() / "recipe.pdf";
    double pages = 0;
    for (auto _ : state) {
        h.Dialogs().ExpectPrint([&](const fw::PrinterSetup* setup) {
            return fw::OpenPrintJob(setup, [&](QPrinter& printer) {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(QString::fromStdString(pdf.string()));
                if (a5)
                    printer.setPageSize(QPageSize(QPageSize::A5));
                return true;
            });
        });
        const Clock::time_point start = Clock::now();
        form.btnPrintRecipe().Push();  // the job is written when the window drops its surface
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (!h.Dialogs().AllAnswered() || !h.Dialogs().Messages().empty() || !fs::exists(pdf)) {
            state.SkipWithError("the recipe was not printed");
            return;
        }
        pages = std::stod(form.txtPageNum().Text().substr(2));
        fs::remove(pdf);
    }
    state.counters["pages"] = pages;
}

BENCHMARK(BM_PrintRecipe)
    ->ArgNames({"bytes", "one_line", "a5"})
    ->Args({100'000, 0, 0})
    ->Args({100'000, 0, 1})
    ->Args({1'000'000, 0, 0})
    ->Args({1'000'000, 0, 1})
    ->Args({512 * 1024, 0, 0})
    ->Args({512 * 1024, 1, 0})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
