// taplore-design's designs to requirements, run as a user runs them: the report, the outputs
// that carry it, the refusals and failures with their exit statuses.
#include "cli/run_design.h"
#include "core/design/methods.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kExample = " --rate 8000 --pass 0:1000 --stop 1500:4000 --ripple 0.1 --atten 60";

class Requirements : public DesignRunTest {
protected:
    Requirements() : DesignRunTest("taplore_requirements_") {}
};

TEST_F(Requirements, TheExampleWritesItsTapsAndReportsWhatTheyReach) {
    const Outcome o = Run(kExample);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(Lines(o.out).size(), 46u);
    const std::vector<std::string> report = Lines(o.err);
    ASSERT_EQ(report.size(), 4u) << o.err;
    EXPECT_EQ(report[0], "equiripple, 46 taps: meets the requirements; 45 and 44 taps miss");
    EXPECT_TRUE(report[1].starts_with("pass 0 to 1000 Hz: ripple 0.08")) << report[1];
    EXPECT_TRUE(report[2].starts_with("stop 1500 to 4000 Hz: attenuation 61.")) << report[2];
    EXPECT_TRUE(report[3].starts_with("the search designed ")) << report[3];

    const Outcome quiet = Run(kExample + " --quiet");
    EXPECT_EQ(quiet.out, o.out);
    EXPECT_EQ(quiet.err, "");
}

TEST_F(Requirements, TheReportTitlesTheCArrayAndThePlot) {
    const std::string report = Run(kExample).err;
    const std::vector<std::string> lines = Lines(report);
    const std::string c = Run(kExample + " --quiet --format c").out;
    EXPECT_TRUE(c.starts_with("/* " + lines[0] + "\n * " + lines[1] + "\n * " + lines[2] + "\n * " +
                              lines[3] + " */"))
        << c.substr(0, 300);

    const std::string svg = Run(kExample + " --quiet --plot -").out;
    EXPECT_NE(svg.find("<title>Log-magnitude response: " + lines[0] + "</title>"),
              std::string::npos);
    // The two bands shaded where the curve must stay.
    EXPECT_NE(svg.find("fill=\"#ffff00\""), std::string::npos);
    EXPECT_EQ(svg.find("<rect x=\"0\""), svg.rfind("<rect x=\"0\"")) << "one pass band";
}

// The plot's levels reach below the deepest band asked, so that its shade and the curve in it
// show; requirements no deeper than the dialog's scale keep its 10 dB a step.
TEST_F(Requirements, ThePlotReachesTheDeepestBandAsked) {
    const auto lowestLabel = [](const std::string& svg) {
        int lowest = 0;
        for (std::size_t at = svg.find(">-"); at != std::string::npos; at = svg.find(">-", at + 1))
            lowest = std::min(lowest, std::atoi(svg.c_str() + at + 1));
        return lowest;
    };
    const std::string shallow = Run(kExample + " --quiet --plot -").out;
    EXPECT_EQ(lowestLabel(shallow), -90);
    const std::pair<std::string, int> deep[] = {
        {" --rate 48000 --pass 0:9600 --ripple 0.001 --atten 100 --nyquist 2", -110},
        {" --rate 48000 --pass 0:1000 --stop 1500:24000 --ripple 0.1 --atten 130", -140}};
    for (const auto& [requirements, atMost] : deep)
        EXPECT_LE(lowestLabel(Run(requirements + " --quiet --plot -").out), atMost) << requirements;
}

TEST_F(Requirements, HammingIsTheDialogsDesignByteForByte) {
    const std::string dialog = " --order 511 --rate 8000 --low 400 --high 2400";
    for (const std::string format : {" --format text", " --format c", " --response"})
        EXPECT_EQ(Run(dialog + format + " --window hamming").out, Run(dialog + format).out)
            << format;
    const Outcome blackman = Run(dialog + " --window blackman --format c");
    EXPECT_EQ(blackman.status, 0);
    EXPECT_TRUE(blackman.out.starts_with("/* band-pass, order 511, rate 8000 Hz, cutoffs 400 Hz "
                                         "and 2400 Hz, blackman window */"))
        << blackman.out.substr(0, 100);
    EXPECT_NE(Run(dialog + " --window kaiser:8").out, Run(dialog).out);
}

