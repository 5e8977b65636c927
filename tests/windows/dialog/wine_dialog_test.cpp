// taplore.exe under Wine in a private X server, with Wine's own window frames and system
// menu, driven with keys as a person would; every saved file is compared byte for byte with
// what the Linux build's taplore-design writes for the same values. The session runs one
// program at a time, so windows are found by their titles alone.

#include "e2e_files.h"
#include "window_titles.h"
#include "x_probe.h"
#include "x_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <set>

namespace e2e {
namespace {

namespace fs = std::filesystem;

// Failures the program itself reports carry its name: the executable's base name.
const std::string kAppTitle = fs::path(TAPLORE_WINDOWS_EXE).stem().string();

// Wine on a busy two-core machine: a program's start takes seconds, its first in a new prefix
// tens of them. Every wait is for an event, bounded by these.
constexpr Millis kStartTimeout = 120s;
constexpr Millis kWindowTimeout = 30s;
// How long a window that showed may take to get the X focus by itself.
constexpr Millis kFocusGrace = 3s;

// The name Wine gives a path of this machine: its root is drive Z:.
std::string WindowsPath(const fs::path& path) {
    std::string text = "Z:" + path.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

// What the Linux build writes for the same design: the bytes Save must write.
std::string LinuxDesign(const std::string& order, const std::string& rate, const std::string& low,
                        const std::string& high) {
    const CommandResult r = e2e::Run(
        {TAPLORE_LINUX_DESIGN, "--order", order, "--rate", rate, "--low", low, "--high", high},
        120s);
    EXPECT_EQ(r.status, 0) << "taplore-design --order " << order;
    return r.out;
}

std::string Exactly(const std::string& title) {
    return "^" + title + "$";
}

template <class T> T Median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs a Wine command (a program of the prefix, or wineserver) to its end; its output goes
// to the log, or to out when given. True when it ended in time with status 0.
bool RunWine(const std::vector<std::string>& words, Millis timeout, const fs::path& out = {}) {
    std::vector<std::string> argv = words;
    if (argv.front() != "wineserver")
        argv.insert(argv.begin(), "wine");
    Process::Options options;
    options.log = fs::path(WINE_PREFIX).parent_path() / "wine-setup.log";
    if (!out.empty()) {
        // Standard output alone, whatever Wine says on standard error.
        argv.insert(argv.begin(), {"sh", "-c", "exec \"$@\" >\"$OUT\"", "sh"});
        options.env = {{"OUT", out.string()}};
    }
    Process process(argv, options);
    return process.WaitForExit(timeout) && process.ExitStatus() == 0;
}

// One X server without a window manager, and a Wine prefix of the tests' own whose windows
// Wine frames itself: caption, close box and the system menu are Windows' own, drawn by Wine.
XSession* g_session = nullptr;

class WineEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        try {
            m_session = std::make_unique<XSession>(XSession::WindowManager::none);
        } catch (const std::exception& e) {
            FAIL() << e.what();
        }
        setenv("WINEPREFIX", WINE_PREFIX, 1);
        setenv("WINEDEBUG", "-all", 1);
        setenv("WINEDLLOVERRIDES", "winemenubuilder.exe=d;mscoree=d;mshtml=d", 1);
        ASSERT_TRUE(RunWine({"wineboot", "--init"}, 600s)) << "the Wine prefix was not made";
        for (const char* value : {"Managed", "Decorated"})
            ASSERT_TRUE(RunWine(
                {"reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", value, "/d", "N", "/f"},
                kStartTimeout));
        // Wine's own processes read the setting when they start: they start again.
        ASSERT_TRUE(RunWine({"wineserver", "-k"}, kWindowTimeout));
        ASSERT_TRUE(RunWine({"wineserver", "-w"}, kWindowTimeout));
        g_session = m_session.get();
    }
    void TearDown() override {
        g_session = nullptr;
        RunWine({"wineserver", "-k"}, kWindowTimeout);
        m_session.reset();
    }

private:
    std::unique_ptr<XSession> m_session;
};

[[maybe_unused]] auto* const g_environment =
    ::testing::AddGlobalTestEnvironment(new WineEnvironment);

class WineDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(g_session, nullptr) << "no X session";
        m_dir = NewCaseFolder("taplore-wine");
        m_files = m_dir / "files";
        if (m_startProgram) {
            ASSERT_TRUE(StartProgram());
        }
    }

    void TearDown() override {
        if (m_expectRunning) {
            EXPECT_TRUE(m_app.Running()) << "the program died during the test\n" << Log();
        }
        if (HasFailure()) {
            const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
            ScreenshotOfArea(ScreenRect(), std::string("failed-") + test->name() + ".png");
            std::cerr << "Wine's output:\n" << Log();
        }
        m_app.Stop();
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    // Starts taplore.exe (or the one at exe) working in the files folder (where Save As opens) and
    // waits for the design dialog to show and take the focus.
    ::testing::AssertionResult StartProgram(const std::string& exe = TAPLORE_WINDOWS_EXE) {
        Process::Options options;
        options.workDir = m_files;
        options.log = m_dir / "wine.log";
        m_app = Process({"wine", exe}, options);
        const bool shown = WaitUntil(
            [this] { return !VisibleWindows(Exactly(kMainTitle)).empty() || !m_app.Running(); },
            kStartTimeout);
        if (!shown || !m_app.Running())
            return ::testing::AssertionFailure() << "the design dialog did not appear\n" << Log();
        m_main = VisibleWindows(Exactly(kMainTitle)).front();
        return WaitForMainFocused();
    }

    std::string Log() const { return ReadBytes(m_dir / "wine.log"); }

    // Waits until a window with this title, other than those in except, shows and has the
    // focus. When keys come fast, Wine's X11 driver sometimes leaves the X focus on the window
    // before, while Windows' focus is in the new one: a click would move it there, and so does
    // giving it the X focus.
    ::testing::AssertionResult WaitForFocused(const std::string& title, WindowId& window,
                                              const std::set<WindowId>& except = {}) {
        const bool shown = WaitUntil(
            [&] {
                for (const WindowId& w : VisibleWindows(Exactly(title)))
                    if (!except.count(w)) {
                        window = w;
                        return true;
                    }
                return false;
            },
            kWindowTimeout);
        if (!shown)
            return ::testing::AssertionFailure() << "no window \"" << title << "\" showed";
        const auto focused = [&] { return FocusedWindow() == window; };
        if (!WaitUntil(focused, kFocusGrace))
            e2e::Run({"xdotool", "windowfocus", "--sync", window});
        if (!WaitUntil(focused, kWindowTimeout))
            return ::testing::AssertionFailure()
                   << "the window \"" << title << "\" showed but "
                   << FocusedWindow().value_or("none") << " kept the focus";
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult WaitForMainFocused() {
        if (!WaitUntil([this] { return FocusedWindow() == m_main; }, kWindowTimeout))
            return ::testing::AssertionFailure()
                   << "the design dialog " << m_main << " did not get the focus, "
                   << FocusedWindow().value_or("none") << " has it";
        return ::testing::AssertionSuccess();
    }

    static ::testing::AssertionResult WaitForClosed(const WindowId& window,
                                                    const std::string& title) {
        const bool closed = WaitUntil(
            [&] {
                const auto open = VisibleWindows(Exactly(title));
                return std::find(open.begin(), open.end(), window) == open.end();
            },
            kWindowTimeout);
        if (!closed)
            return ::testing::AssertionFailure() << "the window \"" << title << "\" stayed open";
        return ::testing::AssertionSuccess();
    }

    // Presses keys on the design dialog that open a box; confirms the box with Return and
    // waits for the dialog to be back. The box is photographed first when a name is given.
    ::testing::AssertionResult ExpectBox(const std::vector<std::string>& keys,
                                         const std::string& title,
                                         const std::string& screenshot = {}) {
        Keys(keys);
        WindowId box;
        if (auto opened = WaitForFocused(title, box); !opened)
            return opened;
        if (!screenshot.empty())
            Screenshot(box, screenshot);
        Keys({"Return"});
        if (auto closed = WaitForClosed(box, title); !closed)
            return closed;
        return WaitForMainFocused();
    }

    // Waits for a file to exist and to stop changing, then for the dialog to be back.
    ::testing::AssertionResult WaitForWrittenFile(const fs::path& path) {
        if (!WaitForCompleteFile(path, kWindowTimeout, 200ms))
            return ::testing::AssertionFailure() << path << " was not written";
        return WaitForMainFocused();
    }

    // Opens Save As with keys, types the file's full Windows path (replacing the offered name,
    // which starts selected) and waits for the file; returns its bytes.
    ::testing::AssertionResult SaveWith(const std::vector<std::string>& keys,
                                        const std::string& name, std::string& bytes) {
        Keys(keys);
        WindowId dialog;
        if (auto opened = WaitForFocused(kSaveTitle, dialog); !opened)
            return opened;
        const fs::path path = m_files / name;
        TypeText(WindowsPath(path));
        Keys({"Return"});
        if (auto written = WaitForWrittenFile(path); !written)
            return written;
        bytes = ReadBytes(path);
        return ::testing::AssertionSuccess();
    }

    // Opens the system menu from the keyboard; Wine's menu window shows.
    void OpenSystemMenu() {
        const std::size_t before = VisibleWindows("").size();
        Keys({"alt+space"});
        EXPECT_TRUE(WaitUntil([&] { return VisibleWindows("").size() > before; }, kWindowTimeout))
            << "the system menu did not open";
    }

    // Opens the About box through the system menu's last entry.
    ::testing::AssertionResult OpenAboutBox(WindowId& about, const std::string& menuShot = {}) {
        OpenSystemMenu();
        if (!menuShot.empty()) {
            const Rect window = ClientRect(m_main);
            ScreenshotOfArea({window.x, window.y, window.width, window.height}, menuShot);
        }
        Keys({"Up", "Return"}); // from the first entry round to the last, "About Taplore..."
        return WaitForFocused(kAboutTitle, about);
    }

    fs::path m_dir;
    fs::path m_files;
    Process m_app;
    WindowId m_main;
    bool m_startProgram = true;
    bool m_expectRunning = true;
};

// ---- start-up, tab order, typed values and slider keys ---------------------------------

TEST_F(WineDialog, OpensCentredAndTheFifthTabStopSavesAnEmptyFileUnderTheOfferedName) {
    Screenshot(m_main, "windows-startup.png");
    const Rect window = ClientRect(m_main);
    const Rect screen = ScreenRect();
    EXPECT_NEAR(window.x + window.width / 2, screen.width / 2, 4);
    EXPECT_NEAR(window.y + window.height / 2, screen.height / 2, 4);

    // Focus starts on the list: order, low, high, Calculate, then Save; Enter there saves.
    Keys({"Tab", "Tab", "Tab", "Tab", "Tab", "Return"});
    WindowId dialog;
    ASSERT_TRUE(WaitForFocused(kSaveTitle, dialog));
    Screenshot(dialog, "windows-save-dialog.png");
    Keys({"Return"}); // "FIR_Coef" with the default extension, in the working folder
    const fs::path saved = m_files / "FIR_Coef.txt";
    ASSERT_TRUE(WaitForWrittenFile(saved));
    EXPECT_EQ(fs::file_size(saved), 0u);
}

TEST_F(WineDialog, EnterDesignsTheStartValuesAndSavesTheLinuxBytes) {
    std::string bytes;
    Keys({"Return"});
    ASSERT_TRUE(SaveWith({"Tab", "Tab", "Tab", "Tab", "Tab", "Return"}, "bandpass.txt", bytes));
    Screenshot(m_main, "windows-bandpass.png");
    EXPECT_EQ(bytes, LinuxDesign("511", "8000", "400", "2400"));
}

TEST_F(WineDialog, TypedOrderKeepsOnlyDigitsAndTheLowSliderAtZeroGivesALowPass) {
    // Tab into the order edit selects its text; the letter and the minus sign are refused.
    Keys({"Tab"});
    TypeText("1x0-1");
    Keys({"Tab", "Home", "Return"});
    std::string bytes;
    ASSERT_TRUE(SaveWith({"Tab", "Tab", "Tab", "Return"}, "lowpass.txt", bytes));
    EXPECT_EQ(bytes, LinuxDesign("101", "8000", "0", "2400"));
}

TEST_F(WineDialog, SliderKeysMoveByOneAndByAPageOfAFifth) {
    // Low slider 100, Page Down 300, three Right 303, Left 302: 1208 Hz; the high slider at
    // its end is half the rate: a high-pass.
    Keys({"Tab", "Tab", "Next", "Right", "Right", "Right", "Left", "Tab", "End", "Return"});
    std::string bytes;
    ASSERT_TRUE(SaveWith({"Tab", "Tab", "Return"}, "highpass.txt", bytes));
    Screenshot(m_main, "windows-highpass.png");
    EXPECT_EQ(bytes, LinuxDesign("511", "8000", "1208", "4000"));
}

TEST_F(WineDialog, LabelsFollowTheRateSoTheCutoffsFollowTheSliders) {
    // The rate edit is the tab stop before the list. At 16000 Hz the labels read 800.0 and
    // 4800.0: the same normalised cutoffs.
    Keys({"shift+Tab"});
    TypeText("16000");
    Keys({"Return"});
    std::string bytes;
    ASSERT_TRUE(SaveWith({"shift+Tab", "Return"}, "rate16000.txt", bytes));
    EXPECT_EQ(bytes, LinuxDesign("511", "16000", "800", "4800"));

    // At 7 Hz the labels round to one decimal, and Calculate reads the labels.
    Keys({"Tab"});
    TypeText("7");
    Keys({"Return"});
    ASSERT_TRUE(SaveWith({"shift+Tab", "Return"}, "rate7.txt", bytes));
    EXPECT_EQ(bytes, LinuxDesign("511", "7", "0.3", "2.1"));
}

// ---- failures ------------------------------------------------------------------------------

TEST_F(WineDialog, EachFailureShowsItsBoxAndTheDialogCarriesOn) {
    // More taps than the transform holds: listed, then "Calculating magnitude failed!".
    Keys({"Tab"});
    TypeText("1500");
    ASSERT_TRUE(ExpectBox({"Return"}, kErrorTitle, "windows-error.png"));
    std::string bytes;
    ASSERT_TRUE(SaveWith({"Tab", "Tab", "Tab", "Tab", "Return"}, "order1500.txt", bytes));
    EXPECT_EQ(bytes, LinuxDesign("1500", "8000", "400", "2400"));

    // A pasted order is not filtered: -12 taps cannot be allocated, "Calculating FIR
    // coefficients failed!", and the failed design leaves nothing to save.
    WriteBytes(m_dir / "clip.txt", "-12");
    Process clipboard({"xclip", "-quiet", "-selection", "clipboard", (m_dir / "clip.txt").string()},
                      {});
    ASSERT_TRUE(WaitUntil(
        [] {
            return e2e::Run({"xclip", "-o", "-selection", "clipboard"}).out == "-12";
        },
        kWindowTimeout));
    Keys({"shift+Tab", "shift+Tab", "shift+Tab", "shift+Tab", "ctrl+v"});
    ASSERT_TRUE(ExpectBox({"Return"}, kErrorTitle));
    ASSERT_TRUE(SaveWith({"Tab", "Tab", "Tab", "Tab", "Return"}, "failed.txt", bytes));
    EXPECT_EQ(bytes, "");

    // A path through a plain file: the file system's failure in a box with the program's name.
    WriteBytes(m_files / "plain.txt", "a file, not a folder\r\n");
    Keys({"Return"});
    WindowId dialog;
    ASSERT_TRUE(WaitForFocused(kSaveTitle, dialog));
    TypeText(WindowsPath(m_files / "plain.txt" / "coef.txt"));
    Keys({"Return"});
    WindowId failure;
    ASSERT_TRUE(WaitForFocused(kAppTitle, failure));
    Screenshot(failure, "windows-save-failed.png");
    ASSERT_TRUE(ExpectBox({}, kAppTitle));
    EXPECT_EQ(ReadBytes(m_files / "plain.txt"), "a file, not a folder\r\n");
}

// ---- a million taps and long work ------------------------------------------------------

TEST_F(WineDialog, AMillionTapsListAtOnceAndSaveAsOnLinux) {
    Keys({"Tab"});
    TypeText("1000000");
    const auto start = std::chrono::steady_clock::now();
    // Listed first; then the spectrum of more than 1024 taps fails.
    Keys({"Return"});
    WindowId error;
    ASSERT_TRUE(WaitForFocused(kErrorTitle, error));
    const FractionalMillis listed = std::chrono::steady_clock::now() - start;
    std::cout << "1,000,001 taps: from Enter to the error box after the list " << listed.count()
              << " ms\n";
    RecordProperty("million_taps_ms", static_cast<int>(listed.count()));
    Keys({"Return"});
    ASSERT_TRUE(WaitForClosed(error, kErrorTitle));
    ASSERT_TRUE(WaitForMainFocused());
    Screenshot(m_main, "windows-million.png");
    std::string bytes;
    ASSERT_TRUE(SaveWith({"Tab", "Tab", "Tab", "Tab", "Return"}, "million.txt", bytes));
    EXPECT_EQ(bytes.size(), LinuxDesign("1000000", "8000", "400", "2400").size());
    EXPECT_TRUE(bytes == LinuxDesign("1000000", "8000", "400", "2400"));
}

TEST_F(WineDialog, CancellingALongDesignStopsItAndLeavesNothingToSave) {
    // 400 million taps take seconds; the progress box shares the dialog's title.
    Keys({"Tab"});
    TypeText("400000000");
    Keys({"Return"});
    WindowId progress;
    ASSERT_TRUE(WaitForFocused(kMainTitle, progress, {m_main}));
    Screenshot(progress, "windows-progress.png");
    Keys({"Escape"});
    ASSERT_TRUE(WaitForClosed(progress, kMainTitle));
    ASSERT_TRUE(WaitForMainFocused());
    std::string bytes;
    ASSERT_TRUE(SaveWith({"Tab", "Tab", "Tab", "Tab", "Return"}, "cancelled.txt", bytes));
    EXPECT_EQ(bytes, "");
}

// ---- system menu, About box, help and closing ------------------------------------------

TEST_F(WineDialog, TheSystemMenusAboutEntryOpensTheBoxOverTheDialog) {
    WindowId about;
    ASSERT_TRUE(OpenAboutBox(about, "windows-system-menu.png"));
    Screenshot(about, "windows-about.png");
    const Rect outer = ClientRect(m_main);
    const Rect inner = ClientRect(about);
    EXPECT_NEAR(inner.x + inner.width / 2, outer.x + outer.width / 2, 4);
    EXPECT_NEAR(inner.y + inner.height / 2, outer.y + outer.height / 2, 4);
    Keys({"Escape"});
    ASSERT_TRUE(WaitForClosed(about, kAboutTitle));
    ASSERT_TRUE(WaitForMainFocused());

    // OK (the default button) closes it too, and F1 there opens the manual.
    ASSERT_TRUE(OpenAboutBox(about));
    Keys({"F1"});
    WindowId help;
    ASSERT_TRUE(WaitForFocused(kHelpTitle, help));
    Keys({"Escape"});
    ASSERT_TRUE(WaitForClosed(help, kHelpTitle));
    ASSERT_TRUE(WaitForFocused(kAboutTitle, about));
    Keys({"Return"});
    ASSERT_TRUE(WaitForClosed(about, kAboutTitle));
    ASSERT_TRUE(WaitForMainFocused());
}

TEST_F(WineDialog, F1OpensTheManualAndEscapeClosesIt) {
    Keys({"F1"});
    WindowId help;
    ASSERT_TRUE(WaitForFocused(kHelpTitle, help));
    Screenshot(help, "windows-help.png");
    Keys({"Escape"});
    ASSERT_TRUE(WaitForClosed(help, kHelpTitle));
    ASSERT_TRUE(WaitForMainFocused());
}

struct CloseWay {
    const char* name;
    std::vector<std::string> keys;
};

class ClosingTheDialog : public WineDialog, public ::testing::WithParamInterface<CloseWay> {};

TEST_P(ClosingTheDialog, EndsTheProgram) {
    m_expectRunning = false;
    if (GetParam().keys.front() == "c")
        OpenSystemMenu();
    Keys(GetParam().keys);
    ASSERT_TRUE(m_app.WaitForExit(kWindowTimeout)) << "the program is still running";
    EXPECT_EQ(m_app.ExitStatus(), 0) << Log();
}

INSTANTIATE_TEST_SUITE_P(Ways, ClosingTheDialog,
                         ::testing::Values(CloseWay{"Escape", {"Escape"}},
                                           CloseWay{"AltF4", {"alt+F4"}},
                                           CloseWay{"SystemMenuClose", {"c"}}),
                         [](const ::testing::TestParamInfo<CloseWay>& info) {
                             return std::string(info.param.name);
                         });

// ---- how fast -------------------------------------------------------------------------------

// Tests that start the program themselves, as often as they need.
class WineStartsOnDemand : public WineDialog {
protected:
    WineStartsOnDemand() {
        m_startProgram = false;
        m_expectRunning = false;
    }
};

class WineDialogTimes : public WineStartsOnDemand {};

// Start-up to the visible dialog, and Calculate of the start-up design from the key to the
// repainted plot and list, both on this test's clock; medians of several runs are reported.
TEST_F(WineDialogTimes, StartUpAndCalculate) {
    constexpr int kRuns = 5;
    XProbe probe;
    std::vector<double> startUps;
    std::vector<double> calculates;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(StartProgram());
        startUps.push_back(FractionalMillis(std::chrono::steady_clock::now() - start).count());
        // The plot lies in the left three quarters of the dialog, the list in its right fifth.
        const Rect w = ClientRect(m_main);
        const Rect plot{w.x + w.width / 10, w.y + w.height / 5, w.width * 6 / 10,
                        w.height * 3 / 10};
        const Rect list{w.x + w.width * 4 / 5, w.y + w.height / 5, w.width / 6, w.height * 2 / 5};
        const auto took = probe.TimeKeyToChange("Return", {plot, list}, kWindowTimeout);
        ASSERT_TRUE(took) << "Calculate did not repaint the plot and the list";
        calculates.push_back(took->count());
        m_app.Stop();
        ASSERT_TRUE(
            WaitUntil([] { return VisibleWindows(Exactly(kMainTitle)).empty(); }, kWindowTimeout));
    }
    std::cout << "start-up to the visible dialog under Wine: median " << Median(startUps)
              << " ms of " << kRuns << " runs\n"
              << "Calculate, 511 taps, key to repainted plot and list: median "
              << Median(calculates) << " ms of " << kRuns << " runs\n";
    RecordProperty("startup_median_ms", static_cast<int>(Median(startUps)));
    RecordProperty("calculate_median_ms", static_cast<int>(Median(calculates)));
}

