// The requirements window's CIC compensator: the CIC field read with the bands, or refused
// naming what to change; the compensator designed on the window's path, its cascade in the
// result table and the plot, its exports and its document.
#include "core/document/window_cic.h"
#include "core/io/file_input.h"
#include "presenter_design.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <filesystem>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

using namespace taplore;

// The bands after a CIC: 4:8:1 runs at 384 kHz, 48 kHz out.
WindowInputs Compensator(const std::string& cic) {
    WindowInputs inputs = Bands48k();
    inputs.cic = cic;
    return inputs;
}

TEST(WindowCic, WhatACompensatorCannotTakeIsRefusedNamingTheControl) {
    const auto with = [](void (*change)(WindowInputs&)) {
        WindowInputs inputs = Compensator("4:8:1");
        change(inputs);
        return inputs;
    };
    const struct Case {
        WindowInputs inputs;
        std::string problem;
    } cases[] = {
        {Compensator("4:1"), "CIC: must be STAGES:FACTOR or STAGES:FACTOR:DELAY, whole numbers, "
                             "the factor 2 or more, not \"4:1\"."},
        {with([](WindowInputs& in) {
             in.rateChange = RateChangeChoice{RateChange::interpolate, 4, "1"};
         }),
         "CIC: a compensator follows a CIC decimator; choose Decimate by or No rate change."},
        {with([](WindowInputs& in) {
             in.rateChange = RateChangeChoice{RateChange::decimate, 4, "2"};
         }),
         "CIC: the compensator is one filter; set Stages to 1."},
        {with([](WindowInputs& in) { in.minimumPhase = true; }),
         "CIC: the compensator is designed in linear phase; choose Phase: Linear."},
        {with([](WindowInputs& in) { in.method = "kaiser"; }),
         "CIC: the compensator is the fewest equiripple taps that keep the cascade's tolerances; "
         "choose Method: Equiripple and Length: Fewest that meet them."},
        {with([](WindowInputs& in) { in.fixed = true; }),
         "CIC: the compensator is the fewest equiripple taps that keep the cascade's tolerances; "
         "choose Method: Equiripple and Length: Fewest that meet them."},
        {with([](WindowInputs& in) { in.pulse.shape = "rrc"; }),
         "CIC: a pulse is designed by its closed form; clear CIC or choose another Method."},
        {with([](WindowInputs& in) { in.bands[1].highHz = 20000; }),
         "CIC: the stop band must reach half the rate, 24000 Hz."},
        {with([](WindowInputs& in) {
             in.bands[1].highHz = 20000;
             in.bands.push_back(StopRow(22000, 24000));
         }),
         "CIC: the bands must be one pass band from 0 Hz and one stop band above it."},
        {with([](WindowInputs& in) { in.bands[0].endGain = 2.0; }),
         "CIC: the pass band's gain must be 1."},
        // The CIC's first null at 48000 / 10 Hz lies in the pass band.
        {Compensator("4:8:10"),
         "CIC: the pass band reaches the CIC's first null, at its output rate over its delay."},
        // Decimating, the stop band is the rate change's.
        {with([](WindowInputs& in) {
             in.rateChange = RateChangeChoice{RateChange::decimate, 4, "1"};
             in.bands[1].lowHz = 8000;
         }),
         "Rate change: decimation by 4 at 48000 Hz needs the stop band from 7000 to 24000 Hz."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProblemOf(c.inputs), c.problem);

    // The CIC's delay is 1 unless given; with Decimate by, the FIR decimates after it.
    RequirementsPresenter presenter;
    auto ask = presenter.SetInputs(Compensator(" 4:8 "));
    ASSERT_TRUE(ask) << presenter.Problem();
    ASSERT_TRUE(ask->cic);
    EXPECT_EQ(ask->cic->cic, (CicShape{4, 8, 1}));
    EXPECT_EQ(ask->cic->decimate, 1);
    EXPECT_EQ(ask->cic->stopHz, 7000);
    WindowInputs decimating = Compensator("4:8:1");
    decimating.rateChange = RateChangeChoice{RateChange::decimate, 4, "1"};
    ask = presenter.SetInputs(decimating);
    ASSERT_TRUE(ask) << presenter.Problem();
    EXPECT_EQ(ask->cic->decimate, 4);
    EXPECT_FALSE(ask->rateChange);
}

// |sum h[n] e^(-j w n)| in dB: the FIR's magnitude by a direct sum, not the views' transform.
double DirectDb(const std::vector<double>& taps, double hz, double rate) {
    std::complex<double> sum;
    for (std::size_t n = 0; n < taps.size(); ++n)
        sum += taps[n] * std::polar(1.0, -2 * std::numbers::pi * hz / rate * double(n));
    return 20 * std::log10(std::abs(sum));
}

WindowInputs CompensatorOf481() {
    return Compensator("4:8:1");
}
using WindowCompensator = DesignedOnce<CompensatorOf481>;

// The FIR lifts the CIC's droop: alone it misses the flat pass band, and the cascade keeps it.
TEST_F(WindowCompensator, TheCascadeKeepsTheRippleTheFirAloneMisses) {
    const DesignShown& shown = *s_presenter->Shown();
    ASSERT_TRUE(shown.compensator);
    const CompensatorFigures& figures = shown.compensator->made.figures;
    EXPECT_TRUE(figures.met);
    EXPECT_LE(figures.rippleDb, 0.1);
    EXPECT_GE(figures.attenuationDb, 80);
    const std::vector<double>& taps = shown.design.taps;
    EXPECT_EQ(taps, shown.compensator->made.taps);
    const double firRise = DirectDb(taps, 5000, 48000) - DirectDb(taps, 0, 48000);
    EXPECT_GT(firRise, 0.5);
    EXPECT_NEAR(firRise, figures.droopDb, 0.1);

    // The plot: the cascade, over the CIC and the FIR dashed, each from its own closed form.
    const PlotData magnitude = s_presenter->Magnitude(false);
    ASSERT_EQ(magnitude.y.size(), static_cast<std::size_t>(shown.points));
    ASSERT_EQ(magnitude.parts.size(), 2u);
    EXPECT_EQ(magnitude.parts[0].name, "CIC 4:8:1");
    EXPECT_EQ(magnitude.parts[0].kind, PartKind::cic);
    EXPECT_EQ(magnitude.parts[1].name, "FIR");
    EXPECT_EQ(magnitude.parts[1].kind, PartKind::fir);
    double lowest = HUGE_VAL, highest = -HUGE_VAL;
    for (std::size_t k = 0; k < magnitude.x.size(); k += 97) {
        const double hz = magnitude.x[k];
        const double cic = 20 * std::log10(CicGain({4, 8, 1}, hz, 384000));
        EXPECT_NEAR(magnitude.parts[0].y[k], cic, 1e-9) << hz;
        const double fir = DirectDb(taps, hz, 48000);
        if (fir < -120)
            continue; // beside the FIR's zeros its levels are rounding
        EXPECT_NEAR(magnitude.parts[1].y[k], fir, 1e-6) << hz;
        EXPECT_NEAR(magnitude.y[k], cic + fir, 1e-6) << hz;
        if (hz <= 5000) {
            lowest = std::min(lowest, magnitude.y[k]);
            highest = std::max(highest, magnitude.y[k]);
        }
    }
    EXPECT_LE(highest - lowest, 0.1);
    ASSERT_EQ(magnitude.regions.size(), 2u);
    EXPECT_EQ(magnitude.regions[1].x0, 7000);
}

TEST_F(WindowCompensator, TheTableGivesTheCicTheFirAndTheCascadeAsTheCommandLineReports) {
    const ResultTexts texts = s_presenter->Result();
    const CompensatorDesign& design = *s_presenter->Shown()->compensator;
    const std::string taps = std::to_string(design.made.taps.size());
    EXPECT_EQ(texts.headline.rfind("CIC compensator, equiripple, " + taps +
                                       " taps: the cascade meets the requirements; ",
                                   0),
              0u)
        << texts.headline;
    EXPECT_EQ(texts.headline, s_presenter->Description().title);
    ASSERT_EQ(texts.figures.size(), 4u);
    EXPECT_EQ(texts.figures[0].band, "CIC 4:8:1 at 384000 Hz");
    EXPECT_EQ(texts.figures[0].asked, "droop at 5000 Hz");
    EXPECT_EQ(texts.figures[1].band, "FIR at 48000 Hz");
    EXPECT_EQ(texts.figures[1].asked, taps + " taps");
    EXPECT_EQ(texts.figures[2].band, "Cascade: 0 to 5000 Hz");
    EXPECT_EQ(texts.figures[2].asked, "0.1 dB");
    EXPECT_EQ(texts.figures[3].band, "Cascade: 7000 to 24000 Hz");
    EXPECT_EQ(texts.figures[3].asked, "80 dB");
    for (const FigureRow& row : texts.figures)
        EXPECT_TRUE(row.met) << row.band;
    // The two shorter lengths miss, by how much the cascade misses.
    ASSERT_EQ(design.made.shorter.size(), 2u);
    EXPECT_EQ(
        texts.shorter.rfind(std::to_string(design.made.shorter[0].first) + " taps miss by ", 0), 0u)
        << texts.shorter;
}

TEST_F(WindowCompensator, ItsTapsExportAsOneFilterAndItsDocumentKeepsTheCic) {
    const auto dir = ScratchPath("window-cic");
    std::filesystem::create_directories(dir);
    const auto never = [](const std::string&) { return ShortfallChoice::cancel; };
    // Any single filter's format, the FIR's own rate change only where it has one.
    const auto choices = s_presenter->ExportChoices();
    EXPECT_EQ(std::find(choices.begin(), choices.end(), FindExportFormat("cmsis-decimate-f32")),
              choices.end());
    for (const char* name : {"csv", "c", "vhdl"}) {
        const std::string path = (dir / (std::string("cic.") + name)).string();
        EXPECT_FALSE(s_presenter->Export(path, *FindExportFormat(name), "24", never)) << name;
        EXPECT_NE(ReadWholeFile(path).find("CIC compensator, equiripple"), std::string::npos)
            << name;
    }

    const std::string path = (dir / "cic.taplore").string();
    EXPECT_FALSE(s_presenter->Save(path));
    const std::string text = ReadWholeFile(path);
    EXPECT_NE(
        text.find("\"cic\": {\n    \"stages\": 4,\n    \"factor\": 8,\n    \"delay\": 1\n  }"),
        std::string::npos)
        << text;
    // The report of the FIR alone would say its pass band misses: it is left out.
    EXPECT_EQ(text.find("\"report\""), std::string::npos);
    EXPECT_EQ(RequirementsPresenter().Open(path), Compensator("4:8:1"));
    DesignDocument plain = ReadDocument(text);
    plain.cic.reset();
    EXPECT_EQ(WriteDocument(plain).find("\"cic\""), std::string::npos);
    EXPECT_FALSE(ReadDocument(WriteDocument(plain)).cic);

    const struct {
        const char* from;
        const char* to;
        const char* error;
    } spoilt[] = {
        {"\"factor\": 8", "\"factor\": 1", "cic.factor: must be 2 or more, not 1"},
        {"\"delay\": 1", "\"delay\": \"1\"", "cic.delay: must be a whole number from 1 to "},
    };
    for (const auto& s : spoilt) {
        std::string bad = text;
        bad.replace(bad.find(s.from), std::string(s.from).size(), s.to);
        try {
            ReadDocument(bad);
            ADD_FAILURE() << s.to << " was read";
        } catch (const DocumentError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(s.error, 0), 0u) << e.what();
        }
    }
    std::filesystem::remove_all(dir);
}

