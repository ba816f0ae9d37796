#include "ReceiptFile.h"

#include "Alerts.h"
#include "LinkSafeFileWrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace emberlin {

QString suggestedReceiptPath(const QString& imagePath) {
    const QFileInfo image(imagePath);
    return image.dir().filePath(QCoreApplication::translate("ReceiptFile", "%1 burn receipt.txt")
                                    .arg(image.completeBaseName()));
}

bool saveBurnReceipt(const BurnRecord& record, const QString& path, Alerts& alerts) {
    // The suggested name lies beside the image, perhaps in a folder others
    // write to too.
    const QString problem =
        writeFileWithoutFollowingLinks(path, composeBurnReceipt(record).toUtf8());
    if (problem.isEmpty())
        return true;
    alerts.runCritical(QCoreApplication::translate("ReceiptFile", "The burn receipt was not saved"),
                       QStringLiteral("%1: %2").arg(path, problem),
                       {QCoreApplication::translate("ReceiptFile", "OK")});
    return false;
}

} // namespace emberlin
