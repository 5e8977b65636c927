// What the requirements window shows and writes of a plan's stages: each stage's magnitude
// beside the cascade, each stage rounded to the fixed-point width with the cascade measured
// as rounded, and an export whose stages as written miss what the double taps keep asked
// about first.
#include "core/design/band_measure.h"
#include "core/document/window_rate_change.h"
#include "core/formats/written_plan.h"
#include "core/io/file_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <numbers>

namespace {

using namespace taplore;

// Decimation by 4 at 48000 Hz in two stages: pass to 5000 Hz, 80 dB from 7000 Hz.
WindowInputs Decimator(const std::string& stages, RateChange change = RateChange::decimate) {
    WindowInputs inputs;
    inputs.rate = "48000";
    inputs.bands = {PassRow(0, 5000), StopRow(7000, 24000)};
    inputs.bands[1].toleranceDb = 80;
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
    const auto ask = presenter.SetInputs(inputs);
    ASSERT_TRUE(ask) << presenter.Problem();
    ASSERT_EQ(presenter.Accept(std::make_shared<const DesignShown>(DesignFor(*ask))),
              RequirementsPresenter::Accepted::shown);
}

double Db(double magnitude) {
    return 20 * std::log10(magnitude);
}

// Every stage is dashed beside the cascade, and the cascade is their product: its level in dB
// the sum of theirs at every bin.
TEST(WindowPlanCurves, EachStageIsACurveOfItsOwnWhoseLevelsAddUpToTheCascade) {
    RequirementsPresenter presenter;
    ASSERT_NO_FATAL_FAILURE(Show(presenter, Decimator("2x2")));
    const PlotData plot = presenter.Magnitude(false);
    ASSERT_EQ(plot.parts.size(), 2u);
    EXPECT_EQ(plot.parts[0].name, "stage 1 (\u00f72)");
    EXPECT_EQ(plot.parts[1].name, "stage 2 (\u00f72)");
    const MultirateDesign& plan = *presenter.Shown()->multirate;
    for (std::size_t k = 0; k < plot.x.size(); k += 97) {
        double sum = 0.0;
        for (std::size_t i = 0; i < plot.parts.size(); ++i) {
            ASSERT_EQ(plot.parts[i].y.size(), plot.x.size());
            // Stage 2 runs at half the rate: at f it answers as its own taps do there.
            const double omega = 2 * std::numbers::pi * plot.x[k] / plan.stages[i].spot.rate;
            const double own = Db(MagnitudeAt(plan.stages[i].design.taps, omega));
            if (own > -250)
                EXPECT_NEAR(plot.parts[i].y[k], own, 1e-6) << "stage " << i << " at " << plot.x[k];
            sum += plot.parts[i].y[k];
        }
        if (sum > -250)
            EXPECT_NEAR(plot.y[k], sum, 1e-6) << plot.x[k];
    }
    // One stage is the cascade itself; a single filter has no parts.
    ASSERT_NO_FATAL_FAILURE(Show(presenter, Decimator("1")));
    EXPECT_TRUE(presenter.Magnitude(false).parts.empty());
    ASSERT_NO_FATAL_FAILURE(Show(presenter, WindowInputs{}));
    EXPECT_TRUE(presenter.Magnitude(false).parts.empty());
}

// The rounded curve is the product of the stages' rounded taps, over the cascade's gain, and
// its figures are what an export in that width is measured by.
TEST(WindowPlanRounded, EachStageIsRoundedToTheWidthAndTheCascadeMeasuredAsRounded) {
    const struct {
        std::string stages, bits;
        RateChange change;
        bool met;
    } cases[] = {
        {"2x2", "8", RateChange::decimate, false},
        {"2x2", "24", RateChange::decimate, true},
        {"1", "24", RateChange::decimate, true},
        {"2x2", "24", RateChange::interpolate, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stages + " in " + c.bits + " bits");
        RequirementsPresenter presenter;
        ASSERT_NO_FATAL_FAILURE(Show(presenter, Decimator(c.stages, c.change), c.bits));
        const DesignShown& shown = *presenter.Shown();
        ASSERT_TRUE(shown.rounded);
        EXPECT_FALSE(shown.fixedPoint) << "no chirp through one filter's arithmetic";
        const MultirateDesign& plan = *shown.multirate;
        const QFormat width = *ParseQFormat(c.bits);
        EXPECT_EQ(shown.rounded->figures.met, c.met);
        const auto integers = QuantisedStages(plan, width);
        const CascadeFigures written =
            WrittenCascadeFigures(plan, *FindExportFormat("q"), QuantisedPointers(integers));
        EXPECT_EQ(shown.rounded->figures.attenuationDb, written.attenuationDb);
        EXPECT_EQ(shown.rounded->figures.rippleDb, written.rippleDb);

        const PlotData plot = presenter.Magnitude(false);
        ASSERT_EQ(plot.overlay.size(), plot.x.size());
        const double gain = c.change == RateChange::interpolate ? 4.0 : 1.0;
        for (std::size_t k = 0; k < plot.x.size(); k += 131) {
            double product = 1.0;
            for (std::size_t i = 0; i < plan.stages.size(); ++i)
                product *= MagnitudeAt(Dequantise(*integers[i]),
                                       2 * std::numbers::pi * plot.x[k] / plan.stages[i].spot.rate);
            if (Db(product / gain) > -250)
                EXPECT_NEAR(plot.overlay[k], Db(product / gain), 1e-6) << plot.x[k];
        }
        const FixedPointTexts texts = presenter.FixedPointShown();
        EXPECT_EQ(texts.effect.rfind("Stages rounded to " + QFormatName(width) + ": ripple ", 0),
                  0u)
            << texts.effect;
        EXPECT_NE(texts.effect.find(c.met ? "meets" : "misses"), std::string::npos);
        EXPECT_FALSE(texts.searchOff.empty());
        EXPECT_EQ(texts.widthsOff.empty(), plan.stages.size() == 1);
    }
    // A single filter keeps its chirp and every control.
    RequirementsPresenter presenter;
    ASSERT_NO_FATAL_FAILURE(Show(presenter, WindowInputs{}, "16"));
    const FixedPointTexts texts = presenter.FixedPointShown();
    EXPECT_EQ(texts.effect.rfind("Full-scale chirp of ", 0), 0u) << texts.effect;
    EXPECT_TRUE(texts.searchOff.empty());
    EXPECT_TRUE(texts.widthsOff.empty());
}

class WindowPlanExport : public testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("taplore-plan-export-" +
                 std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::filesystem::path m_dir;
};

// Where the stages as written keep the requirements nothing is asked; where they miss, the
// question gives both figures, and the answer chooses what is written: the format, a format
// that keeps every digit of every stage, or nothing.
TEST_F(WindowPlanExport, AWidthThatMissesIsAskedAboutFirstWithBothFigures) {
    RequirementsPresenter presenter;
    ASSERT_NO_FATAL_FAILURE(Show(presenter, Decimator("2x2")));
    const MultirateDesign& plan = *presenter.Shown()->multirate;
    const struct {
        const char* format;
        const char* bits;
        ShortfallChoice answer;
        bool misses;
        const char* written; // the format whose text is written, or "" for none
    } cases[] = {
        {"vhdl", "24", ShortfallChoice::cancel, false, "vhdl"},
        {"cmsis-decimate-f32", "16", ShortfallChoice::fullPrecision, false, "cmsis-decimate-f32"},
        {"vhdl", "9", ShortfallChoice::asChosen, true, "vhdl"},
        {"vhdl", "9", ShortfallChoice::fullPrecision, true, "json"},
        {"c-q15", "16", ShortfallChoice::fullPrecision, true, "c"},
        {"verilog", "9", ShortfallChoice::cancel, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " in " + c.bits);
        const ExportFormat& format = *FindExportFormat(c.format);
        const QFormat width = *ParseQFormat(c.bits);
        const auto integers = QuantisedStages(plan, ExportQFormat(format, width));
        ASSERT_EQ(!WrittenCascadeFigures(plan, format, QuantisedPointers(integers)).met, c.misses);
        std::string asked;
        const auto answer = [&](const std::string& message) {
            asked = message;
            return c.answer;
        };
        const std::string path = (m_dir / (std::string(c.format) + c.bits)).string();
        ASSERT_FALSE(presenter.Export(path, format, c.bits, answer));
        if (c.misses) {
            EXPECT_EQ(asked.rfind("The taps as " + std::string(c.format) +
                                      " writes them miss the requirements: the cascade's ",
                                  0),
                      0u)
                << asked;
            EXPECT_NE(asked.find("aliased: attenuation "), std::string::npos) << asked;
            EXPECT_NE(asked.find(" dB as written, "), std::string::npos) << asked;
            EXPECT_NE(asked.find(" dB in double (80 dB asked)."), std::string::npos) << asked;
            const std::string full(FullPrecisionPlanFormat(format).name);
            EXPECT_NE(asked.find("At full precision, the stages are written as " + full),
                      std::string::npos)
                << asked;
        } else {
            EXPECT_EQ(asked, "");
        }
        if (std::string(c.written).empty()) {
            EXPECT_FALSE(std::filesystem::exists(path));
            continue;
        }
        const ExportFormat& wrote = *FindExportFormat(c.written);
        const auto wroteIntegers = QuantisedStages(plan, ExportQFormat(wrote, width));
        EXPECT_EQ(ReadWholeFile(path), WriteRateChange(plan, wrote, wroteIntegers, {}));
    }
}

// One stage is asked about as its cascade of one, an interpolator's gain taken out; at full
// precision it is the taps as "full" writes them.
TEST_F(WindowPlanExport, OneStageIsMeasuredAsItsCascadeAndWrittenInFullWhereChosen) {
    for (const RateChange change : {RateChange::decimate, RateChange::interpolate}) {
        RequirementsPresenter presenter;
        ASSERT_NO_FATAL_FAILURE(Show(presenter, Decimator("1", change)));
        const std::string path = (m_dir / "one.txt").string();
        std::string asked;
        const auto full = [&](const std::string& message) {
            asked = message;
            return ShortfallChoice::fullPrecision;
        };
        ASSERT_FALSE(presenter.Export(path, *FindExportFormat("q"), "24", full));
        EXPECT_EQ(asked, "") << "24 bits keep 80 dB";
        ASSERT_FALSE(presenter.Export(path, *FindExportFormat("q"), "9", full));
        EXPECT_EQ(asked.rfind("The taps as q writes them miss the requirements: the cascade's ", 0),
                  0u)
            << asked;
        EXPECT_EQ(asked.find("At full precision"), std::string::npos) << asked;
        const std::vector<double>& taps = presenter.Shown()->multirate->stages.front().design.taps;
        EXPECT_EQ(ReadWholeFile(path),
                  FindExportFormat("full")->write({taps, nullptr, presenter.Description()}));
    }
}

TEST(WindowPlanFormats, FullPrecisionKeepsAPlansFileKind) {
    EXPECT_EQ(FullPrecisionPlanFormat(*FindExportFormat("c-q31")).name, "c");
    EXPECT_EQ(FullPrecisionPlanFormat(*FindExportFormat("cmsis-interpolate-f32")).name, "c");
    EXPECT_EQ(FullPrecisionPlanFormat(*FindExportFormat("verilog")).name, "json");
    EXPECT_EQ(FullPrecisionPlanFormat(*FindExportFormat("json")).name, "json");
}

} // namespace
