// Backup and Restore from the File menu: the file a backup writes, how a restore reads one, that
// a failed restore keeps the earlier rows, and the main window after a restore.

#include <gtest/gtest.h>

#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <sstream>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "MainForm.h"
#include "RecipeBackupFile.h"
#include "shell/BackupTestSupport.h"
#include "shell/FaultyDialogs.h"

using namespace backup_test;
using Texts = std::vector<std::string>;
using namespace std::string_literals;

namespace {

const Texts kRestored = {"open", "msgbox:Restore completed."};

// A book of one recipe, and its backup.
void SeedBroth(Database& db) {
    Exec(db, "INSERT INTO Recipe (Name, Directions) VALUES ('Broth', 'Boil')");
}
const std::string kBrothBackup = "General\n#EOT\nBroth|1\n#BOF\nBoil\n#EOF\n#EOT\n";
const Texts kRestoreFailed = {"open", "beep", "msgbox:Restore was unsuccessful."};

std::string Lines(const Texts& lines, const std::string& end = "\n") {
    std::string text;
    for (const std::string& line : lines) text += line + end;
    return text;
}

// The real Qt file dialogs, everything else still the scripted person's.
class RealFileDialogs : public FaultyDialogs {
  public:
    explicit RealFileDialogs(ScriptedDialogs& person)
        : FaultyDialogs(person, false, {}), qt_(fw::MakeQtDialogs()) {}
    std::optional<std::filesystem::path> GetSaveFile(const fw::FileType& filter,
                                                     const std::string& defaultName) override {
        return qt_->GetSaveFile(filter, defaultName);
    }
    std::optional<std::filesystem::path> GetOpenFile(const fw::FileType& filter) override {
        return qt_->GetOpenFile(filter);
    }

