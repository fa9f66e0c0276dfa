#include "ui/FileChooser.h"

#include "platform/FileChooserHost.h"

namespace {

struct FileFilter {
    const char* description;
    const char* pattern;
    const char* defaultExtension;
};

const FileFilter OpenFilter = {"Bitmapy", "*.bmp;*.jpg;*.jpeg;*.png", "bmp"};
const FileFilter SaveBmpFilter = {"Bitmapy", "*.bmp", "bmp"};
const FileFilter SaveJpegFilter = {"Bitmapy", "*.jpg", "jpg"};

} // namespace

void ChooseFile(char* buffer, Dialog* owner, int openFlag, int jpegFlag) {
    buffer[0] = '\0';
    const FileFilter& filter = openFlag ? OpenFilter : jpegFlag ? SaveJpegFilter : SaveBmpFilter;
    OpenFileName request{};
    request.owner = owner;
    request.filterDescription = filter.description;
    request.filterPattern = filter.pattern;
    request.file = buffer;
    request.maxFile = FileNameBufferBytes - 1;
    request.defaultExtension = filter.defaultExtension;
    request.flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (openFlag) {
        GetOpenFileName(request);
    } else {
        request.flags |= OFN_OVERWRITEPROMPT;
        GetSaveFileName(request);
    }
}
