#pragma once
// The platform's file chooser, asked for one file name to open or to save under. Stands in for
// GetOpenFileNameA and GetSaveFileNameA with the request record they take.

#include "platform/DialogItems.h"

#include <cstdint>

inline constexpr uint32_t OFN_OVERWRITEPROMPT = 0x2; // ask before replacing an existing file
inline constexpr uint32_t OFN_HIDEREADONLY = 0x4;    // no read-only check box
inline constexpr uint32_t OFN_NOCHANGEDIR = 0x8;     // the current folder stays as it was

struct OpenFileName {
    Dialog* owner;
    const char* filterDescription; // the one filter: a description ...
    const char* filterPattern;     // ... and its patterns, ";"-separated
    char* file;                    // the caller's buffer: the chosen path, zero-terminated
    int32_t maxFile;               // characters the chooser may fill, the terminating zero included
    const char* defaultExtension;  // appended after a dot to a name typed without one
    uint32_t flags;
};

// Show a modal chooser owned by request.owner, listing folders and the files that match the
// filter, and on confirmation store the full path in request.file. On cancel, or when the path
// does not fit in maxFile characters, the buffer is left as it was. The process's current folder
// never changes.
void GetOpenFileName(OpenFileName& request);
void GetSaveFileName(OpenFileName& request);
