// The window's everyday actions on a large book — start-up to a filled window, selecting a
// recipe (an ordinary one, or one with megabytes of directions), saving one (new and edited) and
// deleting one — each beside the engine alone running
// the same statements in the same iteration. The statements are the window's by design, so the
// engine alone is the floor and the ratio is what the app adds on top of it.
//
// Every statement either side runs is traced; an iteration whose two sequences differ (other
// than in the ids they carry) stops the benchmark, so an extra refresh cannot hide in a figure.
//
//   larderon_window_bench [--benchmark_filter=...]

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <QWidget>
#include <cctype>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchDatabase.h"
#include "Larderon.h"
#include "MainForm.h"
#include "QtBenchMain.h"
#include "database/Database.h"
#include "support/LarderonHarness.h"
#include "support/TempDir.h"
#include "support/TestDatabase.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// ---------------------------------------------------------------------------------------------
// Statement trace: every connection the process opens, the app's included, reports each
// statement it starts to whichever log is current.

std::vector<std::string>* g_traceLog = nullptr;

int TraceStatement(unsigned, void*, void* statement, void*) {
    if (g_traceLog) {
        const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(statement));
        g_traceLog->emplace_back(sql ? sql : "");
    }
    return 0;
}

int TraceEveryConnection(sqlite3* db, char**, const void*) {
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, TraceStatement, nullptr);
    return SQLITE_OK;
}

class Tracing {
  public:
    explicit Tracing(std::vector<std::string>& log) { g_traceLog = &log; }
    ~Tracing() { g_traceLog = nullptr; }
    Tracing(const Tracing&) = delete;
    Tracing& operator=(const Tracing&) = delete;
};

// Ids differ between the two sides (each deletes its own recipe), so digits are set aside.
std::string Shape(const std::string& sql) {
    std::string shape;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(sql[i]))) {
            if (shape.empty() || shape.back() != '#')
                shape += '#';
        } else {
            shape += sql[i];
        }
    }
    return shape;
}

// Empty when both ran the same statements in the same order; else the first difference.
std::string Difference(const std::vector<std::string>& app,
                       const std::vector<std::string>& engine) {
    for (std::size_t i = 0; i < std::max(app.size(), engine.size()); ++i) {
        std::string a = i < app.size() ? app[i] : "(nothing)";
        std::string e = i < engine.size() ? engine[i] : "(nothing)";
        if (Shape(a) != Shape(e))
            return "statement " + std::to_string(i + 1) + ": app ran \"" + a +
                   "\", engine alone ran \"" + e + "\"";
    }
    return {};
}

// ---------------------------------------------------------------------------------------------
// The engine alone: the C API, the app's statements, nothing else.

