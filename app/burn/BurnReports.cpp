#include "app/burn/BurnReports.h"

#include "app/burn/DiscRefusalNote.h"
#include "app/burn/JobProgressLine.h"
#include "app/records/BurnJournal.h"

#ifndef Q_OS_MACOS
#include "desktop/BurnDesktopFeedback.h"
#endif

namespace emberlin {

void BurnReports::attach(BurnJournal& journal) {
    connect(this, &BurnReports::started, &journal, &BurnJournal::burnStarted);
    connect(this, &BurnReports::checksumChecked, &journal, &BurnJournal::checksumChecked);
    connect(this, &BurnReports::stateChanged, &journal, &BurnJournal::burnStateChanged);
    connect(this, &BurnReports::factReported, &journal, &BurnJournal::burnFactReported);
    connect(this, &BurnReports::eraseAgreed, &journal, &BurnJournal::discEraseAgreed);
    connect(this, &BurnReports::ended, &journal, &BurnJournal::burnEnded);
}

void BurnReports::detach(BurnJournal& journal) {
    disconnect(this, nullptr, &journal, nullptr);
}

void BurnReports::attach(JobProgressLine& line) {
    connect(this, &BurnReports::started, &line, &JobProgressLine::burnStarted);
    connect(this, &BurnReports::stateChanged, &line, &JobProgressLine::burnStateChanged);
    connect(this, &BurnReports::progressed, &line, &JobProgressLine::burnProgressed);
    connect(this, &BurnReports::factReported, &line, &JobProgressLine::burnFactReported);
}

void BurnReports::attach(DiscRefusalNote& note) {
    connect(this, &BurnReports::stateChanged, &note, &DiscRefusalNote::burnStateChanged);
    connect(this, &BurnReports::factReported, &note, &DiscRefusalNote::burnFactReported);
    connect(this, &BurnReports::discRefused, &note, &DiscRefusalNote::discRefused);
}

#ifndef Q_OS_MACOS
void BurnReports::attach(BurnDesktopFeedback& feedback) {
    connect(this, &BurnReports::started, &feedback, &BurnDesktopFeedback::burnStarted);
    connect(this, &BurnReports::stateChanged, &feedback, &BurnDesktopFeedback::burnStateChanged);
    connect(this, &BurnReports::discRefused, &feedback, &BurnDesktopFeedback::discRefused);
    connect(this, &BurnReports::ended, &feedback, &BurnDesktopFeedback::burnEnded);
}
#endif

} // namespace emberlin
