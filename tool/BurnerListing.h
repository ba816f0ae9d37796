#pragma once

#include <QString>
#include <chrono>

// Runs the tool's listing synchronously: standard output and error merged,
// drained while it runs, bounded in time.
struct ListingOutcome {
    enum class Result { Completed, FailedToStart, TimedOut };
    Result result = Result::Completed;
    QString output; // decoded leniently: invalid bytes become U+FFFD
};

ListingOutcome runBurnerListing(const QString& toolPath,
                                std::chrono::milliseconds timeLimit = std::chrono::seconds(60));
