"""Bytes of BMP and JPEG files, built from nothing but the Python standard library, for the
bad-file corpus (scripts/make-bad-files) and the fuzz seeds (fuzz/make-seeds).

The JPEG encoder is the plainest baseline one: 8-bit samples, the example quantisation and
Huffman tables of the JPEG standard, one interleaved scan. It is enough to make real streams of
one, three (YCbCr, any sampling) and four (CMYK, YCCK) channels that every decoder reads, and so
to damage them in known places.
"""

import math
import struct
import zlib

# --- BMP ---------------------------------------------------------------------------------------

FILE_HEADER_BYTES = 14
INFO_HEADER_BYTES = 40


def row_stride(width, bit_count=24):
    return (width * bit_count + 31) // 32 * 4


def pattern_pixel(x, y):
    """A lopsided pattern in distinct blue, green and red, so that flips and swaps show."""
    return bytes(((10 + 7 * x + y) & 0xFF, (100 + 3 * y) & 0xFF, (200 + x * y) & 0xFF))


def pixel_rows(width, height, bit_count=24):
    """Bottom-up rows of the pattern, padded with 0xEE; 8-bit pictures index a grey table."""
    stride = row_stride(width, bit_count)
    rows = bytearray()
    for y in range(height):
        row = bytearray()
        for x in range(width):
            row += pattern_pixel(x, y) if bit_count == 24 else bytes([(x * 16 + y) & 0xFF])
        rows += row + b"\xee" * (stride - len(row))
    return bytes(rows)


def info_header(width, height, bit_count=24, clr_used=0, size_image=0, header_bytes=40):
    """A BITMAPINFOHEADER (40 bytes) or, with header_bytes 108 or 124, a V4 or V5 header whose
    first 40 bytes are the same fields and whose remainder holds plausible masks and zeros."""
    header = struct.pack("<IiiHHIIiiII", header_bytes, width, height, 1, bit_count, 0,
                         size_image, 2835, 2835, clr_used, 0)
    if header_bytes > INFO_HEADER_BYTES:
        masks = struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
        header += masks + b"sRGB"[::-1]
        header += b"\0" * (header_bytes - len(header))
    return header


def core_header(width, height, bit_count=24):
    """A 12-byte BITMAPCOREHEADER with 16-bit width and height."""
    return struct.pack("<IHHHH", 12, width, height, 1, bit_count)


def bmp_file(block, file_bytes=None, pixel_offset=None):
    """A 14-byte file header in front of the block; the size and offset fields as given or as a
    writer would set them."""
    size = FILE_HEADER_BYTES + len(block) if file_bytes is None else file_bytes
    offset = FILE_HEADER_BYTES + INFO_HEADER_BYTES if pixel_offset is None else pixel_offset
    return b"BM" + struct.pack("<IHHI", size & 0xFFFFFFFF, 0, 0, offset) + block


def good_bmp(width, height):
    """A 24-bit bottom-up BMP file of the pattern, the form the program packs."""
    pixels = pixel_rows(width, height)
    return bmp_file(info_header(width, height, size_image=len(pixels)) + pixels)


# --- JPEG --------------------------------------------------------------------------------------

ZIGZAG = [
    0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5,
    12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6, 7, 14, 21, 28,
    35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
    58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
]

# The example tables of the JPEG standard (Annex K), in natural (row by row) order.
LUMA_QUANT = [
    16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55,
    14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29, 51, 87, 80, 62,
    18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
]
CHROMA_QUANT = [
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
]

DC_LUMA_BITS = [0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]
DC_CHROMA_BITS = [0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0]
DC_VALUES = list(range(12))
AC_LUMA_BITS = [0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D]
AC_LUMA_VALUES = bytes.fromhex(
    "01020300041105122131410613516107227114328191a1082342b1c11552d1f02433627282090a161718191a"
    "25262728292a3435363738393a434445464748494a535455565758595a636465666768696a73747576777879"
    "7a838485868788898a92939495969798999aa2a3a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9"
    "cad2d3d4d5d6d7d8d9dae1e2e3e4e5e6e7e8e9eaf1f2f3f4f5f6f7f8f9fa")
AC_CHROMA_BITS = [0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77]
AC_CHROMA_VALUES = bytes.fromhex(
    "000102031104052131061241510761711322328108144291a1b1c109233352f0156272d10a162434e125f1"
    "1718191a262728292a35363738393a434445464748494a535455565758595a636465666768696a7374757677"
    "78797a82838485868788898a92939495969798999aa2a3a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6"
    "c7c8c9cad2d3d4d5d6d7d8d9dae2e3e4e5e6e7e8e9eaf2f3f4f5f6f7f8f9fa")


