// The requirements window's layout: no control overlaps another or leaves its panel, at the
// smallest size and at twice it, with a problem said under the requirements, and a plan's rows
// shown whole within the window's limits; the plots' ticks and axis titles as an engineer reads
// them.
#include "requirements_fixture.h"

#include "gui/help_wnd.h"
#include "gui/requirements/band_model.h"
#include "gui/requirements/plot_wnd.h"
#include "gui/requirements/requirements_wnd.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The controls a user sees: every visible widget but the parts of composite ones (a table's
// scroll bars and header, a spin box's edit) and the layout's plain containers.
bool IsControl(const QWidget* widget) {
    for (const QWidget* up = widget->parentWidget(); up; up = up->parentWidget())
        if (qobject_cast<const QAbstractScrollArea*>(up) || qobject_cast<const QComboBox*>(up) ||
            qobject_cast<const QAbstractSpinBox*>(up))
            return false;
    return widget->isVisible() && !widget->isWindow() &&
           (widget->metaObject() != &QWidget::staticMetaObject);
}

QRect InWindow(const QWidget* widget) {
    return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
}

// "Add band at (12,300 90x30) overlaps Bands at (…)" for each pair that overlaps, and each
// control that reaches beyond its group's frame or the window.
std::vector<std::string> Overlaps(const QWidget& window) {
    std::vector<QWidget*> controls;
    for (QWidget* widget : window.findChildren<QWidget*>())
        if (IsControl(widget))
            controls.push_back(widget);
    const auto name = [](const QWidget* widget) {
        const QRect placed = InWindow(widget);
        return (widget->metaObject()->className() + QString(" '%1' at %2,%3 %4x%5")
                                                        .arg(widget->property("text").toString())
                                                        .arg(placed.x())
                                                        .arg(placed.y())
                                                        .arg(placed.width())
                                                        .arg(placed.height()))
            .toStdString();
    };
    std::vector<std::string> found;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const QWidget* a = controls[i];
        const QWidget* group = a->parentWidget();
        const QRect room = qobject_cast<const QGroupBox*>(group)
                               ? group->contentsRect()
                               : QRect(QPoint(0, 0), group->size());
        if (!room.contains(a->geometry()))
            found.push_back(name(a) + " leaves its panel");
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const QWidget* b = controls[j];
            if (a->isAncestorOf(b) || b->isAncestorOf(a))
                continue;
            if (InWindow(a).intersects(InWindow(b)))
                found.push_back(name(a) + " overlaps " + name(b));
        }
    }
    return found;
}

using RequirementsLayout = RequirementsWndTest;

TEST_F(RequirementsLayout, NothingOverlapsAtTheSmallestSizeOrTwiceIt) {
    CRequirementsWnd wnd;
    wnd.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&wnd));
    // A problem of two lines under the requirements, as a wrong band gives.
    auto* bands = qobject_cast<BandModel*>(wnd.findChild<QTableView*>("tableBands")->model());
    bands->setData(bands->index(1, BandModel::low), "900");
    wnd.findChild<QLineEdit*>("editBits")->setText("40");
    for (const int scale : {1, 2}) {
        wnd.resize(wnd.minimumSizeHint() * scale);
        QTest::qWait(0);
        QApplication::processEvents();
        for (const std::string& overlap : Overlaps(wnd))
            ADD_FAILURE() << "at " << scale << " times the smallest size: " << overlap;
    }
}

// A plan of four stages has seven rows: each shows whole at the smallest size, which stays
// within a 1280 by 800 screen with the help beside it, the Fixed point panel open or not, and
// nothing overlaps. The labels a rate change never fills come back for a single filter.
TEST_F(RequirementsLayout, APlanOfFourStagesShowsEveryRowAtTheSmallestSize) {
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(ShowDesigned(wnd));
    const QSize single = wnd.minimumSizeHint();
    ASSERT_TRUE(AskDecimator(wnd, 16, "2x2x2x2", 1000));
    auto* figures = wnd.findChild<QTableWidget*>("tableFigures");
    ASSERT_EQ(figures->rowCount(), 7);
    for (const bool fixed : {false, true}) {
        wnd.findChild<QGroupBox*>("fixedPoint")->setChecked(fixed);
        wnd.resize(wnd.minimumSizeHint());
        QTest::qWait(0);
        QApplication::processEvents();
        EXPECT_LE(wnd.minimumSizeHint().height(), single.height()) << fixed;
        EXPECT_LE(wnd.minimumSizeHint().width(), 1280 - CHelpWnd::kMinimumWidth - 40) << fixed;
        EXPECT_EQ(figures->verticalScrollBar()->maximum(), 0) << fixed;
        const QRect last = figures->visualRect(figures->model()->index(6, 0));
        EXPECT_LE(last.bottom(), figures->viewport()->height()) << fixed;
        for (const std::string& overlap : Overlaps(wnd))
            ADD_FAILURE() << "fixed point " << fixed << ": " << overlap;
    }
    EXPECT_FALSE(wnd.findChild<QLabel*>("labelPhase")->isVisible());
    wnd.findChild<QComboBox*>("comboRateChange")->setCurrentIndex(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return figures->rowCount() == 2; }, 20000));
    EXPECT_TRUE(wnd.findChild<QLabel*>("labelPhase")->isVisible());
}

// The first start fits the screen where the layout allows: 1200 by 780 went past the bottom
// of a laptop's screen.
TEST_F(RequirementsLayout, TheFirstSizeFitsTheScreen) {
    CRequirementsWnd wnd;
    const QRect screen = wnd.screen()->availableGeometry();
    EXPECT_LE(wnd.height(), screen.height());
    EXPECT_LE(wnd.width(), std::max(screen.width(), wnd.minimumSizeHint().width()));
    EXPECT_GE(wnd.height(), wnd.minimumSizeHint().height());
}

} // namespace
