#pragma once

#include <QHash>
#include <QObject>
#include <QString>

namespace emberlin {

class BurnRun;

// Which burner each window's tools hold: a burner whose tool runs for one
// burn is offered to no other. Burners are named by their trimmed device ids.
class BurnerClaims final : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    void claim(const QString& device, const BurnRun& holder);
    // Only the holder's own claim is released.
    void release(const QString& device, const BurnRun& holder);
    // The run whose tool holds the burner; null when none does.
    const BurnRun* holderOf(const QString& device) const { return holders_.value(device); }

signals:
    void changed();

private:
    QHash<QString, const BurnRun*> holders_;
};

} // namespace emberlin
