// BMP files of every common form, converted into the 24-bit block the core packs: the public
// suite's files against its own plain 24-bit rendering and against each other, and small files
// assembled here for what the suite leaves out.

#include "image/SourceImage.h"

#include "image/LittleEndian.h"
#include "support/TestFiles.h"
#include "support/TestJpegs.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

const std::string Suite = std::string(TEST_DATA_DIR) + "/bmpsuite/";

class BmpConversionTest : public testing::Test {
  protected:
    void TearDown() override { ReleaseDib(loaded.image); }
    SourceVerdict Load(const std::string& name) {
        ReleaseDib(loaded.image);
        loaded = LoadPackableSource(name.c_str(), {});
        return loaded.verdict;
    }
    SourceVerdict LoadBytes(const Bytes& bytes) {
        WriteWholeFile(folder.Path("picture.bmp"), bytes);
        return Load(folder.Path("picture.bmp"));
    }
    Bytes Pixels() const { return TopDownBgr(loaded.image); }
    PackableSource loaded;
    ScratchFolder folder;
};

// The suite's good files show one picture of 127 x 64 in every form. Those with 24 or more bits
// are the plain 24-bit file's pixels; the 16-bit ones the same within 5-bit steps; every form of
// the 8- and 4-bit pictures gives the pixels of the plain paletted file of its depth, which is
// itself the 24-bit picture within its palette's steps.
TEST_F(BmpConversionTest, SuiteGoodFilesGiveThePixelsOfTheirReference) {
    const struct {
        const char* file;
        const char* reference;
        int tolerance;
    } cases[] = {
        {"g/rgb24pal.bmp", "g/rgb24.bmp", 0},       {"g/rgb32.bmp", "g/rgb24.bmp", 0},
        {"g/rgb32bf.bmp", "g/rgb24.bmp", 0},        {"g/rgb32bfdef.bmp", "g/rgb24.bmp", 0},
        {"g/rgb16.bmp", "g/rgb24.bmp", 4},          {"g/rgb16bfdef.bmp", "g/rgb24.bmp", 4},
        {"g/rgb16-565.bmp", "g/rgb24.bmp", 4},      {"g/rgb16-565pal.bmp", "g/rgb24.bmp", 4},
        {"g/pal8.bmp", "g/rgb24.bmp", 50},          {"g/pal8-0.bmp", "g/pal8.bmp", 0},
        {"g/pal8os2.bmp", "g/pal8.bmp", 0},         {"g/pal8rle.bmp", "g/pal8.bmp", 0},
        {"g/pal8topdown.bmp", "g/pal8.bmp", 0},     {"g/pal8v4.bmp", "g/pal8.bmp", 0},
        {"g/pal8v5.bmp", "g/pal8.bmp", 0},          {"g/pal4rle.bmp", "g/pal4.bmp", 0},
        {"g/pal1wb.bmp", "g/pal1.bmp", 0},          {"q/pal8offs.bmp", "g/pal8.bmp", 0},
        {"q/pal8os2sp.bmp", "g/pal8.bmp", 0},       {"q/pal8os2v2.bmp", "g/pal8.bmp", 0},
        {"q/pal8os2v2-16.bmp", "g/pal8.bmp", 0},    {"q/pal8oversizepal.bmp", "g/pal8.bmp", 0},
        {"q/rgb24largepal.bmp", "g/rgb24.bmp", 0},  {"q/rgb32-xbgr.bmp", "g/rgb24.bmp", 0},
        {"q/rgb32fakealpha.bmp", "g/rgb24.bmp", 0}, {"q/rgb32h52.bmp", "g/rgb24.bmp", 0},
        {"q/rgb32-111110.bmp", "g/rgb24.bmp", 1},   {"q/rgba16-5551.bmp", "g/rgb16.bmp", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        PackableSource reference = LoadPackableSource((Suite + c.reference).c_str(), {});
        ASSERT_EQ(Load(Suite + c.file), SourceVerdict::Loaded);
        EXPECT_EQ(ImageWidth(loaded.image.block), 127);
        EXPECT_EQ(ImageHeight(loaded.image.block), 64);
        EXPECT_LE(LargestPixelDifference(loaded.image, reference.image), c.tolerance);
        ReleaseDib(reference.image);
    }
}

TEST_F(BmpConversionTest, SuiteGreyAndTwoColourFilesKeepTheirColours) {
    for (const char* grey : {"g/pal8gs.bmp", "g/pal4gs.bmp"}) {
        ASSERT_EQ(Load(Suite + grey), SourceVerdict::Loaded) << grey;
        Bytes pixels = Pixels();
        for (size_t i = 0; i < pixels.size(); i += 3)
            ASSERT_TRUE(pixels[i] == pixels[i + 1] && pixels[i] == pixels[i + 2]) << grey;
    }
    ASSERT_EQ(Load(Suite + "g/pal1.bmp"), SourceVerdict::Loaded);
    Bytes pixels = Pixels();
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0) +
                  std::count(pixels.begin(), pixels.end(), 255),
              std::ssize(pixels)); // black and white only
}

