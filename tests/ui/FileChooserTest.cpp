#include "ui/FileChooser.h"

#include "support/DialogTestKit.h"

#include <unistd.h>

namespace {

using FileChooserTest = DialogTest;

TEST_F(FileChooserTest, OneFilterAndTheDefaultExtensionByModeAndFlag) {
    struct {
        int openFlag, jpegFlag;
        const char* pattern;
        const char* typed;
        const char* chosen;
        uint32_t flags;
    } const cases[] = {
        {1, 0, "*.bmp;*.jpg", "/p/photo", "/p/photo.bmp", 12},
        {1, 1, "*.bmp;*.jpg", "/p/photo.jpg", "/p/photo.jpg", 12}, // the JPEG flag is for saving
        {0, 0, "*.bmp", "/p/sheet", "/p/sheet.bmp", 14},
        {0, 1, "*.jpg", "/p/sheet", "/p/sheet.jpg", 14},
        {0, 1, "*.jpg", "/p/sheet.bmp", "/p/sheet.bmp", 14}, // an extension typed is kept
        {0, 0, "*.bmp", "/p.d/sheet", "/p.d/sheet.bmp", 14},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        chooserAnswers = {c.typed};
        chooserRequests.clear();
        char buffer[FileNameBufferBytes] = "left over";
        ChooseFile(buffer, nullptr, c.openFlag, c.jpegFlag);
        EXPECT_STREQ(buffer, c.chosen);
        ASSERT_EQ(chooserRequests.size(), 1u);
        EXPECT_STREQ(chooserRequests[0].filterDescription, "Bitmapy");
        EXPECT_STREQ(chooserRequests[0].filterPattern, c.pattern);
        EXPECT_EQ(chooserRequests[0].flags, c.flags);
        EXPECT_EQ(chooserRequests[0].maxFile, 1999);
    }
}

TEST_F(FileChooserTest, CancelAndOverlongPathsLeaveTheEmptyText) {
    char buffer[FileNameBufferBytes] = "left over";
    chooserAnswers = {std::nullopt};
    ChooseFile(buffer, nullptr, 0, 0);
    EXPECT_STREQ(buffer, "");

    // 1998 characters and the terminating zero fit; one more is refused, never cut.
    std::string longest = "/" + std::string(1993, 'n') + ".bmp";
    chooserAnswers = {longest, longest + "x"};
    ChooseFile(buffer, nullptr, 0, 0);
    EXPECT_EQ(std::string(buffer), longest);
    ChooseFile(buffer, nullptr, 0, 0);
    EXPECT_STREQ(buffer, "");
}

} // namespace
