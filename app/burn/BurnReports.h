#pragma once

#include "app/records/BurnRecord.h"
#include "tool/BurnCommand.h"
#include "tool/BurnState.h"

#include <QObject>
#include <QString>

namespace emberlin {

class BurnJournal;
class DiscRefusalNote;
class JobProgressLine;
#ifndef Q_OS_MACOS
class BurnDesktopFeedback;
#endif

// What happens to one burner's burn, the main window's or a copy's, as it
// happens. Whatever tells of a burn listens here, attached alike in every
// window.
class BurnReports final : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The record for the receipt; a journal kept for an earlier burn is detached first.
    void attach(BurnJournal& journal);
    void detach(BurnJournal& journal);
    // The speed and time left below the status.
    void attach(JobProgressLine& line);
    // Why the last disc was refused, while another one is awaited.
    void attach(DiscRefusalNote& note);
#ifndef Q_OS_MACOS
    // The taskbar's progress and the notifications of a single burn.
    void attach(BurnDesktopFeedback& feedback);
#endif

signals:
    // The tool was launched to burn this image to this burner with these choices.
    void started(const QString& imagePath, const QString& burnerTitle, const BurnChoices& choices);
    // The image was compared with its published checksum before the burn
    // that just started.
    void checksumChecked(const ChecksumCheck& check);
    // After every change of the burn state, once the window has been gated.
    void stateChanged(BurnState burnState);
    // A progress value was shown on the bar, 0.0 to 1.0.
    void progressed(double fraction);
    // A fact line of the running burn, as the tool wrote it.
    void factReported(const QString& line);
    // The person chose to erase the disc, which held what discHolds tells.
    void eraseAgreed(const QString& discHolds);
    // The disc in the drive was refused, with the status shown for it; the
    // burn waits for another disc.
    void discRefused(const QString& status);
    // The burn's one result: success, failure, busy or lost burner, or the
    // tool ending without a word; with the status shown for it.
    void ended(bool succeeded, const QString& status);
};

} // namespace emberlin
