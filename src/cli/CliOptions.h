#pragma once
// The command line of kafelator-cli.

#include "image/SourceImage.h"
#include "pack/SheetBuilding.h"

#include <cstdint>
#include <string>

struct CliOptions {
    std::string sizeText;
    PackParameters pack;     // the sheet size is parsed from sizeText when packing
    int32_t saveFormat = -1; // -1: chosen from the output name
    SourceOptions sourceOptions;
    std::string source;
    std::string output;
};

enum class CliRequest { Pack, Help, Version, UsageError };

// Reads argv into *options. On UsageError, *error says what is wrong.
CliRequest ParseCliOptions(int argc, char** argv, CliOptions* options, std::string* error);

// The save format for an output name: BMP for a name ending in .bmp (any case), else JPEG at the
// first JPEG quality.
int32_t SaveFormatForName(const std::string& outputName);

extern const char CliUsage[];
