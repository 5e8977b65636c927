// Taps read back: what every writer wrote comes back (bit for bit where the text holds every
// bit), and each kind of bad file gets its own message naming the line.
#include "core/design/fir_design.h"
#include "core/formats/coef_file.h"
#include "core/formats/coef_format.h"
#include "core/formats/exports/export.h"
#include "core/formats/fixed_point.h"
#include "core/formats/taps_reader.h"

#include "tap_bits.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace taplore;

// The start-up design and the values a number text most easily gets wrong.
std::vector<double> AwkwardTaps() {
    std::shared_ptr<double[]> coef;
    int count = 0;
    EXPECT_EQ(DesignFilter(coef, count, 511, 0.1, 0.6), 511);
    std::vector<double> taps(coef.get(), coef.get() + count);
    taps.insert(taps.end(), {-0.0, 1e22, 0.1, -1.0, std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::denorm_min(), 1e-300});
    return taps;
}

const TapsDescription kDescription{"band-pass, order 511, rate 8000 Hz, cutoffs 400 Hz and "
                                   "2400 Hz",
                                   {"a note"},
                                   8000};

std::string Export(std::string_view name, const std::vector<double>& taps) {
    return FindExportFormat(name)->write({taps, nullptr, kDescription, kDefaultBlockSize});
}

TEST(TapsReader, FullJsonAndCsvComeBackBitForBit) {
    const std::vector<double> taps = AwkwardTaps();
    const int count = static_cast<int>(taps.size());
    EXPECT_EQ(Bits(ReadTaps(FormatCoefficientsFull(taps.data(), count)).taps), Bits(taps));
    const TapsFile json = ReadTaps(Export("json", taps));
    EXPECT_EQ(Bits(json.taps), Bits(taps));
    EXPECT_EQ(json.description.title, kDescription.title);
    EXPECT_EQ(json.description.notes, kDescription.notes);
    EXPECT_EQ(json.description.rate, 8000);
    const TapsFile csv = ReadTaps(Export("csv", taps));
    EXPECT_EQ(Bits(csv.taps), Bits(taps));
    EXPECT_EQ(csv.description.title, kDescription.title + "; a note");
    // Taps read back without a rate export without one, and read back again.
    const TapsDescription unknownRate{"read back", {}, 0.0};
    const std::string text =
        FindExportFormat("json")->write({taps, nullptr, unknownRate, kDefaultBlockSize});
    EXPECT_EQ(text.find("\"rate\""), std::string::npos);
    EXPECT_EQ(Bits(ReadTaps(text).taps), Bits(taps));
}

TEST(TapsReader, TheSavedFileAndFixedPointTextsComeBackAsTheyWereWritten) {
    const std::vector<double> taps = AwkwardTaps();
    const std::vector<double> design(taps.begin(), taps.begin() + 511);
    const std::string saved = FormatCoefficientText(design.data(), 511);
    const std::vector<double> read = ReadTaps(saved).taps;
    EXPECT_EQ(FormatCoefficientText(read.data(), static_cast<int>(read.size())), saved);
    for (const QFormat format : {QFormat::q15, QFormat::q31, QFormat{18, 17}, QFormat{2, 1}}) {
        const FixedPointTaps q = Quantise(taps.data(), static_cast<int>(taps.size()), format);
        const TapsFile file = ReadTaps(FormatFixedPoint(q), {format});
        EXPECT_EQ(file.taps, Dequantise(q)) << QFormatName(format);
        EXPECT_EQ(Quantise(file.taps.data(), static_cast<int>(file.taps.size()), format).values,
                  q.values);
        // Without the width the integers are read as the numbers they are.
        EXPECT_EQ(ReadTaps(FormatFixedPoint(q)).taps.front(), q.values.front());
    }
}

