#pragma once

#include <QString>

namespace emberlin {

// Where a burn shows its status line and its bar: the main window, or a row
// of the copies window.
class BurnStatusView {
public:
    virtual void showStatus(const QString& text) = 0;
    virtual void showActivity() = 0;                // the bar runs without a value
    virtual void showProgress(double fraction) = 0; // 1.0 is all done
    virtual void hideProgress() = 0;

protected:
    ~BurnStatusView() = default;
};

} // namespace emberlin
