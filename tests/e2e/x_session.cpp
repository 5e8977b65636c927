#include "x_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace e2e {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kBusVariable = "DBUS_SESSION_BUS_ADDRESS";

std::vector<char*> ArgvPointers(const std::vector<std::string>& argv) {
    std::vector<char*> pointers;
    for (const std::string& arg : argv)
        pointers.push_back(const_cast<char*>(arg.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// In a freshly forked child: own process group, death with the parent.
void DetachChild(pid_t parent) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(127);
}

void RedirectTo(int fd, const char* path, int flags) {
    const int opened = open(path, flags, 0644);
    if (opened >= 0) {
        dup2(opened, fd);
        if (opened != fd)
            close(opened);
    }
}

int Milliseconds(Clock::duration d) {
    const auto ms = std::chrono::duration_cast<Millis>(d).count();
    return ms < 0 ? 0 : static_cast<int>(ms);
}

Millis Remaining(Clock::time_point deadline) {
    return Millis(Milliseconds(deadline - Clock::now()));
}

// Waits for the child until the deadline; kills its group after it. Returns the raw
// wait status, or nothing on timeout.
std::optional<int> ReapBy(pid_t pid, Clock::time_point deadline) {
    int status = 0;
    pid_t done = 0;
    const auto ended = [&] {
        done = waitpid(pid, &status, WNOHANG);
        return done == pid || (done < 0 && errno != EINTR);
    };
    if (WaitUntil(ended, Remaining(deadline), 5ms))
        return done == pid ? std::optional<int>(status) : std::nullopt;
    kill(-pid, SIGKILL);
    waitpid(pid, &status, 0);
    return std::nullopt;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

// The integer after "label" in text, e.g. "Width:" in xwininfo's report.
int NumberAfter(const std::string& text, const std::string& label) {
    const std::size_t at = text.find(label);
    if (at == std::string::npos)
        throw std::runtime_error("no '" + label + "' in: " + text);
    return std::atoi(text.c_str() + at + label.size());
}

} // namespace

// ---- processes -------------------------------------------------------------------------

CommandResult Run(const std::vector<std::string>& argv, Millis timeout) {
    CommandResult result;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return result;
    const auto args = ArgvPointers(argv);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        DetachChild(parent);
        dup2(out[1], STDOUT_FILENO);
        RedirectTo(STDIN_FILENO, "/dev/null", O_RDONLY);
        RedirectTo(STDERR_FILENO, "/dev/null", O_WRONLY);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(out[1]);
    if (pid < 0) {
        close(out[0]);
        return result;
    }
    const auto deadline = Clock::now() + timeout;
    char buffer[4096];
    for (;;) {
        pollfd p{out[0], POLLIN, 0};
        const int ready = poll(&p, 1, Milliseconds(deadline - Clock::now()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break; // timed out: the reaper below kills it
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        result.out.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    if (const auto status = ReapBy(pid, deadline))
        result.status = WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
    return result;
}

Process::Process(const std::vector<std::string>& argv, const Options& options) {
    const auto args = ArgvPointers(argv);
    const std::string log = options.log.string();
    const std::string dir = options.workDir.string();
    const pid_t parent = getpid();
    m_pid = fork();
    if (m_pid < 0)
        throw std::runtime_error("fork failed: " + std::string(std::strerror(errno)));
    if (m_pid == 0) {
        DetachChild(parent);
        RedirectTo(STDIN_FILENO, "/dev/null", O_RDONLY);
        const char* logPath = log.empty() ? "/dev/null" : log.c_str();
        RedirectTo(STDOUT_FILENO, logPath, O_WRONLY | O_CREAT | O_APPEND);
        dup2(STDOUT_FILENO, STDERR_FILENO);
        if (options.keepFd >= 0)
            fcntl(options.keepFd, F_SETFD, 0);
        for (const auto& [name, value] : options.env)
            setenv(name.c_str(), value.c_str(), 1);
        if (!dir.empty() && chdir(dir.c_str()) != 0)
            _exit(127);
        execvp(args[0], args.data());
        _exit(127);
    }
}

Process::Process(Process&& other) noexcept
    : m_pid(other.m_pid), m_reaped(other.m_reaped), m_status(other.m_status) {
    other.m_pid = -1;
}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Stop();
        m_pid = other.m_pid;
        m_reaped = other.m_reaped;
        m_status = other.m_status;
        other.m_pid = -1;
    }
    return *this;
}

Process::~Process() {
    Stop();
}

bool Process::Running() {
    if (m_pid <= 0 || m_reaped)
        return false;
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_reaped = true;
        m_status = status;
        return false;
    }
    return true;
}

bool Process::WaitForExit(Millis timeout) {
    return WaitUntil([this] { return !Running(); }, timeout, 20ms);
}

std::optional<int> Process::ExitStatus() const {
    if (!m_reaped)
        return std::nullopt;
    if (WIFEXITED(m_status))
        return WEXITSTATUS(m_status);
    return 128 + WTERMSIG(m_status);
}

void Process::Stop() {
    if (m_pid <= 0)
        return;
    // The whole group goes, so nothing the process started stays behind.
    kill(-m_pid, SIGTERM);
    if (!WaitForExit(3s)) {
        kill(-m_pid, SIGKILL);
        int status = 0;
        if (waitpid(m_pid, &status, 0) == m_pid) {
            m_reaped = true;
            m_status = status;
        }
    }
    kill(-m_pid, SIGKILL); // anything of the group still alive
    m_pid = -1;
}

Process::Options ProgramOptions(const std::filesystem::path& dir,
                                const std::filesystem::path& workDir) {
    std::filesystem::create_directories(dir / "home");
    std::filesystem::create_directories(dir / "runtime");
    std::filesystem::permissions(dir / "runtime", std::filesystem::perms::owner_all);
    Process::Options options;
    options.env = {{"HOME", (dir / "home").string()},
                   {"XDG_RUNTIME_DIR", (dir / "runtime").string()},
                   {"XDG_STATE_HOME", (dir / "home" / ".local" / "state").string()},
                   {"QT_QPA_PLATFORM", "xcb"}};
    options.workDir = workDir;
    options.log = dir / "taplore.log";
    return options;
}

bool WaitUntil(const std::function<bool()>& cond, Millis timeout, Millis interval) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (cond())
            return true;
        if (Clock::now() >= deadline)
            return cond();
        std::this_thread::sleep_for(interval); // the poll interval of this wait
    }
}

