// --save-design and --design: a design saved and designed again from its document comes back
// the same, byte for byte; a document that cannot be read changes no output.
#include "cli/run_design.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

class DocumentCli : public DesignRunTest {
protected:
    DocumentCli() : DesignRunTest("taplore-document-cli-") {}

    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(m_dir / name, std::ios::binary) << text;
    }
};

const char* const kLowpass =
    " --rate 48000 --pass 0:1000 --stop 1500:24000 --ripple 0.1 --atten 60";

TEST_F(DocumentCli, EveryMethodAndKindOfBandComesBackByteForByte) {
    const std::string bands = " --rate 8000 --band 0:1000:1 --band 1500:4000:0:10 --taps 41";
    const std::string windowed = std::string(kLowpass) + " --taps 51 --method ";
    const std::string cases[] = {
        kLowpass,
        std::string(kLowpass) + " --method kaiser",
        std::string(kLowpass) + " --taps 101",
        windowed + "hamming",
        windowed + "rectangular",
        windowed + "hann",
        windowed + "blackman",
        windowed + "blackman-harris",
        bands,
        " --rate 8000 --band 100:3900:1 --kind hilbert --taps 30",
        " --rate 8000 --band 0:3000:0.5 --kind differentiator --taps 30",
        std::string(kLowpass) + " --phase minimum",
        std::string(kLowpass) + " --phase minimum --method kaiser --taps 40",
        // Sloped bands keep their line: a pass band's ripple relative to it, a band of any gain.
        " --rate 48000 --pass 0:8000:1..2 --stop 12000:24000 --ripple 0.5 --atten 60",
        " --rate 8000 --band 0:3000:1..0.5 --band 3500:4000:0 --taps 31",
    };
    for (const std::string& words : cases) {
        const Outcome first = Run(words + " --quiet --format full -o " + Path("first.txt") +
                                  " --save-design " + Path("first.taplore"));
        ASSERT_EQ(first.status, 0) << words << ": " << first.err;
        const Outcome again =
            Run(" --quiet --design " + Path("first.taplore") + " --format full -o " +
                Path("again.txt") + " --save-design " + Path("again.taplore"));
        ASSERT_EQ(again.status, 0) << words << ": " << again.err;
        EXPECT_EQ(again.err, "") << words; // no warning of taps that differ
        EXPECT_EQ(ReadAll(m_dir / "again.txt"), ReadAll(m_dir / "first.txt")) << words;
        EXPECT_EQ(ReadAll(m_dir / "again.taplore"), ReadAll(m_dir / "first.taplore")) << words;
    }
}

TEST_F(DocumentCli, APhaseGivenBesideADocumentReplacesItsPhase) {
    const std::string minimum = " --quiet --design " + Path("minimum.taplore") + " --format full";
    ASSERT_EQ(
        Run(std::string(kLowpass) + " --phase minimum --save-design " + Path("minimum.taplore"))
            .status,
        0);
    EXPECT_NE(ReadAll(m_dir / "minimum.taplore").find("\"phase\": \"minimum\""), std::string::npos);
    EXPECT_EQ(Run(minimum + " --phase linear").out,
              Run(std::string(kLowpass) + " --quiet --format full").out);
    EXPECT_EQ(Run(minimum + " --phase minimum").out, Run(minimum).out);

    ASSERT_EQ(Run(" --rate 8000 --band 0:1000:1 --band 1500:4000:0 --taps 41 --save-design " +
                  Path("bands.taplore"))
                  .status,
              0);
    const Outcome refused = Run(" --design " + Path("bands.taplore") + " --phase minimum");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "taplore-design: " + Path("bands.taplore") +
                               ": bands: a minimum-phase design keeps pass and stop tolerances, "
                               "not bands of any gain\n");
}

