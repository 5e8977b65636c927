// taplore-design --simulate run as a user runs it: the impulse gives back the taps, a text
// stimulus and a WAV one go through the same model, overflowing widths are counted, and the
// refusals and failures say what is wrong.
#include "cli/run_design.h"
#include "cli/wav_file.h"

#include <gtest/gtest.h>

#ifdef TAPLORE_TEST_SNDFILE
#include <sndfile.h>
#endif

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::string kLowpass = " --rate 8000 --pass 0:1000 --stop 1500:4000 --ripple 0.1 --atten 60";

class Simulate : public DesignRunTest {
protected:
    Simulate() : DesignRunTest("taplore_simulate_") {}

    std::string Write(const std::string& name, const std::string& text) const {
        const std::string path = (m_dir / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // The output integers of a simulation that must succeed.
    std::vector<std::int64_t> Samples(const std::string& words) const {
        const Outcome o = Run(words);
        EXPECT_EQ(o.status, 0) << words << ": " << o.err;
        std::vector<std::int64_t> samples;
        for (const std::string& line : Lines(o.out))
            samples.push_back(std::stoll(line));
        return samples;
    }
};

TEST_F(Simulate, AnImpulseGivesBackTheIntegerTaps) {
    // Q15 taps 0.25, -0.5, 0.125 on an integer impulse of 32767, all fraction bits kept.
    const std::string taps = Write("taps.txt", "0.25\n-0.5\n0.125\n");
    EXPECT_EQ(Samples(" --taps-from " + taps +
                      " --simulate impulse --samples 5 --input-bits 16.0 --output-bits 40.15"),
              (std::vector<std::int64_t>{32767 * 8192, -32767 * 16384, 32767 * 4096, 0, 0}));
}

TEST_F(Simulate, ATextStimulusIsFilteredAndReported) {
    const std::string taps = Write("taps.txt", "0.5\n0.5\n");
    const std::string input = Write("in.csv", "# n,x\n100,0\n-3,1\n7,2\n");
    const Outcome o = Run(" --taps-from " + taps + " --simulate " + input +
                          " --input-bits 8.0 --output-bits 8.0 --rounding floor");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "50\n48\n2\n");
    EXPECT_NE(o.err.find("bit-true simulation: 3 samples of " + input + " through 2 taps in Q15"),
              std::string::npos)
        << o.err;
    EXPECT_NE(o.err.find("input 8.0, accumulator 24 bits (wide enough never to overflow), output "
                         "8.0, overflow wrap, rounding floor"),
              std::string::npos)
        << o.err;
    EXPECT_NE(o.err.find("overflows: 0 at the accumulator, 0 at the output"), std::string::npos);
    EXPECT_NE(o.err.find("SNR against the double filter: "), std::string::npos);
}

TEST_F(Simulate, OverflowingWidthsAreCountedAndTheOutputWritten) {
    for (const char* overflow : {"wrap", "saturate"}) {
        const Outcome o = Run(kLowpass +
                              " --simulate noise:9 --samples 1000 --acc-bits 24 "
                              "--output-bits 8 --overflow " +
                              overflow + " -o " + (m_dir / "out.txt").string());
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(Lines(ReadAll(m_dir / "out.txt")).size(), 1000u);
        EXPECT_EQ(o.err.find("overflows: 0 at the accumulator"), std::string::npos) << o.err;
    }
}

TEST_F(Simulate, WavInAndOutHoldTheSameIntegers) {
    const std::string in = (m_dir / "in.wav").string(), out = (m_dir / "out.wav").string();
    std::string error;
    const std::vector<std::int64_t> input{1000, -20000, 32767, -32768, 5, 0, 12345};
    if (!WriteWav(in, input, 16, 16, 44100, error))
        GTEST_SKIP() << error;
    const std::vector<std::int64_t> printed =
        Samples(kLowpass + " --simulate " + in + " --simulate-output " + out);
    const auto read = ReadWav(out, 1000, error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->samples, printed);
    EXPECT_EQ(read->bits, 16);
    EXPECT_EQ(read->rate, 44100);
    // The WAV's integers are the text stimulus's.
    std::string text;
    for (std::int64_t q : input)
        text += std::to_string(q) + "\n";
    EXPECT_EQ(Samples(kLowpass + " --simulate " + Write("in.txt", text)), printed);
}

TEST_F(Simulate, RefusalsNameTheOption) {
    const std::string file = Write("in.txt", "1\n");
    const struct {
        std::string words, message;
    } cases[] = {
        {" --simulate noise --acc-bits 1",
         "--acc-bits: must be a whole number of bits from 2 to 64"},
        {" --simulate noise --acc-bits 65",
         "--acc-bits: must be a whole number of bits from 2 to 64"},
        {" --simulate noise --input-bits 1", "--input-bits: must be B or B.F: B bits from 2 to 64"},
        {" --simulate noise --output-bits 65", "--output-bits: must be B or B.F"},
        {" --simulate noise --output-bits 16.17", "--output-bits: must be B or B.F"},
        {" --simulate noise --overflow clip", "--overflow: must be wrap or saturate"},
        {" --simulate noise --rounding half",
         "--rounding: must be nearest, floor, zero or convergent"},
        {" --samples 10", "--samples: must be given with --simulate"},
        {" --rounding floor", "--rounding: must be given with --simulate"},
        {" --simulate " + file + " --samples 10",
         "--samples: must be given with a generated stimulus"},
        {" --simulate noise --format c", "--format: must be left out with --simulate"},
        {" --simulate noise --samples 2147483647", "--samples: must be at most "},
        {" --simulate noise --input-bits 12 --simulate-output x.wav",
         "--input-bits: must be 8, 16, 24 or 32 bits for --simulate-output's WAV"},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(kLowpass + c.words);
        EXPECT_EQ(o.status, 2) << c.words;
        EXPECT_NE(o.err.find(c.message), std::string::npos) << c.words << ": " << o.err;
        EXPECT_EQ(o.out, "");
    }
}

#ifdef TAPLORE_TEST_SNDFILE
TEST_F(Simulate, AFloatWavIsRefused) {
    const std::string path = (m_dir / "float.wav").string();
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    const float samples[] = {0.5f, -0.25f};
    sf_write_float(file, samples, 2);
    sf_close(file);
    const Outcome o = Run(kLowpass + " --quiet --simulate " + path);
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find(path + ": holds no 8, 16, 24 or 32-bit PCM WAV samples"),
              std::string::npos)
        << o.err;
}
#endif