class Engine {
  public:
    // Opens as the app's connection does: the same flags and busy timeout, the schema read and
    // the same engine settings.
    explicit Engine(const fs::path& file) {
        if (sqlite3_open_v2(file.c_str(), &db_, kDatabaseOpenFlags, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + file.string());
        sqlite3_busy_timeout(db_, 2000);
        Run("SELECT count(*) FROM sqlite_master", {});
        Run(kDatabaseConnectionSettings, {});
    }
    ~Engine() { sqlite3_close_v2(db_); }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Runs one statement to its end, binding texts and integers in order and reading the named
    // columns of every row as text, as the window reads them; returns the rows read.
    struct Value {
        std::string text;
        std::int64_t integer = 0;
        bool isText = true;
    };
    int Run(const std::string& sql, const std::vector<std::string>& columns,
            const std::vector<Value>& params = {}) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()) + 1, &statement,
                               nullptr) != SQLITE_OK)
            throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
        for (std::size_t i = 0; i < params.size(); ++i) {
            const int at = static_cast<int>(i) + 1;
            if (params[i].isText)
                sqlite3_bind_text64(statement, at, params[i].text.data(), params[i].text.size(),
                                    SQLITE_TRANSIENT, SQLITE_UTF8);
            else
                sqlite3_bind_int64(statement, at, params[i].integer);
        }
        std::vector<int> read;
        for (const std::string& name : columns) {
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                if (sqlite3_stricmp(sqlite3_column_name(statement, c), name.c_str()) == 0)
                    read.push_back(c);
            }
        }
        int rows = 0;
        int rc;
        std::string value;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            for (int c : read) {
                if (sqlite3_column_type(statement, c) == SQLITE_INTEGER) {
                    char digits[24];
                    auto end = std::to_chars(digits, digits + sizeof digits,
                                             sqlite3_column_int64(statement, c));
                    value.assign(digits, end.ptr);
                } else {
                    value.assign(reinterpret_cast<const char*>(sqlite3_column_text(statement, c)),
                                 static_cast<std::size_t>(sqlite3_column_bytes(statement, c)));
                }
                bytes_ += value.size();
            }
            ++rows;
        }
        sqlite3_finalize(statement);
        if (rc != SQLITE_DONE)
            throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
        return rows;
    }

    // Untimed look-ups that pick what the timed part works on.
    std::int64_t IdAt(int position) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db_, "SELECT RecipeId FROM Recipe ORDER BY Name LIMIT 1 OFFSET ?1", -1,
                           &statement, nullptr);
        sqlite3_bind_int(statement, 1, position);
        std::int64_t id = sqlite3_step(statement) == SQLITE_ROW
                              ? sqlite3_column_int64(statement, 0)
                              : throw std::runtime_error("no recipe at that position");
        sqlite3_finalize(statement);
        return id;
    }

    std::size_t BytesRead() const { return bytes_; }

  private:
    sqlite3* db_ = nullptr;
    std::size_t bytes_ = 0;
};

const std::vector<std::string> kListColumns = {"Name", "RecipeId"};
const std::vector<std::string> kRecipeColumns = {"Name", "CategoryId", "Directions"};
const std::string kRecipeList = "SELECT * FROM Recipe  ORDER BY Name";

std::string LoadRecipe(std::int64_t id) {
    return "SELECT * FROM Recipe WHERE RecipeId = " + std::to_string(id);
}

// ---------------------------------------------------------------------------------------------
// Books: one filled file per size, made once; every app and engine gets a copy of its own, so
// neither side's writes empty the other's page cache.

const fs::path& Book(int recipes) {
    static TempDir folder;
    static std::map<int, fs::path> books;
    auto found = books.find(recipes);
    if (found != books.end())
        return found->second;
    fs::path dir = folder.path() / std::to_string(recipes);
    fs::create_directory(dir);
    fs::path file = MakeTestDatabase(dir);
    bench::FillRecipeBook(file, bench::BookShape{recipes});
    return books.emplace(recipes, file).first->second;
}

constexpr const char* kHugeRecipe = "AAA Huge Recipe";  // listed first

// A book of 1,000 ordinary recipes and one with huge directions, made once per kind.
const fs::path& BookWithHugeRecipe(std::size_t bytes, bool oneLine) {
    static TempDir folder;
    static std::map<std::pair<std::size_t, bool>, fs::path> books;
    auto found = books.find({bytes, oneLine});
    if (found != books.end())
        return found->second;
    fs::path dir = folder.path() / (std::to_string(bytes) + (oneLine ? "-line" : "-lines"));
    fs::create_directory(dir);
    fs::path file = MakeTestDatabase(dir);
    bench::FillRecipeBook(file, bench::BookShape{1000});
    Engine(file).Run("INSERT INTO Recipe (Name, CategoryId, Directions) VALUES (?, 1, ?)", {},
                     {{kHugeRecipe}, {bench::HugeDirections(bytes, oneLine)}});
    return books.emplace(std::pair{bytes, oneLine}, file).first->second;
}