  private:
    std::unique_ptr<fw::Dialogs> qt_;
};

// Answers the next file dialog as a person would: puts the file's path in its name field and
// presses Return, and answers Yes when asked whether to replace a file. Returns the questions
// asked. A dialog still open after half a minute is closed, so that a fault cannot hang the test.
std::vector<std::string> ChooseInTheNextFileDialog(const std::filesystem::path& file,
                                                   const std::function<void()>& command) {
    std::vector<std::string> asked;
    bool typed = false, gaveUp = false;
    QTimer person, deadline;
    // Each answer is given from the event loop rather than inside the timer, whose next ticks
    // must still come while the dialog asks its question.
    QObject::connect(&person, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* question = qobject_cast<QMessageBox*>(modal)) {
            asked.push_back(question->text().toStdString());
            QTimer::singleShot(0, question->button(QMessageBox::Yes), &QAbstractButton::click);
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && !typed) {
            typed = true;
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            name->setText(QString::fromStdString(file.string()));
            QTimer::singleShot(0, name, [name] { QTest::keyClick(name, Qt::Key_Return); });
        }
    });
    QObject::connect(&deadline, &QTimer::timeout, [&] {
        gaveUp = true;
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    person.start(20);
    deadline.start(30'000);
    command();
    EXPECT_TRUE(typed) << "no file dialog came";
    EXPECT_FALSE(gaveUp) << "a dialog was still open";
    return asked;
}

}  // namespace

TEST(BackupFile, EmptyBookExampleAndCancelWithTheNameFromOneClockReading) {
    int readings = 0;
    RecipeBackup::UseClock([&] {
        ++readings;
        return fw::Date(2024, 3, 5, 7, 8, 9);
    });
    LarderonHarness h;
    h.Start();
    auto db = h.OpenDatabase();
    Exec(*db, "DELETE FROM Category");
    Backup(h, h.Folder() / "empty.txt");
    EXPECT_EQ(ReadBytes(h.Folder() / "empty.txt"), "#EOT\n#EOT\n");
    EXPECT_EQ(h.Dialogs().LastFilter(), "text/plain");

    Exec(*db, "INSERT INTO Category (CategoryId, Name) VALUES (1, 'Soups'), (2, 'Desserts')");
    Exec(*db, "INSERT INTO Recipe (Name, CategoryId, Directions) VALUES ('Broth', 1, ?)",
         {std::string("Boil water\nAdd salt")});
    Backup(h, h.Folder() / "example.txt");
    EXPECT_EQ(ReadBytes(h.Folder() / "example.txt"),
              "Soups\nDesserts\n#EOT\nBroth|1\n#BOF\nBoil water\nAdd salt\n#EOF\n#EOT\n");

    h.Dialogs().ClearLog();
    h.Dialogs().ExpectSaveFile(std::nullopt);
    EXPECT_TRUE(h.App().FileBackup_Action());
    EXPECT_EQ(readings, 3);
    EXPECT_EQ(h.Dialogs().Log(), (Texts{"save:LarderonBackup_20240305_070809.txt", "beep",
                                        "msgbox:Backup completed."}));
    RecipeBackup::UseClock({});
    EXPECT_EQ(RecipeBackup::DefaultFileName(fw::Date(2031, 12, 31, 23, 59, 58)),
              "LarderonBackup_20311231_235958.txt");
}

TEST(BackupFile, DirectionsAsStoredAndCategoriesByTheirPlaceInIdOrder) {
    LarderonHarness h(Seeded([](Database& db) {
        Exec(db, "INSERT INTO Category (CategoryId, Name) VALUES (3, 'Cakes'), (7, 'Fish')");
        Exec(db,
             "INSERT INTO Recipe (Name, CategoryId, Directions) VALUES ('Plain', 1, ''), "
             "('Multi', 7, 'a' || char(10, 10) || 'b' || char(10)), ('Sponge', 3, 'Whisk'), "
             "('Orphan', 5, 'x')");
    }));
    h.Start();
    Backup(h, h.Folder() / "b.txt");
    EXPECT_EQ(ReadBytes(h.Folder() / "b.txt"),
              Lines({"General", "Cakes", "Fish", "#EOT",     "Plain|1", "#BOF", "",     "#EOF",
                     "Multi|3", "#BOF",  "a",    "",         "b",       "",     "#EOF", "Sponge|2",
                     "#BOF",    "Whisk", "#EOF", "Orphan|1", "#BOF",    "x",    "#EOF", "#EOT"}));
    EXPECT_EQ(h.Dialogs().Messages().at(0),
              "Backup completed.\n\nThese texts were changed in the backup file because it cannot "
              "hold them as they are, and a restore brings them back as written:\nRecipe "
              "\"Orphan\": its category no longer exists; written to \"General\"");
}

TEST(BackupFile, FailuresSayUnsuccessfulWithoutBeepAndLeaveAnEarlierBackupAsItWas) {
    LarderonHarness h(Seeded([](Database& db) {
        for (int i = 0; i < 50; ++i)
            Exec(db, "INSERT INTO Recipe (Name, Directions) VALUES ('Soup', ?)",
                 {std::string(1000, 'x')});
    }));
    h.Start();
    auto db = h.OpenDatabase();
    const auto earlier = h.Folder() / "earlier.txt";
    const std::string earlierBytes = "General\n#EOT\nKept|1\n#BOF\nsafe\n#EOF\n#EOT\n";
    WriteBytes(earlier, earlierBytes);
    const std::vector<std::string> folder = FolderNames(h.Folder());

    struct Case {
        const char* label;
        std::filesystem::path target;
        std::function<void()> before, after;
    };
    rlimit sizeLimit{};
    getrlimit(RLIMIT_FSIZE, &sizeLimit);
    const std::vector<Case> cases = {
        {"no such folder", h.Folder() / "no such folder" / "b.txt", {}, {}},
        {"the book held by another program", earlier, [&] { Exec(*db, "BEGIN EXCLUSIVE"); },
         [&] { Exec(*db, "ROLLBACK"); }},
        // Files may grow no larger than 4 KB: the disk is full, as far as the backup can tell.
        {"the disk full", earlier,
         [&] {
             signal(SIGXFSZ, SIG_IGN);
             rlimit full = {4096, sizeLimit.rlim_max};
             setrlimit(RLIMIT_FSIZE, &full);
         },
         [&] {
             setrlimit(RLIMIT_FSIZE, &sizeLimit);
             signal(SIGXFSZ, SIG_DFL);
         }},
        {"a query fails", earlier, [&] { Exec(*db, "ALTER TABLE Recipe RENAME TO Gone"); },
         [&] { Exec(*db, "ALTER TABLE Gone RENAME TO Recipe"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.before)
            c.before();
        h.Dialogs().ClearLog();
        Backup(h, c.target);
        if (c.after)
            c.after();
        EXPECT_EQ(h.Dialogs().Messages(), Texts{"Backup was unsuccessful."});
        EXPECT_EQ(h.Dialogs().Beeps(), 0);
        EXPECT_TRUE(ReadBytes(earlier) == earlierBytes) << "the earlier backup was changed";
        EXPECT_EQ(FolderNames(h.Folder()), folder) << "a partial file was left behind";
    }

    h.Dialogs().ClearLog();
    Backup(h, earlier);
    EXPECT_EQ(h.Dialogs().Messages(), Texts{"Backup completed."});
    EXPECT_GT(ReadBytes(earlier).size(), 50'000u);
    EXPECT_EQ(FolderNames(h.Folder()), folder);
}

TEST(BackupFile, TheBookItselfIsRefusedUnderEveryNameAndStaysWhole) {
    LarderonHarness h(Seeded(SeedBroth));
    h.Start();
    const std::filesystem::path book = h.DatabasePath();
    const std::string bookBytes = ReadBytes(book);
    std::filesystem::create_directory(h.Folder() / "sub");
    std::filesystem::create_symlink(book, h.Folder() / "link.txt");
    std::filesystem::create_hard_link(book, h.Folder() / "hard link.txt");
    // More links than the system follows: whether it ends at the book cannot be told, and what
    // cannot be told is refused.
    std::filesystem::create_symlink(book, h.Folder() / "chain0");
    for (int i = 1; i < 45; ++i)
        std::filesystem::create_symlink("chain" + std::to_string(i - 1),
                                        h.Folder() / ("chain" + std::to_string(i)));
    // The names the engine keeps beside the book: it would delete or take for its own a file
    // by one of them at the next start.
    std::filesystem::create_symlink("larderon_db.rsd-wal", h.Folder() / "log link.txt");
    const Texts names = FolderNames(h.Folder());
    for (const std::filesystem::path& target :
         {h.Folder() / "link.txt", book, h.Folder() / "." / book.filename(),
          h.Folder() / "sub" / ".." / book.filename(), h.Folder() / "hard link.txt",
          h.Folder() / "chain44", h.Folder() / "larderon_db.rsd-journal",
          h.Folder() / "sub" / ".." / "larderon_db.rsd-shm", h.Folder() / "log link.txt"}) {
        SCOPED_TRACE(target.string());
        h.Dialogs().ClearLog();
        Backup(h, target);
        EXPECT_EQ(h.Dialogs().Messages(), Texts{"Backup was unsuccessful."});
        EXPECT_EQ(h.Dialogs().Beeps(), 0);
        EXPECT_TRUE(std::filesystem::is_symlink(h.Folder() / "link.txt"));
        EXPECT_EQ(FolderNames(h.Folder()), names) << "a file was written";
        ASSERT_TRUE(ReadBytes(book) == bookBytes) << "the book was changed";
    }
    // The app goes on with its book whole.
    Backup(h, h.Folder() / "b.txt");
    EXPECT_EQ(ReadBytes(h.Folder() / "b.txt"), kBrothBackup);
    EXPECT_EQ(Recipes(*h.OpenDatabase()), Texts{"Broth|1:integer|Boil"});

    // Once the book's file is moved, and then deleted, the running app may hold the only copy of
    // the recipes: a backup over another file still completes, and the book under its new name
    // is still refused.
    const std::filesystem::path moved = h.Folder() / "sub" / "moved.rsd";
    std::filesystem::rename(book, moved);
    WriteBytes(h.Folder() / "b.txt", "an older backup\n");
    h.Dialogs().ClearLog();
    Backup(h, moved);
    Backup(h, h.Folder() / "b.txt");
    EXPECT_TRUE(ReadBytes(moved) == bookBytes) << "the moved book was changed";
    std::filesystem::remove(moved);
    WriteBytes(h.Folder() / "b.txt", "an older backup\n");
    Backup(h, h.Folder() / "b.txt");
    EXPECT_EQ(h.Dialogs().Messages(),
              (Texts{"Backup was unsuccessful.", "Backup completed.", "Backup completed."}));
    EXPECT_EQ(ReadBytes(h.Folder() / "b.txt"), kBrothBackup);
}

// Makes this process's file systems seem unable to make a nameless file, as some are: opening
// one fails as it does there. True when it took.
bool WithoutNamelessFiles(const std::filesystem::path& folder) {
    sock_filter rules[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[2])),
        BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, O_TMPFILE & ~O_DIRECTORY, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program = {static_cast<unsigned short>(std::size(rules)), rules};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
        ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
        return false;
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY, 0600) < 0 && errno == EOPNOTSUPP;
}

// What a backup child (below) meets: the system kills it once it has written 4 MiB, or its file
// systems cannot make a nameless file.
const std::string kKilledAt4MiB = "killed at 4 MiB", kNoNamelessFiles = "no nameless files";

// The test program started again with LARDERON_BACKUP_CHILD set to "<book>\n<target>\n<what it
// meets>" writes that backup and ends before any test runs.
const bool kBackupChild = [] {
    const char* job = std::getenv("LARDERON_BACKUP_CHILD");
    if (job == nullptr)
        return false;
    std::istringstream lines(job);
    std::string book, target, meets;
    std::getline(lines, book);
    std::getline(lines, target);
    std::getline(lines, meets);
    // Past the size limit the system kills the writer with SIGXFSZ, leaving no core behind.
    const rlimit noCore = {0, 0}, fourMiB = {4 << 20, RLIM_INFINITY};
    if ((meets == kKilledAt4MiB &&
         (::setrlimit(RLIMIT_CORE, &noCore) != 0 || ::setrlimit(RLIMIT_FSIZE, &fourMiB) != 0)) ||
        (meets == kNoNamelessFiles &&
         !WithoutNamelessFiles(std::filesystem::path(target).parent_path())))
        std::_Exit(4);
    Database db;
    db.DatabaseFile(book);
    fw::TextOutputStream out(target);
    if (!db.Connect() || !out.IsOpen())
        std::_Exit(2);
    try {
        RecipeBackup::WriteBackup(db, out);
        out.Close();
    } catch (...) {
        std::_Exit(3);
    }
    std::_Exit(0);
}();

// The child's wait status.
int BackupInAChild(const std::filesystem::path& book, const std::filesystem::path& target,
                   const std::string& meets) {
    const std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string job =
        "LARDERON_BACKUP_CHILD=" + book.string() + "\n" + target.string() + "\n" + meets;
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    char* envp[] = {const_cast<char*>(job.c_str()), nullptr};
    pid_t child = -1;
    int status = -1;
    if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, envp) == 0)
        ::waitpid(child, &status, 0);
    return status;
}

