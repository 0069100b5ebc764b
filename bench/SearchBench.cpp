// One keystroke in the search field, from the text change to the filled recipe list, measured
// through the real window, for each search option; beside it the engine alone running the same
// statement with its own LIKE (A-Z folded only) and with the app's (every letter folded), so that
// both the window's share and the price of folding every letter are plain; and a search for a
// run of wildcards in very long names, with either LIKE.

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
#include "MainForm.h"
#include "QtBenchMain.h"
#include "database/Database.h"
#include "database/FoldingLike.h"
#include "support/LarderonHarness.h"
#include "support/TempDir.h"
#include "support/TestDatabase.h"

namespace {

using Clock = std::chrono::steady_clock;

// The search options in the order of the window's pop-up, and the statement the window runs for
// the search text "e" with the filter on "All" under each.
const char* const kOptionNames[] = {"contains", "is exactly", "begins with", "ends with"};
const char* const kPatterns[] = {"'%e%'", "'e'", "'e%'", "'%e'"};

std::string SearchStatement(int option) {
    return std::string("SELECT * FROM Recipe  WHERE Name LIKE ") + kPatterns[option] +
           " ORDER BY Name";
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

enum class Like { kEngines, kApps };

// With the engine settings the app's connection has, so that the ratio compares like with like;
// with the engine's own LIKE, or with the one the app's connection puts in its place.
std::unique_ptr<sqlite3, int (*)(sqlite3*)> OpenEngine(const std::filesystem::path& file,
                                                       Like like) {
    sqlite3* raw = nullptr;
    sqlite3_open_v2(file.c_str(), &raw, kDatabaseOpenFlags, nullptr);
    sqlite3_exec(raw, kDatabaseConnectionSettings, nullptr, nullptr, nullptr);
    if (like == Like::kApps)
        RegisterFoldingLike(raw);
    return {raw, sqlite3_close};
}

// Runs the statement and reads every row's Name and RecipeId, as a refill does; returns the
// row count.
int RunSearch(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
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

// Each iteration types "e" into the empty search field under one option (timed), runs the engine
// alone on the same statement with its own LIKE and then with the app's (timed apart), then
// erases the "e" again (untimed).
void BM_SearchKeystroke(benchmark::State& state) {
    const int recipes = static_cast<int>(state.range(0));
    const int option = static_cast<int>(state.range(1));
    state.SetLabel(kOptionNames[option]);
    const std::string statement = SearchStatement(option);
    LarderonHarness h(LarderonHarness::Options{true, [&](Database& db) { Fill(db, recipes); }});
    h.Start();
    class MainForm& form = h.Form();
    form.NativeWidget()->show();
    form.cboSearchOption().ChooseRowAsUser(option);
    QCoreApplication::processEvents();
    QWidget* field = form.txtSearch().NativeWidget();
    // The keystroke ends with the list painted.
    QWidget* list = static_cast<QAbstractItemView*>(form.lstRecipe().NativeWidget())->viewport();
    auto engine = OpenEngine(h.DatabasePath(), Like::kEngines);
    auto folding = OpenEngine(h.DatabasePath(), Like::kApps);

    double window = 0, alone = 0, folded = 0;
    int listed = 0, found = 0, foundFolded = 0;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        QTest::keyClick(field, Qt::Key_E);
        QCoreApplication::processEvents();
        list->repaint();
        Clock::time_point shown = Clock::now();
        found = RunSearch(engine.get(), statement);
        Clock::time_point queried = Clock::now();
        foundFolded = RunSearch(folding.get(), statement);
        Clock::time_point queriedFolded = Clock::now();
        listed = form.lstRecipe().ListCount();
        QTest::keyClick(field, Qt::Key_Backspace);
        QCoreApplication::processEvents();

        state.SetIterationTime(Seconds(shown - start));
        window += Seconds(shown - start);
        alone += Seconds(queried - shown);
        folded += Seconds(queriedFolded - queried);
    }
    // The book's names are ASCII: both LIKEs must find the same rows.
    if (listed != found || listed != foundFolded)
        state.SkipWithError("the window lists other rows than the statement finds");
    using benchmark::Counter;
    state.counters["window_ms"] = Counter(window * 1e3, Counter::kAvgIterations);
    state.counters["engine_ms"] = Counter(alone * 1e3, Counter::kAvgIterations);
    state.counters["folding_ms"] = Counter(folded * 1e3, Counter::kAvgIterations);
    state.counters["window/engine"] = alone > 0 ? window / alone : 0;
    state.counters["rows"] = listed;
}
BENCHMARK(BM_SearchKeystroke)
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({100000, 2})
    ->Args({100000, 3})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The engine alone, with nothing of the window around it: each option with the engine's own LIKE
// (third argument 0) and with the app's (1).
void BM_SearchEngineAlone(benchmark::State& state) {
    const int option = static_cast<int>(state.range(1));
    const Like like = state.range(2) == 0 ? Like::kEngines : Like::kApps;
    state.SetLabel(std::string(kOptionNames[option]) +
                   (like == Like::kEngines ? ", engine's LIKE" : ", app's LIKE"));
    TempDir dir;
    std::filesystem::path file = MakeTestDatabase(dir.path());
    bench::FillRecipeBook(file, bench::BookShape{static_cast<int>(state.range(0))});
    auto engine = OpenEngine(file, like);
    const std::string statement = SearchStatement(option);
    int rows = 0;
    for (auto _ : state) rows = RunSearch(engine.get(), statement);
    state.counters["rows"] = rows;
}
BENCHMARK(BM_SearchEngineAlone)
    ->ArgsProduct({{100000}, {0, 1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// A "contains" search for a run of 1,000 "_" then "x" in a book of three names of a million
// letters each, the third ending in "X": the engine alone with its own LIKE and with the app's,
// on the same statement in the same iteration. The time is the app's.
void BM_SearchRunOfWildcards(benchmark::State& state) {
    TempDir dir;
    std::filesystem::path file = MakeTestDatabase(dir.path());
    {
        auto db = OpenEngine(file, Like::kEngines);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db.get(), "INSERT INTO Recipe (Name) VALUES (?)", -1, &insert, nullptr);
        const std::string letters = "abcdefghijklmnopqrstuvwyzABCDEFGHIJKLMNOPQRSTUVWYZ";
        for (int k = 0; k < 3; ++k) {
            std::string name(1'000'000, ' ');
            for (std::size_t i = 0; i < name.size(); ++i)
                name[i] = letters[(i * 7 + k) % letters.size()];
            if (k == 2)
                name.back() = 'X';
            sqlite3_bind_text(insert, 1, name.data(), static_cast<int>(name.size()),
                              SQLITE_TRANSIENT);
            if (sqlite3_step(insert) != SQLITE_DONE)
                throw std::runtime_error(sqlite3_errmsg(db.get()));
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    }
    auto engine = OpenEngine(file, Like::kEngines);
    auto folding = OpenEngine(file, Like::kApps);
    const std::string statement =
        "SELECT * FROM Recipe  WHERE Name LIKE '%" + std::string(1000, '_') + "x%' ORDER BY Name";

    double alone = 0, folded = 0;
    int found = 0, foundFolded = 0;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        found = RunSearch(engine.get(), statement);
        Clock::time_point queried = Clock::now();
        foundFolded = RunSearch(folding.get(), statement);
        Clock::time_point queriedFolded = Clock::now();
        state.SetIterationTime(Seconds(queriedFolded - queried));
        alone += Seconds(queried - start);
        folded += Seconds(queriedFolded - queried);
    }
    if (found != 1 || foundFolded != 1)
        state.SkipWithError("the two LIKEs do not both find the one name");
    using benchmark::Counter;
    state.counters["engine_ms"] = Counter(alone * 1e3, Counter::kAvgIterations);
    state.counters["folding_ms"] = Counter(folded * 1e3, Counter::kAvgIterations);
    state.counters["folding/engine"] = alone > 0 ? folded / alone : 0;
    state.counters["rows"] = found;
}
BENCHMARK(BM_SearchRunOfWildcards)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
