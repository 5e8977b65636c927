// The requirements window's L-th bands and pulse presets: the design follows the row, a stop
// edge the band cannot have is refused with the edge it needs, and both come back at the next
// start.
#include "requirements_fixture.h"

#include "core/formats/crt.h"
#include "gui/requirements/band_model.h"
#include "gui/value_list.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class RequirementsNyquist : public RequirementsWndTest {
protected:
    static QString Text(const CRequirementsWnd& wnd, const char* label) {
        return Find<QLabel>(wnd, label)->text();
    }
};

TEST_F(RequirementsNyquist, AHalfBandFollowsTheRowAndAWrongStopEdgeIsRefused) {
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(ShowDesigned(wnd));
    auto* spin = Find<QSpinBox>(wnd, "spinNyquist");
    EXPECT_EQ(spin->text(), "Off");
    // 8000 Hz passing 0 to 1000 Hz: a half-band stops from 3000 Hz, not the preset's 1500.
    spin->setValue(2);
    EXPECT_EQ(Text(wnd, "labelProblem"), "Band 2: Nyquist L = 2 needs the stop band from 3000 "
                                         "Hz: the rate over L less the pass band's edge.");
    const int before = wnd.DesignsShown();
    auto* bands = qobject_cast<BandModel*>(Find<QTableView>(wnd, "tableBands")->model());
    ASSERT_TRUE(bands->setData(bands->index(1, BandModel::low), "3000"));
    EXPECT_EQ(Text(wnd, "labelProblem"), "");
    ASSERT_TRUE(NextDesign(wnd, before));
    EXPECT_TRUE(Text(wnd, "labelHeadline").startsWith("half-band equiripple, "))
        << Text(wnd, "labelHeadline").toStdString();
    EXPECT_TRUE(Text(wnd, "labelHeadline").contains("meets the requirements"));
    EXPECT_TRUE(Text(wnd, "labelPhase").contains(" taps are zero: "));
    // The centre 1/2, every other tap from it 0.
    const auto* list = Find<ValueList>(wnd, "listTaps");
    const int centre = list->count() / 2;
    const auto tap = [&](int row) { return crt::StrictAtof(list->text(row).toStdString()); };
    EXPECT_EQ(tap(centre), 0.5);
    for (int n = 2; n <= centre; n += 2)
        EXPECT_EQ(tap(centre + n), 0.0) << n;

    // Off again: the preset's stop edge designs as before.
    spin->setValue(spin->minimum());
    EXPECT_EQ(Text(wnd, "labelProblem"), "");
}

TEST_F(RequirementsNyquist, APulseChosenAsTheMethodIsDesignedByItsShapeAndComesBackAtTheNextStart) {
    {
        CRequirementsWnd wnd;
        ASSERT_NO_FATAL_FAILURE(ShowDesigned(wnd));
        auto* method = Find<QComboBox>(wnd, "comboMethod");
        auto* shaping = Find<QLineEdit>(wnd, "editShaping");
        EXPECT_FALSE(shaping->isVisible());
        Find<QSpinBox>(wnd, "spinNyquist")->setValue(2); // hidden under the pulse, it asks nothing
        const int before = wnd.DesignsShown();
        method->setCurrentText("Root raised cosine pulse");
        EXPECT_TRUE(shaping->isVisible());
        EXPECT_FALSE(Find<QSpinBox>(wnd, "spinTaps")->isVisible());
        EXPECT_EQ(Text(wnd, "labelProblem"), "");
        ASSERT_TRUE(NextDesign(wnd, before));
        EXPECT_EQ(Text(wnd, "labelHeadline"),
                  "root raised cosine, roll-off 0.35, 8 symbols of 4 samples, 33 taps, "
                  "unit-energy");
        EXPECT_EQ(Find<ValueList>(wnd, "listTaps")->count(), 33);

        // The Gaussian is shaped by its BT, which must be above 0.
        method->setCurrentText("Gaussian pulse");
        EXPECT_EQ(shaping->accessibleName(), "Bandwidth-time product");
        shaping->setText("0");
        EXPECT_EQ(Text(wnd, "labelProblem"),
                  "Pulse: the bandwidth-time product must be above 0 and finite.");
        const int again = wnd.DesignsShown();
        shaping->setText("0.5");
        Find<QSpinBox>(wnd, "spinSamples")->setValue(2);
        Find<QComboBox>(wnd, "comboGain")->setCurrentText("unit-peak");
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return wnd.DesignsShown() > again &&
                   Text(wnd, "labelHeadline").endsWith("17 taps, unit-peak");
        }));
        EXPECT_EQ(Text(wnd, "labelHeadline"),
                  "Gaussian, BT 0.5, 8 symbols of 2 samples, 17 taps, unit-peak");
        wnd.close();
    }
    CRequirementsWnd wnd;
    EXPECT_EQ(Find<QComboBox>(wnd, "comboMethod")->currentText(), "Gaussian pulse");
    EXPECT_EQ(Find<QLineEdit>(wnd, "editShaping")->text(), "0.5");
    EXPECT_EQ(Find<QSpinBox>(wnd, "spinSamples")->value(), 2);
    EXPECT_EQ(Find<QComboBox>(wnd, "comboGain")->currentText(), "unit-peak");
    EXPECT_EQ(Find<QSpinBox>(wnd, "spinNyquist")->value(), 2);
    EXPECT_EQ(Text(wnd, "labelProblem"), "");

    // Back to a method: the bands are designed again, the half-band Nyquist asks refused.
    Find<QComboBox>(wnd, "comboMethod")->setCurrentText("Equiripple");
    EXPECT_EQ(Text(wnd, "labelProblem"), "Band 2: Nyquist L = 2 needs the stop band from 3000 "
                                         "Hz: the rate over L less the pass band's edge.");
}

} // namespace
