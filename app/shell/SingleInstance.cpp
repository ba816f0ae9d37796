#include "app/shell/SingleInstance.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <optional>
#include <unistd.h>

namespace emberlin {

namespace {

constexpr char acknowledgement = '\x06';
// More than any list of paths a launch could name.
constexpr qsizetype largestMessage = 1 << 20;
constexpr int connectTimeoutMs = 2000;
// The running instance answers from its event loop, which never waits for
// long (modal alerts run one of their own).
constexpr int answerTimeoutMs = 20000;

// A message is each path (never empty) in UTF-8 followed by a NUL, and one
// more NUL at the end.
QByteArray messageOf(const QStringList& files) {
    QByteArray message;
    for (const QString& file : files)
        message += file.toUtf8() + '\0';
    return message + '\0';
}

// The files once the message is complete.
std::optional<QStringList> filesOf(const QByteArray& received) {
    if (received.startsWith('\0'))
        return QStringList();
    const qsizetype end = received.indexOf(QByteArrayView("\0\0", 2));
    if (end < 0)
        return std::nullopt;
    QStringList files;
    for (const QByteArray& file : received.left(end).split('\0'))
        files.append(QString::fromUtf8(file));
    return files;
}

} // namespace

QString SingleInstance::serverName(const QString& settingsFile) {
    const QByteArray digest =
        QCryptographicHash::hash(settingsFile.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QStringLiteral("emberlin-%1-%2")
        .arg(QString::number(::getuid()), QString::fromLatin1(digest.left(24)));
}

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent)
    , serverName_(std::move(serverName)) {}

SingleInstance::~SingleInstance() = default;

SingleInstance::Outcome SingleInstance::claimOrHandOver(const QStringList& files) {
    // Qt checks that the folder is the user's alone, and names none otherwise.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        qWarning().noquote() << tr("Emberlin: no folder is private to this user (XDG_RUNTIME_DIR), "
                                   "so later launches cannot reach this window safely: each will "
                                   "open a window of its own.");
        return Outcome::Primary;
    }
    const QString serverPath = QDir(folder).filePath(serverName_);

    // Looking for a running instance and taking the name over is one step, so
    // that two launches at once cannot both become the running instance.
    const QString lockPath = serverPath + QStringLiteral(".lock");
    QLockFile lock(lockPath);
    // A lock left by a launch that crashed is taken over once found stale.
    if (!lock.tryLock(connectTimeoutMs * 5))
        qWarning().noquote() << tr("Emberlin: cannot lock %1: two launches at once may both "
                                   "open a window.")
                                    .arg(lockPath);

    QLocalSocket socket;
    socket.connectToServer(serverPath);
    if (socket.waitForConnected(connectTimeoutMs)) {
        lock.unlock();
        return handOver(socket, files);
    }

    // Nobody answers: what is left of the name belongs to an instance that ended.
    QLocalServer::removeServer(serverPath);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_->nextPendingConnection())
            serve(client);
    });
    // Without the server this window is still the one to use: later launches
    // then open windows of their own, which the user should know.
    if (!server_->listen(serverPath))
        qWarning().noquote() << tr("Emberlin: later launches cannot reach this window (%1): "
                                   "each will open a window of its own.")
                                    .arg(server_->errorString());
    return Outcome::Primary;
}

SingleInstance::Outcome SingleInstance::handOver(QLocalSocket& socket, const QStringList& files) {
    socket.write(messageOf(files));
    socket.flush();
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(answerTimeoutMs))
            return Outcome::NoAnswer;
    }
    char answer = 0;
    socket.getChar(&answer);
    return answer == acknowledgement ? Outcome::HandedOver : Outcome::NoAnswer;
}

void SingleInstance::serve(QLocalSocket* socket) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this,
            [this, socket, received = QByteArray()]() mutable {
                received += socket->readAll();
                const std::optional<QStringList> files = filesOf(received);
                if (!files) {
                    if (received.size() > largestMessage)
                        socket->abort();
                    return; // more is to come
                }
                socket->putChar(acknowledgement);
                socket->disconnectFromServer();
                emit launchedAgain(*files);
            });
}

} // namespace emberlin
