#pragma once
// The application object: owns the one connection to the recipe database.

#include <functional>
#include <memory>
#include <stdexcept>

#include "database/Database.h"
#include "framework/Application.h"

// Holds the connection, or none. Using it while it holds none throws, so that a missing
// connection ends up in the caller's guard like any other failure.
class DatabaseRef {
  public:
    explicit operator bool() const { return static_cast<bool>(db_); }
    Database* operator->() const { return &Get(); }
    Database& operator*() const { return Get(); }
    Database& Get() const {
        if (!db_)
            throw DatabaseException("there is no database connection");
        return *db_;
    }
    void Reset(std::unique_ptr<Database> db = nullptr) { db_ = std::move(db); }

  private:
    std::unique_ptr<Database> db_;
};

class Larderon : public fw::Application {
  public:
    Larderon();
    ~Larderon() override;

    DatabaseRef db;

    void Event_Open() override;
    void Event_Close() override;

    // Menu command handlers (no argument, true when handled).
    bool FileBackup_Action();
    bool FileRestore_Action();
    bool HelpAbout_Action();

    // How the main window is brought up to date once a restore has replaced the data; set by
    // start-up, which knows the main window.
    std::function<void()> RefreshMainWindow;

  private:
    void ConnectDB();
    void CloseDB();
};

// The registered application object.
Larderon& App();

// The name of the database file beside the application.
inline constexpr const char* kDatabaseFileName = "larderon_db.rsd";
