#include "pack/SheetCompositor.h"

#include "TestFiles.h"
#include "app/AppState.h"
#include "image/LittleEndian.h"

#include <gtest/gtest.h>

namespace {

class ComposeSheetTest : public testing::Test {
  protected:
    void SetUp() override { ResetAppState(); }
    void TearDown() override {
        ReleaseDib(sheet);
        ResetAppState();
    }

    void Prepare(int32_t W, int32_t H, int32_t w, int32_t h, uint32_t background) {
        appState.sourceImage = MakePicture(w, h);
        appState.sourceWidth = w;
        appState.sourceHeight = h;
        appState.sheetWidth = W;
        appState.sheetHeight = H;
        appState.background = background;
    }

    // Lays out and composes; fails the test when the layout does not fit.
    void Compose(int32_t D, uint32_t marginOn, int32_t margin) {
        ASSERT_EQ(ComputeLayout(appState.sheetWidth, appState.sheetHeight, appState.sourceWidth,
                                appState.sourceHeight, D, marginOn, margin, &layout),
                  LayoutVerdict::Fits);
        sheet = ComposeSheet(layout, &sheetBytes);
        ASSERT_NE(sheet.block, nullptr);
    }

    const uint8_t* SheetPixel(int64_t x, int64_t y) const {
        return sheet.block + 40 + y * RowStride(appState.sheetWidth) + 3 * x;
    }

    bool IsGrey(int64_t x, int64_t y, uint8_t grey) const {
        const uint8_t* p = SheetPixel(x, y);
        return p[0] == grey && p[1] == grey && p[2] == grey;
    }

