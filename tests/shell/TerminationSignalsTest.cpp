#include "app/shell/TerminationSignals.h"

#include "tests/support/TestSupport.h"

#include <csignal>
#include <vector>

using namespace emberlin;

namespace {

class TerminationSignalsTest : public ::testing::TestWithParam<int> {};

TEST_P(TerminationSignalsTest, ReportsTheSignalOnTheEventLoopInsteadOfEnding) {
    const int signalNumber = GetParam();
    struct sigaction before {};
    ::sigaction(signalNumber, nullptr, &before);
    {
        TerminationSignals signalsToLoop;
        std::vector<int> received;
        QObject::connect(&signalsToLoop, &TerminationSignals::received,
                         [&](int signalNumber) { received.push_back(signalNumber); });
        ASSERT_EQ(::raise(signalNumber), 0);
        // Only a byte was written: nothing is reported before the loop runs.
        EXPECT_EQ(received.size(), 0);
        EXPECT_TRUE(waitFor([&] { return received.size() == 1; }));
        EXPECT_EQ(received.front(), signalNumber);
    }
    struct sigaction after {};
    ::sigaction(signalNumber, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationSignalsTest,
                         ::testing::Values(SIGTERM, SIGINT, SIGHUP));

} // namespace
