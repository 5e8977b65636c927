#include "core/document/recovery.h"

namespace taplore {

namespace {

constexpr std::string_view kPrefix = "recovery-";

// Two digits, as a clock shows them.
std::string TwoDigits(int value) {
    return {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

} // namespace

std::string RecoveryName(long long pid, int window) {
    return std::string(kPrefix) + std::to_string(pid) + "-" + std::to_string(window);
}

std::optional<long long> RecoveryPid(std::string_view fileName) {
    if (!fileName.starts_with(kPrefix) || !fileName.ends_with(kRecoveryExtension))
        return std::nullopt;
    fileName.remove_prefix(kPrefix.size());
    fileName.remove_suffix(kRecoveryExtension.size());
    // PID-N, each a whole number of digits.
    const std::size_t dash = fileName.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 18 || dash + 1 == fileName.size() ||
        fileName.size() - dash > 10)
        return std::nullopt;
    long long pid = 0;
    for (std::size_t i = 0; i < fileName.size(); ++i) {
        if (i == dash)
            continue;
        const char c = fileName[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        if (i < dash)
            pid = pid * 10 + (c - '0');
    }
    return pid;
}

std::string RecoveryQuestion(int hour, int minute) {
    return "Recover the unsaved design from " + TwoDigits(hour % 24) + ":" +
           TwoDigits(minute % 60) + "?";
}

std::string SaveChangesQuestion(const std::string& documentName) {
    return "Save the changes to " + documentName + "?";
}

} // namespace taplore
