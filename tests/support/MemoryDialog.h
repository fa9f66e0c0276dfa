#pragma once
// A dialog whose controls are plain records: the dialog procedures run on it without a display,
// and a test can act as the user (typing into a control) and look at every control afterwards.
// A control comes into being the first time its id is used, empty, unchecked and enabled.

#include "platform/DialogItems.h"

#include <map>
#include <optional>
#include <vector>

class MemoryDialog : public Dialog {
  public:
    int32_t ComboBoxEntryCount(int32_t id) const override;
    void ResetComboBox(int32_t id) override;
    void AddComboBoxEntry(int32_t id, const std::string& text) override;
    void SelectComboBoxEntry(int32_t id, int32_t index) override;
    int32_t ComboBoxSelection(int32_t id) const override;
    std::string ItemText(int32_t id) const override;
    void SetItemText(int32_t id, const std::string& text) override;
    void SetItemChecked(int32_t id, bool checked) override;
    bool IsItemChecked(int32_t id) const override;
    void EnableItem(int32_t id, bool enabled) override;
    void FocusItem(int32_t id) override;

    // The user types text into an edit or a combo box's edit part, leaving no entry selected.
    // Ignored for a disabled control, which takes no input.
    void TypeText(int32_t id, const std::string& text);

    std::vector<std::string> ComboBoxEntries(int32_t id) const;
    bool IsItemEnabled(int32_t id) const;
    // The control with the keyboard focus, if any.
    std::optional<int32_t> FocusedItem() const { return focused_; }

  private:
    struct Control {
        std::string text; // an edit's text, a combo box's edit part, a label's or button's text
        std::vector<std::string> entries;
        int32_t selection = CB_ERR;
        bool checked = false;
        bool enabled = true;
    };

    const Control& Find(int32_t id) const;

    std::map<int32_t, Control> controls_;
    std::optional<int32_t> focused_;
};
