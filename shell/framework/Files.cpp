#include "framework/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <ios>

#include "framework/Dialogs.h"
#include "framework/Text.h"

namespace fw {

namespace {

// Anything but a regular file at the path (a link counts as what it names). Nothing there at all
// is no obstacle to making a file.
bool SomethingElseIsThere(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::status(path, error);
    return std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
}

// Lines go to the file in pieces of this size: few system calls, little memory.
constexpr std::size_t kChunk = 1 << 16;
// How much written data the disk is asked to start on at a time.
constexpr std::int64_t kStartToDisk = 1 << 20;

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

TextOutputStream::TextOutputStream(const std::filesystem::path& path) {
    if (SomethingElseIsThere(path))
        return;
    // The new file is made in the target's folder, so that putting it in place is one rename on
    // the same disk; QSaveFile flushes it to the disk before that rename.
    auto file = std::make_unique<QSaveFile>(QFile::decodeName(path.c_str()));
    if (file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        out_ = std::move(file);
}

// Dropping a QSaveFile that was not committed removes the new file.
TextOutputStream::~TextOutputStream() = default;

bool TextOutputStream::IsOpen() const {
    return out_ != nullptr;
}

void TextOutputStream::WriteLine(const std::string& text) {
    Write(text);
    Write(EndOfLine());
}

void TextOutputStream::Write(const std::string& text) {
    if (!out_)
        throw std::ios_base::failure("the file is not open");
    pending_ += text;
    if (pending_.size() >= kChunk)
        Flush();
}

void TextOutputStream::Flush() {
    const auto size = static_cast<qint64>(pending_.size());
    if (size > 0 && out_->write(pending_.data(), size) != size)
        throw std::ios_base::failure("the file could not be written");
    pending_.clear();
    // The disk starts on what is written while the rest is still being made, so that the flush
    // before the file is put in place has little left to wait for. Only a hint: where it fails,
    // that flush does all the work.
    const qint64 written = out_->pos();
    if (written - startedToDisk_ >= kStartToDisk) {
        ::sync_file_range(out_->handle(), startedToDisk_, written - startedToDisk_,
                          SYNC_FILE_RANGE_WRITE);
        startedToDisk_ = written;
    }
}

void TextOutputStream::Close() {
    if (!out_)
        return;
    Flush();
    const bool placed = out_->commit();
    out_.reset();
    if (!placed)
        throw std::ios_base::failure("the file could not be written");
}

TextInputStream::TextInputStream(const std::filesystem::path& path) {
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
    buffer_.resize(kChunk);
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
    ssize_t got = 0;
    do {
        got = ::read(fd_, buffer_.data(), buffer_.size());
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        throw std::ios_base::failure("the file could not be read");
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
