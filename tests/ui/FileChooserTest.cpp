// The file chooser as the user meets it: Qt's own file dialog, answered by typing a name.

#include "ui/FileChooser.h"

#include "support/DialogDriver.h"

#include <filesystem>

namespace {

using FileChooserTest = DialogTest;

TEST_F(FileChooserTest, OneFilterAndTheDefaultExtensionByModeAndFlag) {
    const struct {
        int openFlag, jpegFlag;
        const char *chooser, *typed, *chosen;
    } cases[] = {
        {1, 0, "open Bitmapy (*.bmp *.jpg *.jpeg *.png) .bmp", "photo", "photo.bmp"},
        {1, 1, "open Bitmapy (*.bmp *.jpg *.jpeg *.png) .bmp", "photo", "photo.bmp"}, // the flag is for saving
        {0, 0, "save Bitmapy (*.bmp) .bmp asks", "sheet", "sheet.bmp"},
        {0, 1, "save Bitmapy (*.jpg) .jpg asks", "sheet", "sheet.jpg"},
        {0, 1, "save Bitmapy (*.jpg) .jpg asks", "sheet.bmp", "sheet.bmp"}, // typed, kept
    };
    for (const auto& c : cases) {
        choosers.clear();
        answers = {folder.Path(c.typed)};
        char buffer[FileNameBufferBytes] = "left over";
        ChooseFile(buffer, nullptr, c.openFlag, c.jpegFlag);
        EXPECT_EQ(buffer, folder.Path(c.chosen));
        EXPECT_EQ(choosers, Texts{c.chooser});
    }
}

TEST_F(FileChooserTest, SavingOverAFileAsksAndCancelOrAPathTooLongLeavesTheEmptyText) {
    char buffer[FileNameBufferBytes];
    replaceFile = false; // the chooser then asks for another name
    answers = {folder.Path("photo"), folder.Path("fresh"), folder.Path("photo"), std::nullopt};
    ChooseFile(buffer, nullptr, 0, 0);
    EXPECT_EQ(buffer, folder.Path("fresh.bmp"));
    ChooseFile(buffer, nullptr, 0, 0);
    EXPECT_STREQ(buffer, "");
    replaceFile = true;
    answers = {folder.Path("photo")};
    ChooseFile(buffer, nullptr, 0, 0);
    EXPECT_EQ(buffer, photo);
    // The toolkit's own words in Polish, as the program's.
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2], "Zachowaj jako: photo.bmp już istnieje.\nCzy chcesz go zastąpić? "
                           "[&Tak/&Nie]");
    EXPECT_EQ(chooserWords.at(0), "Zachowaj jako | &Zachowaj | Anuluj");

    // 1998 characters and the terminating zero fit the buffer; one more is refused, never cut.
    std::string deep = folder.Path("");
    while (deep.size() < 1800)
        deep += std::string(200, 'd') + "/";
    std::filesystem::create_directories(deep);
    std::string longest = deep + std::string(1994 - deep.size(), 'n') + ".bmp";
    answers = {longest, longest + "x"};
    ChooseFile(buffer, nullptr, 0, 0);
    EXPECT_EQ(buffer, longest);
    ChooseFile(buffer, nullptr, 0, 0);
    EXPECT_STREQ(buffer, "");
}

} // namespace
