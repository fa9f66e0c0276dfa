#include "platform/DialogItems.h"

#include <algorithm>

void ComboResetContent(Dialog* dialog, int32_t id) {
    if (dialog != nullptr)
        dialog->ResetComboBox(id);
}

int32_t ComboAddString(Dialog* dialog, int32_t id, const char* text) {
    if (dialog == nullptr)
        return CB_ERR;
    dialog->AddComboBoxEntry(id, text);
    return dialog->ComboBoxEntryCount(id) - 1;
}

int32_t ComboSetCurSel(Dialog* dialog, int32_t id, int32_t index) {
    if (dialog == nullptr)
        return CB_ERR;
    if (index < 0 || index >= dialog->ComboBoxEntryCount(id))
        index = CB_ERR;
    dialog->SelectComboBoxEntry(id, index);
    return index;
}

int32_t ComboGetCurSel(Dialog* dialog, int32_t id) {
    return dialog != nullptr ? dialog->ComboBoxSelection(id) : CB_ERR;
}

int32_t GetDlgItemText(Dialog* dialog, int32_t id, char* buffer, int32_t size) {
    if (buffer == nullptr || size <= 0)
        return 0;
    std::string text = dialog != nullptr ? dialog->ItemText(id) : std::string();
    size_t count = std::min(text.size(), static_cast<size_t>(size - 1));
    text.copy(buffer, count);
    buffer[count] = '\0';
    return static_cast<int32_t>(count);
}

void SetDlgItemText(Dialog* dialog, int32_t id, const char* text) {
    if (dialog != nullptr)
        dialog->SetItemText(id, text);
}

void CheckDlgButton(Dialog* dialog, int32_t id, bool checked) {
    if (dialog != nullptr)
        dialog->SetItemChecked(id, checked);
}

bool IsDlgButtonChecked(Dialog* dialog, int32_t id) {
    return dialog != nullptr && dialog->IsItemChecked(id);
}

void EnableDlgItem(Dialog* dialog, int32_t id, bool enable) {
    if (dialog != nullptr)
        dialog->EnableItem(id, enable);
}

void SetDlgItemFocus(Dialog* dialog, int32_t id) {
    if (dialog != nullptr)
        dialog->FocusItem(id);
}

void MarkDlgItem(Dialog* dialog, int32_t id, bool marked) {
    if (dialog != nullptr)
        dialog->MarkItem(id, marked);
}

bool IsDlgItemMarked(Dialog* dialog, int32_t id) {
    return dialog != nullptr && dialog->IsItemMarked(id);
}
