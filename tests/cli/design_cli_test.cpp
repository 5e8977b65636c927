// taplore-design run as a user runs it, in a process of its own without a display, its output
// compared with what the dialog's Calculate and Save make of the same texts.
#include "cli/outcome.h"
#include "cli/run_design.h"
#include "core/analysis/log_magnitude.h"
#include "core/design/fir_design.h"
#include "core/formats/coef_file.h"
#include "core/formats/coef_format.h"
#include "core/formats/fixed_point.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

double Number(std::string_view text) {
    double value = NAN;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(error == std::errc() && end == text.data() + text.size()) << text;
    return value;
}

// The start-up request (shell words), with one option's text replaced or more words added.
std::string Request(const std::string& option = "", const std::string& text = "") {
    const std::pair<std::string, std::string> startUp[] = {
        {"--order", "511"}, {"--rate", "8000"}, {"--low", "400"}, {"--high", "2400"}};
    std::string words;
    bool replaced = false;
    for (const auto& [name, value] : startUp) {
        replaced = replaced || name == option;
        words += " " + name + " '" + (name == option ? text : value) + "'";
    }
    return replaced ? words : words + " " + option + " " + text;
}

class TaploreDesign : public DesignRunTest {
protected:
    TaploreDesign() : DesignRunTest("taplore_cli_") {}

    const fs::path m_file = m_dir / "taps.txt";
};

// The taps Calculate designs from these label and edit values.
std::shared_ptr<double[]> Designed(int order, double rate, double low, double high, int& count) {
    std::shared_ptr<double[]> coef;
    EXPECT_GT(DesignFilter(coef, count, order, low / rate * 2, high / rate * 2), 0);
    return coef;
}

TEST_F(TaploreDesign, TextIsByteForByteTheFileSaveWrites) {
    struct Case {
        std::string words;
        int order;
        double rate, low, high;
    };
    const Case cases[] = {
        {Request(), 511, 8000, 400, 2400},                                          // band-pass
        {Request("--low", "0"), 511, 8000, 0, 2400},                                // low-pass
        {" --order 400 --rate 8000 --low 1208 --high 4000", 400, 8000, 1208, 4000}, // high-pass
        {" --order 511 --rate 8000 --low 32 --high 0", 511, 8000, 32, 0},           // band-stop
        {" --order 301 --rate 4.41E4 --low 1d3 --high=2.2e+4", 301, 44100, 1000, 22000},
    };
    for (const Case& c : cases) {
        int count = 0;
        const auto coef = Designed(c.order, c.rate, c.low, c.high, count);
        WriteCoefficientFile(m_file, coef.get(), count);
        const std::string saved = ReadAll(m_file);
        EXPECT_EQ(Run(c.words).out, saved) << c.words;
        fs::remove(m_file);
        EXPECT_EQ(Run(c.words + " -o " + m_file.string()).status, 0);
        EXPECT_EQ(ReadAll(m_file), saved) << c.words;
    }
}

TEST_F(TaploreDesign, FullPrecisionReadsBackAsEveryTapAndCNamesTheDesign) {
    int count = 0;
    const auto coef = Designed(4095, 8000, 400, 2400, count);
    const auto lines = Lines(Run(Request("--order", "4095") + " --format=full").out);
    ASSERT_EQ(lines.size(), 4095u);
    for (int k = 0; k < count; ++k)
        ASSERT_EQ(std::bit_cast<std::uint64_t>(Number(lines[k])),
                  std::bit_cast<std::uint64_t>(coef[k]))
            << k << ": " << lines[k];
    EXPECT_TRUE(Run(Request() + " --format c")
                    .out.starts_with("/* band-pass, order 511, rate 8000 Hz, cutoffs 400 Hz and "
                                     "2400 Hz */\nconst double fir_coefficients[511] = {\n"));
}

