// The decimator's and interpolator's C, compiled and run through a plain loop written from
// CMSIS-DSP's documented conventions (coefficients last first; a decimator's state of
// numTaps + blockSize - 1 samples filled a block at a time; an interpolator's phases of
// numTaps / L taps over a state of phaseLength + blockSize - 1), must give what direct
// filtering gives: every M-th output, or the filtered zero-stuffed input.
#include "core/formats/exports/export.h"
#include "core/formats/exports/phases.h"
#include "core/formats/fixed_point.h"
#include "core/formats/taps_description.h"
#include "shell_output.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace taplore;

constexpr int kBlocks = 4;

// The library's loops as its documentation describes them, through the instance written.
constexpr const char* kDecimatorLoop = R"(
    for (int b = 0; b < BLOCKS; ++b) {
        for (int i = 0; i < FIR_BLOCK_SIZE; ++i)
            fir_instance.pState[fir_instance.numTaps - 1 + i] = input[b * FIR_BLOCK_SIZE + i];
        for (int o = 0; o < FIR_BLOCK_SIZE / fir_instance.M; ++o) {
            double sum = 0;
            for (int k = 0; k < fir_instance.numTaps; ++k)
                sum += (double)fir_instance.pState[o * fir_instance.M + k] *
                       (double)fir_instance.pCoeffs[k];
            printf("%.17g\n", sum);
        }
        memmove(fir_instance.pState, fir_instance.pState + FIR_BLOCK_SIZE,
                (fir_instance.numTaps - 1) * sizeof *fir_instance.pState);
    }
)";

constexpr const char* kInterpolatorLoop = R"(
    const int length = fir_instance.phaseLength, factor = fir_instance.L;
    for (int b = 0; b < BLOCKS; ++b) {
        for (int i = 0; i < FIR_BLOCK_SIZE; ++i)
            fir_instance.pState[length - 1 + i] = input[b * FIR_BLOCK_SIZE + i];
        for (int i = 0; i < FIR_BLOCK_SIZE; ++i)
            for (int j = 0; j < factor; ++j) {
                double sum = 0;
                for (int t = 0; t < length; ++t)
                    sum += (double)fir_instance.pState[i + t] *
                           (double)fir_instance.pCoeffs[factor - 1 - j + t * factor];
                printf("%.17g\n", sum);
            }
        memmove(fir_instance.pState, fir_instance.pState + FIR_BLOCK_SIZE,
                (length - 1) * sizeof *fir_instance.pState);
    }
)";

// Small integers, so that every product and sum of the fixed-point taps is exact in a double.
std::vector<double> Input(int count) {
    std::vector<double> x(static_cast<std::size_t>(count));
    for (int n = 0; n < count; ++n)
        x[n] = (n * 37 + 11) % 201 - 100;
    return x;
}

// Taps of no symmetry, so that a reversed or misaligned coefficient shows.
std::vector<double> Taps(int count) {
    std::vector<double> taps(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k)
        taps[k] = 0.9 * ((k * 53 + 7) % 97) / 97.0 - 0.45;
    return taps;
}

// The taps as the C holds them: the integers, or the floats.
std::vector<double> Written(const ExportFormat& format, const std::vector<double>& taps) {
    const auto width = ExportQFormat(format, QFormat::q15);
    if (!width)
        return WrittenTaps(format, taps, nullptr);
    const FixedPointTaps q = Quantise(taps.data(), static_cast<int>(taps.size()), *width);
    return {q.values.begin(), q.values.end()};
}

// Direct filtering of the input, or of the input with factor - 1 zeros after each sample,
// keeping every factor-th output of a decimator.
std::vector<double> Direct(const std::vector<double>& h, const std::vector<double>& x,
                           const RateFactor& change) {
    const int high =
        change.decimates ? static_cast<int>(x.size()) : static_cast<int>(x.size()) * change.factor;
    auto at = [&](int m) {
        if (change.decimates)
            return x[m];
        return m % change.factor == 0 ? x[m / change.factor] : 0.0;
    };
    std::vector<double> y;
    for (int m = 0; m < high; m += change.decimates ? change.factor : 1) {
        double sum = 0;
        for (int k = 0; k < static_cast<int>(h.size()) && k <= m; ++k)
            sum += h[k] * at(m - k);
        y.push_back(sum);
    }
    return y;
}

struct Case {
    const char* format;
    RateFactor change;
    int taps, blockSize;
};

class CmsisRateChange : public testing::TestWithParam<Case> {
protected:
    void SetUp() override { fs::create_directories(m_dir); }
    void TearDown() override { fs::remove_all(m_dir); }

