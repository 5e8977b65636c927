// What a professional would trip over on the command line: refusals that name their true
// cause, echo arguments safely and exit as documented, a failing command that changes no file,
// bounded inputs, a progress line that only moves forward, exports whose comments tools read.
#include "cli/console.h"
#include "cli/outcome.h"
#include "cli/progress_line.h"
#include "cli/run_design.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::string kDesign = " --order 11 --rate 8000 --low 400 --high 2400";

class CommandLineSlips : public DesignRunTest {
protected:
    CommandLineSlips() : DesignRunTest("taplore_slips_") {}

    std::string Path(const std::string& name) const { return (m_dir / name).string(); }
    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(m_dir / name, std::ios::binary) << text;
        return Path(name);
    }

    const fs::path m_dir =
        fs::temp_directory_path() / ("taplore_slips_" + std::to_string(getpid()));
};

struct Refusal {
    std::string words, err;
    int status;
};

void ExpectRefusals(const CommandLineSlips& test, const std::vector<Refusal>& cases,
                    const std::function<Outcome(const std::string&)>& run) {
    for (const Refusal& c : cases) {
        const Outcome o = run(c.words);
        EXPECT_EQ(o.status, c.status) << c.words;
        EXPECT_EQ(o.err, "taplore-design: " + c.err + "\n") << c.words;
        EXPECT_EQ(o.out, "") << c.words;
    }
    (void)test;
}

TEST_F(CommandLineSlips, TheTapsReaderNamesTheTrueCause) {
    const std::string big = Write("big.txt", "2147483648\n");
    const std::string bigger = Write("bigger.txt", "-99999999999999999999\n");
    const std::string array = Write("array.json", "\n[0.1, 0.2]\n");
    ExpectRefusals(
        *this,
        {
            {" --taps-from " + big + " --taps-bits 32",
             big + ": line 1: 2147483648 is outside Q31, -2147483648 to 2147483647", 1},
            {" --taps-from " + bigger + " --taps-bits 16",
             bigger + ": line 1: -99999999999999999999 is outside Q15, -32768 to 32767", 1},
            {" --taps-from - <&-", "An invalid file handle was associated with standard input.", 1},
            {" --taps-from - <" + m_dir.string(), "Access to standard input was denied.", 1},
            {" --taps-from " + array,
             array + ": line 2: a JSON array alone: Taplore's JSON is an object whose "
                     "\"taps\" member holds the array, as in {\"taps\": [0.1, 0.2]}",
             1},
        },
        [this](const std::string& words) { return Run(words); });
}

TEST_F(CommandLineSlips, AnUnknownOptionIsNamedWithTheClosestOne) {
    ExpectRefusals(*this,
                   {
                       {kDesign + " --quit 2",
                        "--quit is not an option of taplore-design: did you mean --quiet?", 2},
                       {kDesign + " --ouptut=x.txt",
                        "--ouptut is not an option of taplore-design: did you mean --output?", 2},
                       {kDesign + " --fromat c",
                        "--fromat is not an option of taplore-design: did you mean --format?", 2},
                       {kDesign + " --" + std::string(200, 'x'),
                        "--" + std::string(78, 'x') +
                            "… is not an option of taplore-design: did you mean "
                            "--help?",
                        2},
                   },
                   [this](const std::string& words) { return Run(words); });
    // A stray value keeps its message.
    EXPECT_EQ(Run(kDesign + " 2400").err,
              "taplore-design: The following argument was not expected: 2400 (each value follows "
              "its option, as in --order 511)\n");
}

TEST_F(CommandLineSlips, AFailingOutputReplacesNoFile) {
    const std::string keep = Write("keep.txt", "old taps\n");
    const std::string image = Write("keep.svg", "old image\n");
    const std::string missing = Path("nodir/p.svg");
    Outcome o = Run(kDesign + " --plot " + missing + " -o " + keep);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "taplore-design: " + missing + " was not found.\n");
    EXPECT_EQ(ReadAll(keep), "old taps\n");
    // The other way round, the image kept.
    o = Run(kDesign + " -o " + Path("nodir/t.txt") + " --plot " + image);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(ReadAll(image), "old image\n");
    // Nothing left aside either.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 3);
    // Both written once both can be.
    EXPECT_EQ(Run(kDesign + " -o " + keep + " --plot " + image).status, 0);
    EXPECT_EQ(Lines(ReadAll(keep)).size(), 11u);
    EXPECT_TRUE(ReadAll(image).starts_with("<?xml"));
}

