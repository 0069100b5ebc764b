#pragma once
// The start-up and shut-down sequence, in steps that the executable runs in order and that tests
// run to start the whole app without its event loop.

#include <memory>

class Larderon;

namespace Startup {

void InitFileTypes();
// Creates the application object, installs the shared menu bar and registers it.
std::unique_ptr<Larderon> NewAppInstance();
void ApplicationAddMenuHandlers();
// Creates the main window; it opens once the application has opened.
void MakeDefaultView();
// Releases the program-wide objects, in their order: the About pictures, the menu bar, the file
// type.
void ReleaseProgramObjects();

}  // namespace Startup

// Runs start-up, the event loop and shut-down; returns the exit status. Needs a QApplication.
int RunLarderon();
