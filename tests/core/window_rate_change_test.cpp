// The requirements window's rate change: the bands read as a decimator's requirements or
// refused with what to change, a plan designed from them on the window's path, its stages in
// the result table, its exports and its document.
#include "core/document/window_rate_change.h"
#include "core/formats/multirate_report.h"
#include "core/io/file_input.h"
#include "presenter_design.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace {

using namespace taplore;

// Decimation by 4 at 48000 Hz: pass to 5000 Hz, stop from 7000 Hz to half the rate, a
// transition narrow enough that two stages cost less than one.
WindowInputs Decimator(const std::string& stages) {
    WindowInputs inputs = Bands48k();
    inputs.rateChange = RateChangeChoice{RateChange::decimate, 4, stages};
    return inputs;
}

TEST(WindowRateChange, RequirementsItCannotDesignAreRefusedNamingWhatToChange) {
    WindowInputs edge = Decimator("1");
    edge.bands[1].lowHz = 6000;
    EXPECT_EQ(
        ProblemOf(edge),
        "Rate change: decimation by 4 at 48000 Hz needs the stop band from 7000 to 24000 Hz.");

    EXPECT_EQ(ProblemOf(Decimator("4y")), "Rate change: Stages must be auto, a count from 1 to 4, "
                                          "or factors such as 4x4x3, not \"4y\".");
    EXPECT_EQ(ProblemOf(Decimator("2x3")),
              "Rate change: the Stages 2x3 multiply to 6, not the factor 4.");

    WindowInputs minimum = Decimator("1");
    minimum.minimumPhase = true;
    EXPECT_NE(ProblemOf(minimum).find("Phase: Linear"), std::string::npos);
    WindowInputs fixed = Decimator("1");
    fixed.fixed = true;
    EXPECT_NE(ProblemOf(fixed).find("Length: Fewest"), std::string::npos);
    WindowInputs sloped = Decimator("1");
    sloped.bands[0].endGain = 0.5;
    EXPECT_NE(ProblemOf(sloped).find("gain"), std::string::npos);
    WindowInputs three = Decimator("1");
    three.bands.push_back(StopRow(20000, 24000));
    three.bands[1].highHz = 16000;
    EXPECT_NE(ProblemOf(three).find("one pass band from 0 Hz and one stop band"),
              std::string::npos);
    // Designs of their own kind do not take a rate change.
    WindowInputs nyquist = Decimator("1");
    nyquist.nyquist = 2;
    EXPECT_EQ(ProblemOf(nyquist), "Rate change: each stage is designed to its own requirements; "
                                  "set Nyquist to Off.");
    WindowInputs pulse = Decimator("1");
    pulse.pulse.shape = "rrc";
    EXPECT_EQ(ProblemOf(pulse), "Rate change: a pulse is designed at one rate; choose No rate "
                                "change or another Method.");
    // What the rate change itself refuses: a pass band past half the low rate.
    WindowInputs wide = Decimator("1");
    wide.bands = {PassRow(0, 6500), StopRow(7000, 24000)};
    EXPECT_NE(ProblemOf(wide).find("Rate change: "), std::string::npos);

    // The edge exactly, and without a rate change the same rows are an ordinary low-pass.
    RequirementsPresenter presenter;
    const auto ask = presenter.SetInputs(Decimator("auto"));
    ASSERT_TRUE(ask) << presenter.Problem();
    EXPECT_EQ(ask->rateChange->stages.kind, StagesAsk::Kind::automatic);
    WindowInputs plain = Decimator("1");
    plain.rateChange.reset();
    EXPECT_FALSE(presenter.SetInputs(plain)->rateChange);
}

WindowInputs TwoStagesOf2() {
    return Decimator("2x2");
}
using WindowPlan = DesignedOnce<TwoStagesOf2>;

TEST_F(WindowPlan, ADecimateBy4PlanMeetsAndCostsNoMoreThanOneStage) {
    const DesignShown& shown = *s_presenter->Shown();
    ASSERT_TRUE(shown.multirate);
    const MultirateDesign& plan = *shown.multirate;
    ASSERT_EQ(plan.stages.size(), 2u);
    EXPECT_TRUE(plan.cascade.met);
    EXPECT_LE(plan.cascade.rippleDb, 0.1);
    EXPECT_GE(plan.cascade.attenuationDb, 80);
    double total = 0.0, before = 1.0;
    for (const Stage& stage : plan.stages) {
        before *= stage.spot.factor;
        total += stage.design.taps.size() / before;
    }
    const PlanCost& one = plan.oneStage;
    EXPECT_LE(total, one.designed ? one.multiplications : one.estimated);
    // The taps shown are the filter the cascade equals, and the plot draws the cascade.
    EXPECT_EQ(shown.design.taps, EquivalentTaps(CascadeStages(plan)));
    EXPECT_EQ(s_presenter->TapCount(), static_cast<int>(shown.design.taps.size()));
    const PlotData magnitude = s_presenter->Magnitude(false);
    ASSERT_EQ(magnitude.y.size(), static_cast<std::size_t>(shown.points));
    EXPECT_EQ(magnitude.y, shown.levels.cascade);
    ASSERT_FALSE(magnitude.regions.empty());
    EXPECT_EQ(magnitude.regions.front().x1, 5000);
}

