#include "core/dialog/spectrum_plot.h"

#include "core/analysis/log_magnitude.h"
#include "core/dialog/response_summary.h"
#include "core/formats/crt.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace taplore {

namespace {

// A plot coordinate: truncated toward zero; a value that is not finite lands on 0.
int ToPixel(double value) {
    if (!std::isfinite(value))
        return 0;
    constexpr double limit = std::numeric_limits<int>::max();
    return static_cast<int>(std::fmax(-limit, std::fmin(limit, value)));
}

// One decimal, as the cutoff labels show it, without their padding.
std::string OneDecimal(double value) {
    std::string text = crt::FormatF8_1(value);
    text.erase(0, text.find_first_not_of(' '));
    return text;
}

} // namespace

int SpectrumPlot::ComputeSpectrum(const double* coef, int count, double sampleRate) {
    const int bins = ComputeLogMagnitude(coef, count, m_pMagDb, m_nBins);
    if (bins >= 0)
        m_sampleRate = sampleRate;
    return bins;
}

std::vector<PlotLine> SpectrumPlot::GridLines(int width, int height) {
    std::vector<PlotLine> lines;
    const int xstep = width / 10;
    for (int x = 0; xstep > 0 && x < width; x += xstep)
        lines.push_back({{x, 0}, {x, height}});
    const int ystep = height / 10;
    for (int y = 0; ystep > 0 && y < height; y += ystep)
        lines.push_back({{0, y}, {width, y}});
    return lines;
}

std::vector<PlotPoint> SpectrumPlot::Curve(int width, int height) const {
    const int ystep = height / 10;
    std::vector<PlotPoint> points{{0, ystep}};
    for (int i = 1; i < m_nBins; ++i)
        points.push_back({static_cast<int>(static_cast<long long>(i) * width / m_nBins),
                          ToPixel(10.0 - ((m_pMagDb[i] * ystep) * 0.1))});
    return points;
}

std::string SpectrumPlot::BinText(int x, int width) const {
    if (m_nBins < 2 || width <= 0)
        return {};
    const long long nearest = (static_cast<long long>(x) * m_nBins + width / 2) / width;
    const int bin = static_cast<int>(std::clamp<long long>(nearest, 1, m_nBins - 1));
    const double hz = bin * m_sampleRate / kSpectrumPoints;
    return OneDecimal(hz) + " Hz  " + OneDecimal(m_pMagDb[bin]) + " dB";
}

std::string SpectrumPlot::Summary(BandType band) const {
    return DescribeResponse(SummariseResponse(m_pMagDb.get(), m_nBins, m_sampleRate, band));
}

} // namespace taplore
