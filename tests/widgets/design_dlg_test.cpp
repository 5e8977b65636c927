// The design dialog as the user meets it: start values, the Hz labels of the cutoff
// sliders, the digits-only edits, the tab order, the frame and the About box.
#include "res/resource.h"
#include "widget_helpers.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(DesignDialog, StartValuesAndFrame) {
    ShownDesignDialog shown;
    EXPECT_EQ(shown.Edit(IDC_EDIT_ORDER)->text(), "511");
    EXPECT_EQ(shown.Edit(IDC_EDIT_SAMPLE_RATE)->text(), "8000");
    for (const auto& [id, position] : {std::pair{IDC_SLIDER_LOW, 100}, {IDC_SLIDER_HIGH, 600}}) {
        EXPECT_EQ(shown.Slider(id)->minimum(), 0);
        EXPECT_EQ(shown.Slider(id)->maximum(), 1000);
        EXPECT_EQ(shown.Slider(id)->value(), position);
    }
    // Writing 8000 into the rate edit at start-up must not turn the labels into "%8.1f".
    QTest::qWait(0);
    EXPECT_EQ(shown.LabelText(IDC_LABEL_LOW), "400");
    EXPECT_EQ(shown.LabelText(IDC_LABEL_HIGH), "2400");
    EXPECT_TRUE(shown.dlg.CoefficientCount() == 0 && shown.ListItems().isEmpty());

    QWidget* window = shown.dlg.GetWidget();
    EXPECT_EQ(window->windowTitle(), "FIR Filter Design");
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    // The program's icon in both sizes, on the window and for a dragged minimised window.
    EXPECT_EQ(window->windowIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));
    EXPECT_EQ(shown.dlg.OnQueryDragIcon().Get().cacheKey(), window->windowIcon().cacheKey());
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible()) << "Escape cancels the dialog";
}

TEST(DesignDialog, LabelsFollowSlidersAndRate) {
    ShownDesignDialog shown;
    const auto labels = [&shown] {
        return shown.LabelText(IDC_LABEL_LOW) + "|" + shown.LabelText(IDC_LABEL_HIGH);
    };
    // One step right: 101/1000 of 4000 Hz. Both labels take the "%8.1f" form at once.
    QTest::keyClick(shown.Slider(IDC_SLIDER_LOW), Qt::Key_Right);
    EXPECT_EQ(labels(), "   404.0|  2400.0");
    shown.Slider(IDC_SLIDER_LOW)->setValue(250);
    EXPECT_EQ(labels(), "  1000.0|  2400.0");

    // Doubling the rate doubles both labels and leaves the sliders where they are.
    QLineEdit* rate = shown.Edit(IDC_EDIT_SAMPLE_RATE);
    rate->selectAll();
    QTest::keyClicks(rate, "16000");
    QTest::qWait(0);
    EXPECT_EQ(labels(), "  2000.0|  4800.0");
    EXPECT_EQ(shown.Slider(IDC_SLIDER_LOW)->value(), 250);
    EXPECT_EQ(shown.Slider(IDC_SLIDER_HIGH)->value(), 600);

    // A slider at its maximum shows half the rate, exactly.
    QTest::keyClick(shown.Slider(IDC_SLIDER_HIGH), Qt::Key_End);
    EXPECT_EQ(labels(), "  2000.0|  8000.0");
    rate->setText("44101");
    QTest::qWait(0);
    EXPECT_EQ(labels(), "  5512.6| 22050.5");

    rate->clear();
    QTest::qWait(0);
    EXPECT_EQ(labels(), "     0.0|     0.0");
}

TEST(DesignDialog, RateEditAloneRefreshesStartLabels) {
    ShownDesignDialog shown;
    QTest::keyClick(shown.Edit(IDC_EDIT_SAMPLE_RATE), Qt::Key_End);
    QTest::keyClick(shown.Edit(IDC_EDIT_SAMPLE_RATE), Qt::Key_0);
    QTest::qWait(0);
    EXPECT_EQ(shown.LabelText(IDC_LABEL_LOW), "  4000.0");
    EXPECT_EQ(shown.LabelText(IDC_LABEL_HIGH), " 24000.0");
}

TEST(DesignDialog, EditsRefuseTypedNonDigitsButTakePastedText) {
    ShownDesignDialog shown;
    for (const int id : {IDC_EDIT_ORDER, IDC_EDIT_SAMPLE_RATE}) {
        QLineEdit* edit = shown.Edit(id);
        edit->clear();
        QTest::keyClicks(edit, "12ab-3.5 e");
        EXPECT_EQ(edit->text(), "1235") << id;
        shown.Paste(id, "-4.5e1 x");
        EXPECT_EQ(edit->text(), "-4.5e1 x") << id;
    }
}

TEST(DesignDialog, TabVisitsTheSevenTabStopsInTemplateOrder) {
    ShownDesignDialog shown;
    QWidget* window = shown.dlg.GetWidget();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    ASSERT_EQ(QApplication::focusWidget(), shown.dlg.GetDlgItem(IDC_LIST_COEF))
        << "the first tab stop has the focus";
    std::vector<int> visited;
    for (int step = 0; step < 7; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        int id = -1;
        for (int candidate = IDC_LIST_COEF; candidate <= IDC_GROUP_SPECTRUM; ++candidate)
            if (candidate == IDC_LIST_COEF || candidate >= IDC_STATIC_ORDER)
                if (shown.dlg.GetDlgItem(candidate) == QApplication::focusWidget())
                    id = candidate;
        visited.push_back(id);
    }
    EXPECT_EQ(visited, (std::vector<int>{1019, 1020, 1021, 1022, 1023, 1024, 1000}));
}

TEST(DesignDialog, AboutBoxFromSystemCommands) {
    ShownDesignDialog shown;
    // The About command is 0x10; the low four bits of a system command do not count.
    for (const unsigned id : {0x10u, 0x1Fu, 0x20u, 0xF100u}) {
        ModalWatcher watcher;
        shown.dlg.OnSysCommand(id, 0);
        const bool about = (id & 0xFFF0) == 0x10;
        ASSERT_EQ(watcher.Seen().size(), about ? 1u : 0u) << std::hex << id;
        if (about) {
            EXPECT_EQ(watcher.Seen()[0].kind, "dialog");
            EXPECT_EQ(watcher.Seen()[0].title, "About Taplore");
            EXPECT_TRUE(watcher.Seen()[0].text.contains("|FIR filter design program\n"));
        }
        EXPECT_TRUE(shown.dlg.GetWidget()->isVisible());
    }

    // Through the menu the platform gives the dialog: its About entry opens the box.
    const auto chooseAbout = [](QWidget* window) {
        auto* menu = qobject_cast<QMenu*>(window);
        for (QAction* action : menu->actions())
            if (action->text() == "&About Taplore...")
                menu->setActiveAction(action);
        QTest::keyClick(menu, Qt::Key_Return);
    };
    ModalWatcher watcher({chooseAbout});
    QWidget* window = shown.dlg.GetWidget();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                            window->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(window, &event);
    ASSERT_EQ(watcher.Seen().size(), 2u);
    EXPECT_EQ(watcher.Seen()[0].text, "Mi&nimize|&Close||&About Taplore...");
    EXPECT_EQ(watcher.Seen()[1].title, "About Taplore");
    EXPECT_TRUE(window->isVisible());
}

} // namespace
