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
                        "XY10=10\n"                // keys that begin with another key's name
                        "XY1=800 600 trailing  \n" // the value runs to the line's last non-blank
                        "MarginOn=0\n"
                        "Margin=5\n"
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
        {"Resolution", "XY10", "10"},    {"Resolution", "XY", ""},
        {"Resolution", "Margin", "5"},   {"Resolution", "MarginOn", "0"},
        {"Resolution", "LastUsed", ""},  {"Other", "LastUsed", "1"},
        {"Other", "Margin", "7"},        {"Missing", "Count", ""},
        {"Resolution", "; comment", ""}, {"Resolution", "Plain line without equals", ""}};
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
        {"Kafelator", "Margin", "300"},  {"Extra", "Key", "v"}};
    const char* fresh = "[Resolution]\nCount=1\nLastUsed=0\n[Kafelator]\nMargin=300\nSaveMode=2\n"
                        "[Extra]\nKey=v\n";
    const struct {
        const char* start; // nullptr: no file at all
        const char* expected;
    } cases[] = {
        {nullptr, fresh},
        {"", fresh},
        {"; kept comment\n[resolution]\n  count = 3  \nXY4=1 2\n\n[Mine]\nColour=blue\n"
         "[Kafelator]\nMarginOn=5\nMargin=10",
         // The key as spelt in the file; an added key after its section's last line, ahead of
         // the blank one.
         "; kept comment\n[resolution]\n  count = 1\nXY4=1 2\nLastUsed=0\n\n[Mine]\nColour=blue\n"
         "[Kafelator]\nMarginOn=5\nMargin=300\nSaveMode=2\n[Extra]\nKey=v\n"},
        {"[Kafelator]\r\nMargin=1", // the last line without its line break
         "[Kafelator]\r\nMargin=300\r\nSaveMode=2\r\n"
         "[Resolution]\r\nCount=1\r\nLastUsed=0\r\n[Extra]\r\nKey=v\r\n"},
        // A byte-order mark, as a Windows editor writes it, before the first section: skipped
        // and kept.
        {"\xEF\xBB\xBF[Resolution]\r\nCount=3\r\n",
         "\xEF\xBB\xBF[Resolution]\r\nCount=1\r\nLastUsed=0\r\n[Kafelator]\r\nMargin=300\r\n"
         "SaveMode=2\r\n[Extra]\r\nKey=v\r\n"}};
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

// Up to ProfileFileLimit bytes a file is read and rewritten; one byte more, or a file that cannot
// be read, is read as no file and never rewritten, so that nothing of it is lost.
TEST(ProfileFile, RefusedWritesLeaveEveryFileAsItWas) {
    ScratchFolder folder;
    std::string head = "[S]\nK=1\n";
    std::string filler(static_cast<size_t>(ProfileFileLimit) - head.size(), 'x');
    std::string largest = folder.Path("largest.ini"), larger = folder.Path("larger.ini");
    WriteTextFile(largest, head + filler);
    WriteTextFile(larger, head + filler + "x");
    WriteTextFile(folder.Path("locked.ini"), head);
    chmod(folder.Path("locked.ini").c_str(), 0200);
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
    EXPECT_EQ(RunInChild([&] {
                  LimitFileSize(4096); // a full disk stops the write part way
                  return WriteProfileString("S", "K", "3", largest.c_str()) ? 1 : 0;
              }),
              0);
    // Root may read any file.
    EXPECT_EQ(WriteProfileString("S", "K", "2", folder.Path("locked.ini").c_str()), geteuid() == 0);
    chmod(folder.Path("locked.ini").c_str(), 0600);
    EXPECT_EQ(ReadTextFile(folder.Path("locked.ini")), geteuid() == 0 ? "[S]\nK=2\n" : head);
    EXPECT_EQ(ReadTextFile(larger), head + filler + "x");
    EXPECT_EQ(ReadValue(largest, "S", "K"), "2");
    EXPECT_EQ(folder.Entries(),
              (std::vector<std::string>{"folder.ini", "larger.ini", "largest.ini", "locked.ini"}));
}

} // namespace
