#include "platform/PngCodec.h"

#include <cstdlib>
#include <cstring>
#include <spng.h>

namespace {

constexpr int Failed = 1;
constexpr uint8_t PngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr int BgrBytes = 3, Channels = 4; // decoded as RGBA, 8 or 16 bits a sample
constexpr uint32_t Opaque8 = 255, Opaque16 = 65535;

// One libspng context over the bytes, with the limits set, freed on every path out of the entry
// that made it.
class PngContext {
  public:
    PngContext(const uint8_t* bytes, int64_t count) : context_(spng_ctx_new(0)) {
        if (context_ == nullptr ||
            spng_set_chunk_limits(context_, PngChunkLimit, PngChunkCacheLimit) != 0 ||
            spng_set_png_buffer(context_, bytes, static_cast<size_t>(count)) != 0) {
            spng_ctx_free(context_);
            context_ = nullptr;
        }
    }
    ~PngContext() { spng_ctx_free(context_); }
    PngContext(const PngContext&) = delete;
    PngContext& operator=(const PngContext&) = delete;
    spng_ctx* Get() const { return context_; }

  private:
    spng_ctx* context_;
};

int ReadHeader(const PngContext& context, spng_ihdr* header) {
    if (context.Get() == nullptr || spng_get_ihdr(context.Get(), header) != 0)
        return Failed;
    return header->width >= 1 && header->height >= 1 && header->width <= INT32_MAX &&
                   header->height <= INT32_MAX
               ? 0
               : Failed;
}

// One channel composed onto white by its alpha, rounded: c a + white (1 - a).
uint32_t OntoWhite(uint32_t channel, uint32_t alpha, uint32_t opaque) {
    uint64_t sum = uint64_t{channel} * alpha + uint64_t{opaque} * (opaque - alpha);
    return static_cast<uint32_t>((sum + opaque / 2) / opaque);
}

void ComposeRow8(const uint8_t* rgba, uint8_t* bgr, int64_t width) {
    for (int64_t x = 0; x < width; ++x, rgba += Channels, bgr += BgrBytes) {
        uint32_t alpha = rgba[3];
        for (int c = 0; c < BgrBytes; ++c)
            bgr[c] = static_cast<uint8_t>(OntoWhite(rgba[2 - c], alpha, Opaque8));
    }
}

// 16-bit samples are composed at full precision, then rounded to 8 bits: v x 255 / 65535.
void ComposeRow16(const uint8_t* rgba, uint8_t* bgr, int64_t width) {
    for (int64_t x = 0; x < width; ++x, rgba += Channels * 2, bgr += BgrBytes) {
        uint16_t samples[Channels];
        std::memcpy(samples, rgba, sizeof samples); // host order, as the decoder gives them
        for (int c = 0; c < BgrBytes; ++c) {
            uint32_t wide = OntoWhite(samples[2 - c], samples[3], Opaque16);
            bgr[c] = static_cast<uint8_t>((wide * Opaque8 + Opaque16 / 2) / Opaque16);
        }
    }
}

void KeepProfile(spng_ctx* context, std::vector<uint8_t>* iccProfile) {
    spng_iccp profile{};
    if (spng_get_iccp(context, &profile) == 0 && profile.profile != nullptr)
        iccProfile->assign(profile.profile, profile.profile + profile.profile_len);
}

// Decodes row by row: a picture stored in order needs one decoded row at a time, an interlaced
// one collects its seven passes in a whole decoded picture first.
int DecodeRows(spng_ctx* context, const spng_ihdr& header, uint8_t* rows, int64_t pitch) {
    bool wide = header.bit_depth == 16;
    int format = wide ? SPNG_FMT_RGBA16 : SPNG_FMT_RGBA8;
    size_t pictureBytes = 0;
    if (spng_decoded_image_size(context, format, &pictureBytes) != 0 ||
        spng_decode_image(context, nullptr, 0, format,
                          SPNG_DECODE_TRNS | SPNG_DECODE_PROGRESSIVE) != 0)
        return Failed;
    size_t rowBytes = pictureBytes / header.height;
    bool interlaced = header.interlace_method != SPNG_INTERLACE_NONE;
    auto* decoded = static_cast<uint8_t*>(std::malloc(interlaced ? pictureBytes : rowBytes));
    if (decoded == nullptr)
        return Failed;
    int64_t height = header.height;
    auto compose = [&](int64_t row) {
        const uint8_t* from = decoded + (interlaced ? row * static_cast<int64_t>(rowBytes) : 0);
        uint8_t* to = rows + (height - 1 - row) * pitch;
        if (wide)
            ComposeRow16(from, to, header.width);
        else
            ComposeRow8(from, to, header.width);
    };
    int status = 0;
    do {
        spng_row_info row{};
        if (spng_get_row_info(context, &row) != 0)
            break;
        uint8_t* into = decoded + (interlaced ? row.row_num * rowBytes : 0);
        status = spng_decode_row(context, into, rowBytes);
        if ((status == 0 || status == SPNG_EOI) && !interlaced)
            compose(row.row_num);
    } while (status == 0);
    if (status == SPNG_EOI && interlaced)
        for (int64_t row = 0; row < height; ++row)
            compose(row);
    std::free(decoded);
    return status == SPNG_EOI ? 0 : Failed;
}

} // namespace

bool HasPngSignature(const uint8_t* bytes, int64_t count) {
    return count >= static_cast<int64_t>(sizeof PngSignature) &&
           std::memcmp(bytes, PngSignature, sizeof PngSignature) == 0;
}

int ReadPngSize(const uint8_t* bytes, int64_t count, int32_t* width, int32_t* height) {
    PngContext context(bytes, count);
    spng_ihdr header{};
    if (ReadHeader(context, &header) != 0)
        return Failed;
    *width = static_cast<int32_t>(header.width);
    *height = static_cast<int32_t>(header.height);
    return 0;
}

int DecodePngPicture(const uint8_t* bytes, int64_t count, uint8_t* rows, int64_t pitch,
                     int32_t width, int32_t height, std::vector<uint8_t>* iccProfile) {
    iccProfile->clear();
    PngContext context(bytes, count);
    spng_ihdr header{};
    if (ReadHeader(context, &header) != 0 || header.width != static_cast<uint32_t>(width) ||
        header.height != static_cast<uint32_t>(height))
        return Failed;
    if (DecodeRows(context.Get(), header, rows, pitch) != 0)
        return Failed;
    KeepProfile(context.Get(), iccProfile);
    return 0;
}
