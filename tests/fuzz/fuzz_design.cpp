// The designer over arbitrary orders and cutoffs: no crash, no undefined behaviour, and the
// properties every design keeps: odd tap count from the order's parity, an empty buffer on
// failure, zeros when no band type matches, the same bits when followed by a progress and on
// three threads as on one, and a spectrum for every design that fits one.
#include "core/analysis/log_magnitude.h"
#include "core/design/fir_design.h"
#include "core/io/memory.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

template <class T> T Read(const std::uint8_t* data) {
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

// The band tests count a not-a-number operand as "=" and "<" true and ">" false.
bool MatchesNoBand(double f1, double f2) {
    const bool f1IsZero = std::isnan(f1) || f1 == 0.0;
    const bool f2IsOne = std::isnan(f2) || f2 == 1.0;
    const bool f2BelowOne = std::isnan(f2) || f2 < 1.0;
    const bool f1AboveZero = f1 > 0.0;
    const bool ordered = std::isnan(f1) || std::isnan(f2) || f1 < f2;
    return !(f1IsZero && f2BelowOne) && !(f1AboveZero && f2IsOne) &&
           !(f1AboveZero && f2BelowOne && ordered) && !(f1AboveZero && f2BelowOne && f1 > f2);
}

// Most orders are brought within 256, where a design takes microseconds, so that the cutoffs
// get explored; one in 32 within 8192, several chunks of work; one in 128 is made huge
// (2^30 and up, or negative), which must fail at once.
std::int32_t DrawnOrder(std::int32_t raw) {
    if (raw % 128 == 0)
        return raw | (std::int32_t{1} << 30);
    return raw % 32 == 0 ? raw % 8193 : raw % 257;
}

// Starting threads and transforming cost a hundred designs of a few taps, so one order in 16
// has a second design, followed and on three threads, and the spectrum checked as well.
bool Thorough(std::int32_t order) {
    return order % 16 == 1;
}

// Designs above this size fail as too large, so that a large order costs little either way.
constexpr std::uint64_t kFreeBytes = std::uint64_t{1} << 20;

void Check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Order, then the two cutoffs, packed.
    if (size < 20)
        return 0;
    const struct {
        std::int32_t order;
        double f1, f2;
    } in{DrawnOrder(Read<std::int32_t>(data)), Read<double>(data + 4), Read<double>(data + 12)};
    mem::SetFreeBytesForTesting(kFreeBytes);

    std::shared_ptr<double[]> coef;
    int count = 0;
    const int result = DesignFilter(coef, count, in.order, in.f1, in.f2, 1);
    const std::int64_t taps =
        in.order % 2 != 0 ? std::int64_t{in.order} : in.order + std::int64_t{1};
    if (result < 0) {
        Check(result == -1 && !coef && count == 0);
        Check(taps <= 0 || static_cast<std::uint64_t>(taps) * 8 > kFreeBytes);
        return 0;
    }
    Check(result == taps && count == taps && coef);
    if (MatchesNoBand(in.f1, in.f2))
        for (int k = 0; k < count; ++k)
            Check(coef[k] == 0.0);
    if (!Thorough(in.order))
        return 0;
    std::shared_ptr<double[]> followed;
    int followedCount = 0;
    const Progress inRange = [](double done) { return done >= 0.0 && done <= 1.0; };
    Check(DesignFilter(followed, followedCount, in.order, in.f1, in.f2, 3, inRange) == result);
    Check(std::memcmp(followed.get(), coef.get(), sizeof(double) * count) == 0);
    std::unique_ptr<double[]> magDb;
    int bins = 0;
    Check(ComputeLogMagnitude(coef.get(), count, magDb, bins) == (count <= 1024 ? 512 : -1));
    return 0;
}
