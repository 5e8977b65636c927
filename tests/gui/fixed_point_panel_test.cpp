// The requirements window's Fixed point panel: folded away until checked, its widths reaching the
// HDL exports as the command line writes them, a wrong width said and refused, the chirp's
// overflows told, the rounded taps' curve drawn, and Fewest bits filling Bits with the core's
// answer.
#include "gui_helpers.h"
#include "requirements_fixture.h"

#include "core/document/requirements_presenter.h"
#include "core/fixed/fewest_bits.h"
#include "core/fixed/fixed_point_effect.h"
#include "gui/help_wnd.h"
#include "gui/requirements/plot_wnd.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace {

using FixedPoint = RequirementsWndTest;

// The panel turned on with widths, and the design of them shown.
void TurnOn(CRequirementsWnd& wnd, const QString& input, const QString& output,
            const QString& accumulator) {
    const int before = wnd.DesignsShown();
    auto* panel = wnd.findChild<QGroupBox*>("fixedPoint");
    panel->setChecked(true);
    wnd.findChild<QLineEdit*>("editInputBits")->setText(input);
    wnd.findChild<QLineEdit*>("editOutputBits")->setText(output);
    wnd.findChild<QLineEdit*>("editAccBits")->setText(accumulator);
    ASSERT_TRUE(QTest::qWaitFor([&] { return wnd.DesignsShown() > before; }, 20000));
}

TEST_F(FixedPoint, TheWidthsReachTheHdlFilterAsTheCommandLineWritesIt) {
    CRequirementsWnd wnd;
    ShowDesigned(wnd);
    // Off, the panel is folded away and Export has no HDL filter.
    EXPECT_FALSE(Find<QLineEdit>(wnd, "editInputBits")->isVisible());
    std::vector<QString> none;
    EXPECT_EQ(Exported(wnd, "vhdl-fir", &none), "");
    ASSERT_NO_FATAL_FAILURE(TurnOn(wnd, "12", "14", ""));
    Find<QComboBox>(wnd, "comboOverflow")->setCurrentText("saturate");
    ASSERT_TRUE(NextDesign(wnd, wnd.DesignsShown()));
    for (const QString format : {"vhdl-fir", "verilog-testbench"}) {
        std::vector<QString> messages;
        const QString written = Exported(wnd, format, &messages);
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(written, DesignerOutput(kExample +
                                          " --quiet --input-bits 12 --output-bits 14 "
                                          "--overflow saturate --format " +
                                          format))
            << format.toStdString();
    }
}

TEST_F(FixedPoint, AWrongWidthIsSaidAndNoHdlFilterWritten) {
    CRequirementsWnd wnd;
    ShowDesigned(wnd);
    ASSERT_NO_FATAL_FAILURE(TurnOn(wnd, "16", "", ""));
    Find<QLineEdit>(wnd, "editAccBits")->setText("99");
    const QString problem = "Accumulator bits: must be empty (never overflowing) or from 2 to 64.";
    EXPECT_EQ(Find<QLabel>(wnd, "labelFixedProblem")->text(), problem);
    ASSERT_TRUE(NextDesign(wnd, wnd.DesignsShown()));
    EXPECT_EQ(Find<QLabel>(wnd, "labelOverflows")->text(), "");
    std::vector<QString> messages;
    EXPECT_EQ(Exported(wnd, "vhdl-fir", &messages), "");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains(problem)) << messages[0].toStdString();
}

// A gain-of-one low-pass fits the input's 16 bits plus the taps' 15: only a narrower
// accumulator overflows on a full-scale chirp.
TEST_F(FixedPoint, TheChirpsOverflowsAreCountedAndTheRoundedCurveDrawn) {
    CRequirementsWnd wnd;
    ShowDesigned(wnd);
    ASSERT_NO_FATAL_FAILURE(TurnOn(wnd, "16", "", "20"));
    const QString narrow = Find<QLabel>(wnd, "labelOverflows")->text();
    EXPECT_TRUE(narrow.startsWith("Full-scale chirp of 4096 samples: ")) << narrow.toStdString();
    EXPECT_FALSE(narrow.contains("none overflows")) << narrow.toStdString();
    ASSERT_NO_FATAL_FAILURE(TurnOn(wnd, "16", "", ""));
    const QString automatic = Find<QLabel>(wnd, "labelOverflows")->text();
    EXPECT_TRUE(automatic.contains("none overflows at the accumulator")) << automatic.toStdString();
    EXPECT_TRUE(automatic.contains("wide enough never to overflow")) << automatic.toStdString();
    // The rounded taps' curve, blue, over the red one.
    EXPECT_GT(PixelsOf(*Find<CPlotWnd>(wnd, "plotMagnitude"), QColor(0, 80, 220)), 50);
}

