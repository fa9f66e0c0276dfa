// The program's start: the command line is taken as one file name, as the remainder of a Windows
// command line is, before Qt looks at the arguments; then the entry procedure runs.

#include "app/ProgramEntry.h"

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
    QApplication application(argc, argv);
    QApplication::setApplicationName("Kafelator");
    QApplication::setApplicationVersion(KAFELATOR_VERSION);
    return ProgramEntry(&application, commandLine.c_str());
}
