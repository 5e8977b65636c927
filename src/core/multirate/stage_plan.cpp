#include "core/multirate/stage_plan.h"

#include "core/design/requirements_design.h"
#include "core/formats/crt.h"

#include <algorithm>
#include <limits>
#include <map>
#include <tuple>

namespace taplore {

namespace {

const Method& MethodOf(const RateChangeAsk& ask) {
    return ask.method ? *ask.method : DefaultMethod();
}

// The divisors of n from 2 up, n itself last.
std::vector<int> Divisors(int n) {
    std::vector<int> low, high;
    for (int d = 2; static_cast<long long>(d) * d <= n; ++d)
        if (n % d == 0) {
            low.push_back(d);
            if (d != n / d)
                high.push_back(n / d);
        }
    low.insert(low.end(), high.rbegin(), high.rend());
    low.push_back(n);
    return low;
}

void AddFactorings(int rest, int most, std::vector<int>& prefix,
                   std::vector<std::vector<int>>& all) {
    if (rest == 1) {
        all.push_back(prefix);
        return;
    }
    if (static_cast<int>(prefix.size()) == most)
        return;
    // The largest factor first, so that the single factor leads.
    const std::vector<int> divisors = Divisors(rest);
    for (auto d = divisors.rbegin(); d != divisors.rend(); ++d) {
        prefix.push_back(*d);
        AddFactorings(rest / *d, most, prefix, all);
        prefix.pop_back();
    }
}

// The plans stages asks to compare, or the refusal's words.
std::vector<std::vector<int>> Candidates(int factor, const StagesAsk& stages,
                                         std::string& refusal) {
    switch (stages.kind) {
    case StagesAsk::Kind::one:
        return {{factor}};
    case StagesAsk::Kind::factors: {
        const long long product = FactorsProduct(stages.factors);
        if (product != factor)
            refusal = "the factors " + FactorsText(stages.factors) + " multiply to " +
                      std::to_string(product) + ", not " + crt::FormatD(factor);
        return {stages.factors};
    }
    case StagesAsk::Kind::count: {
        std::vector<std::vector<int>> plans;
        for (std::vector<int>& plan : Factorings(factor, stages.count))
            if (static_cast<int>(plan.size()) == stages.count)
                plans.push_back(std::move(plan));
        if (plans.empty())
            refusal = crt::FormatD(factor) + " is no product of " + crt::FormatD(stages.count) +
                      " factors of 2 or more";
        return plans;
    }
    case StagesAsk::Kind::automatic:
        break;
    }
    return Factorings(factor, kMostStages);
}

PlanCost Estimated(const RateChangeAsk& ask, const std::vector<int>& factors) {
    PlanCost cost;
    cost.factors = factors;
    const int count = static_cast<int>(factors.size());
    for (const StageSpot& spot : StageSpots(ask, factors))
        cost.estimatedTaps.push_back(MethodOf(ask).estimate(StageRequirements(ask, spot, count)));
    cost.estimated = MultiplicationsPerSample(factors, cost.estimatedTaps);
    return cost;
}

// Stages that several plans share are designed once.
class StageDesigns {
public:
    StageDesigns(const RateChangeAsk& ask, const Progress& progress)
        : m_ask(ask), m_progress(progress) {}

