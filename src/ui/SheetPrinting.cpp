#include "ui/SheetPrinting.h"

#include "app/AppState.h"
#include "app/Messages.h"
#include "image/SheetMetadata.h"
#include "platform/DialogHost.h"
#include "platform/Printing.h"

#include <cstdio>
#include <string>

namespace {

// By how much, in tenths of a millimetre rounded up, pixels at dpi reach beyond dots at the
// printer's resolution; 0 when they do not.
int64_t ExcessTenths(int64_t pixels, int64_t dpi, int64_t dots, int64_t resolution) {
    int64_t over = pixels * resolution - dots * dpi; // in 1 / (dpi x resolution) inches
    if (over <= 0)
        return 0;
    int64_t unit = dpi * resolution;
    return (over * 254 + unit - 1) / unit;
}

std::string Excess(const char* form, int64_t tenths) {
    char number[32], text[64];
    std::snprintf(number, sizeof number, "%lld,%lld", static_cast<long long>(tenths / 10),
                  static_cast<long long>(tenths % 10));
    std::snprintf(text, sizeof text, form, number);
    return text;
}

} // namespace

void PrintSheet(Dialog* preview) {
    ChosenPrinter printer(preview);
    if (!printer.Chosen())
        return;
    int32_t dpi = appState.dpi > 0 ? appState.dpi : DefaultPrintDpi;
    PrintableArea area = printer.Area();
    int64_t across = ExcessTenths(appState.sheetWidth, dpi, area.width, area.dotsPerInch);
    int64_t down = ExcessTenths(appState.sheetHeight, dpi, area.height, area.dotsPerInch);
    if (across > 0 || down > 0) {
        std::string excess = across > 0 ? Excess(ExcessAcrossText, across) : "";
        if (down > 0)
            excess += (across > 0 ? ExcessJoint : "") + Excess(ExcessDownText, down);
        std::string question(sizeof SheetLargerThanPaperQuestion + excess.size(), '\0');
        std::snprintf(question.data(), question.size(), SheetLargerThanPaperQuestion,
                      excess.c_str());
        if (!AskYesNo(PrintCaption, question.c_str()))
            return;
    }
    if (!printer.Print(appState.sheetImage.block + InfoHeaderBytes, appState.sheetWidth,
                       appState.sheetHeight, RowStride(appState.sheetWidth), dpi))
        ShowErrorMessage(PrintFailedMessage);
}
