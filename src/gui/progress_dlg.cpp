#include "gui/progress_dlg.h"

#include "gui/dialog_units.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>

#include <exception>
#include <memory>

namespace {

constexpr int kBarSteps = 1000;
// Often enough for the bar to move smoothly, seldom enough to cost nothing.
constexpr int kBarUpdateMs = 50;

} // namespace

CProgressDlg::CProgressDlg(const QString& text, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(parent->windowTitle());
    setFont(parent->font());
    const DialogUnits units(font());
    setFixedSize(units.X(180), units.Y(58));
    auto* label = new QLabel(text, this);
    units.Place(label, 10, 8, 160, 10);
    m_progressBar = new QProgressBar(this);
    m_progressBar->setRange(0, kBarSteps);
    m_progressBar->setTextVisible(false);
    units.Place(m_progressBar, 10, 20, 160, 10);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setDefault(true);
    units.Place(cancel, 65, 38, 50, 14);
    cancel->setFocus();

    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_timer, &QTimer::timeout, this, &CProgressDlg::OnTimer);
}

void CProgressDlg::Run(const std::function<void(const Progress&)>& work) {
    std::exception_ptr failure;
    const Progress progress = [this](double done) { return Report(done); };
    const std::unique_ptr<QThread> thread(QThread::create([&] {
        try {
            work(progress);
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    connect(thread.get(), &QThread::finished, this, &QDialog::accept);
    // The box's own arrow over any wait cursor the handler shows, so that Cancel looks pressable.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    m_timer.start(kBarUpdateMs);
    thread->start();
    exec();
    // Closed by Cancel, Escape or the window manager: the work stops at its next step.
    m_stop = true;
    thread->wait();
    m_timer.stop();
    QGuiApplication::restoreOverrideCursor();
    if (failure)
        std::rethrow_exception(failure);
}

void CProgressDlg::OnTimer() {
    m_progressBar->setValue(static_cast<int>(m_done.load() * kBarSteps));
}

// Called from the work's threads.
bool CProgressDlg::Report(double done) {
    m_done = done;
    return !m_stop;
}
