// kafelator-cli as a user runs it: exit status, messages and the files it leaves.

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
        WriteWholeFile(folder.Path("photo.bmp"), BmpFileBytes(BlockBytes(source)));
    }
    void TearDown() override { ReleaseDib(source); }

    // Runs kafelator-cli in the scratch folder with the arguments, as shell text, after the shell
    // commands of `limits`, which end in "&& " or put variables in its environment.
    CliRun Cli(const std::string& arguments, const std::string& limits = "") {
        std::string command = "cd '" + folder.Path("") + "' && " + limits + "'" CLI_PATH "' " +
                              arguments + " >out.txt 2>err.txt";
        int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadTextFile(folder.Path("out.txt")),
                ReadTextFile(folder.Path("err.txt"))};
    }

    ScratchFolder folder;
    PackedDib source = MakePicture(60, 40);
};

TEST_F(CliTest, PacksWithTheGivenChoices) {
    CliRun run = Cli("-s 641,333 -d 7 -m 9 -b ciemnoszare photo.bmp sheet.BMP");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // 9 x 6 copies from (11, 14), 9 and 12 pixels apart, on grey 70.
    EXPECT_TRUE(ReadWholeFile(folder.Path("sheet.BMP")) ==
                BmpFileBytes(ReferenceSheet(source, 641, 333, 70, {9, 6, 11, 14, 9, 12})));
    // Without margin and distance, 3 x 2 copies from (5, 6) on black, by number or by name.
    ASSERT_EQ(Cli("-s '200 100' -d 0 --no-margin -b 4 photo.bmp a.bmp").status, 0);
    ASSERT_EQ(
        Cli("--size=200*100 --distance=0 --no-margin --background czarne photo.bmp b.bmp").status,
        0);
    Bytes expected = BmpFileBytes(ReferenceSheet(source, 200, 100, 0, {3, 2, 5, 6, 5, 6}));
    EXPECT_TRUE(ReadWholeFile(folder.Path("a.bmp")) == expected);
    EXPECT_TRUE(ReadWholeFile(folder.Path("b.bmp")) == expected);
}

// BMP for a name ending in .bmp, in any case, else JPEG at quality 75, unless a format is given:
// formats 1 to 3 make JPEG files of falling size. The source is a JPEG file.
TEST_F(CliTest, FormatByNumberOrByTheOutputsName) {
    WriteWholeFile(folder.Path("photo.jpg"), EncodePicture(source));
    const struct {
        const char *format, *output;
        bool bmp;
    } cases[] = {{"", ".bmp", true},       {"", "a.Bmp", true},     {"", "a.jpg", false},
                 {"", "bmp", false},       {"-f 0", "0.jpg", true}, {"-f 1", "1.bmp", false},
                 {"-f 2", "2.bmp", false}, {"-f 3", "3.bmp", false}};
    size_t previousJpegBytes = SIZE_MAX;
    for (const auto& c : cases) {
        ASSERT_EQ(Cli(std::string(c.format) + " -s 200,150 photo.jpg " + c.output).status, 0);
        std::string sheet = ReadTextFile(folder.Path(c.output));
        EXPECT_EQ(sheet.substr(0, 2), c.bmp ? "BM" : "\xFF\xD8") << c.output;
        if (c.bmp) {
            EXPECT_EQ(sheet.size(), 54u + 600 * 150) << c.output;
        } else if (c.format[0] != '\0') {
            EXPECT_LT(sheet.size(), previousJpegBytes) << c.output;
            previousJpegBytes = sheet.size();
        }
    }
    EXPECT_EQ(ReadWholeFile(folder.Path("a.jpg")), ReadWholeFile(folder.Path("1.bmp")));
}

TEST_F(CliTest, HelpVersionAndUsageErrors) {
    CliRun help = Cli("--help"), version = Cli("--version");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.find("Usage: kafelator-cli"), 0u);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.find("kafelator-cli "), 0u);
    const std::pair<const char*, const char*> cases[] = {
        {"photo.bmp out.bmp", "the sheet size is required (-s WIDTH,HEIGHT)"},
        {"-s 2000x1700 photo.bmp out.bmp", "the sheet size is not two numbers: 2000x1700"},
        {"-s 2,1 photo.bmp", "give one SOURCE and one OUTPUT"},
        {"-s 2,1 photo.bmp out.bmp more.bmp", "give one SOURCE and one OUTPUT"},
        {"-b 5 -s 2,1 photo.bmp out.bmp", "no such background: 5"},
        {"-b -1 -s 2,1 photo.bmp out.bmp", "no such background: -1"},
        {"-b zielone -s 2,1 photo.bmp out.bmp", "no such background: zielone"},
        {"-b Czarne -s 2,1 photo.bmp out.bmp", "no such background: Czarne"},
        {"-f 4 -s 2,1 photo.bmp out.bmp", "no such format: 4"},
        {"-f -1 -s 2,1 photo.bmp out.bmp", "no such format: -1"},
        {"-d dużo -s 2,1 photo.bmp out.bmp", "the distance is not a number: dużo"},
        {"-m x -s 2,1 photo.bmp out.bmp", "the margin is not a number: x"},
        {"-s 2,1 --bogus photo.bmp out.bmp", "unknown option --bogus"},
        {"-s 2,1 -x photo.bmp out.bmp", "unknown option -x"},
        {"photo.bmp out.bmp -s", "option -s needs a value"},
        {"-s 2,1 photo.bmp out.bmp -f", "option -f needs a value"}};
    for (const auto& [arguments, message] : cases) {
        CliRun run = Cli(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.err.find("kafelator-cli: " + std::string(message) + "\nUsage:"), 0u)
            << arguments << "\n"
            << run.err;
    }
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"err.txt", "out.txt", "photo.bmp"}));
}