TEST_F(Simulate, UnreadableStimuliFail) {
    const std::string notWav = Write("text.wav", "not a sound file\n");
    const std::string wide = Write("wide.txt", "40000\n");
    const std::string empty = Write("empty.txt", "\n# nothing\n");
    const struct {
        std::string words, message;
    } cases[] = {
        {" --simulate " + (m_dir / "none.txt").string(), "none.txt was not found."},
        {" --simulate " + notWav, notWav + ": cannot be read as a WAV file"},
        {" --simulate " + wide,
         wide + ": line 1: \"40000\" is not an integer from -32768 to 32767"},
        {" --simulate " + empty, empty + ": holds no samples"},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(kLowpass + " --quiet" + c.words);
        EXPECT_EQ(o.status, 1) << c.words;
        EXPECT_NE(o.err.find(c.message), std::string::npos) << c.words << ": " << o.err;
        EXPECT_EQ(o.out, "");
    }
}

TEST_F(Simulate, FewestBitsWritesTapsThatMeetAndReportsTheWidths) {
    const Outcome o = Run(kLowpass + " --fewest-bits");
    ASSERT_EQ(o.status, 0) << o.err;
    const std::size_t at = o.err.find("fewest bits: ");
    ASSERT_NE(at, std::string::npos) << o.err;
    const int bits = std::stoi(o.err.substr(at + 13));
    EXPECT_NE(o.err.find("; plain rounding needs "), std::string::npos);
    EXPECT_NE(o.err.find(" dB asked), margin "), std::string::npos) << o.err;
    // The integers fit the width and keep the symmetry.
    std::vector<std::int64_t> taps;
    for (const std::string& line : Lines(o.out))
        taps.push_back(std::stoll(line));
    ASSERT_EQ(taps.size(), 46u);
    for (std::size_t k = 0; k < taps.size(); ++k) {
        EXPECT_LT(std::llabs(taps[k]), std::int64_t{1} << (bits - 1));
        EXPECT_EQ(taps[k], taps[taps.size() - 1 - k]);
    }
}

