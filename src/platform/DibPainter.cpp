#include "platform/DibPainter.h"

#include <QImage>

#include <vector>

void DrawDibNearest(QPainter& painter, int32_t x, int32_t y, int32_t destinationWidth,
                    int32_t destinationHeight, const uint8_t* bits, int32_t width, int32_t height,
                    int64_t rowStride) {
    if (destinationWidth <= 0 || destinationHeight <= 0 || width <= 0 || height <= 0)
        return;
    // Each destination pixel takes the source pixel it falls on.
    std::vector<int64_t> columnOffsets(static_cast<size_t>(destinationWidth));
    for (int32_t i = 0; i < destinationWidth; ++i)
        columnOffsets[static_cast<size_t>(i)] = 3 * (int64_t{i} * width / destinationWidth);
    QImage image(destinationWidth, destinationHeight, QImage::Format_RGB32);
    for (int32_t j = 0; j < destinationHeight; ++j) {
        int64_t fromTop = int64_t{j} * height / destinationHeight;
        const uint8_t* row = bits + (height - 1 - fromTop) * rowStride; // rows stored bottom-up
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(j));
        for (int32_t i = 0; i < destinationWidth; ++i) {
            const uint8_t* pixel = row + columnOffsets[static_cast<size_t>(i)];
            target[i] = qRgb(pixel[2], pixel[1], pixel[0]);
        }
    }
    painter.drawImage(x, y, image);
}
