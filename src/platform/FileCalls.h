#pragma once
// The file calls the BMP reader and writer work through. They stand in for the classic Windows
// file calls (OpenFile, _lread, _llseek, _lwrite, _hwrite, _lclose) and keep their promises, with
// two differences of substance:
// - only regular files are opened for reading; a directory, a FIFO or a device is refused at once,
//   never waited on;
// - a file created for writing is written under a temporary name in the target's folder
//   (".NAME.kafelator-XXXXXX", NAME the target's) and only renamed over the target when it is
//   complete, so a failed save never damages the file that was there and never leaves a partial
//   one; a target that is a symbolic link (a chain, a relative or a dangling one) has the file it
//   finally points to updated, the links kept;
// - a stop signal (StopSignals.h) abandons a file being written: nothing is created or renamed
//   once one is caught, and the temporary file goes.

#include <cstdint>
#include <string>

using FileHandle = int;
inline constexpr FileHandle FileError = -1; // HFILE_ERROR

// Seek origins of SeekFile, as _llseek numbers them.
inline constexpr int SeekFromStart = 0, SeekFromCurrent = 1, SeekFromEnd = 2;

// OpenFile(name, OF_READ): an existing regular file, or FileError.
FileHandle OpenFileForReading(const char* name);
// _lread: reads up to count bytes at the current position; the number read, 0 at the end and
// on errors. Only the end of the file gives fewer than count.
int32_t ReadFileBytes(FileHandle file, void* destination, int32_t count);
// _llseek: the new position, or -1.
int64_t SeekFile(FileHandle file, int64_t offset, int origin);
// _lclose.
void CloseFile(FileHandle file);

// Whether the two names stand for one file (the same device and inode): a name and a symbolic
// link to it, or two hard links. False when either cannot be reached.
bool SameFile(const char* first, const char* second);
// Whether anything, a dangling symbolic link too, goes by the name.
bool NameTaken(const char* name);

// A file being written: the temporary file and the name it will take.
struct NewFile {
    int descriptor = -1;
    std::string temporaryName;
    std::string targetName;
};

// OpenFile(name, OF_CREATE): opens a new temporary file beside the target, the file the name's
// symbolic links finally point to. Refused when that exists but is not a writable regular file,
// when its folder cannot be written, for a loop of links, and once a stop signal is caught.
bool CreateNewFile(const char* targetName, NewFile* file);
// _lwrite and _hwrite: writes all count bytes, or reports failure (false), also when a stop
// signal is caught on the way.
bool WriteNewFile(NewFile& file, const void* source, int64_t count);
// How many bytes have been written so far, for files that hold their own offsets; -1 on failure.
int64_t NewFileOffset(const NewFile& file);
// _lclose of a complete file: gives it the target's name in one step, replacing any file there,
// whose blocks are then freed off the caller's path. On failure, a stop signal caught included,
// the temporary file is removed and the target is untouched.
bool FinishNewFile(NewFile& file);
// OpenFile(name, OF_DELETE) after a failed write: closes and removes the temporary file.
void DiscardNewFile(NewFile& file);
