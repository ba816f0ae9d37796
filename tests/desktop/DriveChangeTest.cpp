#include "desktop/BurnerListRefresher.h"
#include "desktop/DriveChangePolicy.h"
#include "desktop/OpticalDriveEvents.h"
#include "desktop/OpticalDriveUevent.h"
#include "tests/support/TestSupport.h"

#include <gmock/gmock.h>
#include <string>
#include <variant>
#include <vector>

using namespace emberlin;
using Step = DriveChangePolicy::Step;

namespace {

// What reaches the policy: a burn state, or an optical drive added or removed,
// the settle timer firing, a burn asked for, copies beginning or ending to burn.
enum Event { drive, settled, started, copies, copied };
using Input = std::variant<BurnState, Event>;

// The policy's answers, one letter each: '-' nothing, 'S' start the settle
// timer, 'R' reload the burners.
std::string play(const std::vector<Input>& inputs) {
    DriveChangePolicy policy;
    std::string answers;
    for (const Input& input : inputs) {
        const auto* event = std::get_if<Event>(&input);
        const Step step = !event              ? policy.burnStateChanged(std::get<BurnState>(input))
                          : *event == drive   ? policy.opticalDriveAddedOrRemoved()
                          : *event == settled ? policy.settleTimeElapsed()
                          : *event == started ? policy.burnStarted()
                                              : policy.copiesRunning(*event == copies);
        answers += step == Step::Nothing ? '-' : step == Step::StartSettleTimer ? 'S' : 'R';
    }
    return answers;
}

} // namespace

TEST(DriveChangePolicyTest, ReloadsOnceSettledAndOnlyWhereTheReloadButtonWorks) {
    for (int number = 0; number <= static_cast<int>(BurnStateTerminating); ++number) {
        const auto state = BurnState(number);
        const bool allowed = state == BurnStateReady || state == BurnStateNoBurners;
        EXPECT_EQ(play({state, drive, settled}), allowed ? "-SR" : "-S-") << "in state " << number;
    }
}

TEST(DriveChangePolicyTest, Stories) {
    struct Story {
        const char* name;
        std::vector<Input> inputs;
        const char* answers;
    };
    const std::vector<Story> stories{
        {"events while settling make one reload",
         {BurnStateReady, drive, drive, drive, settled},
         "-S--R"},
        {"a change after a reload settles again",
         {BurnStateReady, drive, settled, drive, settled},
         "-SRSR"},
        {"a change during a burn is applied back in Ready, once",
         {BurnStateBurning, drive, settled, BurnStateVerifying, BurnStateReady, BurnStateReady},
         "-S--R-"},
        {"back in Ready while settling, the timer decides",
         {BurnStateBurning, drive, BurnStateReady, settled},
         "-S-R"},
        {"a change during a listing is applied when it ends without burners",
         {BurnStateListing, drive, settled, BurnStateNoBurners},
         "-S-R"},
        {"the reload's own listing does not reload again",
         {BurnStateReady, drive, settled, BurnStateListing, BurnStateReady},
         "-SR--"},
        {"a burn starting in Ready holds the change until it ends",
         {BurnStateReady, started, drive, settled, BurnStateAwaitingDisc, BurnStateReady},
         "--S--R"},
        {"a burn that fails before it leaves Ready lets the change through",
         {BurnStateReady, started, drive, settled, BurnStateReady},
         "--S-R"},
        {"copies burning hold the change until they end",
         {BurnStateReady, copies, drive, settled, BurnStateListing, BurnStateReady, copied},
         "--S---R"},
        {"copies ending while the window burns leave the change to it",
         {BurnStateReady, copies, drive, settled, BurnStateBurning, copied, BurnStateReady},
         "--S---R"},
    };
    for (const Story& story : stories)
        EXPECT_EQ(play(story.inputs), story.answers) << story.name;
}

TEST(BurnerListRefresherTest, DriveEventsBecomeOneReloadOnceTheBurnIsOver) {
    OpticalDriveEvents drives;
    BurnerListRefresher refresher(drives, std::chrono::milliseconds(0));
    int reloads = 0;
    QObject::connect(&refresher, &BurnerListRefresher::reloadBurnersRequested, [&] { ++reloads; });

    refresher.burnStateChanged(BurnStateReady);
    refresher.burnStarted();
    refresher.burnStateChanged(BurnStateBurning);
    for (int event = 0; event < 3; ++event)
        emit drives.opticalDriveAddedOrRemoved();
    EXPECT_EQ(reloads, 0);
    refresher.burnStateChanged(BurnStateReady);
    ASSERT_TRUE(waitFor([&] { return reloads == 1; }));

    emit drives.opticalDriveAddedOrRemoved();
    ASSERT_TRUE(waitFor([&] { return reloads == 2; }));
}

TEST(OpticalDriveUeventTest, OnlyOpticalDrivesThatComeOrGoCount) {
    struct Row {
        const char* action;
        const char* idCdrom;
        bool counts;
    };
    for (const Row& row : std::vector<Row>{{"add", "1", true},
                                           {"remove", "1", true},
                                           {"change", "1", false},
                                           {"add", "", false},
                                           {"remove", "0", false},
                                           {"bind", "1", false}})
        EXPECT_EQ(announcesOpticalDriveAddedOrRemoved(row.action, row.idCdrom), row.counts)
            << row.action << " " << row.idCdrom;
}
