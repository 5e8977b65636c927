#include "core/design/kaiser.h"
#include "core/design/window_functions.h"

#include "filter_response.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

using namespace taplore;

std::vector<double> Window(WindowKind kind, int n, double parameter = 0.0) {
    std::vector<double> w(n);
    for (int k = 0; k < n; ++k)
        w[k] = WindowAt(kind, k, n, parameter);
    return w;
}

// The highest side lobe below the main lobe, in dB: past the first minimum of |W| from 0 Hz.
double PeakSidelobeDb(const std::vector<double>& w) {
    const int points = 8192;
    std::vector<double> level(points);
    for (int i = 0; i < points; ++i)
        level[i] = std::abs(filter_response::Response(w, std::numbers::pi * i / points));
    int i = 1;
    while (i < points && level[i] <= level[i - 1])
        ++i;
    double peak = 0.0;
    for (; i < points; ++i)
        peak = std::max(peak, level[i]);
    return 20 * std::log10(peak / level[0]);
}

TEST(Windows, SidelobesMatchTheirPublishedFigures) {
    const struct {
        WindowKind kind;
        double db;
    } windows[] = {
        {WindowKind::rectangular, -13},    {WindowKind::hann, -31},
        {WindowKind::hamming, -43},        {WindowKind::blackman, -58},
        {WindowKind::blackmanHarris, -92},
    };
    for (const auto& w : windows)
        EXPECT_NEAR(PeakSidelobeDb(Window(w.kind, 101)), w.db, 1.0) << static_cast<int>(w.kind);
}

TEST(Windows, NamesFindTheirEntries) {
    for (const WindowInfo& info : Windows())
        EXPECT_EQ(FindWindow(info.name), &info);
    EXPECT_EQ(Windows().front().kind, WindowKind::hamming);
    EXPECT_TRUE(FindWindow("kaiser")->takesParameter);
    EXPECT_EQ(FindWindow("hanning"), nullptr);
}

TEST(Windows, KaiserSpansRectangularToNarrow) {
    EXPECT_EQ(Window(WindowKind::kaiser, 31, 0.0), Window(WindowKind::rectangular, 31));
    const std::vector<double> w = Window(WindowKind::kaiser, 31, 8.0);
    EXPECT_DOUBLE_EQ(w[15], 1.0);
    EXPECT_NEAR(w[0], 1.0 / 427.564115721804, 1e-15); // 1 / I0(8)
    EXPECT_EQ(Window(WindowKind::hann, 1), std::vector<double>{1.0});
}

// The Hamming entry is the dialog's designer, bit for bit; the others share its band rules.
TEST(Windows, HammingIsTheDialogsDesign) {
    const struct {
        int order;
        double f1, f2;
    } designs[] = {{511, 0.1, 0.6}, {100, 0.0, 0.3}, {64, 0.4, 1.0}, {33, 0.7, 0.2}};
    for (const auto& d : designs) {
        std::shared_ptr<double[]> dialog, windowed;
        int dialogCount = 0, windowedCount = 0;
        ASSERT_GT(DesignFilter(dialog, dialogCount, d.order, d.f1, d.f2), 0);
        ASSERT_GT(DesignWindowFilter(windowed, windowedCount, d.order, d.f1, d.f2,
                                     WindowKind::hamming, 0.0),
                  0);
        ASSERT_EQ(dialogCount, windowedCount);
        EXPECT_EQ(std::memcmp(dialog.get(), windowed.get(), sizeof(double) * dialogCount), 0);

        std::shared_ptr<double[]> blackman;
        int count = 0;
        ASSERT_EQ(DesignWindowFilter(blackman, count, d.order, d.f1, d.f2, WindowKind::blackman, 0),
                  dialogCount);
        EXPECT_NE(std::memcmp(dialog.get(), blackman.get(), sizeof(double) * count), 0);
    }
}

TEST(Windows, ALowPassThroughAnotherWindowHasUnitGainAtDc) {
    std::shared_ptr<double[]> taps;
    int count = 0;
    ASSERT_EQ(DesignWindowFilter(taps, count, 60, 0.0, 0.4, WindowKind::kaiser, 6.0), 61);
    double sum = 0.0;
    for (int k = 0; k < count; ++k)
        sum += taps[k];
    EXPECT_NEAR(sum, 1.0, 1e-12);
}

TEST(Kaiser, BetaForSixtyFiveDecibels) {
    EXPECT_NEAR(KaiserBeta(65), 6.20426, 5e-6);
    EXPECT_EQ(KaiserBeta(20), 0.0);
}

} // namespace
