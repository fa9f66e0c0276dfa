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
        ResetAppState();
        ReleaseDib(sheet);
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

    // The reference order of copying: the source read once, pixel after pixel, each pixel
    // written into every copy (rows of copies outer, columns inner) before the next one is read;
    // so where copies overlap, the copy nearest the lower-left corner shows.
    void ExpectReferencePixels(uint8_t grey) {
        int32_t W = appState.sheetWidth, H = appState.sheetHeight;
        int32_t w = appState.sourceWidth, h = appState.sourceHeight;
        int64_t S = RowStride(W), s = RowStride(w);
        Bytes pixels(static_cast<size_t>(S * H), grey);
        const SheetLayout& l = layout;
        for (int64_t y = 0; y < h; ++y)
            for (int64_t x = 0; x < w; ++x)
                for (int64_t k = 0; k < l.rows; ++k)
                    for (int64_t c = 0; c < l.columns; ++c) {
                        int64_t row = l.originY + k * (h + l.spacingY) + y;
                        int64_t column = l.originX + c * (w + l.spacingX) + x;
                        std::copy_n(appState.sourceImage.block + 40 + y * s + 3 * x, 3,
                                    pixels.begin() + row * S + 3 * column);
                    }
        ASSERT_EQ(sheet.blockBytes, 40 + S * H);
        EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), sheet.block + 40));
    }

    SheetLayout layout{};
    PackedDib sheet;
    int32_t sheetBytes = 0;
};

TEST_F(ComposeSheetTest, HeaderOfAPaddedSheet) {
    Prepare(2001, 1700, 600, 400, 2);
    Compose(50, 1, 20);
    EXPECT_EQ(sheetBytes, 10206840);
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
    ExpectReferencePixels(128); // the pad byte of every row holds the grey too
}

// Apart, touching or overlapping, the sheet is what copying pixel by pixel gives.
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
        {1, 1, 1, 1, {1, 1, 0, 0, 0, 0}},
        // Over 8 MB, so composed in two halves at once; the middle row lies inside copies.
        {2001, 1501, 301, 203, {6, 7, 5, 3, 30, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.W);
        Prepare(c.W, c.H, c.w, c.h, 0);
        layout = c.layout;
        sheet = ComposeSheet(layout, &sheetBytes);
        ASSERT_NE(sheet.block, nullptr);
        ExpectReferencePixels(255);
    }
}

TEST_F(ComposeSheetTest, LaidOutSheetsMatchTheReference) {
    struct {
        int32_t W, H, w, h, D;
        uint32_t marginOn;
        int32_t margin;
    } const cases[] = {
        {2000, 1700, 600, 400, 50, 1, 20},  // worked example one
        {2000, 1700, 600, 400, -100, 0, 0}, // example three with copies overlapping down
        {1202, 1, 601, 1, 0, 0, 0},         // the source's pad byte between touching copies
        // Found by fuzzing: the one copy of a row and of a column is parted from its absent
        // neighbours by more than a third of the 32-bit range.
        {21, 927, 7, 5, 1073741823, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.D);
        Prepare(c.W, c.H, c.w, c.h, 4);
        Compose(c.D, c.marginOn, c.margin);
        ExpectReferencePixels(0);
    }
}

TEST_F(ComposeSheetTest, BackgroundGreysEveryUncoveredByte) {
    const uint8_t greys[] = {255, 196, 128, 70, 0};
    for (uint32_t background = 0; background < 5; ++background) {
        SCOPED_TRACE(background);
        Prepare(23, 11, 5, 3, background);
        Compose(2, 1, 1);
        ExpectReferencePixels(greys[background]);
    }
}

TEST_F(ComposeSheetTest, SheetsBeyondTwoGigabytesAreRefused) {
    // 26,754 squared still fits in 2,147,483,647 bytes; 26,755 squared does not.
    for (auto [W, H] : {std::pair{26755, 26755}, {89478485, 8}, {INT32_MAX, 1}}) {
        Prepare(W, H, 1, 1, 0);
        sheetBytes = 99;
        EXPECT_EQ(ComposeSheet({1, 1, 0, 0, 0, 0}, &sheetBytes).block, nullptr);
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
