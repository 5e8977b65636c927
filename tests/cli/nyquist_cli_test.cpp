// taplore-design's L-th-band low-pass filters as a user asks for them: the report, the zero
// taps as every format writes them, and the refusals.
#include "cli/run_design.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::string kHalfBand = " --rate 8000 --pass 0:1000 --ripple 0.1 --atten 60 --nyquist 2";
const std::string kThirdBand = " --rate 8000 --pass 0:900 --ripple 0.1 --atten 60 --nyquist 3";

class NyquistCli : public DesignRunTest {
protected:
    NyquistCli() : DesignRunTest("taplore_nyquist_") {}
};

// The line as one number ("0.0f,", "-122,", "0.000000", "-122;"), or nothing.
std::optional<double> NumberOf(std::string line) {
    while (!line.empty() && (line.back() == ',' || line.back() == ';' || line.back() == 'f' ||
                             line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::nullopt;
    try {
        std::size_t used = 0;
        const double value = std::stod(line.substr(first), &used);
        return used == line.size() - first ? std::optional(value) : std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

TEST_F(NyquistCli, TheReportNamesTheBandTheZerosAndTheMultiplications) {
    const struct {
        std::string words;
        std::vector<std::string> lines;
    } cases[] = {
        {kHalfBand,
         {"half-band equiripple, 15 taps: meets the requirements; 11 taps miss",
          "pass 0 to 1000 Hz: ripple 0.0042 dB (0.1 dB asked)",
          "stop 3000 to 4000 Hz: attenuation 72.41 dB (60 dB asked)",
          "6 of 15 taps are zero: 9 multiplications per output sample, 5 with the symmetric "
          "taps added first"}},
        // --stop where the symmetry puts it is the same design.
        {kHalfBand + " --stop 3000:4000",
         {"half-band equiripple, 15 taps: meets the requirements; 11 taps miss"}},
        {kHalfBand + " --method kaiser",
         {"half-band Kaiser window, beta 5.653, 19 taps: meets the requirements; 15 taps miss"}},
        {kThirdBand,
         {"1/3-band Kaiser window, beta 5.653, 39 taps: meets the requirements; 35 taps miss"}},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.words);
        ASSERT_EQ(o.status, 0) << c.words << ": " << o.err;
        const std::vector<std::string> lines = Lines(o.err);
        ASSERT_GE(lines.size(), c.lines.size()) << o.err;
        for (std::size_t i = 0; i < c.lines.size(); ++i)
            EXPECT_EQ(lines[i], c.lines[i]) << c.words;
    }
}

// Each format's numbers, in the taps' order (the CMSIS formats write them last first, and the
// Q15 one pads them to an even count with a zero first): exactly 0 every L-th tap from the
// centre, and nowhere else.
TEST_F(NyquistCli, TheZeroTapsAreWrittenAsExactZerosInEveryFormat) {
    const struct {
        std::string words;
        int band, taps;
    } designs[] = {{kHalfBand, 2, 15}, {kThirdBand, 3, 39}};
    for (const auto& d : designs) {
        for (const std::string format : {"text", "full", "c", "q15", "q31", "q:18", "coe",
                                         "cmsis-q15", "cmsis-q31", "cmsis-f32", "c-q15"}) {
            const Outcome o = Run(d.words + " --quiet --format " + format);
            ASSERT_EQ(o.status, 0) << format << ": " << o.err;
            std::vector<double> taps;
            for (const std::string& line : Lines(o.out))
                if (const auto number = NumberOf(line))
                    taps.push_back(*number);
            if (static_cast<int>(taps.size()) == d.taps + 1 && taps.front() == 0.0)
                taps.erase(taps.begin());
            ASSERT_EQ(static_cast<int>(taps.size()), d.taps) << format << ":\n" << o.out;
            const int centre = d.taps / 2;
            for (int k = 0; k < d.taps; ++k) {
                const int n = k - centre;
                if (n != 0 && n % d.band == 0)
                    EXPECT_EQ(taps[k], 0.0) << format << ", tap " << k;
                else
                    EXPECT_NE(taps[k], 0.0) << format << ", tap " << k;
            }
        }
    }
}

TEST_F(NyquistCli, RefusesWhatAnLthBandCannotBe) {
    const std::string tolerances = " --rate 8000 --ripple 0.1 --atten 60";
    const struct {
        std::string words, message;
    } cases[] = {
        {kHalfBand + " --stop 2500:4000",
         "--stop: must be 3000:4000 with --nyquist 2 and --pass 0:1000, not \"2500:4000\""},
        {kHalfBand + " --stop 3000:3900",
         "--stop: must be 3000:4000 with --nyquist 2 and --pass 0:1000, not \"3000:3900\""},
        {kThirdBand + " --stop 1800:4000",
         "--stop: must be 1766.6666666666665:4000 with --nyquist 3 and --pass 0:900, not "
         "\"1800:4000\""},
        {tolerances + " --pass 0:2000 --nyquist 2",
         "--pass: must be 0:FP with FP below 2000 Hz (--rate / (2L)) with --nyquist 2, not "
         "\"0:2000\""},
        {tolerances + " --pass 100:900 --nyquist 2",
         "--pass: must be one pass band from 0 with --nyquist, not \"100:900\""},
        {tolerances + " --pass 0:500 --pass 1000:1500 --nyquist 2",
         "--pass: must be one pass band from 0 with --nyquist, not \"1000:1500\""},
        {tolerances + " --stop 3000:4000 --nyquist 2", "--pass is required"},
        {kHalfBand + "x", "--nyquist: must be a whole number from 2 to 2147483647, not \"2x\""},
        {tolerances + " --pass 0:1000 --nyquist 1",
         "--nyquist: must be a whole number from 2 to 2147483647, not \"1\""},
        {kThirdBand + " --method equiripple",
         "--method: must be kaiser with --nyquist 3, not \"equiripple\""},
        {kHalfBand + " --method least-squares",
         "--method: must be equiripple or kaiser with --nyquist 2, not \"least-squares\""},
        {kHalfBand + " --phase minimum",
         "--phase: must be linear with --nyquist: minimum-phase taps have no L-th band's "
         "zeros, not \"minimum\""},
        {kHalfBand + " --taps 43",
         "--taps: must be left out with --nyquist, which designs the fewest taps, not \"43\""},
        {kHalfBand + " --save-design h.taplore",
         "--save-design: must be left out with --nyquist: a design document holds no L-th "
         "band, not \"h.taplore\""},
        {" --rate 8000 --band 0:1000:1 --taps 11 --nyquist 2",
         "--nyquist: must be left out with --band, not \"2\""},
        {" --design h.taplore --nyquist 2", "--nyquist: must be left out with --design, not \"2\""},
        {" --pulse rrc --span 4 --sps 4 --rolloff 0.3 --nyquist 2",
         "--nyquist: must be left out with --pulse, not \"2\""},
        {" --order 11 --rate 8000 --low 0 --high 1000 --nyquist 2",
         "--nyquist: must be given with --pass and --stop, or --band, not \"2\""},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.words);
        EXPECT_EQ(o.status, 2) << c.words;
        EXPECT_EQ(o.err, "taplore-design: " + c.message + "\n") << c.words;
        EXPECT_EQ(o.out, "") << c.words;
    }
}

// Near rate / (2L) the transition is too narrow for the longest design: refused before any
// work, as the other searches refuse.
TEST_F(NyquistCli, RequirementsBeyondTheLongestDesignAreRefused) {
    const Outcome o = Run(" --rate 8000 --pass 0:1999.99 --ripple 0.001 --atten 120 --nyquist 2");
    EXPECT_EQ(o.status, 2) << o.err;
    EXPECT_NE(o.err.find("more than the longest design (262139)"), std::string::npos) << o.err;
}

} // namespace
