#include "gui/requirements/live_design.h"

#include <algorithm>
#include <bit>
#include <new>

namespace {

// Eight points a tap show every ripple of the magnitude; at least a screen's width of them.
int PointsFor(std::size_t taps) {
    const auto wanted = std::bit_ceil(std::max<std::size_t>(taps * 8, 2048));
    return static_cast<int>(std::min<std::size_t>(wanted, 1 << 18));
}

} // namespace

DesignShown DesignFor(const DesignAsk& ask, const Progress& progress) {
    DesignShown shown;
    try {
        shown.design =
            taplore::DesignToTolerances(ask.requirements, *ask.method, ask.taps, progress);
    } catch (const std::bad_alloc&) { // the measuring grid of a long design
        shown.design.status = taplore::DesignStatus::failed;
        shown.design.message = "there is not enough memory for it";
        return shown;
    }
    if (!taplore::HasTaps(shown.design.status))
        return shown;
    const taplore::FrequencyGrid grid(PointsFor(shown.design.taps.size()));
    shown.views = taplore::ComputeFrequencyViews(shown.design.taps, grid);
    shown.step = taplore::StepResponse(shown.design.taps);
    shown.points = grid.Points();
    return shown;
}

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
            DesignFor(ask, [stop](double) { return !stop->load(); }));
        QMetaObject::invokeMethod(
            this,
            [this, shown, stop] {
                if (!stop->load())
                    emit designed(shown);
            },
            Qt::QueuedConnection);
    });
}
