#include "app/shell/Translations.h"
#include "tests/app/AppHarness.h"

#include <QFile>
#include <QKeySequence>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <utility>
#include <vector>

namespace {

// Every (context, source text) in a catalogue.
std::vector<std::pair<QString, QString>> messagesOf(const QString& catalogue) {
    QFile file(catalogue);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    std::vector<std::pair<QString, QString>> messages;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"name")
            context = xml.readElementText();
        else if (xml.name() == u"source")
            messages.emplace_back(context, xml.readElementText());
    }
    return messages;
}

// The texts in the sources now, not as the catalogue last saw them: a text
// added without a translation is found.
TEST(TranslationTest, EveryTextTheWindowShowsHasAGermanTranslation) {
    QTemporaryDir scratch;
    const QString fresh = scratch.filePath("fresh.ts");
    QProcess lupdate;
    lupdate.setWorkingDirectory(QString(EMBERLIN_SOURCE_DIR));
    lupdate.start(QString(EMBERLIN_LUPDATE),
                  {"-silent", "-I", ".", "app", "views", "tool", "desktop", "-ts", fresh});
    ASSERT_TRUE(lupdate.waitForFinished(120000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
    const auto messages = messagesOf(fresh);
    ASSERT_GT(messages.size(), 60u);

    QTranslator german;
    ASSERT_TRUE(german.load(":/i18n/emberlin_de.qm"));
    for (const auto& [context, source] : messages) {
        EXPECT_FALSE(german.translate(context.toUtf8(), source.toUtf8()).isEmpty())
            << context.toStdString() << ": " << source.toStdString();
    }
}

// A German desktop: Qt's own texts (shortcuts, dialogs) German too, numbers
// with a decimal comma, and the burner menu as wide as its longest burner.
TEST(TranslationTest, InGermanQtsTextsNumbersAndTheBurnerMenuFollow) {
    const QLocale german(QLocale::German, QLocale::Germany);
    const struct GermanByDefault {
        QLocale before;
        explicit GermanByDefault(const QLocale& german) { QLocale::setDefault(german); }
        ~GermanByDefault() { QLocale::setDefault(before); }
    } germanByDefault(german);
    const emberlin::Translations translations(german);
    EXPECT_EQ(QKeySequence(QKeySequence::Open).toString(QKeySequence::NativeText), "Strg+O");

    AppHarness harness;
    const QByteArray longest = "Pioneer BD-RW BDR-XD07 with a long model name";
    harness.fake.setListing({fake::say("Optiarc DVD RW AD-7280S via USB\n/dev/sr0\n" + longest +
                                       " via USB\n/dev/sr1\n")});
    harness.fake.setBurn(
        {fake::say("Preparing data for burn\n"
                   "FACT: medium=dvd+r capacity=4700372992 image-bytes=4294967296\n"
                   "FACT: write-kbps=22160 read-kbps=22160\nWriting track\n"),
         fake::hang()});
    // Shown before the burners are known, as the application does.
    harness.window().show();
    harness.start();
    const QComboBox& burners = *harness.ui().burnerMenu;
    EXPECT_TRUE(waitFor([&] {
        return burners.width() >
               burners.fontMetrics().horizontalAdvance(longest) + burners.height();
    }));

    harness.controller().openFiles({harness.makeImage()});
    const auto* jobLine = harness.window().findChild<QLabel*>("jobProgressField");
    ASSERT_TRUE(waitFor([&] { return jobLine->text().startsWith("16x, 22,2 MB/s"); }))
        << jobLine->text().toStdString();
}

// German texts on a system whose locale is C (LANGUAGE=de, LANG=C.UTF-8): the
// numbers are German too. A process reads its locale once: the test runs
// itself again in that environment.
TEST(TranslationTest, NumbersFollowTheLanguageOfTheTexts) {
    if (qEnvironmentVariableIsSet("EMBERLIN_TEST_GERMAN_TEXTS")) {
        const emberlin::Translations translations{QLocale()};
        EXPECT_EQ(QCoreApplication::translate("BurnRun", "Please wait..."), "Bitte warten...");
        EXPECT_EQ(QLocale().toString(22.2, 'f', 1), "22,2");
        return;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LC_NUMERIC"})
        environment.remove(name);
    environment.insert("LANGUAGE", "de");
    environment.insert("LANG", "C.UTF-8");
    environment.insert("EMBERLIN_TEST_GERMAN_TEXTS", "1");
    QProcess itself;
    itself.setProcessEnvironment(environment);
    itself.start(QCoreApplication::applicationFilePath(),
                 {"--gtest_filter=TranslationTest.NumbersFollowTheLanguageOfTheTexts"});
    ASSERT_TRUE(itself.waitForFinished(60000));
    EXPECT_EQ(itself.exitCode(), 0) << itself.readAllStandardOutput().toStdString();
}

} // namespace
