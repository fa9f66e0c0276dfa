#include "support/DialogTestKit.h"

#include "app/AppState.h"
#include "ui/DialogTemplates.h"
#include "ui/MainDialog.h"

void DialogTest::SetUp() {
    ResetAppState();
    photo = folder.Path("photo.bmp");
    PackedDib picture = MakePicture(60, 40);
    WriteWholeFile(photo, BmpFileBytes(BlockBytes(picture)));
    ReleaseDib(picture);
    SetScreenSize(1024, 768);
    OnUnscriptedDialog([](Dialog* dialog) {
        ADD_FAILURE() << "a dialog showed that the test did not expect";
        PressKey(dialog, UserKey::Escape);
    });
    SetMessageBoxHandler([this](const char* text) { messages.push_back(text); });
    SetFileChooserHandler([this](const OpenFileName& request) -> std::optional<std::string> {
        chooserRequests.push_back(request);
        chooserPatterns.push_back(request.filterPattern);
        if (chooserAnswers.empty())
            return std::nullopt;
        std::optional<std::string> answer = chooserAnswers.front();
        chooserAnswers.pop_front();
        return answer;
    });
}

void DialogTest::TearDown() {
    SetMessageBoxHandler(nullptr);
    SetFileChooserHandler(nullptr);
    SetScreenSize(0, 0);
    OnUnscriptedDialog(nullptr);
    ResetAppState();
}

void DialogTest::RunMainDialog(const std::string& startFile, std::function<void(Dialog*)> script) {
    static std::string keptStartFile; // the state points into it while the dialog runs
    keptStartFile = startFile;
    appState.startFile = keptStartFile.c_str();
    OnNextDialog(std::move(script));
    DialogBoxParam(MainDialogTemplate, nullptr, MainDialogProc, 0);
}
