#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace emberlin {

// One Emberlin per user and settings store: a later launch hands its files to
// the running one over a local socket and ends, instead of opening a second
// window that would compete for the same burner. The socket and its lock live
// in the user's runtime folder ($XDG_RUNTIME_DIR, or Qt's own beside the
// temporary files), which only the user may enter: another user who took
// the name first could silence every launch and learn the files opened. Where
// there is no such folder, this window runs alone and says so.
class SingleInstance final : public QObject {
    Q_OBJECT

public:
    enum class Outcome {
        Primary,    // no other instance: this one now serves later launches
        HandedOver, // the running instance took the files
        NoAnswer,   // an instance is there but did not take the files
    };

    // A name per user and settings file, so that separate stores (as in tests)
    // make separate instances.
    static QString serverName(const QString& settingsFile);

    explicit SingleInstance(QString serverName, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Hands the files (possibly none) to a running instance, or, when none
    // answers the name, takes it over, also from one that crashed.
    Outcome claimOrHandOver(const QStringList& files);

signals:
    // A later launch asked for this instance, with its files (possibly none).
    void launchedAgain(const QStringList& files);

private:
    Outcome handOver(QLocalSocket& socket, const QStringList& files);
    void serve(QLocalSocket* socket);

    QString serverName_;
    QLocalServer* server_ = nullptr;
};

} // namespace emberlin
