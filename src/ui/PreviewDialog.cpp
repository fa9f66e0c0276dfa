#include "ui/PreviewDialog.h"

#include "app/AppState.h"
#include "app/Messages.h"
#include "image/SaveFormats.h"
#include "ui/DialogTemplates.h"
#include "ui/FileChooser.h"
#include "ui/SaveFormatBox.h"
#include "ui/SheetPrinting.h"

#include <algorithm>

namespace {

// The space the picture leaves around it: 5 pixels above, the rest to the window's edges.
constexpr int32_t PictureMargin = 10, PictureTop = 5;

void InitialisePreview(Dialog* dialog) {
    WindowRect own = GetWindowRect(dialog);
    int32_t width0 = own.right - own.left, height0 = own.bottom - own.top;
    int32_t availableWidth = GetSystemMetrics(SM_CXSCREEN) - PictureMargin;
    int32_t availableHeight = GetSystemMetrics(SM_CYSCREEN) - height0 - PictureMargin;
    int32_t width = appState.sheetWidth, height = appState.sheetHeight;
    FitByHalving(availableWidth, availableHeight, &width, &height);
    appState.previewWidth = width;
    appState.previewHeight = height;

    int32_t newWidth = std::max(width + PictureMargin, width0);
    int32_t newHeight = height0 + height + PictureMargin;
    MoveWindow(dialog, (GetSystemMetrics(SM_CXSCREEN) - newWidth) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - newHeight) / 2, newWidth, newHeight);
    MoveControl(dialog, SaveButton, newWidth - width0, newHeight - height0);
    MoveControl(dialog, CloseButton, newWidth - width0, newHeight - height0);
    MoveControl(dialog, PrintButton, newWidth - width0, newHeight - height0);
    MoveControl(dialog, SaveFormatBox, 0, newHeight - height0);
    FillSaveFormatBox(dialog);
}

void PaintPreview(Dialog* dialog) {
    WindowRect client = GetClientRect(dialog);
    StretchDIBits(dialog, (client.right - appState.previewWidth) / 2, PictureTop,
                  appState.previewWidth, appState.previewHeight,
                  appState.sheetImage.block + InfoHeaderBytes, appState.sheetWidth,
                  appState.sheetHeight, RowStride(appState.sheetWidth));
}

void SaveSheet(Dialog* dialog) {
    appState.saveMode = ComboGetCurSel(dialog, SaveFormatBox);
    char fileName[FileNameBufferBytes];
    ChooseFile(fileName, dialog, 0, appState.saveMode > 0);
    if (fileName[0] == '\0')
        return; // cancelled: the preview stays open
    // With no format selected (a text typed into the box) the chooser offered BMP names, so the
    // sheet is written as BMP rather than silently not at all.
    int32_t format = appState.saveMode >= 0 ? appState.saveMode : 0;
    if (!WriteInSaveFormat(fileName, appState.sheetImage, format,
                           {appState.sourceProfile, appState.dpi}))
        ShowErrorMessage(SaveFailedMessage);
    appState.saveMode = ComboGetCurSel(dialog, SaveFormatBox);
    EndDialog(dialog, 1);
}

} // namespace

intptr_t PreviewDialogProc(Dialog* dialog, uint32_t message, uintptr_t wParam, intptr_t) {
    switch (message) {
    case WM_INITDIALOG:
        InitialisePreview(dialog);
        return 1;
    case WM_PAINT:
        PaintPreview(dialog);
        return 1;
    case WM_COMMAND:
        break;
    default:
        return 0;
    }
    switch (static_cast<uint16_t>(wParam)) {
    case SaveButton:
        SaveSheet(dialog);
        return 1;
    case CloseButton:
        appState.saveMode = ComboGetCurSel(dialog, SaveFormatBox);
        EndDialog(dialog, 1);
        return 1;
    case PrintButton:
        PrintSheet(dialog);
        return 1;
    default:
        return 0;
    }
}

void MoveControl(Dialog* dialog, int32_t id, int32_t dx, int32_t dy) {
    WindowRect rect = GetDlgItemRect(dialog, id);
    WindowPoint corner = ScreenToClient(dialog, {rect.left, rect.top});
    MoveDlgItem(dialog, id, corner.x + dx, corner.y + dy);
}

void FitByHalving(int32_t availableWidth, int32_t availableHeight, int32_t* width,
                  int32_t* height) {
    while ((*width > availableWidth || *height > availableHeight) && (*width > 0 || *height > 0)) {
        *width /= 2;
        *height /= 2;
    }
}
