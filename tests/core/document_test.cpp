// The design document: what is written reads back as the same design, bit for bit, members it
// does not know included; and a document that is malformed, too large or wrong in any member
// is refused with where and why, in bounded memory.
#include "core/document/design_document.h"
#include "core/io/file_input.h"

#include "tap_bits.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace taplore;

DesignDocument PassStop() {
    DesignDocument d;
    d.requirements.rate = 48000;
    d.requirements.bands = {{0, 1000, 1, 1}, {1500, 24000, 0, 1, 80.5}};
    d.requirements.rippleDb = 0.1;
    d.requirements.attenuationDb = 60;
    d.note = "zweiter Entwurf – ° \"quoted\"\n";
    // Values a number text most easily gets wrong.
    d.taps = {-0.0,
              0.1,
              1e22,
              std::numeric_limits<double>::denorm_min(),
              std::numeric_limits<double>::max(),
              -2.2250738585072014e-308,
              1.0 / 3};
    return d;
}

DesignDocument Bands(ResponseKind kind, int length) {
    DesignDocument d;
    d.requirements.rate = 8000;
    d.requirements.bands = {{100, 3900, 0.5, 2.5}};
    d.requirements.kind = kind;
    d.tolerances = false;
    d.length = length;
    return d;
}

struct RoundTrip {
    const char* name;
    DesignDocument document;
};

TEST(Document, EveryKindOfDesignReadsBackAsWritten) {
    DesignDocument kaiser = PassStop();
    kaiser.method = FindMethod("kaiser");
    DesignDocument hann = PassStop();
    hann.method = FindMethod("hann");
    hann.length = 7;
    DesignDocument minimum = PassStop();
    minimum.minimumPhase = true;
    DesignDocument sloped = PassStop();
    sloped.requirements.bands[0] = {0, 1000, 1, 1, 0.5, 2.0, true};
    DesignDocument flatGain = PassStop();
    flatGain.requirements.bands[0] = {0, 1000, 0.5, 1, std::nullopt, std::nullopt, true};
    DesignDocument slopedBands = Bands(ResponseKind::ordinary, 31);
    slopedBands.requirements.bands[0].endGain = 0.25;
    const RoundTrip cases[] = {
        {"equiripple, fewest", PassStop()},
        {"kaiser", kaiser},
        {"hann window", hann},
        {"bands", Bands(ResponseKind::ordinary, 31)},
        {"hilbert", Bands(ResponseKind::hilbert, 30)},
        {"differentiator", Bands(ResponseKind::differentiator, 30)},
        {"minimum phase", minimum},
        {"sloped pass band", sloped},
        {"pass band of gain 0.5", flatGain},
        {"sloped band of any gain", slopedBands},
    };
    for (const RoundTrip& c : cases) {
        const std::string text = WriteDocument(c.document);
        const DesignDocument read = ReadDocument(text);
        EXPECT_EQ(WriteDocument(read), text) << c.name;
        EXPECT_EQ(Bits(read.taps), Bits(c.document.taps)) << c.name;
        EXPECT_EQ(read.method, c.document.method) << c.name;
        EXPECT_EQ(read.length, c.document.length) << c.name;
        EXPECT_EQ(read.tolerances, c.document.tolerances) << c.name;
        EXPECT_EQ(read.requirements.kind, c.document.requirements.kind) << c.name;
        EXPECT_EQ(read.note, c.document.note) << c.name;
        EXPECT_EQ(read.minimumPhase, c.document.minimumPhase) << c.name;
        // Only minimum phase is written: a linear-phase document is as it always was.
        EXPECT_EQ(text.find("\"phase\"") != std::string::npos, c.document.minimumPhase) << c.name;
        for (std::size_t i = 0; i < read.requirements.bands.size(); ++i) {
            const Band& band = read.requirements.bands[i];
            const Band& written = c.document.requirements.bands[i];
            EXPECT_EQ(band.gain, written.gain) << c.name << " band " << i;
            EXPECT_EQ(band.endGain, written.endGain) << c.name << " band " << i;
            EXPECT_EQ(band.relative, written.relative) << c.name << " band " << i;
        }
    }
    // A pass band of gain 1 writes no gain: such a document is as it always was.
    EXPECT_EQ(WriteDocument(PassStop()).find("gain"), std::string::npos);
    EXPECT_NE(WriteDocument(sloped).find("\"end_gain\": 2.0"), std::string::npos);
}

