#include "cli/progress_line.h"

#include "core/formats/crt.h"

#include <algorithm>

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
        Show(name, static_cast<int>((done >= 0 ? std::min(done, 1.0) : 0.0) * 100));
        return true;
    };
}

void ProgressLine::Enter(const std::string& name) {
    const std::lock_guard lock(m_mutex);
    m_stage = name;
    m_percent = -1;
    Draw(name + "…", true);
}

void ProgressLine::Describe(const std::string& text) {
    const std::lock_guard lock(m_mutex);
    m_text = text;
}

void ProgressLine::Silence() {
    Erase();
    const std::lock_guard lock(m_mutex);
    m_silent = true;
}

void ProgressLine::Erase() {
    const std::lock_guard lock(m_mutex);
    if (m_shownLength == 0)
        return;
    m_err << '\r' << std::string(m_shownLength, ' ') << '\r' << std::flush;
    m_shownLength = 0;
}

// The share of a stage, never less than was reported of it: a new stage's name starts afresh.
// A thread finding another one drawing leaves the line to it.
void ProgressLine::Show(const std::string& name, int percent) {
    const std::unique_lock lock(m_mutex, std::try_to_lock);
    if (!lock)
        return;
    if (name != m_stage) {
        m_stage = name;
        m_percent = -1;
    }
    if (percent <= m_percent)
        return;
    m_percent = percent;
    Draw(name + " " + crt::FormatD(percent) + "%" + (m_text.empty() ? "" : ", " + m_text), false);
}

// With the lock held.
void ProgressLine::Draw(const std::string& text, bool newStage) {
    const Clock::time_point now = Clock::now();
    if (!m_terminal || m_silent || now - m_start < kQuietTime ||
        (!newStage && now - m_shownAt < kRedrawTime))
        return;
    std::string line = "\rtaplore-design: " + text;
    // Spaces over the end of a longer line before.
    const std::size_t length = line.size() - 1;
    line.append(m_shownLength > length ? m_shownLength - length : 0, ' ');
    m_err << line << std::flush;
    m_shownLength = std::max(m_shownLength, length);
    m_shownAt = now;
}
