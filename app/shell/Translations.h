#pragma once

#include <QLocale>
#include <QTranslator>

namespace emberlin {

// Emberlin's texts and Qt's own (dialogs, buttons, shortcut names) in one
// language, where a catalogue has it, for as long as this object lives, and
// numbers as that language writes them. Qt's come from its translations folder
// (Debian: qt6-translations-l10n).
class Translations final {
public:
    explicit Translations(const QLocale& locale);
    ~Translations();

    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

private:
    const QLocale defaultBefore_;
    QTranslator qtTexts_;
    QTranslator ownTexts_;
};

} // namespace emberlin
