#include "image/SaveFormats.h"

#include "image/JpegFile.h"
#include "support/TestJpegs.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace {

// Row 0 is a BMP file of the sheet; rows 1 to 3 are what the JPEG writer makes at qualities 75,
// 50 and 15, ever smaller files; a row outside the table writes nothing.
TEST(WriteInSaveFormat, EachRowWritesWhatItsWriterWrites) {
    ScratchFolder folder;
    PackedDib sheet = MakePicture(120, 90);
    std::string viaTable = folder.Path("table"), direct = folder.Path("direct");
    ASSERT_EQ(WriteInSaveFormat(viaTable.c_str(), sheet, 0, {}), 1);
    EXPECT_EQ(ReadWholeFile(viaTable), BmpFileBytes(BlockBytes(sheet)));
    size_t previousBytes = SIZE_MAX;
    for (auto [row, quality] : {std::pair{1, 75}, {2, 50}, {3, 15}}) {
        ASSERT_EQ(WriteInSaveFormat(viaTable.c_str(), sheet, row, {}), 1);
        ASSERT_EQ(WriteJpegFile(direct.c_str(), sheet, quality, {}), 1);
        Bytes written = ReadWholeFile(viaTable);
        EXPECT_EQ(written, ReadWholeFile(direct)) << row;
        EXPECT_LT(written.size(), previousBytes) << row;
        previousBytes = written.size();
    }
    for (int32_t row : {-1, saveFormatCount, 100})
        EXPECT_EQ(WriteInSaveFormat(folder.Path("none").c_str(), sheet, row, {}), 0) << row;
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"direct", "table"}));
    ReleaseDib(sheet);
}

// The resolution goes into a BMP file's biXPelsPerMeter and biYPelsPerMeter as dpi / 0.0254
// rounded; unset, the file is the sheet's bytes as they are. Nothing else changes.
TEST(WriteInSaveFormat, BmpFilesCarryTheResolutionInPixelsPerMetre) {
    ScratchFolder folder;
    PackedDib sheet = MakePicture(7, 3);
    const Bytes plain = BmpFileBytes(BlockBytes(sheet));
    std::string name = folder.Path("sheet.bmp");
    for (auto [dpi, perMetre] : {std::pair{0u, 0u},
                                 {1u, 39u},
                                 {72u, 2835u},
                                 {96u, 3780u},
                                 {300u, 11811u},
                                 {600u, 23622u},
                                 {10000u, 393701u}}) {
        ASSERT_EQ(WriteInSaveFormat(name.c_str(), sheet, 0, {{}, static_cast<int32_t>(dpi)}), 1);
        Bytes expected = plain;
        for (size_t field : {38u, 42u})
            for (size_t i = 0; i < 4; ++i)
                expected[field + i] = static_cast<uint8_t>(perMetre >> (8 * i));
        EXPECT_EQ(ReadWholeFile(name), expected) << dpi;
    }
    ReleaseDib(sheet);
}

} // namespace
