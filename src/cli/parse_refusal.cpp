#include "cli/parse_refusal.h"

#include "cli/console.h"
#include "core/formats/crt.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

namespace {

// Levenshtein's distance: the fewest letters inserted, removed or replaced to turn a into b.
std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The option whose name is closest to word's (before any "=VALUE").
std::string ClosestOption(const CLI::App& app, const std::string& word) {
    const std::string name = word.substr(0, word.find('='));
    std::string closest;
    std::size_t best = std::string::npos;
    for (const CLI::Option* option : app.get_options()) {
        for (const std::string& candidate : option->get_lnames()) {
            const std::size_t distance = EditDistance(name, "--" + candidate);
            if (distance < best) {
                best = distance;
                closest = "--" + candidate;
            }
        }
    }
    return closest;
}

// The first word the parser could not place that is spelled as an option, not as a value.
std::optional<std::string> UnknownOption(const CLI::App& app) {
    for (const std::string& word : app.remaining())
        if (word.size() > 1 && word.front() == '-' && !crt::StrictAtof(word))
            return word;
    return std::nullopt;
}

} // namespace

std::string ParseRefusal(const CLI::App& app, const CLI::ParseError& error,
                         const OptionExamples& examples) {
    const std::string what = error.what();
    if (dynamic_cast<const CLI::ExtrasError*>(&error)) {
        if (const auto word = UnknownOption(app))
            return Echoed(word->substr(0, word->find('='))) + " is not an option of " + kProgram +
                   ": did you mean " + ClosestOption(app, *word) + "?";
        return what + " (each value follows its option, as in --order 511)";
    }
    if (!dynamic_cast<const CLI::ArgumentMismatch*>(&error))
        return what;
    // The parser names the option first: given too often, or without its value.
    for (const CLI::Option* option : app.get_options()) {
        const std::string name = option->get_name();
        if (!what.starts_with(name + ":"))
            continue;
        if (option->count() == 2)
            return name + " was given twice.";
        if (option->count() > 2)
            return name + " was given " + crt::FormatD(int(option->count())) + " times.";
        if (const auto example = examples.find(name); example != examples.end())
            return name + " needs a value, as in " + name + " " + example->second + ".";
    }
    return what;
}