fs::path CopyOfBook(const fs::path& book, const fs::path& dir) {
    fs::path copy = dir / "engine.rsd";
    fs::copy_file(book, copy, fs::copy_options::overwrite_existing);
    return copy;
}

// The whole app, made as start-up makes it, on a copy of the book; not yet opened.
std::unique_ptr<LarderonHarness> AppOnBook(const fs::path& book) {
    return std::make_unique<LarderonHarness>(LarderonHarness::Options{
        true, [book](Database& db) {
            db.Close();
            fs::copy_file(book, db.DatabaseFile(), fs::copy_options::overwrite_existing);
        }});
}

std::unique_ptr<LarderonHarness> StartedApp(const fs::path& book) {
    auto harness = AppOnBook(book);
    harness->Start();
    harness->Form().NativeWidget()->show();
    QCoreApplication::processEvents();
    return harness;
}

QWidget* ListViewport(class MainForm& form) {
    return static_cast<QAbstractItemView*>(form.lstRecipe().NativeWidget())->viewport();
}

// Notes whether the recipe list has been painted, since this watch began, holding all its rows.
class ListPaints : public QObject {
  public:
    explicit ListPaints(class MainForm& form) : form_(form) {
        ListViewport(form_)->installEventFilter(this);
    }
    ~ListPaints() override { ListViewport(form_)->removeEventFilter(this); }
    bool Whole() const { return whole_; }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            auto* view = static_cast<QAbstractItemView*>(form_.lstRecipe().NativeWidget());
            whole_ = whole_ || view->model()->rowCount() == form_.lstRecipe().ListCount();
        }
        return false;
    }

  private:
    class MainForm& form_;
    bool whole_ = false;
};

// What a person waits for after an action: the events it posted handled and the list painted
// with its new rows. The window usually paints the list while it handles those events; painting
// it again would count work nobody waits for, so the list is painted here only when it was not.
void Settle(class MainForm& form, const ListPaints& paints) {
    QCoreApplication::processEvents();
    if (!paints.Whole())
        ListViewport(form)->repaint();
}

void ClickRow(class MainForm& form, int row) {
    auto* view = static_cast<QAbstractItemView*>(form.lstRecipe().NativeWidget());
    QRect rect = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
}

// Totals of one benchmark's timed parts, reported as counters beside its time.
struct Figures {
    double app = 0, engine = 0;
    std::vector<std::string> appLog, engineLog;

    // Returns false, after stopping the benchmark, when the two sides ran different statements.
    bool Compare(benchmark::State& state) {
        std::string difference = Difference(appLog, engineLog);
        appLog.clear();
        engineLog.clear();
        if (difference.empty())
            return true;
        state.SkipWithError(difference.c_str());
        return false;
    }
    // One iteration: the app from start until its result was shown, then the engine alone.
    void Add(benchmark::State& state, Clock::time_point start, Clock::time_point shown,
             Clock::time_point queried) {
        state.SetIterationTime(Seconds(shown - start));
        app += Seconds(shown - start);
        engine += Seconds(queried - shown);
    }
    void Report(benchmark::State& state) const {
        using benchmark::Counter;
        state.counters["window_ms"] = Counter(app * 1e3, Counter::kAvgIterations);
        state.counters["engine_ms"] = Counter(engine * 1e3, Counter::kAvgIterations);
        state.counters["window/engine"] = engine > 0 ? app / engine : 0;
    }
};

// Stops the benchmark when the app showed a message (a database error, most likely).
bool Quiet(benchmark::State& state, LarderonHarness& h) {
    if (h.Dialogs().Messages().empty() && h.Dialogs().AllAnswered())
        return true;
    std::string said = h.Dialogs().Messages().empty() ? "a prompt was left unanswered"
                                                      : h.Dialogs().Messages().front();
    state.SkipWithError(("the app said: " + said).c_str());
    return false;
}

// ---------------------------------------------------------------------------------------------

