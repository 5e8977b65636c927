// The pulses against their defining properties: the raised cosine's zero crossings, the root
// raised cosine as its matched half, the Gaussian's -3 dB bandwidth, and each scaling.
#include "core/design/pulse_shaping.h"

#include "filter_response.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace {

using namespace taplore;

std::vector<double> Pulse(PulseShape shape, int span, int sps, double shaping,
                          std::optional<PulseGain> gain = std::nullopt) {
    const PulseDesign design = DesignPulse({shape, span, sps, shaping, gain});
    EXPECT_EQ(design.status, DesignStatus::converged) << design.message;
    return design.taps;
}

std::vector<double> Convolved(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> c(a.size() + b.size() - 1, 0.0);
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < b.size(); ++j)
            c[i + j] += a[i] * b[j];
    return c;
}

struct GainCase {
    PulseShape shape;
    int span, sps;
    double shaping;
};

// Odd span times samples: no tap at the centre, the two middle taps half a sample either side.
const GainCase kGainCases[] = {
    {PulseShape::raisedCosine, 8, 4, 0.35},    {PulseShape::rootRaisedCosine, 10, 8, 0.22},
    {PulseShape::rootRaisedCosine, 3, 3, 0.5}, {PulseShape::gaussian, 4, 8, 0.3},
    {PulseShape::gaussian, 5, 3, 0.5},         {PulseShape::raisedCosine, 1, 1, 0.0},
    {PulseShape::rootRaisedCosine, 6, 4, 1.0},
};

TEST(PulseShaping, SymmetricTapsOfEachGain) {
    for (const GainCase& c : kGainCases) {
        // Without a gain: unit energy for the root raised cosine, unit DC for the others.
        const bool root = c.shape == PulseShape::rootRaisedCosine;
        EXPECT_EQ(Pulse(c.shape, c.span, c.sps, c.shaping),
                  Pulse(c.shape, c.span, c.sps, c.shaping,
                        root ? PulseGain::unitEnergy : PulseGain::unitDc));
        for (const PulseGainInfo& gain : PulseGains()) {
            SCOPED_TRACE(std::string(gain.name) + ", span " + std::to_string(c.span) + ", sps " +
                         std::to_string(c.sps));
            const std::vector<double> taps = Pulse(c.shape, c.span, c.sps, c.shaping, gain.gain);
            ASSERT_EQ(taps.size(), std::size_t(c.span * c.sps + 1));
            EXPECT_TRUE(std::equal(taps.begin(), taps.end(), taps.rbegin()));
            const double energy = std::inner_product(taps.begin(), taps.end(), taps.begin(), 0.0);
            const double dc = std::accumulate(taps.begin(), taps.end(), 0.0);
            const double peak = *std::max_element(taps.begin(), taps.end());
            const double reached[] = {energy, dc, peak};
            EXPECT_NEAR(reached[static_cast<int>(gain.gain)], 1.0, 1e-14);
            // The largest tap is the middle one (or the middle two).
            EXPECT_EQ(peak, taps[taps.size() / 2]);
        }
    }
}

// Nyquist's criterion: no interference between symbols, so exactly 0 one symbol period and
// every further one away from the centre, whatever the roll-off. Roll-offs 0.4 and 0.5 at 8
// samples put the 0/0 of t = T/(2a) on a tap, where the value is pi/4 sinc(1/(2a)).
TEST(PulseShaping, RaisedCosineCrossesZeroAtEverySymbol) {
    for (const double alpha : {0.0, 0.2, 0.35, 0.4, 0.5, 1.0}) {
        SCOPED_TRACE(alpha);
        const int span = 12, sps = 8;
        const auto taps = Pulse(PulseShape::raisedCosine, span, sps, alpha, PulseGain::unitPeak);
        const int centre = span * sps / 2;
        EXPECT_EQ(taps[centre], 1.0);
        for (int k = 1; k <= span / 2; ++k) {
            EXPECT_EQ(taps[centre + k * sps], 0.0) << k;
            EXPECT_EQ(taps[centre - k * sps], 0.0) << k;
        }
        if (alpha == 0.4 || alpha == 0.5) {
            const double at = 1 / (2 * alpha);
            const double expected =
                std::numbers::pi / 4 * std::sin(std::numbers::pi * at) / (std::numbers::pi * at);
            EXPECT_NEAR(taps[centre + static_cast<int>(std::lround(at * sps))], expected, 1e-15);
        }
    }
}

