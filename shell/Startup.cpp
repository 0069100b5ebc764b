#include "Startup.h"

#include "AboutPictures.h"
#include "FileTypes.h"
#include "Larderon.h"
#include "MainForm.h"
#include "menus/MainFormMenu.h"

namespace Startup {

void InitFileTypes() {
    FileTypes::Initialize();
}

std::unique_ptr<Larderon> NewAppInstance() {
    auto application = std::make_unique<Larderon>();
    application->MenuBar(&MainFormMenu());
    application->Register();
    return application;
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

void ReleaseProgramObjects() {
    ReleaseAboutPictures();
    ReleaseMainFormMenu();
    FileTypes::Release();
}

}  // namespace Startup

int RunLarderon() {
    InitAboutResources();
    std::unique_ptr<Larderon> application;
    int code = 0;
    try {
        Startup::InitFileTypes();
        application = Startup::NewAppInstance();
        Startup::ApplicationAddMenuHandlers();
        Startup::MakeDefaultView();
        code = application->Run();
    } catch (const std::exception& error) {
        if (application)
            application->UnhandledException(error);
    }
    if (application)
        code = application->ExitCode();
    // The windows go with the application object; the program-wide objects after them.
    application.reset();
    Startup::ReleaseProgramObjects();
    return code;
}
