#include "ui/PrintChoices.h"

#include "app/AppState.h"
#include "app/Messages.h"
#include "image/SheetMetadata.h"
#include "pack/PackTexts.h"
#include "pack/PaperSizes.h"
#include "pack/SheetBuilding.h"
#include "ui/DialogTemplates.h"

#include <cstdio>
#include <cstring>

namespace {

// The resolution the edit gives: 0 when it is empty, -1 when it holds none that can be used.
int32_t TypedDpi(Dialog* dialog) {
    char text[ControlTextBytes];
    GetDlgItemText(dialog, DpiEdit, text, ControlTextBytes);
    int32_t dpi = 0;
    return ReadDpiText(text, &dpi) ? dpi : -1;
}

// The resolution the edit gives, or the one printing takes when it gives none it can use.
int32_t DpiOrDefault(Dialog* dialog) {
    int32_t dpi = TypedDpi(dialog);
    return dpi > 0 ? dpi : DefaultPrintDpi;
}

// pixels / dpi x 25.4 with one decimal and the Polish decimal comma.
void Millimetres(int64_t pixels, int64_t dpi, char (&text)[24]) {
    int64_t tenths = (pixels * 254 * 2 + dpi) / (2 * dpi);
    std::snprintf(text, sizeof text, "%lld,%lld", static_cast<long long>(tenths / 10),
                  static_cast<long long>(tenths % 10));
}

bool ReadNumberText(Dialog* dialog, int32_t id, int32_t* value) {
    char text[ControlTextBytes];
    GetDlgItemText(dialog, id, text, ControlTextBytes);
    return ParseNumber(text, value);
}

void ShowCopyCounts(Dialog* dialog) {
    char text[ControlTextBytes];
    GetDlgItemText(dialog, SizeBox, text, ControlTextBytes);
    PackParameters parameters;
    parameters.marginOn = appState.marginOn;
    char counts[64] = "";
    if (appState.sourceImage.block != nullptr &&
        ParseSheetSize(text, &parameters.sheetWidth, &parameters.sheetHeight) == 2 &&
        ReadNumberText(dialog, DistanceEdit, &parameters.distance) &&
        ReadNumberText(dialog, MarginEdit, &parameters.margin)) {
        CopyCounts copies = CountCopies(appState.sourceWidth, appState.sourceHeight, parameters);
        std::snprintf(counts, sizeof counts, CopyCountText, static_cast<long long>(copies.upright),
                      static_cast<long long>(copies.turned));
    }
    SetDlgItemText(dialog, CopyCountLabel, counts);
}

} // namespace

bool ReadDpiText(const char* text, int32_t* dpi) {
    if (text[std::strspn(text, " \t")] == '\0') {
        *dpi = 0;
        return true;
    }
    int32_t value = 0;
    if (!ParseNumber(text, &value) || value < MinDpi || value > MaxDpi)
        return false;
    *dpi = value;
    return true;
}

void InitialisePrintChoices(Dialog* dialog) {
    char dpi[16] = "";
    if (appState.dpi > 0)
        std::snprintf(dpi, sizeof dpi, "%d", appState.dpi);
    SetDlgItemText(dialog, DpiEdit, dpi);
    ComboResetContent(dialog, PaperList);
    for (const PaperSize& paper : PaperSizes)
        ComboAddString(dialog, PaperList, paper.label);
    ComboSetCurSel(dialog, PaperList, CB_ERR);
    CheckDlgButton(dialog, LandscapeCheckBox, false);
    CheckDlgButton(dialog, CutGuidesCheckBox, appState.cutGuides != 0);
    CheckDlgButton(dialog, TurnCopiesCheckBox, appState.turnCopies != 0);
    ShowSheetFacts(dialog);
}

void FollowPaperChoice(Dialog* dialog) {
    if (ComboGetCurSel(dialog, PaperList) >= 0 && TypedDpi(dialog) <= 0) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", DefaultPrintDpi);
        SetDlgItemText(dialog, DpiEdit, text);
    }
    FollowResolution(dialog);
}

void FollowResolution(Dialog* dialog) {
    int32_t paper = ComboGetCurSel(dialog, PaperList);
    int32_t dpi = TypedDpi(dialog);
    if (paper >= 0 && paper < paperSizeCount && dpi > 0) {
        char text[ControlTextBytes];
        int32_t width = 0, height = 0;
        PaperPixels(PaperSizes[paper], dpi, IsDlgButtonChecked(dialog, LandscapeCheckBox), &width,
                    &height);
        std::snprintf(text, sizeof text, "%d %d", width, height);
        SetDlgItemText(dialog, SizeBox, text);
    }
    ShowSheetFacts(dialog);
}

void ForgetPaperChoice(Dialog* dialog) {
    ComboSetCurSel(dialog, PaperList, CB_ERR);
    ShowSheetFacts(dialog);
}

void FollowPrintCheckBox(Dialog* dialog, int32_t id) {
    uint32_t checked = IsDlgButtonChecked(dialog, id) ? 1 : 0;
    if (id == CutGuidesCheckBox)
        appState.cutGuides = checked;
    else
        appState.turnCopies = checked;
}

void ShowSheetFacts(Dialog* dialog) {
    char text[96] = "";
    if (appState.sourceImage.block != nullptr) {
        int32_t dpi = DpiOrDefault(dialog);
        char width[24], height[24];
        Millimetres(appState.sourceWidth, dpi, width);
        Millimetres(appState.sourceHeight, dpi, height);
        std::snprintf(text, sizeof text, SourceMillimetresText, width, height, dpi);
    }
    SetDlgItemText(dialog, SourceMillimetresLabel, text);
    ShowCopyCounts(dialog);
}
