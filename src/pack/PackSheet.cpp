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
#include "ui/PreviewDialog.h"

namespace {

bool ReadNumber(Dialog* dialog, int32_t id, int32_t* value) {
    char text[ControlTextBytes];
    GetDlgItemText(dialog, id, text, ControlTextBytes);
    return ParseNumber(text, value);
}

} // namespace

void PackSheet(Dialog* dialog) {
    char text[ControlTextBytes];
    GetDlgItemText(dialog, SizeBox, text, ControlTextBytes);
    if (ParseSheetSize(text, &appState.sheetWidth, &appState.sheetHeight) < 2) {
        SetDlgItemFocus(dialog, SizeBox);
        return;
    }
    if (!ReadNumber(dialog, DistanceEdit, &appState.distance)) {
        SetDlgItemFocus(dialog, DistanceEdit);
        return;
    }
    // Read, and a number, even while the margin is off and its edit disabled.
    if (!ReadNumber(dialog, MarginEdit, &appState.margin)) {
        SetDlgItemFocus(dialog, MarginEdit);
        return;
    }
    int32_t background = ComboGetCurSel(dialog, BackgroundList);
    appState.background = background >= 0 ? static_cast<uint32_t>(background) : 0;
    appState.saveMode = ComboGetCurSel(dialog, SaveFormatBox);

    PackParameters parameters{appState.sheetWidth, appState.sheetHeight, appState.distance,
                              appState.margin,     appState.marginOn,    appState.background};
    BuiltSheet built = BuildSheet(appState.sourceImage, parameters);
    switch (built.verdict) {
    case LayoutVerdict::Fits:
        break;
    case LayoutVerdict::SourceTooLarge:
        ShowErrorMessage(SourceTooLargeMessage);
        return;
    case LayoutVerdict::SheetTooLarge:
        SetDlgItemFocus(dialog, SizeBox);
        return;
    case LayoutVerdict::BadDistance:
        SetDlgItemFocus(dialog, DistanceEdit);
        return;
    case LayoutVerdict::BadMargin:
        SetDlgItemFocus(dialog, MarginEdit);
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