// ---- the X session ---------------------------------------------------------------------

namespace {

// A display is taken while its lock names a live process, or when it has a socket but no
// lock. A lock left by a killed server does not count: Xvfb takes such a display over.
bool DisplayTaken(int n) {
    const std::string number = std::to_string(n);
    const fs::path lock = "/tmp/.X" + number + "-lock";
    if (!fs::exists(lock))
        return fs::exists("/tmp/.X11-unix/X" + number);
    std::ifstream in(lock);
    long owner = 0;
    if (!(in >> owner) || owner <= 0)
        return true;
    return kill(static_cast<pid_t>(owner), 0) == 0 || errno == EPERM;
}

// ":n". Appended rather than ":" + text: GCC 12 at -O3 warns falsely (-Wrestrict) about
// the insert that operator+ makes of the latter.
std::string DisplayName(int n) {
    std::string name = ":";
    name += std::to_string(n);
    return name;
}

// A process started with the write end of a pipe, whose number replaces "{fd}" in argv, and
// the first line it wrote there: a server saying that it is ready, and where.
struct Announced {
    Process process;
    std::string line;
};

Announced StartAnnounced(std::vector<std::string> argv, Process::Options options) {
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    for (std::string& arg : argv)
        if (const std::size_t at = arg.find("{fd}"); at != std::string::npos)
            arg.replace(at, 4, std::to_string(ready[1]));
    options.keepFd = ready[1];
    Announced started{Process(argv, options), {}};
    close(ready[1]);
    std::string& reply = started.line;
    // A first start on a busy new machine is slow: a minute is the failure limit.
    const auto deadline = Clock::now() + 60s;
    while (reply.find('\n') == std::string::npos && Clock::now() < deadline) {
        pollfd p{ready[0], POLLIN, 0};
        if (poll(&p, 1, Milliseconds(deadline - Clock::now())) <= 0)
            break;
        char buffer[256];
        const ssize_t got = read(ready[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        reply.append(buffer, static_cast<std::size_t>(got));
    }
    close(ready[0]);
    reply = Trimmed(reply);
    return started;
}

// Xvfb on display n; nothing when it did not come up (display taken meanwhile, or no Xvfb).
std::optional<Process> StartServer(int n, const fs::path& log) {
    Process::Options options;
    options.log = log;
    Announced server = StartAnnounced({"Xvfb", DisplayName(n), "-displayfd", "{fd}", "-screen", "0",
                                       "1280x1024x24", "-nolisten", "tcp", "-noreset"},
                                      options);
    if (server.line.empty() || std::atoi(server.line.c_str()) != n || !server.process.Running())
        return std::nullopt;
    return std::move(server.process);
}

// The value of an environment variable, or nothing when it is not set.
std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void Restore(const char* name, const std::optional<std::string>& value) {
    if (value)
        setenv(name, value->c_str(), 1);
    else
        unsetenv(name);
}

} // namespace

XSession::XSession(WindowManager windowManager)
    : m_oldDisplay(Variable("DISPLAY")), m_oldBus(Variable(kBusVariable)) {
    char pattern[] = "/tmp/taplore-e2e-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    m_dir = pattern;
    fs::create_directories(m_dir / "home");
    fs::create_directories(m_dir / "runtime");
    fs::permissions(m_dir / "runtime", fs::perms::owner_all);

    for (int n = 90; n < 200 && m_display.empty(); ++n) {
        if (DisplayTaken(n))
            continue;
        if (auto server = StartServer(n, m_dir / "xvfb.log")) {
            m_server = std::move(*server);
            m_display = DisplayName(n);
        }
    }
    if (m_display.empty())
        throw std::runtime_error("no X server could be started (is Xvfb installed?)");
    setenv("DISPLAY", m_display.c_str(), 1);
    unsetenv("XAUTHORITY");
    if (windowManager == WindowManager::none)
        return;

    Process::Options options;
    options.env = {{"HOME", (m_dir / "home").string()},
                   {"XDG_RUNTIME_DIR", (m_dir / "runtime").string()}};
    // A session bus of its own, as a desktop session has: without one, a program started
    // here would launch a bus for the display that outlives the test.
    options.log = m_dir / "dbus.log";
    Announced bus = StartAnnounced(
        {"dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address={fd}"}, options);
    if (bus.line.empty())
        throw std::runtime_error("no session bus could be started (is dbus-daemon installed?)");
    m_bus = std::move(bus.process);
    setenv(kBusVariable, bus.line.c_str(), 1);

    // openbox runs its start-up command once it is fully set up, its key bindings (Alt+F4)
    // among it: a window manager that only announces itself may not have bound them yet.
    options.log = m_dir / "openbox.log";
    const fs::path ready = m_dir / "openbox-ready";
    m_windowManager =
        Process({"openbox", "--sm-disable", "--startup", "touch " + ready.string()}, options);
    if (!WaitUntil([&] { return fs::exists(ready); }, 60s, 50ms))
        throw std::runtime_error("openbox did not start managing " + m_display);
    // The first key typed through XTEST makes its keyboard the server's current one, whose
    // keymap then replaces the old: openbox takes its key bindings back to grab them anew, and
    // a key pressed meanwhile would go past them to the program. A key nobody binds does that
    // here, before any test types.
    Keys({"shift"});
    if (!WaitForWindowManager(30s))
        throw std::runtime_error("openbox did not take up the keyboard on " + m_display);
}

XSession::~XSession() {
    m_windowManager.Stop();
    m_bus.Stop();
    m_server.Stop();
    Restore("DISPLAY", m_oldDisplay);
    Restore(kBusVariable, m_oldBus);
    std::error_code ignored;
    fs::remove_all(m_dir, ignored);
}

// ---- windows ---------------------------------------------------------------------------

namespace {

// The window ids xdotool search prints, one a line.
std::vector<WindowId> SearchWindows(const std::vector<std::string>& argv) {
    const auto r = Run(argv, 5s);
    std::vector<WindowId> windows;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty())
            windows.push_back(line);
    return windows;
}

} // namespace

std::vector<WindowId> VisibleWindows(pid_t pid, const std::string& titleRegex) {
    // --all: pid, visibility and title must all match (xdotool's default is any of them).
    return SearchWindows({"xdotool", "search", "--all", "--onlyvisible", "--pid",
                          std::to_string(pid), "--name", titleRegex});
}

std::vector<WindowId> VisibleWindows(const std::string& titleRegex) {
    return SearchWindows({"xdotool", "search", "--all", "--onlyvisible", "--name", titleRegex});
}

std::optional<WindowId> ActiveWindow() {
    const auto r = Run({"xdotool", "getactivewindow"}, 5s);
    if (r.status != 0 || Trimmed(r.out).empty())
        return std::nullopt;
    return Trimmed(r.out);
}

std::optional<WindowId> FocusedWindow() {
    const auto r = Run({"xdotool", "getwindowfocus", "-f"}, 5s);
    if (r.status != 0 || Trimmed(r.out).empty())
        return std::nullopt;
    return Trimmed(r.out);
}

std::string WindowTitle(const WindowId& window) {
    return Trimmed(Run({"xdotool", "getwindowname", window}, 5s).out);
}

Rect ClientRect(const WindowId& window) {
    const auto r = Run({"xwininfo", "-id", window}, 5s);
    return {NumberAfter(r.out, "Absolute upper-left X:"),
            NumberAfter(r.out, "Absolute upper-left Y:"), NumberAfter(r.out, "Width:"),
            NumberAfter(r.out, "Height:")};
}

std::vector<int> FrameExtents(const WindowId& window) {
    const auto r = Run({"xprop", "-id", window, "_NET_FRAME_EXTENTS"}, 5s);
    std::vector<int> extents;
    const std::size_t equals = r.out.find('=');
    if (equals == std::string::npos)
        return {0, 0, 0, 0};
    std::istringstream numbers(r.out.substr(equals + 1));
    for (std::string item; std::getline(numbers, item, ',');)
        extents.push_back(std::atoi(item.c_str()));
    extents.resize(4, 0);
    return extents;
}

Rect ScreenRect() {
    const auto r = Run({"xdotool", "getdisplaygeometry"}, 5s);
    std::istringstream numbers(r.out);
    Rect screen;
    numbers >> screen.width >> screen.height;
    return screen;
}

bool Managed(const WindowId& window) {
    const auto r = Run({"xprop", "-id", window, "WM_STATE", "_NET_FRAME_EXTENTS"}, 5s);
    return r.out.find("window state: Normal") != std::string::npos &&
           r.out.find("_NET_FRAME_EXTENTS(CARDINAL) =") != std::string::npos;
}

bool IsMenu(const WindowId& window) {
    const bool placedItself =
        Run({"xwininfo", "-id", window}, 5s).out.find("Override Redirect State: yes") !=
        std::string::npos;
    return placedItself && Run({"xprop", "-id", window, "_NET_WM_WINDOW_TYPE"}, 5s)
                                   .out.find("_NET_WM_WINDOW_TYPE_TOOLTIP") == std::string::npos;
}

std::optional<WindowId> InputFocus() {
    const auto r = Run({"xdotool", "getwindowfocus"}, 5s);
    if (r.status != 0 || Trimmed(r.out).empty())
        return std::nullopt;
    return Trimmed(r.out);
}

// ---- waiting for the program and the window manager ------------------------------------

namespace {

using XConnection = std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)>;

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const auto cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

bool SameMessage(const xcb_generic_event_t* event, const xcb_client_message_event_t& sent) {
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
    return std::equal(sent.data.data32, sent.data.data32 + 3, message->data.data32);
}

// A program answers a _NET_WM_PING to its window by sending it back to the root window, once
// its event loop has come to it.
bool Ping(const WindowId& window, Millis timeout) {
    const XConnection x(xcb_connect(nullptr, nullptr), &xcb_disconnect);
    if (xcb_connection_has_error(x.get()))
        return false;
    const auto target = static_cast<xcb_window_t>(std::stoul(window));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x.get())).data->root;
    // Qt sends the answer to the root window's structure listeners (and the window manager).
    const std::uint32_t listen = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(x.get(), root, XCB_CW_EVENT_MASK, &listen);
    // Tells this ping's answer from the window manager's and from earlier ones.
    static std::uint32_t serial = static_cast<std::uint32_t>(getpid()) << 12;
    xcb_client_message_event_t ping{};
    ping.response_type = XCB_CLIENT_MESSAGE;
    ping.format = 32;
    ping.window = target;
    ping.type = Atom(x.get(), "WM_PROTOCOLS");
    ping.data.data32[0] = Atom(x.get(), "_NET_WM_PING");
    ping.data.data32[1] = ++serial;
    ping.data.data32[2] = target;
    xcb_send_event(x.get(), 0, target, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&ping));
    xcb_flush(x.get());
    bool answered = false;
    WaitUntil(
        [&] {
            while (xcb_generic_event_t* event = xcb_poll_for_event(x.get())) {
                answered = answered || SameMessage(event, ping);
                std::free(event);
            }
            return answered || xcb_connection_has_error(x.get()) != 0;
        },
        timeout, 5ms);
    return answered;
}

} // namespace

