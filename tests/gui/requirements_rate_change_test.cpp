// The requirements window's rate change as its user meets it: Decimate by 4 with bands that fit
// designs a plan whose stages fill the result table and are dashed in the magnitude plot, a
// stop band that does not fit is said in place, an export whose stages as written miss is
// asked about first, and the choice comes back at the next start.
#include "gui_helpers.h"
#include "requirements_fixture.h"

#include "gui/requirements/band_model.h"
#include "gui/requirements/plot_wnd.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>

namespace {

using RequirementsRateChange = RequirementsWndTest;

TEST_F(RequirementsRateChange, DecimateBy4DesignsAPlanWhoseStagesFillTheTable) {
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(ShowDesigned(wnd));
    const auto* figures = Find<QTableWidget>(wnd, "tableFigures");
    const auto* headline = Find<QLabel>(wnd, "labelHeadline");
    ASSERT_TRUE(AskDecimator(wnd)) << headline->text().toStdString()
                                   << Find<QLabel>(wnd, "labelProblem")->text().toStdString();
    EXPECT_TRUE(headline->text().startsWith("decimate by 4 in 2 stages"));
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

TEST_F(RequirementsRateChange, EachStageIsDashedInTheMagnitudePlotAndNamed) {
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(ShowDesigned(wnd));
    auto* plot = Find<CPlotWnd>(wnd, "plotMagnitude");
    EXPECT_TRUE(plot->LegendTexts().isEmpty());
    ASSERT_TRUE(AskDecimator(wnd));
    EXPECT_EQ(plot->LegendTexts(), (QStringList{"stage 1 (\u00f72)", "stage 2 (\u00f72)"}));
    for (int stage = 0; stage < 2; ++stage)
        EXPECT_GT(PixelsOf(*plot, CPlotWnd::PartColour(stage)), 50) << stage;
    // One stage is the cascade itself: nothing is dashed.
    const int before = wnd.DesignsShown();
    Find<QLineEdit>(wnd, "editStages")->setText("1");
    ASSERT_TRUE(NextDesign(wnd, before));
    EXPECT_TRUE(plot->LegendTexts().isEmpty());
    EXPECT_EQ(PixelsOf(*plot, CPlotWnd::PartColour(0)), 0);
}

// Nine bits miss 80 dB: the box says so with both figures before anything is written, and
// "Write as chosen" writes what taplore-design writes for the same plan and width.
TEST_F(RequirementsRateChange, AnExportWhoseStagesMissIsAskedAboutFirst) {
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(ShowDesigned(wnd));
    ASSERT_TRUE(AskDecimator(wnd));
    Find<QLineEdit>(wnd, "editBits")->setText("9");
    QTemporaryDir folder;
    const auto chooseVhdl = ChooseFormat(folder.path(), "plan", "vhdl");
    const auto writeAsChosen = [](QWidget* window) {
        for (QPushButton* button : window->findChildren<QPushButton*>())
            if (button->text() == "&Write as chosen")
                button->click();
    };
    ModalWatcher watcher({chooseVhdl, writeAsChosen});
    QTest::mouseClick(Find<QPushButton>(wnd, "export"), Qt::LeftButton);
    const std::vector<SeenWindow> messages = watcher.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith(
        "The taps as vhdl writes them miss the requirements: the cascade's "))
        << messages[0].text.toStdString();
    EXPECT_TRUE(messages[0].text.contains(" dB as written, ")) << messages[0].text.toStdString();
    EXPECT_TRUE(messages[0].text.endsWith(
        "(80 dB asked). At full precision, the stages are written as json writes them."))
        << messages[0].text.toStdString();
    QFile file(folder.filePath("plan.vhd"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(file.readAll()),
              DesignerOutput("--decimate 4 --rate 48000 --pass 0:5000 --ripple 0.1 --atten 80 "
                             "--stages 2x2 --bits 9 --format vhdl --quiet"));
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
