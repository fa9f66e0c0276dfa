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

} // namespace
