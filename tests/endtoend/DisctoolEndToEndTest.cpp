#include "AppHarness.h"

#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace emberlin;

namespace {

const auto burnCompleted =
    QStringLiteral("Burn completed successfully - ready to burn another disk image.");

// Burners named to the tool through its environment, for one test.
class VirtualBurners {
public:
    explicit VirtualBurners(const QString& ids)
        : previous_(qgetenv(variable))
        , hadPrevious_(qEnvironmentVariableIsSet(variable)) {
        qputenv(variable, ids.toUtf8());
    }
    ~VirtualBurners() {
        if (hadPrevious_)
            qputenv(variable, previous_);
        else
            qunsetenv(variable);
    }
    VirtualBurners(const VirtualBurners&) = delete;
    VirtualBurners& operator=(const VirtualBurners&) = delete;

private:
    static constexpr const char* variable = "EMBERLIN_VIRTUAL_BURNERS";
    QByteArray previous_;
    bool hadPrevious_;
};

AppHarness::Options realTool() {
    AppHarness::Options options;
    options.toolPath = QStringLiteral(EMBERLIN_DISCTOOL);
    return options;
}

// An image whose size is not a whole number of 2048-byte sectors.
QByteArray writeImage(const QString& path) {
    QByteArray bytes(3 * 1024 * 1024 + 777, Qt::Uninitialized);
    QRandomGenerator generator(2026);
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return bytes;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class DisctoolEndToEnd : public testing::Test {
protected:
    // Burns the image to the burner at `index` and waits for the tool's verdict.
    void burn(int index, bool erase) {
        harness.ui().burnerMenu->setCurrentIndex(index);
        harness.ui().eraseCheckbox->setChecked(erase);
        harness.ui().verifyCheckbox->setChecked(true);
        harness.states = {harness.state()};
        harness.controller().openFiles({imagePath});
        ASSERT_TRUE(waitFor(
            [&] { return harness.status() == burnCompleted || !harness.alerts.shown.empty(); }));
    }

    AppHarness harness{realTool()};
    QString imagePath = harness.scratchPath(QStringLiteral("Holiday Photos.iso"));
    QByteArray image = writeImage(imagePath);
};

TEST_F(DisctoolEndToEnd, ListingShowsTheVirtualBurners) {
    const QString simulated =
        QStringLiteral("sim:%1?medium=cd-rw").arg(harness.scratchPath(QStringLiteral("disc.img")));
    const QString file = QStringLiteral("stdio:%1").arg(harness.scratchPath("out.iso"));
    VirtualBurners burners(simulated + u';' + file);

    harness.start();

    EXPECT_EQ(harness.state(), BurnStateReady);
    ASSERT_EQ(harness.ui().burnerMenu->count(), 2);
    EXPECT_EQ(harness.ui().burnerMenu->itemText(0), QStringLiteral("Simulated CD-RW burner 1 "));
    EXPECT_EQ(harness.ui().burnerMenu->itemText(1), QStringLiteral("Image-file burner 2 "));
}

TEST_F(DisctoolEndToEnd, BurnsAndVerifiesAnImageFile) {
    ASSERT_FALSE(image.isEmpty());
    const QString target = harness.scratchPath(QStringLiteral("burned.iso"));
    VirtualBurners burners(QStringLiteral("stdio:") + target);
    harness.start();

    burn(0, false);

    EXPECT_TRUE(harness.alerts.shown.empty());
    EXPECT_EQ(harness.sounds.played, QStringList{AppHarness::successSound()});
    EXPECT_EQ(harness.states, (std::vector<int>{BurnStateReady, BurnStateBurning,
                                                BurnStateVerifying, BurnStateReady}));
    EXPECT_EQ(readFile(target).left(image.size()), image);
}

struct LateDiscCase {
    const char* name;
    const char* parameters;
    bool erase;
    std::vector<int> states;
};

void PrintTo(const LateDiscCase& c, std::ostream* os) {
    *os << c.name;
}

class LateDisc : public DisctoolEndToEnd, public testing::WithParamInterface<LateDiscCase> {};

TEST_P(LateDisc, WindowPassesThroughEveryStateOfTheBurn) {
    ASSERT_FALSE(image.isEmpty());
    const QString disc = harness.scratchPath(QStringLiteral("disc.img"));
    VirtualBurners burners(QStringLiteral("sim:%1?%2").arg(disc, GetParam().parameters));
    harness.start();

    burn(0, GetParam().erase);

    EXPECT_TRUE(harness.alerts.shown.empty());
    EXPECT_EQ(harness.states, GetParam().states);
    EXPECT_EQ(readFile(disc).left(image.size()), image);
}

INSTANTIATE_TEST_SUITE_P(
    Discs, LateDisc,
    testing::Values(LateDiscCase{"RewritableDiscErased",
                                 "medium=cd-rw&state=full&insert-after=300ms&erase-time=200ms",
                                 true,
                                 {BurnStateReady, BurnStateAwaitingDiscToErase, BurnStateErasing,
                                  BurnStateBurning, BurnStateVerifying, BurnStateReady}},
                    LateDiscCase{"BlankDiscWithoutErase",
                                 "medium=dvd-r&insert-after=300ms",
                                 false,
                                 {BurnStateReady, BurnStateAwaitingDisc, BurnStateBurning,
                                  BurnStateVerifying, BurnStateReady}}),
    [](const testing::TestParamInfo<LateDiscCase>& info) { return info.param.name; });

} // namespace
