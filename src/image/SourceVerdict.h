#pragma once
// What loading a source photograph came to.

enum class SourceVerdict {
    Loaded,      // the picture can be packed
    CannotOpen,  // the file could not be read, is damaged, or is no picture of a known kind
    WrongFormat, // a readable picture of a kind that cannot be packed
};
