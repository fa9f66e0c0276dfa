#include "platform/ProfileFile.h"

#include "TestFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void PutText(const std::string& name, const std::string& text) {
    WriteWholeFile(name, Bytes(text.begin(), text.end()));
}

std::string TextOf(const std::string& name) {
    Bytes bytes = ReadWholeFile(name);
    return std::string(bytes.begin(), bytes.end());
}

std::string ReadValue(const std::string& name, const char* section, const char* key) {
    char buffer[50];
    ReadProfileString(section, key, buffer, sizeof buffer, name.c_str());
    return buffer;
}

TEST(ReadProfileString, FindsKeysAsTheProfileFunctionsDo) {
    ScratchFolder folder;
    std::string name = folder.Path("a.ini");
    PutText(name, "Count=99\n" // before any section: in none
                  "; comment = 1\n"
                  "  [ Resolution ]  \n" // blanks around and inside the brackets
                  "  COUNT  =   3   \n"  // any case, blanks around "=" and value
                  "count=4\n"            // a second one is never seen
                  "Empty=\n"
                  "XY1=800 600 trailing  \n" // the value runs to the line's last non-blank
                  "Plain line without equals\n"
                  "[resolution]\n" // a second section of the name is never seen
                  "LastUsed=2\n"
                  "[Other]\n"
                  "LastUsed=1\n"
                  "[Broken\n"  // no "]": no section header
                  "Margin=7"); // the last line has no line break
    struct {
        const char* section;
        const char* key;
        const char* value;
    } const cases[] = {
        {"Resolution", "Count", "3"},    {"RESOLUTION", "count", "3"},
        {"Resolution", "Empty", ""},     {"Resolution", "XY1", "800 600 trailing"},
        {"Resolution", "LastUsed", ""},  {"Other", "LastUsed", "1"},
        {"Other", "Margin", "7"},        {"Missing", "Count", ""},
        {"Resolution", "; comment", ""}, {"Resolution", "Plain line without equals", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(ReadValue(name, c.section, c.key), c.value);
    }
}

TEST(ReadProfileString, CutsTheValueToTheBuffer) {
    ScratchFolder folder;
    std::string name = folder.Path("a.ini");
    std::string longValue(60, '7');
    PutText(name, "[S]\nK=" + longValue + "\n");
    char buffer[50];
    EXPECT_EQ(ReadProfileString("S", "K", buffer, sizeof buffer, name.c_str()), 49);
    EXPECT_EQ(std::string(buffer), longValue.substr(0, 49));
    EXPECT_EQ(ReadProfileString("S", "K", buffer, 1, name.c_str()), 0);
    EXPECT_STREQ(buffer, "");
    // No file at all: the empty default.
    EXPECT_EQ(ReadProfileString("S", "K", buffer, sizeof buffer, folder.Path("none").c_str()), 0);
    EXPECT_STREQ(buffer, "");
}

TEST(ReadProfileString, CrlfFileReadsLikeLf) {
    ScratchFolder folder;
    std::string name = folder.Path("a.ini");
    PutText(name, "[Kafelator]\r\nMargin=25\r\nDistance = -5 \r\n");
    EXPECT_EQ(ReadValue(name, "Kafelator", "Margin"), "25");
    EXPECT_EQ(ReadValue(name, "Kafelator", "Distance"), "-5");
}

TEST(WriteProfileString, CreatesTheFileAndTheSection) {
    ScratchFolder folder;
    std::string name = folder.Path("new.ini");
    EXPECT_TRUE(WriteProfileString("Resolution", "Count", "0", name.c_str()));
    EXPECT_TRUE(WriteProfileString("Kafelator", "Margin", "20", name.c_str()));
    EXPECT_TRUE(WriteProfileString("Resolution", "LastUsed", "0", name.c_str()));
    EXPECT_EQ(TextOf(name), "[Resolution]\nCount=0\nLastUsed=0\n[Kafelator]\nMargin=20\n");
}

TEST(WriteProfileString, ChangesOnlyTheValueAndKeepsEveryOtherLine) {
    ScratchFolder folder;
    std::string name = folder.Path("a.ini");
    PutText(name, "; kept comment\n"
                  "[resolution]\n"
                  "  count = 3  \n"
                  "XY4=1 2\n"
                  "\n"
                  "[Mine]\n"
                  "Colour=blue\n"
                  "[Kafelator]\n"
                  "Margin=10");
    ASSERT_TRUE(WriteProfileString("Resolution", "Count", "1", name.c_str()));
    ASSERT_TRUE(WriteProfileString("Resolution", "LastUsed", "0", name.c_str()));
    ASSERT_TRUE(WriteProfileString("Kafelator", "Margin", "300", name.c_str()));
    ASSERT_TRUE(WriteProfileString("Kafelator", "SaveMode", "2", name.c_str()));
    EXPECT_EQ(TextOf(name), "; kept comment\n"
                            "[resolution]\n"
                            "  count = 1\n" // the key as spelt in the file
                            "XY4=1 2\n"
                            "LastUsed=0\n" // after the section's last line, ahead of the blank
                            "\n"
                            "[Mine]\n"
                            "Colour=blue\n"
                            "[Kafelator]\n"
                            "Margin=300\n"
                            "SaveMode=2\n");
}

TEST(WriteProfileString, CrlfFileStaysCrlf) {
    ScratchFolder folder;
    std::string name = folder.Path("a.ini");
    PutText(name, "[Resolution]\r\nCount=2\r\n[Kafelator]\r\nMargin=5");
    ASSERT_TRUE(WriteProfileString("Resolution", "Count", "3", name.c_str()));
    ASSERT_TRUE(WriteProfileString("Resolution", "XY1", "1 2", name.c_str()));
    ASSERT_TRUE(WriteProfileString("Kafelator", "Distance", "7", name.c_str()));
    ASSERT_TRUE(WriteProfileString("Extra", "Key", "v", name.c_str()));
    EXPECT_EQ(TextOf(name), "[Resolution]\r\nCount=3\r\nXY1=1 2\r\n"
                            "[Kafelator]\r\nMargin=5\r\nDistance=7\r\n"
                            "[Extra]\r\nKey=v\r\n");
}

TEST(WriteProfileString, RefusesWhatWouldBreakTheLines) {
    ScratchFolder folder;
    std::string name = folder.Path("a.ini");
    EXPECT_FALSE(WriteProfileString("S", "K", "one\ntwo", name.c_str()));
    EXPECT_FALSE(WriteProfileString("S", "K=", "v", name.c_str()));
    EXPECT_FALSE(WriteProfileString("S]", "K", "v", name.c_str()));
    EXPECT_FALSE(WriteProfileString("S", "", "v", name.c_str()));
    EXPECT_FALSE(FileExists(name));
}

TEST(ProfileFile, SeveralWritesGiveTheFileOfSingleWrites) {
    ScratchFolder folder;
    const std::string start = "[kafelator]\r\nmargin = 9\r\n; note\r\n\r\n[Resolution]\r\nXY3=5 5";
    PutText(folder.Path("single.ini"), start);
    PutText(folder.Path("batch.ini"), start);
    const char* const writes[][3] = {
        {"Resolution", "Count", "2"},   {"Resolution", "XY1", "1 2"},
        {"Resolution", "XY2", "3 4"},   {"Resolution", "LastUsed", "1"},
        {"Kafelator", "MarginOn", "0"}, {"Kafelator", "Margin", "20"},
        {"Kafelator", "Margin", "21"},
    };
    ProfileFile batch(folder.Path("batch.ini").c_str());
    for (const auto& w : writes) {
        ASSERT_TRUE(WriteProfileString(w[0], w[1], w[2], folder.Path("single.ini").c_str()));
        ASSERT_TRUE(batch.Write(w[0], w[1], w[2]));
    }
    ASSERT_TRUE(batch.Save());
    EXPECT_EQ(TextOf(folder.Path("batch.ini")), TextOf(folder.Path("single.ini")));
    EXPECT_EQ(ReadValue(folder.Path("batch.ini"), "Kafelator", "Margin"), "21");
}

TEST(ProfileFile, SizeLimitInPairs) {
    ScratchFolder folder;
    std::string head = "[S]\nK=1\n";
    std::string filler(static_cast<size_t>(ProfileFileLimit) - head.size(), 'x');
    std::string largest = folder.Path("largest.ini"), larger = folder.Path("larger.ini");
    PutText(largest, head + filler);
    PutText(larger, head + filler + "x");
    EXPECT_EQ(ReadValue(largest, "S", "K"), "1");
    ProfileFile kept(largest.c_str());
    ASSERT_TRUE(kept.Write("S", "K", "2")); // same size: still fits
    EXPECT_TRUE(kept.Save());
    EXPECT_EQ(ReadValue(largest, "S", "K"), "2");
    // One byte more is read as no file and never rewritten.
    EXPECT_EQ(ReadValue(larger, "S", "K"), "");
    EXPECT_FALSE(WriteProfileString("S", "K", "2", larger.c_str()));
    EXPECT_EQ(TextOf(larger), head + filler + "x");
    // A write that would grow a file past the limit keeps the old one, readable as it was.
    EXPECT_FALSE(WriteProfileString("S", "Longer", "3", largest.c_str()));
    EXPECT_EQ(ReadValue(largest, "S", "K"), "2");
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"larger.ini", "largest.ini"}));
}