// The FIR as written is measured in its cascade with the CIC, as taplore-design warns of it:
// where that cascade misses, Export asks first with both figures, and full precision writes
// the FIR as "full". The FIR alone, whose pass band is not flat, is not what is measured.
TEST_F(WindowCompensator, AnExportWhoseCascadeAsWrittenMissesIsAskedAboutFirst) {
    const std::string kStart = "The taps as vhdl writes them miss the requirements: the cascade's ";
    const struct {
        const char* bits;
        std::string asked; // empty: nothing asked
    } cases[] = {
        {"16", kStart + "stop 7000 to 24000 Hz: attenuation 76.429 dB as written, 82.27 dB in "
                        "double (80 dB asked)."},
        {"12", kStart + "pass 0 to 5000 Hz: ripple 0.12318 dB as written, 0.089041 dB in double "
                        "(0.1 dB asked); stop 7000 to 24000 Hz: attenuation 57.613 dB as "
                        "written, 82.27 dB in double (80 dB asked)."},
        {"20", ""},
    };
    const std::string path = ScratchPath("window-cic-asked").string() + ".vhd";
    const std::vector<double>& taps = s_presenter->Shown()->design.taps;
    const std::string full = FindExportFormat("full")->write(
        {taps, nullptr, s_presenter->Description(), kDefaultBlockSize});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        std::vector<std::string> asked;
        const auto atFullPrecision = [&](const std::string& message) {
            asked.push_back(message);
            return ShortfallChoice::fullPrecision;
        };
        EXPECT_FALSE(s_presenter->Export(path, *FindExportFormat("vhdl"), c.bits, atFullPrecision));
        EXPECT_EQ(asked,
                  c.asked.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.asked});
        EXPECT_EQ(ReadWholeFile(path) == full, !c.asked.empty());
    }
    std::filesystem::remove(path);
    // The search keeps one filter's requirements: for the FIR alone, they are not the cascade's.
    EXPECT_EQ(s_presenter->FixedPointShown().searchOff.rfind("Not for a CIC compensator: ", 0), 0u);
}

