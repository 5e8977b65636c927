#include "gui/requirements/document_file.h"

#include "core/dialog/dialog_messages.h"
#include "core/document/recovery.h"
#include "core/io/file_input.h"
#include "core/io/file_output.h"
#include "gui/guard.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>

#include <csignal>

namespace {

const char* const kFilter = "Taplore design (*.taplore)";
constexpr int kMostRecent = 8;

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

std::string ToPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QSettings Settings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Taplore", "requirements");
}

// Whether the process that wrote a copy still runs: a copy of its own, not a crashed one's.
bool Running(long long pid) {
#ifdef _WIN32
    return false;
#else
    if (pid <= 0 || pid == QCoreApplication::applicationPid())
        return pid > 0;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)
        return false;
    // A process killed but not yet reaped by its parent has ended all the same.
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray fields = stat.readAll();
        const qsizetype end = fields.lastIndexOf(')');
        if (end >= 0 && end + 2 < fields.size() &&
            (fields[end + 2] == 'Z' || fields[end + 2] == 'X'))
            return false;
    }
    // A process of another program may have come to the number since.
    QFile own("/proc/self/comm"), other(QString("/proc/%1/comm").arg(pid));
    if (!own.open(QIODevice::ReadOnly) || !other.open(QIODevice::ReadOnly))
        return true;
    return own.readAll() == other.readAll();
#endif
}

// The windows of this process, each with copies of its own.
int g_windows = 0;

} // namespace

CDocumentFile::Asks CDocumentFile::StandardAsks() {
    Asks asks;
    asks.saveChanges = [](QWidget* owner, const QString& text) {
        QMessageBox box(QMessageBox::Question, "Save Changes", text,
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, owner);
        box.setInformativeText("Changes that are not saved are lost.");
        box.button(QMessageBox::Save)->setText("&Save");
        box.button(QMessageBox::Discard)->setText("&Discard");
        box.setDefaultButton(QMessageBox::Save);
        return static_cast<QMessageBox::StandardButton>(box.exec());
    };
    asks.recover = [](QWidget* owner, const QString& text) {
        QMessageBox box(QMessageBox::Question, "Recover Design", text,
                        QMessageBox::Yes | QMessageBox::No, owner);
        box.setInformativeText("Taplore ended before this design was saved.");
        box.button(QMessageBox::Yes)->setText("&Recover");
        box.button(QMessageBox::No)->setText("&Discard");
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    };
    asks.chooseFile = [](QWidget* owner, bool save, const QString& suggested) {
        QFileDialog dialog(owner, save ? "Save Design As" : "Open Design");
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setNameFilter(kFilter);
        dialog.setDefaultSuffix("taplore");
        if (!suggested.isEmpty())
            dialog.selectFile(suggested);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };
    asks.tell = [](QWidget* owner, const QString& caption, const QString& text) {
        ShowMessage(owner, {taplore::MessageIcon::stop, caption.toStdString(), text.toStdString()});
    };
    return asks;
}

CDocumentFile::Asks& CDocumentFile::TheAsks() {
    static Asks asks = StandardAsks();
    return asks;
}

// Qt 6.4, Debian 12's, has no QStandardPaths::GenericStateLocation (6.7 brings it): the XDG
// base directories' state home, as that location gives it, is built here the same way.
QString CDocumentFile::RecoveryFolder() {
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
    const QString state = QStandardPaths::writableLocation(QStandardPaths::GenericStateLocation);
#else
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + "/.local/state";
#endif
    return state + "/Taplore";
}

