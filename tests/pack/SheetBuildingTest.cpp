#include "pack/SheetBuilding.h"

#include "image/SaveFormats.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

using enum LayoutVerdict;

// With 64 MB of address space to spare, a sheet of 8000 x 8000 (192 MB, well within what the
// formats allow) cannot be held whole but is written a band at a time; one of 2.7 GB, beyond the
// formats' sizes, is neither; the next, of 2000 x 1700 (10 MB), is composed all the same. A
// layout that does not fit gives neither.
TEST(WriteSheet, MemoryDoesNotGrowWithTheSheet) {
    ScratchFolder folder;
    PackedDib source = MakePicture(600, 400);
    const struct {
        int32_t width, height;
        LayoutVerdict verdict;
        int64_t builtBytes;
        bool written;
    } sheets[] = {{639, 1700, SourceTooLarge, 0, false},
                  {8000, 8000, Fits, 0, true},
                  {30000, 30000, Fits, 0, false},
                  {2000, 1700, Fits, 10200040, true}};
    EXPECT_EQ(RunInChild([&] {
                  LimitAddressSpace(64 << 20);
                  int failed = 0;
                  for (const auto& s : sheets) {
                      PackParameters parameters{s.width, s.height, 50, 20, 1, 0};
                      BuiltSheet built = BuildSheet(source, parameters);
                      std::string name = folder.Path(std::to_string(s.width) + ".jpg");
                      WrittenSheet written = WriteSheet(source, parameters, name.c_str(), 1, {});
                      failed |= built.verdict != s.verdict || written.verdict != s.verdict ||
                                built.sheet.blockBytes != s.builtBytes ||
                                written.made != s.written || written.written != s.written;
                      ReleaseDib(built.sheet);
                  }
                  return failed;
              }),
              0);
    for (const char* name : {"2000.jpg", "8000.jpg"}) {
        Bytes written = ReadWholeFile(folder.Path(name));
        ASSERT_GT(written.size(), 4u) << name;
        EXPECT_EQ(written[0] << 8 | written[1], 0xFFD8) << name;
        EXPECT_EQ(written.end()[-2] << 8 | written.end()[-1], 0xFFD9) << name;
    }
    ReleaseDib(source);
}

// 35 x 45 mm at 300 dpi on 10 x 15 cm paper at 300 dpi, 20 pixels of margin: 10 pixels apart,
// 2 x 3 copies fit as the photograph stands and 2 x 4 turned, so they are turned; 50 apart, 2 x 3
// fit either way, and they stay as they stand. A photograph too high for its sheet as it stands
// fits turned: three copies beat none. Layouts worked out by hand.
TEST(BuildSheet, TurnsTheCopiesOnlyWhereStrictlyMoreFit) {
    PackedDib source = MakePicture(413, 531), turned = MakeTurnedPicture(413, 531);
    PackedDib high = MakePicture(100, 400), highTurned = MakeTurnedPicture(100, 400);
    const struct {
        const PackedDib& source;
        PackParameters parameters;
        const PackedDib& copy;
        SheetLayout layout;
    } cases[] = {
        {source, {1181, 1772, 10, 20, 1, 1, false, true}, turned, {2, 4, 43, 30, 33, 20}},
        {source, {1181, 1772, 10, 20, 1, 1}, source, {2, 3, 121, 49, 111, 39}},
        {source, {1181, 1772, 50, 20, 1, 1, false, true}, source, {2, 3, 108, 29, 138, 59}},
        {high, {600, 300, 0, 0, 0, 1, false, true}, highTurned, {1, 3, 100, 0, 100, 0}}};
    for (const auto& c : cases) {
        BuiltSheet built = BuildSheet(c.source, c.parameters);
        EXPECT_TRUE(BlockBytes(built.sheet) == ReferenceSheet(c.copy, c.parameters.sheetWidth,
                                                              c.parameters.sheetHeight, 196,
                                                              c.layout))
            << &c - cases;
        ReleaseDib(built.sheet);
    }
    EXPECT_EQ(BuildSheet(high, {600, 300, 0, 0, 0, 1}).verdict, SourceTooLarge);
    for (PackedDib* picture : {&high, &highTurned, &turned, &source})
        ReleaseDib(*picture);
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

} // namespace
