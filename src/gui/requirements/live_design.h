#pragma once
// The requirements window's designs: what the window asks for, designed on a worker thread
// after a short pause in the typing, the next ask cancelling the design still running.

#include "core/analysis/views.h"
#include "core/design/requirements_design.h"
#include "core/progress.h"

#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <memory>
#include <vector>

// What the window asks for: the requirements, how to design to them, and the length.
struct DesignAsk {
    taplore::Requirements requirements;
    const taplore::Method* method = &taplore::DefaultMethod();
    int taps = 0; // 0: the fewest that meet the requirements (a method that searches)
};

// A design and what the window draws of it.
struct DesignShown {
    taplore::RequirementsDesign design;
    taplore::FrequencyViews views; // on a grid of `points` from 0 to half the rate
    std::vector<double> step;
    int points = 0;
};

// Designs ask and computes its views; safe on any thread. progress may stop it.
DesignShown DesignFor(const DesignAsk& ask, const Progress& progress = {});

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
