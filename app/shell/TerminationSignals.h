#pragma once

#include "posix/FileDescriptor.h"

#include <QObject>

class QSocketNotifier;

namespace emberlin {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the main loop, so that
// they take the normal way out instead of killing the application. One at a
// time; the previous dispositions come back when it goes.
class TerminationSignals final : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

signals:
    void received(int signalNumber);

private:
    void drain();

    posix::FileDescriptor readEnd_;
    posix::FileDescriptor writeEnd_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace emberlin
