// Backing the recipes up to a text file and restoring them from one.

#include "FileTypes.h"
#include "Larderon.h"
#include "framework/Dialogs.h"

bool Larderon::FileBackup_Action() {
    fw::MsgBox("Backup is not available yet.");
    return true;
}

bool Larderon::FileRestore_Action() {
    fw::MsgBox("Restore is not available yet.");
    return true;
}
