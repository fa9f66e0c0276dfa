#pragma once
// The command line of kafelator-cli.

#include "image/SourceImage.h"
#include "pack/SheetBuilding.h"

#include <cstdint>
#include <string>

struct CliOptions {
    std::string sizeText;    // the option that gave the sheet size, as given, for messages
    PackParameters pack;     // the sheet size that option gives, and the other choices
    int32_t saveFormat = -1; // -1: chosen from the output name
    int32_t dpi = 0;         // the sheet's print resolution; 0 when none is given
    bool pdf = false;        // OUTPUT is a PDF page of the sheet, its picture in the save format
    bool noClobber = false;  // an existing OUTPUT is refused rather than replaced
    SourceOptions sourceOptions;
    std::string source;
    std::string output;
};

enum class CliRequest { Pack, Help, Version, UsageError };

// Reads argv into *options. Numbers are whole decimal numbers in range, nothing before or after
// them. On UsageError, *error says what is wrong, naming the option or the value at fault.
CliRequest ParseCliOptions(int argc, char** argv, CliOptions* options, std::string* error);

// The save format for an output name: BMP for a name ending in .bmp (any case), else JPEG at the
// first JPEG quality.
int32_t SaveFormatForName(const std::string& outputName);
// Whether the output name ends in .pdf, in any case.
bool IsPdfName(const std::string& outputName);

extern const char CliUsage[];
// What follows a usage error's message: where the usage is.
inline constexpr char CliUsageHint[] = "Try 'kafelator-cli --help' for the options.\n";