// Any name the system takes for the file works, in any script, and the file asked for is the
// only one that appears, even when the process writing it is killed on the way.
TEST(BackupFile, OnlyTheFileAskedForAppearsUnderAnyNameEvenWhenTheWriterIsKilled) {
    LarderonHarness h(Seeded([](Database& db) {
        Exec(db, "begin transaction");
        for (int i = 0; i < 8; ++i)
            Exec(db, "INSERT INTO Recipe (Name, Directions) VALUES ('Soup', ?)",
                 {std::string(1 << 20, 'a' + i)});
        db.Commit();
    }));
    h.Start();
    const std::filesystem::path folder = std::filesystem::canonical(h.Folder());
    const auto earlier = folder / "earlier.txt";
    Backup(h, earlier);
    const std::string backup = ReadBytes(earlier);
    ASSERT_GT(backup.size(), 8u << 20);
    const Texts names = FolderNames(folder);

    std::string cjk, cyrillic;
    for (int i = 0; i < 85; ++i) cjk += "\xE6\xB1\x89";    // 255 bytes
    for (int i = 0; i < 127; ++i) cyrillic += "\xD0\xB4";  // and "x": 255 bytes
    // The last where the file system cannot make a nameless file: a short name of the writer's
    // own serves, and is gone once the backup is in place.
    const std::pair<std::string, bool> targets[] = {{std::string(251, 'a') + ".txt", true},
                                                    {cjk, true},
                                                    {cyrillic + "x", true},
                                                    {std::string(251, 'c') + ".txt", false}};
    for (const auto& [name, namelessFiles] : targets) {
        SCOPED_TRACE(name.size());
        h.Dialogs().ClearLog();
        if (namelessFiles) {
            Backup(h, folder / name);
            EXPECT_EQ(h.Dialogs().Messages(), Texts{"Backup completed."});
        } else {
            const int status = BackupInAChild(h.DatabasePath(), folder / name, kNoNamelessFiles);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        }
        EXPECT_TRUE(ReadBytes(folder / name) == backup);
        std::filesystem::remove(folder / name);
        EXPECT_EQ(FolderNames(folder), names) << "a file was left behind";
    }

    // Killed once it has written half of it.
    const int status = BackupInAChild(h.DatabasePath(), earlier, kKilledAt4MiB);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "status " << status;
    EXPECT_EQ(FolderNames(folder), names) << "the killed backup left a file behind";
    EXPECT_TRUE(ReadBytes(earlier) == backup) << "the earlier backup was changed";
}