// The window manager has handled everything before: it answers a _NET_REQUEST_FRAME_EXTENTS
// for a window of this connection's own by setting that window's _NET_FRAME_EXTENTS.
bool WaitForWindowManager(Millis timeout) {
    const XConnection x(xcb_connect(nullptr, nullptr), &xcb_disconnect);
    if (xcb_connection_has_error(x.get()))
        return false;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x.get())).data;
    const xcb_window_t probe = xcb_generate_id(x.get());
    const std::uint32_t listen = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(x.get(), XCB_COPY_FROM_PARENT, probe, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK,
                      &listen);
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = probe;
    request.type = Atom(x.get(), "_NET_REQUEST_FRAME_EXTENTS");
    xcb_send_event(x.get(), 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&request));
    xcb_flush(x.get());
    const xcb_atom_t extents = Atom(x.get(), "_NET_FRAME_EXTENTS");
    bool answered = false;
    WaitUntil(
        [&] {
            while (xcb_generic_event_t* event = xcb_poll_for_event(x.get())) {
                const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
                answered = answered || ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
                                        property->atom == extents);
                std::free(event);
            }
            return answered || xcb_connection_has_error(x.get()) != 0;
        },
        timeout, 5ms);
    return answered;
}

bool WaitForIdle(const WindowId& window, Millis timeout) {
    const auto deadline = Clock::now() + timeout;
    return Ping(window, timeout) && Ping(window, Remaining(deadline));
}

