// kafelator-cli as a user runs it: exit status, messages and the files it leaves.

#include "image/BmpFile.h"
#include "image/JpegFile.h"
#include "pack/SheetBuilding.h"
#include "support/TestFiles.h"
#include "support/TestJpegs.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

namespace {

struct CliRun {
    int status;
    std::string out, err;
};

class CliTest : public testing::Test {
  protected:
    void SetUp() override {
        WriteWholeFile(folder.Path("photo.bmp"), BmpFileBytes(PictureBytes(60, 40)));
    }

    // Runs kafelator-cli with the arguments (each quoted) in the scratch folder, after the shell
    // commands of `limits`, which end in "&& " or put variables in its environment.
    CliRun Cli(const std::vector<std::string>& arguments, const std::string& limits = "") {
        std::string command = "cd '" + folder.Path("") + "' && " + limits + "'" CLI_PATH "'";
        for (const std::string& argument : arguments)
            command += " '" + argument + "'";
        command += " >out.txt 2>err.txt";
        int status = std::system(command.c_str());
        Bytes out = ReadWholeFile(folder.Path("out.txt")),
              err = ReadWholeFile(folder.Path("err.txt"));
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(out.begin(), out.end()),
                std::string(err.begin(), err.end())};
    }

    ScratchFolder folder;
};

