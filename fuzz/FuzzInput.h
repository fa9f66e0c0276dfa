#pragma once
// What the fuzz targets share: the input as a file on disk, since the loaders read files by name,
// and a check that ends the run with a report when an invariant breaks.

#include <cstddef>
#include <cstdint>
#include <string>

// A folder of this process's own, made at the first call and removed with its content at exit.
const std::string& FuzzFolder();

// Writes the bytes to the file of that name in FuzzFolder(), replacing what it held; its path.
std::string WriteFuzzFile(const char* name, const uint8_t* data, size_t size);

// The whole content of a file, or the empty text when it cannot be read.
std::string ReadFuzzFile(const std::string& path);

// A picture of width x height, 24 bits, bottom-up, in a lopsided pattern; the caller releases it.
struct PackedDib;
PackedDib MakeFuzzPicture(int32_t width, int32_t height);

// A block a reader built: packable, exactly 40 bytes and its rows long, pad bytes zeroed.
void CheckDecodedBlock(const PackedDib& image);

// After BuildSheet has found that the grid fits on a small sheet: the sheet exists with its size,
// and the copy nearest the lower-left corner, which no other copy covers, shows the source
// unchanged, with the background grey left of it and below it.
struct PackParameters;
void CheckBuiltSheet(const PackedDib& source, const PackParameters& parameters,
                     const PackedDib& sheet);

// Ends the run with a report naming the broken invariant, as a sanitizer report would, so that
// libFuzzer keeps the input that broke it.
[[noreturn]] void FuzzFailure(const char* invariant, const char* file, int line);
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            FuzzFailure(#condition, __FILE__, __LINE__);                                           \
    } while (false)