bool WaitForKeyboard(const WindowId& window, Millis timeout) {
    const auto deadline = Clock::now() + timeout;
    const bool focused = WaitUntil(
        [&] { return Managed(window) && InputFocus() == window && ActiveWindow() == window; },
        timeout);
    return focused && WaitForIdle(window, Remaining(deadline)) &&
           WaitForWindowManager(Remaining(deadline));
}

std::optional<WindowId> WaitForProgramWindow(Process& program, const std::string& titleRegex) {
    std::optional<WindowId> window;
    // A first start on a new machine builds font caches: a minute is the failure limit.
    WaitUntil(
        [&] {
            const auto shown = VisibleWindows(program.Pid(), titleRegex);
            if (!shown.empty())
                window = shown.front();
            return window || !program.Running();
        },
        60s);
    if (!window || !WaitUntil([&] { return Managed(*window); }, 30s))
        return std::nullopt;
    Activate(*window);
    return WaitForKeyboard(*window) ? window : std::nullopt;
}

std::optional<WindowId> WaitForNewWindow(pid_t pid, const std::vector<WindowId>& known,
                                         Millis timeout) {
    std::optional<WindowId> found;
    WaitUntil(
        [&] {
            for (const WindowId& window : VisibleWindows(pid, ".*"))
                if (std::find(known.begin(), known.end(), window) == known.end())
                    found = window;
            return found.has_value();
        },
        timeout);
    return found;
}