// "backups" links to another folder, where "latest.txt" links to "../<name>": the system finds
// <name> beside that other folder, while the text of the path leads to <name> beside the book.
TEST(BackupFile, ALinkInALinkedFolderReplacesTheFileTheSystemFindsAndStaysALink) {
    LarderonHarness h(Seeded(SeedBroth));
    h.Start();
    const std::filesystem::path elsewhere = h.Folder() / "elsewhere";
    std::filesystem::create_directories(elsewhere / "sub");
    std::filesystem::create_symlink(elsewhere / "sub", h.Folder() / "backups");
    for (const std::string name : {"larderon_db.rsd", "notes.txt"}) {
        SCOPED_TRACE(name);
        if (name == "notes.txt")
            WriteBytes(h.Folder() / name, "not a backup\n");
        const std::filesystem::path typed = h.Folder() / "backups" / "latest.txt";
        const std::filesystem::path lexical = h.Folder() / name, resolved = elsewhere / name;
        std::filesystem::remove(elsewhere / "sub" / "latest.txt");
        std::filesystem::create_symlink("../" + name, elsewhere / "sub" / "latest.txt");
        WriteBytes(resolved, "an older backup\n");
        const std::string lexicalBytes = ReadBytes(lexical);
        const Texts names = FolderNames(elsewhere);

        h.Dialogs().ClearLog();
        Backup(h, typed);
        EXPECT_EQ(h.Dialogs().Messages(), Texts{"Backup completed."});
        EXPECT_EQ(ReadBytes(resolved), kBrothBackup);
        EXPECT_TRUE(ReadBytes(lexical) == lexicalBytes) << "the file beside the book was changed";
        EXPECT_EQ(std::filesystem::read_symlink(elsewhere / "sub" / "latest.txt"), "../" + name);
        EXPECT_EQ(FolderNames(elsewhere), names) << "a file was left behind";
    }
    EXPECT_EQ(Recipes(*h.OpenDatabase()), Texts{"Broth|1:integer|Boil"});
}

// Another program keeps turning the chosen name from a file into a link to the book and back
// while backups run: whatever each backup finds, the book is never what it replaces.
TEST(BackupFile, ATargetSwappedForALinkToTheBookDuringBackupsNeverReachesTheBook) {
    LarderonHarness h(Seeded(SeedBroth));
    h.Start();
    const std::filesystem::path book = h.DatabasePath(), target = h.Folder() / "swap.txt";
    const std::string bookBytes = ReadBytes(book);
    WriteBytes(target, "a file\n");
    std::atomic<bool> stop = false;
    // Each state is held for a random moment: on a busy machine a program that flips as fast as
    // it can may fall into step with the backups, so that each of thousands finds the link.
    std::thread other([&] {
        std::error_code ignored;
        std::mt19937 rng(7);
        for (bool link = true; !stop; link = !link) {
            const std::filesystem::path next = h.Folder() / "swap.next";
            if (link)
                std::filesystem::create_symlink(book, next, ignored);
            else
                WriteBytes(next, "a file\n");
            std::filesystem::rename(next, target, ignored);
            std::this_thread::sleep_for(std::chrono::microseconds(rng() % 200));
        }
    });
    int completed = 0;
    for (int i = 0; i < 200 && ReadBytes(book) == bookBytes; ++i) {
        h.Dialogs().ClearLog();
        Backup(h, target);
        const Texts messages = h.Dialogs().Messages();
        completed += messages == Texts{"Backup completed."};
        EXPECT_TRUE(messages == Texts{"Backup completed."} ||
                    messages == Texts{"Backup was unsuccessful."});
    }
    stop = true;
    other.join();
    EXPECT_TRUE(ReadBytes(book) == bookBytes) << "the book was replaced";
    EXPECT_GT(completed, 0) << "no backup found a file there";
    EXPECT_EQ(Recipes(*h.OpenDatabase()), Texts{"Broth|1:integer|Boil"});
}

TEST(BackupFile, ThroughTheRealFileDialogsTheBookCannotBeChosenAndAnotherFileCan) {
    LarderonHarness h(Seeded(SeedBroth));
    h.Start();
    const std::string bookBytes = ReadBytes(h.DatabasePath());
    const auto chosen = h.Folder() / "chosen.txt";
    {
        RealFileDialogs dialogs(h.Dialogs());
        EXPECT_EQ(ChooseInTheNextFileDialog(h.DatabasePath(),
                                            [&] { h.App().DoMenuCommand("FileBackup"); }),
                  Texts{"larderon_db.rsd already exists.\nDo you want to replace it?"});
        EXPECT_TRUE(ReadBytes(h.DatabasePath()) == bookBytes) << "the book was changed";
        ChooseInTheNextFileDialog(chosen, [&] { h.App().DoMenuCommand("FileBackup"); });
        WriteBytes(chosen, ReadBytes(chosen) + "not read\n");
        ChooseInTheNextFileDialog(chosen, [&] { h.App().DoMenuCommand("FileRestore"); });
        // The book as the file to restore from, and a link in a linked folder whose text leads
        // to the book while the system finds another file.
        ChooseInTheNextFileDialog(h.DatabasePath(), [&] { h.App().DoMenuCommand("FileRestore"); });
        std::filesystem::create_directories(h.Folder() / "elsewhere" / "sub");
        std::filesystem::create_symlink(h.Folder() / "elsewhere" / "sub", h.Folder() / "backups");
        std::filesystem::create_symlink("../larderon_db.rsd",
                                        h.Folder() / "elsewhere" / "sub" / "latest.txt");
        const std::string restoredBytes = ReadBytes(h.DatabasePath());
        ChooseInTheNextFileDialog(h.Folder() / "backups" / "latest.txt",
                                  [&] { h.App().DoMenuCommand("FileBackup"); });
        EXPECT_TRUE(ReadBytes(h.DatabasePath()) == restoredBytes) << "the book was changed";
        // The longest name the system takes.
        ChooseInTheNextFileDialog(h.Folder() / (std::string(251, 'b') + ".txt"),
                                  [&] { h.App().DoMenuCommand("FileBackup"); });
    }
    EXPECT_EQ(h.Dialogs().Log(),
              (Texts{"msgbox:Backup was unsuccessful.", "beep", "msgbox:Backup completed.",
                     "msgbox:Restore completed.", "beep", "msgbox:Restore was unsuccessful.",
                     "beep", "msgbox:Backup completed.", "beep", "msgbox:Backup completed."}));
    EXPECT_EQ(ReadBytes(h.Folder() / (std::string(251, 'b') + ".txt")), kBrothBackup);
    EXPECT_EQ(ReadBytes(h.Folder() / "elsewhere" / "larderon_db.rsd"), kBrothBackup);
    EXPECT_EQ(Recipes(*h.OpenDatabase()), Texts{"Broth|1:integer|Boil"});
}

