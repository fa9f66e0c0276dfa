#pragma once
// What the program tells the user, each in a message box captioned MessageCaption.

inline constexpr char MessageCaption[] = "Błąd";
inline constexpr char CannotOpenMessage[] = "Nie mogę otworzyć zadanego pliku";
inline constexpr char WrongFormatMessage[] = "Plik wejściowy w nieprawidłowym formacie";
inline constexpr char SourceTooLargeMessage[] = "Plik wejściowy za duży";
inline constexpr char PackFailedMessage[] = "Pakowanie nieudane";
inline constexpr char SaveFailedMessage[] = "Zapis nieudany";

// Values outside what the grid is defined for, as kafelator-cli names them; the main dialog
// puts the focus on the value's control instead.
inline constexpr char BadDistanceMessage[] = "Nieprawidłowy odstęp między kopiami";
inline constexpr char BadMarginMessage[] = "Nieprawidłowy margines";
inline constexpr char SheetTooLargeMessage[] = "Za duży rozmiar arkusza";

// What kafelator-cli refuses before it reads anything.
inline constexpr char SameFileMessage[] = "Plik docelowy jest tym samym plikiem co wejściowy";
inline constexpr char OutputExistsMessage[] = "Plik docelowy już istnieje";

