#include <gtest/gtest.h>

#include <fstream>

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
        out << "unix\nwindows\r\nold mac\rlast";
    }
    fw::TextInputStream in(path);
    std::vector<std::string> lines;
    while (!in.Eof()) lines.push_back(in.ReadLine());
    EXPECT_EQ(lines, (std::vector<std::string>{"unix", "windows", "old mac", "last"}));
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
}

TEST(Files, BareNamesResolveInTheApplicationFolder) {
    TempDir dir;
    fw::ApplicationFolder(dir.path());
    EXPECT_EQ(fw::GetFolderItem("larderon_db.rsd").Path(), dir.path() / "larderon_db.rsd");
    EXPECT_FALSE(fw::GetFolderItem("larderon_db.rsd").Exists());
    fw::ApplicationFolder({});
}