TEST_F(FixedPoint, FewestBitsFillsBitsWithTheCoresAnswer) {
    CRequirementsWnd wnd;
    ShowDesigned(wnd);
    ASSERT_NO_FATAL_FAILURE(TurnOn(wnd, "16", "", ""));
    taplore::RequirementsPresenter presenter;
    const auto shown = taplore::DesignFor(*presenter.SetInputs(taplore::WindowInputs{}));
    const auto want = taplore::FindFewestBits(shown.design.taps, shown.design.report.requirements);
    ASSERT_TRUE(want);
    const QString bits = QString::fromStdString(taplore::WidthText(want->taps.format));
    const int before = wnd.DesignsShown();
    QTest::mouseClick(Find<QPushButton>(wnd, "fewestBits"), Qt::LeftButton);
    auto* field = Find<QLineEdit>(wnd, "editBits");
    ASSERT_TRUE(QTest::qWaitFor([&] { return field->text() == bits; }, 20000))
        << field->text().toStdString();
    EXPECT_EQ(Find<QLabel>(wnd, "labelFewest")->text().toStdString(),
              taplore::FewestBitsText(*want));
    // The width holds with the searched integers, which Export then writes as the command line
    // does, with no warning of a miss.
    EXPECT_TRUE(Find<QCheckBox>(wnd, "checkSearchRoundings")->isChecked());
    ASSERT_TRUE(NextDesign(wnd, before));
    for (const QString format : {"q", "vhdl-fir"}) {
        std::vector<QString> messages;
        const QString written = Exported(wnd, format, &messages);
        EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
        const QString widths = format == "q" ? "" : " --input-bits 16";
        EXPECT_EQ(written, DesignerOutput(kExample + " --quiet --bits " + bits +
                                          " --search-roundings" + widths + " --format " + format))
            << format.toStdString();
    }
}

// A rate change's stages are rounded to Bits and the cascade measured as rounded, its curve
// over the double one; the search, which keeps one filter's requirements, is greyed with its
// reason, and so are a plan's widths, which are one filter's. A single filter has them back.
TEST_F(FixedPoint, ARateChangeRoundsItsStagesAndGreysWhatIsOneFiltersAlone) {
    CRequirementsWnd wnd;
    ShowDesigned(wnd);
    ASSERT_NO_FATAL_FAILURE(TurnOn(wnd, "16", "", ""));
    auto* fewest = Find<QPushButton>(wnd, "fewestBits");
    const QString fewestTip = fewest->toolTip();
    auto* input = Find<QLineEdit>(wnd, "editInputBits");
    auto* said = Find<QLabel>(wnd, "labelOverflows");
    ASSERT_TRUE(AskDecimator(wnd));
    EXPECT_TRUE(said->text().startsWith("Stages rounded to Q15: ripple "))
        << said->text().toStdString();
    EXPECT_EQ(said->accessibleName(), "Rounded stages");
    for (QWidget* greyed : std::initializer_list<QWidget*>{
             fewest, Find<QCheckBox>(wnd, "checkSearchRoundings"), input})
        EXPECT_FALSE(greyed->isEnabled()) << greyed->objectName().toStdString();
    EXPECT_TRUE(fewest->toolTip().startsWith("Not for a rate change: "))
        << fewest->toolTip().toStdString();
    EXPECT_TRUE(input->toolTip().startsWith("Not for a plan of stages: "))
        << input->toolTip().toStdString();
    EXPECT_GT(PixelsOf(*Find<CPlotWnd>(wnd, "plotMagnitude"), QColor(0, 80, 220)), 50);

    const int before = wnd.DesignsShown();
    Find<QComboBox>(wnd, "comboRateChange")->setCurrentIndex(0);
    ASSERT_TRUE(NextDesign(wnd, before));
    EXPECT_TRUE(fewest->isEnabled());
    EXPECT_EQ(fewest->toolTip(), fewestTip);
    EXPECT_TRUE(said->text().startsWith("Full-scale chirp of 4096 samples: "))
        << said->text().toStdString();
}

