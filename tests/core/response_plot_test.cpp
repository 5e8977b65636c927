// The SVG plot: valid XML that any viewer opens, with the curve on the dialog's scale.
#include "core/formats/response_plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <regex>
#include <unistd.h>

namespace {

SpectrumLevels Flat(double db) {
    SpectrumLevels levels;
    levels.fill(db);
    return levels;
}

// The y of every point of the n-th polyline.
std::vector<double> CurveYs(const std::string& svg, int n = 0) {
    std::size_t at = 0;
    for (int k = 0; k <= n; ++k)
        at = svg.find("points=\"", at) + 8;
    const std::string points = svg.substr(at, svg.find('"', at) - at);
    std::vector<double> ys;
    const std::regex point(R"(([-0-9.]+),([-0-9.]+))");
    for (auto it = std::sregex_iterator(points.begin(), points.end(), point);
         it != std::sregex_iterator(); ++it)
        ys.push_back(std::stod((*it)[2]));
    return ys;
}

TEST(ResponsePlot, ZeroDbLiesTenPixelsDownAndEachTenDbOneStepOfThirty) {
    const auto request = taplore::DescribeRequest({511, 8000, 400, 2400});
    for (const auto& [db, y] : {std::pair{0.0, 10.0}, {-10.0, 40.0}, {-60.0, 190.0}, {3.0, 1.0}}) {
        const auto ys = CurveYs(FormatResponseSvg(request, Flat(db)));
        ASSERT_EQ(ys.size(), 512u);
        EXPECT_EQ(ys.front(), y) << db;
        EXPECT_EQ(ys.back(), y) << db;
    }
    // No power and not a number: below and on top of the plot, never a wild coordinate.
    EXPECT_EQ(
        CurveYs(FormatResponseSvg(request, Flat(-std::numeric_limits<double>::infinity())))[5],
        305.0);
    EXPECT_EQ(CurveYs(FormatResponseSvg(request, Flat(std::nan(""))))[5], 0.0);
}

TEST(ResponsePlot, NamesTheDesignTicksInHzAndTheQuantisedCurveInALegend) {
    const SpectrumLevels quantised = Flat(-20.0);
    const std::string svg = FormatResponseSvg(taplore::DescribeRequest({255, 44100, 0, 3000}),
                                              Flat(0.0), &quantised, "Q15 taps");
    EXPECT_NE(svg.find(">Log-magnitude response: low-pass, order 255, rate 44100 Hz, cutoffs 0 "
                       "Hz and 3000 Hz</text>"),
              std::string::npos);
    for (const char* tick : {">0<", ">2205<", ">11025<", ">22050<", ">-90<"})
        EXPECT_NE(svg.find(tick), std::string::npos) << tick;
    EXPECT_EQ(CurveYs(svg, 0).front(), 70.0) << "the quantised curve first, under the other";
    EXPECT_EQ(CurveYs(svg, 1).front(), 10.0);
    EXPECT_NE(svg.find(">double taps<"), std::string::npos);
    EXPECT_NE(svg.find(">Q15 taps<"), std::string::npos);

    const auto file = std::filesystem::temp_directory_path() /
                      ("taplore_plot_" + std::to_string(getpid()) + ".svg");
    std::ofstream(file) << svg;
    EXPECT_EQ(std::system(("xmllint --noout " + file.string()).c_str()), 0);
    std::filesystem::remove(file);
}

// A title longer than the image, as a CIC compensator's report gives, is set small enough to fit
// its width instead of being cut off at both ends; a short one keeps the size of 14.
TEST(ResponsePlot, ALongTitleIsSetSmallerToFitTheWidth) {
    const auto titleSize = [](const std::string& svg) {
        std::smatch size;
        std::regex_search(svg, size, std::regex(R"re(<g font-size="([0-9.]+)">\n<text)re"));
        return std::stod(size[1]);
    };
    auto request = taplore::DescribeRequest({255, 44100, 0, 3000});
    EXPECT_EQ(titleSize(FormatResponseSvg(request, Flat(0.0))), 14.0);
    request.title = "CIC compensator, equiripple, 86 taps: the cascade meets the requirements; "
                    "85 and 84 taps miss";
    const double size = titleSize(FormatResponseSvg(request, Flat(0.0)));
    // 117 characters of DejaVu Sans at about 0.52 of the size each, in 700 pixels.
    EXPECT_LT(117 * 0.52 * size, 700.0);
    EXPECT_GT(size, 10.0);
}

} // namespace

namespace {

// Bands of any gain are shaded about their gain by the deviation reached; a sloped band over
// its whole line, which reaches magnitude 0 where it crosses 0.
TEST(ResponsePlot, RequiredBandsOfAnyGainSpanTheirLine) {
    const struct {
        taplore::Band band;
        double lowest, highest;
    } cases[] = {
        {{0, 1000, 0.5, 1}, 0.5, 0.5},
        {{0, 1000, 1, 1, std::nullopt, 0.25}, 0.25, 1},
        {{0, 1000, 0.25, 1, std::nullopt, 1}, 0.25, 1},
        {{0, 1000, -0.5, 1, std::nullopt, 1}, 0, 1},
    };
    for (const auto& c : cases) {
        taplore::RequirementsReport report;
        report.tolerances = false;
        report.requirements.rate = 8000;
        report.requirements.bands = {c.band};
        report.deviations = {0.01};
        const std::vector<taplore::RequiredBand> required = taplore::RequiredBands(report);
        ASSERT_EQ(required.size(), 1u);
        const double floor = c.lowest - 0.01;
        EXPECT_DOUBLE_EQ(required[0].floorDb, floor > 0 ? 20 * std::log10(floor) : -INFINITY);
        EXPECT_DOUBLE_EQ(required[0].ceilingDb, 20 * std::log10(c.highest + 0.01));
    }
}

} // namespace