// From the application's Open to a window whose lists are filled and painted. Making the
// window's controls comes before and does not depend on the book's size.
void BM_StartUp(benchmark::State& state) {
    const int recipes = static_cast<int>(state.range(0));
    TempDir engineDir;
    const fs::path engineFile = CopyOfBook(Book(recipes), engineDir.path());
    Figures f;
    int listed = 0, found = 0;
    for (auto _ : state) {
        auto h = AppOnBook(Book(recipes));
        ListPaints paints(h->Form());
        Clock::time_point start = Clock::now();
        {
            Tracing t(f.appLog);
            h->Start();
            h->Form().NativeWidget()->show();
            Settle(h->Form(), paints);
        }
        Clock::time_point shown = Clock::now();
        {
            Tracing t(f.engineLog);
            Engine engine(engineFile);
            // The category filter's first row raises its Change, which refreshes the recipe
            // list once before the Open's own refresh.
            engine.Run("SELECT * FROM Category  ORDER BY Name", {"CategoryId", "Name"});
            engine.Run(kRecipeList, kListColumns);
            engine.Run("SELECT * FROM Category ORDER BY Name", {"Name", "CategoryId"});
            found = engine.Run(kRecipeList, kListColumns);
            engine.Run("SELECT * FROM Preferences WHERE Id = 1", {"PageSetup"});
        }
        Clock::time_point queried = Clock::now();
        listed = h->Form().lstRecipe().ListCount();
        f.Add(state, start, shown, queried);
        if (!f.Compare(state) || !Quiet(state, *h))
            break;
    }
    if (listed != found)
        state.SkipWithError("the window lists other rows than the statement finds");
    f.Report(state);
    state.counters["rows"] = listed;
}

// A click on a recipe in browse mode, to its name and directions in the fields.
void BM_SelectRecipe(benchmark::State& state) {
    const int recipes = static_cast<int>(state.range(0));
    TempDir engineDir;
    Engine engine(CopyOfBook(Book(recipes), engineDir.path()));
    auto h = StartedApp(Book(recipes));
    class MainForm& form = h->Form();
    Figures f;
    int row = 0;
    for (auto _ : state) {
        row = row == 1 ? 2 : 1;  // another row each time, so every click changes the selection
        Clock::time_point start = Clock::now();
        {
            Tracing t(f.appLog);
            ClickRow(form, row);
            QCoreApplication::processEvents();
        }
        Clock::time_point shown = Clock::now();
        const std::int64_t id = engine.IdAt(row);
        Clock::time_point engineStart = Clock::now();
        {
            Tracing t(f.engineLog);
            engine.Run(LoadRecipe(id), kRecipeColumns);
        }
        Clock::time_point queried = Clock::now();
        state.SetIterationTime(Seconds(shown - start));
        f.app += Seconds(shown - start);
        f.engine += Seconds(queried - engineStart);
        if (form.lstRecipe().ListIndex() != row ||
            form.txtRecipeName().Text() != form.lstRecipe().Cell(row, 0)) {
            state.SkipWithError("the click did not load the recipe");
            break;
        }
        if (!f.Compare(state) || !Quiet(state, *h))
            break;
    }
    f.Report(state);
}

