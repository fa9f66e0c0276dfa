#include "image/SaveFormats.h"

#include "image/BmpFile.h"
#include "image/JpegFile.h"

const char SaveFormats[][SaveFormatNameSlot] = {
    "bmp, bez kompresji",
    "jpg, mała kompresja",
    "jpg, średnia kompresja",
    "jpg, silna kompresja",
};
const int32_t saveFormatCount = sizeof SaveFormats / sizeof SaveFormats[0];
const int32_t SaveQualities[] = {75, 50, 15};

int WriteInSaveFormat(const char* fileName, const PackedDib& sheet, int32_t saveMode,
                      const SheetMetadata& metadata) {
    if (saveMode == 0)
        return WriteBmpFile(fileName, sheet, metadata.dpi);
    if (saveMode >= 1 && saveMode < saveFormatCount)
        return WriteJpegFile(fileName, sheet, SaveQualities[saveMode - 1], metadata);
    return 0;
}

int WriteRowsInSaveFormat(const char* fileName, int32_t width, int32_t height,
                          const RowSource& rows, int32_t saveMode, const SheetMetadata& metadata) {
    if (saveMode == 0)
        return WriteBmpRows(fileName, width, height, rows, metadata.dpi);
    if (saveMode >= 1 && saveMode < saveFormatCount)
        return WriteJpegRows(fileName, width, height, rows, SaveQualities[saveMode - 1], metadata);
    return 0;
}
