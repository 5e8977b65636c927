#pragma once
// Shared helpers of the GUI tests: a design dialog built and shown without its modal loop,
// and a watcher that answers the modal boxes and menus a handler opens.

#include "gui/design_dlg.h"

#include <QElapsedTimer>
#include <QImage>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <ostream>
#include <vector>

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

class QLineEdit;
class QSlider;

// The controls' names.
inline const QString kOrder = "editOrder";
inline const QString kRate = "editSampleRate";
inline const QString kSliderLow = "sliderLow";
inline const QString kSliderHigh = "sliderHigh";
inline const QString kLabelLow = "labelLow";
inline const QString kLabelHigh = "labelHigh";
inline const QString kCalculate = "calculate";
inline const QString kSave = "save";

// The design dialog as the user sees it after start-up.
class ShownDesignDialog {
public:
    ShownDesignDialog();

    CDesignDlg dlg;

    QWidget* Control(const QString& name) const;
    QLineEdit* Edit(const QString& name) const;
    QSlider* Slider(const QString& name) const;
    QString LabelText(const QString& name) const;
    // The coefficient list as shown.
    QStringList ListItems() const;
    // Clicks a button the way the user does; waits for posted work to finish.
    void Click(const QString& name);
    // Replaces an edit's text by pasting from the clipboard.
    void Paste(const QString& name, const QString& text);
    QImage RenderSpectrum();
};

// What a modal box or menu showed when it appeared.
struct SeenWindow {
    QString kind; // "message", "file", "menu" or "dialog"
    QString title;
    QString text; // message text, or the menu's entries joined by '|', or the dialog's labels
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Watches for modal windows and popup menus while it lives. Each new one is recorded and
// answered by the next queued action; without one, message boxes are confirmed (Yes, else
// OK), dialogs are cancelled and menus closed.
class ModalWatcher {
public:
    using Action = std::function<void(QWidget*)>;
    explicit ModalWatcher(std::vector<Action> actions = {});
    ~ModalWatcher();
    ModalWatcher(const ModalWatcher&) = delete;
    ModalWatcher& operator=(const ModalWatcher&) = delete;

    const std::vector<SeenWindow>& Seen() const { return m_seen; }
    // The message boxes only.
    std::vector<SeenWindow> Messages() const;

    static void Answer(QWidget* window);

private:
    void Poll();

    QTimer m_timer;
    std::deque<Action> m_actions;
    static constexpr qint64 kPatienceMs = 5000;
    struct Handled {
        QPointer<QWidget> window;
        QElapsedTimer since;
    };
    std::vector<Handled> m_handled;
    std::vector<SeenWindow> m_seen;
};

// What taplore-design writes to standard output for these arguments; its status must be 0.
QString DesignerOutput(const QString& arguments);

// An action for the Save As dialog: enters name in folder and accepts.
ModalWatcher::Action ChooseFile(const QString& folder, const QString& name);
// The same for the Export dialog, with the file type of format chosen first; offered, where
// given, says whether the dialog had that type.
ModalWatcher::Action ChooseFormat(const QString& folder, const QString& name, const QString& format,
                                  bool* offered = nullptr);

// How many pixels of widget, as painted, are colour.
int PixelsOf(QWidget& widget, const QColor& colour);
