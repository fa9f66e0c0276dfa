#include "support/TestFiles.h"

#include "image/LittleEndian.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
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

void PatternPixel(int32_t x, int32_t y, uint8_t bgr[3]) {
    bgr[0] = static_cast<uint8_t>(10 + 7 * x + y);
    bgr[1] = static_cast<uint8_t>(100 + 3 * y);
    bgr[2] = static_cast<uint8_t>(200 + x * y);
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

Bytes PictureBytes(int32_t width, int32_t height) {
    PackedDib image = MakePicture(width, height);
    Bytes bytes = BlockBytes(image);
    ReleaseDib(image);
    return bytes;
}

Bytes BlockBytes(const PackedDib& image) {
    return Bytes(image.block, image.block + image.blockBytes);
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

Bytes BmpFileBytes(const Bytes& block) {
    Bytes file(14 + block.size(), 0);
    file[0] = 'B';
    file[1] = 'M';
    WriteLe32(file.data() + 2, static_cast<uint32_t>(block.size() + 14));
    WriteLe32(file.data() + 10, 54);
    std::copy(block.begin(), block.end(), file.begin() + 14);
    return file;
}

ScratchFolder::ScratchFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/kafelator-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a scratch folder");
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::string command = "chmod -R u+w '" + path_ + "' && rm -rf '" + path_ + "'";
    if (std::system(command.c_str()) != 0)
        return;
}

std::vector<std::string> ScratchFolder::Entries() const {
    std::vector<std::string> names;
    if (DIR* folder = opendir(path_.c_str())) {
        while (dirent* entry = readdir(folder)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        closedir(folder);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void WriteWholeFile(const std::string& name, const Bytes& bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadWholeFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& name) {
    struct stat status {};
    return lstat(name.c_str(), &status) == 0;
}

void WriteTextFile(const std::string& name, const std::string& text) {
    WriteWholeFile(name, Bytes(text.begin(), text.end()));
}

std::string ReadTextFile(const std::string& name) {
    Bytes bytes = ReadWholeFile(name);
    return std::string(bytes.begin(), bytes.end());
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