TEST(BackupAndRestore, OnlyRegularFilesAreReadOrWrittenAndOthersFailAtOnce) {
    LarderonHarness h(Seeded(SeedBroth));
    h.Start();
    auto db = h.OpenDatabase();

    // A header line of ten million "|" takes a few times its size in memory, not seventy.
    const std::string hugeHeader = "R|1" + std::string(10'000'000, '|');
    WriteBytes(h.Folder() / "huge.txt", "General\n#EOT\n" + hugeHeader + "\n#BOF\nx\n#EOF\n#EOT\n");
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long peakBefore = usage.ru_maxrss;
    Restore(h, h.Folder() / "huge.txt");
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT((usage.ru_maxrss - peakBefore) * 1024, 8 * 10'000'000)
        << "kilobytes " << usage.ru_maxrss;
    EXPECT_EQ(Recipes(*db), Texts{"R|1:integer|x"});
    const Texts restored = Tables(*db);

    const auto fifo = h.Folder() / "pipe.txt";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    h.Dialogs().ClearLog();
    ASSERT_TRUE(ReturnsWithoutWaitingOn(fifo, [&] { Restore(h, fifo); }))
        << "the restore waited for a writer";
    ASSERT_TRUE(ReturnsWithoutWaitingOn(fifo, [&] { Backup(h, fifo); }))
        << "the backup waited for a reader";
    EXPECT_EQ(h.Dialogs().Messages(),
              (Texts{"Restore was unsuccessful.", "Backup was unsuccessful."}));
    EXPECT_EQ(h.Dialogs().Beeps(), 1);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));

    // Devices never end, or swallow everything, or fail every write; a folder is no file.
    for (const char* device : {"/dev/zero", "/dev/null", "/dev/full"}) {
        if (!std::filesystem::exists(device))
            continue;
        SCOPED_TRACE(device);
        h.Dialogs().ClearLog();
        Restore(h, device);
        Backup(h, device);
        EXPECT_EQ(h.Dialogs().Messages(),
                  (Texts{"Restore was unsuccessful.", "Backup was unsuccessful."}));
        EXPECT_TRUE(std::filesystem::is_character_file(device));
    }
    h.Dialogs().ClearLog();
    std::filesystem::create_directory(h.Folder() / "sub");
    Backup(h, h.Folder() / "sub");
    Restore(h, h.Folder() / "sub");
    EXPECT_EQ(h.Dialogs().Messages(),
              (Texts{"Backup was unsuccessful.", "Restore was unsuccessful."}));
    EXPECT_TRUE(std::filesystem::is_directory(h.Folder() / "sub"));
    EXPECT_EQ(Tables(*db), restored);
}

TEST(BackupFile, TextsTheFileCannotHoldAreWrittenSafelyListedAndRestoredAsWritten) {
    LarderonHarness h(Seeded([](Database& db) {
        Exec(db, "UPDATE Category SET Name = ? WHERE CategoryId = 1",
             {std::string("\xEF\xBB\xBFGeneral")});
        // Only a damaged book holds zero bytes; the reader would refuse a file with one.
        for (const std::string& name : {"#E\0OT"s, "Two\r\nLines"s, "#BOF"s})
            Exec(db, "INSERT INTO Category (Name) VALUES (?)", {name});
        const std::pair<std::string, std::string> recipes[] = {
            {"Salt|Pep\0per|Mix"s, "x"},
            {"Line\nBreak\r", "y"},
            {"Marker", "#EOF\nstill here\r#EOF"},
            {"#EOT", "#BOF\n#EOT\n#EOF "},  // harmless: stays as it is
            {"Crlf", "one\r\ntwo\0\r\n"s}};
        for (const auto& [name, directions] : recipes)
            Exec(db, "INSERT INTO Recipe (Name, CategoryId, Directions) VALUES (?, 2, ?)",
                 {name, directions});
        for (int i = 0; i < 18; ++i)
            Exec(db, "INSERT INTO Recipe (Name) VALUES (?)", {"a|" + std::to_string(i)});
    }));
    h.Start();
    Backup(h, h.Folder() / "b.txt");
    EXPECT_EQ(
        ReadBytes(h.Folder() / "b.txt").substr(0, ReadBytes(h.Folder() / "b.txt").find("a/0|1")),
        Lines(
            {"General", " #EOT",    "Two Lines", "#BOF",          "#EOT",       "Salt/Pepper/Mix|2",
             "#BOF",    "x",        "#EOF",      "Line Break |2", "#BOF",       "y",
             "#EOF",    "Marker|2", "#BOF",      " #EOF",         "still here", " #EOF",
             "#EOF",    "#EOT|2",   "#BOF",      "#BOF",          "#EOT",       "#EOF ",
             "#EOF",    "Crlf|2",   "#BOF",      "one",           "two",        "",
             "#EOF"}));
    const std::string message = h.Dialogs().Messages().at(0);
    EXPECT_EQ(message.substr(0, message.find("\nRecipe \"a/0\"")),
              "Backup completed.\n\nThese texts were changed in the backup file because it "
              "cannot hold them as they are, and a restore brings them back as written:\n"
              "Category \"General\": the byte-order mark at the start of the name left out\n"
              "Category \" #EOT\": zero bytes in the name left out; the name \"#EOT\" written "
              "as \" #EOT\"\n"
              "Category \"Two Lines\": line ends in the name written as blanks\n"
              "Recipe \"Salt/Pepper/Mix\": zero bytes in the name left out; \"|\" in the name "
              "written as \"/\"\n"
              "Recipe \"Line Break \": line ends in the name written as blanks\n"
              "Recipe \"Marker\": carriage returns in the directions written as line ends; "
              "directions lines reading \"#EOF\" written as \" #EOF\"\n"
              "Recipe \"Crlf\": zero bytes in the directions left out; carriage returns in the "
              "directions written as line ends");
    // Twenty-five changes: the first twenty are listed, the rest counted.
    EXPECT_NE(message.find("\nRecipe \"a/12\""), std::string::npos);
    EXPECT_EQ(message.find("\nRecipe \"a/13\""), std::string::npos);
    EXPECT_EQ(message.substr(message.rfind('\n')), "\n... and 5 more.");

    Restore(h, h.Folder() / "b.txt");
    auto db = h.OpenDatabase();
    EXPECT_EQ(Categories(*db), (Texts{"1:General", "2: #EOT", "3:Two Lines", "4:#BOF"}));
    Texts restored = Recipes(*db);
    restored.resize(5);
    EXPECT_EQ(restored, (Texts{"Salt/Pepper/Mix|2:integer|x", "Line Break |2:integer|y",
                               "Marker|2:integer| #EOF\nstill here\n #EOF",
                               "#EOT|2:integer|#BOF\n#EOT\n#EOF ", "Crlf|2:integer|one\ntwo\n"}));
}

