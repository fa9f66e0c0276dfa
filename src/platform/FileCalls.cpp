#include "platform/FileCalls.h"

#include "platform/StopSignals.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

FileHandle OpenFileForReading(const char* name) {
    // O_NONBLOCK so that opening a FIFO returns at once; it is refused right after.
    int descriptor = open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return FileError;
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        return FileError;
    }
    return descriptor;
}

int32_t ReadFileBytes(FileHandle file, void* destination, int32_t count) {
    auto* place = static_cast<char*>(destination);
    int32_t done = 0;
    while (done < count) {
        ssize_t got = read(file, place + done, static_cast<size_t>(count - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<int32_t>(got);
    }
    return done;
}

int64_t SeekFile(FileHandle file, int64_t offset, int origin) {
    static const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < SeekFromStart || origin > SeekFromEnd)
        return -1;
    return lseek(file, offset, whence[origin]);
}

void CloseFile(FileHandle file) {
    close(file);
}

bool SameFile(const char* first, const char* second) {
    struct stat one {};
    struct stat other {};
    return stat(first, &one) == 0 && stat(second, &other) == 0 && one.st_dev == other.st_dev &&
           one.st_ino == other.st_ino;
}

bool NameTaken(const char* name) {
    struct stat status {};
    return lstat(name, &status) == 0;
}

namespace {

// Symbolic links are followed at most this many times, as the kernel follows them.
constexpr int LinkHopLimit = 40;
// One write call moves at most this much, so that a stop signal is honoured soon.
constexpr int64_t WriteChunkBytes = int64_t{1} << 20;
// The target's name in a temporary name is cut to this many bytes: ".NAME.kafelator-XXXXXX" then
// stays within the 255 bytes any file system takes for a name.
constexpr size_t TemporaryNameBytes = 200;

std::string FolderOf(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Saving through a symbolic link updates the file it points to, as writing in place would: the
// chain of links is followed, a relative link from its own folder, to the first name that is no
// link. That name may not exist yet (a dangling link), and is then created. False for a loop or
// a chain longer than the kernel would follow.
bool FollowLinks(std::string* path) {
    for (int hop = 0; hop <= LinkHopLimit; ++hop) {
        struct stat status {};
        if (lstat(path->c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return true;
        char target[PATH_MAX];
        ssize_t length = readlink(path->c_str(), target, sizeof target);
        if (length <= 0 || length >= static_cast<ssize_t>(sizeof target))
            return false;
        std::string next(target, static_cast<size_t>(length));
        *path = next.front() == '/' ? next : FolderOf(*path) + "/" + next;
    }
    return false;
}

// ".NAME.kafelator-XXXXXX" beside the target, so that a file left by a power cut can be told
// apart; a long NAME is cut, never inside a UTF-8 character.
std::string TemporaryPattern(const std::string& target) {
    std::string name = BaseNameOf(target);
    if (name.size() > TemporaryNameBytes) {
        size_t cut = TemporaryNameBytes;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name.resize(cut);
    }
    return FolderOf(target) + "/." + name + ".kafelator-XXXXXX";
}

// The permission bits a newly created file gets, or those of the file it replaces.
mode_t PermissionsFor(const std::string& target) {
    struct stat status {};
    if (stat(target.c_str(), &status) == 0)
        return status.st_mode & 07777;
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The processes that drop replaced files (DropOffPath), each reaped at a later replacement once it
// has ended, so that a program that replaces many files keeps no more than a few of them. Files
// are finished one at a time, as saves come.
constexpr int MostDroppers = 8;
pid_t droppers[MostDroppers];
int dropperCount = 0;

void ReapDroppers() {
    for (int i = dropperCount - 1; i >= 0; --i)
        if (waitpid(droppers[i], nullptr, WNOHANG) != 0)
            droppers[i] = droppers[--dropperCount];
}

// Drops the last reference to a replaced file in a short-lived process of its own, in which the
// file system then frees the file's blocks: tens of milliseconds for a large file on a disk
// mounted with discard, spent off the caller's path even when the caller ends at once. That
// process lets go only once the caller has (the pipe's end tells it), so the freeing never falls
// back on the caller. Where no process can be had, the caller drops the file itself.
void DropOffPath(int replaced) {
    ReapDroppers();
    int callerHolds[2];
    if (dropperCount == MostDroppers || pipe2(callerHolds, O_CLOEXEC) != 0) {
        close(replaced);
        return;
    }
    pid_t dropper = fork();
    if (dropper == 0) {
        // Only async-signal-safe calls from here to _exit: the caller may run other threads.
        // Nothing of the caller's stays open but the file: a caller's pipe, its standard output
        // for one, must not wait on this process.
        auto low = static_cast<unsigned>(std::min(replaced, callerHolds[0]));
        auto high = static_cast<unsigned>(std::max(replaced, callerHolds[0]));
        if (low > 0)
            close_range(0, low - 1, 0);
        if (high > low + 1)
            close_range(low + 1, high - 1, 0);
        close_range(high + 1, ~0U, 0);
        char none = 0;
        while (read(callerHolds[0], &none, 1) < 0 && errno == EINTR) {
        }
        close(replaced);
        _exit(0);
    }
    if (dropper > 0)
        droppers[dropperCount++] = dropper;
    close(callerHolds[0]);
    close(replaced);
    close(callerHolds[1]); // from here the other process may drop the file
}

} // namespace

bool CreateNewFile(const char* targetName, NewFile* file) {
    *file = {};
    if (targetName == nullptr || targetName[0] == '\0' || CaughtStopSignal() != 0)
        return false;
    std::string target = targetName;
    if (!FollowLinks(&target))
        return false;
    struct stat status {};
    if (stat(target.c_str(), &status) == 0) {
        // Only a regular file the user may write is ever replaced: never a device, a FIFO, a
        // folder, or a file marked read-only.
        if (!S_ISREG(status.st_mode) || access(target.c_str(), W_OK) != 0)
            return false;
    } else if (errno != ENOENT) {
        return false;
    }
    std::string pattern = TemporaryPattern(target);
    int descriptor = mkostemp(pattern.data(), O_CLOEXEC);
    if (descriptor < 0)
        return false;
    fchmod(descriptor, PermissionsFor(target));
    file->descriptor = descriptor;
    file->temporaryName = pattern;
    file->targetName = target;
    return true;
}

bool WriteNewFile(NewFile& file, const void* source, int64_t count) {
    const auto* place = static_cast<const char*>(source);
    while (count > 0) {
        if (CaughtStopSignal() != 0)
            return false; // the save is abandoned; the caller discards the temporary file
        size_t chunk = static_cast<size_t>(count < WriteChunkBytes ? count : WriteChunkBytes);
        ssize_t written = write(file.descriptor, place, chunk);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        place += written;
        count -= written;
    }
    return true;
}

int64_t NewFileOffset(const NewFile& file) {
    return lseek(file.descriptor, 0, SEEK_CUR);
}

bool FinishNewFile(NewFile& file) {
    bool closed = close(file.descriptor) == 0; // a delayed write error shows here
    file.descriptor = -1;
    // The file being replaced is held across the rename, so that the rename does not free its
    // blocks; the rename stays the one that always made the new file take the name (on ext4 it
    // also starts the new file's writeback, so that a power cut leaves the old file or the new).
    int replaced = open(file.targetName.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (!closed || CaughtStopSignal() != 0 ||
        rename(file.temporaryName.c_str(), file.targetName.c_str()) != 0) {
        unlink(file.temporaryName.c_str());
        if (replaced >= 0)
            close(replaced);
        return false;
    }
    if (replaced >= 0)
        DropOffPath(replaced);
    return true;
}

void DiscardNewFile(NewFile& file) {
    if (file.descriptor >= 0)
        close(file.descriptor);
    file.descriptor = -1;
    unlink(file.temporaryName.c_str());
}
