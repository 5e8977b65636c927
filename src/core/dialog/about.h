#pragma once
// The About box's entry in the system menu, its text, and the manual's section for each
// dialog's F1.

#include <string>

namespace taplore {

// The system-menu command of the About entry; the low four bits are the system's own and
// do not count.
constexpr unsigned kAboutCommand = 0x0010;
constexpr bool IsAboutCommand(unsigned id) {
    return (id & 0xFFF0) == kAboutCommand;
}

inline constexpr const char* kAboutText = "FIR filter design program\n\n"
                                          "Author : The Taplore developers\n"
                                          "Email: taplore@example.org\n"
                                          "Web: https://taplore.example.org";

// The dialogs' template numbers, which pick the manual's section F1 opens.
constexpr int kAboutDialogId = 100;
constexpr int kDesignDialogId = 102;
// The requirements window has no template; its number only picks its section.
constexpr int kRequirementsWindowId = 104;

// The design dialog's system-menu command that opens the requirements window.
constexpr unsigned kRequirementsCommand = 0x0020;

// The manual's heading for a dialog's help.
std::string HelpSection(int dialogId);

} // namespace taplore
