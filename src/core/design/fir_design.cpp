#include "core/design/fir_design.h"

#include "core/design/threads.h"
#include "core/io/memory.h"
#include "core/io/platform.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>

namespace {

// Decimal truncations of pi and 2pi, used exactly as written: saved coefficient files carry
// the taps these give, down to the last digit.
constexpr double kPi = 3.1415926535;
constexpr double kTwoPi = 6.283185307;
static_assert(kTwoPi == 2.0 * kPi, "the window's constant is exactly twice the ideal's");

// The band tests treat a not-a-number operand as satisfying "=" and "<" and failing ">";
// plain C++ comparisons fail all three, so these helpers spell the rule out.
bool EqualOrNaN(double a, double b) {
    return !(a < b) && !(a > b);
}
bool LessOrNaN(double a, double b) {
    return !(a >= b);
}
bool GreaterNotNaN(double a, double b) {
    return a > b;
}

double CentreTap(BandType type, double f1, double f2) {
    switch (type) {
    case BandType::lowPass:
        return f2;
    case BandType::highPass:
        return f1;
    case BandType::bandPass:
        return f2 - f1;
    default:
        return f1 - f2;
    }
}

// Ideal response at distance j from the centre, with t = pi*j.
double SideTap(BandType type, double t, double f1, double f2) {
    switch (type) {
    case BandType::lowPass:
        return std::sin(t * f2) / t;
    case BandType::highPass:
        return std::sin(t * f1) / t;
    case BandType::bandPass:
        return 2.0 * (std::sin(t * (f2 - f1) * 0.5) * std::cos(t * (f2 + f1) * 0.5)) / t;
    default:
        return 2.0 * (std::sin(t * (f1 - f2) * 0.5) * std::cos(t * (f2 + f1) * 0.5)) / t;
    }
}

// High-pass and band-stop are made from their complements by spectral inversion.
bool IsInverted(BandType type) {
    return type == BandType::highPass || type == BandType::bandStop;
}

struct Design {
    double* h;
    int n;
    BandType type;
    double f1, f2;
    int centre = (n - 1) / 2;
    double windowStep = kTwoPi / (n - 1); // infinite for one tap, which then becomes NaN
};

double HammingAt(int k, double windowStep) {
    return 0.54 - std::cos(k * windowStep) * 0.46;
}

// The dialog's window, inlined into its design loop.
struct Hamming {
    const Design& d;
    double operator()(int k) const { return HammingAt(k, d.windowStep); }
};

// The ideal tap at index k times the window there, negated for an inverted type.
template <class Window>
double Windowed(const Design& d, const Window& window, int k, double ideal) {
    const double w = window(k);
    return IsInverted(d.type) ? -(w * ideal) : w * ideal;
}

// Ideal response and window of the tap pairs centre +- j for j in [first, last). Each j
// writes only its own two taps, so ranges of j can run on different threads.
template <class Window>
void ShapeSideTaps(const Design& d, const Window& window, int first, int last) {
    for (int j = first; j < last; ++j) {
        const double ideal = SideTap(d.type, kPi * j, d.f1, d.f2);
        d.h[d.centre + j] = Windowed(d, window, d.centre + j, ideal);
        d.h[d.centre - j] = Windowed(d, window, d.centre - j, ideal);
    }
}

// The running sum the normalisation divides by, added in tap order whatever the thread count:
// plain for low-pass and band-stop, alternating for high-pass (gain at Nyquist).
void AddToWindowedSum(const Design& d, double& sum, int first, int last) {
    for (int k = first; k < last; ++k) {
        if (d.type == BandType::highPass && k % 2 != 0)
            sum -= d.h[k];
        else
            sum += d.h[k];
    }
}

// By the sum's magnitude: a degenerate band-stop whose sum is negative keeps taps summing to -1.
void Normalise(const Design& d, double gain, int first, int last) {
    for (int k = first; k < last; ++k)
        d.h[k] = d.h[k] / gain;
}

// Pairs or taps a thread takes at a time: small enough that a thread slowed by other work on
// the machine leaves the rest to the others, large enough that taking one costs next to nothing.
constexpr int kChunk = 2048;

// Counts the work done against the whole for the caller's progress, and remembers when the
// caller stopped it, so that every thread stops before its next chunk.
class Watch {
public:
    Watch(const Progress& progress, std::int64_t total) : m_progress(progress), m_total(total) {}

    bool Stopped() const { return m_stopped.load(std::memory_order_relaxed); }