// ---- the installer ---------------------------------------------------------------------

class WineInstaller : public WineStartsOnDemand {};

// Installs silently into the tests' Wine prefix, runs both installed programs and takes it
// all away again with the uninstaller.
TEST_F(WineInstaller, InstallsSilentlyBothProgramsRunAndTheUninstallerRemovesThem) {
    ASSERT_TRUE(fs::exists(TAPLORE_INSTALLER)) << TAPLORE_INSTALLER << " was not built";
    const fs::path driveC = fs::path(WINE_PREFIX) / "drive_c";
    const fs::path folder = driveC / "Program Files" / "Taplore";
    const fs::path menu = driveC / "ProgramData/Microsoft/Windows/Start Menu/Programs/Taplore";
    const std::string installed = "C:\\Program Files\\Taplore\\";
    const std::string uninstallKey =
        "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Taplore";

    ASSERT_TRUE(RunWine({TAPLORE_INSTALLER, "/S"}, kStartTimeout)) << "the installer failed";
    for (const char* file : {"taplore.exe", "taplore-design.exe", "manual.md", "LICENSE.txt",
                             "README.txt", "uninstall.exe"})
        EXPECT_TRUE(fs::is_regular_file(folder / file)) << file;
    for (const char* link :
         {"FIR Filter Design.lnk", "Taplore manual.lnk", "Uninstall Taplore.lnk"})
        EXPECT_TRUE(fs::is_regular_file(menu / link)) << link;
    EXPECT_TRUE(RunWine({"reg", "query", uninstallKey}, kStartTimeout));
    std::cout << "installed:";
    for (const fs::path& dir : {folder, menu})
        for (const auto& entry : fs::directory_iterator(dir))
            std::cout << "\n  " << fs::relative(entry.path(), driveC).string() << " ("
                      << fs::file_size(entry.path()) << " bytes)";
    std::cout << std::endl;

    const fs::path out = m_dir / "design.out";
    ASSERT_TRUE(RunWine({installed + "taplore-design.exe", "--order", "511", "--rate", "8000",
                         "--low", "400", "--high", "2400"},
                        kStartTimeout, out));
    EXPECT_EQ(ReadBytes(out), LinuxDesign("511", "8000", "400", "2400"));
    ASSERT_TRUE(StartProgram(installed + "taplore.exe"));
    Keys({"Escape"});
    ASSERT_TRUE(m_app.WaitForExit(kWindowTimeout)) << "the installed dialog did not close";

    // The uninstaller runs on from a copy of itself and ends after the original has gone.
    ASSERT_TRUE(RunWine({installed + "uninstall.exe", "/S"}, kStartTimeout));
    EXPECT_TRUE(
        WaitUntil([&] { return !fs::exists(folder) && !fs::exists(menu); }, kStartTimeout, 200ms))
        << "the uninstaller left files behind";
    EXPECT_FALSE(RunWine({"reg", "query", uninstallKey}, kStartTimeout))
        << "the uninstaller left its registry key behind";
}

} // namespace
} // namespace e2e