    SheetLayout layout{};
    PackedDib sheet;
    int32_t sheetBytes = 0;
};

TEST_F(ComposeSheetTest, HeaderAndSizeOfAPaddedSheet) {
    Prepare(2001, 1700, 600, 400, 2);
    Compose(50, 1, 20);
    EXPECT_EQ(sheetBytes, 10206840);
    EXPECT_EQ(sheet.blockBytes, 10206840);
    const uint8_t* h = sheet.block;
    EXPECT_EQ(ReadLe32(h), 40u);
    EXPECT_EQ(ReadLe32(h + 4), 2001u);
    EXPECT_EQ(ReadLe32(h + 8), 1700u);
    EXPECT_EQ(ReadLe16(h + 12), 1);
    EXPECT_EQ(ReadLe16(h + 14), 24);
    EXPECT_EQ(ReadLe32(h + 16), 0u);
    EXPECT_EQ(ReadLe32(h + 20), 6004u * 1700u);
    for (int offset = 24; offset < 40; offset += 4)
        EXPECT_EQ(ReadLe32(h + offset), 0u) << offset;
    // The last byte of every row is padding, and holds the grey.
    for (int64_t y = 0; y < 1700; ++y)
        ASSERT_EQ(sheet.block[40 + y * 6004 + 6003], 128) << y;
}

TEST_F(ComposeSheetTest, UnpaddedSheetSize) {
    Prepare(2000, 1700, 600, 400, 2);
    Compose(50, 1, 20);
    EXPECT_EQ(sheetBytes, 10200040);
    EXPECT_EQ(RowStride(2000), 6000);
}

TEST_F(ComposeSheetTest, WorkedExampleOnePlacesNineCopiesOnGrey) {
    Prepare(2000, 1700, 600, 400, 2); // "szare"
    Compose(50, 1, 20);
    uint8_t expected[3];
    for (int32_t left : {35, 700, 1365})
        for (int32_t bottom : {110, 650, 1190}) {
            SCOPED_TRACE(testing::Message() << left << ", " << bottom);
            for (auto [x, y] : {std::pair{0, 0}, {599, 0}, {0, 399}, {599, 399}, {301, 177}}) {
                PatternPixel(x, y, expected);
                EXPECT_TRUE(std::equal(expected, expected + 3, SheetPixel(left + x, bottom + y)));
            }
            EXPECT_TRUE(IsGrey(left - 1, bottom, 128));
            EXPECT_TRUE(IsGrey(left + 600, bottom, 128)); // the source's pad byte stays out
            EXPECT_TRUE(IsGrey(left, bottom - 1, 128));
            EXPECT_TRUE(IsGrey(left, bottom + 400, 128));
        }
    for (int64_t y = 0; y < 1700; ++y)
        ASSERT_TRUE(IsGrey(34, y, 128)) << y;
    for (int64_t x = 0; x < 2000; ++x)
        ASSERT_TRUE(IsGrey(x, 109, 128)) << x;
}

TEST_F(ComposeSheetTest, BackgroundGreysEveryUncoveredByte) {
    const uint8_t greys[] = {255, 196, 128, 70, 0};
    for (uint32_t background = 0; background < 5; ++background) {
        SCOPED_TRACE(BackgroundLevels[background]);
        ResetAppState();
        ReleaseDib(sheet);
        Prepare(23, 11, 5, 3, background);
        Compose(2, 1, 1);
        int64_t covered = 0, grey = 0;
        for (int64_t i = 40; i < sheet.blockBytes; ++i)
            grey += sheet.block[i] == greys[background];
        covered = int64_t{layout.columns} * layout.rows * 5 * 3 * 3;
        EXPECT_EQ(grey, sheet.blockBytes - 40 - covered); // the pattern never holds these greys
    }
}

TEST_F(ComposeSheetTest, SourcePaddingNeverReachesTheSheet) {
    // 601 pixels: rows of 1804 bytes with one pad byte. With spacingX 0 the next copy begins
    // right after each copy; elsewhere the grey shows.
    Prepare(1202, 1, 601, 1, 4);
    Compose(0, 0, 0);
    ASSERT_EQ(layout.spacingX, 0);
    uint8_t first[3];
    PatternPixel(0, 0, first);
    EXPECT_TRUE(std::equal(first, first + 3, SheetPixel(601, 0)));

    ResetAppState();
    ReleaseDib(sheet);
    Prepare(700, 1, 601, 1, 4);
    Compose(0, 0, 0);
    EXPECT_TRUE(IsGrey(layout.originX + 601, 0, 0));
}

TEST_F(ComposeSheetTest, OnePixelSourceOnOnePixelSheet) {
    Prepare(1, 1, 1, 1, 1);
    Compose(0, 0, 0);
    EXPECT_EQ(sheetBytes, 44);
    uint8_t expected[3];
    PatternPixel(0, 0, expected);
    EXPECT_TRUE(std::equal(expected, expected + 3, sheet.block + 40));
    EXPECT_EQ(sheet.block[43], 196);
}

TEST_F(ComposeSheetTest, SameInputsGiveTheSameBytes) {
    Prepare(641, 333, 37, 29, 3);
    Compose(7, 1, 9);
    PackedDib first = sheet;
    sheet = {};
    Compose(7, 1, 9);
    EXPECT_TRUE(std::equal(first.block, first.block + first.blockBytes, sheet.block));
    ReleaseDib(first);
}

// The reference order of copying: the source read once, pixel after pixel, each pixel written
// into every copy (rows of copies outer, columns inner) before the next one is read.
Bytes ReferenceSheet(const SheetLayout& l, int32_t W, int32_t H, int32_t w, int32_t h,
                     uint8_t grey) {
    int64_t S = RowStride(W), s = RowStride(w);
    Bytes pixels(static_cast<size_t>(S * H), grey);
    PackedDib source = MakePicture(w, h);
    for (int64_t y = 0; y < h; ++y)
        for (int64_t x = 0; x < w; ++x)
            for (int64_t k = 0; k < l.rows; ++k)
                for (int64_t c = 0; c < l.columns; ++c) {
                    int64_t row = l.originY + k * (h + l.spacingY) + y;
                    int64_t column = l.originX + c * (w + l.spacingX) + x;
                    std::copy_n(source.block + 40 + y * s + 3 * x, 3,
                                pixels.begin() + row * S + 3 * column);
                }
    ReleaseDib(source);
    return pixels;
}

// Apart or overlapping, the sheet is what copying pixel by pixel in that order gives; where
// copies overlap, the copy nearest the lower-left corner shows.
TEST_F(ComposeSheetTest, MatchesThePixelByPixelReference) {
    struct {
        int32_t W, H, w, h;
        SheetLayout layout;
    } const cases[] = {
        {10, 10, 4, 4, {3, 3, 0, 0, -1, -1}}, // overlapping both ways
        {9, 7, 3, 5, {3, 2, 1, 0, -1, -3}},
        {13, 11, 3, 2, {3, 4, 1, 2, 1, -1}}, // overlapping down only
        {17, 9, 5, 2, {3, 3, 0, 1, 1, 1}},   // apart, padded rows of 52 and 16 bytes
        {15, 4, 5, 4, {3, 1, 0, 0, 0, 0}},   // touching, filling the sheet
        // Over 8 MB, so composed in two halves at once; the middle row lies inside copies.
        {2001, 1501, 301, 203, {6, 7, 5, 3, 30, 10}},
    };
    for (const auto& c : cases) {
        ResetAppState();
        ReleaseDib(sheet);
        Prepare(c.W, c.H, c.w, c.h, 0);
        sheet = ComposeSheet(c.layout, &sheetBytes);
        ASSERT_NE(sheet.block, nullptr);
        Bytes expected = ReferenceSheet(c.layout, c.W, c.H, c.w, c.h, 255);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), sheet.block + 40));
    }
}

