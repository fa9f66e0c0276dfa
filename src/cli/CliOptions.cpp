#include "cli/CliOptions.h"

#include "image/SheetMetadata.h"
#include "pack/PaperSizes.h"
#include "pack/SheetCompositor.h"
#include "platform/NumberText.h"

#include <cstring>
#include <getopt.h>
#include <strings.h>

const char CliUsage[] =
    "Usage: kafelator-cli [OPTIONS] SOURCE OUTPUT\n"
    "Fills a sheet with unscaled copies of the photograph SOURCE (JPEG, PNG or BMP) and saves it\n"
    "as OUTPUT (24-bit BMP or JPEG, the JPEG with the source's colour profile, or a PDF page of\n"
    "the sheet at true size).\n"
    "\n"
    "  -s, --size W,H         sheet size in pixels, \"2480 3508\", \"2480,3508\" or \"2480*3508\"\n"
    "      --paper NAME       instead of --size, a paper's size at the resolution: A3, A4, A5,\n"
    "                         A6, 9x13, 10x15, 13x18, 15x21, 20x30 (cm), letter, legal, 4x6,\n"
    "                         5x7, 8x10 (inches); portrait\n"
    "      --landscape        the paper turned to landscape\n"
    "      --dpi N            print resolution written into the sheet, 1 to 10000 (default\n"
    "                         none; 300 with --paper and for a PDF page)\n"
    "  -d, --distance N       minimum distance between copies (default 50; may be negative)\n"
    "  -m, --margin N         margin on each side (default 20)\n"
    "      --no-margin        no margin\n"
    "  -b, --background N     0 jasne, 1 jasnoszare, 2 szare, 3 ciemnoszare, 4 czarne,\n"
    "                         by number or name (default 0)\n"
    "      --cut-guides       one-pixel lines to cut along, in the gaps and margins\n"
    "      --turn-copies      the copies turned a quarter clockwise where more of them fit\n"
    "  -f, --format N         0 bmp, 1 jpg quality 75, 2 jpg quality 50, 3 jpg quality 15\n"
    "                         (default 0 for an OUTPUT ending in .bmp, else 1); in a PDF page,\n"
    "                         0 keeps the pixels without loss, 1 to 3 as that JPEG\n"
    "      --pdf              OUTPUT is a one-page PDF file, as is any OUTPUT ending in .pdf\n"
    "      --ignore-orientation\n"
    "                         pack a JPEG's pixels as stored, not turned upright as its\n"
    "                         camera recorded\n"
    "  -n, --no-clobber       refuse an OUTPUT that exists already\n"
    "  -h, --help             this text\n"
    "      --version          the version\n"
    "\n"
    "Numbers are whole decimal numbers. OUTPUT is never SOURCE; a symbolic link as OUTPUT has the\n"
    "file it points to replaced.\n"
    "Exit status: 0 when the sheet is written, 1 when the job fails, 2 for a usage error,\n"
    "128 + the signal's number after SIGINT, SIGTERM or SIGHUP.\n";

