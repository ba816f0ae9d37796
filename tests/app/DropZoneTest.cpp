#include "DropZone.h"

#include "ControllerHarness.h"

#include <QCursor>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace FakeDirective;

std::unique_ptr<QMimeData> urlsMime(const QList<QUrl>& urls) {
    auto mime = std::make_unique<QMimeData>();
    mime->setUrls(urls);
    return mime;
}

bool enter(DropZone& zone, const QMimeData& mime, Qt::DropActions actions = Qt::CopyAction) {
    QDragEnterEvent event(QPoint(10, 10), actions, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&zone, &event);
    return event.isAccepted();
}

void leave(DropZone& zone) {
    QDragLeaveEvent event;
    QCoreApplication::sendEvent(&zone, &event);
}

void drop(DropZone& zone, const QMimeData& mime, Qt::DropActions actions = Qt::CopyAction) {
    QDropEvent event(QPointF(10, 10), actions, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&zone, &event);
}

class DropZoneTest : public testing::Test {
protected:
    void SetUp() override {
        harness.listTwoBurners();
        harness.fake.setBurn({hang()});
        harness.start();
        ASSERT_EQ(harness.state().burnState, BurnStateReady);
        ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
    void TearDown() override { EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr); }

    DropZone& zone() { return *harness.ui().dropZone; }
    QUrl file(const QString& name) { return QUrl::fromLocalFile(harness.makeImage(name)); }

    ControllerHarness harness;
};

struct DragCase {
    const char* name;
    QStringList files; // made in a scratch folder; "dir:" names a folder
    QStringList remote;
    Qt::DropActions actions;
    bool accepted;
};

void PrintTo(const DragCase& c, std::ostream* os) {
    *os << c.name;
}

class DragAcceptanceTest : public DropZoneTest, public testing::WithParamInterface<DragCase> {};

