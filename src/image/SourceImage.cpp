#include "image/SourceImage.h"

#include "app/AppState.h"
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

SourceVerdict OpenSourcePicture(const char* fileName) {
    ReleaseDib(appState.sourceImage);
    appState.sourceWidth = 0;
    appState.sourceHeight = 0;
    PackedDib image = LoadSourceImage(fileName);
    if (image.block == nullptr)
        return SourceVerdict::CannotOpen;
    uint32_t offset = 0;
    GetImageGeometry(image.block, &offset, &appState.sourceWidth, &appState.sourceHeight);
    // The acceptance test (pixels straight after a 40-byte header) and beyond it what the
    // compositor reads: 24 bits, uncompressed, at least 1 x 1.
    if (!IsPackablePicture(image)) {
        ReleaseDib(image);
        appState.sourceWidth = 0;
        appState.sourceHeight = 0;
        return SourceVerdict::WrongFormat;
    }
    appState.sourceImage = image;
    return SourceVerdict::Loaded;
}
