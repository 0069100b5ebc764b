// File > Backup and File > Restore of a large book through the app's commands (dialogs
// scripted), each beside the engine alone doing the same work: the rows selected and written
// with stdio, and read back in one transaction with prepared, bound INSERTs. Both run in the
// same iteration, so the ratio compares like with like.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>

#include "BenchDatabase.h"
#include "Larderon.h"
#include "QtBenchMain.h"
#include "database/Database.h"
#include "support/LarderonHarness.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

struct EngineCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementCloser {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using Engine = std::unique_ptr<sqlite3, EngineCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementCloser>;
using File = std::unique_ptr<std::FILE, FileCloser>;

void Exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sql) + ": " + sqlite3_errmsg(db));
}

Engine OpenEngine(const std::filesystem::path& file) {
    sqlite3* raw = nullptr;
    // The engine alone opens the file as the app does, so that the ratio shows the app's own cost.
    if (sqlite3_open_v2(file.c_str(), &raw, kDatabaseOpenFlags, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open " + file.string());
    Engine engine(raw);
    sqlite3_busy_timeout(raw, 2000);
    Exec(raw, kDatabaseConnectionSettings);
    return engine;
}

Statement Prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sql) + ": " + sqlite3_errmsg(db));
    return Statement(raw);
}

void Put(std::FILE* out, const unsigned char* text, int bytes) {
    if (bytes > 0)
        std::fwrite(text, 1, static_cast<std::size_t>(bytes), out);
}

// The same file the command writes for a book without category gaps or unsafe texts.
void EngineBackup(sqlite3* db, const std::filesystem::path& file) {
    File out(std::fopen(file.c_str(), "wb"));
    if (!out)
        throw std::runtime_error("cannot create " + file.string());
    Statement categories = Prepare(db, "SELECT Name FROM Category ORDER BY CategoryId");
    while (sqlite3_step(categories.get()) == SQLITE_ROW) {
        Put(out.get(), sqlite3_column_text(categories.get(), 0),
            sqlite3_column_bytes(categories.get(), 0));
        std::fputs("\n", out.get());
    }
    std::fputs("#EOT\n", out.get());
    Statement recipes =
        Prepare(db, "SELECT Name, CategoryId, Directions FROM Recipe ORDER BY RecipeId");
    sqlite3_stmt* r = recipes.get();
    while (sqlite3_step(r) == SQLITE_ROW) {
        Put(out.get(), sqlite3_column_text(r, 0), sqlite3_column_bytes(r, 0));
        std::fputs("|", out.get());
        Put(out.get(), sqlite3_column_text(r, 1), sqlite3_column_bytes(r, 1));
        std::fputs("\n#BOF\n", out.get());
        Put(out.get(), sqlite3_column_text(r, 2), sqlite3_column_bytes(r, 2));
        std::fputs("\n#EOF\n", out.get());
    }
    std::fputs("#EOT\n", out.get());
    if (std::fflush(out.get()) != 0)
        throw std::runtime_error("cannot write " + file.string());
}

// Reads a well-formed file with "\n" line ends; no checks beyond what the engine reports.
void EngineRestore(sqlite3* db, const std::filesystem::path& file) {
    File in(std::fopen(file.c_str(), "rb"));
    if (!in)
        throw std::runtime_error("cannot open " + file.string());
    char* buffer = nullptr;
    std::size_t capacity = 0;
    auto next = [&](std::string& line) {
        ssize_t got = getline(&buffer, &capacity, in.get());
        if (got < 0)
            return false;
        line.assign(buffer, static_cast<std::size_t>(got));
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        return true;
    };
    Exec(db, "BEGIN");
    Exec(db, "DELETE FROM Recipe");
    Exec(db, "DELETE FROM Category");
    Statement category = Prepare(db, "INSERT INTO Category (CategoryId, Name) VALUES (?, ?)");
    Statement recipe =
        Prepare(db, "INSERT INTO Recipe (Name, CategoryId, Directions) VALUES (?, ?, ?)");
    auto step = [&](sqlite3_stmt* s) {
        if (sqlite3_step(s) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(db));
        sqlite3_reset(s);
    };
    std::string line, name, directions;
    std::int64_t id = 0, categoryId = 1;
    while (next(line) && line != "#EOT") {
        sqlite3_bind_int64(category.get(), 1, ++id);
        sqlite3_bind_text(category.get(), 2, line.data(), static_cast<int>(line.size()),
                          SQLITE_TRANSIENT);
        step(category.get());
    }
    while (next(line) && line != "#EOT") {
        if (line != "#BOF") {
            std::size_t bar = line.find('|');
            name = line.substr(0, bar);
            categoryId = std::stoll(line.substr(bar + 1));
            continue;
        }
        // Line ends between the block's lines, none after the last, as the command reads them.
        directions.clear();
        for (bool first = true; next(line) && line != "#EOF"; first = false)
            directions += (first ? "" : "\n") + line;
        sqlite3_bind_text(recipe.get(), 1, name.data(), static_cast<int>(name.size()),
                          SQLITE_TRANSIENT);
        sqlite3_bind_int64(recipe.get(), 2, categoryId);
        sqlite3_bind_text(recipe.get(), 3, directions.data(), static_cast<int>(directions.size()),
                          SQLITE_TRANSIENT);
        step(recipe.get());
    }
    std::free(buffer);
    Exec(db, "COMMIT");
}

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Report(benchmark::State& state, double app, double engine, int iterations,
            const std::filesystem::path& file) {
    using benchmark::Counter;
    state.counters["app_ms"] = Counter(app * 1e3 / iterations);
    state.counters["engine_ms"] = Counter(engine * 1e3 / iterations);
    state.counters["app/engine"] = engine > 0 ? app / engine : 0;
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
}

