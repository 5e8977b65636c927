// What a screen reader is told: the list's rows as shown and which one is current, and the
// names of the controls the user works.
#include "gui_helpers.h"

#include "gui/value_list.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString AccessibleName(QObject* object) {
    return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name);
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

} // namespace
