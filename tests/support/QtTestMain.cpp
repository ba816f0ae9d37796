#include <QApplication>
#include <cstdlib>
#include <gmock/gmock.h>

int main(int argc, char** argv) {
    // Headless unless the caller chose a platform (e.g. xvfb for a manual look).
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