TEST_F(CommandLineSlips, OneFileNamedTwiceIsRefused) {
    const std::string file = Path("f.txt");
    fs::create_symlink(file, m_dir / "link.txt");
    ExpectRefusals(
        *this,
        {
            {kDesign + " --plot " + file + " -o " + file,
             "--plot: must be another file than -o's, not \"" + file + "\"", 2},
            {kDesign + " --plot " + m_dir.string() + "/./f.txt -o " + file,
             "--plot: must be another file than -o's, not \"" + m_dir.string() + "/./f.txt\"", 2},
        },
        [this](const std::string& words) { return Run(words); });
    std::ofstream(file) << "x";
    EXPECT_EQ(Run(kDesign + " --plot " + Path("link.txt") + " -o " + file).status, 2);
    EXPECT_EQ(ReadAll(file), "x");
}

TEST_F(CommandLineSlips, EchoedArgumentsShowControlBytesAsEscapesAndLongValuesCut) {
    ExpectRefusals(
        *this,
        {
            {" --order 11 --rate 8000 --high 2400 --low \"$(printf '4\\033[31m\\nX\\t\\177')\"",
             "--low: must be a number, not \"4\\x1b[31m\\nX\\t\\x7f\"", 2},
            {" --order 11 --rate 8000 --high 2400 --low \"$(printf '\\377\\302\\233\\303\\251')\"",
             "--low: must be a number, not \"\\xff\\xc2\\x9bé\"", 2},
            {" --order 11 --rate 8000 --high 2400 --low " + std::string(100000, '7') + "x",
             "--low: must be a number, not \"" + std::string(80, '7') + "…\"", 2},
            {" --order 11 --rate 8000 --high 2400 --low " + std::string(80, '7') + "x",
             "--low: must be a number, not \"" + std::string(80, '7') + "…\"", 2},
            {" --order 11 --rate 8000 --high 2400 --low " + std::string(79, '7') + "x",
             "--low: must be a number, not \"" + std::string(79, '7') + "x\"", 2},
        },
        [this](const std::string& words) { return Run(words); });
}

TEST_F(CommandLineSlips, InputsAreBoundedAndHonest) {
    const auto json = [this](const std::string& name, const std::string& members) {
        return Write(name, "{\"taps\": [0.25, 0.5, 0.25]" + members + "}\n");
    };
    const std::string zeroRate = json("zero.json", ",\n\"rate\": 0");
    const std::string negative = json("negative.json", ",\n\"rate\": -8000");
    const std::string count = json("count.json", ",\n\"count\": 4");
    const std::string comma = Write("comma.txt", "0,5\n1,25\n2,5\n");
    const std::string shifted = Write("shifted.txt", "0,5\n0,25\n");
    ExpectRefusals(
        *this,
        {
            {" --taps-from /dev/zero",
             "/dev/zero: a NUL byte at byte 1: taps are read from text, and this is none", 1},
            {" --taps-from - </dev/zero",
             "standard input: a NUL byte at byte 1: taps are read from text, and this is none", 1},
            {" --taps-from " + zeroRate,
             zeroRate + ": line 2: \"rate\" must be a positive, finite number, not 0", 1},
            {" --taps-from " + negative,
             negative + ": line 2: \"rate\" must be a positive, finite number, not -8000", 1},
            {" --taps-from " + count, count + ": line 2: \"count\" is 4, but \"taps\" holds 3 taps",
             1},
            {" --taps-from " + comma,
             comma + ": line 1: \"0,5\" looks like a number with a decimal comma: write taps "
                     "with \".\", as in 0.5, or give a CSV of index and tap its header line",
             1},
            {" --taps-from " + shifted,
             shifted + ": line 1: \"0,5\" looks like a number with a decimal comma: write taps "
                       "with \".\", as in 0.5, or give a CSV of index and tap its header line",
             1},
            {kDesign + " --points 64", "--points: must be given with --view, not \"64\"", 2},
        },
        [this](const std::string& words) { return Run(words); });
    // What stays read: a count that agrees, a CSV with its header, fixed-point integers.
    EXPECT_EQ(Run(" --taps-from " + json("good.json", ",\n\"count\": 3,\n\"rate\": 8000")).status,
              0);
    EXPECT_EQ(Run(" --taps-from " + Write("header.csv", "index,taps\n0,0\n1,1\n2,0\n")).status, 0);
    EXPECT_EQ(Run(" --taps-from " + comma + " --taps-bits 16").status, 0) << "integers expected";
}