    const RequirementsDesign& Of(const StageSpot& spot, int stages) {
        const auto key = std::make_tuple(spot.rate, spot.factor, stages);
        auto found = m_designs.find(key);
        if (found == m_designs.end()) {
            RequirementsDesign design = DesignToTolerances(StageRequirements(m_ask, spot, stages),
                                                           MethodOf(m_ask), 0, m_progress);
            if (m_ask.change == RateChange::interpolate)
                for (double& tap : design.taps)
                    tap *= spot.factor;
            found = m_designs.emplace(key, std::move(design)).first;
        }
        return found->second;
    }

private:
    const RateChangeAsk& m_ask;
    const Progress& m_progress;
    std::map<std::tuple<double, int, int>, RequirementsDesign> m_designs;
};

// The plan's stages designed, or the first stage's design that reached no taps.
std::vector<Stage> DesignedStages(StageDesigns& designs, const RateChangeAsk& ask,
                                  const std::vector<int>& factors, RequirementsDesign& unmade) {
    std::vector<Stage> stages;
    for (const StageSpot& spot : StageSpots(ask, factors)) {
        const RequirementsDesign& design = designs.Of(spot, static_cast<int>(factors.size()));
        if (!HasTaps(design.status)) {
            unmade = design;
            return {};
        }
        stages.push_back({spot, design});
    }
    return stages;
}

std::vector<int> TapCounts(const std::vector<Stage>& stages) {
    std::vector<int> taps;
    for (const Stage& stage : stages)
        taps.push_back(static_cast<int>(stage.design.taps.size()));
    return taps;
}

} // namespace

std::optional<StagesAsk> ParseStages(std::string_view text) {
    if (text == "auto")
        return StagesAsk{StagesAsk::Kind::automatic, 0, {}};
    std::vector<int> factors;
    while (true) {
        const std::size_t x = text.find('x');
        const auto factor = crt::StrictAtoi(text.substr(0, x));
        if (!factor || *factor < 1)
            return std::nullopt;
        factors.push_back(*factor);
        if (x == std::string_view::npos)
            break;
        text.remove_prefix(x + 1);
    }
    if (factors.size() == 1) {
        if (factors[0] > kMostStages)
            return std::nullopt;
        return StagesAsk{
            factors[0] == 1 ? StagesAsk::Kind::one : StagesAsk::Kind::count, factors[0], {}};
    }
    if (factors.size() > kMostStages ||
        std::any_of(factors.begin(), factors.end(), [](int f) { return f < 2; }))
        return std::nullopt;
    return StagesAsk{StagesAsk::Kind::factors, static_cast<int>(factors.size()), factors};
}

long long FactorsProduct(const std::vector<int>& factors) {
    constexpr long long kLargest = std::numeric_limits<long long>::max();
    long long product = 1;
    for (const int factor : factors)
        product = factor > 0 && product > kLargest / factor ? kLargest : product * factor;
    return product;
}

std::string FactorsText(const std::vector<int>& factors) {
    std::string text;
    for (int f : factors) {
        if (!text.empty())
            text += 'x';
        text += crt::FormatD(f);
    }
    return text;
}

std::vector<std::vector<int>> Factorings(int factor, int most) {
    std::vector<std::vector<int>> all;
    std::vector<int> prefix;
    if (factor >= 2)
        AddFactorings(factor, most, prefix, all);
    return all;
}

// Whether a designed plan is to be taken before the one chosen so far: one that meets the
// requirements before one that misses, then the fewer multiplications.
bool Better(const PlanCost& plan, const PlanCost* chosen) {
    if (!chosen)
        return true;
    if (plan.met != chosen->met)
        return plan.met;
    return plan.multiplications < chosen->multiplications;
}

MultirateDesign DesignMultirate(const RateChangeAsk& ask, const StagesAsk& stages,
                                const Progress& progress) {
    MultirateDesign result;
    result.ask = ask;
    if (const auto problem = RateChangeProblem(ask)) {
        result.message = *problem;
        return result;
    }
    const std::vector<std::vector<int>> plans = Candidates(ask.factor, stages, result.message);
    if (!result.message.empty())
        return result;
    for (const std::vector<int>& plan : plans)
        result.compared.push_back(Estimated(ask, plan));
    std::stable_sort(
        result.compared.begin(), result.compared.end(),
        [](const PlanCost& a, const PlanCost& b) { return a.estimated < b.estimated; });
    StageDesigns designs(ask, progress);
    RequirementsDesign unmade;
    const PlanCost* chosen = nullptr;
    const std::size_t designed = std::min<std::size_t>(kPlansDesigned, result.compared.size());
    for (std::size_t i = 0; i < designed; ++i) {
        PlanCost& plan = result.compared[i];
        std::vector<Stage> planStages = DesignedStages(designs, ask, plan.factors, unmade);
        if (planStages.empty())
            continue;
        plan.designed = true;
        plan.taps = TapCounts(planStages);
        plan.multiplications = MultiplicationsPerSample(plan.factors, plan.taps);
        const CascadeFigures cascade = MeasureCascade(ask, planStages);
        plan.met = cascade.met;
        if (Better(plan, chosen)) {
            chosen = &plan;
            result.stages = std::move(planStages);
            result.cascade = cascade;
        }
    }
    // A stage its method refuses (too many taps for its longest design) is the plan's failure:
    // the options themselves were fine.
    if (!chosen) {
        result.status =
            unmade.status == DesignStatus::refused ? DesignStatus::failed : unmade.status;
        result.message = unmade.message;
        return result;
    }
    result.status = chosen->met ? DesignStatus::converged : DesignStatus::convergedWithWarning;
    if (!chosen->met)
        result.message = "the cascade misses the requirements";
    const auto single = std::find_if(result.compared.begin(), result.compared.end(),
                                     [](const PlanCost& plan) { return plan.factors.size() == 1; });
    result.oneStage = single != result.compared.end() ? *single : Estimated(ask, {ask.factor});
    return result;
}

} // namespace taplore
