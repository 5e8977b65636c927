// The design dialog as the user meets it: start values, the Hz labels of the cutoff sliders,
// the digits-only edits, the tab order, paging through the list and the system menus of both
// dialogs.
#include "gui_helpers.h"

#include "gui/requirements/requirements_wnd.h"
#include "gui/value_list.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString Labels(const ShownDesignDialog& shown) {
    return shown.LabelText(kLabelLow) + "|" + shown.LabelText(kLabelHigh);
}

// Keys queued together, as a macro tool or keys typed while the program is busy deliver them.
void PostKeys(QWidget* target, std::initializer_list<Qt::Key> keys) {
    for (const Qt::Key key : keys) {
        const QString text = key == Qt::Key_Return ? "\r" : QString(QChar(key)).toLower();
        const bool printable = key >= Qt::Key_0 && key <= Qt::Key_9;
        QCoreApplication::postEvent(
            target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, printable ? text : ""));
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
    }
}

// A right click on the free space of a dialog.
void RightClick(QWidget* dialog) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                            dialog->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(dialog, &event);
}

// Chooses a menu entry by its text.
ModalWatcher::Action Choose(const QString& entry) {
    return [entry](QWidget* window) {
        auto* menu = qobject_cast<QMenu*>(window);
        for (QAction* action : menu->actions())
            if (action->text() == entry)
                menu->setActiveAction(action);
        QTest::keyClick(menu, Qt::Key_Return);
    };
}

TEST(DesignDialog, StartValuesAndWindow) {
    ShownDesignDialog shown;
    EXPECT_EQ(shown.Edit(kOrder)->text(), "511");
    EXPECT_EQ(shown.Edit(kRate)->text(), "8000");
    for (const auto& [name, position] : {std::pair{kSliderLow, 100}, {kSliderHigh, 600}}) {
        EXPECT_EQ(shown.Slider(name)->minimum(), 0);
        EXPECT_EQ(shown.Slider(name)->maximum(), 1000);
        EXPECT_EQ(shown.Slider(name)->value(), position);
    }
    // Writing 8000 into the rate edit at start-up must not turn the labels into "%8.1f".
    QTest::qWait(0);
    EXPECT_EQ(Labels(shown), "400|2400");
    EXPECT_TRUE(shown.ListItems().isEmpty());

    QDialog& window = shown.dlg;
    EXPECT_EQ(window.windowTitle(), "FIR Filter Design");
    EXPECT_EQ(window.size(), QSize(639, 308)) << "284 x 164 dialog units of DejaVu Serif 10";
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window.windowIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible()) << "Escape cancels the dialog";
}

TEST(DesignDialog, EveryUserActionOnASliderRefreshesBothLabels) {
    ShownDesignDialog shown;
    // Home at position 0 moves nothing, yet both labels take the "%8.1f" form.
    shown.Slider(kSliderLow)->setValue(0);
    QTest::keyClick(shown.Slider(kSliderLow), Qt::Key_Home);
    EXPECT_EQ(Labels(shown), "     0.0|  2400.0");

    ShownDesignDialog clicked;
    QSlider* high = clicked.Slider(kSliderHigh);
    const QPoint thumb(6 + (high->width() - 12) * 6 / 10, high->height() / 2);
    QTest::mousePress(high, Qt::LeftButton, {}, thumb);
    QTest::mouseRelease(high, Qt::LeftButton, {}, thumb);
    EXPECT_EQ(high->value(), 600) << "a click on the thumb leaves it where it was";
    EXPECT_EQ(Labels(clicked), "   400.0|  2400.0");

    // One step right: 101/1000 of 4000 Hz.
    QTest::keyClick(clicked.Slider(kSliderLow), Qt::Key_Right);
    EXPECT_EQ(Labels(clicked), "   404.0|  2400.0");
    QTest::keyClick(high, Qt::Key_End);
    EXPECT_EQ(Labels(clicked), "   404.0|  4000.0") << "a slider at its end: half the rate";
}

TEST(DesignDialog, LabelsFollowTheRate) {
    ShownDesignDialog shown;
    QLineEdit* rate = shown.Edit(kRate);
    QTest::keyClick(rate, Qt::Key_End);
    QTest::keyClick(rate, Qt::Key_0);
    EXPECT_EQ(Labels(shown), "  4000.0| 24000.0") << "the start labels follow at once";
    rate->setText("44101");
    EXPECT_EQ(Labels(shown), "  2205.1| 13230.3");
    EXPECT_EQ(shown.Slider(kSliderLow)->value(), 100) << "the sliders stay where they are";
    rate->clear();
    EXPECT_EQ(Labels(shown), "     0.0|     0.0");
}

TEST(DesignDialog, CutoffLabelsShowFiveDigitFrequenciesWhole) {
    ShownDesignDialog shown;
    const QRect low = shown.dlg.findChild<QLabel*>(kLabelLow)->geometry();
    const QRect high = shown.dlg.findChild<QLabel*>(kLabelHigh)->geometry();
    EXPECT_LT(low.right(), high.left()) << "the two labels side by side, apart";
    // 15 and 45 dialog units from the left, 25 wide: widened about their own centres.
    EXPECT_LE(std::abs(low.center().x() - (34 + 56 / 2)), 1);
    EXPECT_LE(std::abs(high.center().x() - (101 + 56 / 2)), 1);

    shown.Edit(kRate)->setText("199998");
    QTest::keyClick(shown.Slider(kSliderHigh), Qt::Key_End);
    QTest::keyClick(shown.Slider(kSliderLow), Qt::Key_End);
    for (const QString& name : {kLabelLow, kLabelHigh}) {
        const auto* label = shown.dlg.findChild<QLabel*>(name);
        EXPECT_EQ(label->text(), " 99999.0");
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                  label->contentsRect().width())
            << name.toStdString();
    }
}

