// The requirements window's L-th bands and pulses: designed from its rows as the command line
// designs them, refused in the window's words, and kept in its documents.
#include "core/design/nyquist.h"
#include "core/document/nyquist_bands.h"
#include "core/document/requirements_presenter.h"
#include "core/io/file_input.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace taplore;
namespace fs = std::filesystem;

// The half-band of the command line's manual, as the window's rows ask it.
WindowInputs HalfBand() {
    WindowInputs inputs;
    inputs.rate = "48000";
    inputs.bands = {PassRow(0, 9600), StopRow(14400, 24000)};
    inputs.bands[0].toleranceDb = 0.001;
    inputs.bands[1].toleranceDb = 100;
    inputs.nyquist = 2;
    return inputs;
}

void Designed(RequirementsPresenter& presenter, const WindowInputs& inputs) {
    const std::optional<DesignAsk> ask = presenter.SetInputs(inputs);
    ASSERT_TRUE(ask) << presenter.Problem();
    ASSERT_EQ(presenter.Accept(std::make_shared<const DesignShown>(DesignFor(*ask))),
              RequirementsPresenter::Accepted::shown);
}

fs::path Folder() {
    const fs::path dir = fs::temp_directory_path() /
                         ("taplore-window-nyquist-" +
                          std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    return dir;
}

TEST(WindowNyquist, AHalfBandOfTheRowsHasItsZerosItsCentreAndTheCommandLinesTaps) {
    RequirementsPresenter presenter;
    ASSERT_NO_FATAL_FAILURE(Designed(presenter, HalfBand()));
    const std::vector<double>& taps = presenter.Shown()->design.taps;
    ASSERT_EQ(taps.size(), 63u);
    const int centre = 31;
    EXPECT_EQ(taps[centre], 0.5);
    for (int n = 2; n <= centre; n += 2) {
        EXPECT_EQ(taps[centre + n], 0.0) << n;
        EXPECT_EQ(taps[centre - n], 0.0) << n;
    }
    EXPECT_TRUE(Meets(presenter.Shown()->design.report));
    // What --nyquist 2 designs from the same figures.
    const RequirementsDesign cli = DesignFewestNyquistTaps(
        NyquistRequirements(48000, 9600, 2, 0.001, 100), 2, DefaultMethod());
    EXPECT_EQ(taps, cli.taps);

    const ResultTexts texts = presenter.Result();
    EXPECT_EQ(texts.headline,
              "half-band equiripple, 63 taps: meets the requirements; 59 taps miss");
    EXPECT_EQ(texts.zeroTaps, "30 of 63 taps are zero: 33 multiplications per output sample, 17 "
                              "with the symmetric taps added first.");
    EXPECT_EQ(texts.phase, "");

    // A third band, with the Kaiser window and a stop edge typed to a few digits.
    WindowInputs third = HalfBand();
    third.nyquist = 3;
    third.method = "kaiser";
    third.bands = {PassRow(0, 4000), StopRow(12000.00001, 24000)};
    ASSERT_NO_FATAL_FAILURE(Designed(presenter, third));
    const std::vector<double>& kaiser = presenter.Shown()->design.taps;
    const std::size_t middle = kaiser.size() / 2;
    EXPECT_EQ(kaiser[middle], 1.0 / 3);
    for (std::size_t n = 3; n <= middle; n += 3)
        EXPECT_EQ(kaiser[middle + n], 0.0) << n;
    EXPECT_EQ(presenter.Shown()->design.report.requirements.bands[1].lowHz, 12000);
}

TEST(WindowNyquist, WhatTheCommandLineRefusesIsRefusedNamingTheWindowsControls) {
    const struct {
        const char* name;
        void (*edit)(WindowInputs&);
        const char* problem;
    } cases[] = {
        {"stop edge", [](WindowInputs& in) { in.bands[1].lowHz = 15000; },
         "Band 2: Nyquist L = 2 needs the stop band from 14400 Hz: the rate over L less the pass "
         "band's edge."},
        {"pass edge past rate / 2L", [](WindowInputs& in) { in.bands[0].highHz = 12000; },
         "Band 1: Nyquist L = 2 needs the pass band to end below 12000 Hz."},
        {"three bands",
         [](WindowInputs& in) {
             in.bands[1].highHz = 20000;
             in.bands.push_back(PassRow(22000, 24000));
         },
         "Nyquist L = 2 designs a low-pass: a pass band from 0 and a stop band to half the rate "
         "(the Low-pass preset)."},
        {"high-pass", [](WindowInputs& in) { in.bands = PresetBands(BandPreset::highPass, 48000); },
         "Nyquist L = 2 designs a low-pass: a pass band from 0 and a stop band to half the rate "
         "(the Low-pass preset)."},
        {"sloped gain", [](WindowInputs& in) { in.bands[0].endGain = 2; },
         "Band 1: Nyquist L = 2 needs a pass band of gain 1."},
        {"minimum phase", [](WindowInputs& in) { in.minimumPhase = true; },
         "Nyquist L = 2 needs Phase: Linear; minimum-phase taps have no L-th band's zeros."},
        {"fixed length", [](WindowInputs& in) { in.fixed = true; },
         "Nyquist L = 2 designs the fewest taps that meet them, not a fixed length."},
        {"least squares", [](WindowInputs& in) { in.method = "least-squares"; },
         "Nyquist L = 2 needs Equiripple or Kaiser window as the Method, not Least squares."},
        {"equiripple above 2",
         [](WindowInputs& in) {
             in.nyquist = 4;
             in.bands[0].highHz = 3000;
             in.bands[1].lowHz = 9000;
         },
         "Nyquist L = 4 needs Kaiser window as the Method, not Equiripple."},
    };
    RequirementsPresenter presenter;
    for (const auto& c : cases) {
        WindowInputs wrong = HalfBand();
        c.edit(wrong);
        EXPECT_FALSE(presenter.SetInputs(wrong)) << c.name;
        EXPECT_EQ(presenter.Problem(), c.problem) << c.name;
    }
}

TEST(WindowPulses, APulseIsTheClosedFormsTapsDescribedAsTheCommandLineDescribesIt) {
    WindowInputs inputs;
    inputs.pulse = {"rrc", 8, 4, "0.35", ""};
    RequirementsPresenter presenter;
    ASSERT_NO_FATAL_FAILURE(Designed(presenter, inputs));
    const PulseDesign closed = DesignPulse({PulseShape::rootRaisedCosine, 8, 4, 0.35, {}});
    EXPECT_EQ(presenter.Shown()->design.taps, closed.taps);
    const ResultTexts texts = presenter.Result();
    EXPECT_EQ(texts.headline,
              "root raised cosine, roll-off 0.35, 8 symbols of 4 samples, 33 taps, unit-energy");
    EXPECT_TRUE(texts.figures.empty());
    EXPECT_EQ(texts.summary, texts.headline + ". DC gain 2.01256, energy 1, peak tap 0.547897.");
    EXPECT_FALSE(presenter.Magnitude(false).y.empty());

    const struct {
        WindowPulse pulse;
        const char* problem;
    } cases[] = {
        {{"rc", 8, 4, "1.5", ""}, "Pulse: the roll-off must be from 0 to 1."},
        {{"gaussian", 4, 8, "x", ""}, "Pulse: BT must be a number."},
        {{"gaussian", 4, 8, "0", "unit-peak"},
         "Pulse: the bandwidth-time product must be above 0 and finite."},
        {{"rrc", 9999, 9999, "0.35", ""},
         "Pulse: the span and samples per symbol give 99980002 taps, more than the longest "
         "pulse (65535)."},
    };
    for (const auto& c : cases) {
        inputs.pulse = c.pulse;
        EXPECT_FALSE(presenter.SetInputs(inputs)) << c.problem;
        EXPECT_EQ(presenter.Problem(), c.problem);
    }
    inputs.pulse = {"rc", 8, 4, "0.35", ""};
    inputs.nyquist = 2;
    EXPECT_FALSE(presenter.SetInputs(inputs));
    EXPECT_EQ(presenter.Problem(),
              "Pulse: a pulse is designed by its closed form; set Nyquist to Off.");
}

TEST(WindowDocuments, AnLthBandAndAPulseComeBackAndOldDocumentsReadWithNeither) {
    const fs::path dir = Folder();
    WindowInputs pulse;
    pulse.pulse = {"gaussian", 4, 8, "0.3", "unit-peak"};
    pulse.fixed = true; // the bands' length, kept while the pulse's is its span's
    for (const WindowInputs& inputs : {HalfBand(), pulse}) {
        RequirementsPresenter presenter;
        ASSERT_NO_FATAL_FAILURE(Designed(presenter, inputs));
        const std::string path = (dir / "design.taplore").string();
        ASSERT_FALSE(presenter.Save(path));
        RequirementsPresenter reopened;
        EXPECT_EQ(reopened.Open(path), inputs);
        EXPECT_EQ(ReadDocument(ReadWholeFile(path)).taps, presenter.Shown()->design.taps);
    }
    const std::string text = WriteDocument(*[&] {
        RequirementsPresenter presenter;
        presenter.SetInputs(pulse);
        return presenter.Document();
    }());
    EXPECT_NE(text.find("\"pulse\": {\n    \"shape\": \"gaussian\",\n    \"span_symbols\": 4,\n"
                        "    \"samples_per_symbol\": 8,\n    \"bt\": 0.3,\n    \"gain\": "
                        "\"unit-peak\"\n  }"),
              std::string::npos)
        << text;

    // A document of neither, as an older Taplore wrote it.
    RequirementsPresenter presenter;
    presenter.SetInputs(WindowInputs{});
    const WindowInputs old =
        RequirementsPresenter::InputsOf(ReadDocument(WriteDocument(*presenter.Document())));
    EXPECT_EQ(old.nyquist, 0);
    EXPECT_FALSE(old.pulse.On());

    // Refused members, said where they lie.
    const std::string halfBand = WriteDocument(*[&] {
        RequirementsPresenter half;
        half.SetInputs(HalfBand());
        return half.Document();
    }());
    const struct {
        const std::string& document;
        const char *find, *replace, *error;
    } wrong[] = {
        {halfBand, "\"nyquist\": 2", "\"nyquist\": 1",
         "method.nyquist: Nyquist L must be 2 or more"},
        {halfBand, "\"low_hz\": 14400.0", "\"low_hz\": 15000.0",
         "method.nyquist: Nyquist L = 2 needs the stop band from 14400 Hz: the rate over L less "
         "the pass band's edge"},
        {text, "\"gaussian\"", "\"sinc\"",
         "pulse.shape: must be rc, rrc or gaussian, not \"sinc\""},
        {text, "\"span_symbols\": 4", "\"span_symbols\": 0",
         "pulse.span_symbols: must be a whole number from 1 to 65535, not 0"},
        {text, "\"bt\": 0.3", "\"bt\": -1.0",
         "pulse: the bandwidth-time product must be above 0 and finite"},
    };
    for (const auto& c : wrong) {
        std::string bad = c.document;
        ASSERT_NE(bad.find(c.find), std::string::npos) << c.find;
        bad.replace(bad.find(c.find), std::string(c.find).size(), c.replace);
        try {
            ReadDocument(bad);
            ADD_FAILURE() << c.error;
        } catch (const DocumentError& e) {
            EXPECT_STREQ(e.what(), c.error);
        }
    }
    fs::remove_all(dir);
}

} // namespace
