#include "views/BurnProgressBar.h"

#include <QProgressBar>
#include <algorithm>
#include <cmath>

namespace emberlin {

namespace {

// The tool's fractions run from 0.0 to 1.0.
constexpr int progressSteps = 1000;

} // namespace

void prepareBurnProgress(QProgressBar& bar) {
    bar.setRange(0, progressSteps);
}

void showBurnActivity(QProgressBar& bar) {
    bar.setRange(0, 0);
}

void showBurnFraction(QProgressBar& bar, double fraction) {
    prepareBurnProgress(bar);
    bar.setValue(std::isnan(fraction) ? 0
                                      : static_cast<int>(std::lround(
                                            std::clamp(fraction, 0.0, 1.0) * progressSteps)));
}

} // namespace emberlin
