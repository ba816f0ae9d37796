#pragma once

#include <QLabel>

namespace emberlin {

// A line that tells how things stand: the status, a refused disc, the speed
// and time left. Screen readers find it as a status bar under its accessible
// name, read its text, and are told of each change once. It needs that fixed
// name: QLabel announces a new text as a new name where it has none.
class StatusLabel final : public QLabel {
    Q_OBJECT

public:
    explicit StatusLabel(QWidget* parent = nullptr);

    // Shows the text and tells assistive technology what changed.
    void showText(const QString& text);
};

} // namespace emberlin
