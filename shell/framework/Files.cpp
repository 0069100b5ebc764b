#include "framework/Files.h"

#include <QCoreApplication>

#include "framework/Dialogs.h"
#include "framework/Text.h"

namespace fw {

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
    std::error_code error;
    if (std::filesystem::is_directory(path_, error))
        return nullptr;
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

TextOutputStream::TextOutputStream(const std::filesystem::path& path)
    : out_(path, std::ios::binary | std::ios::trunc) {}

bool TextOutputStream::IsOpen() const {
    return out_.is_open();
}

void TextOutputStream::WriteLine(const std::string& text) {
    Write(text);
    Write(EndOfLine());
}

void TextOutputStream::Write(const std::string& text) {
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out_)
        throw std::ios_base::failure("the file could not be written");
}

void TextOutputStream::Close() {
    if (!out_.is_open())
        return;
    out_.flush();
    bool good = static_cast<bool>(out_);
    out_.close();
    if (!good || out_.fail())
        throw std::ios_base::failure("the file could not be written");
}

TextInputStream::TextInputStream(const std::filesystem::path& path) : in_(path, std::ios::binary) {}

bool TextInputStream::IsOpen() const {
    return in_.is_open();
}

bool TextInputStream::Eof() {
    return !in_.is_open() || in_.peek() == std::char_traits<char>::eof();
}

std::string TextInputStream::ReadLine() {
    std::string line;
    if (!in_.is_open())
        return line;
    std::streambuf* buffer = in_.rdbuf();
    while (true) {
        int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            in_.setstate(std::ios::eofbit);
            break;
        }
        if (c == '\n')
            break;
        if (c == '\r') {
            if (buffer->sgetc() == '\n')
                buffer->sbumpc();
            break;
        }
        line.push_back(static_cast<char>(c));
    }
    return line;
}

void TextInputStream::Close() {
    if (in_.is_open())
        in_.close();
}

}  // namespace fw
