#pragma once
// What the program tells the user, each in a message box captioned MessageCaption.

inline constexpr char MessageCaption[] = "Błąd";
inline constexpr char CannotOpenMessage[] = "Nie mogę otworzyć zadanego pliku";
inline constexpr char WrongFormatMessage[] = "Plik wejściowy w nieprawidłowym formacie";
inline constexpr char SourceTooLargeMessage[] = "Plik wejściowy za duży";
inline constexpr char PackFailedMessage[] = "Pakowanie nieudane";
inline constexpr char SaveFailedMessage[] = "Zapis nieudany";

// Values outside what the grid is defined for, as kafelator-cli names them; the main dialog
// points at the value's control with a hint instead.
inline constexpr char BadDistanceMessage[] = "Nieprawidłowy odstęp między kopiami";
inline constexpr char BadMarginMessage[] = "Nieprawidłowy margines";
inline constexpr char SheetTooLargeMessage[] = "Za duży rozmiar arkusza";

// What kafelator-cli refuses before it reads anything.
inline constexpr char SameFileMessage[] = "Plik docelowy jest tym samym plikiem co wejściowy";
inline constexpr char OutputExistsMessage[] = "Plik docelowy już istnieje";

// Hints in the main dialog for a value the pack command cannot use, each naming the value and
// what it takes. Those with "%d" take the smallest value allowed.
inline constexpr char SizeNotTwoNumbersHint[] = "Rozmiar: dwie liczby, np. 2480 3508";
inline constexpr char SizeSeparatorHint[] =
    "Rozmiar: liczby oddziel spacją, przecinkiem lub *, np. 2480 3508";
inline constexpr char SizeTooLargeHint[] = "Rozmiar: za duży, np. 2480 3508";
inline constexpr char DistanceNotANumberHint[] = "Odstęp: liczba pikseli, np. 50";
inline constexpr char DistanceTooSmallHint[] = "Odstęp: najmniej %d, np. 50";
inline constexpr char DistanceTooLargeHint[] = "Odstęp: za duży, np. 50";
inline constexpr char MarginNotANumberHint[] = "Margines: liczba pikseli, np. 20";
// The margin edit is disabled while the margin is off and cannot take the focus.
inline constexpr char MarginOffNotANumberHint[] =
    "Margines: odznacz „Bez marginesu” i wpisz liczbę, np. 20";
inline constexpr char MarginTooSmallHint[] = "Margines: najmniej 0, np. 20";
inline constexpr char MarginTooLargeHint[] = "Margines: za duży, np. 20";
inline constexpr char DpiHint[] = "Rozdzielczość: od 1 do 10000 dpi albo puste pole, np. 300";

// What the print choices tell before packing: the source's size on paper, "%s x %s" its width
// and height in millimetres with one decimal, and how many copies fit as the source stands and
// turned a quarter.
inline constexpr char SourceMillimetresText[] = "%s x %s mm przy %d dpi";
inline constexpr char CopyCountText[] = "Kopii: %lld, po obróceniu: %lld";

// Printing: a sheet larger than the printable area, "%s" by how much, across, down or both
// ("o 12,3 mm w poziomie i o 4,0 mm w pionie").
inline constexpr char PrintCaption[] = "Drukowanie";
inline constexpr char SheetLargerThanPaperQuestion[] =
    "Arkusz jest większy niż obszar wydruku %s, więc nie zmieści się cały na papierze. "
    "Drukować mimo to, bez zmniejszania?";
inline constexpr char ExcessAcrossText[] = "o %s mm w poziomie";
inline constexpr char ExcessDownText[] = "o %s mm w pionie";
inline constexpr char ExcessJoint[] = " i ";
inline constexpr char PrintFailedMessage[] = "Drukowanie nieudane";
