#include "image/PackedDib.h"

#include "image/LittleEndian.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

// A bare 40-byte header (plus room) with the given bit count and colours used.
Bytes InfoHeader(uint16_t bitCount, uint32_t clrUsed, int32_t width = 3, int32_t height = 2) {
    Bytes block(40, 0);
    WriteLe32(block.data(), 40);
    WriteLe32(block.data() + 4, static_cast<uint32_t>(width));
    WriteLe32(block.data() + 8, static_cast<uint32_t>(height));
    WriteLe16(block.data() + 12, 1);
    WriteLe16(block.data() + 14, bitCount);
    WriteLe32(block.data() + 32, clrUsed);
    return block;
}

// A header read in the 12-byte core form: any size field other than 40.
Bytes CoreHeader(uint32_t sizeField, uint16_t bitCount, uint16_t width, uint16_t height) {
    Bytes block(sizeField < 40 ? 40 : sizeField, 0);
    WriteLe32(block.data(), sizeField);
    WriteLe16(block.data() + 4, width);
    WriteLe16(block.data() + 6, height);
    WriteLe16(block.data() + 8, 1);
    WriteLe16(block.data() + 10, bitCount);
    return block;
}

TEST(HeaderQueries, InfoHeaderColourTables) {
    struct {
        uint16_t bitCount;
        uint32_t clrUsed;
        uint16_t entries;
        uint16_t tableBytes;
        uint32_t offset;
    } const cases[] = {
        {24, 0, 0, 0, 40},         {24, 2, 2, 8, 48},
        {8, 0, 256, 1024, 1064},   {8, 17, 17, 68, 108},
        {1, 0, 2, 8, 48},          {4, 0, 16, 64, 104},
        {16, 0, 0, 0, 40},         {32, 0, 0, 0, 40},
        {24, 16384, 16384, 0, 40}, // 65536 bytes kept to 16 bits
        {24, 0x10005, 5, 20, 60},  // only the low 16 bits of biClrUsed count
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bitCount << " bits, " << c.clrUsed << " used");
        Bytes block = InfoHeader(c.bitCount, c.clrUsed);
        EXPECT_EQ(ColorTableEntries(block.data()), c.entries);
        EXPECT_EQ(ColorTableBytes(block.data()), c.tableBytes);
        EXPECT_EQ(PixelDataOffset(block.data()), c.offset);
    }
}

TEST(HeaderQueries, CoreHeaderTakesThreeByteEntriesAnd16BitSizes) {
    EXPECT_EQ(PixelDataOffset(CoreHeader(12, 8, 5, 5).data()), 780u);
    EXPECT_EQ(PixelDataOffset(CoreHeader(12, 24, 5, 5).data()), 12u);

    // A V4 or V5 header is read as the core form: width and height from the 16-bit words at
    // offsets 4 and 6, the two halves of its 32-bit width.
    for (uint32_t size : {108u, 124u}) {
        Bytes block = CoreHeader(size, 24, 0, 0);
        WriteLe32(block.data() + 4, 70000);
        WriteLe32(block.data() + 8, 0xFFFFFFFF); // a top-down V5 picture
        uint32_t offset = 0;
        int32_t width = 0, height = 0;
        GetImageGeometry(block.data(), &offset, &width, &height);
        EXPECT_GE(offset, 108u);
        EXPECT_EQ(width, 70000 - 65536);
        EXPECT_EQ(height, 1);
    }
    // A top-down picture's height keeps its sign.
    EXPECT_EQ(ImageHeight(InfoHeader(24, 0, 7, -9).data()), -9);
}

TEST(RowStride, PadsToFourBytesIn64Bits) {
    const int64_t cases[][2] = {{0, 0}, {1, 4}, {3, 12}, {4, 12}, {5, 16}, {89478485, 268435456}};
    for (const auto& [width, stride] : cases)
        EXPECT_EQ(RowStride(width), stride) << width;
}

TEST(BlockHoldsPicture, NeedsHeaderTableAndRowsWithoutOverflow) {
    Bytes whole = PictureBytes(5, 3); // 40 + 16 x 3
    EXPECT_TRUE(BlockHoldsPicture(whole.data(), 88));
    EXPECT_FALSE(BlockHoldsPicture(whole.data(), 87)); // last row cut by one byte
    EXPECT_FALSE(BlockHoldsPicture(whole.data(), 39)); // header cut

    Bytes eightBit = InfoHeader(8, 0, 4, 1);
    eightBit.resize(1064 + 4);
    EXPECT_TRUE(BlockHoldsPicture(eightBit.data(), 1068));
    EXPECT_FALSE(BlockHoldsPicture(eightBit.data(), 1067));
    EXPECT_FALSE(BlockHoldsPicture(eightBit.data(), 1000)); // colour table cut

    Bytes v5 = CoreHeader(124, 24, 1, 1);
    EXPECT_FALSE(BlockHoldsPicture(v5.data(), 100)); // shorter than the header it claims
    Bytes tiny = CoreHeader(4, 24, 1, 1);
    EXPECT_FALSE(BlockHoldsPicture(tiny.data(), 40)); // a size field too small for any header

    // Extreme heights are refused, not overflowed.
    for (int32_t height : {INT32_MIN, INT32_MAX, -1000000}) {
        Bytes block = InfoHeader(24, 0, 65535, height);
        block.resize(1000);
        EXPECT_FALSE(BlockHoldsPicture(block.data(), 1000)) << height;
    }
    Bytes huge = InfoHeader(32, 0, INT32_MAX, INT32_MAX);
    EXPECT_FALSE(BlockHoldsPicture(huge.data(), 40));
}

TEST(IsPackablePicture, OnlyUncompressed24BitBottomUpOfOneByOneOrMore) {
    PackedDib picture = MakePicture(3, 2);
    EXPECT_TRUE(IsPackablePicture(picture));
    ReleaseDib(picture);

    struct {
        const char* what;
        int offset;
        uint32_t value;
        bool wide;
    } const faults[] = {
        {"16 bits", 14, 16, false},        {"32 bits", 14, 32, false},
        {"bit fields", 16, 3, true},       {"RLE", 16, 1, true},
        {"width 0", 4, 0, true},           {"height 0", 8, 0, true},
        {"top-down", 8, 0xFFFFFFFE, true}, {"negative width", 4, 0xFFFFFFFD, true},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.what);
        Bytes block = PictureBytes(3, 2);
        if (fault.wide)
            WriteLe32(block.data() + fault.offset, fault.value);
        else
            WriteLe16(block.data() + fault.offset, static_cast<uint16_t>(fault.value));
        EXPECT_FALSE(IsPackablePicture({block.data(), static_cast<int32_t>(block.size())}));
    }
    // A core-form header of 34 bytes with a 1-bit table of 2 x 3 bytes also has its pixels at
    // 40, yet is no 40-byte header.
    Bytes core = CoreHeader(34, 1, 3, 2);
    core.resize(100);
    EXPECT_EQ(PixelDataOffset(core.data()), 40u);
    EXPECT_FALSE(IsPackablePicture({core.data(), 100}));
}

TEST(AllocateDib, RefusesSizesOutsideThe32BitRange) {
    EXPECT_EQ(AllocateDib(int64_t{INT32_MAX} + 1).block, nullptr);
    EXPECT_EQ(AllocateDib(39).block, nullptr);
    PackedDib smallest = AllocateDib(40);
    EXPECT_EQ(smallest.blockBytes, 40);
    ReleaseDib(smallest);
    EXPECT_EQ(smallest.block, nullptr);
}

} // namespace
