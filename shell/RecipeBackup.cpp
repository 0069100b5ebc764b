// The File menu's Backup and Restore commands: the dialogs and messages around the backup file
// of RecipeBackupFile.h.

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

}  // namespace

bool Larderon::FileBackup_Action() {
    // One moment for the whole name, so that the seconds cannot roll over between its parts.
    const std::string defaultName = RecipeBackup::DefaultFileName(RecipeBackup::Now());
    std::vector<std::string> changes;
    try {
        auto file = fw::GetSaveFolderItem(BackupFileType(), defaultName);
        if (file) {
            // The engine reads the book through a memory map: emptying that file under it kills
            // the app, and a backup put in its place would be the end of the book. Any name can
            // lead to it (a link, "dir/../", a second hard link, the name it was moved to), so
            // the file itself is compared, the one the stream settled on once, with the one the
            // app opened: no link swapped in afterwards can lead it elsewhere, and a book moved
            // or deleted since cannot block the backup that may be its only rescue. What cannot
            // be compared throws, and is refused with the rest.
            auto out = file->CreateTextFile();
            if (!out)
                throw RecipeBackup::Failure("the backup file cannot be created");
            const auto& book = db->OpenedFile();
            if (!book || out->Replaces({book->device, book->inode}))
                throw RecipeBackup::Failure("the backup would take the book's own place");
            // The engine deletes or takes for its own a file by those names at the next start.
            for (const auto& companion : db->CompanionFiles())
                if (out->Takes(companion))
                    throw RecipeBackup::Failure("the backup would take a name the engine keeps");
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
        // Read as lines, the book's bytes can pass for a backup.
        const auto& book = db->OpenedFile();
        if (!book || in->Reads({book->device, book->inode}))
            throw RecipeBackup::Failure("the book itself is no backup");
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