// Decimating after the CIC, the FIR is a decimator of its own: the CMSIS decimators take it.
TEST(WindowCic, ADecimatingCompensatorExportsWithItsFactor) {
    WindowInputs inputs = Compensator("4:8:1");
    inputs.rateChange = RateChangeChoice{RateChange::decimate, 4, "1"};
    RequirementsPresenter presenter;
    ASSERT_NO_FATAL_FAILURE(ShowDesign(presenter, inputs));
    const ResultTexts texts = presenter.Result();
    EXPECT_EQ(texts.figures[1].band, "FIR: 4 at 48000 Hz");
    const ExportFormat& cmsis = *FindExportFormat("cmsis-decimate-f32");
    const auto choices = presenter.ExportChoices();
    EXPECT_NE(std::find(choices.begin(), choices.end(), &cmsis), choices.end());
    const std::string path = ScratchPath("window-cic-decimator").string() + ".c";
    const auto never = [](const std::string&) { return ShortfallChoice::cancel; };
    EXPECT_FALSE(presenter.Export(path, cmsis, "16", never));
    const std::string c = ReadWholeFile(path);
    EXPECT_NE(c.find("arm_fir_decimate_f32()"), std::string::npos);
    EXPECT_NE(c.find("the FIR decimates by 4"), std::string::npos);
    std::filesystem::remove(path);
}

// A later edit stops the design under way: the window's worker is free at once.
TEST(WindowCic, ADesignStoppedLeavesNoTaps) {
    RequirementsPresenter presenter;
    const auto ask = presenter.SetInputs(Compensator("4:8:1"));
    ASSERT_TRUE(ask);
    const DesignShown shown = DesignFor(*ask, [](double) { return false; });
    EXPECT_EQ(shown.design.status, DesignStatus::stopped);
    EXPECT_TRUE(shown.design.taps.empty());
}

} // namespace