// RRC * RRC = RC for untruncated pulses (the samples of band-limited pulses convolve as the
// pulses do, above 1 + a samples per symbol). Truncation to the span leaves a tail of energy E
// beyond it; by Cauchy-Schwarz the convolution then moves by at most 2 sqrt(E) + E (unit
// energy). The tail falls as 1 / (4 pi a t^2), so E falls as the cube of the span: the bound is
// below 1e-3 from about 48 symbols at a = 1, 72 at 0.5, 96 at 0.35 and 128 at 0.25. Shorter
// spans are held to the bound alone (at 16 symbols and a = 0.25 it is 0.016, the difference
// 0.0016). Roll-offs 0.25, 0.5 and 1 at 8 samples put t = T/(4a) on a tap.
struct MatchedCase {
    int span, sps;
    double alpha;
    bool withinAThousandth;
};
const MatchedCase kMatchedCases[] = {
    {72, 8, 0.5, true},   {48, 8, 1.0, true},  {96, 4, 0.35, true},  {128, 8, 0.25, true},
    {16, 8, 0.25, false}, {8, 8, 0.35, false}, {12, 8, 0.22, false}, {24, 2, 0.5, false},
};

TEST(PulseShaping, RootRaisedCosineConvolvedWithItselfIsTheRaisedCosine) {
    for (const MatchedCase& c : kMatchedCases) {
        SCOPED_TRACE("span " + std::to_string(c.span) + ", alpha " + std::to_string(c.alpha));
        const auto rrc = Pulse(PulseShape::rootRaisedCosine, c.span, c.sps, c.alpha);
        const auto rc =
            Pulse(PulseShape::raisedCosine, c.span, c.sps, c.alpha, PulseGain::unitPeak);
        // The tail's energy: a pulse twenty times as long, outside the span.
        const auto whole = Pulse(PulseShape::rootRaisedCosine, 20 * c.span, c.sps, c.alpha);
        const std::size_t outside = (whole.size() - rrc.size()) / 2;
        double tail = 0;
        for (std::size_t i = 0; i < outside; ++i)
            tail += 2 * whole[i] * whole[i];
        const double bound = 2 * std::sqrt(tail) + tail;
        EXPECT_EQ(bound < 1e-3, c.withinAThousandth) << bound;
        const auto matched = Convolved(rrc, rrc);
        double difference = 0;
        for (std::size_t n = 0; n < rc.size(); ++n)
            difference = std::max(difference, std::fabs(matched[n + rc.size() / 2] - rc[n]));
        EXPECT_LE(difference, bound);
    }
}

// The Gaussian's response at BT symbol rates is 3 dB below its DC gain: BT / sps cycles per
// sample. At 8 samples its spectrum beyond half the sampling rate is below 1e-9 up to BT 0.5.
TEST(PulseShaping, GaussianIsThreeDecibelsDownAtItsBandwidth) {
    for (const double bt : {0.3, 0.5}) {
        SCOPED_TRACE(bt);
        const int sps = 8;
        const auto taps = Pulse(PulseShape::gaussian, 6, sps, bt);
        const double omega = 2 * std::numbers::pi * bt / sps;
        EXPECT_NEAR(std::abs(filter_response::Response(taps, omega)), 1 / std::numbers::sqrt2,
                    1e-9);
    }
}

TEST(PulseShaping, RefusesWhatItCannotSample) {
    const struct {
        PulseRequest request;
        const char* why;
    } cases[] = {
        {{PulseShape::rootRaisedCosine, 0, 4, 0.35, std::nullopt},
         "the span must be at least 1 symbol"},
        {{PulseShape::raisedCosine, 4, 0, 0.35, std::nullopt},
         "the samples per symbol must be at least 1"},
        {{PulseShape::raisedCosine, 4, 4, 1.5, std::nullopt}, "the roll-off must be from 0 to 1"},
        {{PulseShape::rootRaisedCosine, 4, 4, -0.1, std::nullopt},
         "the roll-off must be from 0 to 1"},
        {{PulseShape::raisedCosine, 4, 4, NAN, std::nullopt}, "the roll-off must be from 0 to 1"},
        {{PulseShape::gaussian, 4, 4, 0.0, std::nullopt},
         "the bandwidth-time product must be above 0 and finite"},
        {{PulseShape::gaussian, 4, 4, INFINITY, std::nullopt},
         "the bandwidth-time product must be above 0 and finite"},
        // A product beyond int, computed without overflow.
        {{PulseShape::raisedCosine, 65536, 65536, 0.35, std::nullopt},
         "the span and samples per symbol give 4294967297 taps, more than the longest pulse "
         "(65535)"},
        // So narrow that every tap off the centre underflows, and there is no centre tap.
        {{PulseShape::gaussian, 3, 1, 1e6, std::nullopt},
         "the pulse is too narrow for its samples: every tap is 0"},
    };
    for (const auto& c : cases) {
        const PulseDesign design = DesignPulse(c.request);
        EXPECT_EQ(design.status, DesignStatus::refused);
        EXPECT_EQ(design.message, c.why);
        EXPECT_TRUE(design.taps.empty());
    }
}

} // namespace
