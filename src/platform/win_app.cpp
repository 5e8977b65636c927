#include "platform/win_app.h"

#include "res/resource.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QIcon>
#include <QUrl>

#include <csignal>

namespace {
CWinApp* g_pApp = nullptr;

// The help file: the executable's path with its extension replaced by ".HLP".
QString HelpFilePath() {
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    return exe.absolutePath() + '/' + exe.completeBaseName() + ".HLP";
}
} // namespace

CWinApp::CWinApp() {
    g_pApp = this;
}

CWinApp::~CWinApp() {
    g_pApp = nullptr;
}

CIcon CWinApp::LoadIcon(int id) const {
    // The images live in a static library, whose resources must be registered by hand.
    static const bool registered = [] {
        Q_INIT_RESOURCE(taplore);
        return true;
    }();
    (void)registered;
    const IconResource images = FindIconResource(id);
    QIcon icon;
    icon.addFile(QString::fromUtf8(images.small), QSize(16, 16));
    icon.addFile(QString::fromUtf8(images.large), QSize(32, 32));
    return CIcon(icon);
}

std::string CWinApp::LoadString(int id) const {
    return FindStringResource(id);
}

void CWinApp::WinHelp(unsigned /*context*/) {
    // No viewer here understands help contexts: the whole file is handed to the desktop.
    const QString path = HelpFilePath();
    if (!QFileInfo::exists(path) || !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        AfxMessageBox("Failed to launch help.", MessageIcon::exclamation);
}

CWinApp* AfxGetApp() {
    return g_pApp;
}

int AfxWinMain(int argc, char** argv) {
    // A pipe whose reader went away fails the write (reported as disk full) instead of
    // killing the program.
    std::signal(SIGPIPE, SIG_IGN);
    QApplication application(argc, argv);
    QApplication::setApplicationName(version::kInternalName);
    QApplication::setApplicationVersion(version::kFileVersion);
    QGuiApplication::setDesktopFileName(version::kDesktopEntry);
    g_pApp->InitInstance();
    return 0;
}
