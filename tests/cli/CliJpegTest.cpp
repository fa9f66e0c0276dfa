// kafelator-cli with JPEG sources and JPEG sheets.

#include "TestFiles.h"
#include "TestJpegs.h"
#include "image/JpegFile.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace {

int RunCli(const std::string& arguments) {
    std::string command = std::string(CLI_PATH) + " " + arguments + " 2>/dev/null";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CliJpegTest, PacksAJpegSourceIntoEveryJpegFormat) {
    ScratchFolder folder;
    PackedDib photo = MakeSmoothPicture(30, 20);
    std::string source = folder.Path("photo.jpg");
    WriteWholeFile(source, EncodeJpeg(30, 20, TopDownBgr(photo), JpegInput::Bgr));
    ReleaseDib(photo);
    for (int format = 1; format <= 3; ++format) {
        std::string sheet = folder.Path("sheet" + std::to_string(format) + ".jpg");
        ASSERT_EQ(
            RunCli("-s 200,150 -f " + std::to_string(format) + " '" + source + "' '" + sheet + "'"),
            0)
            << format;
        PackedDib image = ReadJpegFile(sheet.c_str());
        ASSERT_NE(image.block, nullptr) << format;
        EXPECT_EQ(ImageWidth(image.block), 200);
        EXPECT_EQ(ImageHeight(image.block), 150);
        ReleaseDib(image);
    }
}

TEST(CliJpegTest, DamagedJpegSourceFailsWithNoSheet) {
    ScratchFolder folder;
    std::string source = folder.Path("photo.jpg"), sheet = folder.Path("sheet.jpg");
    WriteWholeFile(source, {0xFF, 0xD8, 0xFF, 0xDB, 0x00});
    EXPECT_EQ(RunCli("-s 200,150 '" + source + "' '" + sheet + "'"), 1);
    EXPECT_FALSE(FileExists(sheet));
}

} // namespace
