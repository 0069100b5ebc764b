#pragma once
// Files: by name beside the application, chosen in dialogs, read and written as text lines.
//
// Only regular files are read or written: a FIFO would wait for its other end for ever, a device
// may never end or swallow everything, so either fails at once as a file that cannot be opened.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QSaveFile;

namespace fw {

class FileType {
  public:
    std::string Name;
    std::string Extensions;  // ".txt"; several separated by ";"
    std::string MacType;
    std::string MacCreator;
};

class TextOutputStream;
class TextInputStream;

class FolderItem {
  public:
    explicit FolderItem(std::filesystem::path path) : path_(std::move(path)) {}
    const std::filesystem::path& Path() const { return path_; }
    std::string Name() const { return path_.filename().string(); }
    bool Exists() const;
    // A new text file that takes this one's place when its stream is closed (see
    // TextOutputStream); nullptr when it cannot be created or something other than a regular
    // file is in the way.
    std::unique_ptr<TextOutputStream> CreateTextFile() const;
    // Opens a regular file for reading; nullptr when it cannot be opened or is no regular file.
    std::unique_ptr<TextInputStream> OpenAsTextFile() const;

  private:
    std::filesystem::path path_;
};

// The folder that holds the application; bare names are looked up there.
std::filesystem::path ApplicationFolder();
// Puts the application's folder elsewhere (tests run the app against a database in a temporary
// folder); an empty path restores the real one.
void ApplicationFolder(const std::filesystem::path& folder);
FolderItem GetFolderItem(const std::string& name);
std::optional<FolderItem> GetSaveFolderItem(const FileType& filter, const std::string& defaultName);
std::optional<FolderItem> GetOpenFolderItem(const FileType& filter);

// Writes a new file beside the one at `path` and puts it in that one's place only at Close, once
// it is complete and on the disk. Until then, and for good when a write fails or the stream goes
// without Close, a file already at `path` stays exactly as it was and nothing is left beside it.
// A symbolic link at `path` keeps pointing where it did: the file it names is the one replaced.
class TextOutputStream {
  public:
    explicit TextOutputStream(const std::filesystem::path& path);
    ~TextOutputStream();
    bool IsOpen() const;
    // Writes the text and EndOfLine. Throws std::ios_base::failure when the write fails.
    void WriteLine(const std::string& text);
    void Write(const std::string& text);
    // Puts the file in place; throws std::ios_base::failure when it could not be written whole.
    void Close();

  private:
    void Flush();

    std::unique_ptr<QSaveFile> out_;
    std::string pending_;
    std::int64_t startedToDisk_ = 0;
};

class TextInputStream {
  public:
    explicit TextInputStream(const std::filesystem::path& path);
    ~TextInputStream();
    TextInputStream(const TextInputStream&) = delete;
    TextInputStream& operator=(const TextInputStream&) = delete;
    bool IsOpen() const;
    // True when no further line can be read. Throws std::ios_base::failure when the file cannot
    // be read.
    bool Eof();
    // The next line without its line end; "\n", "\r\n" and "\r" all end a line. At the end of
    // the file it returns "".
    std::string ReadLine();
    void Close();

  private:
    // True when a byte is ready at next_.
    bool Fill();

    int fd_ = -1;
    std::vector<char> buffer_;
    std::size_t next_ = 0;
    std::size_t end_ = 0;
};

}  // namespace fw
