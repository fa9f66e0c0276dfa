// The header queries and blocks; which blocks the loader keeps and which it packs is tested
// through the loader, in SourceImageTest.

#include "image/PackedDib.h"

#include "support/TestFiles.h"

#include <cstring>
#include <gtest/gtest.h>
#include <tuple>

namespace {

TEST(HeaderQueries, ColourTablesOfBothHeaderForms) {
    // Header size, bits, colours used: entries, table bytes, pixel data offset. A V4 or V5
    // header is read as the core form, whose bit count comes out 0 here; the core form's small
    // table can put the pixels at 40 too; only the low 16 bits of table sizes count.
    const uint32_t cases[][6] = {
        {40, 24, 0, 0, 0, 40},     {40, 24, 2, 2, 8, 48}, {40, 8, 0, 256, 1024, 1064},
        {40, 8, 17, 17, 68, 108},  {40, 1, 0, 2, 8, 48},  {40, 4, 0, 16, 64, 104},
        {40, 16, 0, 0, 0, 40},     {40, 32, 0, 0, 0, 40}, {40, 24, 16384, 16384, 0, 40},
        {12, 8, 0, 256, 768, 780}, {12, 24, 0, 0, 0, 12}, {40, 24, 0x10005, 5, 20, 60},
        {34, 1, 0, 2, 6, 40},      {124, 8, 0, 0, 0, 124}};
    for (const auto& c : cases) {
        Bytes block = DibBlock(c[0], 3, 2, static_cast<uint16_t>(c[1]), 0, c[2], 40);
        EXPECT_EQ(std::tuple(ColorTableEntries(block.data()), ColorTableBytes(block.data()),
                             PixelDataOffset(block.data())),
                  std::tuple(c[3], c[4], c[5]))
            << c[0] << ", " << c[1] << ", " << c[2];
    }
}

TEST(HeaderQueries, GeometryKeepsTheSignAndReadsLargerHeadersAsTheCoreForm) {
    uint32_t offset = 0;
    int32_t width = 0, height = 0;
    GetImageGeometry(DibBlock(40, 7, -9, 24).data(), &offset, &width, &height);
    EXPECT_EQ(std::tuple(offset, width, height), std::tuple(40u, 7, -9));
    // Width and height of a V4 or V5 header come from the 16-bit words at 4 and 6: the two
    // halves of its 32-bit width.
    for (uint32_t size : {108u, 124u}) {
        GetImageGeometry(DibBlock(size, 70000, -1, 24).data(), &offset, &width, &height);
        EXPECT_EQ(std::tuple(offset, width, height), std::tuple(size, 70000 - 65536, 1));
    }
}

TEST(AllocateDib, WholeBlocksInsideThe32BitRange) {
    EXPECT_EQ(AllocateDib(39).block, nullptr);
    EXPECT_EQ(AllocateDib(int64_t{INT32_MAX} + 1).block, nullptr);
    // Large blocks are rounded to 2 MB and start where they lie in a BMP file within a page.
    for (int32_t bytes : {40, (2 << 20) - 1, 2 << 20, (2 << 20) + 1}) {
        PackedDib image = AllocateDib(bytes);
        ASSERT_EQ(image.blockBytes, bytes);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(image.block) % 4096 == 14, bytes >= 2 << 20) << bytes;
        std::memset(image.block, 1, static_cast<size_t>(bytes));
        ReleaseDib(image);
        EXPECT_EQ(image.block, nullptr);
    }
}

} // namespace
