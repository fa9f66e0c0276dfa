#include "support/TestFiles.h"

#include "image/LittleEndian.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
// The program copes with failed allocations, and the memory-limit tests cause them: under
// AddressSanitizer they return none, as the C library's do, rather than end the run, also when
// the tests run without the options of the asan test preset.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}
#endif

namespace fs = std::filesystem;

void PatternPixel(int32_t x, int32_t y, uint8_t bgr[3]) {
    auto wave = [](int32_t level) {
        return static_cast<uint8_t>(255 - std::abs(level % 510 - 255));
    };
    bgr[0] = wave(30 + 4 * x + y);
    bgr[1] = wave(40 + 5 * y);
    bgr[2] = wave(220 + 2 * x + 3 * y);
}

PackedDib MakePicture(int32_t width, int32_t height) {
    int64_t stride = RowStride(width);
    PackedDib image = AllocateDib(InfoHeaderBytes + stride * height);
    WriteInfoHeader(image.block, width, height, 0);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = image.block + InfoHeaderBytes + y * stride;
        std::fill(row, row + stride, uint8_t{0xEE});
        for (int32_t x = 0; x < width; ++x)
            PatternPixel(x, y, row + 3 * x);
    }
    return image;
}

// Its pixel at column x, row y from the bottom is the picture's pixel at column w - 1 - y, row x.
PackedDib MakeTurnedPicture(int32_t width, int32_t height) {
    PackedDib turned = MakePicture(height, width);
    for (int32_t y = 0; y < width; ++y)
        for (int32_t x = 0; x < height; ++x)
            PatternPixel(width - 1 - y, x,
                         turned.block + InfoHeaderBytes + y * RowStride(height) + 3 * x);
    return turned;
}

Bytes BlockBytes(const PackedDib& image) {
    return Bytes(image.block, image.block + image.blockBytes);
}

Bytes PictureBytes(int32_t width, int32_t height) {
    PackedDib image = MakePicture(width, height);
    Bytes bytes = BlockBytes(image);
    ReleaseDib(image);
    return bytes;
}

Bytes TopDownBytes(const PackedDib& image) {
    Bytes bytes = BlockBytes(image);
    int32_t height = ImageHeight(image.block);
    int64_t stride = RowStride(ImageWidth(image.block));
    for (int64_t row = 0; row < height; ++row)
        std::copy_n(image.block + 40 + (height - 1 - row) * stride, stride,
                    bytes.begin() + 40 + row * stride);
    WriteLe32(bytes.data() + 8, static_cast<uint32_t>(-height));
    return bytes;
}

Bytes DibBlock(uint32_t headerBytes, int32_t width, int32_t height, uint16_t bitCount,
               uint32_t compression, uint32_t clrUsed, size_t tailBytes) {
    Bytes block(headerBytes + tailBytes, 0x5A);
    std::fill_n(block.begin(), headerBytes, 0);
    uint8_t* h = block.data();
    uint32_t planesAndBits = 1u | uint32_t{bitCount} << 16;
    WriteLe32(h, headerBytes);
    if (headerBytes < 40) {
        WriteLe32(h + 4, static_cast<uint16_t>(width) | static_cast<uint32_t>(height) << 16);
        WriteLe32(h + 8, planesAndBits);
        return block;
    }
    WriteLe32(h + 4, static_cast<uint32_t>(width));
    WriteLe32(h + 8, static_cast<uint32_t>(height));
    WriteLe32(h + 12, planesAndBits);
    WriteLe32(h + 16, compression);
    WriteLe32(h + 32, clrUsed);
    return block;
}

Bytes BmpFileBytes(const Bytes& block) {
    Bytes file(14 + block.size(), 0);
    file[0] = 'B';
    file[1] = 'M';
    WriteLe32(file.data() + 2, static_cast<uint32_t>(file.size()));
    WriteLe32(file.data() + 10, 54);
    std::copy(block.begin(), block.end(), file.begin() + 14);
    return file;
}

