// The exports as their readers see them: COE and MIF parsed field by field by strict readers
// written from the two formats' rules, the description in each format's own comments, CSV and
// JSON texts, CMSIS's limits, and the table every front-end loops over.
#include "core/design/fir_design.h"
#include "core/formats/exports/export.h"
#include "core/formats/fixed_point.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace taplore;

std::string Write(std::string_view name, const std::vector<double>& taps,
                  const TapsDescription& description, QFormat width = QFormat::q15,
                  int blockSize = kDefaultBlockSize) {
    const ExportFormat* format = FindExportFormat(name);
    EXPECT_NE(format, nullptr) << name;
    std::optional<FixedPointTaps> q;
    if (const auto qFormat = ExportQFormat(*format, width))
        q = Quantise(taps.data(), static_cast<int>(taps.size()), *qFormat);
    return format->write({taps, q ? &*q : nullptr, description, blockSize});
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Each width's edges: the most negative value, the largest, and what saturates to them.
std::vector<double> EdgeTaps(const std::vector<double>& design) {
    std::vector<double> taps = design;
    taps.insert(taps.end(), {-1.0, 1.0, -2.0, 0.5, -0.5, 0.0});
    return taps;
}

const TapsDescription kStartUp{
    "band-pass, order 511, rate 8000 Hz, cutoffs 400 Hz and 2400 Hz", {}, 8000};

std::vector<double> StartUpTaps() {
    std::shared_ptr<double[]> coef;
    int count = 0;
    EXPECT_EQ(DesignFilter(coef, count, 511, 0.1, 0.6), 511);
    return {coef.get(), coef.get() + count};
}

// A COE file by Xilinx's rules: ";" comments, "radix=10;", then "coefdata=" and decimal
// integers separated by commas up to a closing semicolon. Every value must fit the width.
std::vector<std::int32_t> ReadCoeStrictly(const std::string& text, int bits) {
    const auto lines = Lines(text);
    std::size_t i = 0;
    while (i < lines.size() && lines[i].starts_with(";"))
        ++i;
    EXPECT_EQ(lines.at(i++), "radix=10;");
    EXPECT_EQ(lines.at(i++), "coefdata=");
    std::vector<std::int32_t> values;
    const std::regex value(R"((-?[0-9]+)([,;]))");
    const std::int64_t limit = std::int64_t{1} << (bits - 1);
    for (; i < lines.size(); ++i) {
        std::smatch match;
        EXPECT_TRUE(std::regex_match(lines[i], match, value)) << lines[i];
        const std::int64_t v = std::stoll(match[1]);
        EXPECT_TRUE(v >= -limit && v < limit) << v;
        values.push_back(static_cast<std::int32_t>(v));
        if (match[2] == ";") {
            EXPECT_EQ(i + 1, lines.size()) << "text after the closing semicolon";
            break;
        }
    }
    return values;
}

// A MIF file by Intel's rules: "--" comments, WIDTH and DEPTH, the two radixes, and CONTENT
// BEGIN ... END; with one "address : data;" a line, addresses counting from 0, data in exactly
// as many hex digits as the width needs, read as its two's complement.
std::vector<std::int32_t> ReadMifStrictly(const std::string& text, int bits) {
    const auto lines = Lines(text);
    std::size_t i = 0;
    while (i < lines.size() && lines[i].starts_with("--"))
        ++i;
    EXPECT_EQ(lines.at(i++), "WIDTH=" + std::to_string(bits) + ";");
    std::smatch match;
    EXPECT_TRUE(std::regex_match(lines.at(i++), match, std::regex(R"(DEPTH=([0-9]+);)")));
    const std::size_t depth = std::stoul(match[1]);
    EXPECT_EQ(lines.at(i++), "");
    EXPECT_EQ(lines.at(i++), "ADDRESS_RADIX=UNS;");
    EXPECT_EQ(lines.at(i++), "DATA_RADIX=HEX;");
    EXPECT_EQ(lines.at(i++), "");
    EXPECT_EQ(lines.at(i++), "CONTENT BEGIN");
    const std::regex row("    ([0-9]+) : ([0-9A-F]{" + std::to_string((bits + 3) / 4) + "});");
    std::vector<std::int32_t> values;
    for (; i < lines.size() && lines[i] != "END;"; ++i) {
        EXPECT_TRUE(std::regex_match(lines[i], match, row)) << lines[i];
        EXPECT_EQ(std::stoul(match[1]), values.size());
        const std::uint64_t word = std::stoull(match[2], nullptr, 16);
        EXPECT_LT(word, std::uint64_t{1} << bits) << lines[i];
        const bool negative = word >> (bits - 1) & 1;
        values.push_back(static_cast<std::int32_t>(
            negative ? static_cast<std::int64_t>(word) - (std::int64_t{1} << bits) : word));
    }
    EXPECT_EQ(lines.at(i), "END;");
    EXPECT_EQ(i + 1, lines.size());
    EXPECT_EQ(values.size(), depth);
    return values;
}

TEST(Exports, CoeAndMifHoldEveryQuantisedTapAtEveryWidth) {
    const std::vector<double> taps = EdgeTaps(StartUpTaps());
    for (const QFormat width : {QFormat{2, 1}, QFormat{8, 7}, QFormat{18, 17}, QFormat{25, 24},
                                QFormat::q31, QFormat{16, 12}}) {
        const FixedPointTaps q = Quantise(taps.data(), static_cast<int>(taps.size()), width);
        EXPECT_EQ(ReadCoeStrictly(Write("coe", taps, kStartUp, width), width.bits), q.values)
            << QFormatName(width);
        EXPECT_EQ(ReadMifStrictly(Write("mif", taps, kStartUp, width), width.bits), q.values)
            << QFormatName(width);
    }
}

// What a user sees first: the design named in the format's own comments, with the width's
// note for the integer formats.
TEST(Exports, EachCarriesTheDescriptionInItsOwnComments) {
    const std::vector<double> taps = StartUpTaps();
    const std::string title = "band-pass, order 511, rate 8000 Hz, cutoffs 400 Hz and 2400 Hz";
    const std::string note = "Q15 (tap x 32768, rounded, saturated): 0 taps saturated, response "
                             "within -65.7 dB of the double design";
    const std::pair<const char*, std::vector<std::string>> heads[] = {
        {"coe", {"; " + title, "; " + note, "; 511 taps of 16 bits, h[0] first"}},
        {"mif", {"-- " + title, "-- " + note, "WIDTH=16;"}},
        {"vhdl", {"-- " + title, "-- " + note, "library ieee;"}},
        {"verilog", {"// " + title, "// " + note, "localparam integer FIR_TAP_COUNT = 511;"}},
        {"cmsis-q15", {"// " + title, "// " + note}},
        {"cmsis-f32",
         {"// " + title, "// For arm_fir_f32(): the taps last first, as the "
                         "library's FIR routines take them."}},
        {"csv", {"index,\"" + title + "\"", "0,9.986192645205952e-05"}},
        {"json",
         {"{", "  \"design\": \"" + title + "\",", "  \"notes\": [],", "  \"rate\": 8000,",
          "  \"count\": 511,", "  \"taps\": [", "    9.986192645205952e-05,"}},
    };
    for (const auto& [name, head] : heads) {
        const auto lines = Lines(Write(name, taps, kStartUp));
        for (std::size_t i = 0; i < head.size(); ++i)
            EXPECT_EQ(lines.at(i), head[i]) << name;
    }
}

// A description read back from someone's file may hold anything: no text of it may end a
// comment, continue it onto the next line or break the quoting of CSV and JSON.
TEST(Exports, ADescriptionCannotBreakOutOfItsComment) {
    const TapsDescription hostile{"a \"quoted\" name\\ ?"
                                  "?/",
                                  {"second\nline\r*/ -- x"},
                                  48000};
    const std::vector<double> taps = {0.25, 0.5, 0.25};
    EXPECT_EQ(Lines(Write("cmsis-q31", taps, hostile))[0], "// a \"quoted\" name/ ? ?/");
    EXPECT_EQ(Lines(Write("vhdl", taps, hostile))[1], "-- second line * / -- x");
    EXPECT_EQ(Lines(Write("csv", taps, hostile))[0],
              "index,\"a \"\"quoted\"\" name/ ? ?/; second line * / -- x\"");
    EXPECT_EQ(Lines(Write("c", taps, hostile))[1], " * second line * / -- x */");
    const std::string json = Write("json", taps, hostile);
    EXPECT_NE(json.find("\"design\": \"a \\\"quoted\\\" name\\\\ ?"
                        "?/\""),
              std::string::npos);
    EXPECT_NE(json.find("\"notes\": [\"second\\nline\\r*/ -- x\"]"), std::string::npos);
}

TEST(Exports, CmsisQ15PadsToAnEvenCountAndEveryTargetRefusesMoreTapsThanItsCounter) {
    const std::string q15 = Write("cmsis-q15", {0.5}, kStartUp, QFormat::q15, 64);
    EXPECT_NE(q15.find("#define FIR_NUM_TAPS 4\n#define FIR_BLOCK_SIZE 64\n"), std::string::npos);
    EXPECT_NE(q15.find("= {\n    0,\n    0,\n    0,\n    16384,\n};"), std::string::npos);
    EXPECT_NE(q15.find("after 3 zero taps that make their count even"), std::string::npos);
    const std::string q31 = Write("cmsis-q31", {0.5, -1.0, 0.25}, kStartUp);
    EXPECT_NE(q31.find("= {\n    536870912,\n    INT32_MIN,\n    1073741824,\n};"),
              std::string::npos);
    const std::vector<double> many(65536, 0.0);
    for (const char* name : {"cmsis-q15", "cmsis-q31", "cmsis-f32"}) {
        try {
            Write(name, many, kStartUp);
            ADD_FAILURE() << name;
        } catch (const ExportRefused& e) {
            EXPECT_STREQ(e.what(), "CMSIS-DSP's FIR filters take at most 65535 taps, not 65536.");
        }
    }
    EXPECT_NO_THROW(Write("cmsis-q31", std::vector<double>(65535, 0.0), kStartUp));
}

// --format's text: a name, and a width after a colon only where the width is chosen.
TEST(Exports, AFormatChoiceNamesAWidthOnlyWhereItIsChosen) {
    const auto q = ParseFormatChoice("q:18.20");
    ASSERT_TRUE(q);
    EXPECT_EQ(q->format->name, "q");
    EXPECT_EQ(q->width, (QFormat{18, 20}));
    EXPECT_EQ(ParseFormatChoice("coe:25")->width, (QFormat{25, 24}));
    EXPECT_EQ(ParseFormatChoice("vhdl")->width, std::nullopt);
    for (const char* bad : {"q:", "q:1", "q:33", "q15:16", "json:18", "xml", "", ":16", "q:16:1"})
        EXPECT_EQ(ParseFormatChoice(bad), std::nullopt) << bad;
}

} // namespace
