// The toolkit's own texts in Polish: its translations, as Debian's qt6-translations-l10n installs
// them beside the toolkit.

#include "platform/DialogHost.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool UsePolishToolkitTexts() {
    static QTranslator* translator = nullptr;
    if (translator != nullptr)
        return true;
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    auto* polish = new QTranslator(qApp);
    if (!polish->load("qtbase_pl", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete polish;
        return false;
    }
    QApplication::installTranslator(polish);
    translator = polish;
    return true;
}
