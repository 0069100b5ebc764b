#pragma once
// Files: by name beside the application, chosen in dialogs, read and written as text lines.

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

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
    // Creates (or empties) the file for writing; nullptr when it cannot be created.
    std::unique_ptr<TextOutputStream> CreateTextFile() const;
    // Opens the file for reading; nullptr when it cannot be opened.
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

class TextOutputStream {
  public:
    explicit TextOutputStream(const std::filesystem::path& path);
    bool IsOpen() const;
    // Writes the text and EndOfLine. Throws std::ios_base::failure when the write fails.
    void WriteLine(const std::string& text);
    void Write(const std::string& text);
    // Flushes and closes; throws std::ios_base::failure when the data could not be written.
    void Close();

  private:
    std::ofstream out_;
};

class TextInputStream {
  public:
    explicit TextInputStream(const std::filesystem::path& path);
    bool IsOpen() const;
    // True when no further line can be read.
    bool Eof();
    // The next line without its line end; "\n", "\r\n" and "\r" all end a line. At the end of
    // the file it returns "".
    std::string ReadLine();
    void Close();

  private:
    std::ifstream in_;
};

}  // namespace fw
