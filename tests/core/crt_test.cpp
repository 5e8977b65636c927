#include "core/formats/crt.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <random>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

std::string Printf(const char* format, double value) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// Compared as bit patterns, so that -0.0 and 0.0 differ.
std::uint64_t Bits(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

TEST(Atoi, ReadsSignAndDigitsAndWrapsIn32Bits) {
    const std::pair<std::string_view, int> cases[] = {
        {" \t\n\v\f\r42x", 42},
        {"+7", 7},
        {"-0012", -12},
        {"12 34", 12},
        {"1e3", 1},
        {"0x10", 0},
        {"", 0},
        {"- 5", 0},
        {"+-5", 0},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MIN},
        {"-2147483649", INT_MAX},
        {"4294967297", 1},
        {"100000000000000000000", 1661992960}, // 10^20 mod 2^32
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(expected, crt::Atoi(text)) << '"' << text << '"';
    EXPECT_EQ(123, crt::Atoi(std::string_view("123456").substr(0, 3)));
}

TEST(Atof, ReadsDecimalNumbersWithoutInfNanOrHexadecimal) {
    const std::pair<std::string_view, double> cases[] = {
        {"     0.0", 0.0},
        {"  2400.0", 2400.0},
        {"\t-3.25e1x", -32.5},
        {"+.5", 0.5},
        {"5.", 5.0},
        {"1.5.3", 1.5},
        {"2,5", 2.0},
        {"0.1", 0.1},
        {"1d3", 1000.0},
        {"2D-2", 0.02},
        {"1E+2", 100.0},
        {"1e", 1.0},
        {"1e+", 1.0},
        {"1 e5", 1.0},
        {".", 0.0},
        {"-.", 0.0},
        {".e5", 0.0},
        {"", 0.0},
        {"+-1", 0.0},
        {"0x10", 0.0},
        {"inf", 0.0},
        {"-inf", 0.0},
        {"nan", 0.0},
        {"-0", -0.0},
        {"1e400", kInf},
        {"-1e400", -kInf},
        {"1.8e308", kInf},
        {"1e-400", 0.0},
        {"-1e-400", -0.0},
        {"2e-324", 0.0},
        {"0e99999999999999999999", 0.0},
        {"1e99999999999999999999", kInf},
        // 10^19 wraps to a negative exponent in 64 bits.
        {"1e10000000000000000000", kInf},
        {"-1e-10000000000000000000", -0.0},
        {"1e0000000000000000000000002", 100.0},
        {"-1e-99999999999999999999", -0.0},
        {"1.7976931348623157e308", DBL_MAX},
        {"3e-324", std::numeric_limits<double>::denorm_min()},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Bits(expected), Bits(crt::Atof(text))) << '"' << text << '"';
}

// Arguments are read strictly: the whole text must be one number, which then has the bits the
// dialog's lenient rules would give it.
TEST(StrictNumbers, WholeNumbersReadAsAtoiAndAtofReadThem) {
    for (const std::string_view text : {"0", "+7", "-12", "007", "2147483647", "-2147483648"})
        EXPECT_EQ(crt::StrictAtoi(text), crt::Atoi(text)) << '"' << text << '"';
    for (const std::string_view text :
         {"8000", "8d3", "2D-2", "1E+2", "-.5", "5.", "0.1", "-0", "1e400", "3e-324"})
        EXPECT_EQ(Bits(crt::StrictAtof(text).value_or(kNan)), Bits(crt::Atof(text)))
            << '"' << text << '"';
}

TEST(StrictNumbers, AnythingElseIsRefused) {
    for (const std::string_view text : {"", " 5", "5 ", "5x", "1e3", "1.0", "-", "+-1", "0x10",
                                        "2147483648", "-2147483649", "99999999999999999999"})
        EXPECT_EQ(crt::StrictAtoi(text), std::nullopt) << '"' << text << '"';
    for (const std::string_view text :
         {"", " 5", "5 ", "5x", "1e", "1e+", ".", "-", "+-1", "1.5.3", "2,5", "inf", "nan", "0x10"})
        EXPECT_EQ(crt::StrictAtof(text), std::nullopt) << '"' << text << '"';
}

TEST(Atof, RoundsLongMantissasCorrectly) {
    // 2^53 + 1 lies halfway between two doubles: the tie goes to the even one, but the
    // smallest excess in a far digit rounds up.
    EXPECT_EQ(0x1p53, crt::Atof("9007199254740993"));
    EXPECT_EQ(0x1p53 + 2, crt::Atof("9007199254740993." + std::string(380, '0') + "1"));
    EXPECT_EQ(1.0 / 3.0, crt::Atof("0." + std::string(399, '3')));
    EXPECT_EQ(1.0, crt::Atof("0." + std::string(399, '0') + "1e400"));
    EXPECT_EQ(1.0, crt::Atof("1" + std::string(399, '0') + "e-399"));
    EXPECT_EQ(kInf, crt::Atof(std::string(400, '9')));
}

TEST(Atof, ReadsBackRandomDoublesFromTheirPrintfTexts) {
    std::mt19937_64 random(20240601);
    for (int i = 0; i < 20000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!std::isfinite(value))
            continue;
        std::string withD = Printf("%.16E", value);
        withD[withD.find('E')] = 'D';
        ASSERT_EQ(Bits(value), Bits(crt::Atof(Printf("%.17g", value)))) << withD;
        ASSERT_EQ(Bits(value), Bits(crt::Atof(withD))) << withD;
    }
}