// The width --fewest-bits finds, given back with --search-roundings, writes its taps in every
// format and simulates them: the impulse gives back the same integers, and the export, unlike
// the plainly rounded one of that width, keeps the requirements.
TEST_F(Simulate, TheFewestBitsTapsReachEveryOutputWithSearchedRoundings) {
    const Outcome fewest = Run(kLowpass + " --fewest-bits");
    ASSERT_EQ(fewest.status, 0) << fewest.err;
    const std::size_t at = fewest.err.find("--bits ");
    ASSERT_NE(at, std::string::npos) << fewest.err;
    const std::string bits = fewest.err.substr(at, fewest.err.find(' ', at + 7) - at);
    const Outcome q = Run(kLowpass + " " + bits + " --search-roundings --format q");
    ASSERT_EQ(q.status, 0) << q.err;
    EXPECT_EQ(q.out, fewest.out);
    EXPECT_EQ(q.err.find("warning"), std::string::npos) << q.err;
    const Outcome plain = Run(kLowpass + " " + bits + " --format q");
    EXPECT_NE(plain.out, fewest.out);
    // The comment names how the integers were chosen.
    const auto note = [&](const std::string& extra) {
        return Run(kLowpass + " " + bits + extra + " --format vhdl-fir").out;
    };
    EXPECT_NE(note(" --search-roundings").find(", roundings searched, saturated): "),
              std::string::npos);
    EXPECT_NE(note("").find(", rounded, saturated): "), std::string::npos);
    // An impulse of 1 (the largest 2-bit sample), every fraction bit of the taps kept.
    const std::string fraction = bits.substr(bits.find('.') + 1);
    std::string impulse;
    for (std::int64_t sample :
         Samples(kLowpass + " " + bits + " --search-roundings --input-bits 2.0 --output-bits 40." +
                 fraction + " --quiet --simulate impulse --samples 46"))
        impulse += std::to_string(sample) + "\n";
    EXPECT_EQ(impulse, fewest.out);
}

TEST_F(Simulate, FewestBitsRefusals) {
    const struct {
        std::string words, message;
    } cases[] = {
        {" --order 31 --rate 8000 --low 0 --high 1000 --fewest-bits",
         "--fewest-bits: must be given with a linear-phase design"},
        {kLowpass + " --phase minimum --fewest-bits",
         "--fewest-bits: must be given with a linear-phase design"},
        {kLowpass + " --fewest-bits --format coe", "--format: must be left out with --fewest-bits"},
        {kLowpass + " --fewest-bits --simulate chirp",
         "--simulate: must be left out with --fewest-bits"},
        {" --order 31 --rate 8000 --low 0 --high 1000 --bits 16 --format q --search-roundings",
         "--search-roundings: must be given with a linear-phase design"},
        {kLowpass + " --fewest-bits --search-roundings",
         "--fewest-bits: must be left out with --search-roundings"},
        {" --rate 48000 --decimate 4 --pass 0:5000 --ripple 0.1 --atten 60 --search-roundings",
         "--decimate: must be left out with --search-roundings"},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.words);
        EXPECT_EQ(o.status, 2) << c.words;
        EXPECT_NE(o.err.find(c.message), std::string::npos) << c.words << ": " << o.err;
    }
}

} // namespace
