// What a screen reader is told: the list's rows as shown and which one is current, the
// names of the controls the user works, and what the plot shows.
#include "gui_helpers.h"

#include "gui/spectrum_wnd.h"
#include "gui/value_list.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString AccessibleName(QObject* object) {
    return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name);
}

QString AccessibleDescription(QObject* object) {
    return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Description);
}

// Calculate, answering the error box it may show; returns how many it showed.
std::size_t CalculateAnswering(ShownDesignDialog& shown) {
    ModalWatcher watcher;
    shown.Click(kCalculate);
    return watcher.Messages().size();
}

TEST(Accessibility, CoefficientListReportsRowsAndCurrentRow) {
    ShownDesignDialog shown;
    auto* list = shown.dlg.findChild<ValueList*>();
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(list);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::List);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Filter Coefficients");
    EXPECT_EQ(accessible->childCount(), 0);

    shown.Click(kCalculate);
    ASSERT_EQ(accessible->childCount(), 511);
    QAccessibleInterface* centre = accessible->child(255);
    EXPECT_EQ(centre->role(), QAccessible::ListItem);
    EXPECT_EQ(centre->text(QAccessible::Name), "0.500000");
    EXPECT_EQ(accessible->indexOfChild(centre), 255);
    EXPECT_EQ(accessible->focusChild(), nullptr) << "no current row yet";

    QTest::keyClick(list, Qt::Key_End);
    QTest::keyClick(list, Qt::Key_Up);
    QAccessibleInterface* current = accessible->focusChild();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(accessible->indexOfChild(current), 509);
    EXPECT_TRUE(current->state().focused);
    EXPECT_EQ(current->text(QAccessible::Name), shown.ListItems()[509]);
    EXPECT_EQ(accessible->child(509), current) << "a row asked for twice is the same";
}

// The list has the focus from start-up: a keyboard user must see it, empty or filled.
TEST(Accessibility, FocusedListLooksFocused) {
    ShownDesignDialog shown;
    QApplication::setActiveWindow(&shown.dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&shown.dlg));
    auto* list = shown.dlg.findChild<ValueList*>();
    const auto focusedAndNot = [&] {
        list->setFocus();
        const QImage focused = list->grab().toImage();
        shown.Edit(kOrder)->setFocus();
        const QImage unfocused = list->grab().toImage();
        list->setFocus();
        return std::pair{focused, unfocused};
    };
    ASSERT_TRUE(list->hasFocus());
    const auto [emptyFocused, emptyUnfocused] = focusedAndNot();
    EXPECT_NE(emptyFocused, emptyUnfocused) << "empty list";

    shown.Click(kCalculate);
    QTest::keyClick(list, Qt::Key_Down);
    const auto [rowFocused, rowUnfocused] = focusedAndNot();
    EXPECT_NE(rowFocused, rowUnfocused) << "list with a current row";
}

TEST(Accessibility, ControlsAreNamedByTheirCaptions) {
    ShownDesignDialog shown;
    EXPECT_EQ(AccessibleName(shown.Control(kOrder)), "Filter Order");
    EXPECT_EQ(AccessibleName(shown.Control(kRate)), "Sampling Rate");
    EXPECT_EQ(AccessibleName(shown.Control(kSliderLow)), "Low cutoff frequency");
    EXPECT_EQ(AccessibleName(shown.Control(kSliderHigh)), "High cutoff frequency");
    EXPECT_EQ(AccessibleName(shown.Control(kCalculate)), "Calculate");
    EXPECT_EQ(AccessibleName(shown.Control(kSave)), "Save");
}

// The labels' names say which cutoff they show; the frequency follows the slider in the
// description.
TEST(Accessibility, CutoffLabelsAreNamedAndTellTheirFrequency) {
    ShownDesignDialog shown;
    EXPECT_EQ(AccessibleName(shown.Control(kLabelLow)), "Low cutoff");
    EXPECT_EQ(AccessibleName(shown.Control(kLabelHigh)), "High cutoff");
    EXPECT_EQ(AccessibleDescription(shown.Control(kLabelLow)), "400 Hz");
    EXPECT_EQ(AccessibleDescription(shown.Control(kLabelHigh)), "2400 Hz");
    shown.Slider(kSliderHigh)->setSliderPosition(750);
    EXPECT_EQ(AccessibleDescription(shown.Control(kLabelHigh)), "3000.0 Hz");
}

// The plot is a chart whose description follows each Calculate that plots, and keeps telling
// what is drawn after one that cannot.
TEST(Accessibility, SpectrumDescribesTheCurveItShows) {
    ShownDesignDialog shown;
    auto* plot = shown.dlg.findChild<CSpectrumWnd*>();
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(plot);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Chart);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Log-Magnitude Spectrum");
    EXPECT_EQ(accessible->text(QAccessible::Description), "Nothing is plotted yet.");

    ASSERT_EQ(CalculateAnswering(shown), 0u);
    const QString bandPass = accessible->text(QAccessible::Description);
    const QRegularExpression pattern(R"(^Band-pass\. Pass band at -3 dB: (\d+\.\d) Hz to )"
                                     R"((\d+\.\d) Hz\. Peak 0\.0 dB\. Stop band at most )"
                                     R"(-5\d\.\d dB\.$)");
    const auto match = pattern.match(bandPass);
    ASSERT_TRUE(match.hasMatch()) << bandPass.toStdString();
    // Within half the Hamming transition (26 Hz for 511 taps) inside the cutoffs.
    EXPECT_NEAR(match.captured(1).toDouble(), 400 + 13, 13);
    EXPECT_NEAR(match.captured(2).toDouble(), 2400 - 13, 13);

    shown.Edit(kOrder)->setText("1500"); // listed, but too long for the plot
    ASSERT_EQ(CalculateAnswering(shown), 1u);
    EXPECT_EQ(accessible->text(QAccessible::Description), bandPass);

    shown.Edit(kOrder)->setText("511");
    shown.Slider(kSliderLow)->setSliderPosition(0);
    ASSERT_EQ(CalculateAnswering(shown), 0u);
    EXPECT_TRUE(accessible->text(QAccessible::Description)
                    .startsWith("Low-pass. Pass band at -3 dB: up to 23"))
        << accessible->text(QAccessible::Description).toStdString();

    shown.Slider(kSliderHigh)->setSliderPosition(1000); // no band type: the taps stay zero
    ASSERT_EQ(CalculateAnswering(shown), 0u);
    EXPECT_EQ(accessible->text(QAccessible::Description),
              "No band type matched. The level is -inf dB at every frequency.");
}

} // namespace
