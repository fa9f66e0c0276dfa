#include "platform/ProfileFile.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ReadValue(const std::string& name, const char* section, const char* key) {
    char buffer[50];
    ReadProfileString(section, key, buffer, sizeof buffer, name.c_str());
    return buffer;
}

TEST(ReadProfileString, FindsKeysAsTheProfileFunctionsDo) {
    ScratchFolder folder;
    std::string name = folder.Path("a.ini");
    WriteTextFile(name, "Count=99\n" // before any section: in none
                        "; comment = 1\n"
                        "  [ Resolution ]  \r\n" // blanks around and inside the brackets, CRLF
                        "  COUNT  =   3   \r\n"  // any case, blanks around "=" and value
                        "count=4\n"              // a second one is never seen
                        "Empty=\n"
                        "XY1=800 600 trailing  \n" // the value runs to the line's last non-blank
                        "Plain line without equals\n"
                        "[resolution]\n" // a second section of the name is never seen
                        "LastUsed=2\n"
                        "[Other]\n"
                        "LastUsed=1\n"
                        "[Broken\n"  // no "]": no section header
                        "Margin=7"); // the last line has no line break
    const char* const cases[][3] = {
        {"Resolution", "Count", "3"},    {"RESOLUTION", "count", "3"},
        {"Resolution", "Empty", ""},     {"Resolution", "XY1", "800 600 trailing"},
        {"Resolution", "LastUsed", ""},  {"Other", "LastUsed", "1"},
        {"Other", "Margin", "7"},        {"Missing", "Count", ""},
        {"Resolution", "; comment", ""}, {"Resolution", "Plain line without equals", ""},
    };
    for (const auto& [section, key, value] : cases)
        EXPECT_EQ(ReadValue(name, section, key), value) << section << "/" << key;
    char buffer[1];
    EXPECT_EQ(ReadProfileString("Other", "Margin", buffer, 1, name.c_str()), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(ReadValue(folder.Path("none"), "Other", "Margin"), ""); // no file at all
}

// Writes one by one, and through one ProfileFile, give the same file: every line but the value
// written stays as it was, line ends too.
TEST(ProfileFile, WritesChangeOnlyTheirValues) {
    const char* const writes[][3] = {
        {"Resolution", "Count", "1"},    {"Kafelator", "Margin", "20"},
        {"Resolution", "LastUsed", "0"}, {"Kafelator", "SaveMode", "2"},
        {"Kafelator", "Margin", "300"},  {"Extra", "Key", "v"},
    };
    const struct {
        const char* start; // nullptr: no file
        const char* expected;
    } cases[] = {
        {nullptr, "[Resolution]\nCount=1\nLastUsed=0\n[Kafelator]\nMargin=300\nSaveMode=2\n"
                  "[Extra]\nKey=v\n"},
        {"; kept comment\n[resolution]\n  count = 3  \nXY4=1 2\n\n[Mine]\nColour=blue\n"
         "[Kafelator]\nMargin=10",
         // The key as spelt in the file; an added key after its section's last line, ahead of
         // the blank one.
         "; kept comment\n[resolution]\n  count = 1\nXY4=1 2\nLastUsed=0\n\n[Mine]\nColour=blue\n"
         "[Kafelator]\nMargin=300\nSaveMode=2\n[Extra]\nKey=v\n"},
    };
    for (const auto& c : cases) {
        ScratchFolder folder;
        std::string single = folder.Path("single.ini"), batch = folder.Path("batch.ini");
        if (c.start != nullptr) {
            WriteTextFile(single, c.start);
            WriteTextFile(batch, c.start);
        }
        ProfileFile profile(batch.c_str());
        for (const auto& [section, key, value] : writes) {
            EXPECT_TRUE(WriteProfileString(section, key, value, single.c_str()));
            EXPECT_TRUE(profile.Write(section, key, value));
        }
        EXPECT_TRUE(profile.Save());
        EXPECT_EQ(ReadTextFile(single), c.expected);
        EXPECT_EQ(ReadTextFile(batch), c.expected);
    }
}

TEST(ProfileFile, BinaryAndLongLinesAreReadSafely) {
    ScratchFolder folder;
    std::string name = folder.Path("junk.ini");
    std::string junk;
    for (int i = 0; i < 20000; ++i)
        junk += static_cast<char>((i * 7919) % 256); // NULs, CRs, LFs, "[", "]" and "=" among them
    WriteTextFile(name, junk + "\n[S]\nK=" + std::string(30000, '5') + std::string("\0tail\n", 6));
    char buffer[50]; // the value is cut to fit
    EXPECT_EQ(ReadProfileString("S", "K", buffer, sizeof buffer, name.c_str()), 49);
    EXPECT_EQ(std::string(buffer), std::string(49, '5'));
    ASSERT_TRUE(WriteProfileString("S", "K", "1", name.c_str()));
    EXPECT_EQ(ReadTextFile(name), junk + "\n[S]\nK=1\n");
}

// Up to ProfileFileLimit bytes a file is read and rewritten; one byte more, or a file that cannot
// be read, is read as no file and never rewritten, so that nothing of it is lost.
TEST(ProfileFile, RefusedWritesLeaveEveryFileAsItWas) {
    ScratchFolder folder;
    std::string head = "[S]\nK=1\n";
    std::string filler(static_cast<size_t>(ProfileFileLimit) - head.size(), 'x');
    std::string largest = folder.Path("largest.ini"), larger = folder.Path("larger.ini");
    WriteTextFile(largest, head + filler);
    WriteTextFile(larger, head + filler + "x");
    ASSERT_EQ(mkdir(folder.Path("folder.ini").c_str(), 0755), 0);
    EXPECT_TRUE(WriteProfileString("S", "K", "2", largest.c_str())); // same size: still fits
    EXPECT_EQ(ReadValue(larger, "S", "K"), "");
    const char* const refused[][4] = {{"S", "K", "2", "larger.ini"},       // read as no file
                                      {"S", "Longer", "3", "largest.ini"}, // growing past it
                                      {"S", "K", "1", "folder.ini"},       // not readable
                                      {"S", "K", "one\ntwo", "new.ini"},   // breaking the lines
                                      {"S", "K=", "v", "new.ini"},
                                      {"S]", "K", "v", "new.ini"},
                                      {"S", "", "v", "new.ini"}};
    for (const auto& [section, key, value, name] : refused)
        EXPECT_FALSE(WriteProfileString(section, key, value, folder.Path(name).c_str())) << key;
    EXPECT_EQ(ReadTextFile(larger), head + filler + "x");
    EXPECT_EQ(ReadValue(largest, "S", "K"), "2");
    EXPECT_EQ(folder.Entries(),
              (std::vector<std::string>{"folder.ini", "larger.ini", "largest.ini"}));
}

TEST(ProfileFile, UnreadableFileIsNeverReplaced) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root may read any file";
    ScratchFolder folder;
    std::string locked = folder.Path("locked.ini");
    WriteTextFile(locked, "[S]\nK=1\n");
    chmod(locked.c_str(), 0200);
    EXPECT_FALSE(WriteProfileString("S", "K", "2", locked.c_str()));
    chmod(locked.c_str(), 0600);
    EXPECT_EQ(ReadTextFile(locked), "[S]\nK=1\n");
}

} // namespace
