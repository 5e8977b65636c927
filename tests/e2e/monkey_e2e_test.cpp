// The monkey: the real program in the private X server, under seeded random user actions for
// TAPLORE_MONKEY_SECONDS (60 by default; TAPLORE_MONKEY_SEED repeats a run). It must never
// die nor report a sanitizer error, and afterwards Calculate and Save must still give the
// designer's taps byte for byte. A failure names the seed and the last 50 actions.

#include "e2e_files.h"
#include "window_titles.h"
#include "x_session.h"

#include "core/design/fir_design.h"
#include "core/formats/coef_file.h"
#include "core/formats/crt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>

namespace e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kDialogWidthDu = 284;
constexpr int kDialogHeightDu = 164;
// Address space of the program: orders past a few hundred million taps then fail at once
// instead of designing gigabytes, whatever memory the machine has free.
constexpr const char* kAddressSpaceKiB = "3145728";

// What the monkey types or pastes into an edit: digits, nothing, garbage, huge and negative
// orders (wrapping to negative ones or beyond the address space), rates of 0 and 1e300.
const std::vector<std::string> kTexts = {
    "",      "511",   "0",           "1",          "2",          "-4",
    "1e300", "8000",  "44100",       "1x0-1",      "abc",        "  7",
    "1024",  "20001", "-2147483648", "2147483648", "4294967295", "99999999999999999999",
    "0.5",   "nan",   "-0",          "3000001",    "1e-300",     "65537"};
const std::vector<std::string> kMainKeys = {
    "Tab",    "shift+Tab", "Left",   "Right", "Up",   "Down",     "Prior", "Next",
    "Home",   "End",       "Return", "space", "1",    "0",        "5",     "BackSpace",
    "Delete", "ctrl+c",    "ctrl+a", "F1",    "Menu", "shift+F10"};

// Keys for a menu open on the dialog: moving about in it, or closing it.
const std::vector<std::string> kMenuKeys = {"Escape", "Escape", "Up", "Down"};

// Keys for the requirements window: moving about, editing, and every letter of its controls.
const std::vector<std::string> kRequirementsKeys = {
    "Tab",    "shift+Tab", "Left",  "Right", "Up",    "Down",   "Home",      "End",    "F2",
    "Return", "space",     "1",     "0",     "5",     "period", "BackSpace", "ctrl+a", "alt+r",
    "alt+b",  "alt+a",     "alt+m", "alt+l", "alt+h", "alt+p",  "alt+d",     "alt+t",  "alt+w",
    "alt+x",  "alt+z",     "alt+v", "alt+c", "alt+i", "alt+s",  "alt+e",     "F1"};

bool IsRequirementsWindow(const std::string& title) {
    return title.starts_with(kRequirementsTitle);
}

