// Printing over Qt's print support: its print dialog (the system's printers and printing to a
// PDF file) and a painter on the chosen printer.

#include "platform/Printing.h"

#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <cstring>

struct ChosenPrinter::Job {
    QPrinter printer{QPrinter::HighResolution};
    bool chosen = false;
};

ChosenPrinter::ChosenPrinter(Dialog* owner) : job_(std::make_unique<Job>()) {
    QPrintDialog dialog(&job_->printer, dynamic_cast<QWidget*>(owner));
    // One page of one picture: no page ranges, current page or selection to offer.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    job_->chosen = dialog.exec() == QDialog::Accepted;
}

ChosenPrinter::~ChosenPrinter() = default;

bool ChosenPrinter::Chosen() const {
    return job_->chosen;
}

PrintableArea ChosenPrinter::Area() const {
    int resolution = job_->printer.resolution();
    QRect paint = job_->printer.pageLayout().paintRectPixels(resolution);
    return {paint.width(), paint.height(), resolution};
}

bool ChosenPrinter::Print(const uint8_t* bits, int32_t width, int32_t height, int64_t rowStride,
                          int32_t dpi) {
    // The picture top row first, as the painter takes it.
    QImage image(width, height, QImage::Format_BGR888);
    if (image.isNull())
        return false;
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), bits + (height - 1 - y) * rowStride,
                    static_cast<size_t>(3 * int64_t{width}));
    QPainter painter;
    if (!painter.begin(&job_->printer)) // the painter's origin: the printable area's corner
        return false;
    double dots = double(job_->printer.resolution()) / dpi;
    painter.drawImage(QRectF(0, 0, width * dots, height * dots), image);
    return painter.end();
}
