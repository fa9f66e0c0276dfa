#include "platform/JpegEncoder.h"

#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <cstdlib>
#include <jerror.h>
#include <jpeglib.h>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

namespace {

// 4:2:0: an MCU covers 16 x 16 pixels.
constexpr int64_t McuPixels = 16;
// A DRI segment gives the interval in 16 bits.
constexpr int64_t MaxRestartInterval = 65535;
// Sixteen strips keep two threads busy to the end whatever the strips hold (a strip of photos
// codes slower than one of plain grey), each thread taking the next strip when it is done.
constexpr int64_t StripsPerPicture = 16;
// Below this many pixels (a 512 x 512 picture, under a millisecond of coding) a second thread
// costs about what it saves.
constexpr int64_t LeastStripPixels = int64_t{1} << 18;
// Rows handed to the coder at a time: one MCU row, which the row source makes in one call.
constexpr int32_t BandRows = 16;
constexpr int BgrBytes = 3;
// From this quality on TurboJPEG codes with the accurate integer DCT, below it with the fast one.
constexpr int AccurateDctQuality = 96;
constexpr uint8_t MarkerPrefix = 0xFF, FirstRestartMarker = 0xD0, EndOfImage = 0xD9;
constexpr int RestartMarkerCount = 8; // RST0 to RST7, in turn
constexpr int64_t MarkerBytes = 2;

// The coded bytes of a strip, in chunks that are never moved or copied once filled.
constexpr size_t ChunkBytes = size_t{64} << 10;

struct Chunk {
    Chunk* next = nullptr;
    size_t used = 0;
    JOCTET bytes[ChunkBytes];
};

// Chunks that have been written, for the next strips: the threads take and give them back, so
// the memory a job touches follows the strips in flight, not the size of the file.
class ChunkPool {
  public:
    ChunkPool() = default;
    ChunkPool(const ChunkPool&) = delete;
    ChunkPool& operator=(const ChunkPool&) = delete;
    ~ChunkPool() {
        while (free_ != nullptr) {
            Chunk* next = free_->next;
            delete free_;
            free_ = next;
        }
    }
    // A chunk, or null when the memory cannot be had.
    Chunk* Take() {
        Chunk* chunk = nullptr;
        {
            std::lock_guard<std::mutex> guard(lock_);
            chunk = free_;
            if (chunk != nullptr)
                free_ = chunk->next;
        }
        if (chunk == nullptr)
            chunk = new (std::nothrow) Chunk;
        if (chunk != nullptr) {
            chunk->next = nullptr;
            chunk->used = 0;
        }
        return chunk;
    }
    void Give(Chunk* list) {
        if (list == nullptr)
            return;
        Chunk* last = list;
        while (last->next != nullptr)
            last = last->next;
        std::lock_guard<std::mutex> guard(lock_);
        last->next = free_;
        free_ = list;
    }

