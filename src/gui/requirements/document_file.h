#pragma once
// CDocumentFile: the requirements window's design document as a file. Its File menu (New,
// Open…, Save, Save As…, Open Recent, Export…), the question before unsaved changes are lost,
// the documents dropped on the window or named on the command line, and the recovery copy kept
// while there are unsaved changes and offered at the next start after a crash. What the
// document holds and how it is read and written is the presenter's.

#include "core/document/requirements_presenter.h"

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

class CDocumentFile : public QObject {
    Q_OBJECT

public:
    // A recovery copy is at most this old while there are unsaved changes.
    static constexpr int kRecoveryMs = 5000;

    // What the window asks its user, through boxes that tests replace.
    struct Asks {
        // "Save the changes to NAME?": Save, Discard or Cancel.
        std::function<QMessageBox::StandardButton(QWidget* owner, const QString& text)> saveChanges;
        // "Recover the unsaved design from 14:32?": yes or no.
        std::function<bool(QWidget* owner, const QString& text)> recover;
        // A document to open (save false) or the file to save it to; empty when cancelled.
        std::function<QString(QWidget* owner, bool save, const QString& suggested)> chooseFile;
        // A refusal or a failure, in a box with OK.
        std::function<void(QWidget* owner, const QString& caption, const QString& text)> tell;
    };
    static Asks& TheAsks();
    static Asks StandardAsks();

    // The folder of the recovery copies: ~/.local/state/Taplore, or $XDG_STATE_HOME/Taplore.
    static QString RecoveryFolder();

    // show puts inputs read into the window's controls; refresh shows the title anew;
    // exportTaps is the window's Export.
    CDocumentFile(QWidget* window, taplore::RequirementsPresenter& presenter,
                  std::function<void(const taplore::WindowInputs&)> show,
                  std::function<void()> refresh, std::function<void()> exportTaps);
    ~CDocumentFile() override;

    QMenuBar* MenuBar() const { return m_menuBar; }
    // File > Export…, enabled as the window's Export button is.
    QAction* ExportAction() const { return m_exportAction; }
    // The recovery copy being kept, empty while none is.
    QString RecoveryPath() const;

    // The inputs or the design shown changed: a copy is kept, or no longer needed.
    void Changed();
    // Whether the window may close or drop its document: there are no unsaved changes, or the
    // user saved or discarded them.
    bool MayDrop();
    // The window closed normally: its recovery copy goes.
    void Closed();

    // Opens the document at path, after asking about unsaved changes; false when it was not.
    bool Open(const QString& path);
    void New();
    bool Save();
    bool SaveAs();
    void ChooseAndOpen();
    // At the window's first showing: a copy a crashed session left is offered.
    void OfferRecovery();

private:
    bool OpenNow(const QString& path);
    bool SaveTo(const QString& path);
    void AddRecent(const QString& path);
    void FillRecent();
    void WriteRecoveryCopy();
    void RemoveRecoveryCopy();

    QWidget* m_window;
    taplore::RequirementsPresenter& m_presenter;
    std::function<void(const taplore::WindowInputs&)> m_show;
    std::function<void()> m_refresh;
    QMenuBar* m_menuBar;
    QMenu* m_menuRecent;
    QAction* m_exportAction;
    QTimer m_recoveryTimer;
    QString m_recoveryName; // recovery-PID-N, unique to this window
    bool m_copyWritten = false;
};
