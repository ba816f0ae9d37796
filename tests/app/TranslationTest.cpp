#include "TestSupport.h"

#include <QFile>
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
                  {"-silent", "app", "views", "tool", "desktop", "-ts", fresh});
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

} // namespace
