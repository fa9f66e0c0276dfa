#include "platform/JpegCodec.h"

#include "platform/FileCalls.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <turbojpeg.h>

namespace {

constexpr int Failed = 1;

// The largest file taken for a JPEG. A picture the program can hold has a block within the
// signed 32-bit range, and no JPEG file of such a picture comes near this size; the bound keeps
// every count inside what one ReadFileBytes call moves.
constexpr int64_t MaxJpegFileBytes = INT32_MAX;
// Every JPEG stream begins with the start-of-image marker.
constexpr uint8_t MarkerPrefix = 0xFF, StartOfImage = 0xD8;
constexpr int64_t StartOfImageBytes = 2;
constexpr int BgrBytes = 3, InkBytes = 4;
constexpr int MinQuality = 1, MaxQuality = 100;

// Decoding stops at the first warning, so a truncated or damaged stream is a failure rather
// than a picture finished in grey; a progressive stream with an absurd number of scans, which
// would keep the decoder busy for minutes, is refused.
constexpr int DecodeFlags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;

// One TurboJPEG handle, destroyed on every path out of the entry that made it.
class TurboHandle {
  public:
    explicit TurboHandle(tjhandle handle) : handle_(handle) {}
    ~TurboHandle() {
        if (handle_ != nullptr)
            tjDestroy(handle_); // fails only for a null handle, which is never passed
    }
    TurboHandle(const TurboHandle&) = delete;
    TurboHandle& operator=(const TurboHandle&) = delete;
    tjhandle Get() const { return handle_; }

  private:
    tjhandle handle_;
};

// Reads the whole of an open file into the record. Only a file that begins with the
// start-of-image marker is read beyond its first two bytes: the loader offers every file to the
// JPEG reader first, and a BMP file should not be read twice.
int ReadOpenFile(FileHandle file, JpegCodecProps* props) {
    int64_t fileBytes = SeekFile(file, 0, SeekFromEnd);
    if (fileBytes < StartOfImageBytes || fileBytes > MaxJpegFileBytes ||
        SeekFile(file, 0, SeekFromStart) != 0)
        return Failed;
    uint8_t marker[StartOfImageBytes];
    if (ReadFileBytes(file, marker, StartOfImageBytes) != StartOfImageBytes ||
        marker[0] != MarkerPrefix || marker[1] != StartOfImage)
        return Failed;
    auto* bytes = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(fileBytes)));
    if (bytes == nullptr)
        return Failed;
    std::memcpy(bytes, marker, StartOfImageBytes);
    auto rest = static_cast<int32_t>(fileBytes - StartOfImageBytes);
    if (ReadFileBytes(file, bytes + StartOfImageBytes, rest) != rest) {
        std::free(bytes);
        return Failed;
    }
    props->fileBytes = bytes;
    props->fileByteCount = fileBytes;
    return 0;
}

// The named file's bytes, read at the first read entry and kept for the next.
int KeepFileBytes(JpegCodecProps* props) {
    if (props->fileBytes != nullptr)
        return 0;
    if (props->fileName == nullptr)
        return Failed;
    FileHandle file = OpenFileForReading(props->fileName);
    if (file == FileError)
        return Failed;
    int result = ReadOpenFile(file, props);
    CloseFile(file);
    return result;
}

struct StreamHeader {
    int width = 0, height = 0, sampling = 0, colorspace = 0;
};

int ReadStreamHeader(tjhandle decoder, const JpegCodecProps* props, StreamHeader* header) {
    if (tjDecompressHeader3(decoder, props->fileBytes,
                            static_cast<unsigned long>(props->fileByteCount), &header->width,
                            &header->height, &header->sampling, &header->colorspace) != 0)
        return Failed;
    return header->width > 0 && header->height > 0 ? 0 : Failed;
}

bool IsInkColorspace(int colorspace) {
    return colorspace == TJCS_CMYK || colorspace == TJCS_YCCK;
}

