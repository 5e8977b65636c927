// taplore-design --plot as a design document gets it: the SVG rendered by librsvg, the
// picture kept with the screenshots, and the red curve found where the response says.
#include "x_session.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <sstream>

namespace e2e {
namespace {

namespace fs = std::filesystem;

// The image's layout: the plot area's corner, its width, 0 dB 10 pixels down, 3 pixels a dB.
constexpr int kImageWidth = 700, kPlotLeft = 70, kPlotTop = 40, kPlotWidth = 600;
constexpr int kPlotHeight = 300;

const std::vector<std::string> kStartUp = {
    TAPLORE_DESIGN_EXE, "--order", "511", "--rate", "8000", "--low", "400", "--high", "2400"};

std::vector<std::string> With(std::vector<std::string> words,
                              const std::vector<std::string>& more) {
    words.insert(words.end(), more.begin(), more.end());
    return words;
}

// The level in dB of each bin, from --response.
std::vector<double> ResponseDb() {
    std::vector<double> levels;
    std::istringstream in(e2e::Run(With(kStartUp, {"--response"})).out);
    for (std::string line; std::getline(in, line);) {
        const std::string level = line.substr(line.find('\t') + 1);
        double db = NAN;
        std::from_chars(level.data(), level.data() + level.size(), db);
        levels.push_back(db);
    }
    return levels;
}

struct Rgb {
    const std::string& pixels;
    int width;
    bool IsRed(int x, int y) const {
        const auto at = 3 * (static_cast<std::size_t>(y) * width + x);
        const auto channel = [&](int c) { return static_cast<unsigned char>(pixels[at + c]); };
        return channel(0) > 200 && channel(1) < 90 && channel(2) < 90;
    }
};

TEST(PlotImage, StartUpFilterRendersWithItsRedCurveWhereTheResponseSays) {
    const fs::path svg = fs::path(SCREENSHOT_DIR) / "startup-response.svg";
    const fs::path png = fs::path(SCREENSHOT_DIR) / "startup-response.png";
    fs::create_directories(SCREENSHOT_DIR);
    fs::remove(svg);
    ASSERT_EQ(e2e::Run(With(kStartUp, {"--format", "q15", "--plot", svg.string()})).status, 0);
    ASSERT_EQ(e2e::Run({"xmllint", "--noout", svg.string()}).status, 0);
    ASSERT_EQ(e2e::Run({"rsvg-convert", svg.string(), "-o", png.string()}).status, 0);
    const CommandResult raw = e2e::Run({"convert", png.string(), "-depth", "8", "rgb:-"});
    ASSERT_EQ(raw.status, 0);
    ASSERT_EQ(raw.out.size() % (3 * kImageWidth), 0u);
    const Rgb image{raw.out, kImageWidth};

    const std::vector<double> levels = ResponseDb();
    ASSERT_EQ(levels.size(), 512u);
    int checked = 0;
    for (int bin = 4; bin < 512; bin += 12) {
        const double y = 10 - 3 * levels[bin];
        if (!(y > 3 && y < kPlotHeight - 3))
            continue; // beyond the plot's -96.7 dB: clipped
        const int x = kPlotLeft + static_cast<int>(std::lround(bin * kPlotWidth / 512.0));
        const int row = kPlotTop + static_cast<int>(std::lround(y));
        bool found = false;
        for (int dy = -2; dy <= 2 && !found; ++dy)
            found = image.IsRed(x, row + dy);
        EXPECT_TRUE(found) << "bin " << bin << " at " << levels[bin] << " dB: no red near (" << x
                           << ", " << row << ")";
        // Far from the curve the column holds no red.
        const int away = row < kPlotTop + kPlotHeight / 2 ? row + 100 : row - 100;
        EXPECT_FALSE(image.IsRed(x, away)) << "bin " << bin;
        ++checked;
    }
    EXPECT_GT(checked, 25);
}

} // namespace
} // namespace e2e