Bytes ReferenceSheet(const PackedDib& source, int64_t W, int64_t H, uint8_t grey,
                     const SheetLayout& l) {
    int64_t w = ImageWidth(source.block), h = ImageHeight(source.block);
    int64_t S = (3 * W + 3) / 4 * 4, s = (3 * w + 3) / 4 * 4;
    Bytes sheet(static_cast<size_t>(40 + S * H), grey);
    const int64_t header[] = {40, W, H, 1 | 24 << 16 /* planes, bits */, 0, S * H, 0, 0, 0, 0};
    for (int i = 0; i < 10; ++i)
        WriteLe32(sheet.data() + 4 * i, static_cast<uint32_t>(header[i]));
    for (int64_t y = 0; y < h; ++y)
        for (int64_t x = 0; x < w; ++x)
            for (int64_t k = 0; k < l.rows; ++k)
                for (int64_t c = 0; c < l.columns; ++c) {
                    int64_t row = l.originY + k * (h + l.spacingY) + y;
                    int64_t column = l.originX + c * (w + l.spacingX) + x;
                    std::copy_n(source.block + 40 + y * s + 3 * x, 3,
                                sheet.begin() + 40 + row * S + 3 * column);
                }
    return sheet;
}

ScratchFolder::ScratchFolder() : path_(fs::temp_directory_path() / "kafelator-test-XXXXXX") {
    if (mkdtemp(path_.data()) == nullptr)
        throw std::runtime_error("cannot make a scratch folder");
}

ScratchFolder::~ScratchFolder() {
    // Tests leave folders and files without read or write rights behind.
    if (std::system(("chmod -R u+rwx '" + path_ + "' && rm -rf '" + path_ + "'").c_str()) != 0)
        return;
}

std::vector<std::string> ScratchFolder::Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

void WriteWholeFile(const std::string& name, const Bytes& bytes) {
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
}

Bytes ReadWholeFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteTextFile(const std::string& name, const std::string& text) {
    WriteWholeFile(name, Bytes(text.begin(), text.end()));
}

std::string ReadTextFile(const std::string& name) {
    Bytes bytes = ReadWholeFile(name);
    return std::string(bytes.begin(), bytes.end());
}

std::string CommandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return output;
    char buffer[4096];
    for (size_t read = 0; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, read);
    pclose(pipe);
    return output;
}

std::string PdfImage(const std::string& pdf) {
    std::istringstream lines(CommandOutput("pdfimages -list '" + pdf + "'"));
    std::string line, image;
    for (int i = 0; i < 3 && std::getline(lines, line); ++i) {
        std::istringstream fields(line);
        std::string f[14];
        for (std::string& field : f)
            fields >> field;
        if (i == 2) // after the two lines of headings
            image = f[3] + " " + f[4] + " " + f[5] + " " + f[8] + " " + f[12] + " " + f[13];
    }
    return image;
}

int OpenFileCount() {
    auto entries = fs::directory_iterator("/proc/self/fd");
    return static_cast<int>(std::distance(fs::begin(entries), fs::end(entries)));
}

int RunInChild(const std::function<int()>& job) {
    pid_t child = fork();
    if (child == 0)
        _exit(job()); // no exit handlers: the child must not run the parent's clean-ups
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

void LimitFileSize(int64_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of ending the process
    rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
    setrlimit(RLIMIT_FSIZE, &limit);
}

void LimitAddressSpace(int64_t bytes) {
    // The first field of statm is the whole address space in pages. Under AddressSanitizer it
    // includes the shadow memory, which is why the limit is set relative to it.
    std::ifstream statm("/proc/self/statm");
    int64_t pages = 0;
    statm >> pages;
    auto limit = static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE) + bytes);
    rlimit lowered{limit, limit};
    setrlimit(RLIMIT_AS, &lowered);
}
