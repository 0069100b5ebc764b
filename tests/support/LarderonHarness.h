#pragma once
// Starts the whole app as start-up does, against a database file of its own in a temporary
// folder, with the scripted person at the keyboard; the event loop is not run, so a test drives
// the widgets itself and then looks at the database file.

#include <filesystem>
#include <functional>
#include <memory>

#include "database/Database.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

class Larderon;
class MainForm;

class LarderonHarness {
  public:
    struct Options {
        bool withDatabase = true;
        // Runs on a connection to the fresh database before the app starts, to fill it.
        std::function<void(Database&)> seed;
    };
    LarderonHarness();
    explicit LarderonHarness(Options options);
    ~LarderonHarness();

    // Start-up up to the event loop: the application's Open, then the main window's.
    void Start();
    // Closes the main window as its close button does (the app quits).
    void CloseMainWindow();

    ScriptedDialogs& Dialogs() { return dialogs_; }
    Larderon& App() { return *app_; }
    class MainForm& Form();
    const std::filesystem::path& Folder() const { return dir_.path(); }
    std::filesystem::path DatabasePath() const;
    // A second connection to the database file, to look at what the app stored.
    std::unique_ptr<Database> OpenDatabase() const;

  private:
    ScriptedDialogs dialogs_;
    TempDir dir_;
    std::unique_ptr<Larderon> app_;
    bool started_ = false;
};

// Reads the column "v" of the first row of a query, as text ("" when there is no row).
std::string QueryText(Database& db, const std::string& sql);
