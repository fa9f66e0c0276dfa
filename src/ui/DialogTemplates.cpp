#include "ui/DialogTemplates.h"

namespace {

constexpr uint32_t Child = WS_CHILD | WS_VISIBLE;
constexpr uint32_t Label = Child | SS_LEFT | WS_GROUP;
constexpr const char* DialogFont = "MS Sans Serif";

// In tab order, which is also the order in which the first control to focus is sought.
const ControlTemplate MainControls[] = {
    {PackButton, ControlClass::Button, "Pakuj", 235, 99, 50, 14,
     Child | BS_DEFPUSHBUTTON | WS_TABSTOP},
    {ExitButton, ControlClass::Button, "Wyjście", 235, 117, 50, 14,
     Child | BS_PUSHBUTTON | WS_TABSTOP},
    {UnaddressedId, ControlClass::Button, "Format docelowy", 7, 7, 123, 72, Child | BS_GROUPBOX},
    {UnaddressedId, ControlClass::Static,
     "Wpisz szerokośc i wysokość obrazu docelowego w pikselach lub wybierz z listy", 12, 18, 108,
     30, Label},
    {SizeBox, ControlClass::ComboBox, "", 13, 56, 112, 91,
     Child | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP},
    {OpenButton, ControlClass::Button, "Otwórz", 235, 82, 50, 14,
     Child | BS_PUSHBUTTON | WS_TABSTOP},
    {UnaddressedId, ControlClass::Button, "Własności", 137, 7, 148, 72, Child | BS_GROUPBOX},
    {UnaddressedId, ControlClass::Static, "Minimalny odstęp:", 143, 18, 61, 13, Label},
    {NoMarginCheckBox, ControlClass::Button, "Bez marginesu", 144, 49, 68, 10,
     Child | BS_AUTOCHECKBOX | WS_TABSTOP},
    {UnaddressedId, ControlClass::Static, "Kafelator, wersja 0.9.1", 137, 90, 90, 11, Label},
    {DistanceEdit, ControlClass::Edit, "", 212, 15, 40, 14,
     Child | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP},
    {UnaddressedId, ControlClass::Static, "pikseli", 258, 18, 20, 8, Label},
    {UnaddressedId, ControlClass::Static, "Margines:", 143, 35, 32, 8, Label},
    {UnaddressedId, ControlClass::Static, "pikseli", 259, 35, 20, 8, Label},
    {MarginEdit, ControlClass::Edit, "", 212, 32, 40, 14,
     Child | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP},
    {UnaddressedId, ControlClass::Static, "Tło:", 143, 64, 14, 8, Label},
    {BackgroundList, ControlClass::ComboBox, "", 212, 62, 66, 97,
     Child | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
    {UnaddressedId, ControlClass::Button, "Fomat zapisu i kompresja", 7, 85, 124, 43,
     Child | BS_GROUPBOX},
    {SaveFormatBox, ControlClass::ComboBox, "", 13, 99, 112, 65,
     Child | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP},
    {UnaddressedId, ControlClass::Static, "Rozmiar obrazu pakowanego:", 134, 103, 91, 8, Label},
    {SourceSizeLabel, ControlClass::Static, "", 134, 113, 89, 15,
     Label | WS_BORDER | SS_SUNKEN | SS_CENTERIMAGE},
    // The print choices, in a frame of their own below the rest.
    {UnaddressedId, ControlClass::Button, "Wydruk", 7, 132, 278, 58, Child | BS_GROUPBOX},
    {UnaddressedId, ControlClass::Static, "Rozdzielczość:", 13, 146, 50, 8, Label},
    {DpiEdit, ControlClass::Edit, "", 64, 143, 30, 14,
     Child | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP},
    {UnaddressedId, ControlClass::Static, "dpi", 97, 146, 14, 8, Label},
    {UnaddressedId, ControlClass::Static, "Papier:", 118, 146, 26, 8, Label},
    {PaperList, ControlClass::ComboBox, "", 145, 143, 88, 150,
     Child | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
    {LandscapeCheckBox, ControlClass::Button, "poziomo", 238, 145, 42, 10,
     Child | BS_AUTOCHECKBOX | WS_TABSTOP},
    {CutGuidesCheckBox, ControlClass::Button, "Linie cięcia", 13, 162, 62, 10,
     Child | BS_AUTOCHECKBOX | WS_TABSTOP},
    {TurnCopiesCheckBox, ControlClass::Button, "Obracaj kopie, gdy zmieści się więcej", 80, 162,
     150, 10, Child | BS_AUTOCHECKBOX | WS_TABSTOP},
    {SourceMillimetresLabel, ControlClass::Static, "", 13, 176, 120, 10, Label},
    {CopyCountLabel, ControlClass::Static, "", 138, 176, 142, 10, Label},
    // A row of its own below the rest: what a refused value should be.
    {HintStrip, ControlClass::Static, "", 7, 194, 278, 10, Label},
};

const ControlTemplate PreviewControls[] = {
    {SaveButton, ControlClass::Button, "Zapisz", 160, 1, 50, 14,
     Child | BS_DEFPUSHBUTTON | WS_TABSTOP},
    {CloseButton, ControlClass::Button, "Zamknij", 106, 1, 50, 14,
     Child | BS_PUSHBUTTON | WS_TABSTOP},
    {SaveFormatBox, ControlClass::ComboBox, "", 7, 2, 96, 65,
     Child | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP},
    {PrintButton, ControlClass::Button, "Drukuj…", 214, 1, 50, 14,
     Child | BS_PUSHBUTTON | WS_TABSTOP},
};

} // namespace

const DialogTemplate MainDialogTemplate = {
    "KAFELATOR",
    "Kafelator v. 0.9.1",
    292,
    208,
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    DialogFont,
    8,
    MainControls,
    sizeof MainControls / sizeof MainControls[0],
};

const DialogTemplate PreviewDialogTemplate = {
    "PREVIEW",
    "",
    270,
    20,
    WS_POPUP | DS_MODALFRAME | DS_SETFONT,
    DialogFont,
    8,
    PreviewControls,
    sizeof PreviewControls / sizeof PreviewControls[0],
};
