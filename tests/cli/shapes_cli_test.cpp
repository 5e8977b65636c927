// taplore-design's pulses, zeros and minimum-phase designs, run as a user runs them: the taps
// written against the core's, the zeros read back into the taps, the minimum-phase taps
// measured again against the requirements, and the refusals.
#include "cli/run_design.h"
#include "core/design/pulse_shaping.h"
#include "core/taps_from_zeros.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Complex = std::complex<double>;

const std::string kExample = " --rate 8000 --pass 0:1000 --stop 1500:4000 --ripple 0.1 --atten 60";

class Shapes : public DesignRunTest {
protected:
    Shapes() : DesignRunTest("taplore_shapes_") {}

    // The taps of --format full, every digit.
    std::vector<double> Taps(const std::string& words) const {
        const Outcome o = Run(words + " --quiet --format full");
        EXPECT_EQ(o.status, 0) << words << ": " << o.err;
        std::vector<double> taps;
        for (const std::string& line : Lines(o.out))
            taps.push_back(std::stod(line));
        return taps;
    }

    // The zeros of --view zeros, one "re im" a line.
    std::vector<Complex> Zeros(const std::string& words) const {
        const Outcome o = Run(words + " --quiet --view zeros");
        EXPECT_EQ(o.status, 0) << words << ": " << o.err;
        std::vector<Complex> zeros;
        for (const std::string& line : Lines(o.out)) {
            std::istringstream in(line);
            double re = 0, im = 0;
            EXPECT_TRUE(in >> re >> im) << line;
            zeros.emplace_back(re, im);
        }
        return zeros;
    }
};

TEST_F(Shapes, EachPulseIsTheCoresTapsAndReportsItself) {
    using taplore::PulseGain;
    using taplore::PulseShape;
    const struct {
        std::string words;
        taplore::PulseRequest pulse;
        std::string report;
    } cases[] = {
        {" --pulse rc --span 6 --sps 4 --rolloff 0.25",
         {PulseShape::raisedCosine, 6, 4, 0.25, std::nullopt},
         "raised cosine, roll-off 0.25, 6 symbols of 4 samples, 25 taps, unit-dc\nDC gain 1, "},
        {" --pulse rrc --span 8 --sps 4 --rolloff 0.35",
         {PulseShape::rootRaisedCosine, 8, 4, 0.35, std::nullopt},
         "root raised cosine, roll-off 0.35, 8 symbols of 4 samples, 33 taps, unit-energy\n"},
        {" --pulse rrc --span 7 --sps 3 --rolloff 0 --gain unit-peak",
         {PulseShape::rootRaisedCosine, 7, 3, 0.0, PulseGain::unitPeak},
         "root raised cosine, roll-off 0, 7 symbols of 3 samples, 22 taps, unit-peak\n"},
        {" --pulse gaussian --span 4 --sps 8 --bt 0.3",
         {PulseShape::gaussian, 4, 8, 0.3, std::nullopt},
         "Gaussian, BT 0.3, 4 symbols of 8 samples, 33 taps, unit-dc\nDC gain 1, "},
        {" --pulse gaussian --span 4 --sps 8 --bt 0.5 --gain unit-energy",
         {PulseShape::gaussian, 4, 8, 0.5, PulseGain::unitEnergy},
         "Gaussian, BT 0.5, 4 symbols of 8 samples, 33 taps, unit-energy\n"},
    };
    for (const auto& c : cases) {
        const taplore::PulseDesign expected = taplore::DesignPulse(c.pulse);
        ASSERT_EQ(expected.status, taplore::DesignStatus::converged) << c.words;
        EXPECT_EQ(Taps(c.words), expected.taps) << c.words;
        const Outcome o = Run(c.words);
        EXPECT_EQ(o.status, 0) << c.words;
        EXPECT_TRUE(o.err.starts_with(c.report)) << o.err;
        EXPECT_EQ(Lines(o.out).size(), expected.taps.size()) << c.words;
    }
}

TEST_F(Shapes, APulseGoesThroughEveryOutput) {
    const std::string rrc = " --pulse rrc --span 8 --sps 4 --rolloff 0.35 --quiet";
    const std::string c = Run(rrc + " --format c").out;
    EXPECT_TRUE(c.starts_with("/* root raised cosine, roll-off 0.35, 8 symbols of 4 samples, 33 "
                              "taps, unit-energy\n * DC gain "))
        << c.substr(0, 200);
    // Without --rate the frequencies count symbol rates: the grid ends below 2.
    const std::vector<std::string> view = Lines(Run(rrc + " --view magnitude --points 4").out);
    ASSERT_EQ(view.size(), 5u);
    EXPECT_TRUE(view.back().starts_with("1.5\t")) << view.back();
    EXPECT_NE(Run(rrc + " --plot -").out.find("<title>Log-magnitude response: root raised"),
              std::string::npos);
    EXPECT_EQ(Run(rrc + " --format q15").status, 0);
}