// Rates near the largest double: every frequency written is finite.
TEST_F(CommandLineSlips, FrequencyAxesOfHugeRatesStayFinite) {
    const std::string design = " --order 11 --rate 1.7e308 --low 0 --high 1e307";
    for (const std::string& words : {design + " --response", design + " --view magnitude",
                                     design + " --plot -", design + " --view phase --plot -"}) {
        const Outcome o = Run(words);
        EXPECT_EQ(o.status, 0) << words;
        EXPECT_EQ(o.out.find("inf"), std::string::npos) << words;
    }
    const auto lines = Lines(Run(design + " --response").out);
    ASSERT_EQ(lines.size(), 512u);
    EXPECT_TRUE(lines[511].starts_with("8.483398437499999e+307\t")) << lines[511];
}

// A Verilog header of a design text over 16 KB: iverilog reads its comment.
TEST_F(CommandLineSlips, ALongDesignTextStaysAValidVerilogHeader) {
    std::string title;
    for (int i = 0; i < 3000; ++i)
        title += "word" + std::to_string(i) + " ";
    const std::string taps =
        Write("long.json", "{\"design\": \"" + title + "\", \"taps\": [0.25, 0.5, 0.25]}");
    const Outcome o = Run(" --taps-from " + taps + " --format verilog -o " + Path("fir.vh"));
    ASSERT_EQ(o.status, 0) << o.err;
    const std::string header = ReadAll(m_dir / "fir.vh");
    for (const std::string& line : Lines(header))
        EXPECT_LE(line.size(), 1003u);
    Write("bench.v", "module bench;\n`include \"fir.vh\"\ninitial begin $display(\"%0d\", "
                     "fir_tap(1)); $finish; end\nendmodule\n");
    const std::string command =
        "cd " + m_dir.string() + " && iverilog -g2005 -o bench bench.v 2>&1 && vvp -n bench 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    for (int c; (c = std::fgetc(pipe)) != EOF;)
        out += static_cast<char>(c);
    EXPECT_EQ(::pclose(pipe), 0) << out;
    EXPECT_TRUE(out.starts_with("16384\n")) << out;
}

// The progress line on a terminal, read as the terminal receives it.
class ProgressShown : public testing::Test {
protected:
    // The texts drawn, each after the program's name.
    std::vector<std::string> Drawn() const {
        std::vector<std::string> texts;
        const std::string text = m_err.str();
        const std::regex drawn("\rtaplore-design: ([^\r]*?) *(?=\r|$)");
        for (std::sregex_iterator it(text.begin(), text.end(), drawn), end; it != end; ++it)
            texts.push_back((*it)[1]);
        return texts;
    }
    // Past the quiet start, and the redraw time between reports.
    static void Wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

    std::ostringstream m_err;
    ProgressLine m_line{m_err, true};
};

TEST_F(ProgressShown, MovesForwardOnlyAndShowsTheCallersStageText) {
    Wait(1050);
    const Progress designing = m_line.Stage("designing");
    for (const double share : {0.2, 0.0, 0.1, 0.3}) {
        designing(share);
        Wait(110);
    }
    m_line.Describe("designing 13,400 taps, 3rd of about 5 designs");
    m_line.Stage("designing")(0.35); // begun again: it goes on from what was shown
    Wait(110);
    m_line.Enter("formatting");
    Wait(110);
    m_line.Stage("writing")(0.05); // a new stage starts afresh
    EXPECT_EQ(Drawn(),
              (std::vector<std::string>{
                  "designing 20%", "designing 30%",
                  "designing 35%, designing 13,400 taps, 3rd of about 5 designs", "formatting…",
                  "writing 5%, designing 13,400 taps, 3rd of about 5 "
                  "designs"}));
}

TEST_F(ProgressShown, QuietShowsNothing) {
    m_line.Silence();
    Wait(1050);
    m_line.Enter("reading");
    m_line.Stage("designing")(0.5);
    EXPECT_EQ(m_err.str(), "");
}

TEST_F(CommandLineSlips, QuietKeepsATerminalFreeOfTheProgressLine) {
    const std::string command = std::string(TAPLORE_DESIGN_EXE) +
                                " --order 30000001 --rate 8000 --low 400 --high 2400 --quiet -o " +
                                Path("taps.txt");
    const Outcome terminal = Run("", "exec script -qec '" + command + "' /dev/null; ");
    EXPECT_EQ(terminal.status, 0);
    EXPECT_EQ(terminal.out, "");
}

} // namespace
