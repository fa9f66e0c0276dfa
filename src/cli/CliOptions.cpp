#include "cli/CliOptions.h"

#include "pack/PackTexts.h"
#include "pack/SheetCompositor.h"

#include <cstring>
#include <getopt.h>
#include <strings.h>

const char CliUsage[] =
    "Usage: kafelator-cli [OPTIONS] SOURCE OUTPUT\n"
    "Fills a sheet with unscaled copies of the photograph SOURCE (JPEG, PNG or BMP) and saves it\n"
    "as OUTPUT (24-bit BMP or JPEG, the JPEG with the source's colour profile).\n"
    "\n"
    "  -s, --size TEXT        sheet size in pixels, \"2480 3508\", \"2480,3508\" or \"2480*3508\"\n"
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
    "  -h, --help             this text\n"
    "      --version          the version\n"
    "\n"
    "Exit status: 0 when the sheet is written, 1 when the job fails, 2 for a usage error.\n";

namespace {

bool ParseBackground(const char* text, uint32_t* background) {
    for (int row = 0; row < backgroundLevelCount; ++row) {
        if (std::strcmp(text, BackgroundLevels[row]) == 0) {
            *background = static_cast<uint32_t>(row);
            return true;
        }
    }
    int32_t row = 0;
    if (!ParseNumber(text, &row) || row < 0 || row >= backgroundLevelCount)
        return false;
    *background = static_cast<uint32_t>(row);
    return true;
}

enum LongOnly { NoMarginOption = 256, VersionOption, IgnoreOrientationOption };

} // namespace

int32_t SaveFormatForName(const std::string& outputName) {
    size_t length = outputName.size();
    bool bmp = length >= 4 && strcasecmp(outputName.c_str() + length - 4, ".bmp") == 0;
    return bmp ? 0 : 1;
}

CliRequest ParseCliOptions(int argc, char** argv, CliOptions* options, std::string* error) {
    static const option longOptions[] = {
        {"size", required_argument, nullptr, 's'},
        {"distance", required_argument, nullptr, 'd'},
        {"margin", required_argument, nullptr, 'm'},
        {"no-margin", no_argument, nullptr, NoMarginOption},
        {"background", required_argument, nullptr, 'b'},
        {"format", required_argument, nullptr, 'f'},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, VersionOption},
        {"ignore-orientation", no_argument, nullptr, IgnoreOrientationOption},
        {nullptr, 0, nullptr, 0},
    };
    *options = {};
    bool sizeGiven = false;
    optind = 0; // start afresh, also when called more than once
    opterr = 0;
    for (;;) {
        int option = getopt_long(argc, argv, "s:d:m:b:f:h", longOptions, nullptr);
        if (option == -1)
            break;
        switch (option) {
        case 's':
            options->sizeText = optarg;
            sizeGiven = true;
            break;
        case 'd':
            if (!ParseNumber(optarg, &options->pack.distance)) {
                *error = std::string("the distance is not a number: ") + optarg;
                return CliRequest::UsageError;
            }
            break;
        case 'm':
            if (!ParseNumber(optarg, &options->pack.margin)) {
                *error = std::string("the margin is not a number: ") + optarg;
                return CliRequest::UsageError;
            }
            break;
        case NoMarginOption:
            options->pack.marginOn = 0;
            break;
        case IgnoreOrientationOption:
            options->sourceOptions.ignoreOrientation = true;
            break;
        case 'b':
            if (!ParseBackground(optarg, &options->pack.background)) {
                *error = std::string("no such background: ") + optarg;
                return CliRequest::UsageError;
            }
            break;
        case 'f':
            if (!ParseNumber(optarg, &options->saveFormat) || options->saveFormat < 0 ||
                options->saveFormat > 3) {
                *error = std::string("no such format: ") + optarg;
                return CliRequest::UsageError;
            }
            break;
        case 'h':
            return CliRequest::Help;
        case VersionOption:
            return CliRequest::Version;
        default:
            *error = optopt != 0 && std::strchr("sdmbf", optopt) != nullptr
                         ? std::string("option -") + static_cast<char>(optopt) + " needs a value"
                         : std::string("unknown option ") + argv[optind - 1];
            return CliRequest::UsageError;
        }
    }
    if (argc - optind != 2) {
        *error = "give one SOURCE and one OUTPUT";
        return CliRequest::UsageError;
    }
    if (!sizeGiven) {
        *error = "the sheet size is required (-s WIDTH,HEIGHT)";
        return CliRequest::UsageError;
    }
    options->source = argv[optind];
    options->output = argv[optind + 1];
    if (options->saveFormat < 0)
        options->saveFormat = SaveFormatForName(options->output);
    return CliRequest::Pack;
}