TEST(RestoreFile, ReadsByTheLineRulesWithAnyLineEndAfterAByteOrderMark) {
    const Texts file = {"Soups",
                        "",
                        " #EOT",
                        "#eot",
                        "\xEF\xBB\xBF#EOT",  // only the file's first three bytes can be a mark
                        "#EOT",
                        "no bar here",
                        "Broth|1|ignored|too",
                        "#BOF",
                        "Boil water",
                        "",
                        "#EOT",
                        "#BOF",
                        "Add salt",
                        "#EOF",
                        "#BOF",
                        "#EOF",
                        "Cake|2",
                        "#BOF",
                        "one line",
                        "#EOF",
                        "Lost|6",
                        "#BOF",
                        "x",
                        "#EOF",
                        "Zero|00",
                        "#BOF",
                        "z",
                        "#EOF",
                        "|4",
                        "#BOF",
                        "#EOF",
                        "#EOT",
                        "After|1",
                        "#BOF",
                        "not read",
                        "#EOF",
                        "#BOF"};
    for (const char* end : {"\n", "\r\n", "\r"}) {
        SCOPED_TRACE(::testing::PrintToString(std::string(end)));
        // Earlier rows with ids the file does not have: none of them may survive.
        LarderonHarness h(Seeded([](Database& db) {
            Exec(db, "DELETE FROM Category");
            Exec(db, "INSERT INTO Category (CategoryId, Name) VALUES (40, 'Old'), (41, 'Older')");
            Exec(db, "INSERT INTO Recipe (RecipeId, Name, CategoryId) VALUES (500, 'Old', 40)");
        }));
        h.Start();
        WriteBytes(h.Folder() / "r.txt", "\xEF\xBB\xBF" + Lines(file, end));
        Restore(h, h.Folder() / "r.txt");
        EXPECT_EQ(h.Dialogs().Log(), kRestored);
        auto db = h.OpenDatabase();
        EXPECT_EQ(Categories(*db),
                  (Texts{"1:Soups", "2:", "3: #EOT", "4:#eot", "5:\xEF\xBB\xBF#EOT"}));
        EXPECT_EQ(Recipes(*db), (Texts{"Broth|1:integer|Boil water\n\n#EOT\n#BOF\nAdd salt",
                                       "Broth|1:integer|", "Cake|2:integer|one line",
                                       "Lost|1:integer|x", "Zero|1:integer|z", "|4:integer|"}));
    }
}

TEST(RestoreFile, CancelChangesNothingAndLeavesTheWindowAlone) {
    LarderonHarness h;
    h.Start();
    auto db = h.OpenDatabase();
    Exec(*db, "INSERT INTO Category (Name) VALUES ('Added behind the window')");
    const Texts before = Tables(*db);
    h.Dialogs().ExpectOpenFile(std::nullopt);
    EXPECT_TRUE(h.App().FileRestore_Action());
    EXPECT_EQ(h.Dialogs().Log(), kRestored);
    EXPECT_EQ(Tables(*db), before);
    EXPECT_EQ(h.Form().lstCategory().ListCount(), 1) << "the lists were refilled";
}

