#include "gui/requirements/live_design.h"

CLiveDesign::CLiveDesign(QObject* parent) : QObject(parent) {
    m_pause.setSingleShot(true);
    // To the millisecond: a coarse timer may wait 5% longer.
    m_pause.setTimerType(Qt::PreciseTimer);
    m_pause.setInterval(kPauseMs);
    m_pool.setMaxThreadCount(1);
    connect(&m_pause, &QTimer::timeout, this, &CLiveDesign::OnPauseOver);
}

CLiveDesign::~CLiveDesign() {
    Cancel();
    m_pool.waitForDone();
}

void CLiveDesign::Ask(DesignAsk ask) {
    Cancel();
    m_ask = std::move(ask);
    m_pause.start();
}

void CLiveDesign::Cancel() {
    m_pause.stop();
    if (m_stop)
        m_stop->store(true);
}

// The worker reads only its own copy of the ask; its result comes back through the event
// loop, unless a later ask has stopped it meanwhile.
void CLiveDesign::OnPauseOver() {
    auto stop = std::make_shared<std::atomic<bool>>(false);
    m_stop = stop;
    m_pool.start([this, ask = m_ask, stop] {
        auto shown = std::make_shared<const DesignShown>(
            taplore::DesignFor(ask, [stop](double) { return !stop->load(); }));
        QMetaObject::invokeMethod(
            this,
            [this, shown, stop] {
                if (!stop->load())
                    emit designed(shown);
            },
            Qt::QueuedConnection);
    });
}
