#include "ReceiptFile.h"

#include "Alerts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace emberlin {

QString suggestedReceiptPath(const QString& imagePath) {
    const QFileInfo image(imagePath);
    return image.dir().filePath(QCoreApplication::translate("ReceiptFile", "%1 burn receipt.txt")
                                    .arg(image.completeBaseName()));
}

bool saveBurnReceipt(const BurnRecord& record, const QString& path, Alerts& alerts) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text) &&
        file.write(composeBurnReceipt(record).toUtf8()) >= 0 && file.commit())
        return true;
    alerts.runCritical(QCoreApplication::translate("ReceiptFile", "The burn receipt was not saved"),
                       QStringLiteral("%1: %2").arg(path, file.errorString()),
                       {QCoreApplication::translate("ReceiptFile", "OK")});
    return false;
}

} // namespace emberlin
