// PNG sources of every colour type and bit depth, assembled byte by byte in the tests, against
// pixels worked out here from the format's rules: samples scaled to 8 bits by rounding,
// transparency composed onto white.

#include "image/SourceImage.h"

#include "support/TestPngs.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr int32_t Width = 7, Height = 5; // odd, so that packing, padding and passes all show

struct Case {
    int colourType, bitDepth;
    bool interlaced = false;
    bool transparency = false; // a tRNS chunk
};

const Case Cases[] = {
    {0, 1, false, false},  {0, 2, false, false}, {0, 4, false, false},  {0, 8, false, false},
    {0, 16, false, false}, {2, 8, false, false}, {2, 16, false, false}, {3, 1, false, false},
    {3, 2, false, false},  {3, 4, false, false}, {3, 8, false, false},  {4, 8, false, false},
    {4, 16, false, false}, {6, 8, false, false}, {6, 16, false, false}, {0, 1, true, false},
    {2, 16, true, false},  {3, 4, true, false},  {6, 8, true, false},   {0, 8, false, true},
    {2, 16, false, true},  {3, 8, false, true}};

uint32_t Maximum(int bitDepth) {
    return (1u << bitDepth) - 1;
}

// Six colours, or as many as the bit depth can index.
uint32_t PaletteEntries(const Case& c) {
    return std::min(6u, Maximum(c.bitDepth) + 1);
}

// Lopsided samples that reach both ends of every range; palette indices stay within the table.
uint32_t Sample(const Case& c, int32_t x, int32_t y, int channel) {
    if (c.colourType == 3)
        return static_cast<uint32_t>(x + 2 * y) % PaletteEntries(c);
    return static_cast<uint32_t>(x * 9001 + y * 4099 + channel * 7919 + (x == y ? 65535 : 255)) %
           (Maximum(c.bitDepth) + 1);
}

const Bytes Palette = {250, 10, 20, 0, 200, 30, 40, 50, 255, 255, 255, 0, 0, 0, 0, 128, 64, 32};

PngForm FormOf(const Case& c) {
    PngForm form{c.colourType, c.bitDepth, c.interlaced, {}, {}, {}};
    if (c.colourType == 3) {
        form.palette.assign(Palette.begin(), Palette.begin() + 3 * PaletteEntries(c));
        if (c.transparency)
            form.transparency = {0, 128, 255}; // entry 0 clear, 1 half, 2 opaque, the rest opaque
    } else if (c.transparency) {
        // The sample values of pixel (1, 0) become clear wherever they occur.
        for (int channel = 0; channel < (c.colourType == 2 ? 3 : 1); ++channel) {
            uint32_t value = Sample(c, 1, 0, channel);
            form.transparency.push_back(static_cast<uint8_t>(value >> 8));
            form.transparency.push_back(static_cast<uint8_t>(value));
        }
    }
    return form;
}

// The expected blue, green, red bytes of pixel (x, y), y from the top.
void Expected(const Case& c, int32_t x, int32_t y, double bgr[3]) {
    double rgb[3], alpha = 1;
    double maximum = Maximum(c.bitDepth);
    if (c.colourType == 3) {
        uint32_t index = Sample(c, x, y, 0);
        for (uint32_t i = 0; i < 3; ++i)
            rgb[i] = Palette[3 * index + i] / 255.0;
        if (c.transparency && index < 3)
            alpha = (index == 0 ? 0 : index == 1 ? 128 : 255) / 255.0;
    } else {
        bool colour = c.colourType == 2 || c.colourType == 6;
        bool clear = c.transparency;
        for (int i = 0; i < 3; ++i) {
            int channel = colour ? i : 0;
            rgb[i] = Sample(c, x, y, channel) / maximum;
            clear = clear && Sample(c, x, y, channel) == Sample(c, 1, 0, channel);
        }
        if (c.colourType == 4 || c.colourType == 6)
            alpha = Sample(c, x, y, colour ? 3 : 1) / maximum;
        if (clear)
            alpha = 0;
    }
    for (int i = 0; i < 3; ++i)
        bgr[2 - i] = (rgb[i] * alpha + (1 - alpha)) * 255;
}

class PngFileTest : public testing::Test {
  protected:
    void TearDown() override { ReleaseDib(loaded.image); }
    void Load(const Bytes& bytes) {
        ReleaseDib(loaded.image);
        WriteWholeFile(folder.Path("picture.png"), bytes);
        loaded = LoadPackableSource(folder.Path("picture.png").c_str(), {});
    }
    ScratchFolder folder;
    PackableSource loaded;
};

TEST_F(PngFileTest, EveryColourTypeAndDepthGivesItsPixelsOntoWhite) {
    for (const Case& c : Cases) {
        SCOPED_TRACE(testing::Message()
                     << "type " << c.colourType << " depth " << c.bitDepth
                     << (c.interlaced ? " interlaced" : "") << (c.transparency ? " tRNS" : ""));
        Bytes png = MakePng(Width, Height, FormOf(c), [&c](int32_t x, int32_t y, int channel) {
            return Sample(c, x, y, channel);
        });
        Load(png);
        ASSERT_EQ(loaded.verdict, SourceVerdict::Loaded);
        ASSERT_EQ(ImageWidth(loaded.image.block), Width);
        ASSERT_EQ(ImageHeight(loaded.image.block), Height);
        // Opaque samples are rounded once and must match exactly; 16-bit samples composed with
        // their alpha are rounded twice, and may differ by one.
        bool twoRoundings = c.bitDepth == 16 && (c.colourType >= 4 || c.transparency);
        int64_t stride = RowStride(Width);
        for (int32_t y = 0; y < Height; ++y) {
            const uint8_t* row = loaded.image.block + InfoHeaderBytes + (Height - 1 - y) * stride;
            for (int32_t x = 0; x < Width; ++x) {
                double bgr[3];
                Expected(c, x, y, bgr);
                for (int i = 0; i < 3; ++i)
                    EXPECT_NEAR(row[3 * x + i], std::round(bgr[i]), twoRoundings ? 1 : 0)
                        << x << "," << y << " channel " << i;
            }
            EXPECT_EQ(row[3 * Width], 0); // the pad bytes are zeroed
        }
    }
}

} // namespace
