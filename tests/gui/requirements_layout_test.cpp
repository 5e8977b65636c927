// The requirements window's layout: no control overlaps another or leaves its panel, at the
// smallest size and at twice it, with a problem said under the requirements; the plots' ticks
// and axis titles as an engineer reads them.
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
#include <QSettings>
#include <QTableView>
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

class RequirementsLayout : public testing::Test {
protected:
    QTemporaryDir m_settings;
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }
};

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
