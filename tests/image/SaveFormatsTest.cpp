#include "image/SaveFormats.h"

#include "TestFiles.h"
#include "image/BmpFile.h"
#include "image/JpegFile.h"
#include "platform/JpegCodec.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>

namespace {

// A photo-like picture: gradients under fine grain, where stronger compression pays.
PackedDib MakeGrainyPicture(int32_t width, int32_t height) {
    int64_t stride = RowStride(width);
    PackedDib image = AllocateDib(InfoHeaderBytes + stride * height);
    WriteInfoHeader(image.block, width, height, 0);
    uint32_t seed = 12345;
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = image.block + InfoHeaderBytes + y * stride;
        for (int64_t i = 0; i < stride; ++i) {
            seed = seed * 1103515245 + 12345;
            int grain = static_cast<int>(seed >> 27) - 16;
            int64_t base = 60 + (i % 3) * 40 + y / 2 + (i / 3) / 3;
            row[i] = static_cast<uint8_t>(std::clamp<int64_t>(base + grain, 0, 255));
        }
    }
    return image;
}

class SaveFormatsTest : public testing::Test {
  protected:
    ScratchFolder folder;
    PackedDib sheet = MakeGrainyPicture(120, 90);
    void TearDown() override { ReleaseDib(sheet); }
};

// Row 0 is the BMP writer; rows 1 to 3 write YCbCr JPEG at falling quality and size.
TEST_F(SaveFormatsTest, EachRowWritesWhatItsWriterWrites) {
    std::string viaTable = folder.Path("table"), direct = folder.Path("direct");
    ASSERT_EQ(WriteInSaveFormat(viaTable.c_str(), sheet, sheet.blockBytes, 0), 1);
    ASSERT_EQ(WriteBmpFile(direct.c_str(), sheet, sheet.blockBytes), 1);
    EXPECT_EQ(ReadWholeFile(viaTable), ReadWholeFile(direct));

    size_t previousBytes = SIZE_MAX;
    for (auto [row, quality] : {std::pair{1, 75}, {2, 50}, {3, 15}}) {
        SCOPED_TRACE(row);
        ASSERT_EQ(WriteInSaveFormat(viaTable.c_str(), sheet, sheet.blockBytes, row), 1);
        ASSERT_EQ(WriteJpegFile(direct.c_str(), sheet, quality), 1);
        Bytes written = ReadWholeFile(viaTable);
        EXPECT_EQ(written, ReadWholeFile(direct));
        EXPECT_LT(written.size(), previousBytes);
        previousBytes = written.size();
    }
    JpegCodecProps props;
    InitialiseJpegProps(&props);
    props.fileName = viaTable.c_str();
    ASSERT_EQ(ReadJpegData(&props, JpegReadParameters), 0);
    EXPECT_EQ(props.jpegChannels, 3);
    EXPECT_EQ(props.jpegColor, JpegColorYcbcr);
    EXPECT_EQ(props.jpegSubsampling, JpegSubsampling420);
    ReleaseJpegProps(&props);
}

TEST_F(SaveFormatsTest, RowOutsideTheTableWritesNothing) {
    for (int32_t row : {-1, saveFormatCount, 100})
        EXPECT_EQ(WriteInSaveFormat(folder.Path("sheet").c_str(), sheet, sheet.blockBytes, row), 0);
    EXPECT_TRUE(folder.Entries().empty());
}

} // namespace
