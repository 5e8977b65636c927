// taplore-design's pass bands whose gain is a line: the fewest taps to a ripple relative to the
// line, the report against it, and the designs and options that cannot take one.
#include "cli/run_design.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kPreEmphasis =
    " --rate 48000 --pass 0:8000:1..2 --stop 12000:24000 --ripple 0.5 --atten 60";

class SlopedPass : public DesignRunTest {
protected:
    SlopedPass() : DesignRunTest("taplore_sloped_") {}
};

TEST_F(SlopedPass, TheFewestTapsMeetTheLineAndTheReportSaysHowClose) {
    for (const std::string method : {"equiripple", "least-squares"}) {
        const Outcome o = Run(kPreEmphasis + " --method " + method);
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_NE(o.err.find(" taps: meets the requirements; "), std::string::npos) << o.err;
        EXPECT_NE(o.err.find("\npass 0 to 8000 Hz, gain 1..2: ripple "), std::string::npos);
        EXPECT_NE(o.err.find(" dB (0.5 dB asked); deviation "), std::string::npos) << o.err;
    }
}

TEST_F(SlopedPass, RefusalsNameTheOptionAndExitTwo) {
    const std::pair<std::string, std::string> cases[] = {
        {" --rate 48000 --pass 0:8000:1..x --stop 12000:24000 --ripple 0.5 --atten 60",
         "--pass: must be LO:HI:G1..G2, edges in Hz and the gains at them, as in 0:8000:1..2, "
         "not \"0:8000:1..x\""},
        {" --rate 48000 --pass 0:8000:2 --stop 12000:24000 --ripple 0.5 --atten 60",
         "--pass: must be LO:HI:G1..G2, edges in Hz and the gains at them, as in 0:8000:1..2, "
         "not \"0:8000:2\""},
        {" --rate 48000 --pass 0:8000:0..2 --stop 12000:24000 --ripple 0.5 --atten 60",
         "--pass 0:8000:0..2: a sloped pass band's gains must be above 0: its ripple is "
         "relative to them, and relative to 0 it allows no deviation at all"},
        {" --rate 48000 --pass 0:8000:1..-2 --stop 12000:24000 --ripple 0.5 --atten 60",
         "--pass 0:8000:1..-2: a pass band's gains must not be negative: they are magnitudes"},
        {kPreEmphasis + " --nyquist 2",
         "--pass: must be LO:HI, a flat band, with --nyquist, not \"0:8000:1..2\""},
        {kPreEmphasis + " --decimate 2",
         "--pass: must be LO:HI, a flat band, with --decimate, not \"0:8000:1..2\""},
        {kPreEmphasis + " --cic 4:16",
         "--pass: must be LO:HI, a flat band, with --cic, not \"0:8000:1..2\""},
        {kPreEmphasis + " --phase minimum",
         "--pass: must be LO:HI, a flat band, with --phase minimum, not \"0:8000:1..2\""},
        {kPreEmphasis + " --method kaiser",
         "--method: must be equiripple or least-squares with a sloped --pass, not \"kaiser\""},
    };
    for (const auto& [words, message] : cases) {
        const Outcome o = Run(words);
        EXPECT_EQ(o.status, 2) << words;
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(o.err, "taplore-design: " + message + "\n") << words;
    }
}

} // namespace
