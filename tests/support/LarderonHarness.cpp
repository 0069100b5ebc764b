#include "support/LarderonHarness.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "AboutPictures.h"
#include "Larderon.h"
#include "MainForm.h"
#include "Startup.h"
#include "framework/Files.h"
#include "support/TestDatabase.h"

LarderonHarness::LarderonHarness() : LarderonHarness(Options{}) {}

LarderonHarness::LarderonHarness(Options options) {
    InitAboutResources();
    if (options.withDatabase) {
        std::filesystem::path file = MakeTestDatabase(dir_.path());
        if (options.seed) {
            Database db;
            db.DatabaseFile(file);
            if (!db.Connect())
                throw std::runtime_error("cannot open the test database");
            options.seed(db);
            db.Close();
        }
    }
    fw::ApplicationFolder(dir_.path());
    Startup::InitFileTypes();
    app_ = Startup::NewAppInstance();
    Startup::ApplicationAddMenuHandlers();
    Startup::MakeDefaultView();
}

LarderonHarness::~LarderonHarness() {
    app_.reset();
    Startup::ReleaseProgramObjects();
    fw::ApplicationFolder({});
    QCoreApplication::processEvents();
}

void LarderonHarness::Start() {
    if (started_)
        return;
    started_ = true;
    app_->Open();
    QCoreApplication::processEvents();
}

void LarderonHarness::CloseMainWindow() {
    Form().NativeCloseRequested();
}

class MainForm& LarderonHarness::Form() {
    auto* form = app_->ImplicitWindow<class MainForm>();
    if (!form)
        throw std::logic_error("the main window is not open");
    return *form;
}

std::filesystem::path LarderonHarness::DatabasePath() const {
    return dir_.path() / "larderon_db.rsd";
}

std::unique_ptr<Database> LarderonHarness::OpenDatabase() const {
    auto db = std::make_unique<Database>();
    db->DatabaseFile(DatabasePath());
    if (!db->Connect())
        throw std::runtime_error("cannot open the app's database");
    return db;
}

std::string QueryText(Database& db, const std::string& sql) {
    auto rs = db.SQLSelect(sql);
    if (!rs)
        throw std::runtime_error("query failed: " + sql + ": " + db.ErrorMessage());
    if (rs->Eof())
        return "";
    return rs->Field("v").StringValue();
}
