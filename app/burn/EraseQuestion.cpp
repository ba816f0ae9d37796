#include "app/burn/EraseQuestion.h"

#include "app/burn/Alerts.h"
#include "media/MediumFacts.h"
#include "tool/FactLine.h"

#include <QCoreApplication>

namespace emberlin {

namespace {

// "CD-RW", as the tool's id "cd-rw" stands for; "disc" for one it did not name.
QString mediumName(const QString& id) {
    const std::optional<media::Medium> medium = media::mediumWithId(id.toStdString());
    if (!medium)
        return QCoreApplication::translate("EraseQuestion", "disc");
    const std::string_view name = media::factsOf(*medium).displayName;
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

bool askToEraseDisc(Alerts& alerts, const QString& burnerTitle, const ToolFacts& disc) {
    constexpr int erase = 0;
    constexpr int useAnotherDisc = 1;
    const QString burner = burnerTitle.trimmed();
    const QString medium = mediumName(disc.medium);
    const QString holds =
        disc.discHolds.isEmpty()
            ? QCoreApplication::translate("EraseQuestion", "The %1 in “%2” holds data.")
                  .arg(medium, burner)
            : QCoreApplication::translate("EraseQuestion", "The %1 in “%2” holds %3.")
                  .arg(medium, burner, disc.discHolds);
    return alerts.runCritical(
               QCoreApplication::translate("EraseQuestion", "Erase the disc in “%1”?").arg(burner),
               holds + u' ' +
                   QCoreApplication::translate("EraseQuestion",
                                               "Erasing it destroys what it holds."),
               {QCoreApplication::translate("EraseQuestion", "Erase Disc"),
                QCoreApplication::translate("EraseQuestion", "Use Another Disc")},
               useAnotherDisc) == erase;
}

} // namespace emberlin
