// The dialog tests run the real dialogs without a display, on the one screen screen.json gives
// the offscreen platform.

#include "platform/DialogHost.h"
#include "support/DialogDriver.h"

#include <QApplication>
#include <QScreen>
#include <QStandardPaths>
#include <csignal>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    // The stop signals as a desktop starts the program with them, whatever this process was given.
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signalNumber, SIG_DFL);
    setenv("QT_QPA_PLATFORM", "offscreen:configfile=" TEST_SCREEN_CONFIG, 1);
    QStandardPaths::setTestModeEnabled(true); // the file chooser keeps its history apart
    QApplication application(argc, argv);
    // The toolkit's texts in Polish, as the program has them.
    if (!UsePolishToolkitTexts()) {
        std::fputs("the toolkit's Polish translations are not installed\n", stderr);
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    if (QGuiApplication::primaryScreen()->size() != QSize(ScreenWidth, ScreenHeight))
        return 1;
    return RUN_ALL_TESTS();
}