CDocumentFile::CDocumentFile(QWidget* window, taplore::RequirementsPresenter& presenter,
                             std::function<void(const taplore::WindowInputs&)> show,
                             std::function<void()> refresh, std::function<void()> exportTaps)
    : QObject(window), m_window(window), m_presenter(presenter), m_show(std::move(show)),
      m_refresh(std::move(refresh)), m_menuBar(new QMenuBar(window)),
      m_recoveryName(
          FromStd(taplore::RecoveryName(QCoreApplication::applicationPid(), ++g_windows))) {
    QMenu* file = m_menuBar->addMenu("&File");
    const auto add = [&](const QString& text, const char* key, auto handler) {
        QAction* action = file->addAction(text);
        action->setShortcut(QKeySequence(key));
        connect(action, &QAction::triggered, this,
                [this, handler] { RunGuarded(m_window, [&] { handler(); }); });
    };
    add("&New", "Ctrl+N", [this] { New(); });
    add("&Open…", "Ctrl+O", [this] { ChooseAndOpen(); });
    add("&Save", "Ctrl+S", [this] { Save(); });
    add("Save &As…", "Ctrl+Shift+S", [this] { SaveAs(); });
    m_menuRecent = file->addMenu("Open &Recent");
    connect(m_menuRecent, &QMenu::aboutToShow, this, &CDocumentFile::FillRecent);
    file->addSeparator();
    m_exportAction = file->addAction("&Export…");
    connect(m_exportAction, &QAction::triggered, this, std::move(exportTaps));
    FillRecent();
    // The copy is written a while after the first unsaved change, never later.
    m_recoveryTimer.setSingleShot(true);
    m_recoveryTimer.setInterval(kRecoveryMs);
    connect(&m_recoveryTimer, &QTimer::timeout, this, &CDocumentFile::WriteRecoveryCopy);
}

CDocumentFile::~CDocumentFile() = default;

QString CDocumentFile::RecoveryPath() const {
    return m_copyWritten ? RecoveryFolder() + "/" + m_recoveryName + ".taplore" : QString();
}

void CDocumentFile::Changed() {
    if (!m_presenter.Modified()) {
        m_recoveryTimer.stop();
        RemoveRecoveryCopy();
    } else if (!m_recoveryTimer.isActive()) {
        m_recoveryTimer.start();
    }
}

