#pragma once
// Prepares a test or benchmark program to run Qt without a desktop session: the offscreen
// platform unless another is asked for, and a private runtime folder when the session has none
// (Qt otherwise warns and falls back to a shared folder in /tmp).

#include <QtGlobal>

inline void PrepareHeadlessQt() {
    // Both must be set before QApplication picks its platform plugin.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", LARDERON_RUNTIME_DIR);
}
