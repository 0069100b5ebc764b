#include "tools/DatabaseFileMaker.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string PathText(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Removes the half-made file, and any journal the engine left beside it, on every way out;
// after a successful link the target holds its own name for the same data.
class TempFile {
  public:
    explicit TempFile(fs::path path) : path_(std::move(path)) {}
    ~TempFile() {
        ::unlink(PathText(path_).c_str());
        ::unlink((PathText(path_) + "-journal").c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

// A fresh name beside the target, created exclusively so no other file can be caught; open()
// rather than mkstemp so the file gets the user's umask, not 0600.
bool CreateTempBeside(const fs::path& target, fs::path* temp, std::string* why) {
    std::random_device seed;
    std::mt19937_64 random(seed() ^ static_cast<std::uint64_t>(::getpid()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = target.parent_path() / (target.filename().string() + ".tmp-" +
                                                           std::to_string(random() % 1000000000));
        const int fd =
            ::open(PathText(candidate).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            *temp = candidate;
            return true;
        }
        if (errno != EEXIST) {
            *why = "cannot create a file in " + target.parent_path().string() + ": " +
                   std::strerror(errno);
            return false;
        }
    }
    *why = "cannot find a free temporary name beside " + target.string();
    return false;
}

bool BuildSchema(const fs::path& file, std::string* why) {
    sqlite3* handle = nullptr;
    int rc = sqlite3_open_v2(PathText(file).c_str(), &handle,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        // One transaction: a single sync, and nothing half-made survives a failure.
        rc = sqlite3_exec(handle, "BEGIN", nullptr, nullptr, nullptr);
    }
    if (rc == SQLITE_OK) {
        rc = sqlite3_exec(handle, kLarderonSchemaSql, nullptr, nullptr, nullptr);
    }
    if (rc == SQLITE_OK) {
        rc = sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) {
        *why = std::string("cannot build the database: ") +
               (handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc));
    }
    const int closed = sqlite3_close(handle);
    if (rc == SQLITE_OK && closed != SQLITE_OK) {
        *why = std::string("cannot close the new database: ") + sqlite3_errstr(closed);
        rc = closed;
    }
    return rc == SQLITE_OK;
}

void SyncDirectory(const fs::path& directory) {
    const int fd = ::open(PathText(directory).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool CreateDatabaseFile(const fs::path& target, std::string* error) {
    std::string why;
    auto fail = [&](const std::string& reason) {
        if (error) {
            *error = reason;
        }
        return false;
    };
    std::error_code ec;
    // Absolute, so a name beginning "file:" is never read as a URI by the engine.
    const fs::path absolute = fs::absolute(target, ec);
    if (ec || absolute.filename().empty()) {
        return fail("not a file name: " + target.string());
    }
    const fs::file_status status = fs::symlink_status(absolute, ec);
    if (fs::exists(status)) {
        if (fs::is_regular_file(absolute, ec)) {
            return true;
        }
        return fail(absolute.string() + " exists but is not a regular file");
    }

    fs::path temp_path;
    if (!CreateTempBeside(absolute, &temp_path, &why)) {
        return fail(why);
    }
    TempFile temp(temp_path);
    if (!BuildSchema(temp.path(), &why)) {
        return fail(why);
    }
    // link() refuses an existing name, so a target that appeared meanwhile is never replaced.
    if (::link(PathText(temp.path()).c_str(), PathText(absolute).c_str()) != 0) {
        if (errno == EEXIST) {
            return true;
        }
        return fail("cannot create " + absolute.string() + ": " + std::strerror(errno));
    }
    SyncDirectory(absolute.parent_path());
    return true;
}
