#include "ui/FieldHints.h"

#include "ui/DialogTemplates.h"

namespace {

const int32_t HintedFields[] = {SizeBox, DistanceEdit, MarginEdit, DpiEdit};

} // namespace

void ShowFieldHint(Dialog* dialog, int32_t id, const char* text) {
    ClearFieldHints(dialog);
    MarkDlgItem(dialog, id, true);
    SetDlgItemText(dialog, HintStrip, text);
}

void ClearFieldHints(Dialog* dialog) {
    for (int32_t field : HintedFields)
        MarkDlgItem(dialog, field, false);
    SetDlgItemText(dialog, HintStrip, "");
}

void FollowFieldText(Dialog* dialog, int32_t id) {
    if (IsDlgItemMarked(dialog, id))
        ClearFieldHints(dialog);
}
