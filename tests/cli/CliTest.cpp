// kafelator-cli as a user runs it: exit status, messages and the files it leaves.

#include "support/TestJpegs.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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

// The choices by short and long name, the size's separators, the background by name and by number;
// a sheet of 300 MB goes to its file a band at a time, in far less memory.
TEST_F(CliTest, PacksWithTheGivenChoices) {
    CliRun run = Cli("-s 641,333 -d 7 -m 9 -b ciemnoszare photo.bmp sheet.BMP");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    ASSERT_EQ(Cli("--size='200 * 100' --distance=0 --no-margin -b 4 photo.bmp b.bmp").status, 0);
    // 9 x 6 copies from (11, 14), 9 and 12 pixels apart, on grey 70; without margin and distance,
    // 3 x 2 copies from (5, 6) on black.
    EXPECT_TRUE(ReadWholeFile(folder.Path("sheet.BMP")) ==
                BmpFileBytes(ReferenceSheet(source, 641, 333, 70, {9, 6, 11, 14, 9, 12})));
    EXPECT_TRUE(ReadWholeFile(folder.Path("b.bmp")) ==
                BmpFileBytes(ReferenceSheet(source, 200, 100, 0, {3, 2, 5, 6, 5, 6})));
    run = Cli("-s 10000,10000 photo.bmp large.jpg", WithLittleMemory());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadTextFile(folder.Path("large.jpg")).substr(0, 2), "\xFF\xD8");
}

// A paper at the resolution (300 dpi when none is given, and then written too), turned copies
// where more fit, and PDF pages for a name ending in .pdf or with --pdf, at true size.
TEST_F(CliTest, PaperResolutionTurnedCopiesAndPdfPages) {
    // 6 x 4 inches at 300 dpi, 11,811 pixels a metre: 1800 x 1200, 30 x 30 copies.
    ASSERT_EQ(Cli("--paper 4x6 --landscape -d 0 --no-margin photo.bmp a.bmp").status, 0);
    Bytes expected = BmpFileBytes(ReferenceSheet(source, 1800, 1200, 255, {30, 30, 0, 0, 0, 0}));
    for (ptrdiff_t field : {38, 42})
        std::copy_n(Bytes{0x23, 0x2E, 0x00, 0x00}.begin(), 4, expected.begin() + field);
    EXPECT_TRUE(ReadWholeFile(folder.Path("a.bmp")) == expected);
    // 60 x 40 fits 1 x 3 times on 100 x 130, turned 2 x 2 times, from (6, 3), 6 and 3 apart; the
    // guides lie in the columns and rows just outside the copies, black where no copy is.
    ASSERT_EQ(Cli("-s 100,130 -d 0 --no-margin --turn-copies --cut-guides photo.bmp c.bmp").status,
              0);
    PackedDib turned = MakeTurnedPicture(60, 40);
    Bytes guided = BmpFileBytes(ReferenceSheet(turned, 100, 130, 255, {2, 2, 6, 3, 6, 3}));
    ReleaseDib(turned);
    for (int y = 0; y < 130; ++y)
        for (int x = 0; x < 100; ++x) {
            bool copy = ((x >= 6 && x < 46) || (x >= 52 && x < 92)) &&
                        ((y >= 3 && y < 63) || (y >= 66 && y < 126));
            if (!copy && (std::set{5, 46, 51, 92}.count(x) || std::set{2, 63, 65, 126}.count(y)))
                std::fill_n(guided.begin() + 54 + y * 300 + 3 * x, 3, 0);
        }
    EXPECT_TRUE(ReadWholeFile(folder.Path("c.bmp")) == guided);
    const std::pair<const char*, const char*> pages[] = {
        {"--paper 4x6 photo.bmp d.PDF", "288 x 432 pts"},
        {"--pdf -f 0 -s 200,100 --dpi 100 photo.bmp e.bmp", "144 x 72 pts"}};
    for (const auto& [arguments, pageSize] : pages) {
        ASSERT_EQ(Cli(arguments).status, 0) << arguments;
        std::string output = folder.Path(std::string(arguments).substr(std::strlen(arguments) - 5));
        EXPECT_NE(CommandOutput("pdfinfo '" + output + "'").find(pageSize), std::string::npos)
            << arguments;
    }
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
    const std::string size = "--size takes two whole numbers separated by a blank, \",\" or "
                             "\"*\" (as 2480,3508), not ",
                      background = "--background takes 0 to 4 or jasne, jasnoszare, szare, "
                                   "ciemnoszare, czarne, not ";
    // Each message names the option, by its long name however it was typed, and the value.
    const std::pair<const char*, std::string> cases[] = {
        {"photo.bmp out.bmp", "the sheet size is required (--size W,H or --paper NAME)"},
        {"--paper 10x15 -s 2,1 photo.bmp out.bmp", "give --size or --paper, not both"},
        {"--paper A7 photo.bmp out.bmp",
         "--paper takes A3, A4, A5, A6, 9x13, 10x15, 13x18, 15x21, 20x30, letter, legal, 4x6, "
         "5x7, 8x10, not A7"},
        {"--landscape -s 2,1 photo.bmp out.bmp", "--landscape turns a --paper, and none is given"},
        {"--dpi 0 -s 2,1 photo.bmp out.bmp", "--dpi takes 1 to 10000, not 0"},
        {"--dpi=10001 --paper A4 photo.bmp out.pdf", "--dpi takes 1 to 10000, not 10001"},
        {"--dpi 300dpi -s 2,1 photo.bmp out.bmp", "--dpi takes a whole number, not 300dpi"},
        {"-s 2000x1700 photo.bmp out.bmp", size + "2000x1700"},
        {"-s '2000 1700 ' photo.bmp out.bmp", size + "2000 1700 "},
        {"-s 2,1 photo.bmp", "give one SOURCE and one OUTPUT, not photo.bmp"},
        {"-s 2,1 photo.bmp out.bmp more.bmp",
         "give one SOURCE and one OUTPUT, not photo.bmp out.bmp more.bmp"},
        {"-b 5 -s 2,1 photo.bmp out.bmp", background + "5"},
        {"-b Czarne -s 2,1 photo.bmp out.bmp", background + "Czarne"},
        {"-f 4 -s 2,1 photo.bmp out.bmp", "--format takes 0, 1, 2 or 3, not 4"},
        {"-f 1.9 -s 2,1 photo.bmp out.bmp", "--format takes 0, 1, 2 or 3, not 1.9"},
        {"--distance=1e3 -s 2,1 photo.bmp out.bmp", "--distance takes a whole number, not 1e3"},
        {"-d ' 50' -s 2,1 photo.bmp out.bmp", "--distance takes a whole number, not  50"},
        {"-d 2147483648 -s 2,1 photo.bmp out.bmp", "--distance 2147483648 is out of range"},
        {"-m 5mm -s 2,1 photo.bmp out.bmp", "--margin takes a whole number, not 5mm"},
        {"--no-margin=x -s 2,1 photo.bmp out.bmp", "--no-margin takes no value: --no-margin=x"},
        {"-s 2,1 --bogus photo.bmp out.bmp", "unknown option --bogus"},
        {"-s 2,1 -x photo.bmp out.bmp", "unknown option -x"},
        {"-s 2,1 photo.bmp out.bmp --format", "--format needs a value"}};
    for (const auto& [arguments, message] : cases) {
        CliRun run = Cli(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.err,
                  "kafelator-cli: " + message + "\nTry 'kafelator-cli --help' for the options.\n")
            << arguments;
    }
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"err.txt", "out.txt", "photo.bmp"}));
    // At the limits of the 32-bit range, and with a sign, numbers are whole numbers all the same.
    EXPECT_EQ(Cli("-s +200,100 -d -2147483648 -m +0 photo.bmp a.bmp").status, 1);
}