TEST_F(ComposeSheetTest, NegativeDistanceOfExampleThree) {
    // Stored rows 332 to 415 lie in copy rows 0 and 1, and show copy row 0.
    Prepare(2000, 1700, 600, 400, 0);
    Compose(-100, 0, 0);
    ASSERT_EQ(layout.originY, 16);
    ASSERT_EQ(layout.spacingY, -84);
    uint8_t expected[3];
    for (int32_t row : {332, 415}) {
        PatternPixel(0, row - 16, expected);
        EXPECT_TRUE(std::equal(expected, expected + 3, SheetPixel(layout.originX, row)));
    }
    uint8_t rowOne[3]; // row 416 is above copy row 0: copy row 1 shows
    PatternPixel(0, 416 - 332, rowOne);
    EXPECT_TRUE(std::equal(rowOne, rowOne + 3, SheetPixel(layout.originX, 416)));
}

TEST_F(ComposeSheetTest, DistanceFarBeyondTheSheetGivesOneCentredCopy) {
    // Found by fuzzing: the one copy of a row and of a column is parted from its absent
    // neighbours by more than a third of the 32-bit range.
    Prepare(21, 927, 7, 5, 4);
    Compose(1073741823, 1, 0);
    ASSERT_EQ(layout.columns, 1);
    ASSERT_EQ(layout.rows, 1);
    EXPECT_EQ(layout.spacingX, 1073741830);
    uint8_t first[3];
    PatternPixel(0, 0, first);
    EXPECT_TRUE(std::equal(first, first + 3, SheetPixel(7, 461)));
    EXPECT_TRUE(IsGrey(6, 461, 0));
    EXPECT_TRUE(IsGrey(14, 461, 0));
}

TEST_F(ComposeSheetTest, SheetsBeyondTwoGigabytesAreRefused) {
    // 26,754 squared still fits in 2,147,483,647 bytes; 26,755 squared does not.
    EXPECT_LE(40 + RowStride(26754) * 26754, INT32_MAX);
    for (auto [W, H] : {std::pair{26755, 26755}, {89478485, 8}, {INT32_MAX, 1}}) {
        ResetAppState();
        Prepare(W, H, 1, 1, 0);
        sheetBytes = 99;
        PackedDib none = ComposeSheet({1, 1, 0, 0, 0, 0}, &sheetBytes);
        EXPECT_EQ(none.block, nullptr);
        EXPECT_EQ(sheetBytes, 0);
    }
}

TEST_F(ComposeSheetTest, RefusesInputsTheGridIsNotDefinedFor) {
    Prepare(100, 100, 10, 10, 0);
    EXPECT_EQ(ComposeSheet({11, 1, 0, 0, 0, 0}, &sheetBytes).block, nullptr); // off the sheet
    EXPECT_EQ(ComposeSheet({1, 1, -1, 0, 0, 0}, &sheetBytes).block, nullptr);
    appState.background = 5;
    EXPECT_EQ(ComposeSheet({1, 1, 0, 0, 0, 0}, &sheetBytes).block, nullptr);
    appState.background = 0;
    WriteLe16(appState.sourceImage.block + 14, 32); // not 24 bits
    EXPECT_EQ(ComposeSheet({1, 1, 0, 0, 0, 0}, &sheetBytes).block, nullptr);
}

} // namespace