// ---- input -----------------------------------------------------------------------------

void Keys(const std::vector<std::string>& keys) {
    std::vector<std::string> argv{"xdotool", "key", "--delay", "30"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    Run(argv, 10s);
}

void TypeText(const std::string& text) {
    Run({"xdotool", "type", "--delay", "20", text}, 30s);
}

void Activate(const WindowId& window) {
    Run({"xdotool", "windowactivate", "--sync", window}, 5s);
}

void ClickAt(const WindowId& window, int x, int y, int button) {
    Run({"xdotool", "mousemove", "--window", window, std::to_string(x), std::to_string(y), "click",
         std::to_string(button)},
        5s);
}

void ClickOnScreen(int x, int y, int button) {
    Run({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click",
         std::to_string(button)},
        5s);
}

// ---- screenshots -----------------------------------------------------------------------

namespace {

fs::path ScreenshotPath(const std::string& name) {
    const fs::path dir = SCREENSHOT_DIR;
    fs::create_directories(dir);
    return dir / name;
}

} // namespace

void Screenshot(const WindowId& window, const std::string& name) {
    Run({"import", "-window", window, ScreenshotPath(name).string()}, 20s);
}

std::string WindowPixels(const WindowId& window) {
    return Run({"import", "-window", window, "-depth", "8", "rgb:-"}, 20s).out;
}

void ScreenshotOfArea(const Rect& area, const std::string& name) {
    const std::string crop = std::to_string(area.width) + "x" + std::to_string(area.height) + "+" +
                             std::to_string(area.x) + "+" + std::to_string(area.y);
    Run({"import", "-window", "root", "-crop", crop, "+repage", ScreenshotPath(name).string()},
        20s);
}

} // namespace e2e
