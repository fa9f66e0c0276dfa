// The dialog tests run the real dialogs without a display, on the one screen screen.json gives
// the offscreen platform.

#include "support/DialogDriver.h"

#include <QApplication>
#include <QScreen>
#include <QStandardPaths>
#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen:configfile=" TEST_SCREEN_CONFIG, 1);
    QStandardPaths::setTestModeEnabled(true); // the file chooser keeps its history apart
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    if (QGuiApplication::primaryScreen()->size() != QSize(ScreenWidth, ScreenHeight))
        return 1;
    return RUN_ALL_TESTS();
}