  private:
    std::mutex lock_;
    Chunk* free_ = nullptr;
};

// The coder's destination: a list of chunks from the pool.
struct ChunkedStream {
    jpeg_destination_mgr manager; // first: the coder's destination pointer is this record's
    ChunkPool* pool = nullptr;
    Chunk* first = nullptr;
    Chunk* last = nullptr;
};

struct EncodeErrors {
    jpeg_error_mgr manager; // first: the coder's error pointer is this record's
    jmp_buf exit;
};

[[noreturn]] void LeaveEncoder(j_common_ptr info) {
    longjmp(reinterpret_cast<EncodeErrors*>(info->err)->exit, 1);
}

// Sound input gives the coder nothing to warn about; a warning fails the write, as it failed
// TurboJPEG's.
void JudgeMessage(j_common_ptr info, int level) {
    if (level < 0)
        LeaveEncoder(info);
}

void AppendChunk(j_compress_ptr info) {
    auto* stream = reinterpret_cast<ChunkedStream*>(info->dest);
    Chunk* chunk = stream->pool->Take();
    if (chunk == nullptr)
        ERREXIT(info, JERR_OUT_OF_MEMORY);
    (stream->last == nullptr ? stream->first : stream->last->next) = chunk;
    stream->last = chunk;
    stream->manager.next_output_byte = chunk->bytes;
    stream->manager.free_in_buffer = ChunkBytes;
}

void StartChunks(j_compress_ptr info) {
    AppendChunk(info);
}

boolean NextChunk(j_compress_ptr info) {
    reinterpret_cast<ChunkedStream*>(info->dest)->last->used = ChunkBytes; // it is full
    AppendChunk(info);
    return TRUE;
}

void EndChunks(j_compress_ptr info) {
    auto* stream = reinterpret_cast<ChunkedStream*>(info->dest);
    stream->last->used = ChunkBytes - stream->manager.free_in_buffer;
}

int64_t BytesSoFar(const ChunkedStream& stream) {
    if (stream.last == nullptr)
        return 0;
    int64_t bytes = 0;
    for (const Chunk* chunk = stream.first; chunk != stream.last; chunk = chunk->next)
        bytes += static_cast<int64_t>(chunk->used);
    return bytes + static_cast<int64_t>(ChunkBytes - stream.manager.free_in_buffer);
}

// Bytes [begin, end) of a coded stream: its chunks, and the part of them the file takes.
struct CodedBytes {
    Chunk* chunks = nullptr;
    int64_t begin = 0;
    int64_t end = 0;
    bool done = false;
};

// Hands the chunks the coder has filled over to the caller, and starts the next stream afresh.
CodedBytes TakeCodedBytes(ChunkedStream* stream, int64_t begin, int64_t end) {
    if (stream->last != nullptr) // the coder may not have ended its stream
        stream->last->used = ChunkBytes - stream->manager.free_in_buffer;
    CodedBytes bytes{stream->first, begin, end, true};
    stream->first = stream->last = nullptr;
    return bytes;
}

bool WriteCodedBytes(NewFile& file, const CodedBytes& bytes) {
    int64_t start = 0; // where the chunk begins in the stream
    for (const Chunk* chunk = bytes.chunks; chunk != nullptr && start < bytes.end;
         chunk = chunk->next) {
        int64_t chunkEnd = start + static_cast<int64_t>(chunk->used);
        int64_t from = std::max(bytes.begin, start), to = std::min(bytes.end, chunkEnd);
        if (from < to && !WriteNewFile(file, chunk->bytes + (from - start), to - from))
            return false;
        start = chunkEnd;
    }
    return true;
}

// The density the JFIF segment gives, set here alone: the print resolution in dots per inch,
// or, without one, the aspect ratio 1:1 (density units 0).
void SetJfifDensity(jpeg_compress_struct* info, int32_t dotsPerInch) {
    bool resolution = dotsPerInch > 0;
    info->density_unit = resolution ? 1 : 0;
    info->X_density = info->Y_density = static_cast<UINT16>(resolution ? dotsPerInch : 1);
}

// The settings TurboJPEG's tjCompress2 gives a BGR picture at 4:2:0, in its order, so that the
// pixels decoded are those of a file it would write: the library's defaults (JFIF 1.01, the
// standard Huffman tables, no smoothing), the quality's tables, the fast integer DCT below quality
// 96 and the accurate one from there, YCbCr with the chroma halved both ways.
void Configure(jpeg_compress_struct* info, const JpegEncoding& encoding) {
    info->image_width = static_cast<JDIMENSION>(encoding.width);
    info->image_height = static_cast<JDIMENSION>(encoding.height);
    info->in_color_space = JCS_EXT_BGR;
    info->input_components = BgrBytes;
    jpeg_set_defaults(info);
    jpeg_set_quality(info, encoding.quality, TRUE);
    info->dct_method = encoding.quality >= AccurateDctQuality ? JDCT_ISLOW : JDCT_IFAST;
    jpeg_set_colorspace(info, JCS_YCbCr);
    info->comp_info[0].h_samp_factor = info->comp_info[0].v_samp_factor = 2;
    for (int c = 1; c < BgrBytes; ++c)
        info->comp_info[c].h_samp_factor = info->comp_info[c].v_samp_factor = 1;
    SetJfifDensity(info, encoding.dotsPerInch);
}

// One thread's coder: the library's compressor, its error exit, its chunked destination and,
// for rows from a row source, the band the rows are made in. Its fields are only ever reached
// through a pointer from the procedures that jump back, so that no jump leaves them indeterminate.
struct Encoder {
    jpeg_compress_struct info{};
    EncodeErrors errors{};
    ChunkedStream stream{};
    uint8_t* band = nullptr;
    bool created = false;
    Encoder() = default;
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;
    ~Encoder() {
        if (created)
            jpeg_destroy_compress(&info);
        if (stream.pool != nullptr)
            stream.pool->Give(stream.first);
        std::free(band);
    }
};

bool CreateCompressor(Encoder* encoder, const JpegEncoding& encoding) {
    jpeg_compress_struct* info = &encoder->info;
    info->err = jpeg_std_error(&encoder->errors.manager);
    encoder->errors.manager.error_exit = LeaveEncoder;
    encoder->errors.manager.emit_message = JudgeMessage;
    if (setjmp(encoder->errors.exit) != 0)
        return false;
    jpeg_create_compress(info);
    encoder->created = true;
    ChunkedStream& stream = encoder->stream;
    stream.manager.init_destination = StartChunks;
    stream.manager.empty_output_buffer = NextChunk;
    stream.manager.term_destination = EndChunks;
    info->dest = &stream.manager;
    Configure(info, encoding);
    return true;
}

bool StartEncoder(Encoder* encoder, const JpegEncoding& encoding, ChunkPool* pool) {
    encoder->stream.pool = pool;
    if (encoding.dibBytes == nullptr) {
        encoder->band = static_cast<uint8_t*>(
            std::malloc(static_cast<size_t>(BandRows) * static_cast<size_t>(encoding.pitch)));
        if (encoder->band == nullptr)
            return false;
    }
    return CreateCompressor(encoder, encoding);
}

// Gives up the stream under way after a failure, its chunks back to the pool.
void AbandonStream(Encoder* encoder) {
    jpeg_abort_compress(&encoder->info);
    encoder->stream.pool->Give(encoder->stream.first);
    encoder->stream.first = encoder->stream.last = nullptr;
}

// The file's headers, up to and including the scan header: what the library writes for the
// whole picture with the strips' restart interval before the first row comes. Start-of-image and
// JFIF segment, the profile's APP2 segments, tables, frame header, restart interval, scan header.
bool CodeHeaders(Encoder* encoder, const JpegEncoding& encoding, uint32_t restartInterval,
                 CodedBytes* headers) {
    jpeg_compress_struct* info = &encoder->info;
    if (setjmp(encoder->errors.exit) != 0) {
        AbandonStream(encoder);
        return false;
    }
    info->image_height = static_cast<JDIMENSION>(encoding.height);
    info->restart_interval = restartInterval;
    jpeg_start_compress(info, TRUE);
    const std::vector<uint8_t>* profile = encoding.iccProfile;
    if (profile != nullptr && !profile->empty())
        jpeg_write_icc_profile(info, profile->data(), static_cast<unsigned>(profile->size()));
    JSAMPROW noRows[1] = {nullptr};
    jpeg_write_scanlines(info, noRows, 0); // writes the frame and scan headers, codes nothing
    *headers = TakeCodedBytes(&encoder->stream, 0, BytesSoFar(encoder->stream));
    jpeg_abort_compress(info);
    return true;
}

// Points rows[i] at picture row top + i, counted from the picture's top, for count rows: into the
// DIB, or into the encoder's band after the row source has made them there.
void PointRows(const JpegEncoding& encoding, uint8_t* band, int32_t top, int32_t count,
               JSAMPROW* rows) {
    int32_t firstInMemory = encoding.bottomUp ? encoding.height - top - count : top;
    const uint8_t* place = encoding.dibBytes;
    if (place != nullptr) {
        place += int64_t{firstInMemory} * encoding.pitch;
    } else {
        encoding.rowSource.fill(encoding.rowSource.context, firstInMemory, count, band);
        place = band;
    }
    for (int32_t i = 0; i < count; ++i) {
        int32_t inMemory = encoding.bottomUp ? count - 1 - i : i;
        rows[i] = const_cast<JSAMPROW>(place + int64_t{inMemory} * encoding.pitch);
    }
}

// The strips, the threads' progress through them, and the file they go to.
struct StripWork {
    const JpegEncoding* encoding = nullptr;
    JpegStrips strips;
    NewFile* file = nullptr;
    ChunkPool pool;
    std::atomic<int32_t> nextStrip{0};
    std::atomic<bool> failed{false};
    std::mutex lock; // guards what follows
    std::unique_ptr<CodedBytes[]> coded;
    int32_t nextToWrite = 0;
};

CodedBytes& Coded(StripWork* work, int32_t strip) {
    return work->coded[static_cast<size_t>(strip)];
}

// Codes one strip as a picture of its own: its own headers, which the file does not take, then
// its rows, and its end marker, which the file does not take either.
bool CodeStrip(Encoder* encoder, const StripWork& work, int32_t strip, CodedBytes* bytes) {
    jpeg_compress_struct* info = &encoder->info;
    if (setjmp(encoder->errors.exit) != 0) {
        AbandonStream(encoder);
        return false;
    }
    const JpegEncoding& encoding = *work.encoding;
    int32_t top = strip * work.strips.rows;
    int32_t height = std::min(work.strips.rows, encoding.height - top);
    info->image_height = static_cast<JDIMENSION>(height);
    info->restart_interval = 0;
    jpeg_start_compress(info, TRUE);
    JSAMPROW rows[BandRows];
    jpeg_write_scanlines(info, rows, 0);
    int64_t begin = BytesSoFar(encoder->stream);
    while (info->next_scanline < info->image_height) {
        auto done = static_cast<int32_t>(info->next_scanline);
        int32_t count = std::min(BandRows, height - done);
        PointRows(encoding, encoder->band, top + done, count, rows);
        if (jpeg_write_scanlines(info, rows, static_cast<JDIMENSION>(count)) !=
            static_cast<JDIMENSION>(count))
            ERREXIT(info, JERR_BAD_STATE); // no destination of ours ever suspends
    }
    jpeg_finish_compress(info);
    *bytes = TakeCodedBytes(&encoder->stream, begin, BytesSoFar(encoder->stream) - MarkerBytes);
    return true;
}

bool WriteStrip(NewFile& file, const CodedBytes& bytes, int32_t strip, int32_t count) {
    if (!WriteCodedBytes(file, bytes))
        return false;
    if (strip + 1 == count)
        return true;
    const uint8_t marker[] = {
        MarkerPrefix, static_cast<uint8_t>(FirstRestartMarker + strip % RestartMarkerCount)};
    return WriteNewFile(file, marker, MarkerBytes);
}

// Takes a coded strip and writes every strip that is next in line, in order, each followed by its
// restart marker: a strip finished early waits here for those before it.
void HandOver(StripWork* work, int32_t strip, const CodedBytes& bytes) {
    std::lock_guard<std::mutex> guard(work->lock);
    Coded(work, strip) = bytes;
    while (work->nextToWrite < work->strips.count && Coded(work, work->nextToWrite).done) {
        CodedBytes& next = Coded(work, work->nextToWrite);
        if (!work->failed && !WriteStrip(*work->file, next, work->nextToWrite, work->strips.count))
            work->failed = true;
        work->pool.Give(next.chunks);
        next.chunks = nullptr;
        ++work->nextToWrite;
    }
}

void CodeStrips(StripWork* work, Encoder* encoder) {
    for (;;) {
        int32_t strip = work->nextStrip.fetch_add(1);
        if (strip >= work->strips.count || work->failed)
            return;
        CodedBytes bytes;
        if (!CodeStrip(encoder, *work, strip, &bytes)) {
            work->failed = true;
            return;
        }
        HandOver(work, strip, bytes);
    }
}

void CodeStripsWithOwnEncoder(StripWork* work) {
    Encoder encoder;
    if (!StartEncoder(&encoder, *work->encoding, &work->pool)) {
        work->failed = true;
        return;
    }
    CodeStrips(work, &encoder);
}

// A second thread takes strips beside this one; when none can be had, this one codes them all.
void CodeOnTwoThreads(StripWork* work, Encoder* encoder) {
    if (work->strips.count > 1) {
        try {
            std::thread helper(CodeStripsWithOwnEncoder, work);
            CodeStrips(work, encoder);
            helper.join();
            return;
        } catch (const std::system_error&) {
            // no second thread
        }
    }
    CodeStrips(work, encoder);
}

} // namespace

