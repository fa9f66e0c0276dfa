#pragma once
// Pictures and files for the tests: built in memory from a few bytes, written to a scratch
// folder that each test gets to itself.

#include "image/PackedDib.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A 24-bit bottom-up block of width x height with a lopsided pattern in distinct blue, green and
// red, so that swaps, flips and shifts show; pad bytes hold 0xEE. The caller releases it.
PackedDib MakePicture(int32_t width, int32_t height);
// MakePicture's block as bytes, with nothing left to release.
Bytes PictureBytes(int32_t width, int32_t height);
// The pattern's pixel at column x, picture row y counted from the bottom.
void PatternPixel(int32_t x, int32_t y, uint8_t bgr[3]);

// The block's bytes with the same picture stored top-down: rows reversed, height negative.
Bytes TopDownBytes(const PackedDib& image);

// The bytes of a BMP file holding the block: a 14-byte file header, then the block.
Bytes BmpFileBytes(const Bytes& block);
Bytes BlockBytes(const PackedDib& image);

// A fresh empty folder, removed with its content when the test ends.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string Path(const std::string& name) const { return path_ + "/" + name; }
    // Names of the entries in the folder, sorted.
    std::vector<std::string> Entries() const;

  private:
    std::string path_;
};

void WriteWholeFile(const std::string& name, const Bytes& bytes);
Bytes ReadWholeFile(const std::string& name);
bool FileExists(const std::string& name);

// The same for text files.
void WriteTextFile(const std::string& name, const std::string& text);
std::string ReadTextFile(const std::string& name);

// Runs job in a child process, for tests that lower the child's resource limits or give up its
// rights; the child's exit status (job's result), or -1 when it did not exit normally.
int RunInChild(const std::function<int()>& job);
// Stops this process's files from growing past the given bytes, as a full disk would.
void LimitFileSize(int64_t bytes);
// Leaves the calling process at most `bytes` of address space beyond what it holds now, so that
// larger allocations fail as they would on a machine short of memory.
void LimitAddressSpace(int64_t bytes);
