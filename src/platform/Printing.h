#pragma once
// Printing through the system's print dialog (CUPS printers, and printing to a PDF file): the
// user chooses a printer and its page, and a picture is printed on it at true size. Implemented
// over Qt's print support; nothing here needs a Qt header. The procedures decide what to print
// and what to ask; this layer only asks the system.

#include "platform/DialogItems.h"

#include <cstdint>
#include <memory>

// The part of the chosen page a printer can print on, in the printer's dots.
struct PrintableArea {
    int64_t width, height;
    int32_t dotsPerInch;
};

class ChosenPrinter {
  public:
    // Shows the system's print dialog, modal and owned by the dialog, and keeps the printer and
    // page the user chose; Chosen() is false when the user cancelled.
    explicit ChosenPrinter(Dialog* owner);
    ~ChosenPrinter();
    ChosenPrinter(const ChosenPrinter&) = delete;
    ChosenPrinter& operator=(const ChosenPrinter&) = delete;

    bool Chosen() const;
    PrintableArea Area() const;
    // Prints the width x height picture of bottom-up 24-bit rows (blue, green, red), rowStride
    // bytes apart from the first at `bits`, as one page: each pixel 1/dpi inch square, the
    // picture's top-left corner at the printable area's, never scaled to fit, what lies beyond
    // the printable area cut off. False when the job cannot be started or finished.
    bool Print(const uint8_t* bits, int32_t width, int32_t height, int64_t rowStride, int32_t dpi);

  private:
    struct Job;
    std::unique_ptr<Job> job_;
};
