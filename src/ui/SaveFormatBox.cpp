#include "ui/SaveFormatBox.h"

#include "app/AppState.h"
#include "image/SaveFormats.h"
#include "ui/DialogTemplates.h"

void FillSaveFormatBox(Dialog* dialog) {
    ComboResetContent(dialog, SaveFormatBox);
    for (int32_t row = 0; row < saveFormatCount; ++row)
        ComboAddString(dialog, SaveFormatBox, SaveFormats[row]);
    ComboSetCurSel(dialog, SaveFormatBox, appState.saveMode);
}
