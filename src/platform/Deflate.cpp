#include "platform/Deflate.h"

#include <zlib.h>

struct DeflateWriter::Stream {
    z_stream z{};
    Bytef out[64 * 1024];
};

DeflateWriter::DeflateWriter(NewFile& file) : stream_(new (std::nothrow) Stream), file_(file) {
    failed_ = stream_ == nullptr || deflateInit(&stream_->z, Z_DEFAULT_COMPRESSION) != Z_OK;
    if (failed_)
        stream_.reset();
}

DeflateWriter::~DeflateWriter() {
    if (stream_ != nullptr)
        deflateEnd(&stream_->z);
}

bool DeflateWriter::Run(int flush) {
    z_stream& z = stream_->z;
    int result = Z_OK;
    do {
        z.next_out = stream_->out;
        z.avail_out = sizeof stream_->out;
        result = deflate(&z, flush);
        int64_t produced = static_cast<int64_t>(sizeof stream_->out - z.avail_out);
        bool stuck = result == Z_STREAM_ERROR || (flush == Z_FINISH && result == Z_BUF_ERROR);
        if (stuck || !WriteNewFile(file_, stream_->out, produced))
            return false;
        // Output fills the buffer until the input is taken; the end takes as many as it needs.
    } while (flush == Z_FINISH ? result != Z_STREAM_END : z.avail_out == 0);
    return true;
}

bool DeflateWriter::Add(const uint8_t* bytes, int64_t count) {
    while (!failed_ && count > 0) {
        // zlib counts in 32 bits.
        uInt piece = count > int64_t{1} << 30 ? uInt{1} << 30 : static_cast<uInt>(count);
        stream_->z.next_in = const_cast<Bytef*>(bytes);
        stream_->z.avail_in = piece;
        failed_ = !Run(Z_NO_FLUSH);
        bytes += piece;
        count -= piece;
    }
    return !failed_;
}

bool DeflateWriter::Finish() {
    if (!failed_)
        failed_ = !Run(Z_FINISH);
    return !failed_;
}
