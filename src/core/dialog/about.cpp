#include "core/dialog/about.h"

namespace taplore {

std::string HelpSection(int dialogId) {
    return dialogId == kAboutDialogId ? "The About box" : "The design dialog";
}

} // namespace taplore