JpegStrips LayJpegStrips(int32_t width, int32_t height) {
    int64_t mcuColumns = (int64_t{width} + McuPixels - 1) / McuPixels;
    int64_t mcuRows = (int64_t{height} + McuPixels - 1) / McuPixels;
    int64_t mostMcuRows = mcuColumns > 0 ? MaxRestartInterval / mcuColumns : 0;
    int64_t stripMcuRows =
        std::min((mcuRows + StripsPerPicture - 1) / StripsPerPicture, mostMcuRows);
    if (int64_t{width} * height < LeastStripPixels || stripMcuRows < 1 || stripMcuRows >= mcuRows)
        return {height, 1, 0};
    return {static_cast<int32_t>(stripMcuRows * McuPixels),
            static_cast<int32_t>((mcuRows + stripMcuRows - 1) / stripMcuRows),
            static_cast<uint32_t>(stripMcuRows * mcuColumns)};
}

bool EncodeJpeg(const JpegEncoding& encoding, NewFile& file) {
    StripWork work; // before the encoders, whose chunks go back to its pool
    work.encoding = &encoding;
    work.strips = LayJpegStrips(encoding.width, encoding.height);
    work.file = &file;
    work.coded.reset(new (std::nothrow) CodedBytes[static_cast<size_t>(work.strips.count)]);
    Encoder encoder;
    CodedBytes headers;
    if (work.coded == nullptr || !StartEncoder(&encoder, encoding, &work.pool) ||
        !CodeHeaders(&encoder, encoding, work.strips.restartInterval, &headers))
        return false;
    bool written = WriteCodedBytes(file, headers);
    work.pool.Give(headers.chunks);
    if (!written)
        return false;
    CodeOnTwoThreads(&work, &encoder);
    for (int32_t strip = work.nextToWrite; strip < work.strips.count; ++strip)
        work.pool.Give(Coded(&work, strip).chunks); // coded, but not written after a failure
    const uint8_t end[] = {MarkerPrefix, EndOfImage};
    return !work.failed && work.nextToWrite == work.strips.count &&
           WriteNewFile(file, end, MarkerBytes);
}
