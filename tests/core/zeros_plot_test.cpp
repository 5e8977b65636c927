// The zeros written out: a text that reads back to the same doubles, and a z-plane image whose
// rings sit where the zeros are.
#include "core/design/equiripple.h"
#include "core/formats/crt.h"
#include "core/formats/zeros_plot.h"
#include "core/formats/zeros_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace {

using namespace taplore;

TEST(ZerosText, ReadsBackToTheSameZerosInTheirOrder) {
    Requirements r;
    r.rate = 2;
    r.bands = {{0, 0.3, 1, 1}, {0.4, 1, 0, 1}};
    const TapZeros zeros = FindZeros(DesignEquiripple(r, 101).taps);
    std::istringstream text(FormatZerosText(zeros));
    std::size_t count = 0;
    for (std::string line; std::getline(text, line); ++count) {
        ASSERT_LT(count, zeros.zeros.size());
        const std::size_t blank = line.find(' ');
        ASSERT_NE(blank, std::string::npos) << line;
        EXPECT_EQ(crt::StrictAtof(line.substr(0, blank)), zeros.zeros[count].real()) << line;
        EXPECT_EQ(crt::StrictAtof(line.substr(blank + 1)), zeros.zeros[count].imag()) << line;
    }
    EXPECT_EQ(count, zeros.zeros.size());
    // A delay has no line; a zero tap at the end is a zero at 0, real zeros have "0" parts.
    EXPECT_EQ(FormatZerosText(FindZeros(std::vector<double>{0, 2, -1, 0})), "0 0\n0.5 0\n");
}

// The centres of the rings, in the panel's pixels.
std::vector<std::pair<double, double>> Rings(const std::string& svg) {
    std::vector<std::pair<double, double>> rings;
    const std::regex ring(R"re(<circle cx="([-0-9.]+)" cy="([-0-9.]+)" r="4"/>)re");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), ring); it != std::sregex_iterator();
         ++it)
        rings.emplace_back(std::stod((*it)[1]), std::stod((*it)[2]));
    return rings;
}

TEST(ZerosPlot, RingsWhereTheZerosAreOnAPanelWithTheUnitCircle) {
    // z^4 - 1: the panel reaches 1.5 each way in steps of 0.5, 140 pixels to the unit.
    const std::string svg =
        FormatZerosSvg({"four zeros", {}, 8000}, FindZeros(std::vector<double>{1, 0, 0, 0, -1}));
    const std::vector<std::pair<double, double>> expected = {
        {210, 350}, {350, 210}, {210, 70}, {70, 210}};
    EXPECT_EQ(Rings(svg), expected);
    EXPECT_NE(svg.find(R"(<circle cx="210" cy="210" r="140" stroke-width="1.5"/>)"),
              std::string::npos);
    for (const char* text : {">Zeros: four zeros<", ">Zeros in the z-plane: 4 zeros<", ">-1.5<",
                             ">0.5<", ">Real part<", ">Imaginary part<"})
        EXPECT_NE(svg.find(text), std::string::npos) << text;

    const auto file = std::filesystem::temp_directory_path() /
                      ("taplore_zeros_" + std::to_string(getpid()) + ".svg");
    std::ofstream(file) << svg;
    EXPECT_EQ(std::system(("xmllint --noout " + file.string()).c_str()), 0);
    std::filesystem::remove(file);
}

// (z - 0.5)(z - 10) after a delay: the panel stops at 4, and the caption counts what it leaves.
TEST(ZerosPlot, CountsTheZerosItCannotShow) {
    const std::string svg =
        FormatZerosSvg({"far", {}, 1}, FindZeros(std::vector<double>{0, 1, -10.5, 5}));
    EXPECT_EQ(Rings(svg).size(), 1u);
    EXPECT_NE(svg.find(">Zeros in the z-plane: 2 zeros, 1 beyond the panel, 1 at infinity<"),
              std::string::npos);
}

} // namespace