LarderonHarness::Options Book(int recipes) {
    return LarderonHarness::Options{true, [recipes](Database& db) {
                                        bench::FillRecipeBook(db.DatabaseFile(),
                                                              bench::BookShape{recipes});
                                    }};
}

// Each iteration: File > Backup to one file (timed as the iteration), then the engine alone
// writing the same rows to another.
void BM_Backup(benchmark::State& state) {
    LarderonHarness h(Book(static_cast<int>(state.range(0))));
    h.Start();
    auto engine = OpenEngine(h.DatabasePath());
    const auto byApp = h.Folder() / "app.txt";
    const auto byEngine = h.Folder() / "engine.txt";
    double app = 0, alone = 0;
    int iterations = 0;
    for (auto _ : state) {
        h.Dialogs().ExpectSaveFile(byApp);
        Clock::time_point start = Clock::now();
        h.App().FileBackup_Action();
        Clock::time_point written = Clock::now();
        EngineBackup(engine.get(), byEngine);
        Clock::time_point done = Clock::now();
        state.SetIterationTime(Seconds(written - start));
        app += Seconds(written - start);
        alone += Seconds(done - written);
        ++iterations;
    }
    if (h.Dialogs().Messages().back() != "Backup completed.")
        state.SkipWithError("the backup did not complete");
    else if (ReadBytes(byApp) != ReadBytes(byEngine))
        state.SkipWithError("the command and the engine wrote different files");
    Report(state, app, alone, iterations, byApp);
}
BENCHMARK(BM_Backup)->Arg(10000)->Arg(100000)->Iterations(3)->UseManualTime()->Unit(
    benchmark::kMillisecond);

// Each iteration: File > Restore of a backup file (timed as the iteration, the main window's
// refill included and also shown apart), then the engine alone restoring the same file.
void BM_Restore(benchmark::State& state) {
    LarderonHarness h(Book(static_cast<int>(state.range(0))));
    h.Start();
    auto engine = OpenEngine(h.DatabasePath());
    const auto file = h.Folder() / "backup.txt";
    EngineBackup(engine.get(), file);
    double refresh = 0;
    auto refill = h.App().RefreshMainWindow;
    h.App().RefreshMainWindow = [&] {
        Clock::time_point start = Clock::now();
        refill();
        refresh += Seconds(Clock::now() - start);
    };
    double app = 0, alone = 0;
    int iterations = 0;
    for (auto _ : state) {
        h.Dialogs().ExpectOpenFile(file);
        Clock::time_point start = Clock::now();
        h.App().FileRestore_Action();
        Clock::time_point restored = Clock::now();
        EngineRestore(engine.get(), file);
        Clock::time_point done = Clock::now();
        state.SetIterationTime(Seconds(restored - start));
        app += Seconds(restored - start);
        alone += Seconds(done - restored);
        ++iterations;
    }
    if (h.Dialogs().Messages().back() != "Restore completed.")
        state.SkipWithError("the restore did not complete");
    Report(state, app, alone, iterations, file);
    state.counters["refill_ms"] = benchmark::Counter(refresh * 1e3 / iterations);
    state.counters["(app-refill)/engine"] = alone > 0 ? (app - refresh) / alone : 0;
}
BENCHMARK(BM_Restore)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
