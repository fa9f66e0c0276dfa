#pragma once
// Pictures and files for the tests: built in memory from a few bytes, written to a scratch
// folder that each test gets to itself.

#include "image/PackedDib.h"
#include "pack/GridLayout.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// The test pattern's pixel at column x, picture row y counted from the bottom: blue, green and
// red each run up and down between 0 and 255 at a pace of their own, a few levels a pixel, so
// that swaps, flips and shifts show while lossy coding changes little.
void PatternPixel(int32_t x, int32_t y, uint8_t bgr[3]);
// A 24-bit bottom-up block of width x height holding the pattern; pad bytes hold 0xEE. The
// caller releases it.
PackedDib MakePicture(int32_t width, int32_t height);
// MakePicture(width, height) turned a quarter clockwise, its top to the right: height x width.
PackedDib MakeTurnedPicture(int32_t width, int32_t height);
Bytes BlockBytes(const PackedDib& image);
// MakePicture's block as bytes, with nothing left to release.
Bytes PictureBytes(int32_t width, int32_t height);
// The block's bytes with the same picture stored top-down: rows reversed, height negative.
Bytes TopDownBytes(const PackedDib& image);
// A block with a header whose size field is headerBytes (below 40: the core form's 16-bit
// fields; else the 40-byte form's), followed by tailBytes of 0x5A for the colour table and rows.
Bytes DibBlock(uint32_t headerBytes, int32_t width, int32_t height, uint16_t bitCount,
               uint32_t compression = 0, uint32_t clrUsed = 0, size_t tailBytes = 0);
// The bytes of a BMP file holding the block: a 14-byte file header, then the block.
Bytes BmpFileBytes(const Bytes& block);

// The sheet of W x H on grey with copies of the source where the layout puts them, made pixel by
// pixel: the source read once, each pixel written into every copy (rows of copies outer, columns
// inner) before the next, so that where copies overlap the copy nearest the lower-left corner
// shows; grey wherever no copy lands, row padding too; and the header every sheet has.
Bytes ReferenceSheet(const PackedDib& source, int64_t W, int64_t H, uint8_t grey,
                     const SheetLayout& layout);

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
void WriteTextFile(const std::string& name, const std::string& text);
std::string ReadTextFile(const std::string& name);
// What a shell command prints on its standard output.
std::string CommandOutput(const std::string& command);
// What poppler's pdfimages lists of a PDF file's first image: its width, height, colour,
// encoding and horizontal and vertical resolution on the page, one blank between them.
std::string PdfImage(const std::string& pdf);
// How many files this process holds open.
int OpenFileCount();

// Runs job in a child process, for tests that lower the child's resource limits or give up its
// rights; the child's exit status (job's result), or -1 when it did not exit normally.
int RunInChild(const std::function<int()>& job);
// Stops this process's files from growing past the given bytes, as a full disk would.
void LimitFileSize(int64_t bytes);
// Leaves the calling process at most `bytes` of address space beyond what it holds now, so that
// larger allocations fail as they would on a machine short of memory.
void LimitAddressSpace(int64_t bytes);
