#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
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

} // namespace
