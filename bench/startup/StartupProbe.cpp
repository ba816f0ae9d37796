// emberlin-bench-startup-probe window|bare: one start-up in a fresh process,
// from the window's construction until its first paint has been processed;
// prints the microseconds. "window" is the real window with its controller
// (seams as in the app, the tool at $EMBERLIN_BENCH_TOOL, which lists two
// burners); "bare" is the same form in a QMainWindow without a controller.
#include "CanberraSounds.h"
#include "EmberlinController.h"
#include "MessageBoxAlerts.h"
#include "PtyOpener.h"
#include "QuitGuard.h"
#include "WindowOutlets.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QMainWindow>
#include <QSettings>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

// Notes the first paint the window receives.
class FirstPaint final : public QObject {
public:
    bool seen = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            seen = true;
        return false;
    }
};

long long microsecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
}

void untilFirstPaint(QMainWindow& window, FirstPaint& firstPaint) {
    window.show();
    while (!firstPaint.seen)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents(); // the rest of that paint pass
}

// Microseconds from construction to the first paint processed; -1 when the
// real window's listing did not find the two burners.
long long startUp(bool real) {
    FirstPaint firstPaint;
    const Clock::time_point start = Clock::now();
    QMainWindow window;
    window.installEventFilter(&firstPaint);
    if (!real) {
        Ui::MainWindow form;
        form.setupUi(&window);
        untilFirstPaint(window, firstPaint);
        return microsecondsSince(start);
    }
    QSettings settings;
    const EmberlinController::Outlets outlets = buildWindowOutlets(window);
    MessageBoxAlerts alerts(&window);
    CanberraSounds sounds;
    SystemPtyOpener ptyOpener;
    EmberlinController controller(outlets, {alerts, sounds, settings, ptyOpener,
                                            qEnvironmentVariable("EMBERLIN_BENCH_TOOL")});
    connectWindowActions(outlets, controller);
    QuitGuard quitGuard(controller, window);
    controller.awakeFromNib();
    untilFirstPaint(window, firstPaint);
    const long long elapsed = microsecondsSince(start);
    return controller.state().burnerDevices.size() == 2 ? elapsed : -1;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const bool real = argc == 2 && std::strcmp(argv[1], "window") == 0;
    if (argc != 2 || (!real && std::strcmp(argv[1], "bare") != 0)) {
        std::fprintf(stderr, "usage: %s window|bare\n", argv[0]);
        return 2;
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Emberlin"));
    QCoreApplication::setApplicationName(QStringLiteral("Emberlin"));
    const long long elapsed = startUp(real);
    if (elapsed < 0) {
        std::fprintf(stderr, "the listing did not find the two burners\n");
        return 1;
    }
    std::printf("%lld\n", elapsed);
    return 0;
}
