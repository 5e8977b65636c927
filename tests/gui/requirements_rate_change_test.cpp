// The requirements window's rate change as its user meets it: Decimate by 4 with bands that fit
// designs a plan whose stages fill the result table and are dashed in the magnitude plot, a
// stop band that does not fit is said in place, an export whose stages as written miss is
// asked about first, a CIC typed designs its compensator as the command line does, its CIC and
// FIR dashed and named, and the choices come back at the next start.
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

class RequirementsRateChange : public RequirementsWndTest {
protected:
    // Waits for the headline to begin with start; says the headline and the problem where it
    // does not.
    static testing::AssertionResult HeadlineStarts(const CRequirementsWnd& wnd,
                                                   const QString& start) {
        const auto* headline = Find<QLabel>(wnd, "labelHeadline");
        if (QTest::qWaitFor([&] { return headline->text().startsWith(start); }, 20000))
            return testing::AssertionSuccess();
        return testing::AssertionFailure()
               << headline->text().toStdString() << " / "
               << Find<QLabel>(wnd, "labelProblem")->text().toStdString();
    }

    // The result table's column, row by row.
    static QStringList Column(const CRequirementsWnd& wnd, int column) {
        const auto* figures = Find<QTableWidget>(wnd, "tableFigures");
        QStringList texts;
        for (int row = 0; row < figures->rowCount(); ++row)
            texts << figures->item(row, column)->text();
        return texts;
    }

    // AskBands' bands after a CIC of 4:8:1, 48000 Hz its output rate.
    static void AskCompensator(CRequirementsWnd& wnd) {
        AskBands(wnd);
        QTest::keyClicks(Find<QLineEdit>(wnd, "editCic"), "4:8:1");
    }
};

TEST_F(RequirementsRateChange, DecimateBy4DesignsAPlanWhoseStagesFillTheTable) {
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(ShowDesigned(wnd));
    AskDecimator(wnd);
    ASSERT_TRUE(HeadlineStarts(wnd, "decimate by 4 in 2 stages"));
    const auto* figures = Find<QTableWidget>(wnd, "tableFigures");
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

TEST_F(RequirementsRateChange, ACicTypedDesignsItsCompensatorAsTheCommandLineDoes) {
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(ShowDesigned(wnd));
    AskCompensator(wnd);
    ASSERT_TRUE(HeadlineStarts(wnd, "CIC compensator, equiripple, "));
    EXPECT_EQ(Column(wnd, 0), QStringList({"CIC 4:8:1 at 384000 Hz", "FIR at 48000 Hz",
                                           "Cascade: 0 to 5000 Hz", "Cascade: 7000 to 24000 Hz"}));
    const QStringList asked = Column(wnd, 1);
    ASSERT_EQ(asked.size(), 4);
    EXPECT_EQ(asked[0], "droop at 5000 Hz");
    EXPECT_TRUE(asked[1].endsWith(" taps"));
    EXPECT_EQ(asked[2], "0.1 dB");
    EXPECT_EQ(asked[3], "80 dB");

    // The CIC grey and the FIR green, dashed under the cascade and named in the legend.
    auto* plot = Find<CPlotWnd>(wnd, "plotMagnitude");
    EXPECT_EQ(plot->LegendTexts(), (QStringList{"CIC 4:8:1", "FIR"}));
    EXPECT_GT(PixelsOf(*plot, CPlotWnd::PartColour(0, taplore::PartKind::cic)), 50);
    EXPECT_GT(PixelsOf(*plot, CPlotWnd::PartColour(1, taplore::PartKind::fir)), 50);

    // Its taps export as the command line's --cic writes them.
    EXPECT_EQ(Exported(wnd, "c"),
              DesignerOutput("--cic 4:8:1 --rate 48000 --pass 0:5000 --stop 7000:24000 --ripple "
                             "0.1 --atten 80 --quiet --format c"));
}

TEST_F(RequirementsRateChange, TheCicComesBackAtTheNextStart) {
    {
        CRequirementsWnd wnd;
        wnd.show();
        AskCompensator(wnd);
        wnd.close();
    }
    CRequirementsWnd wnd;
    EXPECT_EQ(Find<QLineEdit>(wnd, "editCic")->text(), "4:8:1");
    EXPECT_EQ(Find<QComboBox>(wnd, "comboRateChange")->currentIndex(), 0);
    wnd.show();
    EXPECT_TRUE(HeadlineStarts(wnd, "CIC compensator"));
}

} // namespace
