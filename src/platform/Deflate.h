#pragma once
// Lossless compression over zlib: bytes compressed in the zlib format, as PDF's FlateDecode
// filter reads them, written straight into a file being written, a piece at a time.

#include "platform/FileCalls.h"

#include <cstdint>
#include <memory>

class DeflateWriter {
  public:
    explicit DeflateWriter(NewFile& file);
    ~DeflateWriter();
    DeflateWriter(const DeflateWriter&) = delete;
    DeflateWriter& operator=(const DeflateWriter&) = delete;

    // Compresses the bytes into the file; false once anything has failed.
    bool Add(const uint8_t* bytes, int64_t count);
    // Ends the compressed stream; false when it or anything before failed.
    bool Finish();

  private:
    bool Run(int flush);

    struct Stream;
    std::unique_ptr<Stream> stream_;
    NewFile& file_;
    bool failed_ = false;
};
