#include "platform/JpegCodec.h"

#include "TestFiles.h"
#include "TestJpegs.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

// A DIB of 3-byte pixels with the given pad bytes, every byte 0xAA to begin with.
struct Dib {
    int32_t width, height, pad;
    Bytes bytes;
    Dib(int32_t w, int32_t h, int32_t p)
        : width(w), height(h), pad(p), bytes(static_cast<size_t>((3 * w + p) * h), 0xAA) {}
    uint8_t* Row(int32_t row) { return bytes.data() + row * (3 * width + pad); }
};

// A record ready for the picture pass into the DIB, rows bottom-up or top-down.
void DescribeDib(JpegCodecProps* props, Dib& dib, bool bottomUp) {
    props->dibBytes = dib.bytes.data();
    props->dibWidth = dib.width;
    props->dibHeight = bottomUp ? -dib.height : dib.height;
    props->dibPadBytes = dib.pad;
    props->dibChannels = 3;
    props->dibColor = JpegColorBgr;
}

int ReadInto(const std::string& name, Dib& dib, bool bottomUp) {
    JpegCodecProps props;
    InitialiseJpegProps(&props);
    props.fileName = name.c_str();
    DescribeDib(&props, dib, bottomUp);
    int result = ReadJpegData(&props, JpegReadPicture);
    ReleaseJpegProps(&props);
    return result;
}

class JpegCodecTest : public testing::Test {
  protected:
    ScratchFolder folder;
    std::string name = folder.Path("picture.jpg");
    PackedDib picture = MakeSmoothPicture(7, 5);
    void TearDown() override { ReleaseDib(picture); }
    void WritePicture(JpegInput input) {
        Bytes samples = TopDownBgr(picture);
        if (input == JpegInput::Grey) {
            Bytes grey;
            for (size_t i = 0; i < samples.size(); i += 3)
                grey.push_back(samples[i + 1]);
            samples = grey;
        } else if (input == JpegInput::Cmyk || input == JpegInput::Ycck) {
            Bytes ink;
            for (size_t i = 0; i < samples.size(); i += 3)
                ink.insert(ink.end(), {samples[i + 2], samples[i + 1], samples[i], 255});
            samples = ink;
        }
        WriteWholeFile(name, EncodeJpeg(7, 5, samples, input));
    }
};

struct ParameterCase {
    JpegInput input;
    int32_t channels, color, subsampling;
};

class JpegCodecParameterTest : public JpegCodecTest,
                               public testing::WithParamInterface<ParameterCase> {};

TEST_P(JpegCodecParameterTest, ParameterPassReportsTheStreamAsItIs) {
    WritePicture(GetParam().input);
    JpegCodecProps props;
    ASSERT_EQ(InitialiseJpegProps(&props), 0);
    props.fileName = name.c_str();
    ASSERT_EQ(ReadJpegData(&props, JpegReadParameters), 0);
    EXPECT_EQ(props.jpegWidth, 7);
    EXPECT_EQ(props.jpegHeight, 5);
    EXPECT_EQ(props.jpegChannels, GetParam().channels);
    EXPECT_EQ(props.jpegColor, GetParam().color);
    EXPECT_EQ(props.jpegSubsampling, GetParam().subsampling);
    ReleaseJpegProps(&props);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, JpegCodecParameterTest,
    testing::Values(ParameterCase{JpegInput::Bgr, 3, JpegColorYcbcr, JpegSubsampling420},
                    ParameterCase{JpegInput::Grey, 1, JpegColorGrey, JpegSubsamplingOther},
                    ParameterCase{JpegInput::Cmyk, 4, JpegColorOther, JpegSubsamplingOther},
                    ParameterCase{JpegInput::Ycck, 4, JpegColorOther, JpegSubsampling420}));

TEST_F(JpegCodecTest, ParameterPassRefusesWhatIsNoJpegFile) {
    const Bytes contents[] = {
        {},
        {0xFF},
        {0xFF, 0xD8},
        {0xFF, 0xD8, 0xFF, 0xD9},
        BmpFileBytes(BlockBytes(picture)),
        {'J', 'F', 'I', 'F', ' ', 'n', 'o', 't'},
    };
    for (const Bytes& content : contents) {
        WriteWholeFile(name, content);
        JpegCodecProps props;
        InitialiseJpegProps(&props);
        props.fileName = name.c_str();
        EXPECT_NE(ReadJpegData(&props, JpegReadParameters), 0) << content.size() << " bytes";
        ReleaseJpegProps(&props);
    }
    for (const char* other : {"/no/such/file.jpg", ".", static_cast<const char*>(nullptr)}) {
        JpegCodecProps props;
        InitialiseJpegProps(&props);
        props.fileName = other;
        EXPECT_NE(ReadJpegData(&props, JpegReadParameters), 0);
        ReleaseJpegProps(&props);
    }
}

