#pragma once
// Which message box follows which failure: its icon, caption and text. The windows only
// show what these give.

#include <string>
#include <string_view>

class CFileException;

namespace taplore {

enum class MessageIcon { stop, exclamation };

struct DialogMessage {
    MessageIcon icon = MessageIcon::stop;
    std::string caption;
    std::string text;
};

// The caption of the boxes for failures of the program rather than of a command: the
// executable's file name without folder and extension.
std::string ApplicationName(std::string_view executablePath);

// A box for a failed command: caption "Error", the stop icon.
DialogMessage ErrorMessage(std::string text);

// Calculate could not allocate the taps, or could not compute the spectrum of the listed taps
// (more than the transform holds).
DialogMessage DesignFailedMessage();
DialogMessage MagnitudeFailedMessage();

// Memory ran out in the middle of a command; what it had done stays done.
DialogMessage OutOfMemoryMessage(std::string_view applicationName);
// A file could not be written: its cause with the full path.
DialogMessage FileFailedMessage(std::string_view applicationName, const CFileException& failure);
// F1 could not show the manual.
DialogMessage HelpFailedMessage(std::string_view applicationName);

} // namespace taplore
