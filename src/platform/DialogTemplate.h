#pragma once
// A dialog described as data: its frame, font and controls with their places in dialog units,
// from which the dialog host builds the window. Dialog units follow the dialog font: a
// horizontal unit is a quarter of its average character width, a vertical unit an eighth of its
// character height, so a dialog keeps its proportions with whatever font the desktop gives it.

#include <cstdint>

// Window styles the host understands, with the values the classic dialog manager gives them.
inline constexpr uint32_t WS_POPUP = 0x80000000;
inline constexpr uint32_t WS_CHILD = 0x40000000;
inline constexpr uint32_t WS_VISIBLE = 0x10000000;
inline constexpr uint32_t WS_CAPTION = 0x00C00000;
inline constexpr uint32_t WS_BORDER = 0x00800000;
inline constexpr uint32_t WS_SYSMENU = 0x00080000;
inline constexpr uint32_t WS_VSCROLL = 0x00200000;
inline constexpr uint32_t WS_GROUP = 0x00020000;
inline constexpr uint32_t WS_TABSTOP = 0x00010000;
inline constexpr uint32_t DS_SETFONT = 0x40;
inline constexpr uint32_t DS_MODALFRAME = 0x80;

// Styles of the control classes, each meaningful within its own class only.
inline constexpr uint32_t BS_PUSHBUTTON = 0x0;
inline constexpr uint32_t BS_DEFPUSHBUTTON = 0x1;
inline constexpr uint32_t BS_AUTOCHECKBOX = 0x3;
inline constexpr uint32_t BS_GROUPBOX = 0x7;
inline constexpr uint32_t SS_LEFT = 0x0;
inline constexpr uint32_t SS_CENTERIMAGE = 0x200;
inline constexpr uint32_t SS_SUNKEN = 0x1000;
inline constexpr uint32_t CBS_DROPDOWN = 0x2;
inline constexpr uint32_t CBS_DROPDOWNLIST = 0x3;
inline constexpr uint32_t ES_AUTOHSCROLL = 0x80;

enum class ControlClass { Button, Static, ComboBox, Edit };

// Ids the dialog manager gives the default and the cancel command.
inline constexpr int32_t IDOK = 1, IDCANCEL = 2;
// The id of a control the program never addresses.
inline constexpr int32_t UnaddressedId = -1;

struct ControlTemplate {
    int32_t id;
    ControlClass controlClass;
    const char* text;
    int16_t x, y, width, height; // dialog units; a combo box's height includes its list
    uint32_t styles;             // window and class styles together
};

struct DialogTemplate {
    const char* name;
    const char* caption;
    int16_t width, height; // dialog units
    uint32_t styles;
    const char* fontName;
    int16_t fontPoints;
    const ControlTemplate* controls; // in tab order
    int32_t controlCount;
};