TEST_F(TaploreDesign, ResponseStartsAtTheTrueDcLevelAndStepsByRateOver1024) {
    int count = 0;
    const auto coef = Designed(511, 8000, 400, 2400, count);
    double sum = 0.0;
    for (int k = 0; k < count; ++k)
        sum += coef[k];
    const auto lines = Lines(Run(Request() + " --response").out);
    ASSERT_EQ(lines.size(), 512u);
    EXPECT_TRUE(lines[0].starts_with("0\t")) << lines[0];
    EXPECT_NEAR(Number(std::string_view(lines[0]).substr(2)), 20 * std::log10(std::fabs(sum)),
                1e-9);
    EXPECT_TRUE(lines[511].starts_with("3992.1875\t")) << lines[511];
}

TEST_F(TaploreDesign, RefusesArgumentsWithOneLineNamingTheOption) {
    const std::pair<std::string, std::string> refused[] = {
        {"--order", "abc"},  {"--order", "12x"},
        {"--order", ""},     {"--order", "0"},
        {"--order", "-3"},   {"--order", " 5"},
        {"--order", "1e3"},  {"--order", "2147483648"},
        {"--rate", "0"},     {"--rate", "-8000"},
        {"--rate", "1e400"}, {"--rate", "inf"},
        {"--rate", "nan"},   {"--rate", "8,000"},
        {"--low", "-1"},     {"--low", "4000.5"},
        {"--low", "x"},      {"--high", "4001"},
        {"--high", "1e400"}, {"--format", "xml"},
        {"--bogus", ""},     {"--response", "--format c"},
    };
    for (const auto& [option, text] : refused) {
        const Outcome o = Run(Request(option, text));
        EXPECT_EQ(o.status, 2) << option << " " << text;
        EXPECT_EQ(o.out, "");
        EXPECT_TRUE(o.err.starts_with("taplore-design: ") &&
                    o.err.find(option) != std::string::npos && o.err.find('\n') == o.err.size() - 1)
            << o.err;
    }
    EXPECT_EQ(Run(" --order 511 --low 400 --high 2400").err,
              "taplore-design: --rate is required\n");
    // A rate of 0 is refused even where both cutoffs are 0, its half.
    const Outcome zero = Run(" --order 511 --rate 0 --low 0 --high 0");
    EXPECT_EQ(zero.status, 2);
    EXPECT_TRUE(zero.err.starts_with("taplore-design: --rate")) << zero.err;
    // A word of no option is refused with the way values are given.
    const Outcome stray = Run(Request() + " 2400");
    EXPECT_EQ(stray.status, 2);
    EXPECT_NE(stray.err.find("as in --order 511"), std::string::npos) << stray.err;
}

TEST_F(TaploreDesign, RefusalsSayInTheProgramsOwnWordsWhatIsWrong) {
    const std::pair<std::string, std::string> cases[] = {
        {Request("--low", "1") + " --low 2", "--low was given twice."},
        {Request() + " --order", "--order needs a value, as in --order 511."},
        {Request() + " --format", "--format needs a value, as in --format c."},
        // Half of the smallest double is rounded to 0: the range is named, not printed.
        {" --order 511 --rate 4.9e-324 --low 0 --high 1",
         "--high: must be from 0 to half of --rate, not \"1\""},
        {Request() + " -o ''", "--output: must be a file name, not \"\""},
        {Request() + " --plot ''", "--plot: must be a file name, not \"\""},
        {Request() + " -o - --plot -",
         "--plot: must be a file when the text goes to standard output, not \"-\""},
    };
    for (const auto& [words, message] : cases) {
        const Outcome o = Run(words);
        EXPECT_EQ(o.status, 2) << words;
        EXPECT_EQ(o.err, "taplore-design: " + message + "\n") << words;
    }
}

TEST_F(TaploreDesign, DashMeansStandardOutput) {
    const std::string taps = Run(Request()).out;
    EXPECT_EQ(Run(Request() + " -o -").out, taps);
    EXPECT_TRUE(Run(Request() + " --plot -").out.starts_with("<?xml"));
    EXPECT_FALSE(fs::exists("-"));
}

