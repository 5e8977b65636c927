#pragma once
// Splitting a rate change into a cascade of stages: the factorings of M, their cost, and the
// plan with the fewest multiplications per high-rate sample, its stages designed and the
// cascade measured.

#include "core/multirate/rate_change.h"
#include "core/progress.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace taplore {

// How the factor is split: one stage, the cheapest plan of any number of stages (up to
// kMostStages), the cheapest of `count` stages, or the factors given, from the high rate down.
struct StagesAsk {
    enum class Kind { one, automatic, count, factors };
    Kind kind = Kind::one;
    int count = 1;
    std::vector<int> factors;
};
constexpr int kMostStages = 4;

// "auto", a count from 1 to kMostStages, or factors of 2 or more joined by "x" ("4x4x3").
std::optional<StagesAsk> ParseStages(std::string_view text);

// Factors as --stages takes them: "4x4x3".
std::string FactorsText(const std::vector<int>& factors);

// The product of factors, held at the largest long long where it would pass it.
long long FactorsProduct(const std::vector<int>& factors);

// Every ordered factoring of factor into `most` factors or fewer, each 2 or more; factor itself
// first.
std::vector<std::vector<int>> Factorings(int factor, int most);

// A plan compared: its factors, the taps of its stages estimated by the method and, where it
// was designed, the taps reached and whether its cascade meets the requirements.
struct PlanCost {
    std::vector<int> factors;
    std::vector<int> estimatedTaps;
    double estimated = 0.0; // multiplications per high-rate sample, from the estimates
    bool designed = false;
    std::vector<int> taps;
    double multiplications = 0.0; // from the taps designed
    bool met = false;
};

// The plans of the cheapest estimates designed for real.
constexpr int kPlansDesigned = 3;

struct MultirateDesign {
    DesignStatus status = DesignStatus::refused;
    std::string message; // why refused or failed
    RateChangeAsk ask;
    std::vector<Stage> stages; // from the high rate down
    CascadeFigures cascade;
    // auto and a count: every plan compared, cheapest estimate first; one given plan alone.
    std::vector<PlanCost> compared;
    // The single stage the plan is weighed against: designed where it is the plan, else
    // estimated.
    PlanCost oneStage;
};

// The plan stages asks for, its stages designed to their own requirements by ask's method (the
// default where null), the cascade measured. ask out of range (RateChangeProblem), or a plan
// that is not a factoring of the factor, is refused; a stage that cannot be designed fails the
// plan, with that design's reason. progress may stop the designs.
MultirateDesign DesignMultirate(const RateChangeAsk& ask, const StagesAsk& stages,
                                const Progress& progress = {});

} // namespace taplore
