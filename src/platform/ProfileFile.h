#pragma once
// Settings files in the profile (INI) format: "[Section]" lines, each followed by "Key=Value"
// lines. Stands in for GetPrivateProfileStringA and WritePrivateProfileStringA and keeps their
// promises:
// - section and key names match without regard to ASCII case; blanks around the "=" and around
//   the value are no part of name or value; the first matching section and key count;
// - a value is read with an empty default and cut to fit the caller's buffer;
// - a write replaces an existing key's value in place, adds a missing key at the end of its
//   section and a missing section, with its key, at the end of the file, which it creates when
//   there is none;
// - every other line (other keys and sections, comments, blank lines, junk) stays byte for byte,
//   and so do LF, CRLF and mixed line endings; an added line ends as the file's first line does;
// - a UTF-8 byte-order mark at the start is skipped on reading and kept on writing.
// Two differences of substance:
// - the file is never rewritten in place: the new content goes to a temporary file beside it,
//   which replaces it only when complete, so a failed write leaves the old file as it was;
// - a file larger than ProfileFileLimit, or one that exists but cannot be read, is no settings
//   file this program can keep: it reads as if absent and is never rewritten, so reading takes
//   bounded memory and no such file is ever cut down to what was understood of it.

#include <cstdint>
#include <string>
#include <vector>

// A settings file of this program holds well under 1 KiB; 64 KiB leaves ample room for the
// comments and other sections a user may add.
inline constexpr int64_t ProfileFileLimit = 64 * 1024;

// One profile file held in memory, so that several values are read from one reading of it and
// several writes cost one rewrite. The file seen afterwards is the same as after the same writes
// made one by one.
class ProfileFile {
  public:
    explicit ProfileFile(const char* fileName);

    // GetPrivateProfileStringA(section, key, "", buffer, size, file): the key's value, at most
    // size - 1 characters of it and a terminating zero; the empty text when the section, the key
    // or the file is missing. The number of characters stored.
    int32_t Read(const char* section, const char* key, char* buffer, int32_t size) const;
    // Whether the section holds the key, with a value or an empty one.
    bool Holds(const char* section, const char* key) const;
    // WritePrivateProfileStringA(section, key, value, file), held in memory until Save. Refused
    // (false) for a name or value that would break the file's lines: a line break anywhere, an
    // empty name, "]" in a section name or "=" in a key.
    bool Write(const char* section, const char* key, const char* value);
    // Replaces the file by the content held, through a temporary file. False when the file
    // cannot be written or must be kept; it is then as it was.
    bool Save() const;

  private:
    void InsertLine(size_t index, const std::string& text);

    std::string fileName_;
    // The file split at each LF: a line keeps its CR, and the last element holds what follows the
    // last LF (empty, or a last line without one), so joining with LF gives the file back.
    std::vector<std::string> lines_;
    bool bom_ = false;     // the file starts with a UTF-8 byte-order mark
    bool crlf_ = false;    // added lines end in CR LF, as the first line does
    bool keepOut_ = false; // the file is too large or unreadable: it is never rewritten
};

// The single-call forms of the two platform calls: one reading, or one rewrite, of the file.
int32_t ReadProfileString(const char* section, const char* key, char* buffer, int32_t size,
                          const char* fileName);
bool WriteProfileString(const char* section, const char* key, const char* value,
                        const char* fileName);