TEST_F(TaploreDesign, FailuresExitOneWithTheDialogsMessageAndLeaveTheOldFile) {
    const std::string file = m_file.string(), missing = (m_dir / "no" / "taps.txt").string();
    const struct {
        std::string words, message;
        std::string setup = "";
        bool locked = false;
    } cases[] = {
        {Request("--order", "200000001") + " -o " + file, "Calculating FIR coefficients failed!",
         kStarved},
        {Request("--order", "1024") + " --response -o " + file, "Calculating magnitude failed!"},
        {Request() + " -o " + file, "A sharing violation occurred while accessing " + file + ".",
         "", true},
        {Request() + " -o " + missing, missing + " was not found."},
        {" --order 511 --rate 8000 --low 0 --high 0 --format c-q15 -o " + file,
         "The coefficients are not all finite: no fixed-point form."},
        {Request("--order", "1024") + " --plot " + file, "Calculating magnitude failed!"},
        {Request() + " --plot " + file,
         "A sharing violation occurred while accessing " + file + ".", "", true},
        {Request() + " >/dev/full", "Writing to standard output failed."},
        // A text that fits in the output buffer fails only when it is flushed.
        {Request("--order", "3") + " >/dev/full", "Writing to standard output failed."},
    };
    for (const auto& c : cases) {
        std::ofstream(m_file, std::ios::binary) << "old taps\r\n";
        const int holder = ::open(file.c_str(), O_RDONLY);
        if (c.locked)
            ::flock(holder, LOCK_EX);
        const Outcome o = Run(c.words, c.setup);
        ::close(holder);
        EXPECT_EQ(o.status, 1) << c.words;
        // Ends with: AddressSanitizer may report the refused allocation before it.
        EXPECT_TRUE(o.err.ends_with("taplore-design: " + c.message + "\n")) << o.err;
        EXPECT_EQ(ReadAll(m_file), "old taps\r\n") << c.words;
    }
}

TEST_F(TaploreDesign, FixedPointFormatsWriteTheCoresQuantisedTaps) {
    int count = 0;
    const auto coef = Designed(511, 8000, 400, 2400, count);
    const DesignRequest request{511, 8000, 400, 2400};
    for (const auto& [name, format] : {std::pair{"q15", QFormat::q15}, {"q31", QFormat::q31}}) {
        const FixedPointTaps q = Quantise(coef.get(), count, format);
        const Outcome plain = Run(Request() + " --format " + name);
        EXPECT_EQ(plain.status, 0);
        EXPECT_EQ(plain.err, "") << "nothing saturates in the start-up filter";
        const auto lines = Lines(plain.out);
        ASSERT_EQ(lines.size(), 511u);
        for (int k = 0; k < count; ++k)
            ASSERT_EQ(lines[k], std::to_string(q.values[k])) << name << " " << k;
        EXPECT_EQ(Run(Request() + " --format c-" + name).out,
                  FormatFixedPointC(coef.get(), q, taplore::DescribeRequest(request)));
    }
}

TEST_F(TaploreDesign, ResponseWithAQFormatAddsTheQuantisedLevels) {
    int count = 0;
    const auto coef = Designed(511, 8000, 400, 2400, count);
    SpectrumLevels designed, quantised;
    ComputeLevelsDb(coef.get(), count, designed);
    const std::vector<double> taps = Dequantise(Quantise(coef.get(), count, QFormat::q15));
    ComputeLevelsDb(taps.data(), count, quantised);
    const auto lines = Lines(Run(Request() + " --response --format q15").out);
    ASSERT_EQ(lines.size(), 512u);
    for (const int k : {0, 1, 52, 300, 511}) {
        const std::string_view line = lines[k];
        const auto tab1 = line.find('\t'), tab2 = line.rfind('\t');
        ASSERT_NE(tab1, tab2) << line;
        EXPECT_EQ(Number(line.substr(0, tab1)), k * 8000.0 / 1024);
        EXPECT_EQ(Number(line.substr(tab1 + 1, tab2 - tab1 - 1)), designed[k]) << k;
        EXPECT_EQ(Number(line.substr(tab2 + 1)), quantised[k]) << k;
    }
    // Far down the stop band the Q15 taps leave their mark.
    EXPECT_GT(std::fabs(quantised[511] - designed[511]), 1.0);
}

