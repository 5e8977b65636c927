// The spectrum plot: a black ground, a green dotted 10 x 10 grid and a red curve on which
// 0 dB lies 10 pixels below the top and every grid step down is 10 dB more attenuation.
#include "gui/spectrum_wnd.h"
#include "gui_helpers.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace {

constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kGreen = qRgb(0, 255, 0);
constexpr QRgb kRed = qRgb(255, 0, 0);

// A spectrum window of its own size inside a shown design dialog.
class SpectrumTest : public testing::Test {
protected:
    QImage Plot(int width, int height, std::optional<double> tap = std::nullopt) {
        spectrum = std::make_unique<CSpectrumWnd>(&shown.dlg);
        spectrum->setGeometry(0, 0, width, height);
        if (tap) {
            const double value = *tap;
            EXPECT_EQ(spectrum->ComputeSpectrum(&value, 1, 8000), 512);
        }
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        spectrum->render(&image);
        return image;
    }

    ShownDesignDialog shown;
    std::unique_ptr<CSpectrumWnd> spectrum;
};

bool OnGridLine(int coordinate, int step) {
    return step > 0 && coordinate % step == 0;
}

// Checks every pixel: green only on grid lines and on each of them, red only where a flat
// curve at row curveY (2 pixels wide, from (0, ystep) to the last bin) may lie, black elsewhere.
void CheckPlot(const QImage& image, std::optional<int> curveY) {
    const int width = image.width();
    const int height = image.height();
    const int xstep = width / 10;
    const int ystep = height / 10;
    const int lastX = 511 * width / 512;
    std::vector<bool> greenColumn(width), greenRow(height);
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = image.pixel(x, y);
            const bool onGrid = OnGridLine(x, xstep) || OnGridLine(y, ystep);
            bool allowed = pixel == kBlack;
            if (pixel == kGreen) {
                allowed = onGrid;
                greenColumn[x] = greenColumn[x] || OnGridLine(x, xstep);
                greenRow[y] = greenRow[y] || OnGridLine(y, ystep);
            } else if (pixel == kRed && curveY) {
                const bool level = (y == *curveY || y == *curveY - 1) && x <= lastX + 1;
                const bool start = x <= width / 512 + 1 && y >= std::min(ystep, *curveY) - 1 &&
                                   y <= std::max(ystep, *curveY);
                allowed = level || start;
            }
            if (!allowed && ++wrong <= 5)
                ADD_FAILURE() << "unexpected colour " << std::hex << pixel << std::dec << " at ("
                              << x << ", " << y << ")";
        }
    }
    for (int x = 0; xstep > 0 && x < width; x += xstep)
        EXPECT_TRUE(greenColumn[x]) << "no grid line at x = " << x;
    // A row the curve covers from end to end shows no grid.
    for (int y = 0; ystep > 0 && y < height; y += ystep)
        EXPECT_TRUE(greenRow[y] || (curveY && (y == *curveY || y == *curveY - 1)))
            << "no grid line at y = " << y;
    if (!curveY)
        return;
    EXPECT_EQ(image.pixel(0, ystep), kRed) << "the curve starts at (0, ystep)";
    for (int x = 1; x <= lastX; ++x) {
        if (image.pixel(x, *curveY) != kRed && ++wrong <= 5)
            ADD_FAILURE() << "no curve at (" << x << ", " << *curveY << ")";
    }
}

TEST_F(SpectrumTest, GridAloneBeforeAnySpectrum) {
    // 270 x 120: ten lines each way (x = 0 ... 243, y = 0 ... 108). 275 x 125 keeps the steps
    // 27 and 12 and gains an eleventh line at x = 270 and y = 120.
    for (const auto& [width, height] : {std::pair{270, 120}, std::pair{275, 125}}) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        const QImage image = Plot(width, height);
        CheckPlot(image, std::nullopt);
        EXPECT_EQ(image.pixel(0, 0), kGreen);
        // Dotted: every other pixel along a line.
        EXPECT_NE(image.pixel(27, 1), image.pixel(27, 2));
        EXPECT_NE(image.pixel(1, 108), image.pixel(2, 108));
    }
    EXPECT_EQ(Plot(275, 125).pixel(270, 0), kGreen);
    EXPECT_EQ(Plot(270, 120).pixel(269, 0), kBlack) << "no line past x = 243";
}

TEST_F(SpectrumTest, FlatSpectrumLevels) {
    // One tap of gain g has |H| = g at every frequency: 0 dB at y = 10, -10 dB one step of
    // 12 pixels lower, -60 dB six steps lower.
    struct Level {
        double db;
        int y;
    };
    for (const Level level : {Level{0, 10}, Level{-10, 22}, Level{-60, 82}}) {
        SCOPED_TRACE(testing::Message() << level.db << " dB");
        CheckPlot(Plot(270, 120, std::pow(10.0, level.db / 20)), level.y);
    }
    // A taller window keeps 0 dB at 10 pixels and scales the step: ystep 30, -10 dB at 40.
    CheckPlot(Plot(270, 300, std::pow(10.0, -0.5)), 40);
}

TEST_F(SpectrumTest, NonFiniteBinsOnTopEdge) {
    // NaN taps give NaN bins; a zero tap gives -inf dB. Both are drawn on the top edge.
    for (const double tap : {std::numeric_limits<double>::quiet_NaN(), 0.0}) {
        SCOPED_TRACE(testing::Message() << "tap " << tap);
        CheckPlot(Plot(270, 120, tap), 0);
    }
}

TEST_F(SpectrumTest, LastPointOneBinShortOfRightEdge) {
    // Bin 511 of 512 lands at x = floor(511 * 2048 / 512) = 2044; the last columns stay black.
    const QImage image = Plot(2048, 120, 1.0);
    CheckPlot(image, 10);
    EXPECT_EQ(image.pixel(2044, 10), kRed);
    EXPECT_EQ(image.pixel(2046, 10), kBlack);
    EXPECT_EQ(image.pixel(2047, 9), kBlack);
}

TEST_F(SpectrumTest, WindowsBelowTenPixelsDrawWithoutGridLoops) {
    // A step of 0 must not hang the grid loops; there is no grid in that direction.
    for (const auto& [width, height] : {std::pair{9, 120}, std::pair{120, 9}, std::pair{9, 9}}) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        const QImage image = Plot(width, height, 1.0);
        const int xstep = width / 10;
        const int ystep = height / 10;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (image.pixel(x, y) == kGreen) {
                    ASSERT_TRUE(OnGridLine(x, xstep) || OnGridLine(y, ystep)) << x << ", " << y;
                }
    }
}

} // namespace
