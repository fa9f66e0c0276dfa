// The program's start: the command line is taken as one file name, as the remainder of a Windows
// command line is, and the toolkit sees none of it; then the entry procedure runs, with the
// toolkit's own texts in Polish.

#include "app/ProgramEntry.h"
#include "platform/DialogHost.h"

#include <QApplication>

#include <string>

int main(int argc, char** argv) {
    // "kafelator my photo.jpg" opens "my photo.jpg": the arguments joined by single blanks.
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    // The toolkit gets the program's name alone, so that no file name is taken for one of its
    // options: "kafelator -reverse" opens the file "-reverse".
    char programName[] = "kafelator";
    int toolkitArgc = 1;
    char* toolkitArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : programName, nullptr};
    QApplication application(toolkitArgc, toolkitArgv);
    QApplication::setApplicationName("Kafelator");
    QApplication::setApplicationVersion(KAFELATOR_VERSION);
    UsePolishToolkitTexts();
    return ProgramEntry(&application, commandLine.c_str());
}
