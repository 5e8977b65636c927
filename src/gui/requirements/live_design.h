#pragma once
// The requirements window's designs: what the window asks for, designed on a worker thread
// after a short pause in the typing, the next ask cancelling the design still running.

#include "core/document/requirements_presenter.h"

#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <memory>

using taplore::DesignAsk;
using taplore::DesignShown;

class CLiveDesign : public QObject {
    Q_OBJECT

public:
    // The pause after the last edit before a design starts.
    static constexpr int kPauseMs = 150;

    explicit CLiveDesign(QObject* parent = nullptr);
    // Stops a design under way and waits for its thread.
    ~CLiveDesign() override;

    // Designs ask once the edits have paused; a design still running is stopped.
    void Ask(DesignAsk ask);
    // Drops a waiting ask and stops a design under way, as for requirements that are wrong.
    void Cancel();

signals:
    void designed(std::shared_ptr<const DesignShown> shown);

private slots:
    void OnPauseOver();

private:
    QTimer m_pause;
    QThreadPool m_pool;
    DesignAsk m_ask;
    std::shared_ptr<std::atomic<bool>> m_stop;
};
