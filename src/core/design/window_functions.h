#pragma once
// The windows of the fixed-order window design: one table of names and one evaluator, read by
// every front-end. The dialog's Hamming window keeps its own entry and its written constants;
// the others are the textbook windows with the full pi.

#include "core/design/fir_design.h"
#include "core/progress.h"

#include <memory>
#include <span>
#include <string_view>

namespace taplore {

enum class WindowKind { hamming, rectangular, hann, blackman, blackmanHarris, kaiser };

struct WindowInfo {
    WindowKind kind;
    std::string_view name; // as the command line and the windows spell it
    bool takesParameter;   // Kaiser's beta
};

// Every window, the dialog's Hamming first.
std::span<const WindowInfo> Windows();

// The entry of that name, or null.
const WindowInfo* FindWindow(std::string_view name);
// The entry of that kind.
const WindowInfo& InfoOf(WindowKind kind);

// Kaiser's beta: from 0 (the rectangular window) to kMaxKaiserBeta.
constexpr double kMaxKaiserBeta = 100.0;

// w[k] of an n-tap window, k = 0 ... n-1, n >= 1. parameter: Kaiser's beta, ignored by the
// others. A one-tap window is 1, except the dialog's Hamming, whose 0/0 step makes it NaN.
double WindowAt(WindowKind kind, int k, int n, double parameter);

// DesignFilter with the window chosen: the same order, cutoffs, band types and results. The
// Hamming entry is DesignFilter itself, bit for bit.
int DesignWindowFilter(std::shared_ptr<double[]>& pCoef, int& nCoef, int order, double f1,
                       double f2, WindowKind kind, double parameter, unsigned threads = 0,
                       const Progress& progress = {});

} // namespace taplore
