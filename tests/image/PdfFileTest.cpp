#include "image/PdfFile.h"

#include "image/JpegFile.h"
#include "support/TestJpegs.h"

#include <gtest/gtest.h>
#include <utility>

namespace {

// The sheet's pixels as a binary PPM holds them: the top row first, red, green, blue.
Bytes PortablePixmap(const PackedDib& sheet) {
    std::string head = "P6\n" + std::to_string(ImageWidth(sheet.block)) + " " +
                       std::to_string(ImageHeight(sheet.block)) + "\n255\n";
    Bytes pixels = TopDownBgr(sheet);
    for (size_t i = 0; i < pixels.size(); i += 3)
        std::swap(pixels[i], pixels[i + 2]);
    pixels.insert(pixels.begin(), head.begin(), head.end());
    return pixels;
}

// The page is the sheet at its resolution, which poppler finds again from the image's placing;
// qpdf finds nothing wrong; the image is the sheet's pixels without loss, or the JPEG stream the
// save format writes.
TEST(WritePdfFile, OnePageOfTheSheetAtItsResolutionAndNoneItCannotHold) {
    ScratchFolder folder;
    const struct {
        int32_t width, height, format, dpi;
        const char *pageSize, *image;
    } cases[] = {
        {1181, 1772, 1, 300, "283.44 x 425.28 pts", "1181 1772 rgb jpeg 300 300"},
        {7, 3, 0, 72, "7 x 3 pts", "7 3 rgb image 72 72"},
        {5, 1, 3, 7, "51.4286 x 10.2857 pts", "5 1 rgb jpeg 7 7"},
        {1, 1, 0, 10000, "0.0072 x 0.0072 pts", "1 1 rgb image 10000 10000"},
    };
    for (const auto& c : cases) {
        PackedDib sheet = MakePicture(c.width, c.height);
        std::string pdf = folder.Path("sheet.pdf");
        ASSERT_EQ(WritePdfFile(pdf.c_str(), sheet, c.format, c.dpi), 1);
        std::string info = CommandOutput("pdfinfo '" + pdf + "'");
        EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
        EXPECT_NE(info.find("Page size:       " + std::string(c.pageSize) + "\n"),
                  std::string::npos)
            << info;
        EXPECT_EQ(PdfImage(pdf), c.image);
        // Any warning, a cross-reference off by a byte too, gives another status than 0.
        EXPECT_EQ(CommandOutput("qpdf --check '" + pdf + "' >/dev/null 2>&1; echo $?"), "0\n");
        std::string prefix = folder.Path("image");
        CommandOutput("pdfimages -j '" + pdf + "' '" + prefix + "'");
        if (c.format == 0) {
            EXPECT_TRUE(ReadWholeFile(prefix + "-000.ppm") == PortablePixmap(sheet));
        } else {
            std::string jpeg = folder.Path("sheet.jpg");
            ASSERT_EQ(WriteJpegFile(jpeg.c_str(), sheet, c.format == 1 ? 75 : 15, {}), 1);
            EXPECT_TRUE(ReadWholeFile(prefix + "-000.jpg") == ReadWholeFile(jpeg));
        }
        for (const std::string& name : folder.Entries())
            std::remove(folder.Path(name).c_str());
        ReleaseDib(sheet);
    }
    // What no page can hold is refused, and leaves no file.
    PackedDib sheet = MakePicture(3, 2);
    std::string pdf = folder.Path("sheet.pdf");
    for (auto [format, dpi] : {std::pair{0, 0}, {0, 10001}, {4, 300}, {-1, 300}})
        EXPECT_EQ(WritePdfFile(pdf.c_str(), sheet, format, dpi), 0) << format << " " << dpi;
    EXPECT_EQ(WritePdfFile(folder.Path("no/such.pdf").c_str(), sheet, 1, 300), 0);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{});
    ReleaseDib(sheet);
}

} // namespace
