#pragma once

class QProgressBar;

namespace emberlin {

// A burn's progress bar: its determinate range, running without a value, or
// a fraction of the range (1.0 is all done; outside 0..1 is clamped, NaN is 0).
void prepareBurnProgress(QProgressBar& bar);
void showBurnActivity(QProgressBar& bar);
void showBurnFraction(QProgressBar& bar, double fraction);

} // namespace emberlin