TEST_P(DragAcceptanceTest, EnterThenLeave) {
    const DragCase& c = GetParam();
    QList<QUrl> urls;
    for (const QString& name : c.files) {
        if (name.startsWith(QStringLiteral("dir:"))) {
            const QString path = harness.scratchPath(name.mid(4));
            QDir().mkpath(path);
            urls.append(QUrl::fromLocalFile(path + QLatin1Char('/')));
        } else {
            urls.append(file(name));
        }
    }
    for (const QString& url : c.remote)
        urls.append(QUrl(url));
    const auto mime = urlsMime(urls);

    EXPECT_EQ(enter(zone(), *mime, c.actions), c.accepted);
    const QCursor* cursor = QGuiApplication::overrideCursor();
    if (c.accepted) {
        ASSERT_NE(cursor, nullptr);
        EXPECT_FALSE(cursor->pixmap().isNull());
        EXPECT_EQ(cursor->hotSpot(), QPoint(3, 1));
    } else {
        EXPECT_EQ(cursor, nullptr);
    }
    leave(zone());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(harness.state().imagePath.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Drags, DragAcceptanceTest,
    testing::Values(
        DragCase{"Iso", {"disc.iso"}, {}, Qt::CopyAction, true},
        DragCase{"Img", {"disc.img"}, {}, Qt::CopyAction, true},
        DragCase{"Dmg", {"disc.dmg"}, {}, Qt::CopyAction | Qt::MoveAction, true},
        DragCase{"Toast", {"disc.toast"}, {}, Qt::CopyAction, true},
        DragCase{"LastExtensionCounts", {"backup.tar.dmg"}, {}, Qt::CopyAction, true},
        DragCase{"FolderNamedLikeAnImage", {"dir:folder.iso"}, {}, Qt::CopyAction, true},
        DragCase{"Capitals", {"disc.ISO"}, {}, Qt::CopyAction, false},
        DragCase{"MixedCase", {"disc.Toast"}, {}, Qt::CopyAction, false},
        DragCase{"NoExtension", {"disc"}, {}, Qt::CopyAction, false},
        DragCase{"FurtherExtension", {"disc.iso.zip"}, {}, Qt::CopyAction, false},
        DragCase{"DotInFolderOnly", {"dir:image.iso/inner"}, {}, Qt::CopyAction, false},
        DragCase{"TwoFiles", {"one.iso", "two.iso"}, {}, Qt::CopyAction, false},
        DragCase{"RemoteUrl", {}, {"https://example.org/disc.iso"}, Qt::CopyAction, false},
        DragCase{"NoCopyAction", {"disc.iso"}, {}, Qt::MoveAction | Qt::LinkAction, false},
        DragCase{"NothingListed", {}, {}, Qt::CopyAction, false}),
    [](const testing::TestParamInfo<DragCase>& info) { return info.param.name; });

TEST_F(DropZoneTest, EveryStateButReadyRefuses) {
    const auto mime = urlsMime({file(QStringLiteral("disc.iso"))});
    for (int state = BurnStateListing; state <= BurnStateTerminating; ++state) {
        if (state == BurnStateReady)
            continue;
        harness.controller().setBurnState(state);
        EXPECT_FALSE(enter(zone(), *mime)) << state;
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << state;
        leave(zone());
    }
    harness.controller().setBurnState(BurnStateReady);
    EXPECT_TRUE(enter(zone(), *mime));
    leave(zone());
}

TEST_F(DropZoneTest, DropBurnsTheFileAndRestoresTheCursor) {
    const QUrl image = file(QStringLiteral("disc.iso"));
    const auto mime = urlsMime({image});
    ASSERT_TRUE(enter(zone(), *mime));
    drop(zone(), *mime);

    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(harness.state().imagePath, image.toLocalFile());
    ASSERT_TRUE(harness.waitForBurnCalls(1));
    EXPECT_EQ(harness.burnCalls().front().at(1), image.toLocalFile());
}

TEST_F(DropZoneTest, DropAfterTheStateChangedIsIgnored) {
    const auto mime = urlsMime({file(QStringLiteral("disc.iso"))});
    ASSERT_TRUE(enter(zone(), *mime));
    harness.controller().setBurnState(BurnStateAwaitingDisc);
    drop(zone(), *mime);

    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(harness.state().imagePath.isEmpty());
    EXPECT_EQ(harness.state().burnTask, nullptr);
}

TEST_F(DropZoneTest, ExitsPopOnlyWhatTheViewPushed) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const auto expectWaitCursorOnTop = [](const char* when) {
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr) << when;
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor) << when;
    };
    // Straight to the view, as a platform may send exits that Qt would not route.
    const auto exitStraight = [this] {
        QDragLeaveEvent event;
        static_cast<QObject&>(zone()).event(&event);
    };

    const auto refused = urlsMime({file(QStringLiteral("disc.ISO"))});
    EXPECT_FALSE(enter(zone(), *refused));
    leave(zone());
    exitStraight();
    expectWaitCursorOnTop("after a refused drag");

    const auto accepted = urlsMime({file(QStringLiteral("disc.iso"))});
    ASSERT_TRUE(enter(zone(), *accepted));
    EXPECT_NE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    drop(zone(), *accepted);
    exitStraight();
    expectWaitCursorOnTop("after a drop");

    QGuiApplication::restoreOverrideCursor();
}

TEST(DroppedFileTest, IgnoredWhileDropsAreNotAllowed) {
    ControllerHarness harness;
    harness.start();
    const QString image = harness.makeImage();
    for (int state : {BurnStateListing, BurnStateNoBurners, BurnStateAwaitingDisc, BurnStateBurning,
                      BurnStateTerminating}) {
        harness.controller().setBurnState(state);
        harness.controller().burnDroppedFile({image});
        EXPECT_TRUE(harness.state().imagePath.isEmpty()) << state;
        EXPECT_EQ(harness.state().burnTask, nullptr) << state;
    }
    harness.controller().setBurnState(BurnStateReady);
    harness.controller().burnDroppedFile({});
    EXPECT_TRUE(harness.state().imagePath.isEmpty());
    EXPECT_TRUE(harness.alerts.shown.empty());
    EXPECT_TRUE(harness.sounds.played.isEmpty());
}

} // namespace