TEST_F(CliTest, PacksABmpIntoTheSameSheetTheProceduresCompose) {
    CliRun run =
        Cli({"-s", "641,333", "-d", "7", "-m", "9", "-b", "ciemnoszare", "photo.bmp", "sheet.BMP"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");

    PackedDib source = MakePicture(60, 40);
    BuiltSheet built = BuildSheet(source, {641, 333, 7, 9, 1, 3});
    ASSERT_NE(built.sheet.block, nullptr);
    EXPECT_EQ(ReadWholeFile(folder.Path("sheet.BMP")), BmpFileBytes(BlockBytes(built.sheet)));
    ReleaseDib(built.sheet);
    ReleaseDib(source);
}

TEST_F(CliTest, BackgroundByNumberOrNameAndMarginOff) {
    ASSERT_EQ(
        Cli({"-s", "200 100", "-d", "0", "--no-margin", "-b", "4", "photo.bmp", "a.bmp"}).status,
        0);
    ASSERT_EQ(Cli({"--size=200*100", "--distance=0", "--no-margin", "--background", "czarne",
                   "photo.bmp", "b.bmp"})
                  .status,
              0);
    Bytes sheet = ReadWholeFile(folder.Path("a.bmp"));
    EXPECT_EQ(ReadWholeFile(folder.Path("b.bmp")), sheet);
    // Without margin and distance: 3 x 2 copies of 60 x 40 on 200 x 100, shares 5 and 6.
    EXPECT_EQ(sheet[54 + 6 * 600 + 3 * 4], 0);     // left of the first copy
    EXPECT_NE(sheet[54 + 6 * 600 + 3 * 5 + 1], 0); // its first pixel's green
}

TEST_F(CliTest, PacksAJpegSourceIntoEveryJpegFormat) {
    PackedDib photo = MakeSmoothPicture(30, 20);
    WriteWholeFile(folder.Path("photo.jpg"), EncodePicture(photo));
    ReleaseDib(photo);
    for (const char* format : {"1", "2", "3"}) {
        SCOPED_TRACE(format);
        std::string sheet = std::string("sheet") + format + ".jpg";
        ASSERT_EQ(Cli({"-s", "200,150", "-f", format, "photo.jpg", sheet}).status, 0);
        PackedDib image = ReadJpegFile(folder.Path(sheet).c_str());
        ASSERT_NE(image.block, nullptr);
        EXPECT_EQ(ImageWidth(image.block), 200);
        EXPECT_EQ(ImageHeight(image.block), 150);
        ReleaseDib(image);
    }
}

TEST_F(CliTest, HelpAndVersion) {
    CliRun help = Cli({"--help"}), version = Cli({"--version"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: kafelator-cli"), std::string::npos);
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("kafelator-cli "), std::string::npos);
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"photo.bmp", "out.bmp"},                    // no size
        {"-s", "2000x1700", "photo.bmp", "out.bmp"}, // x is no separator
        {"-s", "200,100", "photo.bmp"},              // no output
        {"-s", "200,100", "-b", "zielone", "photo.bmp", "out.bmp"},
        {"-s", "200,100", "-f", "4", "photo.bmp", "out.bmp"},
        {"-s", "200,100", "-d", "dużo", "photo.bmp", "out.bmp"},
        {"-s", "200,100", "--bogus", "photo.bmp", "out.bmp"},
        {"-s"},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(arguments.front() + " ... " + arguments.back());
        CliRun run = Cli(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("Usage:"), std::string::npos);
    }
    EXPECT_FALSE(FileExists(folder.Path("out.bmp")));
}

// Shell commands under which kafelator-cli cannot have a sheet of 300 MB: an address-space limit,
// or, under AddressSanitizer, whose shadow memory takes more address space than any such limit
// leaves, its own limit on one allocation.
std::string WithLittleMemory() {
#if defined(__SANITIZE_ADDRESS__)
    return "ASAN_OPTIONS=$ASAN_OPTIONS:allocator_may_return_null=1:max_allocation_size_mb=64 ";
#else
    return "ulimit -v 262144 && ";
#endif
}

TEST_F(CliTest, FailedJobsSayWhyAndKeepTheOldOutput) {
    WriteWholeFile(folder.Path("short.bmp"), Bytes(13, 'B'));
    WriteWholeFile(folder.Path("rgb24jpeg.bmp"),
                   ReadWholeFile(std::string(TEST_DATA_DIR) + "/bmpsuite/q/rgb24jpeg.bmp"));
    WriteWholeFile(folder.Path("bad.jpg"), {0xFF, 0xD8, 0xFF, 0xDB, 0x00});
    // A file-size limit of a few KB makes the write fail part way, as a full disk would; the
    // signal it raises is ignored, so that the write itself reports the failure.
    const std::string fullDisk = "trap '' XFSZ && ulimit -f 8 && ";
    struct {
        std::vector<std::string> arguments;
        std::string limits;
        const char* message;
    } const cases[] = {
        {{"-s", "200,100", "missing.bmp", "out.bmp"}, "", "Nie mogę otworzyć zadanego pliku"},
        {{"-s", "200,100", "short.bmp", "out.bmp"}, "", "Nie mogę otworzyć zadanego pliku"},
        {{"-s", "200,100", "rgb24jpeg.bmp", "out.bmp"},
         "",
         "Plik wejściowy w nieprawidłowym formacie"},
        {{"-s", "200,100", "bad.jpg", "out.jpg"}, "", "Nie mogę otworzyć zadanego pliku"},
        {{"-s", "99,100", "photo.bmp", "out.bmp"}, "", "Plik wejściowy za duży"},
        {{"-s", "0 0", "photo.bmp", "out.bmp"}, "", "Plik wejściowy za duży"},
        {{"-s", "10,10", "photo.bmp", "out.bmp"}, "", "Plik wejściowy za duży"},
        {{"-s", "30000,30000", "photo.bmp", "out.bmp"}, "", "Pakowanie nieudane"},
        {{"-s", "10000,10000", "photo.bmp", "out.bmp"}, WithLittleMemory(), "Pakowanie nieudane"},
        {{"-s", "200,100", "photo.bmp", "no/such/out.bmp"}, "", "Zapis nieudany"},
        {{"-s", "900,700", "photo.bmp", "out.bmp"}, fullDisk, "Zapis nieudany"},
        {{"-s", "900,700", "photo.bmp", "out.jpg"}, fullDisk, "Zapis nieudany"},
        {{"-s", "200,100", "-d", "-40", "photo.bmp", "out.bmp"}, "", "--distance -40"},
        {{"-s", "200,100", "-m", "-1", "photo.bmp", "out.bmp"}, "", "--margin -1"},
    };
    const Bytes old(77, 0x77);
    WriteWholeFile(folder.Path("out.bmp"), old);
    WriteWholeFile(folder.Path("out.jpg"), old);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments[c.arguments.size() - 2] + " " + c.arguments[1] + " " + c.limits);
        CliRun run = Cli(c.arguments, c.limits);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(ReadWholeFile(folder.Path("out.bmp")), old);
        EXPECT_EQ(ReadWholeFile(folder.Path("out.jpg")), old);
    }
    EXPECT_EQ(folder.Entries(),
              (std::vector<std::string>{"bad.jpg", "err.txt", "out.bmp", "out.jpg", "out.txt",
                                        "photo.bmp", "rgb24jpeg.bmp",
                                        "short.bmp"})); // and no temporary file
}

} // namespace
