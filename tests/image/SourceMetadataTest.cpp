// What a source carries beside its pixels: the orientation a camera records, which turns the
// picture upright at loading, and the ICC profile, which JPEG sheets carry on byte for byte. The
// JPEG streams are made and read back by the reference JPEG library.

#include "image/ExifOrientation.h"
#include "image/SaveFormats.h"
#include "image/SourceImage.h"

#include "image/BmpFile.h"
#include "support/TestJpegs.h"
#include "support/TestMetadata.h"
#include "support/TestPngs.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

class SourceMetadataTest : public testing::Test {
  protected:
    void TearDown() override {
        ReleaseDib(upright);
        ReleaseDib(loaded.image);
    }
    void Load(const Bytes& bytes, SourceOptions options = {}) {
        ReleaseDib(loaded.image);
        WriteWholeFile(folder.Path("source"), bytes);
        loaded = LoadPackableSource(folder.Path("source").c_str(), options);
    }
    ScratchFolder folder;
    PackedDib upright = MakePicture(13, 7);
    PackableSource loaded;
};

// The stored picture of each orientation, made from the upright one by the Exif definition of
// the value: where the stored first row and first column lie in the upright picture.
PackedDib StoredFor(const PackedDib& upright, int orientation) {
    int32_t w = ImageWidth(upright.block), h = ImageHeight(upright.block);
    bool sideways = orientation >= 5;
    int32_t sw = sideways ? h : w, sh = sideways ? w : h;
    PackedDib stored = MakePicture(sw, sh);
    auto pixel = [](const PackedDib& p, int32_t x, int32_t yFromTop) {
        int32_t height = ImageHeight(p.block);
        return p.block + InfoHeaderBytes +
               (height - 1 - yFromTop) * RowStride(ImageWidth(p.block)) + 3 * x;
    };
    // The Exif definition of values 1 to 8: the side of the upright picture that the stored
    // first row shows, and the side that the stored first column shows.
    const char RowZero[] = "ttbblrrl", ColumnZero[] = "lrrlttbb";
    char rowSide = RowZero[orientation - 1], columnSide = ColumnZero[orientation - 1];
    for (int32_t r = 0; r < sh; ++r)
        for (int32_t c = 0; c < sw; ++c) {
            // Stored row r lies r from the row side, column c lies c from the column side.
            int32_t fromRow = rowSide == 't' || rowSide == 'l' ? r : (sideways ? w : h) - 1 - r;
            int32_t fromColumn =
                columnSide == 'l' || columnSide == 't' ? c : (sideways ? h : w) - 1 - c;
            std::copy_n(sideways ? pixel(upright, fromRow, fromColumn)
                                 : pixel(upright, fromColumn, fromRow),
                        3, pixel(stored, c, r));
        }
    return stored;
}

TEST_F(SourceMetadataTest, EveryOrientationGivesTheUprightPictureAndSize) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
        for (bool bigEndian : {false, true}) {
            SCOPED_TRACE(testing::Message() << orientation << (bigEndian ? " MM" : " II"));
            PackedDib stored = StoredFor(upright, orientation);
            Bytes jpeg =
                WithSegment(EncodePicture(stored), 0xE1, ExifPayload(orientation, bigEndian));
            Load(jpeg);
            ASSERT_EQ(loaded.verdict, SourceVerdict::Loaded);
            EXPECT_EQ(ImageWidth(loaded.image.block), 13);
            EXPECT_EQ(ImageHeight(loaded.image.block), 7);
            EXPECT_LE(LargestPixelDifference(loaded.image, upright), 12);
            Load(jpeg, {.ignoreOrientation = true}); // the stored pixels, as they are
            EXPECT_LE(LargestPixelDifference(loaded.image, stored), 12);
            ReleaseDib(stored);
        }
    }
}

TEST_F(SourceMetadataTest, DamagedExifCountsAsUpright) {
    const Bytes good = ExifPayload(6, false);
    ASSERT_EQ(ExifOrientation(good.data(), std::ssize(good)), 6);
    auto changed = [&good](size_t at, uint8_t value) {
        Bytes bytes = good;
        bytes[at] = value;
        return bytes;
    };
    // The orientation entry starts at byte 6 + 8 + 2 + 12 = 28 of the payload.
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"cut in the entry", Bytes(good.begin(), good.begin() + 38)},
        {"no Exif prefix", changed(0, 'e')},
        {"unknown byte order", changed(6, 'X')},
        {"not 42", changed(8, 43)},
        {"directory past the end", changed(10, 0xF0)},
        {"directory inside the header", changed(10, 4)},
        {"value a LONG", changed(30, 4)},
        {"value 9", changed(36, 9)},
        {"value 0", changed(36, 0)},
        {"two values", changed(32, 2)},
        {"empty", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExifOrientation(c.bytes.data(), std::ssize(c.bytes)), 1) << c.what;
}

// A profile of three segments: the loaders keep it and the JPEG sheet carries it, as the
// reference library reads it back; the BMP sheet is the same file with or without it.
TEST_F(SourceMetadataTest, ProfileOfJpegAndPngSourcesReachesJpegSheetsByteForByte) {
    Bytes profile(150000);
    for (size_t i = 0; i < profile.size(); ++i)
        profile[i] = static_cast<uint8_t>(i * 7 + i / 997);
    PngForm png;
    png.iccProfile = profile;
    const Bytes sources[] = {
        EncodeWithProfile(upright, profile),
        MakePng(5, 4, png, [](int32_t x, int32_t y, int c) { return uint32_t(x * 50 + y + c); })};
    ASSERT_EQ(ReferenceProfile(sources[0]), profile);
    for (const Bytes& source : sources) {
        Load(source);
        ASSERT_EQ(loaded.verdict, SourceVerdict::Loaded);
        EXPECT_EQ(loaded.iccProfile, profile);
        std::string sheet = folder.Path("sheet.jpg"), plain = folder.Path("plain.jpg");
        ASSERT_EQ(WriteInSaveFormat(sheet.c_str(), loaded.image, 1, {loaded.iccProfile}), 1);
        ASSERT_EQ(WriteInSaveFormat(plain.c_str(), loaded.image, 1, {}), 1);
        Bytes withProfile = ReadWholeFile(sheet), without = ReadWholeFile(plain);
        EXPECT_EQ(ReferenceProfile(withProfile), profile);
        EXPECT_EQ(ReferenceProfile(without), Bytes{});
        // The segments follow the JFIF segment, and are all that was added.
        size_t place = 4 + static_cast<size_t>(without[4] << 8 | without[5]);
        EXPECT_EQ(withProfile[place + 1], 0xE2);
        size_t added = withProfile.size() - without.size();
        EXPECT_EQ(added, profile.size() + 3 * 18);
        withProfile.erase(withProfile.begin() + static_cast<ptrdiff_t>(place),
                          withProfile.begin() + static_cast<ptrdiff_t>(place + added));
        EXPECT_EQ(withProfile, without);
        ASSERT_EQ(WriteInSaveFormat(sheet.c_str(), loaded.image, 0, {loaded.iccProfile}), 1);
        ASSERT_EQ(WriteBmpFile(plain.c_str(), loaded.image), 1);
        EXPECT_EQ(ReadWholeFile(sheet), ReadWholeFile(plain));
    }
}

} // namespace