int ReadParameters(JpegCodecProps* props) {
    TurboHandle decoder(tjInitDecompress());
    StreamHeader header;
    if (decoder.Get() == nullptr || ReadStreamHeader(decoder.Get(), props, &header) != 0)
        return Failed;
    props->jpegWidth = header.width;
    props->jpegHeight = header.height;
    props->jpegChannels = header.colorspace == TJCS_GRAY       ? 1
                          : IsInkColorspace(header.colorspace) ? 4
                                                               : 3;
    props->jpegColor = header.colorspace == TJCS_GRAY    ? JpegColorGrey
                       : header.colorspace == TJCS_YCbCr ? JpegColorYcbcr
                                                         : JpegColorOther;
    props->jpegSubsampling =
        header.sampling == TJSAMP_420 ? JpegSubsampling420 : JpegSubsamplingOther;
    return 0;
}

// The DIB's rows as the codec reads and writes them: width, row count, bytes from one row to
// the next, and whether the first row in memory is the picture's bottom row. False when the
// record does not describe a usable three-channel DIB.
struct DibRows {
    int width = 0, height = 0, pitch = 0;
    bool bottomUp = false;
};

bool DescribeDib(const JpegCodecProps* props, DibRows* rows) {
    if (props->dibBytes == nullptr || props->dibChannels != BgrBytes || props->dibWidth <= 0 ||
        props->dibHeight == 0 || props->dibHeight == INT32_MIN || props->dibPadBytes < 0)
        return false;
    int64_t pitch = int64_t{BgrBytes} * props->dibWidth + props->dibPadBytes;
    if (pitch > INT_MAX)
        return false;
    rows->width = props->dibWidth;
    rows->bottomUp = props->dibHeight < 0;
    rows->height = rows->bottomUp ? -props->dibHeight : props->dibHeight;
    rows->pitch = static_cast<int>(pitch);
    return true;
}

int RowFlags(const DibRows& rows) {
    return rows.bottomUp ? TJFLAG_BOTTOMUP : 0;
}

// The codec leaves the pad bytes alone; zeroing them makes every decoded block the same, byte
// for byte, whatever the memory held before.
void ZeroPadBytes(uint8_t* pixels, const DibRows& rows) {
    size_t pixelBytes = static_cast<size_t>(BgrBytes) * static_cast<size_t>(rows.width);
    size_t padBytes = static_cast<size_t>(rows.pitch) - pixelBytes;
    if (padBytes == 0)
        return;
    for (int row = 0; row < rows.height; ++row)
        std::memset(pixels + static_cast<size_t>(row) * static_cast<size_t>(rows.pitch) +
                        pixelBytes,
                    0, padBytes);
}

// A CMYK or YCCK picture, decoded to ink values and turned into blue-green-red. The ink is
// taken in the inverted form that print software writes (255 is no ink), which is also how
// TurboJPEG encodes it: each colour is its own ink value scaled by the black one. Without a
// colour profile this is an approximation, but the colours are the picture's own.
int DecodeInkPicture(tjhandle decoder, const JpegCodecProps* props, const DibRows& rows) {
    size_t inkPitch = static_cast<size_t>(InkBytes) * static_cast<size_t>(rows.width);
    auto* ink = static_cast<uint8_t*>(std::malloc(inkPitch * static_cast<size_t>(rows.height)));
    if (ink == nullptr)
        return Failed;
    if (tjDecompress2(decoder, props->fileBytes, static_cast<unsigned long>(props->fileByteCount),
                      ink, rows.width, static_cast<int>(inkPitch), rows.height, TJPF_CMYK,
                      DecodeFlags | RowFlags(rows)) != 0) {
        std::free(ink);
        return Failed;
    }
    for (int row = 0; row < rows.height; ++row) {
        const uint8_t* from = ink + static_cast<size_t>(row) * inkPitch;
        uint8_t* to = props->dibBytes + static_cast<size_t>(row) * static_cast<size_t>(rows.pitch);
        for (int x = 0; x < rows.width; ++x, from += InkBytes, to += BgrBytes) {
            unsigned black = from[3];
            to[0] = static_cast<uint8_t>((from[2] * black + 127) / 255);
            to[1] = static_cast<uint8_t>((from[1] * black + 127) / 255);
            to[2] = static_cast<uint8_t>((from[0] * black + 127) / 255);
        }
    }
    std::free(ink);
    return 0;
}

