// Where the core meets the dialogs: the entry loads the settings into appState, runs the main
// dialog and writes the settings back.

#include "app/ProgramEntry.h"

#include "app/AppState.h"
#include "app/Settings.h"
#include "platform/DialogHost.h"
#include "ui/DialogTemplates.h"
#include "ui/MainDialog.h"

int ProgramEntry(const void* instance, const char* commandLine) {
    appState.instance = instance;
    LoadSettings();
    appState.startFile = commandLine;
    DialogBoxParam(MainDialogTemplate, nullptr, MainDialogProc, 0);
    ReleaseDib(appState.sourceImage);
    SaveSettings();
    return 1;
}