    void Done(std::int64_t units) {
        const std::int64_t done = m_done.fetch_add(units, std::memory_order_relaxed) + units;
        if (m_progress && !m_progress(static_cast<double>(done) / static_cast<double>(m_total)))
            m_stopped.store(true, std::memory_order_relaxed);
    }

private:
    const Progress& m_progress;
    const std::int64_t m_total;
    std::atomic<std::int64_t> m_done = 0;
    std::atomic<bool> m_stopped = false;
};

using taplore::RunOnThreads;

// work(first, last) over all of [first, last), in chunks the threads take in turn, until the
// watch is stopped.
template <class Work>
void ForEachChunk(unsigned threads, int first, int last, Watch& watch, const Work& work) {
    std::atomic<std::int64_t> next = first;
    RunOnThreads(threads, [&] {
        for (std::int64_t start; !watch.Stopped() && (start = next.fetch_add(kChunk)) < last;) {
            const std::int64_t end = std::min(start + kChunk, std::int64_t{last});
            work(static_cast<int>(start), static_cast<int>(end));
            watch.Done(end - start);
        }
    });
}

unsigned ThreadsFor(int taps, unsigned requested) {
    if (requested != 0)
        return requested;
    if (taps < kParallelDesignTaps)
        return 1;
    return platform::HardwareThreads();
}

// The work a design does, in the units its watch counts: the taps cleared when no band type
// matches; otherwise the side-tap pairs, then for every type but band-pass the taps twice,
// summed and scaled.
std::int64_t WorkOf(const Design& d) {
    if (d.type == BandType::none)
        return d.n;
    return d.centre + (d.type == BandType::bandPass ? 0 : 2 * std::int64_t{d.n});
}

template <class Window>
void Shape(const Design& d, const Window& window, unsigned threads, Watch& watch) {
    d.h[d.centre] = Windowed(d, window, d.centre, CentreTap(d.type, d.f1, d.f2));
    ForEachChunk(threads, 1, d.centre + 1, watch,
                 [&d, &window](int first, int last) { ShapeSideTaps(d, window, first, last); });
    if (d.type == BandType::bandPass)
        return; // left unscaled: no sum, no spectral inversion
    // One thread, so that the sum is added in tap order; in chunks all the same, to be stoppable.
    double sum = 0.0;
    ForEachChunk(1, 0, d.n, watch,
                 [&d, &sum](int first, int last) { AddToWindowedSum(d, sum, first, last); });
    if (IsInverted(d.type)) {
        d.h[d.centre] = d.h[d.centre] + 1.0;
        sum = sum + 1.0;
    }
    const double gain = std::fabs(sum);
    ForEachChunk(threads, 0, d.n, watch,
                 [&d, gain](int first, int last) { Normalise(d, gain, first, last); });
}

// A design no band type matches is all zeros, written in chunks like any other.
void Clear(const Design& d, Watch& watch) {
    ForEachChunk(1, 0, d.n, watch,
                 [&d](int first, int last) { std::fill(d.h + first, d.h + last, 0.0); });
}

} // namespace

BandType SelectBand(double f1, double f2) {
    if (EqualOrNaN(f1, 0.0) && LessOrNaN(f2, 1.0))
        return BandType::lowPass;
    if (GreaterNotNaN(f1, 0.0) && EqualOrNaN(f2, 1.0))
        return BandType::highPass;
    if (GreaterNotNaN(f1, 0.0) && LessOrNaN(f2, 1.0) && LessOrNaN(f1, f2))
        return BandType::bandPass;
    if (GreaterNotNaN(f1, 0.0) && LessOrNaN(f2, 1.0) && GreaterNotNaN(f1, f2))
        return BandType::bandStop;
    return BandType::none;
}

std::string_view BandTypeName(BandType type) {
    switch (type) {
    case BandType::lowPass:
        return "low-pass";
    case BandType::highPass:
        return "high-pass";
    case BandType::bandPass:
        return "band-pass";
    case BandType::bandStop:
        return "band-stop";
    case BandType::none:
        break;
    }
    return "no band type matched";
}

double NormalisedCutoff(double hz, double rate) {
    return (hz / rate) * 2.0;
}

std::int64_t TapsForOrder(int order) {
    // Parity of the signed order, so that negative orders fail to allocate.
    return order % 2 != 0 ? std::int64_t{order} : std::int64_t{order} + 1;
}

// DesignFilter with any window: the window is the only thing a caller chooses.
template <class MakeWindow>
int DesignWith(std::shared_ptr<double[]>& pCoef, int& nCoef, int order, double f1, double f2,
               unsigned threads, const Progress& progress, const MakeWindow& makeWindow) {
    const std::int64_t taps = TapsForOrder(order);
    pCoef.reset();
    nCoef = 0;
    // Not zero-filled: every tap is written below, in chunks that can be stopped, whereas
    // clearing gigabytes first could not.
    pCoef = mem::AllocateArrayForOverwrite<double>(taps);
    if (!pCoef)
        return -1;
    const Design design{pCoef.get(), static_cast<int>(taps), SelectBand(f1, f2), f1, f2};
    Watch watch(progress, WorkOf(design));
    if (design.type == BandType::none)
        Clear(design, watch); // no leftover memory shows
    else
        Shape(design, makeWindow(design), ThreadsFor(design.n, threads), watch);
    if (watch.Stopped()) {
        pCoef.reset();
        return kDesignStopped;
    }
    nCoef = design.n;
    return design.n;
}

int DesignFilter(std::shared_ptr<double[]>& pCoef, int& nCoef, int order, double f1, double f2,
                 unsigned threads, const Progress& progress) {
    return DesignWith(pCoef, nCoef, order, f1, f2, threads, progress,
                      [](const Design& d) { return Hamming{d}; });
}

int DesignFilterWindowed(std::shared_ptr<double[]>& pCoef, int& nCoef, int order, double f1,
                         double f2, const TapWindow& window, unsigned threads,
                         const Progress& progress) {
    return DesignWith(pCoef, nCoef, order, f1, f2, threads, progress, [&window](const Design& d) {
        return [&window, n = d.n](int k) { return window(k, n); };
    });
}

double DialogHammingAt(int k, int n) {
    return HammingAt(k, kTwoPi / (n - 1));
}
