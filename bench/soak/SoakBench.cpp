// emberlin-bench-soak [BURNS]: burns one window through the scripted stand-in
// tool BURNS times (1000 by default), successes, failures, crashes and stray
// bytes in turn, its alerts answered through the alerts seam. Prints the open
// descriptors, live children and resident memory at the start and every 100
// burns: they should stay flat.
#include "tests/app/AppHarness.h"

#include <QApplication>
#include <QFile>
#include <cstdio>
#include <unistd.h>

using namespace emberlin;

namespace {

// What each burn's tool does, in turn.
const QList<QStringList> transcripts{
    {fake::say("Preparing data for burn\nWriting track\nPERCENT:10\n"),
     fake::say("PERCENT:100\nBurn completed successfully\n"), fake::exitWith(0)},
    {fake::say("Preparing data for burn\nPERCENT:40\n"),
     fake::say("burn failed - The disc could not be written\n"), fake::exitWith(1)},
    {fake::say("Preparing data for burn\nPERCENT:20\n"), fake::crash()},
    {fake::say("Preparing data for burn\nPERCENT:10\n"),
     fake::say("\xff\nBurn completed successfully\n"), fake::exitWith(0)},
};

double residentMegabytes() {
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> pages = statm.readAll().split(' ');
    return pages.value(1).toDouble() * double(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void printFigures(int burns) {
    // A child that has just said its last line is given time to exit first.
    waitFor([] { return childProcessCount() == 0; });
    std::printf("%6d burns  %3d descriptors  %2d children  %6.1f MB resident\n", burns,
                openDescriptorCount(), childProcessCount(), residentMegabytes());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int burns = argc > 1 ? QByteArray(argv[1]).toInt() : 1000;
    AppHarness harness;
    harness.listTwoBurners();
    harness.start();
    const QString image = harness.makeImage();
    printFigures(0);
    int successes = 0;
    for (int burn = 1; burn <= burns; ++burn) {
        harness.fake.setBurn(transcripts[burn % transcripts.size()]);
        harness.controller().openFiles({image});
        // Every way a burn ends plays one sound, back in the ready state.
        if (!waitFor([&] {
                return !harness.sounds.played.isEmpty() && harness.state() == BurnStateReady;
            })) {
            std::fprintf(stderr, "burn %d did not end: %s\n", burn, qPrintable(harness.status()));
            return 1;
        }
        successes += harness.sounds.played.front() == AppHarness::successSound ? 1 : 0;
        // The recorders' own lists are not the window's memory.
        harness.sounds.played.clear();
        harness.alerts.shown.clear();
        harness.states.erase(harness.states.begin(), harness.states.end() - 1);
#ifndef Q_OS_MACOS
        harness.notifications.shown.clear();
        harness.taskbar.shown.clear();
#endif
        if (burn % 100 == 0)
            printFigures(burn);
    }
    std::printf("%d burns reported a success, %d a failure\n", successes, burns - successes);
    return 0;
}
