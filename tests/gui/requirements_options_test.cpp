// The requirements window's options beyond the bands: minimum phase designed, described and
// written as the command line does, kept at the next start, with a mnemonic of its own.
#include "gui_helpers.h"
#include "requirements_fixture.h"

#include "gui/requirements/plot_wnd.h"
#include "gui/requirements/zeros_plot_wnd.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

#include <map>

namespace {

using RequirementsOptions = RequirementsWndTest;

TEST_F(RequirementsOptions, AltUDesignsMinimumPhaseAsTheCommandLineDoes) {
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(ShowDesigned(wnd));
    EXPECT_TRUE(Find<QRadioButton>(wnd, "radioLinear")->isChecked());
    EXPECT_EQ(Find<QLabel>(wnd, "labelPhase")->text(), "");
    const int before = wnd.DesignsShown();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_U, Qt::AltModifier);
    // A mnemonic clicks as animated, once its press has been seen.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Find<QRadioButton>(wnd, "radioMinimum")->isChecked(); }));
    ASSERT_TRUE(NextDesign(wnd, before));
    EXPECT_EQ(Find<QLabel>(wnd, "labelHeadline")->text(),
              "minimum-phase equiripple, 38 taps: meets the requirements");
    EXPECT_TRUE(Find<QLabel>(wnd, "labelPhase")->text().startsWith("minimum phase: group delay "));

    EXPECT_EQ(Exported(wnd, "c"), DesignerOutput(kExample + " --phase minimum --quiet --format c"));
}

TEST_F(RequirementsOptions, ThePhaseComesBackAtTheNextStart) {
    {
        CRequirementsWnd wnd;
        Find<QRadioButton>(wnd, "radioMinimum")->setChecked(true);
        wnd.close();
    }
    CRequirementsWnd wnd;
    EXPECT_TRUE(Find<QRadioButton>(wnd, "radioMinimum")->isChecked());
}

// Whether some pixel within a ring's radius of at is the zeros' red.
bool RedNear(const QImage& image, QPointF at) {
    for (int dy = -4; dy <= 4; ++dy)
        for (int dx = -4; dx <= 4; ++dx) {
            const QColor c = image.pixelColor(int(at.x()) + dx, int(at.y()) + dy);
            if (c.red() > 150 && c.green() < 100 && c.blue() < 100)
                return true;
        }
    return false;
}

TEST_F(RequirementsOptions, TheZerosViewDrawsEachZeroInTheZPlane) {
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(ShowDesigned(wnd));
    auto* zerosPlot = Find<CZerosPlot>(wnd, "plotZeros");
    EXPECT_FALSE(zerosPlot->isVisible());
    const int before = wnd.DesignsShown();
    Find<QComboBox>(wnd, "comboView")->setCurrentText("Zeros");
    ASSERT_TRUE(NextDesign(wnd, before)) << "designed again to find the zeros";
    EXPECT_TRUE(zerosPlot->isVisible());
    EXPECT_FALSE(Find<CPlotWnd>(wnd, "plotView")->isVisible());
    EXPECT_EQ(zerosPlot->accessibleName(), "Zeros");
    EXPECT_EQ(zerosPlot->accessibleDescription(), "45 zeros, 6 outside the unit circle.");
    const QRectF plane = zerosPlot->PlaneArea();
    EXPECT_EQ(plane.width(), plane.height()) << "one scale on both axes";

    // Every zero drawn where it lies: the taps' own, found again here.
    taplore::RequirementsPresenter presenter;
    const taplore::TapZeros found =
        taplore::FindZeros(taplore::DesignFor(*presenter.SetInputs({})).design.taps);
    const QImage image = zerosPlot->grab().toImage();
    const double scale = plane.width() / (2 * zerosPlot->Reach());
    for (const std::complex<double> zero : found.zeros)
        if (std::abs(zero) < zerosPlot->Reach()) {
            EXPECT_TRUE(RedNear(image, {plane.center().x() + zero.real() * scale,
                                        plane.center().y() - zero.imag() * scale}))
                << zero.real() << " " << zero.imag();
        }

    // Past the zero finder's limit the plot says so.
    Find<QComboBox>(wnd, "comboMethod")
        ->setCurrentIndex(Find<QComboBox>(wnd, "comboMethod")->findData("hann"));
    Find<QSpinBox>(wnd, "spinTaps")->setValue(taplore::kMaxZerosTaps + 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !zerosPlot->Problem().isEmpty(); }, 20000));
    EXPECT_EQ(zerosPlot->Problem(),
              "The zeros could not be found: the zeros are found for up to 4096 taps.");
    EXPECT_EQ(zerosPlot->accessibleDescription(), zerosPlot->Problem());
}

TEST_F(RequirementsOptions, TheZerosViewKeptFromTheLastStartHasItsZerosAtTheFirstDesign) {
    {
        CRequirementsWnd wnd;
        Find<QComboBox>(wnd, "comboView")->setCurrentText("Zeros");
        wnd.close();
    }
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(ShowDesigned(wnd));
    EXPECT_TRUE(Find<CZerosPlot>(wnd, "plotZeros")->isVisible());
    EXPECT_FALSE(Find<CPlotWnd>(wnd, "plotView")->isVisible());
    EXPECT_EQ(Find<CZerosPlot>(wnd, "plotZeros")->accessibleDescription(),
              "45 zeros, 6 outside the unit circle.");
}

// Alt and a letter reaches one control: a letter used twice moves between them instead.
TEST_F(RequirementsOptions, EveryMnemonicIsTheWindowsOnce) {
    CRequirementsWnd wnd;
    std::map<QChar, QStringList> owners;
    const QRegularExpression mnemonic("&([^&])");
    const auto add = [&](const QString& text) {
        const QRegularExpressionMatch match = mnemonic.match(text);
        if (match.hasMatch())
            owners[match.captured(1).at(0).toLower()] << text;
    };
    for (const QAbstractButton* button : wnd.findChildren<QAbstractButton*>())
        add(button->text());
    for (const QLabel* label : wnd.findChildren<QLabel*>())
        add(label->text());
    for (const QGroupBox* group : wnd.findChildren<QGroupBox*>())
        add(group->title());
    for (const QAction* menu : wnd.findChild<QMenuBar*>()->actions())
        add(menu->text());
    for (const auto& [letter, texts] : owners)
        EXPECT_EQ(texts.size(), 1) << texts.join(", ").toStdString();
    EXPECT_EQ(owners['n'], QStringList{"Li&near"});
    EXPECT_EQ(owners['u'], QStringList{"Minim&um"});
}

} // namespace
