#include "platform/JpegCodec.h"

#include "platform/FileCalls.h"
#include "platform/JpegEncoder.h"

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <cstdlib>
#include <cstring>
#include <jerror.h>
#include <jpeglib.h>

namespace {

constexpr int Failed = 1;

// The largest file taken for a JPEG. A picture the program can hold has a block within the
// signed 32-bit range, and no JPEG file of such a picture comes near this size; the bound keeps
// every count inside what one ReadFileBytes call moves.
constexpr int64_t MaxJpegFileBytes = INT32_MAX;
// Every JPEG stream begins with the start-of-image marker.
constexpr uint8_t MarkerPrefix = 0xFF, StartOfImage = 0xD8, EndOfImage = 0xD9;
constexpr int64_t StartOfImageBytes = 2;
constexpr int BgrBytes = 3, InkBytes = 4;
constexpr int MinQuality = 1, MaxQuality = 100;

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

// The stream's bytes as the decoder's source. When the decoder asks for more than the stream
// holds it gets an end-of-image marker, and the source notes how far the decoder had come: the
// scan it was reading and the row of blocks (iMCU row) it had reached.
struct StreamSource {
    jpeg_source_mgr manager; // first: the decoder's source pointer is this record's
    JOCTET endMarker[2] = {MarkerPrefix, EndOfImage};
    bool endSupplied = false;
    int endScan = 0;
    JDIMENSION endRow = 0;
};

// Ends the decoder's call with a jump back to the entry, for errors and for warnings that show
// the stream damaged.
struct DecodeErrors {
    jpeg_error_mgr manager; // first: the decoder's error pointer is this record's
    jmp_buf exit;
};

// One libjpeg decompressor with its source, error handling and scan limit, destroyed on every
// path out of the entry that made it. Its fields are only ever reached through a pointer from
// the procedure that jumps back, so that the jump leaves none of them indeterminate.
struct Decoder {
    jpeg_decompress_struct info;
    DecodeErrors errors;
    StreamSource source;
    jpeg_progress_mgr progress;
    uint8_t* inkRows = nullptr; // the ink rows of one call, for four-channel pictures
    bool created = false;
    ~Decoder() {
        if (created)
            jpeg_destroy_decompress(&info);
        std::free(inkRows);
    }
};

[[noreturn]] void LeaveDecoder(j_common_ptr info) {
    longjmp(reinterpret_cast<DecodeErrors*>(info->err)->exit, 1);
}

// Warnings that leave every row decoded from the stream's own data: a few stray bytes before a
// marker, an unknown JFIF revision or Adobe transform, a damaged ICC profile (which is dropped).
// Every other warning reports entropy-coded data that is corrupt, or that ran out before the
// picture was complete (the decoder needed bits it had to invent), and refuses the stream.
bool IsHarmlessWarning(int code) {
    return code == JWRN_EXTRANEOUS_DATA || code == JWRN_JFIF_MAJOR || code == JWRN_ADOBE_XFORM ||
           code == JWRN_BOGUS_ICC;
}

void JudgeMessage(j_common_ptr info, int level) {
    if (level < 0 && !IsHarmlessWarning(info->err->msg_code))
        LeaveDecoder(info);
}

void StartSource(j_decompress_ptr) {}
void EndSource(j_decompress_ptr) {}

boolean SupplyEndMarker(j_decompress_ptr info) {
    auto* source = reinterpret_cast<StreamSource*>(info->src);
    if (!source->endSupplied) {
        source->endSupplied = true;
        source->endScan = info->input_scan_number;
        source->endRow = info->input_iMCU_row;
    }
    source->manager.next_input_byte = source->endMarker;
    source->manager.bytes_in_buffer = sizeof source->endMarker;
    return TRUE;
}

void SkipBytes(j_decompress_ptr info, long count) {
    jpeg_source_mgr* source = info->src;
    if (count <= 0)
        return;
    if (static_cast<size_t>(count) > source->bytes_in_buffer) {
        SupplyEndMarker(info); // the segment runs past the stream's end
        return;
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<size_t>(count);
}

// A progressive stream of absurdly many scans would keep the decoder busy for minutes; no
// encoder writes more than a few dozen.
constexpr int MaxScans = 500;

void LimitScans(j_common_ptr info) {
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > MaxScans)
        LeaveDecoder(info);
}

// Makes the decompressor and reads the stream's header. Called after setjmp.
void StartDecoder(Decoder* decoder, const JpegCodecProps* props, bool keepMarkers) {
    jpeg_decompress_struct* info = &decoder->info;
    info->err = jpeg_std_error(&decoder->errors.manager);
    decoder->errors.manager.error_exit = LeaveDecoder;
    decoder->errors.manager.emit_message = JudgeMessage;
    jpeg_create_decompress(info);
    decoder->created = true;
    StreamSource& source = decoder->source;
    source.manager.next_input_byte = props->fileBytes;
    source.manager.bytes_in_buffer = static_cast<size_t>(props->fileByteCount);
    source.manager.init_source = StartSource;
    source.manager.fill_input_buffer = SupplyEndMarker;
    source.manager.skip_input_data = SkipBytes;
    source.manager.resync_to_restart = jpeg_resync_to_restart;
    source.manager.term_source = EndSource;
    info->src = &source.manager;
    decoder->progress.progress_monitor = LimitScans;
    info->progress = &decoder->progress;
    if (keepMarkers) {
        jpeg_save_markers(info, JPEG_APP0 + 1, 0xFFFF); // Exif
        jpeg_save_markers(info, JPEG_APP0 + 2, 0xFFFF); // ICC profile
    }
    jpeg_read_header(info, TRUE);
}

bool IsInkColorspace(J_COLOR_SPACE colorspace) {
    return colorspace == JCS_CMYK || colorspace == JCS_YCCK;
}

// 4:2:0: the first component sampled twice as densely both ways as the two chroma components
// (and, in YCCK, as dense as the black one).
bool IsSampled420(const jpeg_decompress_struct& info) {
    if (info.num_components != 3 && info.num_components != 4)
        return false;
    const jpeg_component_info* c = info.comp_info;
    bool chroma = c[0].h_samp_factor == 2 && c[0].v_samp_factor == 2 && c[1].h_samp_factor == 1 &&
                  c[1].v_samp_factor == 1 && c[2].h_samp_factor == 1 && c[2].v_samp_factor == 1;
    return chroma &&
           (info.num_components == 3 || (c[3].h_samp_factor == 2 && c[3].v_samp_factor == 2));
}

void KeepMarkers(jpeg_decompress_struct* info, JpegCodecProps* props) {
    static const uint8_t ExifPrefix[] = {'E', 'x', 'i', 'f', 0, 0};
    for (jpeg_saved_marker_ptr marker = info->marker_list; marker != nullptr;
         marker = marker->next) {
        if (marker->marker == JPEG_APP0 + 1 && marker->data_length >= sizeof ExifPrefix &&
            std::memcmp(marker->data, ExifPrefix, sizeof ExifPrefix) == 0) {
            props->exifSegment.assign(marker->data, marker->data + marker->data_length);
            break;
        }
    }
    JOCTET* profile = nullptr;
    unsigned int profileBytes = 0;
    if (jpeg_read_icc_profile(info, &profile, &profileBytes)) {
        props->iccProfile.assign(profile, profile + profileBytes);
        std::free(profile);
    }
}

int ReadHeaderInto(Decoder* decoder, JpegCodecProps* props) {
    if (setjmp(decoder->errors.exit) != 0)
        return Failed;
    StartDecoder(decoder, props, true);
    const jpeg_decompress_struct& info = decoder->info;
    props->jpegWidth = static_cast<int32_t>(info.image_width);
    props->jpegHeight = static_cast<int32_t>(info.image_height);
    props->jpegChannels = info.jpeg_color_space == JCS_GRAYSCALE   ? 1
                          : IsInkColorspace(info.jpeg_color_space) ? 4
                                                                   : 3;
    props->jpegColor = info.jpeg_color_space == JCS_GRAYSCALE ? JpegColorGrey
                       : info.jpeg_color_space == JCS_YCbCr   ? JpegColorYcbcr
                                                              : JpegColorOther;
    props->jpegSubsampling = IsSampled420(info) ? JpegSubsampling420 : JpegSubsamplingOther;
    KeepMarkers(&decoder->info, props);
    return 0;
}

int ReadParameters(JpegCodecProps* props) {
    props->exifSegment.clear();
    props->iccProfile.clear();
    Decoder decoder;
    return ReadHeaderInto(&decoder, props);
}

// The DIB's rows as the codec reads and writes them: width, row count, bytes from one row to
// the next, and whether the first row in memory is the picture's bottom row. False when the
// record does not describe a usable three-channel DIB.
struct DibRows {
    int width = 0, height = 0, pitch = 0;
    bool bottomUp = false;
};

bool DescribeDib(const JpegCodecProps* props, DibRows* rows) {
    if (props->dibChannels != BgrBytes || props->dibWidth <= 0 || props->dibHeight == 0 ||
        props->dibHeight == INT32_MIN || props->dibPadBytes < 0)
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

uint8_t* DibRow(const JpegCodecProps* props, const DibRows& rows, JDIMENSION pictureRow) {
    int64_t row = rows.bottomUp ? rows.height - 1 - int64_t{pictureRow} : int64_t{pictureRow};
    return props->dibBytes + row * rows.pitch;
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

// A CMYK or YCCK row, decoded to ink values and turned into blue-green-red. The ink is taken in
// the inverted form that print software writes (255 is no ink): each colour is its own ink value
// scaled by the black one. Without a colour profile this is an approximation, but the colours
// are the picture's own.
void InkToBgr(const uint8_t* ink, uint8_t* bgr, int width) {
    for (int x = 0; x < width; ++x, ink += InkBytes, bgr += BgrBytes) {
        unsigned black = ink[3];
        bgr[0] = static_cast<uint8_t>((ink[2] * black + 127) / 255);
        bgr[1] = static_cast<uint8_t>((ink[1] * black + 127) / 255);
        bgr[2] = static_cast<uint8_t>((ink[0] * black + 127) / 255);
    }
}

// Whether every row was decoded from the stream's own data. Corrupt data and a Huffman decoder
// that ran out mid-picture have already left with a warning; what remains is where the decoder
// was when it first found the data at an end. A decoder reads a few bytes ahead of the block it
// decodes, so a stream that merely lacks its end marker runs out during its last row of blocks;
// one cut earlier runs out before it. A progressive stream, end marker or not, must have brought
// every bit of every coefficient: cut between two scans it still decodes, blurred. A sequential
// stream in several scans cannot show which components a missing scan would have held, and is
// whole only with its end marker.
bool StreamWasWhole(const jpeg_decompress_struct& info, const StreamSource& source) {
    if (info.progressive_mode) {
        for (int c = 0; c < info.num_components; ++c)
            for (int k = 0; k < DCTSIZE2; ++k)
                if (info.coef_bits[c][k] != 0)
                    return false;
    }
    if (!source.endSupplied)
        return true;
    if (source.endRow + 1 < info.total_iMCU_rows)
        return false;
    return info.progressive_mode || source.endScan <= 1;
}

int DecodeInto(Decoder* decoder, JpegCodecProps* props, const DibRows& rows) {
    if (setjmp(decoder->errors.exit) != 0)
        return Failed;
    StartDecoder(decoder, props, false);
    jpeg_decompress_struct* info = &decoder->info;
    // The DIB was sized for the picture the parameter pass saw; any other size would overrun it.
    if (info->image_width != static_cast<JDIMENSION>(rows.width) ||
        info->image_height != static_cast<JDIMENSION>(rows.height))
        return Failed;
    bool ink = IsInkColorspace(info->jpeg_color_space);
    info->out_color_space = ink ? JCS_CMYK : JCS_EXT_BGR; // grey comes out as three equal bytes
    jpeg_start_decompress(info);
    if (info->output_components != (ink ? InkBytes : BgrBytes))
        return Failed;
    // Straight into the DIB, row by row in either order; ink rows go through a small buffer.
    constexpr JDIMENSION RowsPerCall = 16;
    size_t inkPitch = static_cast<size_t>(InkBytes) * static_cast<size_t>(rows.width);
    if (ink) {
        decoder->inkRows = static_cast<uint8_t*>(std::malloc(inkPitch * RowsPerCall));
        if (decoder->inkRows == nullptr)
            return Failed;
    }
    ZeroPadBytes(props->dibBytes, rows);
    JSAMPROW rowPointers[RowsPerCall];
    while (info->output_scanline < info->output_height) {
        JDIMENSION first = info->output_scanline;
        JDIMENSION count = std::min(RowsPerCall, info->output_height - first);
        for (JDIMENSION i = 0; i < count; ++i)
            rowPointers[i] = ink ? decoder->inkRows + i * inkPitch : DibRow(props, rows, first + i);
        JDIMENSION done = jpeg_read_scanlines(info, rowPointers, count);
        if (ink)
            for (JDIMENSION i = 0; i < done; ++i)
                InkToBgr(rowPointers[i], DibRow(props, rows, first + i), rows.width);
    }
    return StreamWasWhole(*info, decoder->source) ? 0 : Failed;
}

int ReadPicture(JpegCodecProps* props) {
    DibRows rows;
    if (props->dibBytes == nullptr || !DescribeDib(props, &rows) ||
        (props->dibColor != JpegColorBgr && props->dibColor != JpegColorOther))
        return Failed;
    Decoder decoder;
    return DecodeInto(&decoder, props, rows);
}

// The profile travels in at most 255 APP2 segments of 65519 profile bytes each.
constexpr int64_t IccChunkBytes = 65519, MaxIccChunks = 255;
constexpr int32_t MaxDotsPerInch = 65535; // the JFIF density is a 16-bit field

int WritePicture(JpegCodecProps* props) {
    DibRows rows;
    bool fromDib = props->dibBytes != nullptr, fromRowSource = props->rowSource.fill != nullptr;
    if (!DescribeDib(props, &rows) || fromDib == fromRowSource || props->dibColor != JpegColorBgr ||
        props->jpegWidth != rows.width || props->jpegHeight != rows.height ||
        props->jpegChannels != BgrBytes || props->jpegColor != JpegColorYcbcr ||
        props->jpegSubsampling != JpegSubsampling420 || props->jpegQuality < MinQuality ||
        props->jpegQuality > MaxQuality || props->jfifDotsPerInch < 0 ||
        props->jfifDotsPerInch > MaxDotsPerInch ||
        (props->fileName == nullptr && props->intoFile == nullptr) ||
        static_cast<int64_t>(props->iccProfile.size()) > MaxIccChunks * IccChunkBytes)
        return Failed;
    JpegEncoding encoding{
        props->dibBytes,   props->rowSource, rows.width,         rows.height,
        rows.pitch,        rows.bottomUp,    props->jpegQuality, props->jfifDotsPerInch,
        &props->iccProfile};
    if (props->intoFile != nullptr)
        return EncodeJpeg(encoding, *props->intoFile) ? 0 : Failed;
    NewFile file;
    if (!CreateNewFile(props->fileName, &file))
        return Failed;
    if (!EncodeJpeg(encoding, file)) {
        DiscardNewFile(file);
        return Failed;
    }
    return FinishNewFile(file) ? 0 : Failed;
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