// Every good file packs; questionable ones pack whole or are refused; bad ones are refused (the
// sanitizer run shows nothing is read outside a block), except those whose only fault lies in
// fields the loader never examines: the file header's size, the image size and the density.
TEST_F(BmpConversionTest, SuiteFilesPackWholeOrAreRefused) {
    const std::vector<std::string> harmless = {"badbitssize.bmp", "baddens1.bmp", "baddens2.bmp",
                                               "badfilesize.bmp"};
    const std::vector<std::string> notPackable = {"rgb24jpeg.bmp", "rgb24png.bmp", "rgb24rle24.bmp",
                                                  "pal1huffmsb.bmp"};
    size_t files = 0;
    for (const char* group : {"g", "q", "b", "x"}) {
        for (const auto& entry : std::filesystem::directory_iterator(Suite + group)) {
            std::string name = entry.path().filename();
            ++files;
            SCOPED_TRACE(std::string(group) + "/" + name);
            SourceVerdict verdict = Load(Suite + group + "/" + name);
            if (group[0] == 'g' || (group[0] == 'b' && std::find(harmless.begin(), harmless.end(),
                                                                 name) != harmless.end())) {
                EXPECT_EQ(verdict, SourceVerdict::Loaded);
            } else if (group[0] == 'q' && verdict == SourceVerdict::Loaded) {
                EXPECT_TRUE(IsPackablePicture(loaded.image));
            } else if (group[0] == 'q' && std::find(notPackable.begin(), notPackable.end(), name) !=
                                              notPackable.end()) {
                EXPECT_EQ(verdict, SourceVerdict::WrongFormat);
            } else if (group[0] != 'q') {
                EXPECT_NE(verdict, SourceVerdict::Loaded);
            }
        }
    }
    EXPECT_GT(files, 80u);
}

// A BMP file of the given header size, with what follows the header (masks, colour table), a gap
// of 0xAB bytes and the pixel data; the file header's offset points at the pixels.
Bytes BmpFile(uint32_t headerSize, int32_t width, int32_t height, uint16_t bits,
              uint32_t compression, const Bytes& afterHeader, const Bytes& pixels,
              uint32_t gap = 0) {
    Bytes block = DibBlock(headerSize, width, height, bits, compression);
    block.insert(block.end(), afterHeader.begin(), afterHeader.end());
    block.insert(block.end(), gap, 0xAB);
    block.insert(block.end(), pixels.begin(), pixels.end());
    Bytes file = BmpFileBytes(block);
    WriteLe32(file.data() + 10, static_cast<uint32_t>(14 + headerSize + afterHeader.size() + gap));
    return file;
}

// Three colours: 0 red, 1 green, 2 blue, as blue-green-red-zero entries.
const Bytes Table = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};

