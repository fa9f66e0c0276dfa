#include "image/SourceImage.h"

#include "image/BmpFile.h"
#include "image/JpegFile.h"
#include "platform/FileCalls.h"

PackedDib LoadSourceImage(const char* fileName) {
    // The JPEG reader refuses anything that is not a JPEG file it can decode, whatever the name,
    // and leaves nothing allocated; the BMP reader then gets its turn.
    PackedDib image = ReadJpegFile(fileName);
    if (image.block != nullptr)
        return image;
    FileHandle file = OpenFileForReading(fileName);
    if (file == FileError)
        return {};
    image = ReadBmp(file);
    CloseFile(file);
    return image;
}

PackableSource LoadPackableSource(const char* fileName) {
    PackedDib image = LoadSourceImage(fileName);
    if (image.block == nullptr)
        return {{}, SourceVerdict::CannotOpen};
    // The acceptance test (pixels straight after a 40-byte header) and beyond it what the
    // compositor reads: 24 bits, uncompressed, at least 1 x 1.
    if (!IsPackablePicture(image)) {
        ReleaseDib(image);
        return {{}, SourceVerdict::WrongFormat};
    }
    return {image, SourceVerdict::Loaded};
}
