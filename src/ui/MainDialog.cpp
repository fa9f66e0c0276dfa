#include "ui/MainDialog.h"

#include "app/AppState.h"
#include "app/Messages.h"
#include "app/RecentSizes.h"
#include "image/SourceImage.h"
#include "pack/PackSheet.h"
#include "pack/SheetCompositor.h"
#include "ui/DialogTemplates.h"
#include "ui/FieldHints.h"
#include "ui/FileChooser.h"
#include "ui/PrintChoices.h"
#include "ui/SaveFormatBox.h"

#include <cstdio>
#include <utility>

namespace {

void SetNumberText(Dialog* dialog, int32_t id, int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    SetDlgItemText(dialog, id, text);
}

void InitialiseMainDialog(Dialog* dialog) {
    CenterOnScreen(dialog);
    FillSizeBox(dialog, SizeBox);
    ComboResetContent(dialog, BackgroundList);
    for (int32_t row = 0; row < backgroundLevelCount; ++row)
        ComboAddString(dialog, BackgroundList, BackgroundLevels[row]);
    ComboSetCurSel(dialog, BackgroundList, static_cast<int32_t>(appState.background));
    FillSaveFormatBox(dialog);
    SetNumberText(dialog, DistanceEdit, appState.distance);
    CheckDlgButton(dialog, NoMarginCheckBox, appState.marginOn == 0);
    SetNumberText(dialog, MarginEdit, appState.margin);
    EnableDlgItem(dialog, MarginEdit, appState.marginOn != 0);
    if (appState.startFile[0] != '\0')
        OpenSourceFile(appState.startFile);
    ShowSourceState(dialog);
    InitialisePrintChoices(dialog);
}

void OpenChosenFile(Dialog* dialog) {
    char fileName[FileNameBufferBytes];
    ChooseFile(fileName, dialog, 1, 0);
    if (fileName[0] == '\0')
        return; // cancelled: the source stays as it was
    OpenSourceFile(fileName);
    ShowSourceState(dialog);
    ShowSheetFacts(dialog);
}

// The checkbox has toggled itself already.
void FollowNoMarginCheckBox(Dialog* dialog) {
    appState.marginOn = IsDlgButtonChecked(dialog, NoMarginCheckBox) ? 0 : 1;
    EnableDlgItem(dialog, MarginEdit, appState.marginOn == 1);
    ShowSheetFacts(dialog);
}

bool IsTextChange(uint16_t notification) {
    return notification == EN_CHANGE || notification == CBN_SELCHANGE ||
           notification == CBN_EDITCHANGE;
}

} // namespace

intptr_t MainDialogProc(Dialog* dialog, uint32_t message, uintptr_t wParam, intptr_t) {
    if (message == WM_INITDIALOG) {
        InitialiseMainDialog(dialog);
        return 1;
    }
    if (message != WM_COMMAND)
        return 0;
    switch (static_cast<uint16_t>(wParam)) {
    case PackButton:
        PackSheet(dialog);
        return 1;
    case ExitButton:
        EndDialog(dialog, 1);
        return 1;
    case OpenButton:
        OpenChosenFile(dialog);
        return 1;
    case NoMarginCheckBox:
        FollowNoMarginCheckBox(dialog);
        return 1;
    case LandscapeCheckBox:
        FollowPaperChoice(dialog);
        return 1;
    case CutGuidesCheckBox:
    case TurnCopiesCheckBox:
        FollowPrintCheckBox(dialog, static_cast<uint16_t>(wParam));
        return 1;
    case PaperList:
        if (static_cast<uint16_t>(wParam >> 16) == CBN_SELCHANGE)
            FollowPaperChoice(dialog);
        return 0;
    case SizeBox:
    case DistanceEdit:
    case MarginEdit:
    case DpiEdit:
        // A change of the text takes its hint away and updates what the values tell; a size the
        // user gives is no longer the paper's. The host's own handling stays.
        if (IsTextChange(static_cast<uint16_t>(wParam >> 16))) {
            auto id = static_cast<uint16_t>(wParam);
            FollowFieldText(dialog, id);
            if (id == SizeBox)
                ForgetPaperChoice(dialog);
            else if (id == DpiEdit)
                FollowResolution(dialog);
            else
                ShowSheetFacts(dialog);
        }
        return 0;
    default:
        return 0;
    }
}

void CenterOnScreen(Dialog* dialog) {
    int32_t screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int32_t screenHeight = GetSystemMetrics(SM_CYSCREEN);
    WindowRect window = GetWindowRect(dialog);
    int32_t width = window.right - window.left, height = window.bottom - window.top;
    int32_t y = (screenHeight - height) / 2;
    int32_t x = (screenWidth - width) / 2;
    MoveWindow(dialog, x < 0 ? 0 : x, y < 0 ? 0 : y, width, height);
}

void OpenSourceFile(const char* fileName) {
    ReleaseDib(appState.sourceImage);
    appState.sourceWidth = 0;
    appState.sourceHeight = 0;
    appState.sourceProfile.clear();
    // A picture that cannot be packed is released by the loader, before its message, so that it
    // can never reach the compositor.
    PackableSource source =
        LoadPackableSource(fileName, {.ignoreOrientation = appState.ignoreOrientation != 0});
    switch (source.verdict) {
    case SourceVerdict::CannotOpen:
        ShowErrorMessage(CannotOpenMessage);
        return;
    case SourceVerdict::WrongFormat:
        ShowErrorMessage(WrongFormatMessage);
        return;
    case SourceVerdict::Loaded:
        break;
    }
    appState.sourceImage = source.image;
    appState.sourceProfile = std::move(source.iccProfile);
    uint32_t offset = 0;
    GetImageGeometry(source.image.block, &offset, &appState.sourceWidth, &appState.sourceHeight);
}

void ShowSourceState(Dialog* dialog) {
    bool present = appState.sourceImage.block != nullptr;
    EnableDlgItem(dialog, PackButton, present);
    char size[32] = "";
    if (present)
        std::snprintf(size, sizeof size, "%d %d", appState.sourceWidth, appState.sourceHeight);
    SetDlgItemText(dialog, SourceSizeLabel, size);
}