int ReadPicture(JpegCodecProps* props) {
    DibRows rows;
    if (!DescribeDib(props, &rows) ||
        (props->dibColor != JpegColorBgr && props->dibColor != JpegColorOther))
        return Failed;
    TurboHandle decoder(tjInitDecompress());
    StreamHeader header;
    if (decoder.Get() == nullptr || ReadStreamHeader(decoder.Get(), props, &header) != 0)
        return Failed;
    // The DIB was sized for the picture the parameter pass saw; any other size would overrun it.
    if (header.width != rows.width || header.height != rows.height)
        return Failed;
    ZeroPadBytes(props->dibBytes, rows);
    if (IsInkColorspace(header.colorspace))
        return DecodeInkPicture(decoder.Get(), props, rows);
    // Straight into the DIB: the pitch skips the pad bytes and the bottom-up flag matches the
    // row order, so no intermediate copy is needed. Grey comes out as three equal bytes.
    if (tjDecompress2(decoder.Get(), props->fileBytes,
                      static_cast<unsigned long>(props->fileByteCount), props->dibBytes, rows.width,
                      rows.pitch, rows.height, TJPF_BGR, DecodeFlags | RowFlags(rows)) != 0)
        return Failed;
    return 0;
}

// Writes the encoded stream through the never-lose-a-file path of the BMP writer.
int WriteStream(const char* fileName, const unsigned char* stream, unsigned long streamBytes) {
    NewFile file;
    if (!CreateNewFile(fileName, &file))
        return Failed;
    if (!WriteNewFile(file, stream, static_cast<int64_t>(streamBytes))) {
        DiscardNewFile(file);
        return Failed;
    }
    return FinishNewFile(file) ? 0 : Failed;
}

int WritePicture(JpegCodecProps* props) {
    DibRows rows;
    if (!DescribeDib(props, &rows) || props->dibColor != JpegColorBgr ||
        props->jpegWidth != rows.width || props->jpegHeight != rows.height ||
        props->jpegChannels != BgrBytes || props->jpegColor != JpegColorYcbcr ||
        props->jpegSubsampling != JpegSubsampling420 || props->jpegQuality < MinQuality ||
        props->jpegQuality > MaxQuality || props->fileName == nullptr)
        return Failed;
    TurboHandle encoder(tjInitCompress());
    if (encoder.Get() == nullptr)
        return Failed;
    // The stream goes into one buffer of the worst-case size, so the encoder never grows it: left
    // to grow, it doubles from a few kilobytes, copying the stream at every step and leaving each
    // old buffer behind touched (31 MB touched and 15 MB copied for a 10 MB stream). Only the
    // pages the stream fills are ever touched, so the worst case costs address space, not memory.
    // Where even the address space cannot be had, the encoder grows its own buffer after all.
    unsigned long capacity = tjBufSize(rows.width, rows.height, TJSAMP_420);
    auto* stream = static_cast<unsigned char*>(
        capacity == static_cast<unsigned long>(-1) ? nullptr : std::malloc(capacity));
    bool ownBuffer = stream != nullptr;
    unsigned long streamBytes = ownBuffer ? capacity : 0;
    int flags = RowFlags(rows) | (ownBuffer ? TJFLAG_NOREALLOC : 0);
    int result = Failed;
    if (tjCompress2(encoder.Get(), props->dibBytes, rows.width, rows.pitch, rows.height, TJPF_BGR,
                    &stream, &streamBytes, TJSAMP_420, props->jpegQuality, flags) == 0)
        result = WriteStream(props->fileName, stream, streamBytes);
    if (ownBuffer)
        std::free(stream);
    else
        tjFree(stream); // allocated by the encoder, even when it fails
    return result;
}

} // namespace

int InitialiseJpegProps(JpegCodecProps* props) {
    if (props == nullptr)
        return Failed;
    ReleaseJpegProps(props); // a record used before may still hold a file's bytes
    *props = JpegCodecProps{};
    return 0;
}

void ReleaseJpegProps(JpegCodecProps* props) {
    if (props == nullptr)
        return;
    std::free(props->fileBytes);
    props->fileBytes = nullptr;
    props->fileByteCount = 0;
}

int ReadJpegData(JpegCodecProps* props, int mode) {
    if (props == nullptr || (mode != JpegReadParameters && mode != JpegReadPicture))
        return Failed;
    if (KeepFileBytes(props) != 0)
        return Failed;
    return mode == JpegReadParameters ? ReadParameters(props) : ReadPicture(props);
}

int WriteJpegData(JpegCodecProps* props, int mode) {
    if (props == nullptr || mode != JpegWritePicture)
        return Failed;
    return WritePicture(props);
}
