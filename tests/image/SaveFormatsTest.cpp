#include "image/SaveFormats.h"

#include "image/JpegFile.h"
#include "support/TestJpegs.h"

#include <algorithm>
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
// rounded, and into a JPEG file's JFIF segment as its density in dots per inch (unit 1); unset,
// the file is what it was without (0 pixels per metre; unit 0, density 1:1). Nothing else changes.
TEST(WriteInSaveFormat, SheetsCarryTheResolutionInBothFormats) {
    ScratchFolder folder;
    PackedDib sheet = MakePicture(7, 3);
    std::string bmp = folder.Path("sheet.bmp"), jpeg = folder.Path("sheet.jpg");
    ASSERT_EQ(WriteInSaveFormat(jpeg.c_str(), sheet, 2, {}), 1);
    const Bytes plainBmp = BmpFileBytes(BlockBytes(sheet)), plainJpeg = ReadWholeFile(jpeg);
    EXPECT_EQ(Bytes(plainJpeg.begin() + 6, plainJpeg.begin() + 18),
              (Bytes{'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1}));
    // 72 rounds up, 300 down; 300 and 10000 need the high byte of the JFIF fields.
    for (auto [dpi, perMetre] : {std::pair{72u, 2835u}, {300u, 11811u}, {10000u, 393701u}}) {
        SheetMetadata metadata{{}, static_cast<int32_t>(dpi)};
        ASSERT_EQ(WriteInSaveFormat(bmp.c_str(), sheet, 0, metadata), 1);
        ASSERT_EQ(WriteInSaveFormat(jpeg.c_str(), sheet, 2, metadata), 1);
        Bytes expectedBmp = plainBmp, expectedJpeg = plainJpeg;
        for (size_t field : {38u, 42u})
            for (size_t i = 0; i < 4; ++i)
                expectedBmp[field + i] = static_cast<uint8_t>(perMetre >> (8 * i));
        Bytes density = {1, static_cast<uint8_t>(dpi >> 8), static_cast<uint8_t>(dpi),
                         static_cast<uint8_t>(dpi >> 8), static_cast<uint8_t>(dpi)};
        std::copy(density.begin(), density.end(), expectedJpeg.begin() + 13);
        EXPECT_EQ(ReadWholeFile(bmp), expectedBmp) << dpi;
        EXPECT_EQ(ReadWholeFile(jpeg), expectedJpeg) << dpi;
    }
    ReleaseDib(sheet);
}

} // namespace
