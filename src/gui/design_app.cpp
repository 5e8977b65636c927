#include "gui/design_app.h"

#include "core/dialog/about.h"
#include "core/dialog/dialog_messages.h"
#include "core/version.h"
#include "gui/about_dlg.h"
#include "gui/design_dlg.h"
#include "gui/guard.h"
#include "gui/help_wnd.h"
#include "gui/requirements/requirements_wnd.h"

CDesignApp::CDesignApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("Taplore");
    setApplicationVersion(kTaploreVersion);
    setDesktopFileName(kTaploreAppId);
}

// `taplore FILE.taplore` and `taplore --requirements [FILE.taplore]` open the requirements
// window, with the document named.
bool CDesignApp::InitInstance() {
    QString document;
    for (const QString& argument : arguments().mid(1))
        if (!argument.startsWith("-")) {
            document = argument;
            break;
        }
    if (arguments().contains("--requirements") || !document.isEmpty()) {
        auto* requirements = new CRequirementsWnd;
        requirements->setAttribute(Qt::WA_DeleteOnClose);
        requirements->OpenAtStart(document);
        requirements->show();
        return true;
    }
    CDesignDlg dlg;
    dlg.exec();
    return false;
}

QIcon CDesignApp::ProgramIcon() {
    QIcon icon;
    icon.addFile(":/icons/taplore-16.png", QSize(16, 16));
    icon.addFile(":/icons/taplore-32.png", QSize(32, 32));
    return icon;
}

void CDesignApp::OnHelp(QWidget* owner, int dialogId) {
    if (!CHelpWnd::ShowSection(owner, QString::fromStdString(taplore::HelpSection(dialogId))))
        ShowMessage(owner, taplore::HelpFailedMessage(ApplicationName()));
}
