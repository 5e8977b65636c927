#include "core/document/recovery.h"

#include <cstdio>

namespace taplore {

namespace {

constexpr std::string_view kPrefix = "recovery-";

} // namespace

std::string RecoveryName(long long pid, int window) {
    return std::string(kPrefix) + std::to_string(pid) + "-" + std::to_string(window);
}

std::optional<long long> RecoveryPid(std::string_view fileName) {
    if (!fileName.starts_with(kPrefix) || !fileName.ends_with(kRecoveryExtension))
        return std::nullopt;
    fileName.remove_prefix(kPrefix.size());
    fileName.remove_suffix(kRecoveryExtension.size());
    const std::size_t dash = fileName.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 18 || dash + 1 == fileName.size())
        return std::nullopt;
    long long pid = 0;
    for (std::size_t i = 0; i < fileName.size(); ++i) {
        const char c = fileName[i];
        if (i == dash)
            continue;
        if (c < '0' || c > '9' || i > dash + 9)
            return std::nullopt;
        if (i < dash)
            pid = pid * 10 + (c - '0');
    }
    return pid;
}

std::string RecoveryQuestion(int hour, int minute) {
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", hour % 24, minute % 60);
    return "Recover the unsaved design from " + std::string(time) + "?";
}

std::string SaveChangesQuestion(const std::string& documentName) {
    return "Save the changes to " + documentName + "?";
}

} // namespace taplore
