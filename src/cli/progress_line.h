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
    // threads may call it at once. The share shown only grows: a stage of the same name begun
    // again, or a thread behind the others, shows nothing until it passes what was shown.
    Progress Stage(const std::string& name);
    // A stage that reports no share; the share of the next stage starts afresh.
    void Enter(const std::string& name);
    // A text shown after the stage's share, such as "designing 13,400 taps, 3rd of about 5
    // designs"; empty for none. Kept until changed.
    void Describe(const std::string& text);
    // Nothing is shown from now on (--quiet).
    void Silence();
    // Takes the line away, before any other text is written to the terminal.
    void Erase();

private:
    void Show(const std::string& name, int percent);
    void Draw(const std::string& text, bool newStage);

    using Clock = std::chrono::steady_clock;
    std::ostream& m_err;
    const bool m_terminal;
    const Clock::time_point m_start = Clock::now();
    Clock::time_point m_shownAt;
    std::size_t m_shownLength = 0;
    std::string m_stage;   // the stage whose share is shown
    int m_percent = -1;    // the largest share shown of it, -1 for none
    std::string m_text;    // Describe's
    bool m_silent = false; // Silence's
    std::mutex m_mutex;
};
