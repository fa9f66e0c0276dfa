#include "image/SourceImage.h"

#include "image/BmpConversion.h"
#include "image/ExifOrientation.h"
#include "image/JpegFile.h"
#include "image/Orientation.h"
#include "image/PngFile.h"
#include "image/SheetMetadata.h"
#include "platform/FileCalls.h"
#include "platform/PngCodec.h"

#include <cstdlib>
#include <utility>

namespace {

// The start-of-image marker; the decoder itself skips stray bytes before the next one.
constexpr uint8_t JpegStart[] = {0xFF, 0xD8};

enum class SourceKind { Jpeg, Png, Bmp, Unknown };

SourceKind KindOf(const uint8_t* head, int64_t headBytes) {
    if (headBytes >= 2 && head[0] == JpegStart[0] && head[1] == JpegStart[1])
        return SourceKind::Jpeg;
    if (HasPngSignature(head, headBytes))
        return SourceKind::Png;
    return IsBmpHead(head, headBytes) ? SourceKind::Bmp : SourceKind::Unknown;
}

PackableSource LoadJpeg(const char* fileName, const SourceOptions& options) {
    JpegMetadata metadata;
    PackedDib image = ReadJpegFile(fileName, &metadata);
    if (image.block == nullptr)
        return {};
    if (!options.ignoreOrientation) {
        const std::vector<uint8_t>& exif = metadata.exifSegment;
        image = TurnUpright(image, ExifOrientation(exif.data(), std::ssize(exif)));
        if (image.block == nullptr)
            return {};
    }
    return {image, SourceVerdict::Loaded, std::move(metadata.iccProfile)};
}

// A PNG stream is decoded from memory: the whole file is read, within the signed 32-bit range
// of every other count of the program.
PackableSource LoadPng(FileHandle file, int64_t fileBytes) {
    if (fileBytes > INT32_MAX || SeekFile(file, 0, SeekFromStart) != 0)
        return {};
    auto* bytes = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(fileBytes)));
    if (bytes == nullptr)
        return {};
    PackableSource source;
    auto count = static_cast<int32_t>(fileBytes);
    if (ReadFileBytes(file, bytes, count) == count) {
        source.image = ReadPngPicture(bytes, fileBytes, &source.iccProfile);
        if (source.image.block != nullptr)
            source.verdict = SourceVerdict::Loaded;
    }
    std::free(bytes);
    return source;
}

PackableSource LoadByKind(const char* fileName, const SourceOptions& options) {
    FileHandle file = OpenFileForReading(fileName);
    if (file == FileError)
        return {};
    uint8_t head[BmpHeadBytes] = {};
    int64_t headBytes = ReadFileBytes(file, head, BmpHeadBytes);
    int64_t fileBytes = SeekFile(file, 0, SeekFromEnd);
    PackableSource source;
    switch (fileBytes < headBytes ? SourceKind::Unknown : KindOf(head, headBytes)) {
    case SourceKind::Jpeg:
        CloseFile(file); // the JPEG reader opens it by name
        return LoadJpeg(fileName, options);
    case SourceKind::Png:
        source = LoadPng(file, fileBytes);
        break;
    case SourceKind::Bmp:
        source.verdict = ReadBmpSource(file, head, headBytes, fileBytes, &source.image);
        break;
    case SourceKind::Unknown:
        break;
    }
    CloseFile(file);
    return source;
}

} // namespace

PackableSource LoadPackableSource(const char* fileName, const SourceOptions& options) {
    PackableSource source = LoadByKind(fileName, options);
    // Beyond what each reader checks, what the compositor reads: 24 bits, uncompressed, pixels
    // straight after a 40-byte header, at least 1 x 1.
    if (source.verdict == SourceVerdict::Loaded && !IsPackablePicture(source.image))
        source.verdict = SourceVerdict::WrongFormat;
    if (source.verdict != SourceVerdict::Loaded) {
        ReleaseDib(source.image);
        source.iccProfile.clear();
    }
    // A profile no JPEG sheet could carry is not kept, so that no sheet claims one it lacks.
    if (static_cast<int64_t>(source.iccProfile.size()) > MaxIccProfileBytes)
        source.iccProfile.clear();
    return source;
}