// A sloped pass band's line, once saved, is refused a method or a phase that would flatten it.
TEST_F(DocumentCli, ASlopedDocumentRefusesWhatCannotKeepItsLine) {
    ASSERT_EQ(Run(" --rate 48000 --pass 0:8000:1..2 --stop 12000:24000 --ripple 0.5 --atten 60 "
                  "--quiet --save-design " +
                  Path("sloped.taplore"))
                  .status,
              0);
    const std::pair<std::string, std::string> cases[] = {
        {" --method kaiser", "--method kaiser: equiripple or least-squares keeps the gain 1..2 of "
                             "bands[0], not kaiser"},
        {" --phase minimum", Path("sloped.taplore") +
                                 ": bands: a minimum-phase design keeps pass bands of gain 1, not "
                                 "the gain 1..2 of bands[0]"},
    };
    for (const auto& [words, message] : cases) {
        const Outcome o = Run(" --design " + Path("sloped.taplore") + words);
        EXPECT_EQ(o.status, 2) << words;
        EXPECT_EQ(o.err, "taplore-design: " + message + "\n") << words;
    }
}

// The requirements window's documents: its half-band is designed as --nyquist designs it, its
// pulse, its rate change and its CIC are refused, since options of their own say them.
TEST_F(DocumentCli, AWindowsHalfBandIsDesignedAndItsPulseAndRateChangeRefused) {
    const std::string halfBand =
        R"({"format": "taplore-design", "version": 1, "rate_hz": 48000, "bands": [)"
        R"({"kind": "pass", "low_hz": 0, "high_hz": 9600, "tolerance_db": 0.001},)"
        R"({"kind": "stop", "low_hz": 14400, "high_hz": 24000, "tolerance_db": 100}],)"
        R"("ripple_db": 0.1, "attenuation_db": 60, "method": {"name": "equiripple", )"
        R"("length": "fewest", "nyquist": 2})";
    Write("half.taplore", halfBand + "}");
    ASSERT_EQ(Run(" --quiet --design " + Path("half.taplore") + " --format full -o " +
                  Path("document.txt"))
                  .status,
              0);
    ASSERT_EQ(Run(" --rate 48000 --pass 0:9600 --ripple 0.001 --atten 100 --nyquist 2 --quiet "
                  "--format full -o " +
                  Path("options.txt"))
                  .status,
              0);
    EXPECT_EQ(ReadAll(m_dir / "document.txt"), ReadAll(m_dir / "options.txt"));

    Write("pulse.taplore", halfBand.substr(0, halfBand.find(R"("length")")) +
                               R"("length": 1}, "pulse": {"shape": "rrc", "span_symbols": 8, )"
                               R"("samples_per_symbol": 4, "rolloff": 0.35}})");
    const Outcome o = Run(" --design " + Path("pulse.taplore"));
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "taplore-design: " + Path("pulse.taplore") +
                         ": pulse: a pulse is designed with --pulse, not --design\n");

    // A window's rate change would otherwise be redesigned as one filter at the high rate.
    Write("rate.taplore", halfBand.substr(0, halfBand.find(R"("length")")) +
                              R"("length": "fewest"}, "rate_change": {"change": "decimate", )"
                              R"("factor": 2, "stages": "1"}})");
    const Outcome rate = Run(" --design " + Path("rate.taplore"));
    EXPECT_EQ(rate.status, 2);
    EXPECT_EQ(rate.err, "taplore-design: " + Path("rate.taplore") +
                            ": rate_change: a rate change is designed with --decimate or "
                            "--interpolate and --stages, not --design\n");

    // A window's compensator would otherwise be designed flat, without the CIC's droop.
    Write("cic.taplore", halfBand.substr(0, halfBand.find(R"("length")")) +
                             R"("length": "fewest"}, "cic": {"stages": 4, "factor": 8}})");
    const Outcome cic = Run(" --design " + Path("cic.taplore"));
    EXPECT_EQ(cic.status, 2);
    EXPECT_EQ(cic.err, "taplore-design: " + Path("cic.taplore") +
                           ": cic: a CIC compensator is designed with --cic 4:8:1, not --design\n");
}

