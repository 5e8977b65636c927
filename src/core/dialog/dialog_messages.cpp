#include "core/dialog/dialog_messages.h"

#include "core/io/file_output.h"

namespace taplore {

namespace {

// A box for a failure the program itself reports, captioned with its name.
DialogMessage ProgramMessage(MessageIcon icon, std::string_view applicationName, std::string text) {
    return {icon, std::string(applicationName), std::move(text)};
}

} // namespace

DialogMessage ErrorMessage(std::string text) {
    return {MessageIcon::stop, "Error", std::move(text)};
}

std::string ApplicationName(std::string_view executablePath) {
    const std::size_t folder = executablePath.find_last_of("/\\");
    std::string_view name =
        folder == std::string_view::npos ? executablePath : executablePath.substr(folder + 1);
    const std::size_t extension = name.rfind('.');
    if (extension != std::string_view::npos && extension > 0)
        name = name.substr(0, extension);
    return std::string(name);
}

DialogMessage DesignFailedMessage() {
    return ErrorMessage("Calculating FIR coefficients failed!");
}

DialogMessage MagnitudeFailedMessage() {
    return ErrorMessage("Calculating magnitude failed!");
}

DialogMessage OutOfMemoryMessage(std::string_view applicationName) {
    return ProgramMessage(MessageIcon::exclamation, applicationName, "Out of memory.");
}

DialogMessage FileFailedMessage(std::string_view applicationName, const CFileException& failure) {
    return ProgramMessage(MessageIcon::stop, applicationName, failure.Message());
}

DialogMessage HelpFailedMessage(std::string_view applicationName) {
    return ProgramMessage(MessageIcon::exclamation, applicationName, "Failed to launch help.");
}

} // namespace taplore
