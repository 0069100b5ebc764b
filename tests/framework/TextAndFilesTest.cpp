#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "framework/Files.h"
#include "framework/Text.h"
#include "support/TempDir.h"

TEST(Text, FormatPadsToTwoDigitsAndStrHasNoLeadingZeros) {
    EXPECT_EQ(fw::Format(5, "0#"), "05");
    EXPECT_EQ(fw::Format(0, "0#"), "00");
    EXPECT_EQ(fw::Format(23, "0#"), "23");
    EXPECT_EQ(fw::Format(123, "0#"), "123");
    EXPECT_EQ(fw::Str(2024), "2024");
    EXPECT_EQ(fw::Str(-7), "-7");
}

TEST(Text, SplitKeepsEmptyPiecesAndLenCountsCharacters) {
    EXPECT_EQ(fw::Split("a|b||c", "|"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(fw::Split("", "|"), std::vector<std::string>{""});
    EXPECT_EQ(fw::Split("ab", "|"), std::vector<std::string>{"ab"});
    EXPECT_EQ(fw::Len("- 10 -"), 6);
    EXPECT_EQ(fw::Len("crème brûlée"), 12);
    EXPECT_EQ(fw::Val("12"), 12);
    EXPECT_EQ(fw::Val(""), 0);
    EXPECT_EQ(fw::Val("x12"), 0);
}

TEST(Files, ReadLineAcceptsEveryLineEnd) {
    TempDir dir;
    auto path = dir.path() / "lines.txt";
    {
        std::ofstream out(path, std::ios::binary);
        // The reader takes the file in pieces of 64 KiB: this "\r\n" falls across two of them.
        out << "unix\nwindows\r\nold mac\rlast\n" << std::string(65536 - 30, 'a') << "\r\nb";
    }
    fw::TextInputStream in(path);
    std::vector<std::string> lines;
    while (!in.Eof()) lines.push_back(in.ReadLine());
    EXPECT_EQ(lines, (std::vector<std::string>{"unix", "windows", "old mac", "last",
                                               std::string(65536 - 30, 'a'), "b"}));
    EXPECT_EQ(in.ReadLine(), "");
}

// A file under /proc says it is empty and still yields its text; a zero byte tells a file for no
// text, wherever it is.
TEST(Files, ReadingStopsPastTheSizeAtOpeningAndAtAZeroByte) {
    EXPECT_EQ(std::filesystem::file_size("/proc/self/status"), 0u);
    fw::TextInputStream status("/proc/self/status");
    ASSERT_TRUE(status.IsOpen());
    EXPECT_THROW(status.Eof(), std::ios_base::failure);

    TempDir dir;
    const auto path = dir.path() / "binary.txt";
    std::ofstream(path, std::ios::binary) << "text\n" << std::string(70'000, 'a') << '\0' << "\n";
    fw::TextInputStream in(path);
    EXPECT_EQ(in.ReadLine(), "text");
    EXPECT_THROW(in.ReadLine(), std::ios_base::failure);
}

TEST(Files, WrittenLinesEndWithTheLineEndAndReadBack) {
    TempDir dir;
    fw::FolderItem file(dir.path() / "out.txt");
    auto out = file.CreateTextFile();
    ASSERT_TRUE(out);
    out->WriteLine("one");
    out->WriteLine("");
    out->Close();
    auto in = file.OpenAsTextFile();
    ASSERT_TRUE(in);
    EXPECT_EQ(in->ReadLine(), "one");
    EXPECT_EQ(in->ReadLine(), "");
    EXPECT_TRUE(in->Eof());
    EXPECT_FALSE(fw::FolderItem(dir.path() / "missing" / "x.txt").CreateTextFile());
    EXPECT_FALSE(fw::FolderItem(dir.path() / "missing.txt").OpenAsTextFile());
    EXPECT_FALSE(fw::FolderItem(dir.path()).CreateTextFile());
    EXPECT_FALSE(fw::FolderItem(dir.path()).OpenAsTextFile());
}

TEST(Files, ANewFileTakesTheOldOnesPlaceOnlyWhenClosed) {
    TempDir dir;
    const auto path = dir.path() / "out.txt";
    std::filesystem::create_symlink(path, dir.path() / "link.txt");
    auto contents = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    auto names = [&] {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    };
    std::ofstream(path, std::ios::binary) << "old\n";
    {
        auto out = fw::FolderItem(dir.path() / "link.txt").CreateTextFile();
        ASSERT_TRUE(out);
        out->WriteLine(std::string(200'000, 'n'));
        EXPECT_EQ(contents(), "old\n");
    }
    EXPECT_EQ(contents(), "old\n");
    EXPECT_EQ(names(), (std::vector<std::string>{"link.txt", "out.txt"}));

    auto out = fw::FolderItem(dir.path() / "link.txt").CreateTextFile();
    out->WriteLine("new");
    out->Close();
    EXPECT_EQ(contents(), "new\n");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "link.txt"));
    EXPECT_EQ(names(), (std::vector<std::string>{"link.txt", "out.txt"}));
}

TEST(Files, BareNamesResolveInTheApplicationFolder) {
    TempDir dir;
    fw::ApplicationFolder(dir.path());
    EXPECT_EQ(fw::GetFolderItem("larderon_db.rsd").Path(), dir.path() / "larderon_db.rsd");
    EXPECT_FALSE(fw::GetFolderItem("larderon_db.rsd").Exists());
    fw::ApplicationFolder({});
}