// A job that fails says why, the program's message and then the value at fault, and keeps the
// old OUTPUT. The photograph is never replaced by its own sheet, by whatever name it is given;
// with --no-clobber no existing OUTPUT is, a dangling link included.
TEST_F(CliTest, FailedJobsSayWhyAndKeepTheOldOutput) {
    namespace fs = std::filesystem;
    // A BMP file holding JPEG pixels: readable, but no picture that can be packed.
    WriteWholeFile(folder.Path("jpeg.bmp"), BmpFileBytes(DibBlock(40, 4, 1, 24, 4, 0, 16)));
    WriteWholeFile(folder.Path("bad.jpg"), {0xFF, 0xD8, 0xFF, 0xDB, 0x00});
    fs::create_symlink("photo.bmp", folder.Path("link.bmp"));
    fs::create_hard_link(folder.Path("photo.bmp"), folder.Path("hard.bmp"));
    fs::create_symlink("nowhere.bmp", folder.Path("dangling.bmp"));
    const std::string same = "Plik docelowy jest tym samym plikiem co wejściowy (";
    const struct {
        const char* arguments;
        std::string message;
        // A file-size limit of a few KB makes the write fail part way, as a full disk would; the
        // signal it raises is ignored, so that the write itself reports the failure.
        std::string limits = "";
    } cases[] = {
        {"-s 200,100 missing.bmp out.bmp", "Nie mogę otworzyć zadanego pliku (missing.bmp)"},
        {"-s 200,100 jpeg.bmp out.bmp", "Plik wejściowy w nieprawidłowym formacie (jpeg.bmp)"},
        {"-s 200,100 bad.jpg out.jpg", "Nie mogę otworzyć zadanego pliku (bad.jpg)"},
        {"-s 99,100 photo.bmp out.bmp", "Plik wejściowy za duży (photo.bmp, --size 99,100)"},
        {"--paper 4x6 --dpi 10 photo.bmp out.bmp",
         "Plik wejściowy za duży (photo.bmp, --paper 4x6)"},
        {"-s 30000,30000 photo.bmp out.bmp", "Pakowanie nieudane (--size 30000,30000)"},
        {"-s 200,100 photo.bmp no/such/out.bmp", "Zapis nieudany (no/such/out.bmp)"},
        {"-s 900,700 photo.bmp out.bmp", "Zapis nieudany (out.bmp)",
         "trap '' XFSZ && ulimit -f 8 && "},
        {"-s 200,100 -d -40 photo.bmp out.bmp",
         "Nieprawidłowy odstęp między kopiami (--distance -40)"},
        {"-s 200,100 -m -1 photo.bmp out.bmp", "Nieprawidłowy margines (--margin -1)"},
        // The size overflows with the default distance, which the user never gave.
        {"-s 2147483647,2147483647 photo.bmp out.bmp",
         "Za duży rozmiar arkusza (--size 2147483647,2147483647)"},
        {"-s 200,100 photo.bmp photo.bmp", same + "photo.bmp)"},
        {"-s 200,100 photo.bmp ./link.bmp", same + "./link.bmp)"},
        {"-s 200,100 link.bmp hard.bmp", same + "hard.bmp)"},
        {"-s 200,100 -n photo.bmp out.bmp", "Plik docelowy już istnieje (out.bmp, --no-clobber)"},
        {"-s 200,100 --no-clobber photo.bmp dangling.bmp",
         "Plik docelowy już istnieje (dangling.bmp, --no-clobber)"}};
    const Bytes old(77, 0x77), photo = ReadWholeFile(folder.Path("photo.bmp"));
    WriteWholeFile(folder.Path("out.bmp"), old);
    WriteWholeFile(folder.Path("out.jpg"), old);
    for (const auto& c : cases) {
        CliRun run = Cli(c.arguments, c.limits);
        EXPECT_EQ(run.status, 1) << c.arguments;
        EXPECT_EQ(run.err, "kafelator-cli: " + c.message + "\n") << c.arguments;
        EXPECT_EQ(ReadWholeFile(folder.Path("out.bmp")), old);
        EXPECT_EQ(ReadWholeFile(folder.Path("out.jpg")), old);
    }
    EXPECT_TRUE(ReadWholeFile(folder.Path("photo.bmp")) == photo);
    EXPECT_EQ(folder.Entries(),
              (std::vector<std::string>{"bad.jpg", "dangling.bmp", "err.txt", "hard.bmp",
                                        "jpeg.bmp", "link.bmp", "out.bmp", "out.jpg", "out.txt",
                                        "photo.bmp"})); // no temporary file
    ASSERT_EQ(Cli("--no-clobber -s 200,100 photo.bmp new.bmp").status, 0);
    EXPECT_EQ(ReadTextFile(folder.Path("new.bmp")).substr(0, 2), "BM");
    // Through a link, the file it points to gets the sheet.
    ASSERT_EQ(Cli("-s 200,100 photo.bmp dangling.bmp").status, 0);
    EXPECT_EQ(ReadTextFile(folder.Path("nowhere.bmp")), ReadTextFile(folder.Path("new.bmp")));
    EXPECT_TRUE(fs::is_symlink(folder.Path("dangling.bmp")));
}

