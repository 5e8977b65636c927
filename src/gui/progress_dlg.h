#pragma once
// CProgressDlg: the modal box long work runs behind, with a bar that follows it and Cancel.

#include "core/progress.h"

#include <QDialog>
#include <QTimer>

#include <atomic>
#include <functional>

class QProgressBar;

class CProgressDlg : public QDialog {
    Q_OBJECT

public:
    CProgressDlg(const QString& text, QWidget* parent);

    // Runs work on a thread of its own while the box is open, so that the windows behind keep
    // painting, and returns once the work has ended. The work is handed the progress that
    // moves the bar and stops it after Cancel. What the work throws is thrown again here.
    void Run(const std::function<void(const Progress&)>& work);

private slots:
    void OnTimer();

private:
    bool Report(double done);

    QProgressBar* m_progressBar;
    QTimer m_timer;
    std::atomic<double> m_done = 0.0;
    std::atomic<bool> m_stop = false;
};
