// The requirements window's rate change as its user meets it: Decimate by 4 with bands that fit
// designs a plan whose stages fill the result table, a stop band that does not fit is said in
// place, and the choice comes back at the next start.
#include "requirements_fixture.h"

#include "gui/requirements/band_model.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>

namespace {

class RequirementsRateChange : public RequirementsWndTest {
protected:
    static BandModel* Bands(const CRequirementsWnd& wnd) {
        return qobject_cast<BandModel*>(Find<QTableView>(wnd, "tableBands")->model());
    }

    // Decimation by 4 at 48000 Hz in two stages of 2: pass to 5000 Hz, stop from 7000 Hz.
    static void AskDecimator(CRequirementsWnd& wnd) {
        Find<QLineEdit>(wnd, "editRate")->setText("48000");
        BandRow stop = taplore::StopRow(7000, 24000);
        stop.toleranceDb = 80;
        Bands(wnd)->SetBands({taplore::PassRow(0, 5000), stop});
        Find<QSpinBox>(wnd, "spinRateFactor")->setValue(4);
        Find<QLineEdit>(wnd, "editStages")->setText("2x2");
        Find<QComboBox>(wnd, "comboRateChange")->setCurrentIndex(1);
    }
};

TEST_F(RequirementsRateChange, DecimateBy4DesignsAPlanWhoseStagesFillTheTable) {
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(ShowDesigned(wnd));
    AskDecimator(wnd);
    const auto* figures = Find<QTableWidget>(wnd, "tableFigures");
    const auto* headline = Find<QLabel>(wnd, "labelHeadline");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return headline->text().startsWith("decimate by 4 in 2 stages"); }, 20000))
        << headline->text().toStdString()
        << Find<QLabel>(wnd, "labelProblem")->text().toStdString();
    ASSERT_EQ(figures->rowCount(), 5);
    EXPECT_EQ(figures->item(0, 0)->text(), "Stage 1: 2 at 48000 Hz");
    EXPECT_EQ(figures->item(1, 0)->text(), "Stage 2: 2 at 24000 Hz");
    EXPECT_TRUE(figures->item(1, 1)->text().endsWith(" taps"));
    EXPECT_EQ(figures->item(2, 0)->text(), "Total");
    EXPECT_EQ(figures->item(3, 1)->text(), "0.1 dB");
    EXPECT_EQ(Find<QLabel>(wnd, "labelProblem")->text(), "");

    // A stop band that is not the rate change's is said in place.
    ASSERT_TRUE(Bands(wnd)->setData(Bands(wnd)->index(1, BandModel::low), "6000"));
    EXPECT_EQ(
        Find<QLabel>(wnd, "labelProblem")->text(),
        "Rate change: decimation by 4 at 48000 Hz needs the stop band from 7000 to 24000 Hz.");
}

TEST_F(RequirementsRateChange, TheChoiceComesBackAtTheNextStart) {
    {
        CRequirementsWnd wnd;
        wnd.show();
        AskDecimator(wnd);
        wnd.close();
    }
    CRequirementsWnd wnd;
    EXPECT_EQ(Find<QComboBox>(wnd, "comboRateChange")->currentIndex(), 1);
    EXPECT_EQ(Find<QSpinBox>(wnd, "spinRateFactor")->value(), 4);
    EXPECT_EQ(Find<QLineEdit>(wnd, "editStages")->text(), "2x2");
    EXPECT_TRUE(Find<QLineEdit>(wnd, "editStages")->isEnabled());
}

} // namespace
