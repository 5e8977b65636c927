#pragma once
// The spectrum plot's content in pixels, for any window to draw: a 10 x 10 grid, and the
// curve of the dB levels of bins 1 ... 511 with 0 dB 10 pixels below the top and every grid
// step down 10 dB more attenuation; the right edge is half the sampling rate.

#include "core/design/fir_design.h"

#include <memory>
#include <string>
#include <vector>

namespace taplore {

struct PlotPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PlotPoint&) const = default;
};

struct PlotLine {
    PlotPoint from;
    PlotPoint to;
    bool operator==(const PlotLine&) const = default;
};

class SpectrumPlot {
public:
    // Computes the dB levels of the taps' spectrum at a sampling rate; returns 512, or -1 when
    // count is outside 0 ... 1024 or memory ran out, keeping the levels shown before.
    int ComputeSpectrum(const double* coef, int count, double sampleRate);

    // Vertical lines every width/10 pixels from x = 0, horizontal ones every height/10 from
    // y = 0, while inside; none in a direction under 10 pixels (the step would be 0).
    static std::vector<PlotLine> GridLines(int width, int height);

    // The polyline of the curve: from (0, height/10), then bin i at x = i*width/512 and
    // y = 10 - dB*(height/10)/10 truncated toward zero, a level that is not finite on the top
    // edge. Just the starting point before the first spectrum.
    std::vector<PlotPoint> Curve(int width, int height) const;

    // "1250.0 Hz  -3.1 dB" for the bin drawn nearest to x, or nothing before the first
    // spectrum. Bin 0 is never drawn, so it is never named.
    std::string BinText(int x, int width) const;

    // The levels shown in a few sentences for a screen reader, for a design of this band type.
    std::string Summary(BandType band) const;

private:
    std::unique_ptr<double[]> m_pMagDb;
    int m_nBins = 0;
    double m_sampleRate = 0.0; // of the spectrum shown
};

} // namespace taplore
