#include "platform/ProfileFile.h"

#include "platform/FileCalls.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <sys/stat.h>

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view found, const char* wanted) {
    if (found.size() != std::strlen(wanted))
        return false;
    for (size_t i = 0; i < found.size(); ++i) {
        if (LowerAscii(found[i]) != LowerAscii(wanted[i]))
            return false;
    }
    return true;
}

// A "[Section]" line, blanks allowed before it and inside the brackets.
bool IsSectionLine(std::string_view line, std::string_view* name) {
    line = Trim(line);
    size_t close = line.find(']');
    if (line.empty() || line.front() != '[' || close == std::string_view::npos)
        return false;
    *name = Trim(line.substr(1, close - 1));
    return true;
}

// A "Key=Value" line: the key and the value, both without the blanks around them.
bool IsKeyLine(std::string_view line, std::string_view* key, std::string_view* value) {
    size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return false;
    *key = Trim(line.substr(0, equals));
    *value = Trim(line.substr(equals + 1));
    return true;
}

// The first section of the name: its header line and the line after its last one.
bool FindSection(const std::vector<std::string>& lines, const char* section, size_t* header,
                 size_t* end) {
    std::string_view name;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!IsSectionLine(lines[i], &name) || !SameName(name, section))
            continue;
        size_t next = i + 1;
        while (next < lines.size() && !IsSectionLine(lines[next], &name))
            ++next;
        *header = i;
        *end = next;
        return true;
    }
    return false;
}

// The line of the key inside the section's lines, or end.
size_t FindKey(const std::vector<std::string>& lines, size_t header, size_t end, const char* key) {
    std::string_view name, value;
    for (size_t i = header + 1; i < end; ++i) {
        if (IsKeyLine(lines[i], &name, &value) && SameName(name, key))
            return i;
    }
    return end;
}

bool FitsOnOneLine(const char* text) {
    return std::strpbrk(text, "\r\n") == nullptr;
}

// Keeps what precedes the old value (the key as spelt in the file, the "=" and the blanks after
// it) and the line's CR, so that only the value changes.
void ReplaceValue(std::string& line, const char* value) {
    bool cr = !line.empty() && line.back() == '\r';
    std::string_view body(line.data(), line.size() - (cr ? 1 : 0));
    size_t start = body.find('=') + 1;
    while (start < body.size() && IsBlank(body[start]))
        ++start;
    line = std::string(body.substr(0, start)) + value + (cr ? "\r" : "");
}

} // namespace

ProfileFile::ProfileFile(const char* fileName) : fileName_(fileName), lines_(1) {
    FileHandle file = OpenFileForReading(fileName);
    if (file == FileError) {
        // Only a file that is not there may be created; anything else in its place is kept.
        struct stat status {};
        keepOut_ = !(lstat(fileName, &status) != 0 && errno == ENOENT);
        return;
    }
    std::string text;
    int64_t size = SeekFile(file, 0, SeekFromEnd);
    bool whole = size >= 0 && size <= ProfileFileLimit && SeekFile(file, 0, SeekFromStart) == 0;
    if (whole) {
        text.resize(static_cast<size_t>(size));
        char beyond = 0; // a file that grew after its size was taken is not read whole
        whole = ReadFileBytes(file, text.data(), static_cast<int32_t>(size)) == size &&
                ReadFileBytes(file, &beyond, 1) == 0;
    }
    CloseFile(file);
    if (!whole) {
        keepOut_ = true;
        return;
    }
    // A byte-order mark, as editors on Windows put before UTF-8 text, is no part of the first
    // line; it is kept for the rewrite.
    bom_ = text.compare(0, ByteOrderMark.size(), ByteOrderMark) == 0;
    if (bom_)
        text.erase(0, ByteOrderMark.size());
    lines_.clear();
    size_t start = 0;
    for (size_t lf = text.find('\n'); lf != std::string::npos; lf = text.find('\n', start)) {
        lines_.emplace_back(text, start, lf - start);
        start = lf + 1;
    }
    lines_.emplace_back(text, start);
    crlf_ = lines_.size() > 1 && !lines_[0].empty() && lines_[0].back() == '\r';
}

bool ProfileFile::Holds(const char* section, const char* key) const {
    size_t header = 0, end = 0;
    return FindSection(lines_, section, &header, &end) && FindKey(lines_, header, end, key) != end;
}

int32_t ProfileFile::Read(const char* section, const char* key, char* buffer, int32_t size) const {
    if (buffer == nullptr || size <= 0)
        return 0;
    std::string_view value;
    size_t header = 0, end = 0;
    if (FindSection(lines_, section, &header, &end)) {
        size_t line = FindKey(lines_, header, end, key);
        std::string_view name;
        if (line != end)
            IsKeyLine(lines_[line], &name, &value);
    }
    size_t count = std::min(value.size(), static_cast<size_t>(size - 1));
    value.copy(buffer, count);
    buffer[count] = '\0';
    return static_cast<int32_t>(count);
}

bool ProfileFile::Write(const char* section, const char* key, const char* value) {
    if (section[0] == '\0' || key[0] == '\0' || std::strchr(section, ']') != nullptr ||
        std::strchr(key, '=') != nullptr || !FitsOnOneLine(section) || !FitsOnOneLine(key) ||
        !FitsOnOneLine(value))
        return false;
    std::string entry = std::string(key) + "=" + value;
    size_t header = 0, end = 0;
    if (!FindSection(lines_, section, &header, &end)) {
        size_t index = lines_.back().empty() ? lines_.size() - 1 : lines_.size();
        InsertLine(index, std::string("[").append(section).append("]"));
        InsertLine(index + 1, entry);
        return true;
    }
    size_t line = FindKey(lines_, header, end, key);
    if (line != end) {
        ReplaceValue(lines_[line], value);
        return true;
    }
    // A new key goes after the section's last line that is not blank, ahead of the blank lines
    // that part it from the next section.
    size_t last = end - 1;
    while (last > header && Trim(lines_[last]).empty())
        --last;
    InsertLine(last + 1, entry);
    return true;
}

void ProfileFile::InsertLine(size_t index, const std::string& text) {
    if (index == lines_.size()) {
        // After a last line that has no line break: it gets one first.
        if (crlf_ && lines_.back().back() != '\r')
            lines_.back() += '\r';
        lines_.emplace_back();
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), crlf_ ? text + '\r' : text);
}

bool ProfileFile::Save() const {
    if (keepOut_)
        return false;
    std::string text(bom_ ? ByteOrderMark : "");
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += lines_[i];
    }
    // A file this program could not read back would lose every setting at the next start.
    if (static_cast<int64_t>(text.size()) > ProfileFileLimit)
        return false;
    NewFile file;
    if (!CreateNewFile(fileName_.c_str(), &file))
        return false;
    if (!WriteNewFile(file, text.data(), static_cast<int64_t>(text.size()))) {
        DiscardNewFile(file);
        return false;
    }
    return FinishNewFile(file);
}

int32_t ReadProfileString(const char* section, const char* key, char* buffer, int32_t size,
                          const char* fileName) {
    return ProfileFile(fileName).Read(section, key, buffer, size);
}

bool WriteProfileString(const char* section, const char* key, const char* value,
                        const char* fileName) {
    ProfileFile profile(fileName);
    return profile.Write(section, key, value) && profile.Save();
}