TEST_F(DocumentCli, SavedTapsAreWrittenWhereANewDesignDiffers) {
    ASSERT_EQ(Run(std::string(kLowpass) + " --quiet --save-design " + Path("a.taplore")).status, 0);
    std::string text = ReadAll(m_dir / "a.taplore");
    const std::size_t tap = text.find("0.0005910067978642984");
    ASSERT_NE(tap, std::string::npos);
    text.replace(tap, 21, "0.0005910067978642985");
    Write("a.taplore", text);
    const Outcome o = Run(" --quiet --design " + Path("a.taplore") + " --format json");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("[\n    0.0005910067978642985,\n"), std::string::npos) << o.out;
    EXPECT_NE(o.err.find("warning: a new design would differ from the taps in " +
                         Path("a.taplore") +
                         ": by up to 1.08e-19 (tap 0); the output holds "
                         "the document's taps"),
              std::string::npos)
        << o.err;
}

TEST_F(DocumentCli, OptionsBesideTheDocumentReplaceItsValuesAndItsUnknownMembersStay) {
    ASSERT_EQ(Run(std::string(kLowpass) + " --quiet --save-design " + Path("a.taplore")).status, 0);
    std::string text = ReadAll(m_dir / "a.taplore");
    text.insert(text.rfind('}'), ",\n  \"project\": {\"board\": \"rev B\"}\n");
    Write("a.taplore", text);
    const Outcome o = Run(" --quiet --design " + Path("a.taplore") +
                          " --atten 40 --note \"rev B\"" + " --save-design " + Path("b.taplore"));
    ASSERT_EQ(o.status, 0) << o.err;
    const std::string saved = ReadAll(m_dir / "b.taplore");
    EXPECT_NE(saved.find("\"attenuation_db\": 40.0"), std::string::npos);
    EXPECT_NE(saved.find("\"note\": \"rev B\""), std::string::npos);
    EXPECT_NE(saved.find("\"project\": {\n    \"board\": \"rev B\"\n  }"), std::string::npos)
        << saved;
    EXPECT_LT(saved.size(), text.size()); // fewer taps for less attenuation
}

struct BadDocument {
    const char* name;
    std::string text;
    const char* message;
};

TEST_F(DocumentCli, ADocumentThatCannotBeReadChangesNoOutput) {
    ASSERT_EQ(Run(std::string(kLowpass) + " --quiet --save-design " + Path("good.taplore")).status,
              0);
    const std::string good = ReadAll(m_dir / "good.taplore");
    std::string tenMillion = R"({"format": "taplore-design", "version": 1, "bands": [{})";
    for (int i = 1; i < 10'000'000; ++i)
        tenMillion += ",{}";
    tenMillion += "]}";
    std::string nanEdge = good;
    nanEdge.replace(nanEdge.find("1000.0"), 6, "NaN");
    std::string textEdge = good;
    textEdge.replace(textEdge.find("1000.0"), 6, "\"1000\"");
    std::string newer = good;
    newer.replace(newer.find("\"version\": 1"), 12, "\"version\": 2");
    const BadDocument cases[] = {
        {"newer", newer,
         "bad.taplore: version 2 is newer than this Taplore reads (version 1 and older)"},
        {"malformed", "{\"format\": \"taplore-design\",\n \"version\": 1 2}",
         "bad.taplore: line 2, column 15: syntax error while parsing object - unexpected number "
         "literal; expected '}'"},
        {"truncated", good.substr(0, good.size() / 2), "unexpected end of input"},
        {"wrong type", textEdge, "bad.taplore: bands[0].high_hz: must be a number, not a string"},
        {"NaN edge", nanEdge, "invalid literal; last read:"},
        // Ten million bands fill more bytes than a document may have.
        {"ten million bands", tenMillion,
         "bad.taplore: more than 16777216 bytes, the most a design document holds"},
        {"two thousand bands", tenMillion.substr(0, 6053) + "]}",
         "bad.taplore: bands: more than 1000 bands"},
    };
    for (const BadDocument& c : cases) {
        Write("bad.taplore", c.text);
        Write("out.txt", "old output");
        Write("saved.taplore", "old document");
        const Outcome o = Run(" --quiet --design " + Path("bad.taplore") + " -o " +
                              Path("out.txt") + " --save-design " + Path("saved.taplore"));
        EXPECT_EQ(o.status, 1) << c.name;
        EXPECT_NE(o.err.find(c.message), std::string::npos) << c.name << ": " << o.err;
        EXPECT_EQ(ReadAll(m_dir / "out.txt"), "old output") << c.name;
        EXPECT_EQ(ReadAll(m_dir / "saved.taplore"), "old document") << c.name;
    }
}

