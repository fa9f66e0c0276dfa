#include "image/JpegFile.h"

#include "platform/FileCalls.h"
#include "platform/JpegCodec.h"

#include <cstdint>
#include <utility>

namespace {

constexpr int32_t DibChannels = 3;

int64_t PadBytes(int64_t width) {
    return RowStride(width) - DibChannels * width;
}

// Whether every pixel row the header describes lies inside the block, so that the encoder never
// reads past it.
bool RowsLieInBlock(const PackedDib& image) {
    int64_t width = ImageWidth(image.block), height = ImageHeight(image.block);
    int64_t rows = height < 0 ? -height : height; // 64-bit, so INT32_MIN negates safely
    return width >= 1 && rows >= 1 && InfoHeaderBytes + RowStride(width) * rows <= image.blockBytes;
}

// A 24-bit picture whose rows lie inside its block: beyond the bit count, a short block is refused
// rather than read past its end.
bool IsEncodable(const PackedDib& image) {
    return image.block != nullptr && image.blockBytes >= InfoHeaderBytes &&
           ImageBitCount(image.block) == DibBitCount && RowsLieInBlock(image);
}

// Where the codec writes the file: under its name, through the path that never loses a file, or
// on at the end of a file being written.
struct JpegTarget {
    const char* fileName = nullptr;
    NewFile* intoFile = nullptr;
};

// Writes the rows of a DIB in memory, or those a row source makes (pixels null), through the
// codec; a negative height is a top-down picture. What the metadata holds that a JPEG file can
// carry goes to the codec here.
int WriteJpeg(const JpegTarget& target, int32_t width, int32_t height, uint8_t* pixels,
              const RowSource& rows, int32_t quality, const SheetMetadata& metadata) {
    JpegCodecProps props;
    if (InitialiseJpegProps(&props) != 0)
        return 0;
    props.dibBytes = pixels;
    props.rowSource = rows;
    props.dibWidth = width;
    props.dibHeight = -height; // negative: bottom-up, as a positive biHeight declares
    props.dibPadBytes = static_cast<int32_t>(PadBytes(width));
    props.dibChannels = DibChannels;
    props.dibColor = JpegColorBgr;
    props.fileName = target.fileName;
    props.intoFile = target.intoFile;
    props.jpegWidth = width;
    props.jpegHeight = height < 0 ? -height : height;
    props.jpegChannels = DibChannels;
    props.jpegColor = JpegColorYcbcr;
    props.jpegSubsampling = JpegSubsampling420;
    props.jpegQuality = quality;
    props.iccProfile = metadata.iccProfile;
    props.jfifDotsPerInch = metadata.dpi; // 0: the aspect ratio 1:1 alone
    int result = WriteJpegData(&props, JpegWritePicture) == 0 ? 1 : 0;
    ReleaseJpegProps(&props);
    return result;
}

} // namespace

PackedDib ReadJpegFile(const char* fileName, JpegMetadata* metadata) {
    JpegCodecProps props;
    if (InitialiseJpegProps(&props) != 0)
        return {};
    props.fileName = fileName;
    if (ReadJpegData(&props, JpegReadParameters) != 0) {
        ReleaseJpegProps(&props);
        return {};
    }
    int32_t width = props.jpegWidth, height = props.jpegHeight;
    int64_t pad = PadBytes(width);
    int64_t pixelBytes = (DibChannels * int64_t{width} + pad) * height;
    // A header of a few bytes can claim 65500 x 65500 pixels: a block beyond the signed 32-bit
    // range is refused here, before any memory is taken for it.
    PackedDib image = AllocateDib(pixelBytes + InfoHeaderBytes);
    if (image.block == nullptr) {
        ReleaseJpegProps(&props);
        return {};
    }
    WriteInfoHeader(image.block, width, height, 0);
    props.dibWidth = width;
    props.dibHeight = -height; // bottom-up, as the positive biHeight declares
    props.dibChannels = DibChannels;
    props.dibColor = JpegColorBgr;
    props.dibPadBytes = static_cast<int32_t>(pad);
    props.dibBytes = image.block + InfoHeaderBytes;
    if (props.jpegChannels == 1) {
        props.jpegColor = JpegColorGrey;
    } else if (props.jpegChannels == DibChannels) {
        props.jpegColor = JpegColorYcbcr;
    } else {
        props.dibColor = JpegColorOther;
        props.jpegColor = JpegColorOther;
    }
    int result = ReadJpegData(&props, JpegReadPicture);
    ReleaseJpegProps(&props);
    if (result != 0) {
        ReleaseDib(image);
        return {};
    }
    if (metadata != nullptr)
        *metadata = {std::move(props.exifSegment), std::move(props.iccProfile)};
    return image;
}

int WriteJpegFile(const char* fileName, const PackedDib& image, int32_t quality,
                  const SheetMetadata& metadata) {
    if (!IsEncodable(image))
        return 0;
    // A top-down picture (negative height) is read top-down; its height is not INT32_MIN, whose
    // rows lie in no block.
    return WriteJpeg({fileName}, ImageWidth(image.block), ImageHeight(image.block),
                     image.block + InfoHeaderBytes, {}, quality, metadata);
}

int WriteJpegRows(const char* fileName, int32_t width, int32_t height, const RowSource& rows,
                  int32_t quality, const SheetMetadata& metadata) {
    if (width < 1 || height < 1 || rows.fill == nullptr)
        return 0;
    return WriteJpeg({fileName}, width, height, nullptr, rows, quality, metadata);
}

int WriteJpegStream(NewFile& file, const PackedDib& image, int32_t quality) {
    if (!IsEncodable(image))
        return 0;
    return WriteJpeg({nullptr, &file}, ImageWidth(image.block), ImageHeight(image.block),
                     image.block + InfoHeaderBytes, {}, quality, {});
}
