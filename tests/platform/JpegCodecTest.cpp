#include "platform/JpegCodec.h"

#include "support/TestJpegs.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <gtest/gtest.h>
#include <tuple>

namespace {

// A record the codec has initialised, for the named file.
JpegCodecProps PropsFor(const char* fileName) {
    JpegCodecProps props;
    InitialiseJpegProps(&props);
    props.fileName = fileName;
    return props;
}

// Describes the 7 x 5 test picture: a DIB with one pad byte a row, bottom-up or top-down, and the
// JPEG of the same size.
void DescribeDib(JpegCodecProps* props, Bytes& dib, bool bottomUp) {
    props->dibBytes = dib.data();
    props->dibWidth = props->jpegWidth = 7;
    props->jpegHeight = 5;
    props->dibHeight = bottomUp ? -5 : 5;
    props->dibPadBytes = 1;
}

class JpegCodecTest : public testing::Test {
  protected:
    void SetUp() override { WriteWholeFile(name, EncodePicture(picture)); }
    void TearDown() override { ReleaseDib(picture); }
    ScratchFolder folder;
    std::string name = folder.Path("picture.jpg");
    PackedDib picture = MakeSmoothPicture(7, 5);
    // More than the DIB needs, every byte 0xAA, so that a write past it shows instead of crashing.
    Bytes dib = Bytes(8 * 6 * 3, 0xAA);
};

TEST_F(JpegCodecTest, ParameterPassReportsTheStreamAsItIs) {
    const struct {
        JpegInput input;
        int32_t channels, color, subsampling;
    } cases[] = {{JpegInput::Bgr, 3, JpegColorYcbcr, JpegSubsampling420},
                 {JpegInput::Grey, 1, JpegColorGrey, JpegSubsamplingOther},
                 {JpegInput::Cmyk, 4, JpegColorOther, JpegSubsamplingOther},
                 {JpegInput::Ycck, 4, JpegColorOther, JpegSubsampling420}};
    for (const auto& c : cases) {
        WriteWholeFile(name, EncodePicture(picture, c.input));
        JpegCodecProps props = PropsFor(name.c_str());
        EXPECT_EQ(ReadJpegData(&props, JpegReadParameters), 0);
        EXPECT_EQ(std::tuple(props.jpegWidth, props.jpegHeight, props.jpegChannels, props.jpegColor,
                             props.jpegSubsampling),
                  std::tuple(7, 5, c.channels, c.color, c.subsampling));
        ReleaseJpegProps(&props);
    }
}

TEST_F(JpegCodecTest, OneReadingServesBothPassesAndHeightSignChoosesRowOrder) {
    Bytes topDown = dib;
    JpegCodecProps props = PropsFor(name.c_str());
    DescribeDib(&props, topDown, false);
    ASSERT_EQ(ReadJpegData(&props, JpegReadPicture), 0);
    ReleaseJpegProps(&props);

    props = PropsFor(name.c_str());
    ASSERT_EQ(ReadJpegData(&props, JpegReadParameters), 0);
    std::remove(name.c_str()); // the picture pass decodes what the parameter pass read
    DescribeDib(&props, dib, true);
    EXPECT_EQ(ReadJpegData(&props, JpegReadPicture), 0);
    ReleaseJpegProps(&props);
    ReleaseJpegProps(&props);            // a second release does no harm
    for (size_t row = 0; row < 5; ++row) // pad bytes included
        EXPECT_TRUE(std::equal(&dib[22 * row], &dib[22 * row + 22], &topDown[22 * (4 - row)]));
}

TEST_F(JpegCodecTest, RecordThatDoesNotFitIsRefusedWithoutTouchingDibOrFile) {
    const struct {
        const char* what;
        int mode;
        void (*change)(JpegCodecProps*);
    } refusals[] = {
        {"wider DIB", JpegReadPicture, [](JpegCodecProps* p) { p->dibWidth += 1; }},
        {"taller DIB", JpegReadPicture, [](JpegCodecProps* p) { p->dibHeight -= 1; }},
        {"4 channels", JpegReadPicture, [](JpegCodecProps* p) { p->dibChannels = 4; }},
        {"YCbCr DIB", JpegReadPicture, [](JpegCodecProps* p) { p->dibColor = JpegColorYcbcr; }},
        {"negative pad", JpegReadPicture, [](JpegCodecProps* p) { p->dibPadBytes = -1; }},
        {"lowest height", JpegReadPicture, [](JpegCodecProps* p) { p->dibHeight = INT32_MIN; }},
        {"quality 0", JpegWritePicture, [](JpegCodecProps* p) { p->jpegQuality = 0; }},
        {"quality 101", JpegWritePicture, [](JpegCodecProps* p) { p->jpegQuality = 101; }},
        {"other sampling", JpegWritePicture,
         [](JpegCodecProps* p) { p->jpegSubsampling = JpegSubsamplingOther; }},
        {"grey JPEG", JpegWritePicture, [](JpegCodecProps* p) { p->jpegColor = JpegColorGrey; }},
        {"JPEG wider than DIB", JpegWritePicture, [](JpegCodecProps* p) { p->jpegWidth = 8; }},
        {"JPEG taller than DIB", JpegWritePicture, [](JpegCodecProps* p) { p->jpegHeight = 6; }},
    };
    std::string out = folder.Path("out.jpg");
    for (const auto& refusal : refusals) {
        bool writing = refusal.mode == JpegWritePicture;
        JpegCodecProps props = PropsFor(writing ? out.c_str() : name.c_str());
        DescribeDib(&props, dib, true);
        refusal.change(&props);
        EXPECT_NE(
            writing ? WriteJpegData(&props, refusal.mode) : ReadJpegData(&props, refusal.mode), 0)
            << refusal.what;
        ReleaseJpegProps(&props);
        EXPECT_EQ(dib, Bytes(dib.size(), 0xAA)) << refusal.what;
        EXPECT_FALSE(FileExists(out)) << refusal.what;
    }
    JpegCodecProps props = PropsFor(out.c_str()); // the same record, unchanged, is written
    DescribeDib(&props, dib, true);
    EXPECT_EQ(WriteJpegData(&props, JpegWritePicture), 0);
    ReleaseJpegProps(&props);
    EXPECT_TRUE(FileExists(out));
}

} // namespace