TEST_F(WindowPlan, TheTableHasARowAStageTheTotalAndTheCascade) {
    const ResultTexts texts = s_presenter->Result();
    EXPECT_EQ(texts.headline.rfind("decimate by 4 in 2 stages, 48000 Hz to 12000 Hz", 0), 0u)
        << texts.headline;
    EXPECT_NE(texts.headline.find("meets"), std::string::npos);
    ASSERT_EQ(texts.figures.size(), 5u);
    const MultirateDesign& plan = *s_presenter->Shown()->multirate;
    EXPECT_EQ(texts.figures[0].band, "Stage 1: 2 at 48000 Hz");
    EXPECT_EQ(texts.figures[1].band, "Stage 2: 2 at 24000 Hz");
    EXPECT_EQ(texts.figures[1].asked, std::to_string(plan.stages[1].design.taps.size()) + " taps");
    EXPECT_EQ(texts.figures[2].band, "Total");
    EXPECT_TRUE(texts.figures[2].met);
    EXPECT_EQ(texts.figures[3].band, "Cascade: 0 to 5000 Hz");
    EXPECT_EQ(texts.figures[3].asked, "0.1 dB");
    EXPECT_EQ(texts.figures[4].asked, "80 dB");
    for (const FigureRow& row : texts.figures)
        EXPECT_TRUE(row.met) << row.band;
    EXPECT_EQ(s_presenter->Description().title, DescribeMultirate(plan).title);
}

TEST_F(WindowPlan, APlanIsExportedByTheFormatsThatHoldOneAndKeptInItsDocument) {
    const auto dir = ScratchPath("window-plan");
    std::filesystem::create_directories(dir);
    const auto never = [](const std::string&) { return ShortfallChoice::cancel; };
    const auto refused =
        s_presenter->Export((dir / "plan.csv").string(), *FindExportFormat("csv"), "16", never);
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find("the formats that hold a plan are c, "), std::string::npos) << *refused;
    EXPECT_FALSE(
        s_presenter->Export((dir / "plan.c").string(), *FindExportFormat("c"), "16", never));
    const std::string c = ReadWholeFile((dir / "plan.c").string());
    EXPECT_NE(c.find("decimate by 4 in 2 stages"), std::string::npos);

    // The document keeps the rate change, and a document without one reads back with none.
    const std::string path = (dir / "plan.taplore").string();
    EXPECT_FALSE(s_presenter->Save(path));
    const std::string text = ReadWholeFile(path);
    EXPECT_NE(text.find("\"rate_change\": {\n    \"change\": \"decimate\",\n    \"factor\": 4,\n"
                        "    \"stages\": \"2x2\"\n  }"),
              std::string::npos)
        << text;
    EXPECT_EQ(RequirementsPresenter().Open(path), Decimator("2x2"));
    DesignDocument single = ReadDocument(text);
    single.rateChange.reset();
    EXPECT_FALSE(ReadDocument(WriteDocument(single)).rateChange);
    std::string bad = text;
    bad.replace(bad.find("\"2x2\""), 5, "\"2y2\"");
    try {
        ReadDocument(bad);
        ADD_FAILURE() << "stages 2y2 were read";
    } catch (const DocumentError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("rate_change.stages: ", 0), 0u) << e.what();
    }
    std::filesystem::remove_all(dir);
}

// One stage is its own taps, exported as any design with its factor; an interpolator's gain is
// taken out of the levels drawn.
TEST(WindowRateChange, OneInterpolatingStageIsItsTapsAtUnitLevelAndExportsWithItsFactor) {
    WindowInputs inputs = Decimator("1");
    inputs.bands = {PassRow(0, 5000), StopRow(19000, 24000)};
    inputs.rateChange = RateChangeChoice{RateChange::interpolate, 2, "1"};
    RequirementsPresenter presenter;
    ASSERT_NO_FATAL_FAILURE(ShowDesign(presenter, inputs));
    const DesignShown& shown = *presenter.Shown();
    ASSERT_EQ(shown.multirate->stages.size(), 1u);
    EXPECT_EQ(shown.design.taps, shown.multirate->stages.front().design.taps);
    EXPECT_NEAR(presenter.Magnitude(false).y.front(), 0.0, 0.1);
    EXPECT_EQ(presenter.Result().headline.rfind("interpolate by 2 in one stage", 0), 0u);
    const ExportFormat& cmsis = *FindExportFormat("cmsis-interpolate-f32");
    const auto choices = presenter.ExportChoices();
    EXPECT_NE(std::find(choices.begin(), choices.end(), &cmsis), choices.end());
    const std::string path = ScratchPath("window-interpolator").string() + ".c";
    const auto never = [](const std::string&) { return ShortfallChoice::cancel; };
    EXPECT_FALSE(presenter.Export(path, cmsis, "16", never));
    EXPECT_NE(ReadWholeFile(path).find("arm_fir_interpolate_f32()"), std::string::npos);
    std::filesystem::remove(path);
}

} // namespace
