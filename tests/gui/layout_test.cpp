// What the dialog shows of its controls: numbers whole in the edits, the cutoff labels inside
// their box, the focus frame on a button reached with Tab. Read off the rendered pixels.
#include "gui_helpers.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

namespace {

bool IsInk(QRgb pixel) {
    return qGray(pixel) < 128;
}

// The smallest rectangle within area holding every dark pixel of image.
QRect InkBox(const QImage& image, const QRect& area) {
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (IsInk(image.pixel(x, y)))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// The rows of a group box's picture its frame spans, from the top border to the bottom one:
// where nearly the whole width differs from the background beside the title.
std::pair<int, int> FrameRows(const QImage& image) {
    const QRgb background = image.pixel(0, 0);
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        int differing = 0;
        for (int x = 0; x < image.width(); ++x)
            differing += image.pixel(x, y) != background;
        if (differing > image.width() * 8 / 10)
            rows.push_back(y);
    }
    return rows.empty() ? std::pair{0, 0} : std::pair{rows.front(), rows.back()};
}

TEST(DialogLayout, EditsShowSevenAndSixDigitNumbersWhole) {
    ShownDesignDialog shown;
    for (const auto& [name, text] : {std::pair{kOrder, "1000001"}, {kRate, "192000"}}) {
        QLineEdit* edit = shown.Edit(name);
        ASSERT_FALSE(edit->hasFocus());
        edit->setText(text);
        const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
        const QRect contents = edit->rect().adjusted(frame, frame, -frame, -frame);
        const QRect ink = InkBox(edit->grab().toImage(), contents);
        // A number cut at an edge touches it; a whole one is as wide as its text.
        EXPECT_TRUE(contents.adjusted(1, 0, -1, 0).contains(ink)) << text;
        EXPECT_GE(ink.width(), edit->fontMetrics().boundingRect(text).width() - 2) << text;
    }
}

TEST(DialogLayout, CutoffLabelsSitInsideTheirBoxClearOfBorderAndTitle) {
    ShownDesignDialog shown;
    QGroupBox* box = nullptr;
    for (QGroupBox* group : shown.dlg.findChildren<QGroupBox*>())
        if (group->title() == "Cutoff Frequency")
            box = group;
    ASSERT_TRUE(box);
    const auto [top, bottom] = FrameRows(box->grab().toImage());
    ASSERT_LT(top + 2, bottom);
    // Inside: below the top border (and so below the title above it), above the bottom one.
    const QRect inside(QPoint(1, top + 1), QPoint(box->width() - 2, bottom - 1));
    for (const QString& name : {kLabelLow, kLabelHigh}) {
        const QWidget* label = shown.Control(name);
        const QRect placed(box->mapFrom(&shown.dlg, label->pos()), label->size());
        EXPECT_TRUE(inside.contains(placed)) << name.toStdString();
    }
}

// The widest label a six-digit rate gives ("%8.1f" of its half) shows whole, the two labels
// apart and inside their box.
TEST(DialogLayout, CutoffLabelsShowSixDigitFrequenciesWhole) {
    ShownDesignDialog shown;
    shown.Edit(kRate)->setText("960000");
    auto* low = qobject_cast<QLabel*>(shown.Control(kLabelLow));
    auto* high = qobject_cast<QLabel*>(shown.Control(kLabelHigh));
    ASSERT_TRUE(low && high);
    for (QLabel* label : {low, high}) {
        label->setText("288000.0");
        const QRect contents = label->contentsRect();
        const QRect ink = InkBox(label->grab().toImage(), label->rect());
        EXPECT_TRUE(contents.adjusted(1, 0, -1, 0).contains(ink)) << label->text().toStdString();
        EXPECT_GE(contents.width(), label->fontMetrics().horizontalAdvance("288000.0"));
    }
    EXPECT_LE(low->geometry().right(), high->geometry().left()) << "the labels overlap";
    for (QGroupBox* group : shown.dlg.findChildren<QGroupBox*>())
        if (group->title() == "Cutoff Frequency") {
            for (QLabel* label : {low, high}) {
                EXPECT_TRUE(group->geometry().contains(label->geometry()));
            }
        }
}

TEST(DialogLayout, TabbingToAButtonDrawsItsFocusFrame) {
    ShownDesignDialog shown;
    QApplication::setActiveWindow(&shown.dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&shown.dlg));
    QWidget* calculate = shown.Control(kCalculate);
    const QImage unfocused = calculate->grab().toImage();
    shown.Control(kSliderHigh)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), calculate);
    EXPECT_NE(calculate->grab().toImage(), unfocused);
}

} // namespace