TEST_F(JpegCodecTest, HeightSignChoosesRowOrderWithoutOtherChange) {
    WritePicture(JpegInput::Bgr);
    Dib bottomUp(7, 5, 1), topDown(7, 5, 1);
    ASSERT_EQ(ReadInto(name, bottomUp, true), 0);
    ASSERT_EQ(ReadInto(name, topDown, false), 0);
    for (int32_t row = 0; row < 5; ++row)
        EXPECT_TRUE(std::equal(bottomUp.Row(row), bottomUp.Row(row) + 22, topDown.Row(4 - row)));
}

TEST_F(JpegCodecTest, PicturePassRefusesADibThatDoesNotMatchAndLeavesItAlone) {
    WritePicture(JpegInput::Bgr);
    struct Mismatch {
        const char* what;
        void (*change)(JpegCodecProps*);
    };
    const Mismatch mismatches[] = {
        {"wider", [](JpegCodecProps* p) { p->dibWidth += 1; }},
        {"taller", [](JpegCodecProps* p) { p->dibHeight -= 1; }},
        {"4 channels", [](JpegCodecProps* p) { p->dibChannels = 4; }},
        {"YCbCr DIB", [](JpegCodecProps* p) { p->dibColor = JpegColorYcbcr; }},
        {"negative pad", [](JpegCodecProps* p) { p->dibPadBytes = -1; }},
        {"lowest height", [](JpegCodecProps* p) { p->dibHeight = INT32_MIN; }},
    };
    for (const Mismatch& mismatch : mismatches) {
        Dib dib(8, 6, 0); // room for the larger cases, so that a write would show, not crash
        JpegCodecProps props;
        InitialiseJpegProps(&props);
        props.fileName = name.c_str();
        Dib fitting(7, 5, 0);
        DescribeDib(&props, fitting, true);
        props.dibBytes = dib.bytes.data();
        mismatch.change(&props);
        EXPECT_NE(ReadJpegData(&props, JpegReadPicture), 0) << mismatch.what;
        EXPECT_EQ(std::count(dib.bytes.begin(), dib.bytes.end(), 0xAA),
                  static_cast<long>(dib.bytes.size()))
            << mismatch.what;
        ReleaseJpegProps(&props);
    }
}

TEST_F(JpegCodecTest, OneRecordReadsTheFileOnceForBothPasses) {
    WritePicture(JpegInput::Bgr);
    Dib before(7, 5, 1), after(7, 5, 1);
    ASSERT_EQ(ReadInto(name, before, true), 0);
    JpegCodecProps props;
    InitialiseJpegProps(&props);
    props.fileName = name.c_str();
    ASSERT_EQ(ReadJpegData(&props, JpegReadParameters), 0);
    std::remove(name.c_str()); // what the parameter pass read is what the picture pass decodes
    DescribeDib(&props, after, true);
    EXPECT_EQ(ReadJpegData(&props, JpegReadPicture), 0);
    ReleaseJpegProps(&props);
    ReleaseJpegProps(&props); // a second release does no harm
    EXPECT_EQ(before.bytes, after.bytes);
}

// A record ready to write the test picture at the given quality.
void DescribeWrite(JpegCodecProps* props, const PackedDib& picture, const char* name,
                   int32_t quality) {
    InitialiseJpegProps(props);
    props->dibBytes = picture.block + InfoHeaderBytes;
    props->dibWidth = 7;
    props->dibHeight = -5;
    props->dibPadBytes = 3;
    props->fileName = name;
    props->jpegWidth = 7;
    props->jpegHeight = 5;
    props->jpegQuality = quality;
}

TEST_F(JpegCodecTest, WriteRefusesWhatItCannotEncodeAndCreatesNoFile) {
    struct Refusal {
        const char* what;
        void (*change)(JpegCodecProps*);
    };
    const Refusal refusals[] = {
        {"quality 0", [](JpegCodecProps* p) { p->jpegQuality = 0; }},
        {"quality 101", [](JpegCodecProps* p) { p->jpegQuality = 101; }},
        {"other sampling", [](JpegCodecProps* p) { p->jpegSubsampling = JpegSubsamplingOther; }},
        {"grey JPEG", [](JpegCodecProps* p) { p->jpegColor = JpegColorGrey; }},
        {"JPEG wider than DIB", [](JpegCodecProps* p) { p->jpegWidth = 8; }},
        {"JPEG taller than DIB", [](JpegCodecProps* p) { p->jpegHeight = 6; }},
    };
    for (const Refusal& refusal : refusals) {
        JpegCodecProps props;
        DescribeWrite(&props, picture, name.c_str(), 75);
        refusal.change(&props);
        EXPECT_NE(WriteJpegData(&props, JpegWritePicture), 0) << refusal.what;
        ReleaseJpegProps(&props);
        EXPECT_TRUE(folder.Entries().empty()) << refusal.what;
    }
}

} // namespace
