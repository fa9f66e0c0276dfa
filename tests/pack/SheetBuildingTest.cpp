#include "pack/SheetBuilding.h"

#include "image/SaveFormats.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

// With 64 MB of address space to spare, a sheet of 8000 x 8000 (192 MB, well within what the
// formats allow) cannot be had, nor one of 2.7 GB; the next, of 2000 x 1700 (10 MB), is composed
// all the same. A layout that does not fit composes nothing.
TEST(BuildSheet, SheetsWhoseMemoryCannotBeHadLeaveNoneAndPackingGoesOn) {
    PackedDib source = MakePicture(600, 400);
    EXPECT_EQ(RunInChild([&source] {
                  LimitAddressSpace(64 << 20);
                  const std::tuple<int32_t, int32_t, LayoutVerdict> sheets[] = {
                      {639, 1700, LayoutVerdict::SourceTooLarge},
                      {8000, 8000, LayoutVerdict::Fits},
                      {30000, 30000, LayoutVerdict::Fits},
                      {2000, 1700, LayoutVerdict::Fits}};
                  int failed = 0;
                  for (const auto& [width, height, verdict] : sheets) {
                      BuiltSheet built = BuildSheet(source, {width, height, 50, 20, 1, 0});
                      failed |= built.verdict != verdict ||
                                built.sheet.blockBytes != (width == 2000 ? 10200040 : 0);
                      ReleaseDib(built.sheet);
                  }
                  return failed;
              }),
              0);
    ReleaseDib(source);
}

// 35 x 45 mm at 300 dpi on 10 x 15 cm paper at 300 dpi, 20 pixels of margin: 10 pixels apart,
// 2 x 3 copies fit as the photograph stands and 2 x 4 turned, so they are turned; 50 apart, 2 x 3
// fit either way, and they stay as they stand. Layouts worked out by hand.
TEST(BuildSheet, TurnsTheCopiesOnlyWhereStrictlyMoreFit) {
    PackedDib source = MakePicture(413, 531), turned = MakeTurnedPicture(413, 531);
    EXPECT_EQ(CountCopies(413, 531, {1181, 1772, 10, 20, 1, 0}).upright, 6);
    EXPECT_EQ(CountCopies(413, 531, {1181, 1772, 10, 20, 1, 0}).turned, 8);
    EXPECT_EQ(CountCopies(413, 531, {1181, 1772, 50, 20, 1, 0}).turned, 6);
    const struct {
        int32_t distance;
        bool turnCopies;
        const PackedDib& copy;
        SheetLayout layout;
    } cases[] = {
        {10, true, turned, {2, 4, 43, 30, 33, 20}},
        {10, false, source, {2, 3, 121, 49, 111, 39}},
        {50, true, source, {2, 3, 108, 29, 138, 59}},
    };
    for (const auto& c : cases) {
        PackParameters parameters{1181, 1772, c.distance, 20, 1, 1};
        parameters.turnCopies = c.turnCopies;
        BuiltSheet built = BuildSheet(source, parameters);
        EXPECT_TRUE(BlockBytes(built.sheet) == ReferenceSheet(c.copy, 1181, 1772, 196, c.layout))
            << c.distance << " " << c.turnCopies;
        ReleaseDib(built.sheet);
    }
    // Too high as it stands, it fits turned: three copies beat none.
    PackParameters tall{600, 300, 0, 0, 0, 0};
    PackedDib high = MakePicture(100, 400);
    EXPECT_EQ(BuildSheet(high, tall).verdict, LayoutVerdict::SourceTooLarge);
    tall.turnCopies = true;
    BuiltSheet built = BuildSheet(high, tall);
    EXPECT_EQ(built.verdict, LayoutVerdict::Fits);
    EXPECT_NE(built.sheet.block, nullptr);
    ReleaseDib(built.sheet);
    ReleaseDib(high);
    EXPECT_EQ(CountCopies(100, 400, tall).upright, 0);
    EXPECT_EQ(CountCopies(100, 400, tall).turned, 3);
    ReleaseDib(turned);
    ReleaseDib(source);
}

// Written a band at a time, the sheet is the file of the sheet held whole, byte for byte: padded
// rows, copies overlapping both ways, every background, BMP in several bands and JPEG in one strip
// and in sixteen, with cut guides, turned copies and a resolution.
TEST(WriteSheet, TheFileOfTheSheetHeldWhole) {
    ScratchFolder folder;
    std::string streamed = folder.Path("streamed"), whole = folder.Path("whole");
    const struct {
        int32_t W, H, w, h, distance;
        uint32_t background;
        bool guidesAndTurns;
    } cases[] = {{641, 517, 101, 67, 9, 0, false},    {641, 517, 101, 67, -20, 1, false},
                 {37, 23, 5, 7, -2, 2, false},        {1202, 301, 601, 37, 0, 3, false},
                 {1, 1, 1, 1, 0, 4, false},           {700, 900, 97, 31, -30, 4, false},
                 {1181, 1772, 413, 531, 10, 3, true}, {641, 517, 67, 101, 9, 0, true}};
    for (const auto& c : cases) {
        PackedDib source = MakePicture(c.w, c.h);
        PackParameters parameters{c.W, c.H, c.distance, 0, 0, c.background};
        parameters.cutGuides = parameters.turnCopies = c.guidesAndTurns;
        int32_t dpi = c.guidesAndTurns ? 300 : 0;
        PackedDib sheet = BuildSheet(source, parameters).sheet;
        for (int32_t saveMode = 0; saveMode < saveFormatCount; ++saveMode) {
            SCOPED_TRACE(testing::Message() << c.W << " x " << c.H << ", format " << saveMode);
            WrittenSheet written =
                WriteSheet(source, parameters, streamed.c_str(), saveMode, {{}, dpi});
            ASSERT_TRUE(written.made && written.written);
            ASSERT_EQ(WriteInSaveFormat(whole.c_str(), sheet, saveMode, {{}, dpi}), 1);
            EXPECT_TRUE(ReadWholeFile(streamed) == ReadWholeFile(whole));
        }
        ReleaseDib(sheet);
        ReleaseDib(source);
    }
}

// With 64 MB of address space to spare, a sheet of 8000 x 8000 that cannot be held is written all
// the same; one of 2.7 GB, beyond the formats' sizes, is not made at all.
TEST(WriteSheet, MemoryDoesNotGrowWithTheSheet) {
    ScratchFolder folder;
    std::string name = folder.Path("sheet.jpg");
    PackedDib source = MakePicture(600, 400);
    EXPECT_EQ(RunInChild([&] {
                  LimitAddressSpace(64 << 20);
                  WrittenSheet large =
                      WriteSheet(source, {8000, 8000, 50, 20, 1, 0}, name.c_str(), 1, {});
                  WrittenSheet beyond =
                      WriteSheet(source, {30000, 30000, 50, 20, 1, 0}, name.c_str(), 1, {});
                  return large.made && large.written && !beyond.made && !beyond.written ? 0 : 1;
              }),
              0);
    Bytes written = ReadWholeFile(name);
    ASSERT_GT(written.size(), 4u);
    EXPECT_EQ(written[0] << 8 | written[1], 0xFFD8);
    EXPECT_EQ(written.end()[-2] << 8 | written.end()[-1], 0xFFD9);
    EXPECT_EQ(WriteSheet(source, {639, 1700, 50, 20, 1, 0}, name.c_str(), 1, {}).verdict,
              LayoutVerdict::SourceTooLarge);
    ReleaseDib(source);
}

} // namespace