TEST(RestoreFile, UnusableFilesAndRejectedStatementsLeaveBothTablesAsTheyWere) {
    LarderonHarness h(Seeded([](Database& db) {
        Exec(db, "INSERT INTO Category (CategoryId, Name) VALUES (4, 'Cakes')");
        Exec(db,
             "INSERT INTO Recipe (RecipeId, Name, CategoryId, Directions) VALUES "
             "(9, 'Sponge', 4, 'Whisk'), (12, 'Broth', 1, 'Boil' || char(10) || '#EOT' || "
             "char(10) || '#EOT' || char(10) || 'Serve')");
    }));
    h.Start();
    const std::string good = "A\nB\n#EOT\nGood|2\n#BOF\nx\n#EOF\n";
    const std::vector<std::pair<std::string, std::string>> files = {
        {"empty file", ""},
        {"no category: the book would lose its default one", "#EOT\n#EOT\n"},
        {"no category, with recipes", "#EOT\nR|1\n#BOF\nx\n#EOF\n#EOT\n"},
        {"a byte-order mark and no category", "\xEF\xBB\xBF#EOT\n#EOT\n"},
        {"no end of the categories", "A\nB\n"},
        {"no end of the recipes", good},
        {"ends inside directions", good + "R|1\n#BOF\nx\n"},
        {"ends right after #BOF", good + "R|1\n#BOF\n"},
        {"#BOF before any header", "A\n#EOT\n#BOF\nx\n#EOF\n#EOT\n"},
        {"header without bar", good + "Broth\n#BOF\nx\n#EOF\n#EOT\n"},
        {"category piece with a letter", good + "R|x12\n#BOF\n#EOF\n#EOT\n"},
        {"empty category piece", good + "R|\n#BOF\n#EOF\n#EOT\n"},
        {"signed category piece", good + "R|-1\n#BOF\n#EOF\n#EOT\n"},
        {"blank in category piece", good + "R| 2\n#BOF\n#EOF\n#EOT\n"},
        {"decimal point", good + "R|1.0\n#BOF\n#EOF\n#EOT\n"},
        {"category rejected", "A\nPoison\n#EOT\n#EOT\n"},
        {"recipe rejected", good + "Poison|1\n#BOF\ny\n#EOF\n#EOT\n"},
        {"a zero byte in the directions", good + "R|1\n#BOF\nx\0y\n#EOF\n#EOT\n"s},
    };
    auto db = h.OpenDatabase();
    for (const char* table : {"Recipe", "Category"})
        Exec(*db, std::string("CREATE TRIGGER no_poison_") + table + " BEFORE INSERT ON " + table +
                      " WHEN NEW.Name = 'Poison' BEGIN SELECT RAISE(ABORT, 'rejected'); END");
    const Texts before = Tables(*db);
    auto expectUnchanged = [&](const std::filesystem::path& file) {
        h.Dialogs().ClearLog();
        Restore(h, file);
        EXPECT_EQ(h.Dialogs().Log(), kRestoreFailed);
        EXPECT_EQ(Tables(*db), before);
    };
    for (const auto& [label, bytes] : files) {
        SCOPED_TRACE(label);
        WriteBytes(h.Folder() / "bad.txt", bytes);
        expectUnchanged(h.Folder() / "bad.txt");
    }
    expectUnchanged(h.Folder() / "missing.txt");
    expectUnchanged(h.Folder());
    // The book itself, by its name or a link, any other database file, a copy of the book
    // behind a byte-order mark or one more byte, and an archive of its folder: read as lines,
    // their bytes can pass for a backup, as the book's "#EOT" directions here would. A zero byte
    // tells each for no text.
    std::filesystem::create_symlink(h.DatabasePath(), h.Folder() / "book link.txt");
    {
        std::filesystem::copy_file(h.DatabasePath(), h.Folder() / "other.db");
        Database other;
        other.DatabaseFile(h.Folder() / "other.db");
        ASSERT_TRUE(other.Connect());
        Exec(other,
             "CREATE TABLE t (v TEXT); INSERT INTO t VALUES ('x' || char(10) || "
             "'#EOT' || char(10) || '#EOT' || char(10))");
    }
    WriteBytes(h.Folder() / "marked.txt", "\xEF\xBB\xBF" + ReadBytes(h.DatabasePath()));
    WriteBytes(h.Folder() / "shifted.txt", "x" + ReadBytes(h.DatabasePath()));
    ASSERT_EQ(std::system(("tar -cf '" + (h.Folder() / "book.tar").string() + "' -C '" +
                           h.Folder().string() + "' larderon_db.rsd")
                              .c_str()),
              0);
    // A disk image chosen by mistake: a gigabyte of zero bytes, refused in its first piece.
    WriteBytes(h.Folder() / "disk.img", "");
    std::filesystem::resize_file(h.Folder() / "disk.img", 1u << 30);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long peakBefore = usage.ru_maxrss;
    for (const char* source : {"larderon_db.rsd", "book link.txt", "other.db", "marked.txt",
                               "shifted.txt", "book.tar", "disk.img"}) {
        SCOPED_TRACE(source);
        expectUnchanged(h.Folder() / source);
    }
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss - peakBefore, 64 * 1024) << "kilobytes " << usage.ru_maxrss;

    // Another program rewrites the file in place, at the same size, while it is read: what was
    // read is half of each, and nothing of it is kept. Its time stamp is set back first, so that
    // the rewrite shows however coarse the file system's clock.
    const auto rewritten = h.Folder() / "rewritten.txt";
    auto version = [&](char letter) {
        std::string text = "General\n#EOT\n";
        for (int i = 0; i < 20'000; ++i)
            text += letter + std::to_string(100'000 + i) + "|1\n#BOF\nx\n#EOF\n";
        return text + "#EOT\n";
    };
    WriteBytes(rewritten, version('A'));
    const timespec past[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, rewritten.c_str(), past, 0), 0);
    {
        fw::TextInputStream in(rewritten);
        ASSERT_FALSE(in.Eof());  // the first piece is read
        const int writer = ::open(rewritten.c_str(), O_WRONLY);
        const std::string other = version('B');
        ASSERT_EQ(::pwrite(writer, other.data(), other.size(), 0),
                  static_cast<ssize_t>(other.size()));
        ::close(writer);
        EXPECT_THROW(RecipeBackup::RestoreBackup(*db, in), RecipeBackup::Failure);
        EXPECT_EQ(Tables(*db), before);
    }

    Exec(*db, "CREATE TRIGGER keep BEFORE DELETE ON Category BEGIN SELECT RAISE(ABORT, 'no'); END");
    WriteBytes(h.Folder() / "ok.txt", good + "#EOT\n");
    expectUnchanged(h.Folder() / "ok.txt");
    Exec(*db, "DROP TRIGGER keep");

    // Nothing was left open: another connection can write, and a good file restores.
    Exec(*db, "UPDATE Preferences SET PageSetup = 'x'");
    h.Dialogs().ClearLog();
    Restore(h, h.Folder() / "ok.txt");
    EXPECT_EQ(h.Dialogs().Log(), kRestored);
    EXPECT_EQ(Categories(*db), (Texts{"1:A", "2:B"}));
}

