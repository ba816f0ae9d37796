#include "app/burn/BurnerListing.h"

#include "app/burn/BurnerClaims.h"
#include "tool/BurnCommand.h"
#include "views/MainWindow.h"

#include <utility>

namespace emberlin {

BurnerListing::BurnerListing(MainWindow& mainWindow, BurnerClaims& claims, const BurnRun& ownRun,
                             QString toolPath, std::chrono::milliseconds timeLimit,
                             std::chrono::milliseconds rescanDelay)
    : mainWindow_(mainWindow)
    , claims_(claims)
    , ownRun_(ownRun)
    , toolPath_(std::move(toolPath))
    , timeLimit_(timeLimit) {
    connect(&claims_, &BurnerClaims::changed, this, &BurnerListing::offerBurners);
    rescanTimer_.setSingleShot(true);
    rescanTimer_.setInterval(rescanDelay);
    connect(&rescanTimer_, &QTimer::timeout, this, &BurnerListing::rescanDue);
}

void BurnerListing::start() {
    mainWindow_.clearBurners();
    burnerDevices_.clear();
    burnerCount_ = 0;
    expectBurnerName_ = true;
    task_ = std::make_unique<PipeTask>(toolPath_, listingArguments(), timeLimit_);
    connect(task_.get(), &PipeTask::finished, this, &BurnerListing::taskFinished);
    task_->start();
}

void BurnerListing::stop() {
    task_.reset();
    rescanTimer_.stop();
}

void BurnerListing::taskFinished(PipeTask::Outcome outcome, const QString& output) {
    task_.release()->deleteLater(); // it is still emitting
    emit ended(outcome, output);
}

void BurnerListing::take(const effect::ClearBurners&) {
    mainWindow_.clearBurners();
    burnerDevices_.clear();
}

void BurnerListing::take(const effect::AddBurnerName& name) {
    mainWindow_.insertBurner(burnerCount_, name.title);
    ++burnerCount_;
}

void BurnerListing::take(const effect::AddBurnerDevice& device) {
    burnerDevices_.append(device.device);
}

void BurnerListing::publish() {
    mainWindow_.selectFirstBurner();
    offerBurners();
    std::vector<Burner> burners;
    for (int index = 0; index < burnerCount_ && index < burnerDevices_.size(); ++index)
        burners.push_back({mainWindow_.burnerTitle(index), *device(index)});
    emit burnersListed(burners);
}

void BurnerListing::offerBurners() {
    for (int index = 0; index < burnerDevices_.size(); ++index) {
        const BurnRun* holder = claims_.holderOf(*device(index));
        mainWindow_.setBurnerOffered(index, holder == nullptr || holder == &ownRun_);
    }
}

std::optional<QString> BurnerListing::device(int index) const {
    if (index < 0 || index >= burnerDevices_.size())
        return std::nullopt;
    return trimBlanksAndTabs(burnerDevices_.at(index));
}

QString BurnerListing::failureStatus(PipeTask::Outcome outcome) const {
    return outcome == PipeTask::Outcome::TimedOut
               ? tr("The disc-image tool did not answer (%1).").arg(toolPath_)
               : tr("The disc-image tool could not be started (%1).").arg(toolPath_);
}

} // namespace emberlin
