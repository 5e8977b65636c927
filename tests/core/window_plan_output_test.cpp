// What the requirements window makes of a plan's stages: each stage rounded to the fixed-point
// width with the cascade measured as rounded, and an export whose stages as written miss what
// the double taps keep asked about first.
#include "core/design/band_measure.h"
#include "core/document/window_rate_change.h"
#include "core/formats/written_plan.h"
#include "core/io/file_input.h"
#include "presenter_design.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>

namespace {

using namespace taplore;

// Rate change by 4 at 48000 Hz: pass to 5000 Hz, 80 dB from 7000 Hz.
WindowInputs ByFour(const std::string& stages, RateChange change = RateChange::decimate) {
    WindowInputs inputs = Bands48k();
    inputs.rateChange = RateChangeChoice{change, 4, stages};
    return inputs;
}

// The presenter with inputs designed and shown, the taps rounded to tapBits where given.
void Show(RequirementsPresenter& presenter, const WindowInputs& inputs,
          const std::string& tapBits = {}) {
    if (!tapBits.empty()) {
        FixedPointInputs fixed;
        fixed.tapBits = tapBits;
        presenter.SetFixedPoint(fixed);
    }
    ShowDesign(presenter, inputs);
}

// The rounded curve is the product of the stages' rounded taps, each at its own rate, over the
// cascade's nominal gain; the panel says whether the cascade as rounded meets.
TEST(WindowPlanRounded, EachStageIsRoundedToTheWidthAndTheCascadeMeasuredAsRounded) {
    const struct {
        std::string stages, bits;
        RateChange change;
        bool met;
    } cases[] = {
        {"2x2", "8", RateChange::decimate, false},
        {"1", "24", RateChange::decimate, true},
        {"2x2", "24", RateChange::interpolate, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stages + " in " + c.bits + " bits");
        RequirementsPresenter presenter;
        ASSERT_NO_FATAL_FAILURE(Show(presenter, ByFour(c.stages, c.change), c.bits));
        const DesignShown& shown = *presenter.Shown();
        ASSERT_TRUE(shown.rounded);
        EXPECT_FALSE(shown.fixedPoint) << "no chirp through one filter's arithmetic";
        EXPECT_EQ(shown.rounded->figures.met, c.met);
        const MultirateDesign& plan = *shown.multirate;
        const auto integers = QuantisedStages(plan, *ParseQFormat(c.bits));
        const PlotData plot = presenter.Magnitude(false);
        ASSERT_EQ(plot.overlay.size(), plot.x.size());
        const double gain = c.change == RateChange::interpolate ? 4.0 : 1.0;
        for (std::size_t k = 0; k < plot.x.size(); k += 131) {
            double product = 1.0 / gain;
            for (std::size_t i = 0; i < plan.stages.size(); ++i)
                product *= MagnitudeAt(Dequantise(*integers[i]),
                                       2 * std::numbers::pi * plot.x[k] / plan.stages[i].spot.rate);
            if (product > 1e-12) {
                EXPECT_NEAR(plot.overlay[k], 20 * std::log10(product), 1e-6) << plot.x[k];
            }
        }
        EXPECT_EQ(presenter.FixedPointShown().widthsOff.empty(), plan.stages.size() == 1);
    }
}

class WindowPlanExport : public testing::Test {
protected:
    void SetUp() override {
        m_dir = ScratchPath("plan-export");
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    // Exports the design shown, answering answer; returns what was asked, "" for nothing.
    std::string Export(const RequirementsPresenter& presenter, const std::string& format,
                       const std::string& bits, ShortfallChoice answer) {
        std::string asked;
        const auto ask = [&](const std::string& message) {
            asked = message;
            return answer;
        };
        EXPECT_FALSE(presenter.Export(Path(), *FindExportFormat(format), bits, ask));
        return asked;
    }
    std::string Path() const { return (m_dir / "out").string(); }

    std::filesystem::path m_dir;
};

// Where the stages as written keep the requirements nothing is asked; where they miss, the
// question names the format that keeps every digit of every stage, and the answer chooses what
// is written: the format, that one, or nothing.
TEST_F(WindowPlanExport, AWidthThatMissesIsAskedAboutFirstWithBothFigures) {
    RequirementsPresenter presenter;
    ASSERT_NO_FATAL_FAILURE(Show(presenter, ByFour("2x2")));
    const MultirateDesign& plan = *presenter.Shown()->multirate;
    const struct {
        const char *format, *bits;
        ShortfallChoice answer;
        bool misses;
        const char* written; // the format whose text is written, or "" for none
    } cases[] = {
        {"vhdl", "24", ShortfallChoice::cancel, false, "vhdl"},
        {"cmsis-decimate-f32", "16", ShortfallChoice::fullPrecision, false, "cmsis-decimate-f32"},
        {"vhdl", "9", ShortfallChoice::fullPrecision, true, "json"},
        {"c-q15", "16", ShortfallChoice::fullPrecision, true, "c"},
        {"verilog", "9", ShortfallChoice::cancel, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " in " + c.bits);
        std::filesystem::remove(Path());
        const std::string asked = Export(presenter, c.format, c.bits, c.answer);
        // The GUI's test reads the question whole.
        EXPECT_EQ(asked.empty(), !c.misses) << asked;
        const std::string full(FullPrecisionPlanFormat(*FindExportFormat(c.format)).name);
        EXPECT_EQ(asked.find("At full precision, the stages are written as " + full) !=
                      std::string::npos,
                  c.misses)
            << asked;
        if (std::string(c.written).empty()) {
            EXPECT_FALSE(std::filesystem::exists(Path()));
            continue;
        }
        const ExportFormat& wrote = *FindExportFormat(c.written);
        const auto integers = QuantisedStages(plan, ExportQFormat(wrote, *ParseQFormat(c.bits)));
        EXPECT_EQ(ReadWholeFile(Path()), WriteRateChange(plan, wrote, integers, {}));
    }
}

// One stage is asked about as its cascade of one, an interpolator's gain taken out; at full
// precision it is the taps as "full" writes them.
TEST_F(WindowPlanExport, OneStageIsMeasuredAsItsCascadeAndWrittenInFullWhereChosen) {
    for (const RateChange change : {RateChange::decimate, RateChange::interpolate}) {
        RequirementsPresenter presenter;
        ASSERT_NO_FATAL_FAILURE(Show(presenter, ByFour("1", change)));
        EXPECT_EQ(Export(presenter, "q", "24", ShortfallChoice::fullPrecision), "");
        const std::string asked = Export(presenter, "q", "9", ShortfallChoice::fullPrecision);
        EXPECT_EQ(asked.rfind("The taps as q writes them miss the requirements: the cascade's ", 0),
                  0u)
            << asked;
        EXPECT_EQ(asked.find("At full precision"), std::string::npos) << asked;
        const std::vector<double>& taps = presenter.Shown()->multirate->stages.front().design.taps;
        EXPECT_EQ(ReadWholeFile(Path()),
                  FindExportFormat("full")->write({taps, nullptr, presenter.Description()}));
    }
}

} // namespace