const char* const kMinimal = R"({"format": "taplore-design", "version": 1, "rate_hz": 8000,
  "bands": [{"kind": "pass", "low_hz": 0, "high_hz": 1000, "colour": "red"},
            {"kind": "stop", "low_hz": 1500, "high_hz": 4000}],
  "ripple_db": 0.1, "attenuation_db": 60,
  "method": {"name": "equiripple", "length": "fewest", "seed": [1, 2]},
  "project": {"board": "rev B", "ids": [3, null, true]}})";

TEST(Document, UnknownMembersSurviveAReadAndAWrite) {
    const std::string written = WriteDocument(ReadDocument(kMinimal));
    EXPECT_NE(written.find(R"("project": {
    "board": "rev B",)"),
              std::string::npos)
        << written;
    EXPECT_NE(written.find(R"("colour": "red")"), std::string::npos);
    EXPECT_NE(written.find(R"("seed": [)"), std::string::npos);
    EXPECT_EQ(WriteDocument(ReadDocument(written)), written);
}

// kMinimal, or text, with one text replaced by another.
std::string Minimal(const std::string& from, const std::string& to, std::string text = kMinimal) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

struct Refused {
    const char* name;
    std::string text;
    const char* message;
};

TEST(Document, EachFaultIsRefusedWithWhereAndWhy) {
    const std::string slopedPass =
        Minimal(R"("high_hz": 1000,)", R"("high_hz": 1000, "end_gain": 2,)");
    const Refused cases[] = {
        {"newer version", Minimal(R"("version": 1)", R"("version": 2)"),
         "version 2 is newer than this Taplore reads (version 1 and older)"},
        {"not a document", Minimal("taplore-design", "taplore-taps"),
         "format: must be \"taplore-design\", not \"taplore-taps\""},
        {"malformed", Minimal("\"rate_hz\": 8000,", "\"rate_hz\": 8000,,"),
         "line 1, column 60: syntax error while parsing object key"},
        {"truncated", std::string(kMinimal).substr(0, 200), "unexpected end of input"},
        {"empty", "", "line 1, column 1: syntax error"},
        {"NaN edge", Minimal("\"high_hz\": 1000", "\"high_hz\": NaN"),
         "line 2, column 54: syntax error while parsing value - invalid literal"},
        {"infinite edge", Minimal("\"high_hz\": 1000", "\"high_hz\": 1e999"),
         "number overflow parsing '1e999'"},
        {"edge as text", Minimal("\"high_hz\": 1000", "\"high_hz\": \"1000\""),
         "bands[0].high_hz: must be a number, not a string"},
        {"bands an object", Minimal(R"("bands": [)", R"("bands": {"a": )"), "syntax error"},
        {"rate missing", Minimal(R"("rate_hz": 8000,)", ""), "rate_hz: missing"},
        {"rate zero", Minimal(R"("rate_hz": 8000)", R"("rate_hz": 0)"),
         "rate_hz: the rate must be positive and finite"},
        {"edges overlap", Minimal(R"("low_hz": 1500)", R"("low_hz": 900)"), "bands[1]: "},
        {"unknown kind", Minimal(R"("kind": "stop")", R"("kind": "notch")"),
         "bands[1].kind: must be pass, stop or band, not \"notch\""},
        {"kinds mixed",
         Minimal(R"("kind": "stop", "low_hz": 1500, "high_hz": 4000)",
                 R"("kind": "band", "low_hz": 1500, "high_hz": 4000, "gain": 0)"),
         "bands[1]: bands of kind \"band\" must be left out with pass and stop bands"},
        {"unknown method", Minimal(R"("name": "equiripple")", R"("name": "magic")"),
         "method.name: must be equiripple, kaiser"},
        {"length a fraction", Minimal(R"("length": "fewest")", R"("length": 10.5)"),
         "method.length: must be a whole number from 1 to 2147483647, not 10.5"},
        {"window without length", Minimal(R"("name": "equiripple")", R"("name": "hann")"),
         "method.length: the Hann window of these bands needs a length"},
        {"duplicate member",
         Minimal(R"("ripple_db": 0.1,)", R"("ripple_db": 0.1, "ripple_db": 1,)"),
         "the member \"ripple_db\" is given twice"},
        {"tap as text", Minimal(R"("ripple_db")", R"("taps": [0.5, "x"], "ripple_db")"),
         "taps[1]: must be a number, not a string"},
        {"deep", Minimal(R"("board": "rev B")", R"("board": )" + std::string(100, '[')),
         "values nested more than 64 deep"},
        {"not an object", "[1]", "the document: must be an object, not an array"},
        {"kind missing", Minimal(R"("kind": "stop", )", ""), "bands[1].kind: missing"},
        {"note a number", Minimal(R"("ripple_db")", R"("note": 5, "ripple_db")"),
         "note: must be a string, not a number"},
        {"unknown phase",
         Minimal(R"("length": "fewest")", R"("length": "fewest", "phase": "maximum")"),
         "method.phase: must be linear or minimum, not \"maximum\""},
        {"phase a number", Minimal(R"("length": "fewest")", R"("length": "fewest", "phase": 1)"),
         "method.phase: must be a string, not a number"},
        {"minimum phase of bands of any gain", WriteDocument([] {
             DesignDocument d = Bands(ResponseKind::ordinary, 31);
             d.minimumPhase = true;
             return d;
         }()),
         "method.phase: a minimum-phase design keeps pass and stop tolerances, not bands of any "
         "gain"},
        {"stop band with a gain",
         Minimal(R"("high_hz": 4000})", R"("high_hz": 4000, "end_gain": 0})"),
         "bands[1]: a stop band takes no gain"},
        {"pass band with a weight",
         Minimal(R"("high_hz": 1000,)", R"("high_hz": 1000, "weight": 2,)"),
         "bands[0]: a pass or stop band takes no weight"},
        {"sloped pass band of a window",
         Minimal(R"("name": "equiripple")", R"("name": "kaiser")", slopedPass),
         "method.name: equiripple or least-squares keeps the gain 1..2 of bands[0], not kaiser"},
        {"sloped pass band at minimum phase",
         Minimal(R"("length": "fewest")", R"("length": "fewest", "phase": "minimum")", slopedPass),
         "method.phase: a minimum-phase design keeps pass bands of gain 1, not the gain 1..2 of "
         "bands[0]"},
        {"pass band of gain 0", Minimal(R"("high_hz": 1000,)", R"("high_hz": 1000, "gain": 0,)"),
         "bands[0]: a sloped pass band's gains must be above 0"},
    };
    for (const Refused& c : cases) {
        try {
            ReadDocument(c.text);
            ADD_FAILURE() << c.name << " was read";
        } catch (const DocumentError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.name << ": " << e.what();
        }
    }
}

TEST(Document, TenMillionBandsAreRefusedAtTheThousandth) {
    std::string text = R"({"format": "taplore-design", "version": 1, "bands": [)";
    text.reserve(text.size() + 30'000'000);
    for (int i = 0; i < 10'000'000; ++i)
        text += i == 0 ? "{}" : ",{}";
    text += "]}";
    EXPECT_THROW(
        {
            try {
                ReadDocument(text);
            } catch (const DocumentError& e) {
                EXPECT_STREQ(e.what(), "bands: more than 1000 bands");
                throw;
            }
        },
        DocumentError);
}

TEST(Document, AGigabyteFileIsRefusedAfterTheBoundIsRead) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "taplore-document-huge.taplore";
    {
        std::ofstream out(path, std::ios::binary);
        out << std::string(kMaxDocumentBytes + 1, ' ');
    }
    std::filesystem::resize_file(path, std::uintmax_t(1) << 30); // the rest a hole
    try {
        LoadDocument(path.string());
        ADD_FAILURE() << "the file was read";
    } catch (const InputRefused& e) {
        EXPECT_STREQ(e.what(), "more than 16777216 bytes, the most a design document holds");
    }
    std::filesystem::remove(path);
}

} // namespace
