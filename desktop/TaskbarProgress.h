#pragma once

namespace emberlin {

// The burn's progress on the app's taskbar or dock entry.
class TaskbarProgress {
public:
    virtual ~TaskbarProgress() = default;
    // 0.0 to 1.0.
    virtual void showProgress(double fraction) = 0;
    virtual void hideProgress() = 0;
};

} // namespace emberlin