    // The loop over the instance the names (a plan's stage: "#define fir_instance ...") point
    // the loop's names at.
    std::vector<double> Run(const std::string& exported, const std::vector<double>& x,
                            bool decimates, const std::string& names = {}) {
        std::ofstream(m_dir / "taps.c", std::ios::binary) << exported;
        std::ostringstream driver;
        driver << "#include <stdio.h>\n#include <string.h>\n#include \"taps.c\"\n"
               << names << "#define BLOCKS " << kBlocks << "\nstatic const double input[] = {";
        for (double v : x)
            driver << v << ",";
        driver << "};\nint main(void) {" << (decimates ? kDecimatorLoop : kInterpolatorLoop)
               << "    return 0;\n}\n";
        std::ofstream(m_dir / "run.c", std::ios::binary) << driver.str();
        const std::string cc = "cd " + m_dir.string() + " && cc -std=c99 -Wall -Werror ";
        EXPECT_EQ(ShellOutput(cc + "-c taps.c -o taps.o 2>&1"), "");
        ShellOutput(cc + "run.c -o run 2>&1");
        std::vector<double> y;
        std::istringstream in(ShellOutput((m_dir / "run").string()));
        for (double v; in >> v;)
            y.push_back(v);
        return y;
    }

    const fs::path m_dir = fs::temp_directory_path() / ("taplore_rc_" + std::to_string(getpid()));
};

TEST_P(CmsisRateChange, LibraryLoopEqualsDirectFiltering) {
    const Case& c = GetParam();
    const ExportFormat& format = *FindExportFormat(c.format);
    const std::vector<double> taps = Taps(c.taps);
    const std::vector<double> x = Input(kBlocks * c.blockSize);
    const std::string exported =
        ExportText(format, taps, DescribeRequest({c.taps, 8000, 400, 2400}), QFormat::q15,
                   c.blockSize, c.change);
    const std::vector<double> expected = Direct(Written(format, taps), x, c.change);
    const std::vector<double> got = Run(exported, x, c.change.decimates);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t n = 0; n < got.size(); ++n)
        ASSERT_NEAR(got[n], expected[n], 1e-9 * (1 + std::abs(expected[n]))) << n;
}

// A plan of two stages in one file: each stage's instance, through the same loop under its own
// names, filters with that stage's taps, factor, state and block, and no other's.
TEST_P(CmsisRateChange, EachStageOfAPlanRunsUnderItsOwnNames) {
    const Case& c = GetParam();
    const ExportFormat& format = *FindExportFormat(c.format);
    const RateFactor changes[] = {c.change, {c.change.decimates, 2}};
    const std::vector<double> taps[] = {Taps(c.taps), Taps(c.taps + 3)};
    std::vector<std::optional<FixedPointTaps>> quantised(2);
    std::vector<ExportStage> stages;
    for (int i = 0; i < 2; ++i) {
        if (const auto width = ExportQFormat(format, QFormat::q15))
            quantised[i] = Quantise(taps[i].data(), static_cast<int>(taps[i].size()), *width);
        stages.push_back(
            {taps[i], quantised[i] ? &*quantised[i] : nullptr, changes[i], 8000.0 / (i + 1)});
    }
    const TapsDescription description = DescribeRequest({c.taps, 8000, 400, 2400});
    const std::string exported = format.writeCascade({description, stages, c.blockSize});
    const std::vector<double> x = Input(kBlocks * c.blockSize);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i + 1);
        const std::string stage = "stage" + std::to_string(i + 1);
        const std::string names = "#define fir_instance " + stage + "_fir_instance\n" +
                                  "#define FIR_BLOCK_SIZE " + Upper(stage) + "_FIR_BLOCK_SIZE\n";
        const std::vector<double> expected = Direct(Written(format, taps[i]), x, changes[i]);
        const std::vector<double> got = Run(exported, x, c.change.decimates, names);
        ASSERT_EQ(got.size(), expected.size());
        for (std::size_t n = 0; n < got.size(); ++n)
            ASSERT_NEAR(got[n], expected[n], 1e-9 * (1 + std::abs(expected[n]))) << n;
    }
}

// Counts a multiple of the factor and not (the interpolator pads), factors from 2 up, and a
// block of one decimated output.
INSTANTIATE_TEST_SUITE_P(Layouts, CmsisRateChange,
                         testing::Values(Case{"cmsis-decimate-q15", {true, 3}, 10, 12},
                                         Case{"cmsis-decimate-q31", {true, 4}, 13, 4},
                                         Case{"cmsis-decimate-f32", {true, 2}, 7, 8},
                                         Case{"cmsis-interpolate-q15", {false, 3}, 7, 5},
                                         Case{"cmsis-interpolate-q31", {false, 4}, 12, 3},
                                         Case{"cmsis-interpolate-f32", {false, 5}, 11, 1}));

} // namespace
