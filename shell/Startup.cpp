#include "Startup.h"

#include <memory>

#include "AboutPictures.h"
#include "FileTypes.h"
#include "Larderon.h"
#include "MainForm.h"
#include "menus/MainFormMenu.h"

namespace {

std::unique_ptr<Larderon> application;

void InitFileTypes() {
    FileTypes::Initialize();
}

void NewAppInstance() {
    application = std::make_unique<Larderon>();
    application->MenuBar(&MainFormMenu());
    application->Register();
}

void ApplicationAddMenuHandlers() {
    App().AddMenuHandler("FileBackup", [] { return App().FileBackup_Action(); });
    App().AddMenuHandler("FileRestore", [] { return App().FileRestore_Action(); });
    App().AddMenuHandler("HelpAbout", [] { return App().HelpAbout_Action(); });
}

void MakeDefaultView() {
    MainForm();
    App().RefreshMainWindow = [] {
        class MainForm& form = MainForm();
        form.ReloadAll();
        form.Refresh(true);
    };
}

int Main() {
    int code = 0;
    try {
        InitFileTypes();
        NewAppInstance();
        ApplicationAddMenuHandlers();
        MakeDefaultView();
        code = application->Run();
    } catch (const std::exception& error) {
        if (application)
            application->UnhandledException(error);
    }
    return application ? application->ExitCode() : code;
}

void ReleaseProgramObjects() {
    ReleaseAboutPictures();
    ReleaseMainFormMenu();
    FileTypes::Release();
}

}  // namespace

int RunLarderon() {
    InitAboutResources();
    int code = Main();
    // The windows go with the application object; the program-wide objects after them.
    application.reset();
    ReleaseProgramObjects();
    return code;
}
