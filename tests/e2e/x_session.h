#pragma once
// A private X server (Xvfb) with a window manager (openbox), the built program started in
// it, and the xdotool / ImageMagick calls that drive and photograph it from outside.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

// ---- processes -------------------------------------------------------------------------

struct CommandResult {
    int status = -1; // exit status; -1 when it timed out or could not be started
    std::string out; // standard output
};

// Runs argv[0] (searched in PATH) to completion, killing it after the timeout.
CommandResult Run(const std::vector<std::string>& argv, Millis timeout = 10s);

// A process in its own process group, killed with its group when this object goes away
// and (through the parent-death signal) when the test process dies.
class Process {
public:
    struct Options {
        std::vector<std::pair<std::string, std::string>> env; // added to the environment
        std::filesystem::path workDir;                        // empty: unchanged
        std::filesystem::path log;                            // stdout and stderr; empty: null
        int keepFd = -1; // a descriptor that must stay open in the child
    };

    Process() = default;
    Process(const std::vector<std::string>& argv, const Options& options);
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    pid_t Pid() const { return m_pid; }
    bool Running();                        // reaps the process when it has ended
    bool WaitForExit(Millis timeout);      // true when it ended within the timeout
    std::optional<int> ExitStatus() const; // exit code, or 128 + signal
    void Stop();                           // SIGTERM to the group, then SIGKILL

private:
    pid_t m_pid = -1;
    bool m_reaped = false;
    int m_status = 0;
};

// How a test starts the program: a home and runtime folder of its own under dir, on X11,
// working in workDir with its output in dir/taplore.log.
Process::Options ProgramOptions(const std::filesystem::path& dir,
                                const std::filesystem::path& workDir);

// Polls cond every interval until it holds or the timeout passes; returns its last value.
bool WaitUntil(const std::function<bool()>& cond, Millis timeout, Millis interval = 40ms);

// ---- the X session ---------------------------------------------------------------------

// Xvfb on a free display, a D-Bus session bus and openbox; sets DISPLAY and
// DBUS_SESSION_BUS_ADDRESS for this process, so every tool and program run from here talks to
// them, until the session ends and puts back what they were. Programs that frame their own
// windows (Wine's) need no window manager, nor the bus that goes with the desktop.
class XSession {
public:
    enum class WindowManager { openbox, none };
    explicit XSession(WindowManager windowManager = WindowManager::openbox);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    const std::string& Display() const { return m_display; }
    const std::filesystem::path& Dir() const { return m_dir; }

private:
    std::optional<std::string> m_oldDisplay;
    std::optional<std::string> m_oldBus;
    std::filesystem::path m_dir;
    std::string m_display;
    Process m_server;
    Process m_bus;
    Process m_windowManager;
};

// The session the tests of this run share, started before the first of them; null when it
// could not start (that test environment has then failed with the reason).
XSession* SharedSession();

// ---- windows ---------------------------------------------------------------------------

using WindowId = std::string; // decimal X window id, as xdotool prints it

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

// Visible windows of process pid whose title matches the regular expression.
std::vector<WindowId> VisibleWindows(pid_t pid, const std::string& titleRegex);
// Visible windows of any process whose title matches the regular expression.
std::vector<WindowId> VisibleWindows(const std::string& titleRegex);
std::optional<WindowId> ActiveWindow();
// The window holding the keyboard focus, also where no window manager names an active one.
std::optional<WindowId> FocusedWindow();
std::string WindowTitle(const WindowId& window);
Rect ClientRect(const WindowId& window); // screen coordinates of the client area
// Frame extents left, right, top, bottom as the window manager reports them.
std::vector<int> FrameExtents(const WindowId& window);
Rect ScreenRect();
// The window manager has taken the window on: its state is Normal and its frame is drawn.
bool Managed(const WindowId& window);
// The window that has the X input focus: the one the next key goes to.
std::optional<WindowId> InputFocus();
// A menu or another popup: a window its program placed itself, past the window manager, that is
// no tooltip.
bool IsMenu(const WindowId& window);

// ---- waiting for the program and the window manager ------------------------------------

// The program that owns the window has handled everything the server sent it before, and
// painted what that asked for: it has answered two _NET_WM_PING messages in a row (the first
// answer can precede the paints of the events handled with it).
bool WaitForIdle(const WindowId& window, Millis timeout = 30s);
// The window manager has handled everything the server sent it before.
bool WaitForWindowManager(Millis timeout = 30s);
// The window is managed, has the input focus, is the active window, and its program has seen
// all that: the next key goes to it.
bool WaitForKeyboard(const WindowId& window, Millis timeout = 30s);
// The program's window whose title matches, once shown, managed and given the keyboard;
// nothing when that did not happen (or the program ended first).
std::optional<WindowId> WaitForProgramWindow(Process& program, const std::string& titleRegex);
// A visible window of pid that is not among known: a menu, a tooltip, a box.
std::optional<WindowId> WaitForNewWindow(pid_t pid, const std::vector<WindowId>& known,
                                         Millis timeout = 30s);

// ---- input -----------------------------------------------------------------------------

void Keys(const std::vector<std::string>& keys); // xdotool key names, to the focused window
void TypeText(const std::string& text);
void Activate(const WindowId& window);
void ClickAt(const WindowId& window, int x, int y, int button = 1); // window coordinates
void ClickOnScreen(int x, int y, int button = 1);

// ---- screenshots -----------------------------------------------------------------------

// Saves a PNG of the window (or of a screen rectangle) under the screenshot folder.
void Screenshot(const WindowId& window, const std::string& name);
void ScreenshotOfArea(const Rect& area, const std::string& name);
// The window's pixels as they are now, to wait for a repaint by: they change.
std::string WindowPixels(const WindowId& window);

} // namespace e2e
