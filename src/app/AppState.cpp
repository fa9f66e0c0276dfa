#include "app/AppState.h"

AppState appState;

void ResetAppState() {
    ReleaseDib(appState.sourceImage);
    ReleaseDib(appState.sheetImage);
    appState = AppState{};
}