TEST(Format, WritesKnownTexts) {
    EXPECT_EQ("-0.000000", crt::FormatF(-0.0));
    EXPECT_EQ("-0.250000", crt::FormatF(-0.25));
    EXPECT_EQ("0.007812", crt::FormatF(0.0078125)); // an exact tie rounds to even
    EXPECT_EQ("1180591620717411303424.000000", crt::FormatF(0x1p70));
    EXPECT_EQ(309u + 7u, crt::FormatF(DBL_MAX).size());
    EXPECT_EQ("-inf", crt::FormatF(-kInf));
    EXPECT_EQ("nan", crt::FormatF(-kNan));
    EXPECT_EQ("     0.0", crt::FormatF8_1(0.0));
    EXPECT_EQ("    -1.2", crt::FormatF8_1(-1.25));
    EXPECT_EQ("123456789.0", crt::FormatF8_1(123456789.0));
    EXPECT_EQ("     inf", crt::FormatF8_1(kInf));
    EXPECT_EQ("     nan", crt::FormatF8_1(kNan));
    EXPECT_EQ("-2147483648", crt::FormatD(INT_MIN));
    std::string appended = "h:";
    crt::AppendF(appended, 1.0);
    crt::AppendF(appended, -kNan);
    EXPECT_EQ("h:1.000000nan", appended);

    std::string g17;
    for (const double value : {0.1, -0.0, 1e-5, -kInf, -kNan})
        crt::AppendG17(g17 += ' ', value);
    EXPECT_EQ(" 0.10000000000000001 -0 1.0000000000000001e-05 -inf nan", g17);
    EXPECT_EQ("0.1", crt::FormatShortest(0.1));
    EXPECT_EQ("-7.8125", crt::FormatShortest(-7.8125));
    EXPECT_EQ("nan", crt::FormatShortest(-kNan));
}

// printf in the C locale is an independent implementation of the same formats.
TEST(Format, MatchesPrintfForRandomDoubles) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> coefficient(-2.0, 2.0);
    std::uniform_int_distribution<std::int64_t> numerator(-(std::int64_t{1} << 40),
                                                          std::int64_t{1} << 40);
    std::uniform_int_distribution<int> power(1, 40);
    for (int i = 0; i < 20000; ++i) {
        const double values[] = {
            std::bit_cast<double>(random()), coefficient(random),
            std::ldexp(static_cast<double>(numerator(random)), -power(random)), // exact ties
        };
        for (const double value : values) {
            if (!std::isfinite(value))
                continue;
            ASSERT_EQ(Printf("%f", value), crt::FormatF(value)) << std::hexfloat << value;
            ASSERT_EQ(Printf("%8.1f", value), crt::FormatF8_1(value)) << std::hexfloat << value;
            std::string g17;
            crt::AppendG17(g17, value);
            ASSERT_EQ(Printf("%.17g", value), g17) << std::hexfloat << value;
            ASSERT_EQ(Bits(value), Bits(crt::Atof(crt::FormatShortest(value))));
        }
    }
}

#ifdef _WIN32
// Switches the whole process to German numbers ("," as decimal point) while it lives; Windows
// has every locale, under names of its own.
class GermanLocale {
public:
    GermanLocale() : m_active(std::setlocale(LC_ALL, "German_Germany.1252") != nullptr) {}
    ~GermanLocale() { std::setlocale(LC_ALL, "C"); }
    bool Active() const { return m_active; }

private:
    bool m_active;
};
#else
// Switches the whole process to German numbers ("," as decimal point) while it lives: an
// installed locale if there is one, otherwise one compiled for the test with localedef.
class GermanLocale {
public:
    GermanLocale() : m_active(TrySet("de_DE.UTF-8") || TryCompiled()) {}
    ~GermanLocale() {
        std::setlocale(LC_ALL, "C");
        if (!m_compiledIn.empty()) {
            unsetenv("LOCPATH");
            std::filesystem::remove_all(m_compiledIn);
        }
    }
    bool Active() const { return m_active; }

private:
    static bool TrySet(const char* name) {
        return std::setlocale(LC_ALL, name) &&
               std::localeconv()->decimal_point == std::string_view(",");
    }

    bool TryCompiled() {
        char folder[] = "/tmp/taplore-locale-XXXXXX";
        if (!mkdtemp(folder))
            return false;
        m_compiledIn = folder;
        const std::string command = "localedef -i de_DE -f ISO-8859-1 " + m_compiledIn + "/de_DE";
        if (std::system((command + " >/dev/null 2>&1").c_str()) == -1)
            return false;
        setenv("LOCPATH", folder, 1);
        return TrySet("de_DE");
    }

    std::string m_compiledIn;
    bool m_active;
};
#endif

TEST(NumberTexts, IgnoreTheProcessLocale) {
    const GermanLocale german;
    if (!german.Active())
        GTEST_SKIP() << "no German locale available";
    ASSERT_EQ("2,5", Printf("%.1f", 2.5)) << "the locale did not take effect";
    EXPECT_EQ(2.5, crt::Atof("2.5"));
    EXPECT_EQ(2.0, crt::Atof("2,5"));
    EXPECT_EQ("-1234.500000", crt::FormatF(-1234.5));
    EXPECT_EQ("  2400.0", crt::FormatF8_1(2400.0));
    EXPECT_EQ("-1234567", crt::FormatD(-1234567));
}

} // namespace