TEST(ProfileFile, BinaryAndLongLinesAreReadSafely) {
    ScratchFolder folder;
    std::string name = folder.Path("junk.ini");
    std::string junk;
    for (int i = 0; i < 20000; ++i)
        junk += static_cast<char>((i * 7919) % 256); // NULs, CRs, LFs, "[", "]" and "=" among them
    PutText(name, junk + "\n[S]\nK=" + std::string(30000, '5') + std::string("\0tail\n", 6));
    EXPECT_EQ(ReadValue(name, "S", "K"), std::string(49, '5'));
    ASSERT_TRUE(WriteProfileString("S", "K", "1", name.c_str()));
    EXPECT_EQ(TextOf(name), junk + "\n[S]\nK=1\n");
}

TEST(ProfileFile, WhatCannotBeReadIsNeverReplaced) {
    ScratchFolder folder;
    ASSERT_EQ(mkdir(folder.Path("folder.ini").c_str(), 0755), 0);
    EXPECT_FALSE(WriteProfileString("S", "K", "1", folder.Path("folder.ini").c_str()));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"folder.ini"});
    if (geteuid() == 0)
        GTEST_SKIP() << "root may read any file";
    std::string locked = folder.Path("locked.ini");
    PutText(locked, "[S]\nK=1\n");
    chmod(locked.c_str(), 0200);
    EXPECT_FALSE(WriteProfileString("S", "K", "2", locked.c_str()));
    chmod(locked.c_str(), 0600);
    EXPECT_EQ(TextOf(locked), "[S]\nK=1\n");
}

} // namespace
