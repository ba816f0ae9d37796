#include "app/records/ReceiptFile.h"

#include "app/burn/Alerts.h"
#include "app/records/BurnReceipt.h"
#include "app/records/LinkSafeFileWrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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
    // The suggested name lies beside the image, perhaps in a folder others
    // write to too.
    const QString problem = writeFileWithoutFollowingLinks(path, receipts.join(u'\n').toUtf8());
    if (problem.isEmpty())
        return true;
    alerts.runCritical(QCoreApplication::translate("ReceiptFile", "The burn receipt was not saved"),
                       QStringLiteral("%1: %2").arg(path, problem),
                       {QCoreApplication::translate("ReceiptFile", "OK")});
    return false;
}

} // namespace emberlin
