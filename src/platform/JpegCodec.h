#pragma once
// The JPEG codec: a thin layer of our own over libjpeg-turbo (its libjpeg interface), shaped as the
// JPEG reader and writer expect a codec library to be. Each operation holds one properties record
// for the length of the call: the codec initialises it, the operation sets the fields below, hands
// the record to the read or write entry and finally has the codec release it. Every entry returns 0
// on success and non-zero on any failure; the library's own text is never passed on.
//
// What it promises: decoding yields 24-bit blue-green-red rows with the given pad bytes (zeroed)
// for every picture it accepts, whatever the file's colour space, entropy coding or restart
// markers; encoding writes a three-channel YCbCr JPEG file with 4:2:0 chroma at the given
// quality, picture upright. Neither ever flips the picture.

#include "platform/RowSource.h"

#include <cstdint>
#include <vector>

struct NewFile; // FileCalls.h

// Input/output modes of ReadJpegData and WriteJpegData.
inline constexpr int JpegReadParameters = 0; // width, height and channels of the named file
inline constexpr int JpegReadPicture = 2;    // the whole picture from the named file into the DIB
inline constexpr int JpegWritePicture = 8;   // the whole picture from the DIB into the named file

// Colour codes of the DIB and of the JPEG stream.
inline constexpr int32_t JpegColorBgr = 2;     // blue, green, red bytes
inline constexpr int32_t JpegColorYcbcr = 3;   // luma and two chroma channels
inline constexpr int32_t JpegColorGrey = 4;    // one channel, delivered as three equal bytes
inline constexpr int32_t JpegColorOther = 255; // any other colour space (RGB, CMYK, YCCK)

// Chroma sampling codes: 1 keeps chroma at half the luma resolution both ways (4:2:0); the
// parameter pass reports 0 for any other sampling.
inline constexpr int32_t JpegSubsamplingOther = 0;
inline constexpr int32_t JpegSubsampling420 = 1;

struct JpegCodecProps {
    uint8_t* dibBytes = nullptr; // the first pixel row in memory
    int32_t dibWidth = 0;
    int32_t dibHeight = 0;   // negative: bottom-up, the first row in memory is the picture's bottom
    int32_t dibPadBytes = 0; // bytes after the pixels of each row
    int32_t dibChannels = 3;
    int32_t dibColor = JpegColorBgr;
    const char* fileName = nullptr;
    int32_t jpegWidth = 0;
    int32_t jpegHeight = 0;
    int32_t jpegChannels = 3;
    int32_t jpegColor = JpegColorYcbcr;
    int32_t jpegSubsampling = JpegSubsampling420;
    int32_t jpegQuality = 75;

    // Read by the parameter pass: the payload of the first APP1 segment that begins "Exif\0\0",
    // that prefix included, and the ICC profile assembled from the APP2 "ICC_PROFILE" segments in
    // their order (empty when there is none or its segments do not make up a whole profile).
    // Given to the write entry, the profile goes into APP2 segments right after the JFIF segment.
    std::vector<uint8_t> exifSegment;
    std::vector<uint8_t> iccProfile;

    // Read by the write entry only. With rowSource set (and dibBytes null) the DIB's rows come
    // from it a band at a time, so that the picture need never be held whole. The print
    // resolution goes into the JFIF segment: 0 gives none, only the aspect ratio 1:1.
    RowSource rowSource;
    int32_t jfifDotsPerInch = 0;

    // Given to the write entry in place of a file name: the stream goes on at the end of this
    // file being written, which the caller finishes or discards.
    NewFile* intoFile = nullptr;

    // The codec's own: the named file's bytes, read at the first read and kept until release,
    // so that the parameter pass and the picture pass read the file once.
    uint8_t* fileBytes = nullptr;
    int64_t fileByteCount = 0;
};

// Gives every field its initial value, releasing what a record used before still holds.
int InitialiseJpegProps(JpegCodecProps* props);
// Releases what the codec keeps in the record. Safe to call more than once.
void ReleaseJpegProps(JpegCodecProps* props);

// Mode JpegReadParameters reads the named file and sets jpegWidth, jpegHeight, jpegChannels
// (1, 3 or 4), jpegColor and jpegSubsampling; it fails for anything that is not a JPEG file the
// codec can decode the header of. Mode JpegReadPicture decodes the whole picture into the DIB
// described by the dib fields, which must have the file's width and height, 3 channels and
// colour JpegColorBgr or JpegColorOther; the output is blue-green-red in either case, four-channel
// ink pictures included. A stream whose every row was decoded from its own data succeeds even
// without its end marker or with stray bytes before a marker; one whose data ends before the
// last row, or whose entropy-coded data is corrupt, fails, even when part of it could be decoded.
// So does a progressive stream of more scans than any encoder writes.
int ReadJpegData(JpegCodecProps* props, int mode);

// Mode JpegWritePicture encodes the DIB, or the rows its row source makes, into the named file,
// or at the end of intoFile when that is given. The record must describe a three-channel BGR DIB,
// a JPEG of the same size, 3 channels, colour JpegColorYcbcr, sampling JpegSubsampling420,
// quality 1 to 100, a resolution of 0 to 65535 dots per inch and a profile of at most 255 segments
// (16,707,345 bytes). The picture is coded in horizontal strips on two threads, joined by restart
// markers (JpegEncoder.h); decoded, it gives exactly the pixels of the same picture coded in one
// run with TurboJPEG's settings. The named file is written under a temporary name and takes its
// own name only when complete: a failed write keeps an existing file and leaves no partial one.
int WriteJpegData(JpegCodecProps* props, int mode);
