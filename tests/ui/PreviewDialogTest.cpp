#include "ui/PreviewDialog.h"

#include "app/AppState.h"
#include "support/DialogTestKit.h"
#include "ui/DialogTemplates.h"

namespace {

TEST(FitByHalving, HalvesBothTogetherUntilBothFit) {
    struct {
        int32_t availableWidth, availableHeight, width, height, fittedWidth, fittedHeight;
    } const cases[] = {
        {1014, 708, 800, 600, 800, 600},     // fits already: drawn 1:1
        {1014, 708, 2000, 1700, 500, 425},   // halved twice
        {1014, 1000, 2001, 1001, 1000, 500}, // one halving, each direction truncated
        {1014, 708, 100000, 3, 781, 0},      // elongated: the height reaches 0 first
        {-5, -5, 2000, 1700, 0, 0},          // a screen smaller than the window: ends anyway
        {0, 0, 1, 1, 0, 0},
    };
    for (const auto& c : cases) {
        int32_t width = c.width, height = c.height;
        FitByHalving(c.availableWidth, c.availableHeight, &width, &height);
        EXPECT_EQ(width, c.fittedWidth) << c.width << " x " << c.height;
        EXPECT_EQ(height, c.fittedHeight) << c.width << " x " << c.height;
    }
}

class PreviewDialogTest : public DialogTest {
  protected:
    // Composes a sheet of the pattern picture and runs the preview on it.
    void RunPreview(int32_t width, int32_t height, std::function<void(Dialog*)> script) {
        appState.sheetWidth = width;
        appState.sheetHeight = height;
        appState.sheetImage = MakePicture(width, height);
        OnNextDialog(std::move(script));
        DialogBoxParam(PreviewDialogTemplate, nullptr, PreviewDialogProc, 0);
    }
};

TEST_F(PreviewDialogTest, PlacesTheWindowAndTheControlsAroundThePicture) {
    SetScreenSize(800, 600);
    RunPreview(1500, 1000, [](Dialog* preview) {
        WindowRect window = GetWindowRect(preview);
        int32_t width = window.right - window.left, height = window.bottom - window.top;
        EXPECT_EQ(appState.previewWidth, 750);
        EXPECT_EQ(appState.previewHeight, 500);
        EXPECT_EQ(width, 760);
        EXPECT_EQ(window.left, (800 - width) / 2);
        EXPECT_EQ(window.top, (600 - height) / 2);
        // The buttons keep their distance to the right and bottom edges, the box to the left.
        WindowRect save = GetDlgItemRect(preview, SaveButton);
        WindowRect box = GetDlgItemRect(preview, SaveFormatBox);
        EXPECT_LT(window.right - save.right, 20);
        EXPECT_LT(window.bottom - save.bottom, 20);
        EXPECT_LT(box.left - window.left, 20);
        EXPECT_GT(box.top - window.top, 500);
        ClickItem(preview, CloseButton);
    });
}

TEST_F(PreviewDialogTest, PaintsTheSheetUprightCentredFivePixelsFromTheTop) {
    SetScreenSize(1024, 768);
    RunPreview(31, 17, [](Dialog* preview) {
        DialogPicture picture = GrabDialog(preview);
        int32_t left = (picture.width - 31) / 2;
        auto at = [&picture](int32_t x, int32_t y) {
            return picture.pixels[static_cast<size_t>(y * picture.width + x)];
        };
        uint8_t bgr[3];
        PatternPixel(0, 16, bgr); // the top row of the picture is the last stored row
        EXPECT_EQ(at(left, 5), (uint32_t{bgr[2]} << 16 | uint32_t{bgr[1]} << 8 | bgr[0]));
        PatternPixel(30, 0, bgr);
        EXPECT_EQ(at(left + 30, 5 + 16), (uint32_t{bgr[2]} << 16 | uint32_t{bgr[1]} << 8 | bgr[0]));
        EXPECT_NE(at(left + 31, 5), at(left + 30, 5));
        PressKey(preview, UserKey::Escape);
    });
}

TEST_F(PreviewDialogTest, HalvedPictureDropsRowsAndColumns) {
    SetScreenSize(200, 200);
    RunPreview(300, 300, [](Dialog* preview) {
        ASSERT_EQ(appState.previewWidth, 150);
        DialogPicture picture = GrabDialog(preview);
        int32_t left = (picture.width - 150) / 2;
        uint8_t bgr[3];
        PatternPixel(2 * 7, 299 - 2 * 9, bgr); // every other row and column, none blended
        EXPECT_EQ(picture.pixels[static_cast<size_t>((5 + 9) * picture.width + left + 7)],
                  (uint32_t{bgr[2]} << 16 | uint32_t{bgr[1]} << 8 | bgr[0]));
        ClickItem(preview, CloseButton);
    });
}

} // namespace