TEST(RestoreIds, CategoriesWithGapsComeBackNumberedInFileOrderWithTheirRecipes) {
    LarderonHarness h(Seeded([](Database& db) {
        Exec(db,
             "INSERT INTO Category (CategoryId, Name) VALUES (2, 'A'), (3, 'B'), (4, 'C'), "
             "(5, 'D')");
        Exec(db,
             "INSERT INTO Recipe (Name, CategoryId) VALUES ('r1', 1), ('r3', 3), ('r5', 5), "
             "('orphan', 9)");
        Exec(db, "DELETE FROM Category WHERE CategoryId IN (2, 4)");
    }));
    h.Start();
    Backup(h, h.Folder() / "b.txt");
    Restore(h, h.Folder() / "b.txt");
    auto db = h.OpenDatabase();
    EXPECT_EQ(Categories(*db), (Texts{"1:General", "2:B", "3:D"}));
    EXPECT_EQ(Rows(*db,
                   "SELECT r.Name || '>' || c.Name AS v FROM Recipe r LEFT JOIN Category c "
                   "USING (CategoryId) ORDER BY r.RecipeId"),
              (Texts{"r1>General", "r3>B", "r5>D", "orphan>General"}));
    // The engine carries on from the restored ids, as the window's new categories rely on.
    Exec(*db, "INSERT INTO Category (Name) VALUES ('New')");
    EXPECT_EQ(Categories(*db).back(), "4:New");
}

TEST(RestoreFile, QuotesUnicodeAndLineEndsComeBackByteExactRoundAfterRound) {
    const std::string quoted = "O'Brien's \"best\" stew'); DELETE FROM Recipe; --";
    const std::string unicode = "Crème brûlée 🍮 Über-gut ✓";
    const Texts directions = {
        "a", "a\n", "", "\n\nx", "Add 'a pinch'\n" + unicode + "\n\n", "one\r\ntwo\rthree\r\n"};
    LarderonHarness h(Seeded([&](Database& db) {
        Exec(db, "UPDATE Category SET Name = ? WHERE CategoryId = 1", {std::string("Chef's '")});
        Exec(db, "INSERT INTO Category (Name) VALUES (?)", {unicode});
        Exec(db, "INSERT INTO Recipe (Name, CategoryId, Directions) VALUES (?, 2, '')", {unicode});
        for (const std::string& text : directions)
            Exec(db, "INSERT INTO Recipe (Name, CategoryId, Directions) VALUES (?, 1, ?)",
                 {quoted, text});
    }));
    h.Start();
    auto db = h.OpenDatabase();
    Texts expected = {unicode + "|2:integer|"};
    for (const std::string& text : directions) expected.push_back(quoted + "|1:integer|" + text);
    expected.back() = quoted + "|1:integer|one\ntwo\nthree\n";  // named when backed up
    std::string firstFile;
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        Backup(h, h.Folder() / "b.txt");
        Restore(h, h.Folder() / "b.txt");
        EXPECT_EQ(Categories(*db), (Texts{"1:Chef's '", "2:" + unicode}));
        EXPECT_EQ(Recipes(*db), expected);
        if (round == 1)
            firstFile = ReadBytes(h.Folder() / "b.txt");
    }
    EXPECT_EQ(ReadBytes(h.Folder() / "b.txt"), firstFile);
    EXPECT_EQ(h.Dialogs().Messages().at(2), "Backup completed.");
}

TEST(RestoreWindow, ListsShowTheRestoredRowsAndEditAndDeleteActOnThem) {
    LarderonHarness h(Seeded([](Database& db) {
        Exec(db, "INSERT INTO Category (CategoryId, Name) VALUES (50, 'Old')");
        Exec(db,
             "INSERT INTO Recipe (RecipeId, Name, CategoryId) VALUES (100, 'Alpha', 50), "
             "(101, 'Beta', 1)");
    }));
    h.Start();
    class MainForm& form = h.Form();
    form.NativeWidget()->show();
    form.lstRecipe().SelectRowAsUser(0);
    form.btnEditRecipe().Push();
    ASSERT_TRUE(form.EditMode());

    WriteBytes(
        h.Folder() / "r.txt",
        "General\nFish\n#EOT\nBanana|1\n#BOF\nPeel\n#EOF\nApple|2\n#BOF\nCore\n#EOF\n#EOT\n");
    Restore(h, h.Folder() / "r.txt");
    EXPECT_FALSE(form.EditMode());
    EXPECT_FALSE(form.btnSaveRecipe().Enabled());
    fw::Listbox& recipes = form.lstRecipe();
    fw::Listbox& categories = form.lstCategory();
    ASSERT_EQ(recipes.ListCount(), 2);
    ASSERT_EQ(categories.ListCount(), 2);
    EXPECT_EQ(recipes.Cell(0, 0) + recipes.CellTag(0, 0).Text() + recipes.Cell(1, 0) +
                  recipes.CellTag(1, 0).Text(),
              "Apple2Banana1");
    EXPECT_EQ(categories.Cell(0, 0) + categories.CellTag(0, 0).Text() + categories.Cell(1, 0) +
                  categories.CellTag(1, 0).Text(),
              "Fish2General1");
    ASSERT_EQ(form.cboRecipeCategory().ListCount(), 2);
    EXPECT_EQ(form.cboRecipeCategory().RowTag(0).Text(), "2");
    EXPECT_EQ(form.cboCategory().ListCount(), 3);

    recipes.SelectRowAsUser(0);
    form.btnEditRecipe().Push();
    QTest::keyClick(form.txtRecipeName().NativeWidget(), Qt::Key_End);
    QTest::keyClicks(form.txtRecipeName().NativeWidget(), " pie");
    form.btnSaveRecipe().Push();
    auto db = h.OpenDatabase();
    EXPECT_EQ(Recipes(*db), (Texts{"Banana|1:integer|Peel", "Apple pie|2:integer|Core"}));
    recipes.SelectRowAsUser(1);
    h.Dialogs().ExpectConfirm("Delete");
    form.btnDeleteRecipe().Push();
    EXPECT_EQ(Recipes(*db), (Texts{"Apple pie|2:integer|Core"}));

    form.tpnlMain().Value(1);
    categories.SelectRowAsUser(0);
    form.btnEditCategory().Push();
    QTest::keyClick(form.txtCategoryName().NativeWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(form.txtCategoryName().NativeWidget(), "Seafood");
    form.btnSaveCategory().Push();
    EXPECT_EQ(Categories(*db), (Texts{"1:General", "2:Seafood"}));
}
