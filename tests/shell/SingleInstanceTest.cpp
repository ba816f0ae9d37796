#include "app/shell/SingleInstance.h"

#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QUuid>
#include <cstring>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

using namespace emberlin;

namespace {

QString uniqueName() {
    return "emberlin-test-" + QUuid::createUuid().toString(QUuid::Id128);
}

// Where an instance of that name listens: in the user's runtime folder.
QString socketPath(const QString& name) {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)).filePath(name);
}

// What an instance that crashed leaves: the socket's file, with nobody listening.
void leaveStaleSocket(const QString& name) {
    const QByteArray path = QFile::encodeName(socketPath(name));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<std::size_t>(path.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(QString::fromLocal8Bit(path)));
}

// Sends bytes as a later launch would and returns the answer, running the loop
// so that the instance in this process can serve.
QByteArray launchAgain(const QString& name, const QByteArray& message) {
    QLocalSocket socket;
    socket.connectToServer(socketPath(name));
    if (!socket.waitForConnected(5000))
        return "not connected";
    socket.write(message);
    QByteArray answer;
    const bool ended = waitFor([&] {
        answer += socket.readAll();
        return !answer.isEmpty() || socket.state() == QLocalSocket::UnconnectedState;
    });
    return ended ? answer : QByteArray("still connected");
}

// Each path ends with a NUL, the list with one more.
QByteArray messageOf(const QStringList& files) {
    QByteArray bytes;
    for (const QString& file : files)
        bytes += file.toUtf8() + '\0';
    return bytes + '\0';
}

TEST(SingleInstance, NamesOneInstancePerUserAndSettingsFile) {
    const QString name = SingleInstance::serverName("/home/a/.config/E/E.conf");
    EXPECT_EQ(name, SingleInstance::serverName("/home/a/.config/E/E.conf"));
    EXPECT_NE(name, SingleInstance::serverName("/tmp/scratch/E/E.conf"));
    EXPECT_TRUE(name.contains(QString::number(::getuid())));
}

// The instance of this process, taking over the name a crashed one left, and
// what later launches handed it.
class PrimaryInstance : public testing::Test {
protected:
    void SetUp() override {
        leaveStaleSocket(name);
        ASSERT_EQ(instance.emplace(name).claimOrHandOver({}), SingleInstance::Outcome::Primary);
        QObject::connect(&*instance, &SingleInstance::launchedAgain,
                         [&](const QStringList& files) { launched.push_back(files); });
    }
    const QString name = uniqueName();
    std::optional<SingleInstance> instance;
    std::vector<QStringList> launched;
};

TEST_F(PrimaryInstance, TakesOverTheNameOfAnInstanceThatCrashedAndServesLaterLaunches) {
    const QStringList files{"/images/a disc.iso", "/images/b.img"};
    EXPECT_EQ(launchAgain(name, messageOf(files)), QByteArray("\x06"));
    ASSERT_EQ(launched.size(), 1);
    EXPECT_EQ(launched.front(), files);

    EXPECT_EQ(launchAgain(name, messageOf({})), QByteArray("\x06"));
    ASSERT_EQ(launched.size(), 2);
    EXPECT_TRUE(launched.back().isEmpty());
}

TEST_F(PrimaryInstance, AMessageInPiecesIsTakenWhenComplete) {
    const QByteArray message = messageOf({"/images/split.toast", "/images/b.iso"});
    QLocalSocket socket;
    socket.connectToServer(socketPath(name));
    ASSERT_TRUE(socket.waitForConnected(5000));
    // Cut between the first path's end and the list's end; the instance reads
    // what is there once the loop runs.
    socket.write(message.left(20));
    ASSERT_TRUE(waitFor([&] { return socket.bytesToWrite() == 0; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(launched.size(), 0);
    socket.write(message.mid(20));
    EXPECT_TRUE(waitFor([&] { return launched.size() == 1; }));
}

TEST_F(PrimaryInstance, AMessageWithoutEndIsCutOffUnanswered) {
    EXPECT_EQ(launchAgain(name, QByteArray(3 << 20, 'x')), QByteArray());
    EXPECT_EQ(launched.size(), 0);
}

// Without its lock and its server it is still the one window to use, and says
// that later launches will open windows of their own.
TEST(SingleInstance, FailuresToListenAreReportedAndItGoesOnAlone) {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            if (text.startsWith("Emberlin: "))
                warnings << text;
        });
    SingleInstance instance("/nonexistent-folder/emberlin");
    const SingleInstance::Outcome outcome = instance.claimOrHandOver({});
    qInstallMessageHandler(previous);
    EXPECT_EQ(outcome, SingleInstance::Outcome::Primary);
    ASSERT_EQ(warnings.size(), 2) << warnings.join('\n').toStdString();
    EXPECT_TRUE(warnings[0].startsWith("Emberlin: cannot lock "));
    EXPECT_TRUE(warnings[1].startsWith("Emberlin: later launches cannot reach"));
}

} // namespace
