#include "base/desktop/QtGermanTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace kestrova {

QtGermanTexts::QtGermanTexts() : previous_(QLocale()) {
    // German whatever the desktop's language, as every other text of the program.
    const QLocale german(QLocale::German, QLocale::Germany);
    QLocale::setDefault(german);
    loaded_ = translator_.load(german, QStringLiteral("qtbase"), QStringLiteral("_"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded_) {
        QCoreApplication::installTranslator(&translator_);
    }
}

QtGermanTexts::~QtGermanTexts() {
    if (loaded_) {
        QCoreApplication::removeTranslator(&translator_);
    }
    QLocale::setDefault(previous_);
}

} // namespace kestrova
