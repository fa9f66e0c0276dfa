#include "image/SaveFormats.h"

#include "image/BmpFile.h"
#include "image/JpegFile.h"
#include "platform/JpegCodec.h"
#include "support/TestFiles.h"
#include "support/TestJpegs.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace {

class SaveFormatsTest : public testing::Test {
  protected:
    ScratchFolder folder;
    PackedDib sheet = MakeSmoothPicture(120, 90);
    void TearDown() override { ReleaseDib(sheet); }
};

// Row 0 is the BMP writer; rows 1 to 3 write YCbCr JPEG at falling quality and size.
TEST_F(SaveFormatsTest, EachRowWritesWhatItsWriterWrites) {
    std::string viaTable = folder.Path("table"), direct = folder.Path("direct");
    ASSERT_EQ(WriteInSaveFormat(viaTable.c_str(), sheet, 0, {}), 1);
    ASSERT_EQ(WriteBmpFile(direct.c_str(), sheet), 1);
    EXPECT_EQ(ReadWholeFile(viaTable), ReadWholeFile(direct));

    size_t previousBytes = SIZE_MAX;
    for (auto [row, quality] : {std::pair{1, 75}, {2, 50}, {3, 15}}) {
        SCOPED_TRACE(row);
        ASSERT_EQ(WriteInSaveFormat(viaTable.c_str(), sheet, row, {}), 1);
        ASSERT_EQ(WriteJpegFile(direct.c_str(), sheet, quality, {}), 1);
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
        EXPECT_EQ(WriteInSaveFormat(folder.Path("sheet").c_str(), sheet, row, {}), 0);
    EXPECT_TRUE(folder.Entries().empty());
}

} // namespace
