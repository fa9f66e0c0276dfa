// Where the core meets the dialogs: the entry loads the settings into appState, runs the main
// dialog and writes the settings back, also when a stop signal ended the dialogs.

#include "app/ProgramEntry.h"

#include "app/AppState.h"
#include "app/Settings.h"
#include "platform/DialogHost.h"
#include "platform/StopSignals.h"
#include "ui/DialogTemplates.h"
#include "ui/MainDialog.h"

int ProgramEntry(const void* instance, const char* commandLine) {
    appState.instance = instance;
    // SIGTERM, SIGHUP (logging out) and SIGINT end the dialogs the normal way, so the choices made
    // are written below as at any exit.
    CatchStopSignals();
    LoadSettings();
    appState.startFile = commandLine;
    DialogBoxParam(MainDialogTemplate, nullptr, MainDialogProc, 0);
    ForgetStopSignal(); // honoured: the dialogs have ended, and the settings may be written
    ReleaseDib(appState.sourceImage);
    SaveSettings();
    return 1;
}