namespace {

enum LongOnly {
    NoMarginOption = 256,
    VersionOption,
    IgnoreOrientationOption,
    PaperOption,
    LandscapeOption,
    DpiOption,
    PdfOption,
    CutGuidesOption,
    TurnCopiesOption,
};

const option LongOptions[] = {
    {"size", required_argument, nullptr, 's'},
    {"distance", required_argument, nullptr, 'd'},
    {"margin", required_argument, nullptr, 'm'},
    {"no-margin", no_argument, nullptr, NoMarginOption},
    {"background", required_argument, nullptr, 'b'},
    {"format", required_argument, nullptr, 'f'},
    {"no-clobber", no_argument, nullptr, 'n'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, VersionOption},
    {"ignore-orientation", no_argument, nullptr, IgnoreOrientationOption},
    {"paper", required_argument, nullptr, PaperOption},
    {"landscape", no_argument, nullptr, LandscapeOption},
    {"dpi", required_argument, nullptr, DpiOption},
    {"pdf", no_argument, nullptr, PdfOption},
    {"cut-guides", no_argument, nullptr, CutGuidesOption},
    {"turn-copies", no_argument, nullptr, TurnCopiesOption},
    {nullptr, 0, nullptr, 0},
};

// The long name of an option, for messages, whichever form was typed.
std::string OptionName(int option) {
    for (const struct option& known : LongOptions)
        if (known.name != nullptr && known.val == option)
            return std::string("--") + known.name;
    return std::string("-") + static_cast<char>(option);
}

const char Digits[] = "0123456789";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether text starts with a whole decimal number: an optional sign, then digits.
bool StartsWithNumber(const char* text) {
    return IsDigit(text[0]) || ((text[0] == '-' || text[0] == '+') && IsDigit(text[1]));
}

enum class NumberVerdict { Read, NotANumber, OutOfRange };

// A whole decimal number and nothing else, not even a blank; in the 32-bit range.
NumberVerdict ReadWholeNumber(const char* text, int32_t* value) {
    if (!StartsWithNumber(text) || text[1 + std::strspn(text + 1, Digits)] != '\0')
        return NumberVerdict::NotANumber;
    const char* rest = text;
    return ScanInt32(rest, value) ? NumberVerdict::Read : NumberVerdict::OutOfRange;
}

// Two whole numbers with blanks, "," or "*" between them and nothing around them.
bool ReadWholeSize(const char* text, int32_t* width, int32_t* height) {
    if (!StartsWithNumber(text))
        return false;
    const char* separator = text + 1 + std::strspn(text + 1, Digits);
    const char* second = separator + std::strspn(separator, " \t,*");
    std::string first(text, separator);
    return second != separator && ReadWholeNumber(first.c_str(), width) == NumberVerdict::Read &&
           ReadWholeNumber(second, height) == NumberVerdict::Read;
}

bool ReadNumberOption(int option, const char* text, int32_t* value, std::string* error) {
    switch (ReadWholeNumber(text, value)) {
    case NumberVerdict::Read:
        return true;
    case NumberVerdict::NotANumber:
        *error = OptionName(option) + " takes a whole number, not " + text;
        return false;
    case NumberVerdict::OutOfRange:
        *error = OptionName(option) + " " + text + " is out of range";
        return false;
    }
    return false;
}

bool ReadBackground(const char* text, uint32_t* background, std::string* error) {
    for (int row = 0; row < backgroundLevelCount; ++row) {
        if (std::strcmp(text, BackgroundLevels[row]) == 0) {
            *background = static_cast<uint32_t>(row);
            return true;
        }
    }
    int32_t row = 0;
    if (ReadWholeNumber(text, &row) != NumberVerdict::Read || row < 0 ||
        row >= backgroundLevelCount) {
        *error = "--background takes 0 to " + std::to_string(backgroundLevelCount - 1) + " or";
        for (int level = 0; level < backgroundLevelCount; ++level)
            *error += std::string(level == 0 ? " " : ", ") + BackgroundLevels[level];
        *error += std::string(", not ") + text;
        return false;
    }
    *background = static_cast<uint32_t>(row);
    return true;
}

bool ReadFormat(const char* text, int32_t* format, std::string* error) {
    if (ReadWholeNumber(text, format) != NumberVerdict::Read || *format < 0 || *format > 3) {
        *error = std::string("--format takes 0, 1, 2 or 3, not ") + text;
        return false;
    }
    return true;
}

bool ReadSize(const char* text, CliOptions* options, std::string* error) {
    options->sizeText = std::string("--size ") + text;
    if (ReadWholeSize(text, &options->pack.sheetWidth, &options->pack.sheetHeight))
        return true;
    *error = std::string("--size takes two whole numbers separated by a blank, \",\" or \"*\" "
                         "(as 2480,3508), not ") +
             text;
    return false;
}

bool ReadDpi(const char* text, int32_t* dpi, std::string* error) {
    if (!ReadNumberOption(DpiOption, text, dpi, error))
        return false;
    if (*dpi >= MinDpi && *dpi <= MaxDpi)
        return true;
    *error =
        "--dpi takes " + std::to_string(MinDpi) + " to " + std::to_string(MaxDpi) + ", not " + text;
    return false;
}

bool ReadPaper(const char* text, int* paper, std::string* error) {
    *paper = FindPaperSize(text);
    if (*paper >= 0)
        return true;
    *error = "--paper takes";
    for (int row = 0; row < paperSizeCount; ++row)
        *error += std::string(row == 0 ? " " : ", ") + PaperSizes[row].name;
    *error += std::string(", not ") + text;
    return false;
}

// The sheet size of the paper at the resolution, which is 300 dpi when none is given and is then
// written into the sheet too.
void TakePaperSize(int paper, bool landscape, CliOptions* options) {
    if (options->dpi == 0)
        options->dpi = DefaultPrintDpi;
    PaperPixels(PaperSizes[paper], options->dpi, landscape, &options->pack.sheetWidth,
                &options->pack.sheetHeight);
    options->sizeText =
        std::string("--paper ") + PaperSizes[paper].name + (landscape ? " --landscape" : "");
}

// What getopt_long refused: an option that takes no value given one, or one it does not know.
std::string Refusal(int argc, char** argv) {
    std::string given = optind > 0 && optind <= argc ? argv[optind - 1] : "";
    if (given.rfind("--", 0) == 0) {
        std::string name = given.substr(0, given.find('='));
        return optopt != 0 ? name + " takes no value: " + given : "unknown option " + name;
    }
    return std::string("unknown option -") + static_cast<char>(optopt);
}

// Whether the name ends in the four-character extension, in any case.
bool EndsWith(const std::string& name, const char (&extension)[5]) {
    return name.size() >= 4 && strcasecmp(name.c_str() + name.size() - 4, extension) == 0;
}

} // namespace

