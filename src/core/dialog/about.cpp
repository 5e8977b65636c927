#include "core/dialog/about.h"

namespace taplore {

std::string HelpSection(int dialogId) {
    switch (dialogId) {
    case kAboutDialogId:
        return "The About box";
    case kRequirementsWindowId:
        return "The requirements window";
    default:
        return "The design dialog";
    }
}

} // namespace taplore
