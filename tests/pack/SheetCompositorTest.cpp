#include "pack/SheetCompositor.h"

#include "image/LittleEndian.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

class ComposeSheetTest : public testing::Test {
  protected:
    void TearDown() override {
        ReleaseDib(sheet);
        ReleaseDib(source);
    }

    void Prepare(int32_t W, int32_t H, int32_t w, int32_t h, uint32_t background) {
        ReleaseDib(sheet);
        ReleaseDib(source);
        source = MakePicture(w, h);
        sheetWidth = W;
        sheetHeight = H;
        sheetBackground = background;
    }

    PackedDib Compose(const SheetLayout& grid) {
        return ComposeSheet(source, sheetWidth, sheetHeight, sheetBackground, grid);
    }

    // Lays out and composes; fails the test when the layout does not fit.
    void LayOutAndCompose(int32_t D, uint32_t marginOn, int32_t margin) {
        ASSERT_EQ(ComputeLayout(sheetWidth, sheetHeight, ImageWidth(source.block),
                                ImageHeight(source.block), D, marginOn, margin, &layout),
                  LayoutVerdict::Fits);
        sheet = Compose(layout);
        ASSERT_NE(sheet.block, nullptr);
    }

    // The reference order of copying: the source read once, pixel after pixel, each pixel
    // written into every copy (rows of copies outer, columns inner) before the next one is read;
    // so where copies overlap, the copy nearest the lower-left corner shows.
    void ExpectReferencePixels(uint8_t grey) {
        int32_t W = sheetWidth, H = sheetHeight;
        int32_t w = ImageWidth(source.block), h = ImageHeight(source.block);
        int64_t S = RowStride(W), s = RowStride(w);
        Bytes pixels(static_cast<size_t>(S * H), grey);
        const SheetLayout& l = layout;
        for (int64_t y = 0; y < h; ++y)
            for (int64_t x = 0; x < w; ++x)
                for (int64_t k = 0; k < l.rows; ++k)
                    for (int64_t c = 0; c < l.columns; ++c) {
                        int64_t row = l.originY + k * (h + l.spacingY) + y;
                        int64_t column = l.originX + c * (w + l.spacingX) + x;
                        std::copy_n(source.block + 40 + y * s + 3 * x, 3,
                                    pixels.begin() + row * S + 3 * column);
                    }
        ASSERT_EQ(sheet.blockBytes, 40 + S * H);
        EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), sheet.block + 40));
    }

    PackedDib source;
    int32_t sheetWidth = 0, sheetHeight = 0;
    uint32_t sheetBackground = 0;
    SheetLayout layout{};
    PackedDib sheet;
};

TEST_F(ComposeSheetTest, HeaderOfAPaddedSheet) {
    Prepare(2001, 1700, 600, 400, 2);
    LayOutAndCompose(50, 1, 20);
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
        sheet = Compose(layout);
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
        LayOutAndCompose(c.D, c.marginOn, c.margin);
        ExpectReferencePixels(0);
    }
}

TEST_F(ComposeSheetTest, BackgroundGreysEveryUncoveredByte) {
    const uint8_t greys[] = {255, 196, 128, 70, 0};
    for (uint32_t background = 0; background < 5; ++background) {
        SCOPED_TRACE(background);
        Prepare(23, 11, 5, 3, background);
        LayOutAndCompose(2, 1, 1);
        ExpectReferencePixels(greys[background]);
    }
}

TEST_F(ComposeSheetTest, SheetsBeyondTwoGigabytesAreRefused) {
    // 26,754 squared still fits in 2,147,483,647 bytes; 26,755 squared does not.
    for (auto [W, H] : {std::pair{26755, 26755}, {89478485, 8}, {INT32_MAX, 1}}) {
        Prepare(W, H, 1, 1, 0);
        EXPECT_EQ(Compose({1, 1, 0, 0, 0, 0}).block, nullptr);
    }
}

TEST_F(ComposeSheetTest, RefusesInputsTheGridIsNotDefinedFor) {
    Prepare(100, 100, 10, 10, 0);
    EXPECT_EQ(Compose({11, 1, 0, 0, 0, 0}).block, nullptr); // off the sheet
    EXPECT_EQ(Compose({1, 1, -1, 0, 0, 0}).block, nullptr);
    sheetBackground = 5;
    EXPECT_EQ(Compose({1, 1, 0, 0, 0, 0}).block, nullptr);
    sheetBackground = 0;
    WriteLe16(source.block + 14, 32); // not 24 bits
    EXPECT_EQ(Compose({1, 1, 0, 0, 0, 0}).block, nullptr);
}

} // namespace
