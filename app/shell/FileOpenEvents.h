#pragma once

#include <QObject>
#include <QStringList>

namespace emberlin {

// The platform's open-document requests (QFileOpenEvent, macOS), at launch and
// later. The files of one request arrive as one event each; they are handed on
// together, from the event loop.
class FileOpenEvents final : public QObject {
    Q_OBJECT

public:
    explicit FileOpenEvents(QObject* parent = nullptr);
    ~FileOpenEvents() override;

signals:
    void filesOpened(const QStringList& files);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void handOn();

    QStringList pending_;
};

} // namespace emberlin
