#include "app/shell/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace emberlin {

Translations::Translations(const QLocale& locale) {
    if (qtTexts_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts_);
    if (!ownTexts_.load(locale, QStringLiteral("emberlin"), QStringLiteral("_"),
                        QStringLiteral(":/i18n")))
        return;
    QCoreApplication::installTranslator(&ownTexts_);
    // The system's locale takes its name from the list of languages
    // (LANGUAGE=de) but its numbers from another (LANG=C.UTF-8): numbers
    // follow the texts, in the system's region where it speaks their
    // language (de_AT).
    const QLocale textsLocale(ownTexts_.language());
    QLocale::setDefault(textsLocale.language() == locale.language() ? QLocale(locale.name())
                                                                    : textsLocale);
}

Translations::~Translations() {
    QLocale::setDefault(defaultBefore_);
    QCoreApplication::removeTranslator(&ownTexts_);
    QCoreApplication::removeTranslator(&qtTexts_);
}

} // namespace emberlin
