#include "media/MediumFacts.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QUrl>
#include <QXmlStreamReader>

namespace {

// The AppStream metadata shows screenshots the repository holds (docs/), at
// the sizes it states.
TEST(PackagingTest, TheMetadatasScreenshotsAreTheRepositorysAtTheirSizes) {
    const QDir source(EMBERLIN_SOURCE_DIR);
    QFile metainfo(source.filePath("packaging/linux/org.emberlin.Emberlin.metainfo.xml"));
    ASSERT_TRUE(metainfo.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&metainfo);
    int images = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"image")
            continue;
        const QSize stated(xml.attributes().value("width").toInt(),
                           xml.attributes().value("height").toInt());
        const QString url = xml.readElementText();
        const QString file = source.filePath("docs/" + QUrl(url).fileName());
        EXPECT_TRUE(url.endsWith("/docs/" + QFileInfo(file).fileName())) << url.toStdString();
        EXPECT_EQ(QImageReader(file).size(), stated) << file.toStdString();
        ++images;
    }
    EXPECT_EQ(images, 2);
}

// What the desktop shows of the app before it runs names every kind of disc it
// burns: the desktop entry's comment and the AppStream description.
TEST(PackagingTest, TheDescriptionsNameEveryKindOfDiscBurned) {
    const QDir source(EMBERLIN_SOURCE_DIR);
    const auto read = [&](const QString& path) {
        QFile file(source.filePath(path));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    const QString entry = read("packaging/linux/org.emberlin.Emberlin.desktop");
    const QString metainfo = read("packaging/linux/org.emberlin.Emberlin.metainfo.xml");
    const QString comment =
        QRegularExpression("^Comment=(.*)$", QRegularExpression::MultilineOption)
            .match(entry)
            .captured(1);
    const QString description = QRegularExpression("<description>(.*)</description>",
                                                   QRegularExpression::DotMatchesEverythingOption)
                                    .match(metainfo)
                                    .captured(1);
    for (const media::MediumFacts& medium : media::allMedia()) {
        // "DVD" of "DVD+RW"
        const QString family =
            QString::fromLatin1(medium.displayName.data(),
                                static_cast<qsizetype>(medium.displayName.size()))
                .section(QRegularExpression("[^A-Z]"), 0, 0);
        const QRegularExpression named("\\b" + family + "\\b");
        EXPECT_TRUE(comment.contains(named)) << family.toStdString();
        EXPECT_TRUE(description.contains(named)) << family.toStdString();
    }
}

} // namespace