// A click on the recipe with huge directions, from an ordinary one, to its directions shown. The
// click back to the ordinary recipe is timed apart (away_ms): emptying the field must not freeze
// the window either.
void BM_SelectHugeRecipe(benchmark::State& state) {
    const std::size_t bytes = static_cast<std::size_t>(state.range(0)) << 20;
    const bool oneLine = state.range(1) == 1;
    const fs::path& book = BookWithHugeRecipe(bytes, oneLine);
    TempDir engineDir;
    Engine engine(CopyOfBook(book, engineDir.path()));
    auto h = StartedApp(book);
    class MainForm& form = h->Form();
    const std::int64_t id = engine.IdAt(0);
    Figures f;
    double away = 0;
    for (auto _ : state) {
        Clock::time_point leave = Clock::now();
        ClickRow(form, 1);
        QCoreApplication::processEvents();
        away += Seconds(Clock::now() - leave);

        Clock::time_point start = Clock::now();
        {
            Tracing t(f.appLog);
            ClickRow(form, 0);
            QCoreApplication::processEvents();
        }
        Clock::time_point shown = Clock::now();
        {
            Tracing t(f.engineLog);
            engine.Run(LoadRecipe(id), kRecipeColumns);
        }
        f.Add(state, start, shown, Clock::now());
        if (form.txtRecipeName().Text() != kHugeRecipe ||
            form.txtDirections().Text().size() != bytes) {
            state.SkipWithError("the click did not load the huge recipe");
            break;
        }
        if (!f.Compare(state) || !Quiet(state, *h))
            break;
    }
    f.Report(state);
    state.counters["away_ms"] = benchmark::Counter(away * 1e3, benchmark::Counter::kAvgIterations);
}

// Save in recipe edit mode after New and typing: the insert, its commit, the list refreshed.
void BM_SaveNewRecipe(benchmark::State& state) {
    const int recipes = static_cast<int>(state.range(0));
    TempDir engineDir;
    Engine engine(CopyOfBook(Book(recipes), engineDir.path()));
    auto h = StartedApp(Book(recipes));
    class MainForm& form = h->Form();
    std::uint32_t names = 7;
    std::string directions = "Mix everything in a large bowl.\n";
    while (directions.size() < 600) directions += "Bake until golden, then leave to cool.\n";
    Figures f;
    for (auto _ : state) {
        const std::string name = bench::RecipeName(names);
        form.btnNewRecipe().Push();
        QTest::keyClicks(form.txtRecipeName().NativeWidget(), QString::fromStdString(name));
        form.txtDirections().Text(directions);
        const int before = form.lstRecipe().ListCount();

        ListPaints paints(form);
        Clock::time_point start = Clock::now();
        {
            Tracing t(f.appLog);
            form.btnSaveRecipe().Push();
            Settle(form, paints);
        }
        Clock::time_point shown = Clock::now();
        {
            Tracing t(f.engineLog);
            engine.Run("begin transaction", {});
            engine.Run(
                "INSERT INTO \"Recipe\" (\"Name\", \"CategoryId\", \"Directions\") VALUES (?, "
                "?, ?)",
                {}, {{name}, {"", 1, false}, {directions}});
            engine.Run("COMMIT", {});
            engine.Run(kRecipeList, kListColumns);
        }
        Clock::time_point queried = Clock::now();
        f.Add(state, start, shown, queried);
        if (form.lstRecipe().ListCount() != before + 1 || form.EditMode()) {
            state.SkipWithError("the new recipe was not saved and listed");
            break;
        }
        if (!f.Compare(state) || !Quiet(state, *h))
            break;
    }
    f.Report(state);
}

