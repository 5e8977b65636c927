// The C arrays are meant to be pasted into firmware: each is compiled by the system's C
// compiler with warnings as errors, linked into a small program that prints what it holds,
// and the printed values are compared with the taps they came from.
#include "core/formats/coef_format.h"
#include "core/formats/fixed_point.h"
#include "shell_output.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

class CompiledArray : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(m_dir); }
    void TearDown() override { fs::remove_all(m_dir); }

    static std::string Shell(const std::string& command) { return ShellOutput(command); }

    // Compiles the array on its own as the user would, then with a main that prints each
    // element through printEach (a C statement using fir_coefficients[i]) and returns the lines.
    std::vector<std::string> CompileAndPrint(const std::string& array,
                                             const std::string& printEach) {
        const fs::path source = m_dir / "taps.c", driver = m_dir / "print.c";
        std::ofstream(source, std::ios::binary) << array;
        std::ofstream(driver, std::ios::binary)
            << "#include <math.h>\n#include <stdio.h>\n#include <string.h>\n#include \"taps.c\"\n"
               "int main(void) {\n"
               "    for (size_t i = 0; i < sizeof fir_coefficients / sizeof *fir_coefficients; "
               "++i) {\n"
               "        "
            << printEach << "\n    }\n    return 0;\n}\n";
        const std::string cc = "cd " + m_dir.string() + " && cc -std=c99 -Wall -Werror ";
        EXPECT_EQ(Shell(cc + "-c taps.c -o taps.o 2>&1"), "");
        Shell(cc + "print.c -o print 2>&1");
        std::vector<std::string> lines;
        std::istringstream in(Shell((m_dir / "print").string()));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    const fs::path m_dir = fs::temp_directory_path() / ("taplore_c_" + std::to_string(getpid()));
};

std::uint64_t Bits(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

// Values a text formatter easily gets wrong: an exponent without a point, a signed zero,
// extremes of range, and the non-finite values spelt with <math.h> names.
TEST_F(CompiledArray, DoubleTapsReadBackBitForBit) {
    const std::vector<double> taps = {1e22,
                                      -0.0,
                                      1e-300,
                                      0.1,
                                      -1.0,
                                      3.0,
                                      std::numeric_limits<double>::max(),
                                      std::numeric_limits<double>::denorm_min(),
                                      -std::numeric_limits<double>::infinity(),
                                      std::numeric_limits<double>::infinity()};
    const auto lines = CompileAndPrint(
        FormatCoefficientsC(taps.data(), static_cast<int>(taps.size()),
                            taplore::DescribeRequest({511, 8000, 400, 2400})),
        "unsigned long long bits; memcpy(&bits, &fir_coefficients[i], sizeof bits); "
        "printf(\"%llu\\n\", bits);");
    ASSERT_EQ(lines.size(), taps.size());
    for (std::size_t k = 0; k < taps.size(); ++k)
        EXPECT_EQ(lines[k], std::to_string(Bits(taps[k]))) << taps[k];
}

TEST_F(CompiledArray, FixedPointTapsReadBackEqualInBothFormats) {
    std::shared_ptr<double[]> coef;
    int count = 0;
    ASSERT_EQ(DesignFilter(coef, count, 511, 0.1, 0.6), 511);
    // The design's own taps, then both ends of each range.
    std::vector<double> taps(coef.get(), coef.get() + count);
    taps.insert(taps.end(), {1.0, -1.0, 0.5, -0.5});
    for (const QFormat format : {QFormat::q15, QFormat::q31}) {
        const FixedPointTaps q = Quantise(taps.data(), static_cast<int>(taps.size()), format);
        const auto lines = CompileAndPrint(
            FormatFixedPointC(taps.data(), q, taplore::DescribeRequest({511, 8000, 400, 2400})),
            "printf(\"%ld\\n\", (long)fir_coefficients[i]);");
        ASSERT_EQ(lines.size(), q.values.size());
        for (std::size_t k = 0; k < lines.size(); ++k)
            ASSERT_EQ(lines[k], std::to_string(q.values[k])) << QFormatName(format) << " " << k;
    }
}

} // namespace
