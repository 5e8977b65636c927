#include "cli/progress_line.h"

#include "core/formats/crt.h"

namespace {

using namespace std::chrono_literals;
// Shorter work finishes before anyone waits for it.
constexpr auto kQuietTime = 1s;
// A terminal redrawn more often than this only flickers.
constexpr auto kRedrawTime = 100ms;

} // namespace

ProgressLine::ProgressLine(std::ostream& err, bool terminal) : m_err(err), m_terminal(terminal) {}

ProgressLine::~ProgressLine() {
    Erase();
}

Progress ProgressLine::Stage(const std::string& name) {
    return [this, name](double done) {
        Show(name + " " + crt::FormatD(static_cast<int>(done * 100)) + "%", false);
        return true;
    };
}

void ProgressLine::Enter(const std::string& name) {
    Show(name + "…", true);
}

void ProgressLine::Erase() {
    const std::lock_guard lock(m_mutex);
    if (m_shownLength == 0)
        return;
    m_err << '\r' << std::string(m_shownLength, ' ') << '\r' << std::flush;
    m_shownLength = 0;
}

// A thread finding another one drawing leaves the line to it.
void ProgressLine::Show(const std::string& text, bool newStage) {
    if (!m_terminal)
        return;
    const std::unique_lock lock(m_mutex, std::try_to_lock);
    const Clock::time_point now = Clock::now();
    if (!lock || now - m_start < kQuietTime || (!newStage && now - m_shownAt < kRedrawTime))
        return;
    std::string line = "\rtaplore-design: " + text;
    // Spaces over the end of a longer line before.
    const std::size_t length = line.size() - 1;
    line.append(m_shownLength > length ? m_shownLength - length : 0, ' ');
    m_err << line << std::flush;
    m_shownLength = std::max(m_shownLength, length);
    m_shownAt = now;
}
