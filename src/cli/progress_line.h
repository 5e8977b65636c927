#pragma once
// The one line on a terminal that shows how far long work of taplore-design has come.

#include "core/progress.h"

#include <chrono>
#include <cstddef>
#include <mutex>
#include <ostream>
#include <string>

// Shows, on a terminal only, the stage and share done of work that has run for more than
// about a second, and erases it again; pipes and files never see it.
class ProgressLine {
public:
    ProgressLine(std::ostream& err, bool terminal);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // The progress of the stage called name, for work that reports its share done; the work's
    // threads may call it at once.
    Progress Stage(const std::string& name);
    // A stage that reports no share.
    void Enter(const std::string& name);
    // Takes the line away, before any other text is written to the terminal.
    void Erase();

private:
    void Show(const std::string& text, bool newStage);

    using Clock = std::chrono::steady_clock;
    std::ostream& m_err;
    const bool m_terminal;
    const Clock::time_point m_start = Clock::now();
    Clock::time_point m_shownAt;
    std::size_t m_shownLength = 0;
    std::mutex m_mutex;
};
