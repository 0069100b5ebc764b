#pragma once
// Shared by the backup and restore tests: files as bytes, table rows as text, and the two menu
// commands run with the person's answers scripted.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Larderon.h"
#include "support/LarderonHarness.h"

namespace backup_test {

inline std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// The names in a folder, sorted: what a failed backup must not have added to.
inline std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs a command that must never wait on the FIFO at `fifo`. Should it still be running after a
// few seconds, it is waiting for the FIFO's other end: a watchdog then opens that end, ends it at
// once for a reader and takes in whatever a writer sends, so that the command and the test end
// all the same. True when the command returned without that help.
inline bool ReturnsWithoutWaitingOn(const std::filesystem::path& fifo,
                                    const std::function<void()>& command) {
    std::mutex mutex;
    std::condition_variable returned;
    std::atomic<bool> done = false;
    bool helped = false;
    std::thread watchdog([&] {
        {
            std::unique_lock<std::mutex> lock(mutex);
            if (returned.wait_for(lock, std::chrono::seconds(5), [&] { return done.load(); }))
                return;
            helped = true;
        }
        // Neither open waits: a reader is let go by the writer that comes and goes at once, a
        // writer by the reader that stays until the command has returned.
        int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
        char sink[65536];
        while (reader >= 0 && !done) {
            pollfd wait = {reader, POLLIN, 0};
            if (::poll(&wait, 1, 50) > 0 && ::read(reader, sink, sizeof sink) < 0 &&
                errno != EAGAIN)
                break;
        }
        if (reader >= 0)
            ::close(reader);
    });
    command();
    {
        std::lock_guard<std::mutex> lock(mutex);
        done = true;
    }
    returned.notify_all();
    watchdog.join();
    return !helped;
}

inline void Exec(Database& db, const std::string& sql, const std::vector<SqlValue>& params = {}) {
    db.SQLExecute(sql, params);
    if (db.Error())
        throw std::runtime_error(sql + ": " + db.ErrorMessage());
}

// The column "v" of every row.
inline std::vector<std::string> Rows(Database& db, const std::string& sql) {
    std::vector<std::string> rows;
    auto rs = db.SQLSelect(sql);
    for (; rs && !rs->Eof(); rs->MoveNext()) rows.push_back(rs->Field("v").StringValue());
    return rows;
}

inline std::vector<std::string> Categories(Database& db) {
    return Rows(db, "SELECT CategoryId || ':' || Name AS v FROM Category ORDER BY CategoryId");
}

// Name, category id with its storage class (so that one stored as text shows), directions.
inline std::vector<std::string> Recipes(Database& db) {
    return Rows(db,
                "SELECT Name || '|' || CategoryId || ':' || typeof(CategoryId) || '|' || "
                "Directions AS v FROM Recipe ORDER BY RecipeId");
}

// Every row of both tables, keys included, for "nothing changed".
inline std::vector<std::string> Tables(Database& db) {
    auto rows =
        Rows(db, "SELECT quote(CategoryId) || quote(Name) AS v FROM Category ORDER BY CategoryId");
    for (auto& row : Rows(db,
                          "SELECT quote(RecipeId) || quote(Name) || quote(CategoryId) || "
                          "quote(Directions) AS v FROM Recipe ORDER BY RecipeId"))
        rows.push_back(row);
    return rows;
}

inline void Backup(LarderonHarness& h, const std::filesystem::path& file) {
    h.Dialogs().ExpectSaveFile(file);
    EXPECT_TRUE(h.App().DoMenuCommand("FileBackup"));
}

inline void Restore(LarderonHarness& h, const std::filesystem::path& file) {
    h.Dialogs().ExpectOpenFile(file);
    EXPECT_TRUE(h.App().DoMenuCommand("FileRestore"));
}

inline LarderonHarness::Options Seeded(std::function<void(Database&)> seed) {
    return LarderonHarness::Options{true, std::move(seed)};
}

}  // namespace backup_test