bool CDocumentFile::MayDrop() {
    if (!m_presenter.Modified())
        return true;
    const QString text = FromStd(taplore::SaveChangesQuestion(m_presenter.DocumentName()));
    switch (TheAsks().saveChanges(m_window, text)) {
    case QMessageBox::Save:
        return Save();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void CDocumentFile::Closed() {
    m_recoveryTimer.stop();
    RemoveRecoveryCopy();
}

bool CDocumentFile::Open(const QString& path) {
    return MayDrop() && OpenNow(path);
}

bool CDocumentFile::OpenNow(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    std::string refusal;
    try {
        const taplore::WindowInputs inputs = m_presenter.Open(ToPath(absolute));
        m_show(inputs);
        m_presenter.MarkUnmodified();
        AddRecent(absolute);
        m_refresh();
        return true;
    } catch (const CFileException& e) {
        refusal = e.Message();
    } catch (const std::runtime_error& e) { // InputRefused, DocumentError
        refusal = e.what();
    }
    TheAsks().tell(m_window, "Error",
                   FromStd(taplore::RequirementsPresenter::OpenRefusal(ToPath(absolute), refusal)));
    return false;
}

void CDocumentFile::New() {
    if (!MayDrop())
        return;
    m_show(m_presenter.New());
    m_presenter.MarkUnmodified();
    m_refresh();
}

void CDocumentFile::ChooseAndOpen() {
    if (!MayDrop())
        return;
    const QString path = TheAsks().chooseFile(m_window, false, {});
    if (!path.isEmpty())
        OpenNow(path);
}

bool CDocumentFile::Save() {
    if (m_presenter.Path().empty())
        return SaveAs();
    return SaveTo(QFile::decodeName(QByteArray::fromStdString(m_presenter.Path())));
}

bool CDocumentFile::SaveAs() {
    const QString suggested =
        m_presenter.Path().empty()
            ? QString("design.taplore")
            : QFile::decodeName(QByteArray::fromStdString(m_presenter.Path()));
    QString path = TheAsks().chooseFile(m_window, true, suggested);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += ".taplore";
    return SaveTo(QFileInfo(path).absoluteFilePath());
}

// Through the writer of every save: an old file is replaced only once the new one is complete.
bool CDocumentFile::SaveTo(const QString& path) {
    try {
        if (const auto refused = m_presenter.Save(ToPath(path))) {
            TheAsks().tell(m_window, "Error", FromStd(*refused));
            return false;
        }
    } catch (const CFileException& e) {
        if (e.m_cause == CFileException::none)
            return false;
        // As the dialog's Save says it: the cause with the full path.
        const taplore::DialogMessage message = taplore::FileFailedMessage(ApplicationName(), e);
        TheAsks().tell(m_window, FromStd(message.caption), FromStd(message.text));
        return false;
    }
    AddRecent(path);
    m_refresh();
    return true;
}

// ---- recent documents ----------------------------------------------------------------------

void CDocumentFile::AddRecent(const QString& path) {
    std::vector<std::string> recent;
    for (const QString& entry : Settings().value("recent").toStringList())
        recent.push_back(entry.toStdString());
    QStringList kept;
    for (const std::string& entry : taplore::WithRecent(recent, path.toStdString(), kMostRecent))
        kept << FromStd(entry);
    Settings().setValue("recent", kept);
    FillRecent();
}

// "&1 /home/me/lowpass.taplore", the newest first; a file gone is said so when chosen.
void CDocumentFile::FillRecent() {
    m_menuRecent->clear();
    const QStringList recent = Settings().value("recent").toStringList();
    for (int i = 0; i < recent.size() && i < kMostRecent; ++i) {
        const QString path = recent[i];
        QAction* action = m_menuRecent->addAction(
            QString("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        connect(action, &QAction::triggered, this,
                [this, path] { RunGuarded(m_window, [&] { Open(path); }); });
    }
    m_menuRecent->setEnabled(!recent.isEmpty());
}

// ---- recovery ------------------------------------------------------------------------------

// The document as shown, and the file it was saved to, each replaced whole.
void CDocumentFile::WriteRecoveryCopy() {
    const std::optional<taplore::DesignDocument> document = m_presenter.Document();
    if (!m_presenter.Modified() || !document)
        return;
    const QString folder = RecoveryFolder();
    if (!QDir().mkpath(folder))
        return;
    const QString base = folder + "/" + m_recoveryName;
    try {
        WriteTextFile(ToPath(base + ".origin"), m_presenter.Path());
        WriteTextFile(ToPath(base + ".taplore"), taplore::WriteDocument(*document));
        m_copyWritten = true;
    } catch (const CFileException&) {
        // No room for the copy: the design on screen is still there to save.
    }
}

void CDocumentFile::RemoveRecoveryCopy() {
    if (!m_copyWritten)
        return;
    const QString base = RecoveryFolder() + "/" + m_recoveryName;
    QFile::remove(base + ".taplore");
    QFile::remove(base + ".origin");
    m_copyWritten = false;
}

// The newest copy of a session that is gone is offered, then removed, taken or not.
void CDocumentFile::OfferRecovery() {
    const QDir folder(RecoveryFolder());
    QFileInfo newest;
    for (const QFileInfo& copy : folder.entryInfoList({"recovery-*.taplore"}, QDir::Files)) {
        const auto pid = taplore::RecoveryPid(copy.fileName().toStdString());
        if (!pid || Running(*pid))
            continue;
        if (newest.filePath().isEmpty() || copy.lastModified() > newest.lastModified())
            newest = copy;
    }
    if (newest.filePath().isEmpty())
        return;
    const QString base = newest.absolutePath() + "/" + newest.completeBaseName();
    const QTime time = newest.lastModified().time();
    if (TheAsks().recover(m_window,
                          FromStd(taplore::RecoveryQuestion(time.hour(), time.minute())))) {
        try {
            QFile origin(base + ".origin");
            const QByteArray file = origin.open(QIODevice::ReadOnly) ? origin.readAll() : "";
            const taplore::DesignDocument document =
                taplore::LoadDocument(ToPath(newest.absoluteFilePath()));
            m_show(m_presenter.Recover(document, file.toStdString()));
            m_refresh();
        } catch (const std::exception& e) {
            TheAsks().tell(m_window, "Error",
                           FromStd(taplore::RequirementsPresenter::OpenRefusal(
                               ToPath(newest.absoluteFilePath()), e.what())));
        }
    }
    QFile::remove(base + ".taplore");
    QFile::remove(base + ".origin");
}
