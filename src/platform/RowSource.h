#pragma once
// Pixel rows made on demand, for the writers that never hold a whole picture: a procedure and the
// values it works from, C style, as the codec library's own call-backs are.

#include <cstdint>

// Fills `count` rows of a picture, from stored row `first` on, into `rows`: one after another in
// stored order (the order of a DIB's rows in memory), one row stride apart, pad bytes included.
// A writer may call it from two threads at once, each time for rows of its own; it only reads
// what the context holds.
struct RowSource {
    void (*fill)(const void* context, int32_t first, int32_t count, uint8_t* rows) = nullptr;
    const void* context = nullptr;
};
