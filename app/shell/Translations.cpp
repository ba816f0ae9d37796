#include "app/shell/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace emberlin {

Translations::Translations(const QLocale& locale) {
    if (qtTexts_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts_);
    if (ownTexts_.load(locale, QStringLiteral("emberlin"), QStringLiteral("_"),
                       QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(&ownTexts_);
}

Translations::~Translations() {
    QCoreApplication::removeTranslator(&ownTexts_);
    QCoreApplication::removeTranslator(&qtTexts_);
}

} // namespace emberlin