TEST_F(BmpConversionTest, AlphaIsComposedOntoWhiteAndMasksScaleToEightBits) {
    // A 124-byte header naming 8-bit masks with alpha: A R G B from the top byte down; and a
    // 16-bit 5-6-5 picture whose masks follow a 40-byte header.
    Bytes v5 = BmpFile(124, 3, 1, 32, 3, {},
                       {0x40, 0x80, 0xC0, 0x00, 0x40, 0x80, 0xC0, 0x80, 0x40, 0x80, 0xC0, 0xFF});
    WriteLe32(v5.data() + 14 + 40, 0x00FF0000);
    WriteLe32(v5.data() + 14 + 44, 0x0000FF00);
    WriteLe32(v5.data() + 14 + 48, 0x000000FF);
    WriteLe32(v5.data() + 14 + 52, 0xFF000000);
    ASSERT_EQ(LoadBytes(v5), SourceVerdict::Loaded);
    // Blue 0x40, green 0x80, red 0xC0 at alpha 0, 128 and 255: c a / 255 + 255 (1 - a / 255),
    // rounded: (64 x 128 + 255 x 127) / 255 = 159.1.
    EXPECT_EQ(Pixels(), (Bytes{255, 255, 255, 159, 191, 223, 0x40, 0x80, 0xC0}));

    Bytes masks(12);
    WriteLe32(masks.data(), 0xF800);
    WriteLe32(masks.data() + 4, 0x07E0);
    WriteLe32(masks.data() + 8, 0x001F);
    // Red 31, green 32, blue 1; then red 1, green 63, blue 30.
    ASSERT_EQ(LoadBytes(BmpFile(40, 2, 1, 16, 3, masks, {0x01, 0xFC, 0xFE, 0x0F})),
              SourceVerdict::Loaded);
    EXPECT_EQ(Pixels(), (Bytes{8, 130, 255, 247, 255, 8}));
}

TEST_F(BmpConversionTest, PalettedRowsRunLengthsAndTheFilesPixelOffset) {
    // 2 x 2 at 4 bits, top-down, with a gap before the pixels that the offset skips.
    ASSERT_EQ(LoadBytes(BmpFile(40, 2, -2, 4, 0, Table, {0x01, 0, 0, 0, 0x21, 0, 0, 0}, 6)),
              SourceVerdict::Loaded);
    EXPECT_EQ(Pixels(), (Bytes{0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 255, 0}));
    // RLE8, 4 x 3 from the bottom: a run of one red and a literal green, blue, red; end of
    // line; a move of one right and one up past pixels left white; a run of one blue; end.
    const Bytes rle8 = {1, 0, 0, 3, 1, 2, 0, 0, 0, 0, 0, 2, 1, 1, 1, 2, 0, 1};
    ASSERT_EQ(LoadBytes(BmpFile(40, 4, 3, 8, 1, Table, rle8)), SourceVerdict::Loaded);
    const Bytes W = {255, 255, 255}, R = {0, 0, 255}, G = {0, 255, 0}, B = {255, 0, 0};
    Bytes expected;
    for (const Bytes& pixel : {W, B, W, W, W, W, W, W, R, G, B, R}) // top row first
        expected.insert(expected.end(), pixel.begin(), pixel.end());
    EXPECT_EQ(Pixels(), expected);
    // RLE4, 3 x 1: a literal of three indices, odd in length, padded to a word.
    ASSERT_EQ(LoadBytes(BmpFile(40, 3, 1, 4, 2, Table, {0, 3, 0x21, 0x00, 0, 1})),
              SourceVerdict::Loaded);
    EXPECT_EQ(Pixels(), (Bytes{255, 0, 0, 0, 255, 0, 0, 0, 255}));

    const struct {
        const char* what;
        Bytes file;
    } refusals[] = {
        {"run past the row", BmpFile(40, 4, 3, 8, 1, Table, {5, 0, 0, 1})},
        {"no end of picture", BmpFile(40, 4, 3, 8, 1, Table, {4, 0, 0, 0})},
        {"move past the top", BmpFile(40, 4, 3, 8, 1, Table, {0, 2, 0, 4, 0, 1})},
        {"index past the table", BmpFile(40, 2, 1, 8, 0, Table, {1, 3, 0, 0})},
        {"offset inside the header", BmpFile(40, 2, 1, 24, 3, {}, Bytes(8, 0))},
        {"rows past the file", BmpFile(40, 5, 3, 32, 0, {}, Bytes(59, 0))},
        {"block past 2 GiB", BmpFile(40, 30000, 23861, 1, 0, Table, Bytes(64, 0))},
        {"planes 2",
         [] {
             Bytes file = BmpFile(40, 2, 1, 8, 0, Table, {1, 2, 0, 0});
             WriteLe16(file.data() + 14 + 12, 2);
             return file;
         }()},
    };
    for (const auto& r : refusals)
        EXPECT_EQ(LoadBytes(r.file), SourceVerdict::CannotOpen) << r.what;
}

} // namespace