int32_t SaveFormatForName(const std::string& outputName) {
    return EndsWith(outputName, ".bmp") ? 0 : 1;
}

bool IsPdfName(const std::string& outputName) {
    return EndsWith(outputName, ".pdf");
}

CliRequest ParseCliOptions(int argc, char** argv, CliOptions* options, std::string* error) {
    *options = {};
    bool sizeGiven = false, landscape = false, read = true;
    int paper = -1;
    optind = 0; // start afresh, also when called more than once
    opterr = 0;
    for (;;) {
        // The leading ":" tells a missing value (':') from an unknown option ('?').
        int option = getopt_long(argc, argv, ":s:d:m:b:f:nh", LongOptions, nullptr);
        if (option == -1)
            break;
        switch (option) {
        case 's':
            read = ReadSize(optarg, options, error);
            sizeGiven = true;
            break;
        case 'd':
            read = ReadNumberOption(option, optarg, &options->pack.distance, error);
            break;
        case 'm':
            read = ReadNumberOption(option, optarg, &options->pack.margin, error);
            break;
        case NoMarginOption:
            options->pack.marginOn = 0;
            break;
        case IgnoreOrientationOption:
            options->sourceOptions.ignoreOrientation = true;
            break;
        case 'b':
            read = ReadBackground(optarg, &options->pack.background, error);
            break;
        case 'f':
            read = ReadFormat(optarg, &options->saveFormat, error);
            break;
        case 'n':
            options->noClobber = true;
            break;
        case PaperOption:
            read = ReadPaper(optarg, &paper, error);
            break;
        case LandscapeOption:
            landscape = true;
            break;
        case DpiOption:
            read = ReadDpi(optarg, &options->dpi, error);
            break;
        case PdfOption:
            options->pdf = true;
            break;
        case CutGuidesOption:
            options->pack.cutGuides = true;
            break;
        case TurnCopiesOption:
            options->pack.turnCopies = true;
            break;
        case 'h':
            return CliRequest::Help;
        case VersionOption:
            return CliRequest::Version;
        case ':':
            *error = OptionName(optopt) + " needs a value";
            return CliRequest::UsageError;
        default:
            *error = Refusal(argc, argv);
            return CliRequest::UsageError;
        }
        if (!read)
            return CliRequest::UsageError;
    }
    if (argc - optind != 2) {
        *error = "give one SOURCE and one OUTPUT";
        for (int i = optind; i < argc; ++i)
            *error += std::string(i == optind ? ", not " : " ") + argv[i];
        return CliRequest::UsageError;
    }
    if (sizeGiven && paper >= 0) {
        *error = "give --size or --paper, not both";
        return CliRequest::UsageError;
    }
    if (landscape && paper < 0) {
        *error = "--landscape turns a --paper, and none is given";
        return CliRequest::UsageError;
    }
    if (!sizeGiven && paper < 0) {
        *error = "the sheet size is required (--size W,H or --paper NAME)";
        return CliRequest::UsageError;
    }
    if (paper >= 0)
        TakePaperSize(paper, landscape, options);
    options->source = argv[optind];
    options->output = argv[optind + 1];
    if (options->saveFormat < 0)
        options->saveFormat = SaveFormatForName(options->output);
    options->pdf = options->pdf || IsPdfName(options->output);
    return CliRequest::Pack;
}
