#include "Larderon.h"

#include "framework/Dialogs.h"
#include "framework/Files.h"

Larderon::Larderon() = default;

Larderon::~Larderon() {
    CloseDB();
}

void Larderon::Event_Open() {
    try {
        ConnectDB();
        if (!db)
            Quit(0);
    } catch (...) {
        // Start-up goes on; every later use of the connection reports its own failure.
    }
}

void Larderon::Event_Close() {
    CloseDB();
}

void Larderon::ConnectDB() {
    const std::string fileName = kDatabaseFileName;
    db.Reset(std::make_unique<Database>());
    db->DatabaseFile(fw::GetFolderItem(fileName).Path());
    if (fw::FolderItem(db->DatabaseFile()).Exists() && db->Connect())
        return;
    std::string message = "Unable to connect to the database becuase the " + fileName +
                          " file is missing or corrupt.";
    fw::Beep();
    fw::MsgBox(message);
    db->Close();
    db.Reset();
}

void Larderon::CloseDB() {
    if (!db)
        return;
    db->Close();
    db.Reset();
}

Larderon& App() {
    auto* app = dynamic_cast<Larderon*>(fw::Application::Current());
    if (!app)
        throw std::logic_error("the application object is not registered");
    return *app;
}
