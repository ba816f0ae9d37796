#pragma once

#include "app/burn/BurnServices.h"
#include "app/burn/Burner.h"
#include "app/burn/ChecksumGate.h"
#include "app/burn/CopyBurn.h"
#include "app/records/BurnClock.h"
#include "app/records/BurnJournal.h"
#include "tool/BurnState.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace emberlin {

class CopiesWindow;

// The copies window's controller: the image, the four options (from the
// stored preferences), a row for each burner the main window lists, and the
// copy burn: every checked burner that no other burn holds burns the image at
// once, each its own CopyBurn. At the end: a summary, one sound, the taskbar's
// end and the receipts. A new burner list waits while copies burn.
class CopyBurnController final : public QObject {
    Q_OBJECT

public:
    // What the controller may not reach by itself.
    struct Services : BurnServices {
        // The receipts' time of day, and the time left's steady clock.
        BurnClock clock;
        SteadyClock steadyClock;
    };

    CopyBurnController(CopiesWindow& window, const Services& services, QObject* parent = nullptr);
    ~CopyBurnController() override;

    // File ▸ Burn Copies…: shows the window; while it was closed and idle, it
    // takes the main window's image, if there is one.
    void open(const QString& mainImagePath);
    void setBurners(const std::vector<Burner>& burners);
    void chooseImage(const QString& path);
    void burn();
    void saveReceipts();
    // The application ends: every tool is stopped.
    void stop();

    // A copy for each listed burner, in the list's order.
    const std::vector<std::unique_ptr<CopyBurn>>& copies() const { return copies_; }
    // The records of the last copy burn's discs whose receipts are ready.
    std::vector<BurnRecord> receipts() const;
    // From Burn until every copy has ended.
    bool running() const { return running_; }
    // Whether a copy erases, burns or verifies: quitting now may spoil its disc.
    bool writing() const;

signals:
    void runningChanged(bool running);
    // For the desktop, as the main window's burn: Burning while copies burn,
    // the progress of all their bytes together, and the summary at the end.
    void burnStateChanged(BurnState burnState);
    void burnProgressed(double fraction);
    void burnEnded(bool succeeded, const QString& summary);
    // And each copy's own waits for a disc, as the main window's burn tells them.
    void copiesStarted(const QString& imagePath);
    void copyBurnStateChanged(const QString& device, const QString& burnerTitle,
                              BurnState burnState);
    void copyDiscRefused(const QString& device, const QString& status);

private:
    bool offered(const CopyBurn& copy) const;
    void refresh();
    void copyProgressed();
    void copyEnded();
    void finish();
    void applyBurners(const std::vector<Burner>& burners);
    void checksumCompared(const ChecksumComparison& comparison);
    // Every checked burner free of other burns burns the image.
    void startCopies(const std::optional<ChecksumCheck>& checksum);
    void refreshReceipts();

    CopiesWindow& window_;
    Alerts& alerts_;
    Sounds& sounds_;
    PtyOpener& ptyOpener_;
    BurnerClaims& claims_;
    const QString toolPath_;
    const BurnClock clock_;
    const SteadyClock steadyClock_;
    const QString successSound_;
    const QString failureSound_;

    QString imagePath_;
    std::vector<std::unique_ptr<CopyBurn>> copies_;
    // The copies of the running burn, and their journals kept for the
    // receipts until the next burn.
    std::vector<CopyBurn*> participants_;
    std::vector<std::unique_ptr<BurnJournal>> journals_;
    bool verifying_ = false;
    bool running_ = false;
    // While the copies are being started, an end is counted afterwards.
    bool starting_ = false;
    std::optional<std::vector<Burner>> pendingBurners_;
    // The image compared with a published checksum before the copies burn,
    // as the main window does before its burn.
    ChecksumGate checksumGate_;
};

} // namespace emberlin
