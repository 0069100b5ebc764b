// One keystroke in the search field, from the text change to the filled recipe list, measured
// through the real window; beside it the engine alone running the same statement, so that the
// share the window adds on top of the query is plain.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <QWidget>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

#include "BenchDatabase.h"
#include "QtBenchMain.h"
#include "MainForm.h"
#include "database/Database.h"
#include "support/LarderonHarness.h"
#include "support/TempDir.h"
#include "support/TestDatabase.h"

namespace {

using Clock = std::chrono::steady_clock;

// The statement the window runs for the search text "e" with the filter on "All" and the
// option "Contains".
const char* const kSearchStatement = "SELECT * FROM Recipe  WHERE Name LIKE '%e%' ORDER BY Name";

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// With the engine settings the app's connection has, so that the ratio compares like with like.
std::unique_ptr<sqlite3, int (*)(sqlite3*)> OpenEngine(const std::filesystem::path& file) {
    sqlite3* raw = nullptr;
    sqlite3_open_v2(file.c_str(), &raw, kDatabaseOpenFlags, nullptr);
    sqlite3_exec(raw, kDatabaseConnectionSettings, nullptr, nullptr, nullptr);
    return {raw, sqlite3_close};
}

// Runs the statement and reads every row's Name and RecipeId, as a refill does; returns the
// row count.
int RunSearch(sqlite3* db) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, kSearchStatement, -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    int rows = 0;
    std::size_t bytes = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        bytes +=
            std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1))).size();
        bytes +=
            std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))).size();
        ++rows;
    }
    sqlite3_finalize(statement);
    benchmark::DoNotOptimize(bytes);
    return rows;
}

void Fill(Database& db, int recipes) {
    bench::FillRecipeBook(db.DatabaseFile(), bench::BookShape{recipes});
}

// Each iteration types "e" into the empty search field (timed), runs the engine alone on the
// same statement (timed apart), then erases the "e" again (untimed).
void BM_SearchKeystroke(benchmark::State& state) {
    const int recipes = static_cast<int>(state.range(0));
    LarderonHarness h(LarderonHarness::Options{true, [&](Database& db) { Fill(db, recipes); }});
    h.Start();
    class MainForm& form = h.Form();
    form.NativeWidget()->show();
    QCoreApplication::processEvents();
    QWidget* field = form.txtSearch().NativeWidget();
    // The keystroke ends with the list painted.
    QWidget* list = static_cast<QAbstractItemView*>(form.lstRecipe().NativeWidget())->viewport();
    auto engine = OpenEngine(h.DatabasePath());

    double window = 0, alone = 0;
    int listed = 0, found = 0;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        QTest::keyClick(field, Qt::Key_E);
        QCoreApplication::processEvents();
        list->repaint();
        Clock::time_point shown = Clock::now();
        found = RunSearch(engine.get());
        Clock::time_point queried = Clock::now();
        listed = form.lstRecipe().ListCount();
        QTest::keyClick(field, Qt::Key_Backspace);
        QCoreApplication::processEvents();

        state.SetIterationTime(Seconds(shown - start));
        window += Seconds(shown - start);
        alone += Seconds(queried - shown);
    }
    if (listed != found)
        state.SkipWithError("the window lists other rows than the statement finds");
    using benchmark::Counter;
    state.counters["window_ms"] = Counter(window * 1e3, Counter::kAvgIterations);
    state.counters["engine_ms"] = Counter(alone * 1e3, Counter::kAvgIterations);
    state.counters["window/engine"] = alone > 0 ? window / alone : 0;
    state.counters["rows"] = listed;
}
BENCHMARK(BM_SearchKeystroke)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The engine alone, with nothing of the window around it.
void BM_SearchEngineAlone(benchmark::State& state) {
    TempDir dir;
    std::filesystem::path file = MakeTestDatabase(dir.path());
    bench::FillRecipeBook(file, bench::BookShape{static_cast<int>(state.range(0))});
    auto engine = OpenEngine(file);
    int rows = 0;
    for (auto _ : state) rows = RunSearch(engine.get());
    state.counters["rows"] = rows;
}
BENCHMARK(BM_SearchEngineAlone)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
