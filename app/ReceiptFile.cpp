#include "ReceiptFile.h"

#include "Alerts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace emberlin {

namespace {

QString besideImage(const QString& imagePath, const QString& nameTemplate) {
    const QFileInfo image(imagePath);
    return image.dir().filePath(nameTemplate.arg(image.completeBaseName()));
}

} // namespace

QString suggestedReceiptPath(const QString& imagePath) {
    return besideImage(imagePath,
                       QCoreApplication::translate("ReceiptFile", "%1 burn receipt.txt"));
}

QString suggestedReceiptsPath(const QString& imagePath) {
    return besideImage(imagePath,
                       QCoreApplication::translate("ReceiptFile", "%1 burn receipts.txt"));
}

bool saveBurnReceipt(const BurnRecord& record, const QString& path, Alerts& alerts) {
    return saveBurnReceipts({record}, path, alerts);
}

bool saveBurnReceipts(const std::vector<BurnRecord>& records, const QString& path, Alerts& alerts) {
    QStringList receipts;
    for (const BurnRecord& record : records)
        receipts.append(composeBurnReceipt(record));
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text) &&
        file.write(receipts.join(u'\n').toUtf8()) >= 0 && file.commit())
        return true;
    alerts.runCritical(QCoreApplication::translate("ReceiptFile", "The burn receipt was not saved"),
                       QStringLiteral("%1: %2").arg(path, file.errorString()),
                       {QCoreApplication::translate("ReceiptFile", "OK")});
    return false;
}

} // namespace emberlin
