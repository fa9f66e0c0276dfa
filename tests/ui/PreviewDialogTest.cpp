#include "ui/PreviewDialog.h"

#include "app/AppState.h"
#include "support/DialogDriver.h"
#include "ui/DialogTemplates.h"

#include <QImage>
#include <cmath>
#include <cstdio>
#include <tuple>

namespace {

TEST(FitByHalving, HalvesBothTogetherUntilBothFit) {
    for (auto [available, width, height, fittedWidth, fittedHeight] :
         {std::tuple{1000, 100000, 3, 781, 0}, // elongated: the height reaches 0 first
          {-5, 2000, 1700, 0, 0}}) {           // a screen smaller than the window: ends
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

// A sheet of a dark red left half, a dark blue right half and a green band across its top 24
// pixels, the stripe's picture.
PackedDib StripedSheet(int32_t width, int32_t height) {
    PackedDib sheet = MakePicture(width, height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* pixel = sheet.block + InfoHeaderBytes + y * RowStride(width) + 3 * x;
            bool top = y >= height - 24, left = x < width / 2;
            pixel[0] = top || left ? 0 : 160;
            pixel[1] = top ? 160 : 0;
            pixel[2] = !top && left ? 160 : 0;
        }
    return sheet;
}

// Printed to a PDF file through the print dialog, the sheet stands at the printable area's top
// left at true size: 1/dpi inch a pixel (300 dpi when the sheet carries none), never scaled to
// fit. A sheet larger than the printable area is printed only when the user goes on, told by how
// much it is larger. The page, drawn at 72 dpi, shows a point a pixel.
TEST_F(PreviewDialogTest, PrintsTheSheetAtTrueSizeFromThePrintableAreasCorner) {
    const struct {
        int32_t width, height, dpi;
        bool goOn;
        double pointsAcross, pointsDown; // on the page
        bool asks, printed;
    } cases[] = {
        {576, 288, 144, false, 288, 144, false, true},
        {600, 300, 0, false, 144, 72, false, true}, // 300 dpi
        {600, 300, 50, false, 864, 432, true, false},
        {600, 300, 50, true, 864, 432, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        messages.clear();
        printableAreas.clear();
        replaceFile = c.goOn;
        appState.sheetWidth = c.width;
        appState.sheetHeight = c.height;
        appState.dpi = c.dpi;
        appState.sheetImage = StripedSheet(c.width, c.height);
        std::string pdf = folder.Path("page.pdf");
        printAnswers = {pdf};
        Expect([](Dialog* preview) {
            Click(preview, PrintButton);
            EXPECT_TRUE(Window(preview)->isVisible());
            Press(preview, Qt::Key_Escape);
        });
        DialogBoxParam(PreviewDialogTemplate, nullptr, PreviewDialogProc, 0);
        ReleaseDib(appState.sheetImage);
        ASSERT_EQ(printableAreas.size(), 1u);
        QRectF area = printableAreas[0];
        Texts asked;
        if (c.asks) { // across only: by what the sheet's inches exceed the area's, in tenths of mm
            double tenths = std::ceil((c.pointsAcross - area.width()) / 72 * 254 - 1e-9);
            char across[16];
            std::snprintf(across, sizeof across, "%d,%d", int(tenths) / 10, int(tenths) % 10);
            asked = {"Drukowanie: Arkusz jest większy niż obszar wydruku o " + std::string(across) +
                     " mm w poziomie, więc nie zmieści się cały na papierze. Drukować mimo to, "
                     "bez zmniejszania? [&Tak/&Nie]"};
        }
        EXPECT_EQ(messages, asked);
        if (!c.printed) {
            EXPECT_EQ(folder.Entries(), std::vector<std::string>{"photo.bmp"});
            continue;
        }
        std::string dpi = std::to_string(c.dpi != 0 ? c.dpi : 300);
        EXPECT_EQ(PdfImage(pdf), std::to_string(c.width) + " " + std::to_string(c.height) +
                                     " rgb jpeg " + dpi + " " + dpi);
        CommandOutput("pdftoppm -r 72 -png -singlefile '" + pdf + "' '" + folder.Path("page") +
                      "'");
        QImage page(QString::fromStdString(folder.Path("page.png")));
        ASSERT_FALSE(page.isNull());
        int left = qRound(area.left()), top = qRound(area.top());
        int right = std::min(left + int(c.pointsAcross), page.width());
        int bottom = std::min(top + int(c.pointsDown), page.height());
        // The corners inside the sheet and the pixels beyond its edges: poppler draws a picture
        // over every pixel its edge touches, so the right and bottom ones are a pixel further.
        const std::tuple<int, int, std::string> points[] = {
            {left, top, "g"},        {right - 1, top, "g"},
            {left, bottom - 1, "r"}, {right - 1, bottom - 1, "b"},
            {left - 1, top, "rgb"},  {left, top - 1, "rgb"},
            {right + 1, top, "rgb"}, {left, bottom + 1, "rgb"}};
        for (const auto& [x, y, bright] : points) {
            if (x >= page.width() || y >= page.height())
                continue; // beyond the page
            QRgb rgb = page.pixel(x, y);
            EXPECT_EQ(std::string(qRed(rgb) > 100 ? "r" : "") + (qGreen(rgb) > 100 ? "g" : "") +
                          (qBlue(rgb) > 100 ? "b" : ""),
                      bright)
                << x << ", " << y;
        }
        for (const char* name : {"page.pdf", "page.png"})
            std::remove(folder.Path(name).c_str());
    }
}

} // namespace