TEST_F(DocumentCli, AGigabyteDocumentIsRefusedInBoundedMemory) {
    {
        std::ofstream out(m_dir / "huge.taplore", std::ios::binary);
        out << std::string((16 << 20) + 1, ' ');
    }
    std::filesystem::resize_file(m_dir / "huge.taplore", std::uintmax_t(1) << 30);
    // With memory starved, the program fails rather than read the whole file.
    const Outcome o = Run(" --design " + Path("huge.taplore") + " -o " + Path("out.txt"), kStarved);
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("huge.taplore: more than 16777216 bytes, the most a design document "
                         "holds"),
              std::string::npos)
        << o.err;
    EXPECT_FALSE(std::filesystem::exists(m_dir / "out.txt"));
}

TEST_F(DocumentCli, ARefusalNamesTheOptionOrTheMemberTheValueCameFrom) {
    ASSERT_EQ(Run(" --quiet --rate 8000 --band 0:1000:0 --band 1500:4000:1 --taps 41 "
                  "--save-design " +
                  Path("bands.taplore"))
                  .status,
              0);
    const std::string document = " --design " + Path("bands.taplore");
    const struct {
        std::string words;
        std::string message;
    } cases[] = {
        {" --taps 40", "--taps 40: an even length has no response at half the rate"},
        {" --rate 1000", "bands.taplore: bands[0]: it reaches beyond half the rate"},
        {" --atten 60", "--atten 60: ripple and attenuation apply to pass and stop bands, not to "
                        "bands of any gain"},
        {" --pass 0:1000 --stop 1500:4000",
         "bands.taplore: ripple_db: the ripple must be above 0 dB and finite"},
        {" --method kaiser",
         "--method kaiser: equiripple or least-squares designs bands of any gain, not kaiser"},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(document + c.words + " -o " + Path("out.txt"));
        EXPECT_EQ(o.status, 2) << c.words;
        EXPECT_NE(o.err.find(c.message), std::string::npos) << c.words << ": " << o.err;
        EXPECT_FALSE(std::filesystem::exists(m_dir / "out.txt")) << c.words;
        std::filesystem::remove(m_dir / "out.txt");
    }
}

TEST_F(DocumentCli, SaveDesignIsRefusedWhereItHasNothingToDescribe) {
    const Outcome dialog =
        Run(" --order 31 --rate 8000 --low 0 --high 1000 --save-design " + Path("a.taplore"));
    EXPECT_EQ(dialog.status, 2);
    EXPECT_NE(dialog.err.find("--save-design: must be given with a design to requirements"),
              std::string::npos)
        << dialog.err;
    const Outcome same =
        Run(std::string(kLowpass) + " -o " + Path("a") + " --save-design " + Path("a"));
    EXPECT_EQ(same.status, 2);
    EXPECT_NE(same.err.find("must be another file than -o's and --plot's"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "a.taplore"));
    const Outcome input = Run(" --design -");
    EXPECT_EQ(input.status, 2);
    EXPECT_NE(input.err.find("--design: must be a file name, not standard input"),
              std::string::npos)
        << input.err;
}

} // namespace
