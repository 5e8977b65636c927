#pragma once
// Double-double numbers: an unevaluated sum hi + lo of two doubles, about 106 bits, from
// error-free transformations of double arithmetic (Dekker, Knuth). Only what the equiripple
// exchange needs for its deepest evaluations: +, -, *, / and conversions.

#include <algorithm>
#include <cmath>
#include <vector>

namespace taplore {

class DoubleDouble {
public:
    DoubleDouble() = default;
    DoubleDouble(double value) : m_hi(value) {} // NOLINT: as a double converts to long double
    explicit DoubleDouble(long double value)
        : m_hi(static_cast<double>(value)),
          m_lo(static_cast<double>(value - static_cast<long double>(m_hi))) {}

    explicit operator double() const { return m_hi + m_lo; }
    explicit operator long double() const {
        return static_cast<long double>(m_hi) + static_cast<long double>(m_lo);
    }
    double High() const { return m_hi; }
    // Times 2^exponent: exact in both parts, short of underflow.
    DoubleDouble Scaled(int exponent) const {
        return {std::ldexp(m_hi, exponent), std::ldexp(m_lo, exponent)};
    }

    // a - b exactly.
    static DoubleDouble Difference(double a, double b) { return TwoSum(a, -b); }

    friend DoubleDouble operator+(DoubleDouble a, DoubleDouble b) {
        // Knuth's two-sum of the high parts, the low parts added into its error.
        const DoubleDouble sum = TwoSum(a.m_hi, b.m_hi);
        return QuickTwoSum(sum.m_hi, sum.m_lo + a.m_lo + b.m_lo);
    }
    friend DoubleDouble operator-(DoubleDouble a) { return {-a.m_hi, -a.m_lo}; }
    friend DoubleDouble operator-(DoubleDouble a, DoubleDouble b) { return a + -b; }
    friend DoubleDouble operator*(DoubleDouble a, DoubleDouble b) {
        // Dekker's exact product of the high parts, the cross terms added into its error.
        const DoubleDouble product = TwoProduct(a.m_hi, b.m_hi);
        return QuickTwoSum(product.m_hi, product.m_lo + a.m_hi * b.m_lo + a.m_lo * b.m_hi);
    }
    friend DoubleDouble operator/(DoubleDouble a, DoubleDouble b) {
        // A first quotient in double, then one Newton correction from the exact remainder.
        const double first = a.m_hi / b.m_hi;
        const DoubleDouble remainder = a - b * DoubleDouble(first);
        return QuickTwoSum(first, remainder.m_hi / b.m_hi);
    }
    DoubleDouble& operator+=(DoubleDouble b) { return *this = *this + b; }
    DoubleDouble& operator*=(DoubleDouble b) { return *this = *this * b; }

private:
    DoubleDouble(double hi, double lo) : m_hi(hi), m_lo(lo) {}

    // a + b exactly, as the rounded sum and its error.
    static DoubleDouble TwoSum(double a, double b) {
        const double sum = a + b;
        const double b1 = sum - a;
        return {sum, (a - (sum - b1)) + (b - b1)};
    }
    // The same where |a| >= |b|.
    static DoubleDouble QuickTwoSum(double a, double b) {
        const double sum = a + b;
        return {sum, b - (sum - a)};
    }
    // a * b exactly, each split into two halves of 26 bits whose products are exact.
    static DoubleDouble TwoProduct(double a, double b) {
        const double product = a * b;
        const auto [aHigh, aLow] = Split(a);
        const auto [bHigh, bLow] = Split(b);
        return {product, ((aHigh * bHigh - product) + aHigh * bLow + aLow * bHigh) + aLow * bLow};
    }
    struct Halves {
        double high, low;
    };
    static Halves Split(double a) {
        constexpr double kSplitter = 134'217'729.0; // 2^27 + 1
        const double t = kSplitter * a;
        const double high = t - (t - a);
        return {high, a - high};
    }

    double m_hi = 0.0;
    double m_lo = 0.0;
};

// Each value rounded to T (double or long double).
template <class T> std::vector<T> Rounded(const std::vector<DoubleDouble>& values) {
    std::vector<T> rounded(values.size());
    std::transform(values.begin(), values.end(), rounded.begin(),
                   [](DoubleDouble value) { return static_cast<T>(value); });
    return rounded;
}

} // namespace taplore
