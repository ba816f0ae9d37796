#include "estimate/BurnJob.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace estimate;

namespace {

constexpr double cd1x = 153600;      // bytes per second
constexpr double cdDisc = 736970752; // 359,849 sectors
constexpr double cdClose = 11400 * 2048.0;
constexpr double cdQuickErase = 11250 * 2048.0;

// A spinning disc whose rim runs at x times 1x: from radius a to b (mm) on a
// disc recorded from 24 to 58 mm, at equal area per byte, takes
// 58 * C * 2 (b - a) / ((58² - 24²) * x * 1x) seconds.
double constantAngularSeconds(double disc, double x, double a, double b) {
    return 58 * disc * 2 * (b - a) / ((58.0 * 58 - 24.0 * 24) * x * cd1x);
}

} // namespace

TEST(BurnJobTest, TimesOfMediaSpeedsAndSizes) {
    struct Case {
        const char* medium;
        double kilobytesPerSecond;
        double bytes;
        EraseKind erase;
        bool verify;
        double seconds;
    };
    // 24x on a CD: constant linear velocity at 16x out to the radius where
    // the disc turning at 24x at the rim reaches 16x (38.67 mm), then CAV.
    const double crossing = 58.0 * 16 / 24;
    const double inner = cdDisc * (crossing * crossing - 576) / (3364 - 576);
    const double cd24 = inner / (16 * cd1x) + constantAngularSeconds(cdDisc, 24, crossing, 58);
    // Each phase ends with half a second of the host's waiting for the drive,
    // and releasing the drive takes another.
    // clang-format off
    const Case cases[] = {
        {"cd-r", 8 * 176.4, 100 * 8 * cd1x, EraseKind::None, false, 100 + cdClose / (8 * cd1x) + 1.5},
        {"cd-rw", 4 * 176.4, 10 * 4 * cd1x, EraseKind::Fast, true, cdQuickErase / (4 * cd1x) + 10 + cdClose / (4 * cd1x) + 10 + 2.5},
        {"cd-rw", 4 * 176.4, 10 * 4 * cd1x, EraseKind::Full, false, cdDisc / (4 * cd1x) + 10 + cdClose / (4 * cd1x) + 2.0},
        {"cd-r", 24 * 176.4, cdDisc, EraseKind::None, false, cd24 + cdClose / (24 * cd1x) + 1.5},
        {"dvd+rw", 4 * 1385, 1385000 * 4 * 120.0, EraseKind::None, true, 120 + 120 + 1.5},
        {"dvd-r", 4 * 1385, 1385000 * 4 * 120.0, EraseKind::None, false, 120 + 16384 * 2048 / (4 * 1385000.0) + 1.5},
        {"bd-re", 2 * 4495.625, 4495625 * 2 * 50.0, EraseKind::Format, false, 8192 * 2048 / (2 * 4495625.0) + 50 + 1.5},
        {"bd-r", 2 * 4495.625, 4495625 * 2 * 50.0, EraseKind::None, false, 50 + 8192 * 2048 / (2 * 4495625.0) + 1.5},
    };
    // clang-format on
    for (const Case& c : cases) {
        BurnJob job = jobOn(media::factsOf(*media::mediumWithId(c.medium)));
        job.imageBytes = static_cast<std::int64_t>(c.bytes);
        job.writeMultiple = job.readMultiple =
            multipleOfKilobytesPerSecond(job.family, c.kilobytesPerSecond);
        job.erase = c.erase;
        job.verify = c.verify;
        EXPECT_NEAR(jobSeconds(job), c.seconds, c.seconds * 0.002) << c.medium;
    }
    // A CD at 24x reaches 24x only at the rim: a small image near the hub
    // goes at 16x, with constant linear velocity.
    const BurnJob small{
        Family::CD, 1, false,           0,    static_cast<std::int64_t>(16 * cd1x * 10),
        24,         1, EraseKind::None, false};
    EXPECT_NEAR(jobSeconds(small), 10 + 1.0, 0.01);
    // A second layer runs back from the rim: a full dual-layer disc takes as
    // long as two full single layers.
    BurnJob dual{Family::DVD,     2,    false, 2 * 2295104 * 2048LL, 2 * 2295104 * 2048LL, 16, 1,
                 EraseKind::None, false};
    BurnJob single = dual;
    single.layers = 1;
    single.capacityBytes = single.imageBytes = 2295104 * 2048LL;
    EXPECT_NEAR(jobSeconds(dual) - 1.0, 2 * (jobSeconds(single) - 1.0), 0.5);
}
