#pragma once
// Files: by name beside the application, chosen in dialogs, read and written as text lines.
//
// Only regular files are read or written: a FIFO would wait for its other end for ever, a device
// may never end or swallow everything, so either fails at once as a file that cannot be opened.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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

// One file on the disk, whatever its names.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// Writes a new file beside the one `path` names and puts it in that one's place only at Close,
// once it is complete and on the disk. Until then the new file has no name in the folder, so
// that a stream that fails, goes without Close or dies with its process (killed, crashed) leaves
// a file already there exactly as it was and nothing beside it; only on a file system that cannot
// make a nameless file does it write under a short name of its own, which a killed process may
// leave behind. No name it uses depends on the target's, so any name the system accepts for the
// target works. The path is resolved once, when the stream opens, as opening a file resolves
// it: every link followed, the last one too, and a relative link read from the folder that holds
// it (not by taking ".." off the text); a path the system cannot resolve (a missing folder, a
// loop, more links than the system follows) opens no stream. From then on the stream works in
// that folder on that name, which it replaces without following whatever may since have taken
// its place: a symbolic link at `path` keeps pointing where it did, and the file it names is the
// one replaced.
class TextOutputStream {
  public:
    explicit TextOutputStream(const std::filesystem::path& path);
    ~TextOutputStream();
    TextOutputStream(const TextOutputStream&) = delete;
    TextOutputStream& operator=(const TextOutputStream&) = delete;
    bool IsOpen() const;
    // True when the file that Close would replace now is `file`. Throws
    // std::filesystem::filesystem_error when that cannot be told.
    bool Replaces(const FileIdentity& file) const;
    // True when Close would put the file at `name`: the same name in the same folder, reached by
    // whatever path, whether or not a file is there now. Throws
    // std::filesystem::filesystem_error when that cannot be told.
    bool Takes(const std::filesystem::path& name) const;
    // Writes the text and EndOfLine. Throws std::ios_base::failure when the write fails.
    void WriteLine(const std::string& text);
    void Write(const std::string& text);
    // Puts the file in place; throws std::ios_base::failure when it could not be written whole.
    void Close();

  private:
    void Flush();
    void Discard();
    // Gives the nameless file a short name of its own in the folder.
    bool NameTheFile();

    std::filesystem::path target_;
    int folder_ = -1;  // the target's folder, held open so that renaming its path cannot move us
    std::string name_, temporaryName_;
    int out_ = -1;
    std::string pending_;
    std::int64_t written_ = 0, startedToDisk_ = 0;
};

// Reads a regular text file as lines, no more of it than it held when it was opened: a file that
// then yields more (one under /proc says it is empty and never ends) fails as unreadable, and so
// does one that holds a zero byte, which no text has: a binary file fails within its first
// piece, before its bytes can pass for lines.
class TextInputStream {
  public:
    explicit TextInputStream(const std::filesystem::path& path);
    ~TextInputStream();
    TextInputStream(const TextInputStream&) = delete;
    TextInputStream& operator=(const TextInputStream&) = delete;
    bool IsOpen() const;
    // True when the open file is `file`. Throws std::filesystem::filesystem_error when that
    // cannot be told.
    bool Reads(const FileIdentity& file) const;
    // True when the file's size, modification time or change time differ from what they were
    // when it was opened: someone wrote to it, and what was read may be part old, part new.
    // Throws std::filesystem::filesystem_error when that cannot be told.
    bool Changed() const;
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
    std::int64_t unread_ = 0;  // of the size the file had when it was opened
    // The size, modification time and change time the file had when it was opened.
    std::array<std::int64_t, 5> stamp_{};
    std::vector<char> buffer_;
    std::size_t next_ = 0;
    std::size_t end_ = 0;
};

}  // namespace fw