TEST(TapsReader, TakesWhatHandsAndOtherProgramsWrite) {
    const std::pair<const char*, std::vector<double>> good[] = {
        {"\xEF\xBB\xBF"
         "0.5\r\n\r\n  -0.25  \r\n",
         {0.5, -0.25}},
        {"+1.5\n1d-3\n.5\n5.\n", {1.5, 1e-3, 0.5, 5.0}},
        {"tap\n0.5\n0.25\n", {}}, // one column with a header is no CSV: refused below
        {"index,tap\n0, 0.5\n1,0.25\n", {0.5, 0.25}},
        {"0.5,\n", {}},
        {"\"design, quoted\"\n0.5\n", {0.5}},
        {" { \"rate\": 1e3, \"extra\": {\"a\": [true, false, null, \"\\u00e9\\ud83d\\ude00\"]},"
         " \"taps\": [ -0 , 2.5E-1 ] } ",
         {-0.0, 0.25}},
    };
    for (const auto& [text, taps] : good) {
        if (taps.empty()) {
            EXPECT_THROW(ReadTaps(text), TapsFileError) << text;
            continue;
        }
        EXPECT_EQ(Bits(ReadTaps(text).taps), Bits(taps)) << text;
    }
    EXPECT_EQ(ReadTaps("{\"taps\": [1], \"rate\": 1e3}").description.rate, 1000);
}

TEST(TapsReader, BadFilesSayWhereAndWhat) {
    struct Case {
        std::string text;
        std::string message;
        TapsReading reading = {};
    };
    const Case cases[] = {
        {"", "no taps: the file holds no number"},
        {" \r\n\r\n", "no taps: the file holds no number"},
        {"0.1\n0.2\n0.3\n0.4\n0.5\n0.6\n0.1x\n", "line 7: \"0.1x\" is not a number"},
        {"0.5\nnan\n", "line 2: \"nan\" is not a finite number"},
        {"1e999\n", "line 1: \"1e999\" is beyond the range of a double"},
        {"\x01\x02\xff"
         "abc\n",
         "line 1: \"???abc\" is not a number"},
        {std::string(100, '7') + "x", "line 1: \"7777777777777777777777777777777777777777...\" is "
                                      "not a number"},
        {"1\n2\n3\n4\n", "line 4: more than 3 taps", {std::nullopt, 3}},
        {"32768\n", "line 1: 32768 is outside Q15, -32768 to 32767", {QFormat::q15}},
        {"0.5\n", "line 1: \"0.5\" is not an integer of Q17 in 18 bits", {QFormat{18, 17}}},
        {"index,tap\n0,0.5\n2,0.25\n", "line 3: index \"2\" where 1 was expected"},
        {"0,0.5,1\n", "line 1: 3 fields where index and tap were expected"},
        {"index,\"open\n", "line 1: a quote that is not closed"},
        {"{\"taps\": [0.5, nan]}", "line 1: expected a value"},
        {"{\"taps\": [0.5, \"inf\"]}", "line 1: \"inf\" is not a finite number"},
        {"{\n\"taps\": [0.5,\n 0.25\n}", "line 4: expected \",\" or \"]\" in \"taps\""},
        {"{\"design\": \"x\"}", "line 1: no \"taps\" array in the JSON object"},
        {"{\"taps\": [1]} x", "line 1: text after the JSON object"},
        {"{\"taps\": []}", "no taps: the file holds no number"},
        {"{\"taps\": [1], \"design\": 5}", "line 1: \"design\" must be a string"},
        {"{\"taps\": [1], \"x\": \"\\ud800\"}", "line 1: half a surrogate pair in a string"},
        {"{\"x\": " + std::string(100, '['), "line 1: values nested more than 64 deep"},
        {"{\"taps\": [1, 2, 3]}", "line 1: more than 2 taps", {std::nullopt, 2}},
    };
    for (const Case& c : cases) {
        try {
            ReadTaps(c.text, c.reading);
            ADD_FAILURE() << c.text;
        } catch (const TapsFileError& e) {
            EXPECT_EQ(e.what(), c.message) << c.text;
        }
    }
}

} // namespace