TEST_F(Shapes, PulsesOutOfTheirRangesAreRefusedByName) {
    const struct {
        std::string words, message;
    } cases[] = {
        {" --pulse rc --span 4 --sps 4 --rolloff 1.5",
         "--rolloff: must be a number from 0 to 1, not \"1.5\""},
        {" --pulse rrc --span 4 --sps 4 --rolloff -0.1",
         "--rolloff: must be a number from 0 to 1, not \"-0.1\""},
        {" --pulse rc --span 4 --sps 4 --bt 0.3",
         "--bt: must be given with --pulse gaussian, not \"0.3\""},
        {" --pulse gaussian --span 4 --sps 4 --rolloff 0.3 --bt 0.3",
         "--rolloff: must be given with --pulse rc or rrc, not \"0.3\""},
        {" --pulse gaussian --span 4 --sps 4 --bt 0", "--bt: must be a positive, finite number"},
        {" --pulse rrc --span 4 --sps 4", "--rolloff is required"},
        {" --pulse rrc --sps 4 --rolloff 0.3", "--span is required"},
        {" --pulse sinc --span 4 --sps 4", "--pulse: must be rc, rrc or gaussian, not \"sinc\""},
        {" --pulse rc --span 4 --sps 4 --rolloff 0.3 --gain unit",
         "--gain: must be unit-energy, unit-dc or unit-peak, not \"unit\""},
        {" --pulse rc --span 0 --sps 4 --rolloff 0.3",
         "--span: must be a whole number from 1 to 2147483647"},
        {" --pulse rc --span 4 --sps 4 --rolloff 0.3" + kExample,
         "--pass: must be left out with --pulse"},
        {" --pulse rc --span 4 --sps 4 --rolloff 0.3 --order 10",
         "--order: must be left out with --pulse"},
        {kExample + " --gain unit-dc", "--gain: must be given with --pulse"},
        {" --pulse rrc --span 4000 --sps 4000 --rolloff 0.2",
         "--pulse rrc --span 4000 --sps 4000 --rolloff 0.2: the span and samples per symbol give "
         "16000001 taps, more than the longest pulse (65535)"},
        {" --pulse gaussian --span 4 --sps 2 --bt 1e300",
         "--pulse gaussian --span 4 --sps 2 --bt 1e300: the pulse is too narrow for its samples"},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.words);
        EXPECT_EQ(o.status, 2) << c.words;
        EXPECT_TRUE(o.err.starts_with("taplore-design: " + c.message)) << c.words << "\n" << o.err;
        EXPECT_EQ(o.out, "") << c.words;
    }
}

TEST_F(Shapes, TheZerosReadBackIntoTheTaps) {
    for (const std::string& words : {std::string(" --order 40 --rate 8000 --low 0 --high 1000"),
                                     std::string(" --pulse rrc --span 8 --sps 4 --rolloff 0.35"),
                                     kExample, kExample + " --phase minimum"}) {
        const std::vector<double> taps = Taps(words);
        const std::vector<Complex> zeros = Zeros(words);
        ASSERT_EQ(zeros.size() + 1, taps.size()) << words;
        EXPECT_TRUE(std::ranges::is_sorted(zeros, {}, [](Complex z) { return std::arg(z); }))
            << words;
        // The core finds these zeros to 1e-13 of the taps' 2-norm; the text keeps every bit.
        const std::vector<double> rebuilt = TapsFromZeros(zeros, taps.front(), taps.size());
        double norm = 0;
        for (double tap : taps)
            norm += tap * tap;
        for (std::size_t n = 0; n < taps.size(); ++n)
            EXPECT_NEAR(rebuilt[n], taps[n], 1e-13 * std::sqrt(norm)) << words << ": tap " << n;
    }
}

TEST_F(Shapes, TheZerosReportTheirAccuracyAndDrawTheZPlane) {
    const std::string dialog = " --order 40 --rate 8000 --low 0 --high 1000 --view zeros";
    const Outcome o = Run(dialog);
    EXPECT_EQ(o.status, 0);
    const std::vector<std::string> report = Lines(o.err);
    ASSERT_EQ(report.size(), 1u) << o.err;
    EXPECT_TRUE(report[0].starts_with("zeros: 40 found in ")) << report[0];
    const std::size_t residual = report[0].find("; the largest residual ");
    ASSERT_NE(residual, std::string::npos) << report[0];
    EXPECT_LT(std::stod(report[0].substr(residual + 23)), 1e-13) << report[0];

    const Outcome plot = Run(dialog + " --plot -");
    EXPECT_EQ(plot.status, 0);
    EXPECT_TRUE(plot.out.starts_with("<?xml") || plot.out.starts_with("<svg")) << plot.out;
    EXPECT_EQ(plot.out.find("Log-magnitude"), std::string::npos) << "the z-plane, not a response";
    EXPECT_EQ(Run(dialog + " --quiet").err, "");
}