def scaled_quant(table, quality):
    """A quantisation table scaled for a quality of 1 to 100 as the common encoders scale it."""
    scale = 5000 // quality if quality < 50 else 200 - 2 * quality
    return [min(255, max(1, (q * scale + 50) // 100)) for q in table]


def huffman_codes(bits, values):
    """Code and length of each symbol, from the counts of codes of each length (Annex C)."""
    codes, code, k = {}, 0, 0
    for length in range(1, 17):
        for _ in range(bits[length - 1]):
            codes[values[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.value = 0
        self.count = 0

    def put(self, value, length):
        for i in range(length - 1, -1, -1):
            self.value = self.value << 1 | (value >> i & 1)
            self.count += 1
            if self.count == 8:
                self.out.append(self.value)
                if self.value == 0xFF:
                    self.out.append(0)  # byte stuffing: 0xFF in entropy data is 0xFF 0x00
                self.value = self.count = 0

    def flush(self):
        if self.count:
            self.put(0x7F, 8 - self.count)  # pad with one bits


def magnitude_bits(value):
    """The category of a coefficient and the bits that follow its code."""
    size = abs(value).bit_length()
    return size, (value if value >= 0 else value + (1 << size) - 1)


COSINES = [[math.cos((2 * x + 1) * u * math.pi / 16) for x in range(8)] for u in range(8)]


def forward_dct(samples):
    """The 2-D DCT of 64 level-shifted samples, natural order."""
    out = [0.0] * 64
    for v in range(8):
        for u in range(8):
            total = 0.0
            for y in range(8):
                row = samples[y * 8:y * 8 + 8]
                cy = COSINES[v][y]
                for x in range(8):
                    total += row[x] * COSINES[u][x] * cy
            cu = math.sqrt(0.5) if u == 0 else 1.0
            cv = math.sqrt(0.5) if v == 0 else 1.0
            out[v * 8 + u] = total * cu * cv / 4
    return out


def segment(marker, payload):
    return bytes([0xFF, marker]) + struct.pack(">H", len(payload) + 2) + payload


def dht_payload(table_class, table_id, bits, values):
    return bytes([table_class << 4 | table_id]) + bytes(bits) + bytes(values)


def encode_jpeg(width, height, planes, sampling, quality=75, restart_interval=0, adobe=None):
    """A baseline JPEG stream.

    planes: one function per component, (x, y) -> sample 0..255, y counted from the top;
    sampling: (h, v) per component; adobe: None for a JFIF stream (one or three channels), or the
    colour transform of an Adobe marker (0: CMYK or RGB stored as is, 2: YCCK).
    """
    count = len(planes)
    hmax = max(h for h, _ in sampling)
    vmax = max(v for _, v in sampling)
    quants = [scaled_quant(LUMA_QUANT, quality), scaled_quant(CHROMA_QUANT, quality)]
    # The first component (luma, or cyan) takes table 0, the others table 1.
    table_of = [0] + [1] * (count - 1)
    dc_tables = [huffman_codes(DC_LUMA_BITS, DC_VALUES), huffman_codes(DC_CHROMA_BITS, DC_VALUES)]
    ac_tables = [huffman_codes(AC_LUMA_BITS, AC_LUMA_VALUES),
                 huffman_codes(AC_CHROMA_BITS, AC_CHROMA_VALUES)]

    out = bytearray(b"\xff\xd8")
    if adobe is None:
        out += segment(0xE0, b"JFIF\0" + bytes([1, 1, 0, 0, 1, 0, 1, 0, 0]))
    else:
        out += segment(0xEE, b"Adobe" + struct.pack(">HHHB", 100, 0, 0, adobe))
    for table in range(2 if count > 1 else 1):
        out += segment(0xDB, bytes([table]) + bytes(quants[table][i] for i in ZIGZAG))
    frame = struct.pack(">BHHB", 8, height, width, count)
    for c in range(count):
        frame += bytes([c + 1, sampling[c][0] << 4 | sampling[c][1], table_of[c]])
    out += segment(0xC0, frame)
    out += segment(0xC4, dht_payload(0, 0, DC_LUMA_BITS, DC_VALUES))
    out += segment(0xC4, dht_payload(1, 0, AC_LUMA_BITS, AC_LUMA_VALUES))
    if count > 1:
        out += segment(0xC4, dht_payload(0, 1, DC_CHROMA_BITS, DC_VALUES))
        out += segment(0xC4, dht_payload(1, 1, AC_CHROMA_BITS, AC_CHROMA_VALUES))
    if restart_interval:
        out += segment(0xDD, struct.pack(">H", restart_interval))
    scan = bytes([count])
    for c in range(count):
        scan += bytes([c + 1, table_of[c] << 4 | table_of[c]])
    out += segment(0xDA, scan + bytes([0, 63, 0]))

    mcu_width, mcu_height = 8 * hmax, 8 * vmax
    mcus_across = (width + mcu_width - 1) // mcu_width
    mcus_down = (height + mcu_height - 1) // mcu_height
    bits = BitWriter()
    predictions = [0] * count
    mcu_number = 0
    for my in range(mcus_down):
        for mx in range(mcus_across):
            if restart_interval and mcu_number and mcu_number % restart_interval == 0:
                bits.flush()
                bits.out += bytes([0xFF, 0xD0 + (mcu_number // restart_interval - 1) % 8])
                predictions = [0] * count
            mcu_number += 1
            for c in range(count):
                h, v = sampling[c]
                for by in range(v):
                    for bx in range(h):
                        samples = []
                        for y in range(8):
                            for x in range(8):
                                # Component sample (cx, cy) covers hmax/h x vmax/v pixels; the
                                # picture's edge pixels are repeated into the partial blocks.
                                cx = (mx * h + bx) * 8 + x
                                cy = (my * v + by) * 8 + y
                                px = min(width - 1, cx * hmax // h)
                                py = min(height - 1, cy * vmax // v)
                                samples.append(planes[c](px, py) - 128)
                        coefficients = forward_dct(samples)
                        quant = quants[table_of[c]]
                        zz = [int(round(coefficients[ZIGZAG[i]] / quant[ZIGZAG[i]]))
                              for i in range(64)]
                        diff = zz[0] - predictions[c]
                        predictions[c] = zz[0]
                        size, extra = magnitude_bits(diff)
                        code, length = dc_tables[table_of[c]][size]
                        bits.put(code, length)
                        bits.put(extra, size)
                        run = 0
                        for i in range(1, 64):
                            if zz[i] == 0:
                                run += 1
                                continue
                            while run > 15:
                                code, length = ac_tables[table_of[c]][0xF0]
                                bits.put(code, length)
                                run -= 16
                            size, extra = magnitude_bits(zz[i])
                            code, length = ac_tables[table_of[c]][run << 4 | size]
                            bits.put(code, length)
                            bits.put(extra, size)
                            run = 0
                        if run:
                            code, length = ac_tables[table_of[c]][0x00]
                            bits.put(code, length)
    bits.flush()
    out += bits.out
    out += b"\xff\xd9"
    return bytes(out)


def smooth_planes(kind):
    """Smooth lopsided sample functions: colour (Y, Cb, Cr), grey, or four inks."""
    if kind == "grey":
        return [lambda x, y: (40 + 6 * x + 3 * y) % 256]
    if kind == "ink":
        return [lambda x, y: (30 + 5 * x) % 256, lambda x, y: (200 - 4 * y) % 256,
                lambda x, y: (90 + 3 * x + 2 * y) % 256, lambda x, y: (250 - x) % 256]
    return [lambda x, y: (50 + 5 * x + 4 * y) % 256, lambda x, y: (110 + 3 * x) % 256,
            lambda x, y: (160 - 3 * y) % 256]


def colour_jpeg(width, height, sampling=((2, 2), (1, 1), (1, 1)), **options):
    return encode_jpeg(width, height, smooth_planes("colour"), list(sampling), **options)


def jpeg_segments(stream):
    """(marker, start, end) of every marker segment before the entropy-coded data; the last one
    is the start of scan."""
    place, found = 2, []
    while place + 4 <= len(stream) and stream[place] == 0xFF:
        marker = stream[place + 1]
        end = place + 2 + struct.unpack(">H", stream[place + 2:place + 4])[0]
        found.append((marker, place, end))
        if marker == 0xDA:
            break
        place = end
    return found


# --- PNG ---------------------------------------------------------------------------------------

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_file(width, height, colour_type=2, bit_depth=8, interlaced=False, palette=None,
             transparency=None, profile=None, rows=None):
    """A PNG stream of unfiltered rows (the lopsided pattern's bytes when none are given); an
    interlaced one, of 8-bit samples, has its rows split into the seven Adam7 passes."""
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour_type]
    row_bytes = (width * channels * bit_depth + 7) // 8
    if rows is None:
        rows = [bytes((7 * x + 13 * y + 1) & 0xFF for x in range(row_bytes)) for y in range(height)]
    header = struct.pack(">IIBBBBB", width, height, bit_depth, colour_type, 0, 0,
                         1 if interlaced else 0)
    out = PNG_SIGNATURE + png_chunk(b"IHDR", header)
    if profile is not None:
        out += png_chunk(b"iCCP", b"profile\0\0" + zlib.compress(profile))
    if palette is not None:
        out += png_chunk(b"PLTE", palette)
    if transparency is not None:
        out += png_chunk(b"tRNS", transparency)
    if interlaced:
        step = channels * bit_depth // 8
        passes = ((0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4),
                  (1, 0, 2, 2), (0, 1, 1, 2))
        rows = [b"".join(rows[y][x * step:(x + 1) * step] for x in range(x0, width, dx))
                for x0, y0, dx, dy in passes if x0 < width for y in range(y0, height, dy)]
    out += png_chunk(b"IDAT", zlib.compress(b"".join(b"\0" + row for row in rows)))
    return out + png_chunk(b"IEND", b"")
