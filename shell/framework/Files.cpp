#include "framework/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ios>
#include <random>
#include <system_error>
#include <utility>

#include "framework/Dialogs.h"
#include "framework/Text.h"

namespace fw {

namespace {

namespace fs = std::filesystem;

// Lines go to the file in pieces of this size: few system calls, little memory.
constexpr std::size_t kChunk = 1 << 16;
// How much written data the disk is asked to start on at a time.
constexpr std::int64_t kStartToDisk = 1 << 20;
// As many links as the system follows in one path before it gives up. Only the links met at the
// last name are counted against it here: those in the folders on the way are the system's own to
// count, in canonical(). A path may therefore hold a few more links in all than opening it would
// follow; each part still stops at a loop.
constexpr int kMostLinks = 40;

fs::filesystem_error SystemError(const char* what, const fs::path& path, int error) {
    return fs::filesystem_error(what, path, std::error_code(error, std::generic_category()));
}

bool SameFile(const struct stat& found, const FileIdentity& file) {
    return static_cast<std::uint64_t>(found.st_dev) == file.device &&
           static_cast<std::uint64_t>(found.st_ino) == file.inode;
}

struct stat LookAt(int fd) {
    struct stat found {};
    if (fd < 0 || ::fstat(fd, &found) != 0)
        throw SystemError("cannot look at the open file", {}, fd < 0 ? EBADF : errno);
    return found;
}

// What a write to a file changes, whatever it writes: its size, modification time and change time.
std::array<std::int64_t, 5> Stamp(const struct stat& file) {
    return {file.st_size, file.st_mtim.tv_sec, file.st_mtim.tv_nsec, file.st_ctim.tv_sec,
            file.st_ctim.tv_nsec};
}

// A short name of the program's own for a file in the making, whatever the target's length.
std::string TemporaryName() {
    static std::random_device random;
    return ".larderon-" + std::to_string(random() % 1'000'000'000) + ".tmp";
}

// The file `path` names, found as opening it finds it; where nothing is there yet, the place a
// new file would be made. Throws fs::filesystem_error when the system cannot tell.
fs::path ResolveFile(const fs::path& path) {
    fs::path current = fs::absolute(path);
    for (int links = 0;;) {
        const fs::path name = current.filename();
        if (name.empty() || name == "." || name == "..")
            return fs::canonical(current);
        const fs::path folder = fs::canonical(current.parent_path());
        current = folder / name;
        struct stat found {};
        if (::lstat(current.c_str(), &found) != 0) {
            if (errno == ENOENT)
                return current;
            throw SystemError("cannot look at the file", current, errno);
        }
        if (!S_ISLNK(found.st_mode))
            return current;
        if (++links > kMostLinks)
            throw SystemError("too many links", path, ELOOP);
        const fs::path target = fs::read_symlink(current);
        current = target.is_absolute() ? target : folder / target;
    }
}

}  // namespace

bool FolderItem::Exists() const {
    std::error_code error;
    return std::filesystem::exists(path_, error);
}

std::unique_ptr<TextOutputStream> FolderItem::CreateTextFile() const {
    auto stream = std::make_unique<TextOutputStream>(path_);
    if (!stream->IsOpen())
        return nullptr;
    return stream;
}

std::unique_ptr<TextInputStream> FolderItem::OpenAsTextFile() const {
    auto stream = std::make_unique<TextInputStream>(path_);
    if (!stream->IsOpen())
        return nullptr;
    return stream;
}

namespace {
std::filesystem::path folderOverride;
}

void ApplicationFolder(const std::filesystem::path& folder) {
    folderOverride = folder;
}

std::filesystem::path ApplicationFolder() {
    if (!folderOverride.empty())
        return folderOverride;
    if (QCoreApplication::instance()) {
        return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
    }
    std::error_code error;
    auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
}

FolderItem GetFolderItem(const std::string& name) {
    return FolderItem(ApplicationFolder() / name);
}

std::optional<FolderItem> GetSaveFolderItem(const FileType& filter,
                                            const std::string& defaultName) {
    auto chosen = CurrentDialogs().GetSaveFile(filter, defaultName);
    if (!chosen)
        return std::nullopt;
    return FolderItem(*chosen);
}

std::optional<FolderItem> GetOpenFolderItem(const FileType& filter) {
    auto chosen = CurrentDialogs().GetOpenFile(filter);
    if (!chosen)
        return std::nullopt;
    return FolderItem(*chosen);
}

TextOutputStream::TextOutputStream(const fs::path& path) {
    try {
        target_ = ResolveFile(path);
    } catch (const fs::filesystem_error&) {
        return;
    }
    name_ = target_.filename().string();
    folder_ = ::open(target_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0)
        return;
    // Only a regular file is replaced; what is there must also be one the person may write, as
    // when it is opened for writing.
    struct stat existing {};
    const bool exists = ::fstatat(folder_, name_.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT)
        return;
    if (exists &&
        (!S_ISREG(existing.st_mode) || ::faccessat(folder_, name_.c_str(), W_OK, AT_EACCESS) != 0))
        return;
    // The new file is made in the target's folder, so that putting it in place is one rename on
    // the same disk. It has no name there until it is whole: nothing is left beside the target
    // by a process that dies while it writes.
    out_ = ::openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (out_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // A file system that cannot make a nameless file gets a named one from the start.
        for (int attempt = 0; attempt < 100 && out_ < 0; ++attempt) {
            temporaryName_ = TemporaryName();
            out_ = ::openat(folder_, temporaryName_.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (out_ < 0 && errno != EEXIST)
                break;
        }
        if (out_ < 0)
            temporaryName_.clear();  // nothing of ours goes by that name
    }
    // It takes the permissions of the file it replaces.
    if (out_ >= 0 && exists)
        ::fchmod(out_, existing.st_mode & 07777);
}

TextOutputStream::~TextOutputStream() {
    Discard();
    if (folder_ >= 0)
        ::close(folder_);
}

void TextOutputStream::Discard() {
    if (out_ >= 0)
        ::close(std::exchange(out_, -1));
    if (!temporaryName_.empty())
        ::unlinkat(folder_, temporaryName_.c_str(), 0);
    temporaryName_.clear();
}

bool TextOutputStream::IsOpen() const {
    return out_ >= 0;
}

bool TextOutputStream::Replaces(const FileIdentity& file) const {
    struct stat there {};
    if (::fstatat(folder_, name_.c_str(), &there, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return false;
        throw SystemError("cannot look at the file", target_, errno);
    }
    return SameFile(there, file);
}

bool TextOutputStream::Takes(const fs::path& name) const {
    if (name.filename() != name_)
        return false;
    struct stat ours {
    }, theirs{};
    if (::fstat(folder_, &ours) != 0)
        throw SystemError("cannot look at the folder", target_.parent_path(), errno);
    const fs::path folder = fs::absolute(name).parent_path();
    if (::stat(folder.c_str(), &theirs) != 0) {
        // No folder, no file of that name in ours.
        if (errno == ENOENT)
            return false;
        throw SystemError("cannot look at the folder", folder, errno);
    }
    return ours.st_dev == theirs.st_dev && ours.st_ino == theirs.st_ino;
}

void TextOutputStream::WriteLine(const std::string& text) {
    Write(text);
    Write(EndOfLine());
}

void TextOutputStream::Write(const std::string& text) {
    if (out_ < 0)
        throw std::ios_base::failure("the file is not open");
    pending_ += text;
    if (pending_.size() >= kChunk)
        Flush();
}

void TextOutputStream::Flush() {
    for (std::size_t done = 0; done < pending_.size();) {
        const ssize_t wrote = ::write(out_, pending_.data() + done, pending_.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            throw std::ios_base::failure("the file could not be written");
        done += static_cast<std::size_t>(wrote);
    }
    written_ += static_cast<std::int64_t>(pending_.size());
    pending_.clear();
    // The disk starts on what is written while the rest is still being made, so that the flush
    // before the file is put in place has little left to wait for. Only a hint: where it fails,
    // that flush does all the work.
    if (written_ - startedToDisk_ >= kStartToDisk) {
        ::sync_file_range(out_, startedToDisk_, written_ - startedToDisk_, SYNC_FILE_RANGE_WRITE);
        startedToDisk_ = written_;
    }
}

bool TextOutputStream::NameTheFile() {
    // Linking through /proc needs no privilege; linking the descriptor itself needs one, and
    // serves where /proc is not mounted.
    const std::string self = "/proc/self/fd/" + std::to_string(out_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryName_ = TemporaryName();
        if (::linkat(AT_FDCWD, self.c_str(), folder_, temporaryName_.c_str(), AT_SYMLINK_FOLLOW) ==
                0 ||
            (errno == ENOENT &&
             ::linkat(out_, "", folder_, temporaryName_.c_str(), AT_EMPTY_PATH) == 0))
            return true;
        if (errno != EEXIST)
            break;
    }
    temporaryName_.clear();
    return false;
}

void TextOutputStream::Close() {
    if (out_ < 0)
        return;
    try {
        Flush();
        // Only a whole file on the disk gets a name. A rename replaces the name it is given, a
        // link included: it never follows one there.
        if (::fdatasync(out_) != 0 || (temporaryName_.empty() && !NameTheFile()) ||
            ::close(std::exchange(out_, -1)) != 0 ||
            ::renameat(folder_, temporaryName_.c_str(), folder_, name_.c_str()) != 0)
            throw std::ios_base::failure("the file could not be written");
        temporaryName_.clear();  // it is the file itself now
    } catch (...) {
        Discard();
        throw;
    }
}

TextInputStream::TextInputStream(const fs::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return;
    // Should something else have taken the file's place since, opening must not wait for a
    // FIFO's writer, and what was opened is looked at again. For a regular file O_NONBLOCK
    // changes nothing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return;
    }
    fd_ = fd;
    unread_ = opened.st_size;
    stamp_ = Stamp(opened);
    buffer_.resize(kChunk);
}

bool TextInputStream::Reads(const FileIdentity& file) const {
    return SameFile(LookAt(fd_), file);
}

bool TextInputStream::Changed() const {
    return Stamp(LookAt(fd_)) != stamp_;
}

TextInputStream::~TextInputStream() {
    Close();
}

bool TextInputStream::IsOpen() const {
    return fd_ >= 0;
}

bool TextInputStream::Fill() {
    if (next_ < end_)
        return true;
    if (fd_ < 0)
        return false;
    // Past the size it had, one byte more is asked for: only to tell whether the file ends.
    const std::size_t wanted =
        unread_ > 0 ? static_cast<std::size_t>(std::min<std::int64_t>(unread_, kChunk)) : 1;
    ssize_t got = 0;
    do {
        got = ::read(fd_, buffer_.data(), wanted);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        throw std::ios_base::failure("the file could not be read");
    if (unread_ == 0 && got > 0)
        throw std::ios_base::failure("the file holds more than its size says");
    if (std::memchr(buffer_.data(), 0, static_cast<std::size_t>(got)) != nullptr)
        throw std::ios_base::failure("the file holds a zero byte: it is no text");
    unread_ -= got;
    next_ = 0;
    end_ = static_cast<std::size_t>(got);
    return got > 0;
}

bool TextInputStream::Eof() {
    return !Fill();
}

std::string TextInputStream::ReadLine() {
    std::string line;
    while (Fill()) {
        const char* from = buffer_.data() + next_;
        const char* to = buffer_.data() + end_;
        const char* lineEnd = std::find_if(from, to, [](char c) { return c == '\n' || c == '\r'; });
        line.append(from, lineEnd);
        next_ += static_cast<std::size_t>(lineEnd - from);
        if (lineEnd == to)
            continue;
        ++next_;
        if (*lineEnd == '\r' && Fill() && buffer_[next_] == '\n')
            ++next_;
        break;
    }
    return line;
}

void TextInputStream::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    next_ = end_ = 0;
}

}  // namespace fw
