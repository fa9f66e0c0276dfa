// kafelator-cli with a phone photograph stored on its side: packed upright, or as stored with
// --ignore-orientation. A 5 x 8 sheet holds the upright 5 x 8 picture and not the stored 8 x 5
// one, and an 8 x 5 sheet the other way round.

#include "support/TestJpegs.h"
#include "support/TestMetadata.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

namespace {

TEST(CliSourcesTest, OrientationTurnsTheSourceUnlessIgnored) {
    ScratchFolder folder;
    PackedDib stored = MakePicture(8, 5);
    WriteWholeFile(folder.Path("phone.jpg"),
                   WithSegment(EncodePicture(stored), 0xE1, ExifPayload(6, true)));
    ReleaseDib(stored);
    const struct {
        const char* size;
        const char* option;
        int status;
    } cases[] = {{"5,8", "", 0},
                 {"8,5", "", 1},
                 {"8,5", "--ignore-orientation", 0},
                 {"5,8", "--ignore-orientation", 1}};
    for (const auto& c : cases) {
        std::string command = "cd '" + folder.Path("") + "' && '" CLI_PATH "' --no-margin -d 0 " +
                              c.option + " -s " + c.size + " phone.jpg sheet.jpg 2>err.txt";
        int status = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status)
            << c.size << " " << c.option;
    }
}

} // namespace
