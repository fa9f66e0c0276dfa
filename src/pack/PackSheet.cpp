// Where the core meets the dialogs: the pack command reads the main dialog's controls into
// appState, hands their values to the core and shows the sheet in the preview.

#include "pack/PackSheet.h"

#include "app/AppState.h"
#include "app/Messages.h"
#include "app/RecentSizes.h"
#include "pack/PackTexts.h"
#include "pack/SheetBuilding.h"
#include "platform/DialogHost.h"
#include "ui/DialogTemplates.h"
#include "ui/FieldHints.h"
#include "ui/PreviewDialog.h"
#include "ui/PrintChoices.h"

#include <algorithm>
#include <cstdio>

namespace {

bool ReadNumber(Dialog* dialog, int32_t id, int32_t* value) {
    char text[ControlTextBytes];
    GetDlgItemText(dialog, id, text, ControlTextBytes);
    return ParseNumber(text, value);
}

// A value the command cannot use: the focus goes to its control, where that can take it, and the
// hint says what the value should be.
void RefuseField(Dialog* dialog, int32_t id, const char* hint) {
    SetDlgItemFocus(dialog, id);
    ShowFieldHint(dialog, id, hint);
}

// The grid takes distances down to 1 - min(w, h): copies overlap by less than a whole copy.
void RefuseDistance(Dialog* dialog) {
    if (appState.distance > 0) {
        RefuseField(dialog, DistanceEdit, DistanceTooLargeHint);
        return;
    }
    char hint[64];
    std::snprintf(hint, sizeof hint, DistanceTooSmallHint,
                  1 - std::min(appState.sourceWidth, appState.sourceHeight));
    RefuseField(dialog, DistanceEdit, hint);
}

} // namespace

void PackSheet(Dialog* dialog) {
    ClearFieldHints(dialog);
    char text[ControlTextBytes];
    GetDlgItemText(dialog, SizeBox, text, ControlTextBytes);
    if (ParseSheetSize(text, &appState.sheetWidth, &appState.sheetHeight) < 2) {
        RefuseField(dialog, SizeBox,
                    MisseparatedSheetSize(text) ? SizeSeparatorHint : SizeNotTwoNumbersHint);
        return;
    }
    if (!ReadNumber(dialog, DistanceEdit, &appState.distance)) {
        RefuseField(dialog, DistanceEdit, DistanceNotANumberHint);
        return;
    }
    // Read, and a number, even while the margin is off and its edit disabled; the focus cannot go
    // there then, and the hint says how to reach it.
    if (!ReadNumber(dialog, MarginEdit, &appState.margin)) {
        RefuseField(dialog, MarginEdit,
                    appState.marginOn == 1 ? MarginNotANumberHint : MarginOffNotANumberHint);
        return;
    }
    GetDlgItemText(dialog, DpiEdit, text, ControlTextBytes);
    if (!ReadDpiText(text, &appState.dpi)) {
        RefuseField(dialog, DpiEdit, DpiHint);
        return;
    }
    int32_t background = ComboGetCurSel(dialog, BackgroundList);
    appState.background = background >= 0 ? static_cast<uint32_t>(background) : 0;
    appState.saveMode = ComboGetCurSel(dialog, SaveFormatBox);

    PackParameters parameters{appState.sheetWidth,     appState.sheetHeight,    appState.distance,
                              appState.margin,         appState.marginOn,       appState.background,
                              appState.cutGuides != 0, appState.turnCopies != 0};
    BuiltSheet built = BuildSheet(appState.sourceImage, parameters);
    switch (built.verdict) {
    case LayoutVerdict::Fits:
        break;
    case LayoutVerdict::SourceTooLarge:
        ShowErrorMessage(SourceTooLargeMessage);
        return;
    case LayoutVerdict::SheetTooLarge:
        RefuseField(dialog, SizeBox, SizeTooLargeHint);
        return;
    case LayoutVerdict::BadDistance:
        RefuseDistance(dialog);
        return;
    case LayoutVerdict::BadMargin:
        RefuseField(dialog, MarginEdit,
                    appState.margin < 0 ? MarginTooSmallHint : MarginTooLargeHint);
        return;
    case LayoutVerdict::BadSource:
        ShowErrorMessage(WrongFormatMessage);
        return;
    }
    if (built.sheet.block == nullptr) {
        ShowErrorMessage(PackFailedMessage);
        return;
    }
    appState.sheetImage = built.sheet;
    RememberSize(dialog, SizeBox, appState.sheetWidth, appState.sheetHeight);
    DialogBoxParam(PreviewDialogTemplate, dialog, PreviewDialogProc, 0);
    ReleaseDib(appState.sheetImage);
    ComboSetCurSel(dialog, SaveFormatBox, appState.saveMode);
}
