#include "tests/app/AppHarness.h"
#include "views/CopyBurnerRow.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <utility>

// An accessible object as AT-SPI names it: the bus connection that serves it
// and its path there.
struct AccessibleRef {
    QString service;
    QDBusObjectPath path;
};
Q_DECLARE_METATYPE(AccessibleRef)

QDBusArgument& operator<<(QDBusArgument& argument, const AccessibleRef& ref) {
    argument.beginStructure();
    argument << ref.service << ref.path;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, AccessibleRef& ref) {
    argument.beginStructure();
    argument >> ref.service >> ref.path;
    argument.endStructure();
    return argument;
}

namespace {

using namespace emberlin;

const auto accessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");

// A screen reader's view of the desktop: plain D-Bus calls on the
// accessibility bus that at-spi2-core runs, and the events it receives there.
class ScreenReader final : public QObject {
    Q_OBJECT

public:
    ScreenReader()
        : bus_(QDBusConnection::connectToBus(accessibilityBusAddress(), "screen reader")) {
        qDBusRegisterMetaType<AccessibleRef>();
        qDBusRegisterMetaType<QList<AccessibleRef>>();
        bus_.connect(QString(), QString(), "org.a11y.atspi.Event.Object", "TextChanged", this,
                     SLOT(received(QDBusMessage)));
        bus_.connect(QString(), QString(), "org.a11y.atspi.Event.Object", "PropertyChange", this,
                     SLOT(received(QDBusMessage)));
        for (const char* event :
             {"Object:TextChanged", "Object:PropertyChange:AccessibleDescription",
              "Object:PropertyChange:AccessibleName"})
            call({"org.a11y.atspi.Registry", QDBusObjectPath("/org/a11y/atspi/registry")},
                 "org.a11y.atspi.Registry", "RegisterEvent",
                 {QString(event), QStringList(), QString()});
    }
    ~ScreenReader() override { QDBusConnection::disconnectFromBus("screen reader"); }

    // The first object, depth first from the desktop, with this name.
    std::optional<AccessibleRef> find(const QString& name) {
        std::vector<AccessibleRef> pending{
            {"org.a11y.atspi.Registry", QDBusObjectPath("/org/a11y/atspi/accessible/root")}};
        while (!pending.empty()) {
            const AccessibleRef ref = pending.back();
            pending.pop_back();
            if (property(ref, "Name") == name)
                return ref;
            const QVariant children = call(ref, accessibleInterface, "GetChildren");
            for (const AccessibleRef& child : qdbus_cast<QList<AccessibleRef>>(children))
                pending.push_back(child);
        }
        return std::nullopt;
    }

    QString property(const AccessibleRef& ref, const QString& name) {
        return call(ref, "org.freedesktop.DBus.Properties", "Get", {accessibleInterface, name})
            .value<QDBusVariant>()
            .variant()
            .toString();
    }
    QString text(const AccessibleRef& ref) {
        return call(ref, "org.a11y.atspi.Text", "GetText", {0, -1}).toString();
    }
    QString roleName(const AccessibleRef& ref) {
        return call(ref, accessibleInterface, "GetRoleName").toString();
    }

    // "TextChanged insert TEXT" or "PropertyChange accessible-description",
    // from the object at this path.
    QStringList eventsFrom(const AccessibleRef& ref) const {
        return events_.value(ref.path.path());
    }

private slots:
    void received(const QDBusMessage& event) {
        const QVariantList arguments = event.arguments();
        QString seen = event.member() + ' ' + arguments.value(0).toString();
        if (event.member() == "TextChanged")
            seen += ' ' + arguments.value(3).value<QDBusVariant>().variant().toString();
        events_[event.path()].append(seen);
    }

private:
    static QString accessibilityBusAddress() {
        const QDBusMessage reply =
            QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
                "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"));
        return reply.arguments().value(0).toString();
    }

    // Answered while the event loop runs: the window serves the call.
    QVariant call(const AccessibleRef& ref, const QString& interface, const QString& method,
                  const QVariantList& arguments = {}) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(ref.service, ref.path.path(), interface, method);
        message.setArguments(arguments);
        QDBusPendingCallWatcher watcher(bus_.asyncCall(message));
        if (!waitFor([&] { return watcher.isFinished(); }) || watcher.isError())
            return {};
        return watcher.reply().arguments().value(0);
    }

    QDBusConnection bus_;
    QHash<QString, QStringList> events_;
};

// What a screen reader hears of the burn: the status and the speed and time
// left, read as they change, over AT-SPI; and the same of the copies window's
// rows and summary.
TEST(AccessibilityTest, TheStatusAndTheSpeedAndTimeLeftReachAScreenReaderAsTheyChange) {
    AppHarness harness;
    harness.listTwoBurners();
    harness.start();
    harness.window().show();
    ScreenReader reader;
    std::optional<AccessibleRef> speed;
    ASSERT_TRUE(waitFor([&] { return (speed = reader.find("Speed and time left")).has_value(); }));
    EXPECT_EQ(reader.roleName(*speed), "status bar");

    // The window learns that a screen reader listens a moment after it asked.
    int tick = 0;
    ASSERT_TRUE(waitFor([&] {
        harness.window().showJobProgress(QString("about %1 minutes left").arg(++tick));
        return !reader.eventsFrom(*speed).isEmpty();
    }));
    const QString shown = "16x, 22.2 MB/s – about 3 minutes left";
    harness.window().showJobProgress(shown);
    ASSERT_TRUE(
        waitFor([&] { return reader.eventsFrom(*speed).contains("TextChanged insert " + shown); }));
    EXPECT_EQ(reader.text(*speed), shown);
    EXPECT_EQ(reader.property(*speed, "Name"), "Speed and time left");

    const std::optional<AccessibleRef> statusLine = reader.find("Status");
    ASSERT_TRUE(statusLine.has_value());
    EXPECT_EQ(reader.roleName(*statusLine), "status bar");
    // Each change is told once, as one replacement whose insert a screen
    // reader speaks, and drawn before the next; a change is no new name.
    const QString status = "Please insert a writable disc...";
    QStringList told;
    for (const auto& [output, shown] : {std::pair{"Please insert a disc:", status},
                                        std::pair{"PERCENT:-1\n", QString("Erasing...")}}) {
        if (const QString before = reader.text(*statusLine); !before.isEmpty())
            told.append("TextChanged delete " + before);
        told.append("TextChanged insert " + shown);
        harness.controller().processOutput(output);
        harness.window().grab();
        // Its reply comes after every event the window sent before it.
        EXPECT_EQ(reader.text(*statusLine), shown);
    }
    EXPECT_EQ(reader.eventsFrom(*statusLine), told);

    harness.window().findChild<QAction*>("burnCopiesAction")->trigger();
    const CopyBurn& copy = *harness.copies().copies().at(0);
    const QString summary = "3 of 4 discs burned and verified";
    harness.copiesWindow().showSummary(summary);
    copy.row().showStatus(status);
    for (const auto& [name, text] : {std::pair{QString("Summary"), summary},
                                     std::pair{"Status on " + copy.burner().title, status}}) {
        std::optional<AccessibleRef> line;
        ASSERT_TRUE(waitFor([&] { return (line = reader.find(name)).has_value(); }))
            << name.toStdString();
        EXPECT_EQ(reader.roleName(*line), "status bar");
        EXPECT_EQ(reader.text(*line), text);
        EXPECT_TRUE(waitFor(
            [&] { return reader.eventsFrom(*line).contains("TextChanged insert " + text); }));
    }
}

} // namespace

#include "AccessibilityTest.moc"
