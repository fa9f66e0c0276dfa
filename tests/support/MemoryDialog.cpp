#include "support/MemoryDialog.h"

const MemoryDialog::Control& MemoryDialog::Find(int32_t id) const {
    static const Control none;
    auto found = controls_.find(id);
    return found != controls_.end() ? found->second : none;
}

int32_t MemoryDialog::ComboBoxEntryCount(int32_t id) const {
    return static_cast<int32_t>(Find(id).entries.size());
}

void MemoryDialog::ResetComboBox(int32_t id) {
    Control& control = controls_[id];
    control.entries.clear();
    control.selection = CB_ERR;
    control.text.clear();
}

void MemoryDialog::AddComboBoxEntry(int32_t id, const std::string& text) {
    controls_[id].entries.push_back(text);
}

void MemoryDialog::SelectComboBoxEntry(int32_t id, int32_t index) {
    Control& control = controls_[id];
    bool inside = index >= 0 && index < static_cast<int32_t>(control.entries.size());
    control.selection = inside ? index : CB_ERR;
    control.text = inside ? control.entries[static_cast<size_t>(index)] : std::string();
}

int32_t MemoryDialog::ComboBoxSelection(int32_t id) const {
    return Find(id).selection;
}

std::string MemoryDialog::ItemText(int32_t id) const {
    return Find(id).text;
}

void MemoryDialog::SetItemText(int32_t id, const std::string& text) {
    Control& control = controls_[id];
    control.text = text;
    control.selection = CB_ERR;
}

void MemoryDialog::SetItemChecked(int32_t id, bool checked) {
    controls_[id].checked = checked;
}

bool MemoryDialog::IsItemChecked(int32_t id) const {
    return Find(id).checked;
}

void MemoryDialog::EnableItem(int32_t id, bool enabled) {
    controls_[id].enabled = enabled;
    if (!enabled && focused_ == id)
        focused_.reset();
}

void MemoryDialog::FocusItem(int32_t id) {
    if (IsItemEnabled(id))
        focused_ = id;
}

void MemoryDialog::TypeText(int32_t id, const std::string& text) {
    if (IsItemEnabled(id))
        SetItemText(id, text);
}

std::vector<std::string> MemoryDialog::ComboBoxEntries(int32_t id) const {
    return Find(id).entries;
}

bool MemoryDialog::IsItemEnabled(int32_t id) const {
    return Find(id).enabled;
}
