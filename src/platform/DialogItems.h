#pragma once
// The operations the dialog procedures perform on a dialog's controls, each addressed as the
// platform addresses it: by the dialog and the control's id. The free functions stand in for the
// Windows calls of the same names and give the same results over the few primitives of Dialog
// below, which the dialog host implements; so the procedures need no Qt header. Text is UTF-8.
//
// What the procedures rely on:
// - no combo box sorts: an entry's index is the order in which it was added;
// - emptying a combo box also empties its edit part;
// - selecting an entry shows its text in the edit part; selecting an index outside the list
//   leaves no entry selected and the edit part empty;
// - text typed into the edit part, or set with SetDlgItemText, leaves no entry selected;
// - a disabled control takes no input and cannot be focused.

#include <cstdint>
#include <string>

// What CB_GETCURSEL reports when no entry is selected, and CB_SETCURSEL for an index outside the
// list.
inline constexpr int32_t CB_ERR = -1;

// One dialog's controls. Operations on an id the dialog does not have do nothing and report
// nothing: the empty text, no selection, unchecked.
class Dialog {
  public:
    virtual ~Dialog() = default;

    // Combo boxes: the list, and its selection shown in the edit part.
    virtual int32_t ComboBoxEntryCount(int32_t id) const = 0;
    // Empties the list and the edit part.
    virtual void ResetComboBox(int32_t id) = 0;
    // Appends the text at the end of the list.
    virtual void AddComboBoxEntry(int32_t id, const std::string& text) = 0;
    // Selects entry index, which is inside the list, and shows its text in the edit part; CB_ERR
    // selects none and empties the edit part.
    virtual void SelectComboBoxEntry(int32_t id, int32_t index) = 0;
    virtual int32_t ComboBoxSelection(int32_t id) const = 0;

    // The text of any control: an edit, the edit part of a combo box, a label, a button.
    virtual std::string ItemText(int32_t id) const = 0;
    // For a combo box: its edit part, with no entry selected.
    virtual void SetItemText(int32_t id, const std::string& text) = 0;

    // Check boxes.
    virtual void SetItemChecked(int32_t id, bool checked) = 0;
    virtual bool IsItemChecked(int32_t id) const = 0;

    // Any control. Disabling the focused control leaves no control focused.
    virtual void EnableItem(int32_t id, bool enabled) = 0;
    // Ignored for a disabled control.
    virtual void FocusItem(int32_t id) = 0;

    // Edits and combo boxes: marked as holding a value the user must mend, enabled or not.
    virtual void MarkItem(int32_t id, bool marked) = 0;
    virtual bool IsItemMarked(int32_t id) const = 0;
};

// SendDlgItemMessageA with CB_RESETCONTENT: empties the combo box's list and edit part.
void ComboResetContent(Dialog* dialog, int32_t id);
// SendDlgItemMessageA with CB_ADDSTRING: appends the text at the end of the list; its index.
int32_t ComboAddString(Dialog* dialog, int32_t id, const char* text);
// SendDlgItemMessageA with CB_SETCURSEL: selects entry index and shows its text in the edit part;
// the index, or CB_ERR for an index outside the list, which leaves none selected and the edit
// part empty.
int32_t ComboSetCurSel(Dialog* dialog, int32_t id, int32_t index);
// SendDlgItemMessageA with CB_GETCURSEL: the selected entry's index, or CB_ERR.
int32_t ComboGetCurSel(Dialog* dialog, int32_t id);

// GetDlgItemTextA: at most size - 1 characters of the control's text and a terminating zero; the
// number of characters stored.
int32_t GetDlgItemText(Dialog* dialog, int32_t id, char* buffer, int32_t size);
// SetDlgItemTextA.
void SetDlgItemText(Dialog* dialog, int32_t id, const char* text);

// CheckDlgButton with BST_CHECKED or BST_UNCHECKED.
void CheckDlgButton(Dialog* dialog, int32_t id, bool checked);
// IsDlgButtonChecked: true when the check box is checked.
bool IsDlgButtonChecked(Dialog* dialog, int32_t id);

// EnableWindow(GetDlgItem(dialog, id), enable).
void EnableDlgItem(Dialog* dialog, int32_t id, bool enable);
// SetFocus(GetDlgItem(dialog, id)).
void SetDlgItemFocus(Dialog* dialog, int32_t id);

// What a dialog procedure does with WM_CTLCOLOREDIT to set a control apart: marks an edit or a
// combo box as holding a value the user must mend (its background tinted), or unmarks it.
void MarkDlgItem(Dialog* dialog, int32_t id, bool marked);
// Whether the control is marked.
bool IsDlgItemMarked(Dialog* dialog, int32_t id);
