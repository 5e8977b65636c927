#pragma once
// The recovery copies of the requirements window and its questions about unsaved changes. A
// window with unsaved changes keeps its document as NAME.taplore in the recovery folder, with
// NAME.origin beside it holding the file the document was saved to (empty for a new one); NAME
// is recovery-PID-N, the process and its window, so that sessions side by side keep apart and a
// copy whose process is gone is a crashed session's.

#include <optional>
#include <string>
#include <string_view>

namespace taplore {

inline constexpr std::string_view kRecoveryExtension = ".taplore";
inline constexpr std::string_view kOriginExtension = ".origin";

// "recovery-1234-2".
std::string RecoveryName(long long pid, int window);
// The process of a copy's file name ("recovery-1234-2.taplore"), nothing for another file.
std::optional<long long> RecoveryPid(std::string_view fileName);

// "Recover the unsaved design from 14:32?": the copy's time, HH:MM.
std::string RecoveryQuestion(int hour, int minute);
// "Save the changes to lowpass.taplore?"
std::string SaveChangesQuestion(const std::string& documentName);

} // namespace taplore
