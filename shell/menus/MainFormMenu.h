#pragma once
// The one menu bar, shared by the application and the main window.

#include "framework/Menus.h"

class MainFormMenu : public fw::MenuBar {
  public:
    MainFormMenu();
    void Untitled0();  // File menu
    void Untitled1();  // Edit menu
    void Untitled2();  // Help menu
};

// The shared menu bar, made on the first call.
class MainFormMenu& MainFormMenu();
// Releases the shared menu bar at program end.
void ReleaseMainFormMenu();
