#include "image/PdfFile.h"

#include "image/JpegFile.h"
#include "image/SaveFormats.h"
#include "image/SheetMetadata.h"
#include "platform/Deflate.h"
#include "platform/FileCalls.h"

#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int64_t PointsPerInch = 72;
// Page sizes in points are written with four decimals, enough for any resolution to give the
// sheet's own pixel size back.
constexpr int64_t PointScale = 10000;

// The objects of the file, in the order they are written; 0 is the free list's head.
enum Object { Catalog = 1, Pages, Page, Contents, Picture, PictureLength, ObjectCount };

// A PDF file being written: the offset of every object, which the cross-reference table lists,
// taken from the file itself.
struct PdfWriter {
    NewFile file;
    int64_t objectOffsets[ObjectCount] = {};
    bool failed = false;

    void Write(const std::string& text) {
        failed = failed || !WriteNewFile(file, text.data(), static_cast<int64_t>(text.size()));
    }
    void BeginObject(Object object) {
        objectOffsets[object] = NewFileOffset(file);
        Write(std::to_string(object) + " 0 obj\n");
    }
};

// pixels / dpi x 72 in decimal, rounded to four places, without trailing zeros: locale-free.
std::string Points(int64_t pixels, int64_t dpi) {
    int64_t scaled = (pixels * PointsPerInch * PointScale * 2 + dpi) / (2 * dpi);
    char text[48];
    std::snprintf(text, sizeof text, "%" PRId64 ".%04" PRId64, scaled / PointScale,
                  scaled % PointScale);
    std::string points = text;
    points.erase(points.find_last_not_of('0') + 1);
    if (points.back() == '.')
        points.pop_back();
    return points;
}

// The sheet's pixels from the top row down, red, green, blue, compressed without loss.
bool WriteFlatePixels(PdfWriter& pdf, const PackedDib& sheet) {
    int64_t width = ImageWidth(sheet.block), height = ImageHeight(sheet.block);
    std::vector<uint8_t> row(static_cast<size_t>(3 * width));
    DeflateWriter deflate(pdf.file);
    for (int64_t y = height - 1; y >= 0; --y) {
        const uint8_t* stored = sheet.block + InfoHeaderBytes + y * RowStride(width);
        for (int64_t i = 0; i < 3 * width; i += 3) {
            row[static_cast<size_t>(i)] = stored[i + 2];
            row[static_cast<size_t>(i + 1)] = stored[i + 1];
            row[static_cast<size_t>(i + 2)] = stored[i];
        }
        if (!deflate.Add(row.data(), 3 * width))
            return false;
    }
    return deflate.Finish();
}

void WriteObjects(PdfWriter& pdf, const PackedDib& sheet, int32_t saveMode, int32_t dpi) {
    int64_t width = ImageWidth(sheet.block), height = ImageHeight(sheet.block);
    std::string pageWidth = Points(width, dpi), pageHeight = Points(height, dpi);
    pdf.Write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    pdf.BeginObject(Catalog);
    pdf.Write("<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");
    pdf.BeginObject(Pages);
    pdf.Write("<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n");
    pdf.BeginObject(Page);
    pdf.Write("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + pageWidth + " " + pageHeight +
              "] /Resources << /XObject << /Sheet 5 0 R >> >> /Contents 4 0 R >>\nendobj\n");
    // The image space's unit square stretched over the whole page, from its origin.
    std::string contents = "q " + pageWidth + " 0 0 " + pageHeight + " 0 0 cm /Sheet Do Q\n";
    pdf.BeginObject(Contents);
    pdf.Write("<< /Length " + std::to_string(contents.size()) + " >>\nstream\n" + contents +
              "endstream\nendobj\n");
    pdf.BeginObject(Picture);
    pdf.Write("<< /Type /XObject /Subtype /Image /Width " + std::to_string(width) + " /Height " +
              std::to_string(height) + " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter " +
              (saveMode == 0 ? "/FlateDecode" : "/DCTDecode") + " /Length 6 0 R >>\nstream\n");
    int64_t streamStart = NewFileOffset(pdf.file), streamBytes = 0;
    if (!pdf.failed) {
        bool written = saveMode == 0
                           ? WriteFlatePixels(pdf, sheet)
                           : WriteJpegStream(pdf.file, sheet, SaveQualities[saveMode - 1]) == 1;
        pdf.failed = !written;
        streamBytes = NewFileOffset(pdf.file) - streamStart;
    }
    pdf.Write("\nendstream\nendobj\n");
    pdf.BeginObject(PictureLength);
    pdf.Write(std::to_string(streamBytes) + "\nendobj\n");
}

void WriteCrossReferences(PdfWriter& pdf) {
    int64_t table = NewFileOffset(pdf.file);
    std::string text = "xref\n0 " + std::to_string(ObjectCount) + "\n0000000000 65535 f \n";
    for (int object = Catalog; object < ObjectCount; ++object) {
        char entry[24];
        std::snprintf(entry, sizeof entry, "%010" PRId64 " 00000 n \n", pdf.objectOffsets[object]);
        text += entry;
    }
    text += "trailer\n<< /Size " + std::to_string(ObjectCount) + " /Root 1 0 R >>\nstartxref\n" +
            std::to_string(table) + "\n%%EOF\n";
    pdf.Write(text);
}

} // namespace

int WritePdfFile(const char* fileName, const PackedDib& sheet, int32_t saveMode, int32_t dpi) {
    if (sheet.block == nullptr || !IsPackablePicture(sheet) || saveMode < 0 ||
        saveMode >= saveFormatCount || dpi < MinDpi || dpi > MaxDpi)
        return 0;
    PdfWriter pdf;
    if (!CreateNewFile(fileName, &pdf.file))
        return 0;
    WriteObjects(pdf, sheet, saveMode, dpi);
    WriteCrossReferences(pdf);
    if (pdf.failed) {
        DiscardNewFile(pdf.file);
        return 0;
    }
    return FinishNewFile(pdf.file) ? 1 : 0;
}