TEST_F(Requirements, EachKindOfDesign) {
    const struct {
        std::string words;
        std::size_t taps;
        std::string headline;
    } cases[] = {
        {kExample + " --method kaiser", 60,
         "Kaiser window, beta 5.653, 60 taps: meets the requirements; 59 and 58 taps miss"},
        {kExample + " --method hann --taps 61", 61, "Hann window, 61 taps: "},
        {kExample + " --taps 40", 40, "equiripple, 40 taps: misses the requirements"},
        {" --rate 2 --band 0:0.5:1 --band 0.6:1:0 --taps 41", 41,
         "equiripple, 41 taps: weighted deviation 0.0103067 after"},
        {" --rate 8000 --kind hilbert --band 200:3800:1 --taps 30", 30,
         "Hilbert transformer, equiripple, 30 taps: weighted deviation"},
        {" --rate 8000 --kind differentiator --band 0:4000:1 --taps 30", 30,
         "differentiator, equiripple, 30 taps: weighted deviation"},
        {kExample + " --method least-squares", 59,
         "least-squares design, 59 taps: meets the requirements; 58 and 57 taps miss"},
        {" --rate 8000 --band 0:3000:1..0.25:2 --band 3500:4000:0 --taps 41 --method "
         "least-squares",
         41,
         "least-squares design, 41 taps: weighted squared error 9.31097e-06\nband 0 to 3000 Hz, "
         "gain 1..0.25, weight 2: deviation 0.00965"},
        {" --rate 8000 --band 0:3000:1..0.25 --band 3500:4000:0 --taps 41", 41,
         "equiripple, 41 taps: weighted deviation 0.00441735 after 6 exchanges\nband 0 to 3000 "
         "Hz, gain 1..0.25, weight 1: deviation 0.00441735\n"},
        {" --rate 8000 --kind hilbert --band 200:4000:0.5..1 --taps 30 --method least-squares", 30,
         "Hilbert transformer, least-squares design, 30 taps: weighted squared error"},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.words);
        EXPECT_EQ(o.status, 0) << c.words << o.err;
        EXPECT_EQ(Lines(o.out).size(), c.taps) << c.words;
        EXPECT_TRUE(o.err.starts_with(c.headline)) << o.err;
        // Bands of any gain tell the peak their free ranges reach (the differentiator's one band
        // leaves none).
        const bool bands = c.words.find("--band") != std::string::npos;
        EXPECT_EQ(o.err.find("\npeak outside the bands: ") != std::string::npos,
                  bands && c.words.find("0:4000:1") == std::string::npos)
            << o.err;
    }
}

// Longer than the dialog's 1024-point spectrum: the response takes a transform long enough.
TEST_F(Requirements, LongDesignsHaveTheirResponseAndPlot) {
    const std::string words = " --rate 2 --band 0:0.4:1 --band 0.401:1:0 --taps 2001 --quiet";
    const Outcome response = Run(words + " --response");
    EXPECT_EQ(response.status, 0) << response.err;
    const std::vector<std::string> lines = Lines(response.out);
    ASSERT_EQ(lines.size(), 1024u);
    EXPECT_TRUE(lines[1].starts_with("0.0009765625\t")) << lines[1];
    EXPECT_EQ(Run(words + " --plot -").status, 0);
}

