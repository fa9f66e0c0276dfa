#pragma once
// The JPEG codec's encoder, behind the write entry of JpegCodec.h: a picture coded in horizontal
// strips on two threads. Each strip is an independent entropy-coded run of whole 16-row MCUs; the
// runs are joined by restart markers whose interval (DRI) is one strip's MCU count, so the file is
// exactly the one the codec library writes in one run with that restart interval, and it decodes
// to the pixels of a file without strips. The strips depend on the picture's size alone, never on
// the machine: the same picture gives the same bytes everywhere.

#include "platform/FileCalls.h"
#include "platform/RowSource.h"

#include <cstdint>
#include <vector>

// The strips of a picture: rows per strip (a multiple of 16; the last strip may be shorter),
// their count, and the restart interval in MCUs (0 for one strip, which has no restart markers).
struct JpegStrips {
    int32_t rows = 0;
    int32_t count = 1;
    uint32_t restartInterval = 0;
};

// Sixteen strips where the picture is large enough to share between two threads and a restart
// interval can describe them; one strip of the whole height otherwise.
JpegStrips LayJpegStrips(int32_t width, int32_t height);

// What the encoder codes: the rows of a DIB in memory, or rows its row source makes, and how.
struct JpegEncoding {
    const uint8_t* dibBytes = nullptr; // null: the rows come from rowSource
    RowSource rowSource;
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;     // bytes from one row in memory to the next
    bool bottomUp = false; // the first row in memory is the picture's bottom row
    int32_t quality = 75;
    int32_t dotsPerInch = 0; // 0: none; the JFIF segment gives the aspect ratio 1:1 alone
    const std::vector<uint8_t>* iccProfile = nullptr;
};

// Codes the picture into a new file, from its start-of-image marker to its end marker, in APP2
// segments right after the JFIF segment the profile when there is one; false on any failure of
// the codec library, of the memory or of the file.
bool EncodeJpeg(const JpegEncoding& encoding, NewFile& file);
