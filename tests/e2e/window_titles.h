#pragma once
// The titles of the program's windows, the same in the Qt and the Windows dialog, by which
// the end-to-end tests find them.

namespace e2e {

inline constexpr const char* kMainTitle = "FIR Filter Design";
inline constexpr const char* kSaveTitle = "Save As";
inline constexpr const char* kAboutTitle = "About Taplore";
inline constexpr const char* kHelpTitle = "Taplore Help";
inline constexpr const char* kErrorTitle = "Error";
// The requirements window's title begins so; the state of its design follows.
inline constexpr const char* kRequirementsTitle = "Taplore Requirements Designer";
// The requirements window's questions: unsaved changes before a close, a crashed session's copy.
inline constexpr const char* kSaveChangesTitle = "Save Changes";
inline constexpr const char* kRecoverTitle = "Recover Design";

} // namespace e2e