// Shell commands under which kafelator-cli cannot hold a sheet of 300 MB: an address-space limit,
// or, under AddressSanitizer, whose shadow memory takes more address space than any such limit
// leaves, its own limit on one allocation.
std::string WithLittleMemory() {
#if defined(__SANITIZE_ADDRESS__)
    return "ASAN_OPTIONS=$ASAN_OPTIONS:allocator_may_return_null=1:max_allocation_size_mb=64 ";
#else
    return "ulimit -v 262144 && ";
#endif
}

// The sheet goes to its file a band at a time: one of 300 MB is written in far less memory.
TEST_F(CliTest, LargeSheetsInLittleMemory) {
    CliRun run = Cli("-s 10000,10000 photo.bmp out.jpg", WithLittleMemory());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadTextFile(folder.Path("out.jpg")).substr(0, 2), "\xFF\xD8");
}

TEST_F(CliTest, FailedJobsSayWhyAndKeepTheOldOutput) {
    // A BMP file holding JPEG pixels: readable, but no picture that can be packed.
    WriteWholeFile(folder.Path("jpeg.bmp"), BmpFileBytes(DibBlock(40, 4, 1, 24, 4, 0, 16)));
    WriteWholeFile(folder.Path("bad.jpg"), {0xFF, 0xD8, 0xFF, 0xDB, 0x00});
    // A file-size limit of a few KB makes the write fail part way, as a full disk would; the
    // signal it raises is ignored, so that the write itself reports the failure.
    const std::string fullDisk = "trap '' XFSZ && ulimit -f 8 && ";
    const struct {
        const char* arguments;
        std::string limits;
        const char* message;
    } cases[] = {
        {"-s 200,100 missing.bmp out.bmp", "", "Nie mogę otworzyć zadanego pliku"},
        {"-s 200,100 jpeg.bmp out.bmp", "", "Plik wejściowy w nieprawidłowym formacie"},
        {"-s 200,100 bad.jpg out.jpg", "", "Nie mogę otworzyć zadanego pliku"},
        {"-s 99,100 photo.bmp out.bmp", "", "Plik wejściowy za duży"},
        {"-s 30000,30000 photo.bmp out.bmp", "", "Pakowanie nieudane"}, // past 2 GB
        {"-s 200,100 photo.bmp no/such/out.bmp", "", "Zapis nieudany"},
        {"-s 900,700 photo.bmp out.bmp", fullDisk, "Zapis nieudany"},
        {"-s 200,100 -d -40 photo.bmp out.bmp", "",
         "Nieprawidłowy odstęp między kopiami (--distance -40)"},
        {"-s 200,100 -m -1 photo.bmp out.bmp", "", "Nieprawidłowy margines (--margin -1)"}};
    const Bytes old(77, 0x77);
    WriteWholeFile(folder.Path("out.bmp"), old);
    WriteWholeFile(folder.Path("out.jpg"), old);
    for (const auto& c : cases) {
        CliRun run = Cli(c.arguments, c.limits);
        EXPECT_EQ(run.status, 1) << c.arguments;
        EXPECT_NE(run.err.find("kafelator-cli: " + std::string(c.message) + "\n"),
                  std::string::npos)
            << c.arguments << "\n"
            << run.err;
        EXPECT_EQ(ReadWholeFile(folder.Path("out.bmp")), old);
        EXPECT_EQ(ReadWholeFile(folder.Path("out.jpg")), old);
    }
    EXPECT_EQ(folder.Entries(),
              (std::vector<std::string>{"bad.jpg", "err.txt", "jpeg.bmp", "out.bmp", "out.jpg",
                                        "out.txt", "photo.bmp"})); // and no temporary file
}

} // namespace
