#include "cli/CliOptions.h"

#include "pack/SheetCompositor.h"
#include "platform/NumberText.h"

#include <cstring>
#include <getopt.h>
#include <strings.h>

const char CliUsage[] =
    "Usage: kafelator-cli [OPTIONS] SOURCE OUTPUT\n"
    "Fills a sheet with unscaled copies of the photograph SOURCE (JPEG, PNG or BMP) and saves it\n"
    "as OUTPUT (24-bit BMP or JPEG, the JPEG with the source's colour profile).\n"
    "\n"
    "  -s, --size W,H         sheet size in pixels, \"2480 3508\", \"2480,3508\" or \"2480*3508\"\n"
    "  -d, --distance N       minimum distance between copies (default 50; may be negative)\n"
    "  -m, --margin N         margin on each side (default 20)\n"
    "      --no-margin        no margin\n"
    "  -b, --background N     0 jasne, 1 jasnoszare, 2 szare, 3 ciemnoszare, 4 czarne,\n"
    "                         by number or name (default 0)\n"
    "  -f, --format N         0 bmp, 1 jpg quality 75, 2 jpg quality 50, 3 jpg quality 15\n"
    "                         (default 0 for an OUTPUT ending in .bmp, else 1)\n"
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

enum LongOnly { NoMarginOption = 256, VersionOption, IgnoreOrientationOption };

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
        *error = std::string("--background takes 0 to 4 or jasne, jasnoszare, szare, "
                             "ciemnoszare, czarne, not ") +
                 text;
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
    options->sizeText = text;
    if (ReadWholeSize(text, &options->pack.sheetWidth, &options->pack.sheetHeight))
        return true;
    *error = std::string("--size takes two whole numbers separated by a blank, \",\" or \"*\" "
                         "(as 2480,3508), not ") +
             text;
    return false;
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

} // namespace

int32_t SaveFormatForName(const std::string& outputName) {
    size_t length = outputName.size();
    bool bmp = length >= 4 && strcasecmp(outputName.c_str() + length - 4, ".bmp") == 0;
    return bmp ? 0 : 1;
}

CliRequest ParseCliOptions(int argc, char** argv, CliOptions* options, std::string* error) {
    *options = {};
    bool sizeGiven = false, read = true;
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
    if (!sizeGiven) {
        *error = "the sheet size is required (--size W,H)";
        return CliRequest::UsageError;
    }
    options->source = argv[optind];
    options->output = argv[optind + 1];
    if (options->saveFormat < 0)
        options->saveFormat = SaveFormatForName(options->output);
    return CliRequest::Pack;
}
