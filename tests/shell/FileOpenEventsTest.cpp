#include "app/shell/FileOpenEvents.h"

#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QFileOpenEvent>
#include <QUrl>
#include <vector>

using namespace emberlin;

namespace {

void sendOpen(const QString& file) {
    QFileOpenEvent event(file);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &event);
}

TEST(FileOpenEvents, HandsTheFilesOfOneRequestOnTogetherFromTheEventLoop) {
    FileOpenEvents events;
    std::vector<QStringList> opened;
    QObject::connect(&events, &FileOpenEvents::filesOpened,
                     [&](const QStringList& files) { opened.push_back(files); });
    sendOpen("/images/first.iso");
    sendOpen("/images/second disc.dmg");
    EXPECT_EQ(opened.size(), 0);
    EXPECT_TRUE(waitFor([&] { return opened.size() == 1; }));
    EXPECT_EQ(opened.front(), (QStringList{"/images/first.iso", "/images/second disc.dmg"}));

    // A later request is a list of its own; one for other than a local file
    // is left alone.
    QFileOpenEvent remote(QUrl("https://example.org/disc.iso"));
    QCoreApplication::sendEvent(QCoreApplication::instance(), &remote);
    sendOpen("/images/third.toast");
    EXPECT_TRUE(waitFor([&] { return opened.size() == 2; }));
    EXPECT_EQ(opened.back(), (QStringList{"/images/third.toast"}));
}

} // namespace
