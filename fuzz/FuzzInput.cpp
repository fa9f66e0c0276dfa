#include "FuzzInput.h"

#include "image/Orientation.h"
#include "image/PackedDib.h"
#include "pack/CutGuides.h"
#include "pack/SheetBuilding.h"
#include "pack/SheetCompositor.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

std::string folder;

// Removes the folder and what the targets left in it: the input, a settings file, a sheet.
void RemoveFuzzFolder() {
    if (DIR* entries = opendir(folder.c_str())) {
        while (dirent* entry = readdir(entries)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..")
                unlink((folder + "/" + name).c_str());
        }
        closedir(entries);
    }
    rmdir(folder.c_str());
}

} // namespace

const std::string& FuzzFolder() {
    if (folder.empty()) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern =
            std::string(base != nullptr ? base : "/tmp") + "/kafelator-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("kafelator fuzz: cannot make a scratch folder");
            std::abort();
        }
        folder = pattern;
        std::atexit(RemoveFuzzFolder);
    }
    return folder;
}

std::string WriteFuzzFile(const char* name, const uint8_t* data, size_t size) {
    std::string path = FuzzFolder() + "/" + name;
    int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (descriptor < 0)
        FuzzFailure("the input file can be written", __FILE__, __LINE__);
    for (size_t done = 0; done < size;) {
        ssize_t written = write(descriptor, data + done, size - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            FuzzFailure("the input file can be written", __FILE__, __LINE__);
        done += static_cast<size_t>(written);
    }
    close(descriptor);
    return path;
}

std::string ReadFuzzFile(const std::string& path) {
    std::string text;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, got);
        std::fclose(file);
    }
    return text;
}

PackedDib MakeFuzzPicture(int32_t width, int32_t height) {
    int64_t stride = RowStride(width);
    PackedDib image = AllocateDib(InfoHeaderBytes + stride * height);
    if (image.block == nullptr)
        return image;
    WriteInfoHeader(image.block, width, height, 0);
    for (int64_t y = 0; y < height; ++y) {
        uint8_t* row = image.block + InfoHeaderBytes + y * stride;
        for (int64_t x = 0; x < stride; ++x)
            row[x] = static_cast<uint8_t>(x * 7 + y * 13 + 1);
    }
    return image;
}

void CheckDecodedBlock(const PackedDib& image) {
    FUZZ_CHECK(IsPackablePicture(image));
    int64_t width = ImageWidth(image.block), height = ImageHeight(image.block);
    int64_t stride = RowStride(width);
    FUZZ_CHECK(image.blockBytes == InfoHeaderBytes + stride * height);
    for (int64_t row = 0; row < height; ++row)
        for (int64_t pad = 3 * width; pad < stride; ++pad)
            FUZZ_CHECK(image.block[InfoHeaderBytes + row * stride + pad] == 0);
}

void CheckBuiltSheet(const PackedDib& sourceImage, const PackParameters& parameters,
                     const PackedDib& sheet) {
    int64_t w = ImageWidth(sourceImage.block), h = ImageHeight(sourceImage.block);
    // Turned a quarter where that fits strictly more copies, and only then.
    CopyCounts copies = CountCopies(static_cast<int32_t>(w), static_cast<int32_t>(h), parameters);
    bool turned = parameters.turnCopies && copies.turned > copies.upright;
    PackedDib picture = turned ? TurnedQuarterClockwise(sourceImage) : sourceImage;
    FUZZ_CHECK(picture.block != nullptr);
    if (turned)
        std::swap(w, h);
    SheetLayout layout{};
    FUZZ_CHECK(ComputeLayout(parameters.sheetWidth, parameters.sheetHeight, static_cast<int32_t>(w),
                             static_cast<int32_t>(h), parameters.distance, parameters.marginOn,
                             parameters.margin, &layout) == LayoutVerdict::Fits);
    FUZZ_CHECK(sheet.block != nullptr);
    int64_t W = parameters.sheetWidth, H = parameters.sheetHeight;
    int64_t stride = RowStride(W);
    FUZZ_CHECK(sheet.blockBytes == InfoHeaderBytes + stride * H);
    FUZZ_CHECK(IsPackablePicture(sheet));
    FUZZ_CHECK(ImageWidth(sheet.block) == W && ImageHeight(sheet.block) == H);

    // The first copy is the picture, byte for byte, guides or not.
    const uint8_t* source = picture.block + InfoHeaderBytes;
    const uint8_t* pixels = sheet.block + InfoHeaderBytes;
    for (int64_t y = 0; y < h; ++y)
        FUZZ_CHECK(std::memcmp(pixels + (layout.originY + y) * stride + 3 * int64_t{layout.originX},
                               source + y * RowStride(w), static_cast<size_t>(3 * w)) == 0);
    uint8_t grey = BackgroundGreys[parameters.background];
    uint8_t guide = parameters.cutGuides ? GuideLevel(parameters.background) : grey;
    if (layout.originX > 0 || layout.originY > 0)
        FUZZ_CHECK(pixels[0] == grey || pixels[0] == guide);
    // Just left of the first copy, where no copy lies, the guide runs.
    if (layout.originX > 0)
        FUZZ_CHECK(pixels[layout.originY * stride + 3 * (layout.originX - 1)] == guide);
    for (int64_t pad = 3 * W; pad < stride; ++pad)
        FUZZ_CHECK(pixels[pad] == grey);
    if (turned)
        ReleaseDib(picture);
}

void FuzzFailure(const char* invariant, const char* file, int line) {
    std::fprintf(stderr, "==kafelator fuzz== invariant broken at %s:%d: %s\n", file, line,
                 invariant);
    std::abort();
}