TEST(DesignDialog, KeysQueuedBehindARateEditSeeTheNewLabels) {
    ShownDesignDialog shown;
    QLineEdit* rate = shown.Edit(kRate);
    rate->setFocus();
    rate->deselect();
    PostKeys(rate, {Qt::Key_End, Qt::Key_0, Qt::Key_Return});
    ModalWatcher watcher;
    QCoreApplication::processEvents();
    ASSERT_TRUE(watcher.Messages().empty());
    ASSERT_EQ(rate->text(), "80000");
    // Designed from 4000 and 24000 Hz at 80000 Hz (0.1 ... 0.6), not from 400 and 2400 Hz.
    EXPECT_EQ(shown.ListItems().value(255), "0.500000");
}

TEST(DesignDialog, EditsRefuseTypedNonDigitsButTakePastedText) {
    ShownDesignDialog shown;
    for (const QString& name : {kOrder, kRate}) {
        QLineEdit* edit = shown.Edit(name);
        edit->clear();
        QTest::keyClicks(edit, "12ab-3.5 e");
        EXPECT_EQ(edit->text(), "1235") << name.toStdString();
        shown.Paste(name, "-4.5e1 x");
        EXPECT_EQ(edit->text(), "-4.5e1 x") << name.toStdString();
    }
}

TEST(DesignDialog, TabVisitsTheSevenTabStopsInOrder) {
    ShownDesignDialog shown;
    QApplication::setActiveWindow(&shown.dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&shown.dlg));
    ASSERT_EQ(QApplication::focusWidget()->objectName(), "listCoef") << "the first tab stop";
    QStringList visited;
    for (int step = 0; step < 7; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited,
              (QStringList{kOrder, kSliderLow, kSliderHigh, kCalculate, kSave, kRate, "listCoef"}));
}

// A page is the rows in view: Down scrolls the list once the current row passes the last of
// them, and PageDown and PageUp move by as many.
TEST(DesignDialog, PageKeysMoveTheListsCurrentRowByTheRowsInView) {
    ShownDesignDialog shown;
    shown.Click(kCalculate);
    auto* list = shown.dlg.findChild<ValueList*>();
    QTest::keyClick(list, Qt::Key_Home);
    int inView = 0;
    while (list->verticalScrollBar()->value() == 0 && inView < 511) {
        QTest::keyClick(list, Qt::Key_Down);
        ++inView;
    }
    ASSERT_GT(inView, 3);
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_PageDown);
    EXPECT_EQ(list->currentRow(), inView);
    QTest::keyClick(list, Qt::Key_PageDown);
    EXPECT_EQ(list->currentRow(), 2 * inView);
    QTest::keyClick(list, Qt::Key_PageUp);
    EXPECT_EQ(list->currentRow(), inView);
    QTest::keyClick(list, Qt::Key_End);
    QTest::keyClick(list, Qt::Key_PageDown);
    EXPECT_EQ(list->currentRow(), 510) << "stops at the last row";
}

TEST(DesignDialog, SystemMenusOfBothDialogs) {
    ShownDesignDialog shown;
    {
        ModalWatcher watcher({Choose("&About Taplore...")});
        RightClick(&shown.dlg);
        ASSERT_EQ(watcher.Seen().size(), 2u);
        EXPECT_EQ(watcher.Seen()[0].text,
                  "Mi&nimize|&Close||&About Taplore...|&Design to Requirements...\tCtrl+D");
        EXPECT_EQ(watcher.Seen()[1].title, "About Taplore");
        EXPECT_TRUE(watcher.Seen()[1].text.contains("FIR filter design program\n"));
    }
    // The About box has no minimise box, so its menu offers none; its Close ends it. The low
    // four bits of a system command do not count.
    ModalWatcher watcher({[](QWidget* about) { RightClick(about); }, Choose("&Close")});
    QMetaObject::invokeMethod(&shown.dlg, "OnSysCommand", Q_ARG(unsigned, 0x1Fu));
    ASSERT_EQ(watcher.Seen().size(), 2u);
    EXPECT_EQ(watcher.Seen()[0].title, "About Taplore");
    EXPECT_EQ(watcher.Seen()[1].text, "&Close");
    EXPECT_TRUE(shown.dlg.isVisible());
    EXPECT_FALSE(shown.dlg.isMinimized());
}

// The requirements window opens beside the dialog from its menu and with Ctrl+D, one at a
// time, and takes input while the dialog runs.
TEST(DesignDialog, DesignToRequirementsOpensOneWindowBesideTheDialog) {
    ShownDesignDialog shown;
    const auto open = [] {
        std::vector<CRequirementsWnd*> windows;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* wnd = qobject_cast<CRequirementsWnd*>(widget); wnd && wnd->isVisible())
                windows.push_back(wnd);
        return windows;
    };
    {
        ModalWatcher watcher({Choose("&Design to Requirements...\tCtrl+D")});
        RightClick(&shown.dlg);
    }
    ASSERT_EQ(open().size(), 1u);
    QTest::keyClick(&shown.dlg, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(open().size(), 1u);
    EXPECT_EQ(open()[0]->parentWidget(), &shown.dlg);
    open()[0]->close();
    EXPECT_TRUE(open().empty());
    QTest::keyClick(&shown.dlg, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(open().size(), 1u);
}

} // namespace