// A stop signal while a large sheet is being written: the temporary file goes, the old OUTPUT
// stays, and the status is 128 + the signal's number, as a shell reports a process the signal
// ended. kafelator-cli starts with the stop signals at their defaults, as a shell starts it,
// whatever this process ignores.
TEST_F(CliTest, StopSignalsDuringTheWriteLeaveNoTemporaryFile) {
    using Clock = std::chrono::steady_clock;
    WriteTextFile(folder.Path("out.bmp"), "old");
    // 15000 x 15000 pixels: 675 MB to write, which takes long enough to be caught at it.
    const std::string command = "cd '" + folder.Path("") +
                                "' && exec '" CLI_PATH
                                "' -s 15000,15000 photo.bmp out.bmp 2>err.txt";
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        pid_t cli = fork();
        if (cli == 0) {
            for (int stop : {SIGINT, SIGTERM, SIGHUP})
                std::signal(stop, SIG_DFL);
            execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
            _exit(98);
        }
        ASSERT_GT(cli, 0);
        bool writing = false;
        for (auto end = Clock::now() + std::chrono::seconds(60); !writing && Clock::now() < end;) {
            for (const std::string& name : folder.Entries())
                writing = writing || name.rfind(".out.bmp.kafelator-", 0) == 0;
            if (waitpid(cli, nullptr, WNOHANG) != 0)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_TRUE(writing) << "the temporary file never showed";
        kill(cli, signalNumber);
        int status = 0;
        ASSERT_EQ(waitpid(cli, &status, 0), cli);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + signalNumber)
            << signalNumber << ": " << status << " " << ReadTextFile(folder.Path("err.txt"));
        EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"err.txt", "out.bmp", "photo.bmp"}));
        EXPECT_EQ(ReadTextFile(folder.Path("out.bmp")), "old");
    }
}

} // namespace
