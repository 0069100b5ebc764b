#pragma once
// The start-up sequence, shared by the executable and the tests that run the whole app.

// Runs start-up, the event loop and shut-down; returns the exit status. Needs a QApplication.
int RunLarderon();