bool Contains(const std::vector<WindowId>& windows, const WindowId& window) {
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

int FromEnvironment(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::atoi(text) : fallback;
}

class Monkey : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/taplore-monkey-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        m_files = m_dir / "files";
        fs::create_directories(m_files);
        m_app = Process({"sh", "-c", std::string("ulimit -v ") + kAddressSpaceKiB + "; exec \"$0\"",
                         TAPLORE_EXE},
                        ProgramOptions(m_dir, m_files));
        const auto main = WaitForProgramWindow(m_app, MainTitlePattern());
        ASSERT_TRUE(main) << "the design dialog did not come up with the keyboard\n" << Log();
        m_main = *main;
    }

    void TearDown() override {
        if (HasFailure()) {
            std::cerr << "monkey seed " << m_seed << " (TAPLORE_MONKEY_SEED), last actions:\n";
            for (const std::string& action : m_actions)
                std::cerr << "  " << action << '\n';
            std::cerr << "program output:\n" << Log();
        }
        m_app.Stop();
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    static std::string MainTitlePattern() {
        std::string pattern = "^";
        return pattern.append(kMainTitle).append("$");
    }
    std::string Log() const { return ReadBytes(m_dir / "taplore.log"); }

    void Note(std::string action) {
        m_actions.push_back(std::move(action));
        if (m_actions.size() > 50)
            m_actions.pop_front();
    }

    int Draw(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }
    template <class T> const T& Pick(const std::vector<T>& from) {
        return from[static_cast<std::size_t>(Draw(static_cast<int>(from.size())))];
    }

    // A point of the design dialog given in dialog units, in its pixels.
    std::pair<int, int> DialogPoint(int xDu, int yDu) const {
        const Rect client = ClientRect(m_main);
        return {xDu * client.width / kDialogWidthDu, yDu * client.height / kDialogHeightDu};
    }
    void ClickDu(int xDu, int yDu, int button = 1) {
        const auto [x, y] = DialogPoint(xDu, yDu);
        ClickAt(m_main, x, y, button);
    }

    // Replaces the text of the edit at (xDu, yDu), typed (non-digits refused) or pasted.
    void EnterText(const char* edit, int xDu, int yDu, const std::string& text, bool paste) {
        Note(std::string(paste ? "paste \"" : "type \"") + text + "\" into " + edit);
        ClickDu(xDu, yDu);
        Keys({"ctrl+a", "BackSpace"});
        if (!paste) {
            TypeText(text);
            return;
        }
        e2e::Run(
            {"sh", "-c", "printf %s \"$0\" | xclip -selection clipboard >/dev/null 2>&1", text});
        Keys({"ctrl+v"});
    }

    void Drag(int yDu) {
        const auto [x1, y] = DialogPoint(20 + Draw(190), yDu);
        const auto [x2, ignored] = DialogPoint(20 + Draw(190), yDu);
        Note("drag slider at " + std::to_string(yDu) + " from " + std::to_string(x1) + " to " +
             std::to_string(x2));
        e2e::Run({"xdotool", "mousemove", "--window", m_main, std::to_string(x1), std::to_string(y),
                  "mousedown", "1", "mousemove", "--window", m_main, std::to_string(x2),
                  std::to_string(y), "mouseup", "1"});
    }

    // Runs an action on the dialog that may open a menu there (a right click, the Menu key,
    // Shift+F10) and keeps the menu it opened: that one holds the keyboard. A popup left open by
    // the requirements window does not, and Escape would then reach the dialog.
    void KeepMenuOpenedBy(const std::function<void()>& action) {
        const std::vector<WindowId> before = VisibleWindows(m_app.Pid(), ".*");
        action();
        WaitForIdle(m_main);
        for (const WindowId& window : VisibleWindows(m_app.Pid(), ".*"))
            if (!Contains(before, window) && IsMenu(window))
                m_menu = window;
    }

    bool MenuOpen() {
        if (m_menu && !Contains(VisibleWindows(m_app.Pid(), ".*"), *m_menu))
            m_menu.reset();
        return m_menu.has_value();
    }

    // One action on the design dialog itself.
    void ActOnMain() {
        switch (Draw(13)) {
        case 0:
        case 1: {
            const std::string& key = Pick(kMainKeys);
            Note("key " + key);
            KeepMenuOpenedBy([&] { Keys({key}); });
            break;
        }
        case 2: {
            const auto [w, h] = DialogPoint(kDialogWidthDu, kDialogHeightDu);
            const int x = Draw(w), y = Draw(h), button = Draw(4) == 0 ? 3 : 1;
            Note("click " + std::to_string(button) + " at " + std::to_string(x) + "," +
                 std::to_string(y));
            KeepMenuOpenedBy([&] { ClickAt(m_main, x, y, button); });
            break;
        }
        case 3:
            Drag(Draw(2) == 0 ? 100 : 110);
            break;
        case 4:
            EnterText("order", 147, 144, Pick(kTexts), Draw(2) == 0);
            break;
        case 5:
            EnterText("rate", 101, 144, Pick(kTexts), Draw(2) == 0);
            break;
        case 6:
        case 7:
            Note("click Calculate");
            ClickDu(199, 145);
            break;
        case 8:
            Note("click Save");
            ClickDu(253, 145);
            break;
        case 9:
            Note("system menu, About");
            KeepMenuOpenedBy([&] { ClickDu(4, kDialogHeightDu - 4, 3); });
            if (m_menu) {
                Keys({"a"});
                WaitForIdle(m_main);
            }
            break;
        case 10:
            Note("key F1");
            Keys({"F1"});
            break;
        case 11:
            Note("key ctrl+d: the requirements window");
            Keys({"ctrl+d"});
            break;
        default:
            Note("list: ctrl+c and End");
            ClickDu(250, 62);
            Keys({"End", "ctrl+c"});
        }
    }

    // One action on the requirements window: keys, a text typed, back to the dialog, or it
    // closed (Alt+F4 there closes only it).
    void ActOnRequirements() {
        switch (Draw(10)) {
        case 0:
            Note("close the requirements window");
            Keys({"alt+F4"});
            break;
        case 1:
            Note("activate the design dialog");
            Activate(m_main);
            break;
        case 2: {
            const std::string& text = Pick(kTexts);
            Note("type \"" + text + "\" in the requirements window");
            TypeText(text);
            break;
        }
        default: {
            const std::string& key = Pick(kRequirementsKeys);
            Note("key " + key + " in the requirements window");
            Keys({key});
        }
        }
    }

    // A menu open on the dialog is moved about in or closed, never chosen from blindly: its
    // Close would end the program, and a click meant for the dialog may land on it.
    void ActOnMenu() {
        const std::string& key = Pick(kMenuKeys);
        Note("key " + key + " in a menu");
        Keys({key});
        // Closed before the next action looks for it: a second Escape would end the program.
        WaitForIdle(m_main);
    }

    // One answer to whatever box or dialog of the program has the focus.
    void ActOnOther(const WindowId& window) {
        const std::string title = WindowTitle(window);
        if (IsRequirementsWindow(title)) {
            ActOnRequirements();
            return;
        }
        if (title == kSaveTitle && Draw(3) != 0) {
            const std::string name =
                (m_files / ("monkey" + std::to_string(Draw(4)) + ".txt")).string();
            Note("save as " + name);
            Keys({"ctrl+a"});
            TypeText(name);
            Keys({"Return"});
            return;
        }
        // The progress box shares the dialog's title: mostly left to finish.
        if (title == kMainTitle && Draw(4) != 0) {
            Note("wait for the progress box");
            WaitUntil([&] { return ActiveWindow() != window; }, 30s);
            return;
        }
        const std::string key = Draw(3) == 0 ? "Return" : "Escape";
        Note(key + " on \"" + title + "\"");
        Keys({key});
    }

    void Act() {
        const std::optional<WindowId> active = ActiveWindow();
        const std::vector<WindowId> mine = VisibleWindows(m_app.Pid(), ".*");
        if (active == m_main) {
            if (MenuOpen())
                ActOnMenu();
            else
                ActOnMain();
        } else if (active && Contains(mine, *active)) {
            ActOnOther(*active);
        } else {
            Note("activate the design dialog");
            Activate(m_main);
        }
    }

    bool SanitizerReported() const {
        const std::string log = Log();
        return log.find("Sanitizer") != std::string::npos ||
               log.find("runtime error:") != std::string::npos;
    }

    // The design dialog has the focus and the program shows nothing else, twice in a row: a
    // button the monkey set off may still be opening a box (its click comes from a timer).
    bool BackToMain() {
        int calm = 0;
        const bool back = WaitUntil(
            [&] {
                if (MainAlone())
                    return ++calm == 2;
                calm = 0;
                CloseOneThing();
                return false;
            },
            60s, 300ms);
        return back && WaitForKeyboard(m_main);
    }

    bool MainAlone() const {
        return ActiveWindow() == m_main &&
               VisibleWindows(m_app.Pid(), ".*") == std::vector<WindowId>{m_main} &&
               WaitForIdle(m_main);
    }

    // Escape closes the box, window or menu that has the focus (Alt+F4 the requirements window);
    // the manual, which may be open beside the dialog without it, is activated first; a click on
    // free space of the dialog closes a tooltip. Escape on the design dialog itself would end the
    // program.
    void CloseOneThing() {
        if (const auto active = ActiveWindow(); active != m_main) {
            // Escape leaves the requirements window open; Alt+F4 there closes only it, after its
            // question about unsaved changes is answered Discard (Escape there cancels the close).
            const std::string title = active ? WindowTitle(*active) : std::string();
            Keys({IsRequirementsWindow(title)  ? "alt+F4"
                  : title == kSaveChangesTitle ? "alt+d"
                                               : "Escape"});
            Activate(m_main);
            return;
        }
        if (MenuOpen()) {
            Keys({"Escape"});
            WaitForIdle(m_main);
            return;
        }
        for (const WindowId& window : VisibleWindows(m_app.Pid(), ".*"))
            if (window != m_main && Managed(window)) {
                Activate(window);
                return;
            }
        ClickDu(4, kDialogHeightDu - 4);
    }

    // What is open, for a failure.
    std::string OpenWindows() const {
        std::string list = "active " + ActiveWindow().value_or("none") + "; shown:";
        for (const WindowId& window : VisibleWindows(m_app.Pid(), ".*"))
            list += " " + window + " \"" + WindowTitle(window) + "\"" +
                    (Managed(window) ? "" : " (not managed)");
        return list;
    }

    fs::path m_dir;
    fs::path m_files;
    Process m_app;
    WindowId m_main;
    unsigned m_seed = 0;
    std::mt19937 m_random;
    std::deque<std::string> m_actions;
    std::optional<WindowId> m_menu; // the menu an action opened on the dialog, while it is open
};

