#include "estimate/TimeLeftEstimator.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

using namespace estimate;

namespace {

// A DVD-R at 4x: 200 s of writing, 6 s closing, 160 s verifying at 5x.
const BurnJob dvd{Family::DVD, 1, 16384, 0, 4 * 1385000LL * 200, 4, 5, EraseKind::None, true};

// Plays a burn whose drive is `slowness` times slower than the model (its
// verify `verifySlowness` times), one progress line a second; returns the
// time left shown and the whole job's share done each second, and the job's
// true end.
struct Played {
    std::vector<double> shown;
    std::vector<double> shares;
    double end;
};
Played play(std::optional<BurnJob> model, double slowness, double verifySlowness) {
    TimeLeftEstimator estimator(true);
    if (model)
        estimator.setJob(*model);
    // The host waits half a second after each phase and for the release.
    const double write = 200 * slowness;
    const double close = (0.5 + 16384 * 2048 / (4 * 1385000.0) + 0.5) * slowness;
    const double verify = 160 * verifySlowness;
    Played played{{}, {}, write + close + verify + 1.0 * slowness};
    estimator.enterPhase(Phase::Write, 0);
    for (int t = 0; t < played.end; ++t) {
        if (t < write) {
            estimator.progressed(t / write, t);
        } else if (t >= write + close) {
            estimator.enterPhase(Phase::Verify, write + close);
            estimator.progressed(std::min(1.0, (t - write - close) / verify), t);
        } else {
            estimator.progressed(1, t);
        }
        played.shown.push_back(estimator.secondsLeft(t).value_or(-1));
        played.shares.push_back(estimator.jobShareDone());
    }
    return played;
}

} // namespace

TEST(TimeLeftEstimatorTest, FollowsTheModelAndTheMeasuredPaceWithoutJumping) {
    struct Case {
        const char* name;
        bool model;
        double slowness;
        double verifySlowness;
        int firstShown;     // the first second with a time to show
        double errorFrom10; // the largest error from 10 % of the job on, in s
        double growth;      // the most the time shown may grow in a second
    };
    // Without facts the verify is taken to last as long as the write, and
    // its own pace is known only after two seconds of it, in which the time
    // shown counts down.
    const Case cases[] = {
        {"model", true, 1.0, 1.0, 0, 1.5, 0},
        {"slower drive", true, 1.3, 1.3, 0, 0.05 * 478, 2},
        {"faster drive", true, 0.8, 0.8, 0, 0.05 * 294, 0},
        {"no facts", false, 1.0, 1.0, 2, 40 + 0.05 * 366, 0},
        {"no facts, slow verify", false, 1.0, 2.0, 2, 160.1, 2},
    };
    for (const Case& c : cases) {
        const Played played =
            play(c.model ? std::optional(dvd) : std::nullopt, c.slowness, c.verifySlowness);
        for (std::size_t t = 0; t < played.shown.size(); ++t) {
            const double shown = played.shown[t];
            EXPECT_EQ(shown < 0, static_cast<int>(t) < c.firstShown) << c.name << " at " << t;
            if (t > 0 && played.shown[t - 1] >= 0) {
                EXPECT_LE(shown, played.shown[t - 1] + c.growth + 1e-9)
                    << c.name << " grew at " << t;
            }
            if (t >= 0.1 * played.end) {
                EXPECT_NEAR(shown, played.end - static_cast<double>(t), c.errorFrom10)
                    << c.name << " at " << t;
            }
        }
        // The whole job's share runs once from the start to the end.
        EXPECT_TRUE(std::is_sorted(played.shares.begin(), played.shares.end())) << c.name;
        EXPECT_LT(played.shares.front(), 0.01) << c.name;
        EXPECT_GT(played.shares.back(), 0.99) << c.name;
    }
}
