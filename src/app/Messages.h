#pragma once
// What the program tells the user, each in a message box captioned MessageCaption.

inline constexpr char MessageCaption[] = "Błąd";
inline constexpr char CannotOpenMessage[] = "Nie mogę otworzyć zadanego pliku";
inline constexpr char WrongFormatMessage[] = "Plik wejściowy w nieprawidłowym formacie";
inline constexpr char SourceTooLargeMessage[] = "Plik wejściowy za duży";
inline constexpr char PackFailedMessage[] = "Pakowanie nieudane";
inline constexpr char SaveFailedMessage[] = "Zapis nieudany";

// Typed values outside what the grid is defined for; the focus goes to the value's control.
inline constexpr char BadDistanceMessage[] = "Nieprawidłowy odstęp między kopiami";
inline constexpr char BadMarginMessage[] = "Nieprawidłowy margines";
