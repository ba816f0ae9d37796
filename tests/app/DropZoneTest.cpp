#include "views/DropZone.h"

#include "tests/app/AppHarness.h"

#include <QCursor>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

using namespace emberlin;

namespace {

bool enter(DropZone& zone, const QMimeData& mime, Qt::DropActions actions = Qt::CopyAction) {
    QDragEnterEvent event(QPoint(10, 10), actions, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&zone, &event);
    return event.isAccepted();
}

void leave(DropZone& zone) {
    QDragLeaveEvent event;
    QCoreApplication::sendEvent(&zone, &event);
}

void drop(DropZone& zone, const QMimeData& mime) {
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&zone, &event);
}

struct DragCase {
    const char* name;
    QStringList urls; // local names unless they hold "://"
    bool accepted;
    Qt::DropActions actions = Qt::CopyAction;
    bool acceptingDrops = true;
};

class DragTest : public testing::TestWithParam<DragCase> {};

TEST_P(DragTest, EnterThenLeave) {
    const DragCase& c = GetParam();
    DropZone zone;
    zone.acceptDrops(c.acceptingDrops);
    QList<QUrl> urls;
    for (const QString& url : c.urls)
        urls.append(url.contains("://") ? QUrl(url) : QUrl::fromLocalFile(url));
    QMimeData mime;
    mime.setUrls(urls);

    EXPECT_EQ(enter(zone, mime, c.actions), c.accepted);
    const QCursor* cursor = QGuiApplication::overrideCursor();
    ASSERT_EQ(cursor != nullptr, c.accepted);
    if (c.accepted) {
        EXPECT_FALSE(cursor->pixmap().isNull());
        EXPECT_EQ(cursor->hotSpot(), QPoint(3, 1));
    }
    leave(zone);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Drags, DragTest, testing::Values(
    DragCase{"Iso", {"/i/disc.iso"}, true}, DragCase{"Img", {"/i/disc.img"}, true},
    DragCase{"Dmg", {"/i/disc.dmg"}, true, Qt::CopyAction | Qt::MoveAction},
    DragCase{"Toast", {"/i/disc.toast"}, true},
    DragCase{"LastExtensionCounts", {"/i/backup.tar.dmg"}, true},
    DragCase{"FolderNamedLikeAnImage", {"/i/folder.iso/"}, true},
    DragCase{"Capitals", {"/i/disc.ISO"}, false}, DragCase{"MixedCase", {"/i/disc.Toast"}, false},
    DragCase{"NoExtension", {"/i/disc"}, false}, DragCase{"FurtherExtension", {"/i/disc.iso.zip"}, false},
    DragCase{"DotInFolderOnly", {"/i/image.iso/inner"}, false},
    DragCase{"TwoFiles", {"/i/one.iso", "/i/two.iso"}, false},
    DragCase{"RemoteUrl", {"https://example.org/disc.iso"}, false},
    DragCase{"NoCopyAction", {"/i/disc.iso"}, false, Qt::MoveAction},
    DragCase{"NothingListed", {}, false},
    DragCase{"DropsOff", {"/i/disc.iso"}, false, Qt::CopyAction, false}),
    NamedCase());
// clang-format on

TEST(DropZoneTest, ExitsPopOnlyWhatTheViewPushed) {
    DropZone zone;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    // Straight to the view, as a platform may send exits that Qt would not route.
    const auto exitStraight = [&zone] {
        QDragLeaveEvent event;
        static_cast<QObject&>(zone).event(&event);
    };
    QMimeData refused;
    refused.setUrls({QUrl::fromLocalFile("/i/disc.ISO")});
    EXPECT_FALSE(enter(zone, refused));
    leave(zone);
    exitStraight();
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);

    QMimeData accepted;
    accepted.setUrls({QUrl::fromLocalFile("/i/disc.iso")});
    ASSERT_TRUE(enter(zone, accepted));
    EXPECT_NE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    drop(zone, accepted);
    exitStraight();
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QGuiApplication::restoreOverrideCursor();
}

// The drop burns the file; one that comes after the state changed is ignored.
TEST_F(TwoBurnersTest, DropBurnsTheFileInReadyOnly) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(harness.makeImage())});
    DropZone& zone = *harness.ui().dropZone;
    ASSERT_TRUE(enter(zone, mime));
    drop(zone, mime);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ASSERT_TRUE(harness.waitForBurnCalls(1));
    EXPECT_EQ(harness.fake.burnCalls().front().at(1), mime.urls().front().toLocalFile());

    ASSERT_TRUE(enter(zone, mime));
    harness.controller().setBurnState(BurnStateAwaitingDisc);
    harness.ui().deviceStatusField->clear();
    drop(zone, mime);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(harness.status(), QString()) << "no burn started";
}

} // namespace
