#include "gui/design_app.h"

#include "core/version.h"
#include "gui/design_dlg.h"
#include "gui/guard.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

// The help file: the executable's path with its extension replaced by ".HLP".
QString HelpFilePath() {
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    return exe.absolutePath() + '/' + exe.completeBaseName() + ".HLP";
}

} // namespace

CDesignApp::CDesignApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("Taplore");
    setApplicationVersion(kTaploreVersion);
    setDesktopFileName(kTaploreAppId);
}

bool CDesignApp::InitInstance() {
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

void CDesignApp::OnHelp(QWidget* owner) {
    // No viewer here understands help contexts: the whole file is handed to the desktop.
    const QString path = HelpFilePath();
    if (!QFileInfo::exists(path) || !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        ShowMessage(owner, QMessageBox::Warning, ApplicationName(), "Failed to launch help.");
}
