// emberlin-bench-startup-probe window|bare TOOL: one start-up in a fresh process,
// from the window's construction until its first paint has been processed;
// prints the microseconds to the first paint and to the burners listed. "window"
// is the real application (seams as in the app, TOOL listing two burners);
// "bare" is the same window without a controller.
#include "app/AppAssembly.h"

#include <QApplication>
#include <QComboBox>
#include <QSettings>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>

using namespace emberlin;

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

void runUntil(const std::function<bool()>& done) {
    while (!done())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents(); // the rest of that pass
}

int startUp(bool real, const QString& tool) {
    FirstPaint firstPaint;
    const Clock::time_point start = Clock::now();
    if (!real) {
        MainWindow window;
        window.installEventFilter(&firstPaint);
        window.show();
        runUntil([&] { return firstPaint.seen; });
        std::printf("%lld\n", microsecondsSince(start));
        return 0;
    }
    QSettings settings;
    AppAssembly app(settings, {tool});
    bool listed = false;
    QObject::connect(&app.controller().burnReports(), &BurnReports::stateChanged,
                     [&listed](BurnState state) { listed = state != BurnStateListing; });
    app.window().installEventFilter(&firstPaint);
    app.controller().awakeFromNib();
    app.window().show();
    runUntil([&] { return firstPaint.seen; });
    const long long painted = microsecondsSince(start);
    runUntil([&] { return listed; });
    if (app.window().outlets().burnerMenu->count() != 2) {
        std::fprintf(stderr, "the listing did not find the two burners\n");
        return 1;
    }
    std::printf("%lld %lld\n", painted, microsecondsSince(start));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const bool real = argc == 3 && std::strcmp(argv[1], "window") == 0;
    if (argc != 3 || (!real && std::strcmp(argv[1], "bare") != 0)) {
        std::fprintf(stderr, "usage: %s window|bare TOOL\n", argv[0]);
        return 2;
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Emberlin"));
    QCoreApplication::setApplicationName(QStringLiteral("Emberlin"));
    return startUp(real, QString::fromLocal8Bit(argv[2]));
}
