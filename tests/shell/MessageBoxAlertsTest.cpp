#include "app/shell/MessageBoxAlerts.h"

#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

using namespace emberlin;

namespace {

// Texts that would turn into markup, and lose their double blanks, if the box
// interpreted them.
const QString message = "Really <b>quit</b>?";
const QString informative =
    "There is a <i>burn</i> in progress.  <a href=\"x\">Quitting</a> &amp; more.";

QPushButton* buttonTitled(QMessageBox& box, const QString& title) {
    for (QAbstractButton* button : box.buttons()) {
        if (button->text() == title)
            return qobject_cast<QPushButton*>(button);
    }
    return nullptr;
}

struct Buttons {
    QStringList titles;
    int defaultButton;
};

class MessageBoxAlertsTest : public testing::TestWithParam<Buttons> {};

TEST_P(MessageBoxAlertsTest, BuildsACriticalPlainTextBoxWithTheButtonsInOrder) {
    const auto& [titles, defaultButton] = GetParam();
    const auto box = MessageBoxAlerts::buildCritical(message, informative, titles, defaultButton);

    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->text(), message);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    const auto* informativeLabel = box->findChild<QLabel*>("qt_msgbox_informativelabel");
    ASSERT_NE(informativeLabel, nullptr);
    EXPECT_EQ(informativeLabel->text(), informative);
    EXPECT_EQ(informativeLabel->textFormat(), Qt::PlainText);

    ASSERT_EQ(box->buttons().size(), titles.size());
    EXPECT_EQ(box->escapeButton(), buttonTitled(*box, titles.last()));

    // Shown left to right in the given order (the headless platform lays the
    // buttons out like most desktops do).
    box->show();
    QApplication::processEvents();
    for (qsizetype i = 1; i < titles.size(); ++i) {
        EXPECT_LT(buttonTitled(*box, titles[i - 1])->x(), buttonTitled(*box, titles[i])->x());
    }
    // Return, as the box opens, answers with the default button.
    QKeyEvent returnKey(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(box.get(), &returnKey);
    EXPECT_EQ(MessageBoxAlerts::answerOf(*box), defaultButton);
    box->hide();
}

TEST_P(MessageBoxAlertsTest, ABoxClosedWithoutAnAnswerMeansTheLastButton) {
    const QStringList& titles = GetParam().titles;
    const auto box = MessageBoxAlerts::buildCritical(message, informative, titles);
    box->show();
    box->close();
    EXPECT_EQ(MessageBoxAlerts::answerOf(*box), titles.size() - 1);
}

// Runs modally until a button is pressed, and answers with its index.
TEST_P(MessageBoxAlertsTest, RunsModallyUntilAButtonIsPressed) {
    const QStringList& titles = GetParam().titles;
    for (qsizetype pressed = 0; pressed < titles.size(); ++pressed) {
        QString shownMessage;
        // Inspects and answers the box from inside its own modal loop.
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shownMessage = box->text();
            buttonTitled(*box, titles[pressed])->click();
        });
        MessageBoxAlerts alerts;
        EXPECT_EQ(alerts.runCritical(message, informative, titles, titles.size() - 1), pressed);
        EXPECT_EQ(shownMessage, message);
    }
}

INSTANTIATE_TEST_SUITE_P(Buttons, MessageBoxAlertsTest,
                         testing::Values(Buttons{{"OK"}, 0},
                                         Buttons{{"Rescan", "Wait", "Cancel"}, 0},
                                         Buttons{{"Quit anyway", "Cancel"}, 1}));

} // namespace
