// The File menu's Backup and Restore commands: the dialogs and messages around the backup file
// of RecipeBackupFile.h.

#include <filesystem>
#include <stdexcept>

#include "FileTypes.h"
#include "Larderon.h"
#include "RecipeBackupFile.h"
#include "framework/Dialogs.h"
#include "framework/Files.h"

namespace {

const fw::FileType& BackupFileType() {
    if (!FileTypes::pTextPlain)
        throw std::logic_error("the file types are not initialized");
    return *FileTypes::pTextPlain;
}

// The engine reads the book through a memory map: emptying that file under it kills the app, and
// a backup put in its place would be the end of the book. Any name can lead to it (a link,
// "dir/../", a second hard link), so the file itself is compared.
bool IsTheBook(const std::filesystem::path& target, const Database& db) {
    std::error_code error;
    return std::filesystem::equivalent(target, db.DatabaseFile(), error);
}

}  // namespace

bool Larderon::FileBackup_Action() {
    // One moment for the whole name, so that the seconds cannot roll over between its parts.
    const std::string defaultName = RecipeBackup::DefaultFileName(RecipeBackup::Now());
    std::vector<std::string> changes;
    try {
        auto file = fw::GetSaveFolderItem(BackupFileType(), defaultName);
        if (file) {
            if (IsTheBook(file->Path(), *db))
                throw RecipeBackup::Failure("the backup would take the book's own place");
            auto out = file->CreateTextFile();
            if (!out)
                throw RecipeBackup::Failure("the backup file cannot be created");
            changes = RecipeBackup::WriteBackup(*db, *out);
            out->Close();
        }
    } catch (...) {
        fw::MsgBox("Backup was unsuccessful.");
        return true;
    }
    fw::Beep();
    fw::MsgBox(RecipeBackup::CompletedMessage(changes));
    return true;
}

bool Larderon::FileRestore_Action() {
    try {
        auto file = fw::GetOpenFolderItem(BackupFileType());
        if (!file) {
            fw::MsgBox("Restore completed.");
            return true;
        }
        auto in = file->OpenAsTextFile();
        if (!in)
            throw RecipeBackup::Failure("the backup file cannot be opened");
        RecipeBackup::RestoreBackup(*db, *in);
        in->Close();
    } catch (...) {
        fw::Beep();
        fw::MsgBox("Restore was unsuccessful.");
        return true;
    }
    // The window's lists still carry the ids of the rows that are gone.
    if (RefreshMainWindow)
        RefreshMainWindow();
    fw::MsgBox("Restore completed.");
    return true;
}