TEST_F(Monkey, SurvivesRandomUseAndStillDesignsAndSavesExactly) {
    m_seed = static_cast<unsigned>(FromEnvironment("TAPLORE_MONKEY_SEED", std::random_device()()));
    m_random.seed(m_seed);
    const auto seconds = std::chrono::seconds(FromEnvironment("TAPLORE_MONKEY_SECONDS", 60));
    const auto end = std::chrono::steady_clock::now() + seconds;
    int actions = 0;
    while (std::chrono::steady_clock::now() < end) {
        Act();
        ++actions;
        ASSERT_TRUE(m_app.Running()) << "the program died after " << actions
                                     << " actions, exit status " << m_app.ExitStatus().value_or(-1);
        ASSERT_FALSE(SanitizerReported()) << "after " << actions << " actions";
    }
    std::cout << "monkey: " << actions << " actions in " << seconds.count() << " s, seed " << m_seed
              << '\n';

    // Known values: order 1001, 8000 Hz, the low slider one page up (800 Hz), the high one
    // two pages down from its end (2400 Hz).
    ASSERT_TRUE(BackToMain()) << "a box stayed open: " << OpenWindows();
    Note("known values");
    EnterText("order", 147, 144, "1001", false);
    EnterText("rate", 101, 144, "8000", false);
    ClickDu(20, 100);
    Keys({"Home", "Prior"});
    ClickDu(205, 110);
    Keys({"End", "Next", "Next"});
    ClickDu(199, 145);
    ASSERT_TRUE(BackToMain()) << "no box after a good design: " << OpenWindows();
    ClickDu(253, 145);
    std::optional<WindowId> fileDialog;
    ASSERT_TRUE(WaitUntil(
        [&] {
            fileDialog = ActiveWindow();
            return fileDialog && WindowTitle(*fileDialog) == kSaveTitle;
        },
        30s));
    ASSERT_TRUE(WaitForKeyboard(*fileDialog));
    // A name the monkey never saves under: no question before the file is written.
    const fs::path saved = m_files / "final.txt";
    Keys({"ctrl+a"});
    TypeText(saved.string());
    Keys({"Return"});
    // Saving ends before the dialog takes the keyboard back, and the new file is linked in
    // whole.
    ASSERT_TRUE(WaitForKeyboard(m_main));
    ASSERT_TRUE(fs::exists(saved));

    const double f1 = crt::Atof(crt::FormatF8_1(200 * 8000 * 0.5 / 1000)) / 8000 * 2;
    const double f2 = crt::Atof(crt::FormatF8_1(600 * 8000 * 0.5 / 1000)) / 8000 * 2;
    std::shared_ptr<double[]> coef;
    int count = 0;
    ASSERT_EQ(DesignFilter(coef, count, 1001, f1, f2), 1001);
    EXPECT_EQ(ReadBytes(saved), FormatCoefficientText(coef.get(), count));
    EXPECT_TRUE(m_app.Running());
    EXPECT_FALSE(SanitizerReported()) << Log();
}

} // namespace
} // namespace e2e