TEST_F(Shapes, ZerosThatCannotBeFoundOrShownAreRefused) {
    const std::string dialog = " --rate 8000 --low 0 --high 1000 --view zeros";
    const struct {
        std::string words;
        int status;
        std::string message;
    } cases[] = {
        {" --order 4096" + dialog, 1,
         "The zeros could not be found: the zeros are found for up to 4096 taps"},
        {" --order 40" + dialog + " --view phase", 2,
         "--view: must be given alone for the zeros, which are a list and a z-plane of their "
         "own, not \"zeros\""},
        {" --order 40" + dialog + " --points 64", 2,
         "--points: must be given with a view of the response, not \"64\""},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.words);
        EXPECT_EQ(o.status, c.status) << c.words;
        EXPECT_EQ(o.err, "taplore-design: " + c.message + "\n") << c.words;
        EXPECT_EQ(o.out, "") << c.words;
    }
}

// |H| at f Hz of 8000.
double Magnitude(const std::vector<double>& taps, double hz) {
    Complex sum = 0;
    for (std::size_t n = 0; n < taps.size(); ++n)
        sum +=
            taps[n] * std::polar(1.0, -2 * std::numbers::pi * hz / 8000 * static_cast<double>(n));
    return std::abs(sum);
}

TEST_F(Shapes, MinimumPhaseMeetsTheRequirementsWithFewerTapsAndLessDelay) {
    const Outcome o = Run(kExample + " --phase minimum");
    ASSERT_EQ(o.status, 0) << o.err;
    const std::vector<std::string> report = Lines(o.err);
    ASSERT_GE(report.size(), 3u) << o.err;
    EXPECT_TRUE(report[0].starts_with("minimum-phase equiripple, ")) << report[0];
    EXPECT_NE(report[0].find(": meets the requirements"), std::string::npos) << report[0];
    EXPECT_TRUE(report[report.size() - 2].starts_with("minimum phase: group delay ")) << o.err;
    EXPECT_NE(report[report.size() - 2].find(" against 22.5 for linear phase"), std::string::npos);
    EXPECT_NE(report.back().find(" taps saved on linear phase's 46; every zero within radius 0.9"),
              std::string::npos)
        << report.back();

    const std::vector<double> taps = Taps(kExample + " --phase minimum");
    const int saved = std::stoi(report.back());
    EXPECT_GT(saved, 0);
    EXPECT_EQ(static_cast<int>(taps.size()), 46 - saved);
    // Measured again here, on a grid of its own.
    const double ripple = std::pow(10.0, 0.1 / 20);
    const double dp = (ripple - 1) / (ripple + 1), ds = 1e-3;
    for (int k = 0; k <= 2000; ++k) {
        EXPECT_NEAR(Magnitude(taps, k * 0.5), 1.0, dp) << k * 0.5 << " Hz";
        EXPECT_LE(Magnitude(taps, 1500 + k * 1.25), ds) << 1500 + k * 1.25 << " Hz";
    }
    for (const Complex& zero : Zeros(kExample + " --phase minimum"))
        EXPECT_LE(std::abs(zero), 1 + 1e-9);
    // The energy comes first: the taps' centre of mass lies well before linear phase's 22.5.
    double moment = 0, energy = 0;
    for (std::size_t n = 0; n < taps.size(); ++n) {
        moment += static_cast<double>(n) * taps[n] * taps[n];
        energy += taps[n] * taps[n];
    }
    EXPECT_LT(moment / energy, 12.0);

    const Outcome fixed = Run(kExample + " --phase minimum --taps 40 --format c");
    EXPECT_EQ(fixed.status, 0);
    EXPECT_NE(fixed.out.find("0 taps saved on linear phase's 40"), std::string::npos)
        << fixed.out.substr(0, 500);
    EXPECT_NE(fixed.out.find("fir_coefficients[40]"), std::string::npos);
}

TEST_F(Shapes, MinimumPhaseIsRefusedWhereItHasNoTolerancesToKeep) {
    const struct {
        std::string words, message;
    } cases[] = {
        {" --rate 2 --band 0:0.5:1 --band 0.6:1:0 --taps 41 --phase minimum",
         "--phase: must be linear with --band, whose bands have no tolerances for a "
         "minimum-phase design to keep, not \"minimum\""},
        {kExample + " --phase maximum", "--phase: must be linear or minimum, not \"maximum\""},
        {" --order 40 --rate 8000 --low 0 --high 1000 --phase minimum",
         "--phase: must be given with --pass and --stop, or --band, not \"minimum\""},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.words);
        EXPECT_EQ(o.status, 2) << c.words;
        EXPECT_EQ(o.err, "taplore-design: " + c.message + "\n") << c.words;
    }
    // Linear phase, named, is today's design.
    EXPECT_EQ(Run(kExample + " --phase linear").out, Run(kExample).out);
}

} // namespace