TEST_F(TaploreDesign, SaturatedTapsWarnOnceAndStillSucceed) {
    // The centre tap of this unscaled band-pass is 0.999999995: 32767.99 steps in Q15.
    const std::string words = " --order 3 --rate 8000 --low 0.00001 --high 3999.99999";
    const Outcome q15 = Run(words + " --format q15");
    EXPECT_EQ(q15.status, 0);
    EXPECT_EQ(Lines(q15.out), (std::vector<std::string>{"0", "32767", "0"}));
    EXPECT_EQ(q15.err,
              "taplore-design: warning: 1 of 3 taps saturated in Q15, clipped to its range\n");
    const Outcome c = Run(words + " --format c-q15");
    EXPECT_NE(c.out.find("Q15 (tap x 32768, rounded, saturated): 1 tap saturated"),
              std::string::npos);
    EXPECT_EQ(Run(words + " --format q31").err, "") << "2147483637 fits in Q31";
}

TEST_F(TaploreDesign, PlotAloneWritesOnlyTheImageAndBesideTheTapsBoth) {
    const fs::path plot = m_dir / "response.svg";
    const Outcome alone = Run(Request() + " --plot " + plot.string());
    EXPECT_EQ(alone.status, 0);
    EXPECT_EQ(alone.out, "");
    const std::string svg = ReadAll(plot);
    EXPECT_TRUE(svg.starts_with("<?xml")) << svg.substr(0, 80);
    EXPECT_EQ(svg.find("Q15 taps"), std::string::npos);

    const Outcome beside = Run(Request() + " --format q15 --plot " + plot.string());
    EXPECT_EQ(Lines(beside.out).size(), 511u);
    EXPECT_NE(ReadAll(plot).find(">Q15 taps<"), std::string::npos);

    fs::remove(plot);
    EXPECT_EQ(Run(Request() + " -o " + m_file.string() + " --plot " + plot.string()).out, "");
    EXPECT_EQ(ReadAll(plot), svg);
    EXPECT_EQ(Lines(ReadAll(m_file)).size(), 511u);
}

TEST_F(TaploreDesign, AReaderThatClosesThePipeEarlyEndsItQuietly) {
    const fs::path err = m_dir / "stderr", status = m_dir / "status";
    std::string command = "(";
    command += TAPLORE_DESIGN_EXE + Request("--order", "1000001") + " 2>" + err.string();
    command += "; echo $? >" + status.string() + ") | head -c 1 >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadAll(status), "141\n") << "ended by the broken pipe's signal, as filters are";
    EXPECT_EQ(ReadAll(err), "");
}

// Work of a few seconds: 30 million taps designed, formatted and written.
const std::string kLongWork = Request("--order", "30000001");

TEST_F(TaploreDesign, LongWorkShowsAProgressLineOnATerminalOnly) {
    // script gives the program a terminal; its standard output goes to the file.
    const std::string command =
        std::string(TAPLORE_DESIGN_EXE) + kLongWork + " -o " + m_file.string();
    const Outcome terminal = Run("", "exec script -qec '" + command + "' /dev/null; ");
    EXPECT_EQ(terminal.status, 0);
    const std::string& line = terminal.out;
    EXPECT_TRUE(line.starts_with("\rtaplore-design: ")) << line;
    EXPECT_NE(line.find("%"), std::string::npos) << line;
    // Erased at the end: the last text drawn is overwritten with spaces, the cursor back at 0.
    const std::size_t lastDrawn = line.rfind("\rtaplore-design: ");
    const std::size_t erasure = line.find('\r', lastDrawn + 1);
    ASSERT_NE(erasure, std::string::npos) << line;
    std::string blanked(erasure - lastDrawn + 1, ' ');
    blanked.front() = blanked.back() = '\r';
    EXPECT_EQ(line.substr(erasure), blanked);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 0) << "one line, never scrolled";
    const std::uintmax_t size = fs::file_size(m_file);

    fs::remove(m_file);
    const Outcome piped = Run(kLongWork + " -o " + m_file.string());
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.err, "");
    EXPECT_EQ(fs::file_size(m_file), size);
}

} // namespace