// The search moves symmetric pairs: a minimum-phase design has none, and the box says so.
TEST_F(FixedPoint, SearchRoundingsIsForLinearPhaseOnly) {
    CRequirementsWnd wnd;
    ShowDesigned(wnd);
    ASSERT_NO_FATAL_FAILURE(TurnOn(wnd, "16", "", ""));
    auto* box = Find<QCheckBox>(wnd, "checkSearchRoundings");
    EXPECT_TRUE(box->isEnabled());
    Find<QRadioButton>(wnd, "radioMinimum")->setChecked(true);
    EXPECT_FALSE(box->isEnabled());
    Find<QRadioButton>(wnd, "radioLinear")->setChecked(true);
    EXPECT_TRUE(box->isEnabled());
}

// A search takes seconds for a thousand taps; closing the window stops it within a width's.
TEST_F(FixedPoint, ClosingTheWindowStopsASearchUnderWay) {
    QElapsedTimer closing;
    {
        CRequirementsWnd wnd;
        ShowDesigned(wnd);
        Find<QRadioButton>(wnd, "radioFixed")->setChecked(true);
        Find<QSpinBox>(wnd, "spinTaps")->setValue(1001);
        ASSERT_TRUE(NextDesign(wnd, wnd.DesignsShown()));
        ASSERT_NO_FATAL_FAILURE(TurnOn(wnd, "16", "", ""));
        QTest::mouseClick(Find<QPushButton>(wnd, "fewestBits"), Qt::LeftButton);
        EXPECT_EQ(Find<QLabel>(wnd, "labelFewest")->text(), "Searching the fewest bits…");
        QTest::qWait(200);
        closing.start();
    }
    EXPECT_LT(closing.elapsed(), 5000);
}

TEST_F(FixedPoint, ItsWidthsComeBackAtTheNextStart) {
    {
        CRequirementsWnd wnd;
        wnd.show();
        ASSERT_NO_FATAL_FAILURE(TurnOn(wnd, "12.10", "14", "30"));
        Find<QComboBox>(wnd, "comboRounding")->setCurrentText("convergent");
        Find<QCheckBox>(wnd, "checkSearchRoundings")->setChecked(true);
        wnd.close();
    }
    CRequirementsWnd wnd;
    EXPECT_TRUE(Find<QGroupBox>(wnd, "fixedPoint")->isChecked());
    EXPECT_EQ(Find<QLineEdit>(wnd, "editInputBits")->text(), "12.10");
    EXPECT_EQ(Find<QLineEdit>(wnd, "editOutputBits")->text(), "14");
    EXPECT_EQ(Find<QLineEdit>(wnd, "editAccBits")->text(), "30");
    EXPECT_EQ(Find<QComboBox>(wnd, "comboRounding")->currentText(), "convergent");
    EXPECT_TRUE(Find<QCheckBox>(wnd, "checkSearchRoundings")->isChecked());
}

// Open, the panel takes room the plots leave: the window still fits the end-to-end tests'
// 1280 by 1024 screen with the help beside it, as it does closed.
TEST_F(FixedPoint, OpenTheWindowStillFitsBesideTheHelp) {
    CRequirementsWnd wnd;
    ShowDesigned(wnd);
    ASSERT_NO_FATAL_FAILURE(TurnOn(wnd, "16", "", ""));
    const QSize open = wnd.minimumSizeHint();
    EXPECT_LE(open.width(), 1280 - CHelpWnd::kMinimumWidth - 40);
    EXPECT_LE(open.height(), 1024 - 40);
}

} // namespace
