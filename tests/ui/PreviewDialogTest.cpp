#include "ui/PreviewDialog.h"

#include "app/AppState.h"
#include "support/DialogDriver.h"
#include "ui/DialogTemplates.h"

#include <QImage>
#include <tuple>

namespace {

TEST(FitByHalving, HalvesBothTogetherUntilBothFit) {
    for (auto [available, width, height, fittedWidth, fittedHeight] :
         {std::tuple{1000, 2001, 1001, 1000, 500}, // each direction truncated by itself
          {1000, 100000, 3, 781, 0},               // elongated: the height reaches 0 first
          {-5, 2000, 1700, 0, 0}}) {               // a screen smaller than the window: ends
        FitByHalving(available, available, &width, &height);
        EXPECT_EQ(width, fittedWidth);
        EXPECT_EQ(height, fittedHeight);
    }
}

// The preview's template as laid out: its outer size and where its controls stand.
QSize size0;
QPoint saveAt, closeAt, boxAt;

intptr_t MeasureTemplate(Dialog* dialog, uint32_t, uintptr_t, intptr_t) {
    size0 = Window(dialog)->size();
    saveAt = Control(dialog, SaveButton)->pos();
    closeAt = Control(dialog, CloseButton)->pos();
    boxAt = Control(dialog, SaveFormatBox)->pos();
    EndDialog(dialog, 1);
    return 1;
}

using PreviewDialogTest = DialogTest;

// The screen leaves 1024 - 10 pixels across and 768 - H0 - 10 down for the picture. It stands 5
// pixels below the top, centred across; picture row y from the top is stored row height - 1 - y,
// and a halved picture shows every other row and column, none blended.
TEST_F(PreviewDialogTest, HalvesTheSheetUntilItFitsAndPlacesItselfAroundIt) {
    DialogBoxParam(PreviewDialogTemplate, nullptr, MeasureTemplate, 0);
    const int32_t w0 = size0.width(), h0 = size0.height(), down = ScreenHeight - h0 - 10;
    const struct {
        int32_t width, height, shownWidth, shownHeight;
    } cases[] = {
        {1014, down, 1014, down},              // fits exactly: 1:1
        {1015, down, 507, down / 2},           // a pixel too wide
        {1014, down + 1, 507, (down + 1) / 2}, // a pixel too high
        {2000, 1700, 500, 425},
        {21, 17, 21, 17}, // narrow: as wide as the template
    };
    for (const auto& c : cases) {
        appState.sheetWidth = c.width;
        appState.sheetHeight = c.height;
        appState.sheetImage = MakePicture(c.width, c.height);
        Expect([&c, w0, h0](Dialog* preview) {
            EXPECT_EQ(appState.previewWidth, c.shownWidth);
            EXPECT_EQ(appState.previewHeight, c.shownHeight);
            int32_t width = std::max(c.shownWidth + 10, w0), height = h0 + c.shownHeight + 10;
            EXPECT_EQ(Window(preview)->frameGeometry(),
                      QRect((ScreenWidth - width) / 2, (ScreenHeight - height) / 2, width, height));
            // The buttons keep their distances to the right and bottom edges, the box its
            // distances to the left and bottom edges.
            QPoint grown(width - w0, height - h0);
            EXPECT_EQ(Control(preview, SaveButton)->pos(), saveAt + grown);
            EXPECT_EQ(Control(preview, CloseButton)->pos(), closeAt + grown);
            EXPECT_EQ(Control(preview, SaveFormatBox)->pos(), boxAt + QPoint(0, grown.y()));

            QImage shown = Window(preview)->grab().toImage();
            int32_t left = (width - c.shownWidth) / 2, step = c.width / c.shownWidth;
            for (auto [x, y] : {std::pair{0, 0}, {c.shownWidth - 1, c.shownHeight - 1}, {7, 9}}) {
                uint8_t bgr[3];
                PatternPixel(x * step, c.height - 1 - y * step, bgr);
                EXPECT_EQ(shown.pixel(left + x, 5 + y), qRgb(bgr[2], bgr[1], bgr[0])) << x << y;
            }
            EXPECT_NE(shown.pixel(left + c.shownWidth, 5), shown.pixel(left + c.shownWidth - 1, 5));
            Press(preview, Qt::Key_Escape);
        });
        DialogBoxParam(PreviewDialogTemplate, nullptr, PreviewDialogProc, 0);
        ReleaseDib(appState.sheetImage);
    }
}

} // namespace