// Edit, a line added to the directions, Save: the update, its commit, the list refreshed and
// the recipe loaded again.
void BM_SaveEditedRecipe(benchmark::State& state) {
    const int recipes = static_cast<int>(state.range(0));
    TempDir engineDir;
    Engine engine(CopyOfBook(Book(recipes), engineDir.path()));
    auto h = StartedApp(Book(recipes));
    class MainForm& form = h->Form();
    const int row = 3;
    Figures f;
    int edits = 0;
    for (auto _ : state) {
        form.lstRecipe().SelectRowAsUser(row);
        form.btnEditRecipe().Push();
        // The name stays, so the recipe keeps its place in the list.
        const std::string directions =
            form.txtDirections().Text() + "\nTried again, edit " + std::to_string(++edits) + ".";
        form.txtDirections().Text(directions);
        const std::string name = form.txtRecipeName().Text();
        const std::int64_t id = engine.IdAt(row);

        ListPaints paints(form);
        Clock::time_point start = Clock::now();
        {
            Tracing t(f.appLog);
            form.btnSaveRecipe().Push();
            Settle(form, paints);
        }
        Clock::time_point shown = Clock::now();
        {
            Tracing t(f.engineLog);
            engine.Run("begin transaction", {});
            engine.Run("SELECT * FROM Recipe WHERE RecipeId = '" + std::to_string(id) + "'", {});
            engine.Run(
                "UPDATE \"main\".\"Recipe\" SET \"Name\" = ?, \"CategoryId\" = ?, "
                "\"Directions\" = ? WHERE \"RecipeId\" = ?",
                {}, {{name}, {"", 1, false}, {directions}, {"", id, false}});
            engine.Run("COMMIT", {});
            engine.Run(kRecipeList, kListColumns);
            engine.Run(LoadRecipe(id), kRecipeColumns);
        }
        Clock::time_point queried = Clock::now();
        f.Add(state, start, shown, queried);
        if (form.EditMode() || form.lstRecipe().ListIndex() != row ||
            form.txtDirections().Text() != directions) {
            state.SkipWithError("the edited recipe was not saved and shown");
            break;
        }
        if (!f.Compare(state) || !Quiet(state, *h))
            break;
    }
    f.Report(state);
}

// Delete, answered "Delete": the statement, the list refreshed, and the recipe that moved into
// the deleted one's place loaded (twice: by the refresh's selection change, then by browse mode).
void BM_DeleteRecipe(benchmark::State& state) {
    const int recipes = static_cast<int>(state.range(0));
    TempDir engineDir;
    Engine engine(CopyOfBook(Book(recipes), engineDir.path()));
    auto h = StartedApp(Book(recipes));
    class MainForm& form = h->Form();
    const int row = 5;
    Figures f;
    for (auto _ : state) {
        form.lstRecipe().SelectRowAsUser(row);
        h->Dialogs().ExpectConfirm("Delete");
        const int before = form.lstRecipe().ListCount();
        const std::int64_t doomed = engine.IdAt(row);
        const std::int64_t next = engine.IdAt(row + 1);

        ListPaints paints(form);
        Clock::time_point start = Clock::now();
        {
            Tracing t(f.appLog);
            form.btnDeleteRecipe().Push();
            Settle(form, paints);
        }
        Clock::time_point shown = Clock::now();
        {
            Tracing t(f.engineLog);
            engine.Run("DELETE FROM Recipe WHERE RecipeId = '" + std::to_string(doomed) + "'", {});
            engine.Run(kRecipeList, kListColumns);
            engine.Run(LoadRecipe(next), kRecipeColumns);
            engine.Run(LoadRecipe(next), kRecipeColumns);
        }
        Clock::time_point queried = Clock::now();
        f.Add(state, start, shown, queried);
        if (form.lstRecipe().ListCount() != before - 1) {
            state.SkipWithError("the recipe was not deleted from the list");
            break;
        }
        if (!f.Compare(state) || !Quiet(state, *h))
            break;
    }
    f.Report(state);
}

// At least two seconds of timed work per figure, so that even the slowest gets several
// iterations; the engine-alone half and the set-up between iterations come on top.
void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10000)->Arg(100000)->UseManualTime()->MinTime(2.0)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_StartUp)->Apply(Sizes);
BENCHMARK(BM_SelectRecipe)->Apply(Sizes);
// Directions of 1 and 5 MiB, in ordinary lines (0) and in one unbroken line (1).
BENCHMARK(BM_SelectHugeRecipe)
    ->ArgsProduct({{1, 5}, {0, 1}})
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveNewRecipe)->Apply(Sizes);
BENCHMARK(BM_SaveEditedRecipe)->Apply(Sizes);
BENCHMARK(BM_DeleteRecipe)->Apply(Sizes);

}  // namespace

int main(int argc, char** argv) {
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(TraceEveryConnection));
    return RunQtBenchmarks(argc, argv);
}
