// The file chooser over Qt's file dialog. The chooser is Qt's own (not the desktop's), so that
// it behaves alike everywhere: one filter, the default extension, overwrite confirmation when
// saving, and the current folder left as it was.

#include "platform/FileChooserHost.h"

#include <QFile>
#include <QFileDialog>

#include <cstring>
#include <optional>
#include <string>

namespace {

std::optional<std::string> AskUser(const OpenFileName& request, bool save) {
    QString patterns = QString::fromUtf8(request.filterPattern).replace(';', ' ');
    QFileDialog chooser(dynamic_cast<QWidget*>(request.owner));
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    chooser.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    chooser.setOption(QFileDialog::DontConfirmOverwrite, !(request.flags & OFN_OVERWRITEPROMPT));
    chooser.setNameFilter(QString::fromUtf8(request.filterDescription) + " (" + patterns + ")");
    chooser.setDefaultSuffix(QString::fromUtf8(request.defaultExtension));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return std::nullopt;
    return QFile::encodeName(chooser.selectedFiles().front()).toStdString();
}

// A name typed without an extension gets the default one after a dot.
std::string WithDefaultExtension(std::string path, const char* extension) {
    std::string::size_type slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.find('.') == std::string::npos && extension != nullptr && extension[0] != '\0')
        path += std::string(".") + extension;
    return path;
}

void Choose(OpenFileName& request, bool save) {
    std::optional<std::string> answer = AskUser(request, save);
    if (!answer || answer->empty())
        return;
    std::string path = WithDefaultExtension(*answer, request.defaultExtension);
    // A path too long for the buffer is no choice: a cut path would name another file.
    if (path.size() + 1 > static_cast<size_t>(request.maxFile))
        return;
    std::memcpy(request.file, path.c_str(), path.size() + 1);
}

} // namespace

void GetOpenFileName(OpenFileName& request) {
    Choose(request, false);
}
void GetSaveFileName(OpenFileName& request) {
    Choose(request, true);
}