TEST_F(Requirements, RefusalsNameTheOptionAndExitTwo) {
    const std::pair<std::string, std::string> cases[] = {
        {" --rate 8000 --pass 0:1000 --stop 4000:1500 --ripple 0.1 --atten 60",
         "--stop 4000:1500: edges out of order: the low edge must lie below the high edge"},
        {" --rate 8000 --pass 0:1000 --stop 900:4000 --ripple 0.1 --atten 60",
         "--stop 900:4000: it overlaps the band below it"},
        {" --rate 8000 --pass 0:1000 --stop 1500:5000 --ripple 0.1 --atten 60",
         "--stop 1500:5000: it reaches beyond half the rate"},
        {" --rate 8000 --pass 0:1000 --stop 1000:4000 --ripple 0.1 --atten 60",
         "--stop 1000:4000: it touches the band below it: leave a transition between them"},
        {" --rate 8000 --pass 0:1000 --stop 1500:4000 --ripple 0 --atten 60",
         "--ripple 0: the ripple must be above 0 dB and finite"},
        {" --rate 8000 --pass 0:1000 --stop 1500:4000 --ripple 0.1 --atten -3",
         "--atten -3: the attenuation must be above 0 dB and finite"},
        {" --rate 8000 --stop 0:1000 --ripple 0.1 --atten 60",
         "--pass: no pass band: give at least one"},
        {" --rate 8000 --pass 1500:4000 --stop 0:1000 --ripple 0.1 --atten 60 --taps 40",
         "--taps 40: an even length has no response at half the rate: use an odd one"},
        {kExample + " --taps 140000", "--taps 140000: the taps must be from 1 to 131071"},
        {" --rate 8000 --kind hilbert --band 0:3000:1 --taps 30",
         "--band 0:3000:1: antisymmetric taps have no response at 0 Hz: start above 0"},
        {" --rate 8000 --pass 0-1000 --ripple 0.1 --atten 60",
         "--pass: must be LO:HI in Hz, as in 0:1000, not \"0-1000\""},
        {" --rate 8000 --band 0:1000 --taps 9",
         "--band: must be LO:HI:GAIN or LO:HI:GAIN:WEIGHT, as in 0:1000:1, not \"0:1000\""},
        {" --rate 8000 --band 0:1000:1 --taps 9 --method kaiser",
         "--method: must be equiripple or least-squares with --band, not \"kaiser\""},
        {" --rate 8000 --band 0:1000:1", "--taps is required"},
        {" --rate 8000 --kind differentiator --band 0:3000:1..2 --taps 30",
         "--band 0:3000:1..2: a differentiator's band asks for one slope: give it one gain"},
        {" --rate 8000 --band 0:3000:1..0.5 --method least-squares --taps 9000",
         "--taps 9000: the taps must be from 1 to 8191 for least-squares designs"},
        {" --rate 8000 --pass 0:1000 --atten 60", "--ripple is required"},
        {kExample + " --kind hilbert", "--kind: must be given with --band, not \"hilbert\""},
        {kExample + " --band 0:1000:1", "--pass: must be left out with --band, not \"0:1000\""},
        {kExample + " --order 511", "--order: must be left out of a design to requirements, "
                                    "not \"511\""},
        {" --order 511 --rate 8000 --low 400 --high 2400 --ripple 1",
         "--ripple: must be given with --pass and --stop, or --band, not \"1\""},
        {" --rate 8000 --low 400 --high 2400", "--order is required"},
        {" --order 511 --rate 8000 --low 400 --high 2400 --window hanning",
         "--window: must be a window: hamming, rectangular, hann, blackman, blackman-harris or "
         "kaiser:BETA (BETA from 0 to 100), not \"hanning\""},
        {kExample + " --method remez",
         "--method: must be " + taplore::MethodNames() + ", not \"remez\""},
        {kExample + " --method hann", "--taps is required"},
        {" --rate 8000 --pass 0:1000 --stop 1500:4000 --ripple 7000 --atten 60",
         "--ripple 7000: the ripple must be at most 40 dB: a wider one leaves the pass band no "
         "gain to keep"},
        {" --rate 2 --band 0:0.4:1:1e308 --band 0.5:1:0 --taps 31",
         "--band 0:0.4:1:1e308: its weight must be from 1e-15 to 1e15"},
        {" --rate 1e9 --pass 0:1000 --stop 1500:4000 --ripple 0.1 --atten 60",
         "--pass 0:1000 --stop 1500:4000: the requirements need about 5397055 taps, more than "
         "the longest design (131071)"},
    };
    for (const auto& [words, message] : cases) {
        const Outcome o = Run(words);
        EXPECT_EQ(o.status, 2) << words;
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(o.err, "taplore-design: " + message + "\n") << words;
    }
}

// Every method of the table is offered by the help, with its name.
TEST_F(Requirements, TheHelpNamesEveryMethod) {
    const Outcome help = Run(" --help");
    for (const taplore::Method& method : taplore::Methods())
        EXPECT_NE(help.out.find(std::string(method.name)), std::string::npos) << method.name;
}

TEST_F(Requirements, ADesignThatCannotBeComputedExitsOne) {
    // Most of the range left free: the response there would swell past 1e30.
    const Outcome o = Run(" --rate 2 --band 0:0.396:1:9.04 --band 0.5365:0.6165:0:1.35 --taps 117");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_TRUE(o.err.starts_with("taplore-design: Designing to the requirements failed: "))
        << o.err;
}

} // namespace
