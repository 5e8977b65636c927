// The built program in a private X server, driven with keys and clicks as a person would,
// checked through the files it saves and photographed at every state worth seeing.

#include "e2e_files.h"
#include "window_titles.h"
#include "x_session.h"

#include "core/design/fir_design.h"
#include "core/formats/crt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <set>

namespace e2e {
namespace {

// The expected taps come from the program's own designer, which the core tests check
// against independent arithmetic: what is tested here is the way from keys to file.
std::vector<double> DesignedTaps(int order, const std::string& lowLabel,
                                 const std::string& highLabel, double rate) {
    const double f1 = (crt::Atof(lowLabel) / rate) * 2;
    const double f2 = (crt::Atof(highLabel) / rate) * 2;
    std::shared_ptr<double[]> coef;
    int count = 0;
    if (DesignFilter(coef, count, order, f1, f2) < 0)
        return {};
    return {coef.get(), coef.get() + count};
}

// The taps designed from the labels of two slider positions (of 1000) at a rate.
std::vector<double> DesignedTapsForSliders(int order, int lowPos, int highPos, double rate) {
    const auto label = [rate](int pos) { return crt::FormatF8_1(pos * rate * 0.5 / 1000); };
    return DesignedTaps(order, label(lowPos), label(highPos), rate);
}

namespace fs = std::filesystem;

// Failures the framework reports carry the program's name: the executable's base name.
const std::string kAppTitle = std::filesystem::path(TAPLORE_EXE).stem().string();

// The design dialog's size in dialog units, from which the font's base units follow.
constexpr int kDialogWidthDu = 284;
constexpr int kDialogHeightDu = 164;

// A title pattern that matches this title and nothing longer.
std::string Exactly(const std::string& title) {
    return "^" + title + "$";
}

std::set<std::string> FileNames(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

// Splits a saved file into lines; every line, the last included, must end in CR LF.
::testing::AssertionResult SplitCrLfLines(const std::string& bytes,
                                          std::vector<std::string>& lines) {
    lines.clear();
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos)
            return ::testing::AssertionFailure()
                   << "line " << lines.size() + 1 << " has no CR LF ending";
        const std::string line = bytes.substr(start, end - start);
        if (line.find_first_of("\r\n") != std::string::npos)
            return ::testing::AssertionFailure()
                   << "line " << lines.size() + 1 << " holds a stray CR or LF";
        lines.push_back(line);
        start = end + 2;
    }
    return ::testing::AssertionSuccess();
}

// The saved lines against the expected taps: same count, and each line exactly as the
// "%f" of the expected value. A mismatch tells whether it is within the last digit.
void ExpectTaps(const std::vector<std::string>& lines, const std::vector<double>& expected) {
    ASSERT_EQ(lines.size(), expected.size());
    int reported = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const std::string want = crt::FormatF(expected[k]);
        if (lines[k] == want)
            continue;
        const double got = std::strtod(lines[k].c_str(), nullptr);
        const bool close = std::fabs(got - expected[k]) <= 1e-6;
        ADD_FAILURE() << "tap " << k << ": saved \"" << lines[k] << "\", expected \"" << want
                      << "\"" << (close ? " (within 1e-6)" : "");
        if (++reported == 10)
            return;
    }
}

double SumOf(const std::vector<std::string>& lines, bool alternating = false) {
    double sum = 0.0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const double value = std::strtod(lines[k].c_str(), nullptr);
        sum += (alternating && k % 2 != 0) ? -value : value;
    }
    return sum;
}

// Each printed tap is off by at most half a unit of its sixth decimal.
double PrintedSumTolerance(std::size_t count) {
    return 5e-7 * static_cast<double>(count) + 1e-9;
}

class DesignDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(SharedSession(), nullptr) << "no X session";
        m_dir = NewCaseFolder("taplore-case");
        m_files = m_dir / "files";
        // The file dialog opens in m_files.
        m_app = Process({TAPLORE_EXE}, ProgramOptions(m_dir, m_files));

        const auto main = WaitForProgramWindow(m_app, Exactly(kMainTitle));
        ASSERT_TRUE(main) << "the window \"" << kMainTitle
                          << "\" did not come up with the keyboard\n"
                          << Log();
        m_main = *main;
    }

    void TearDown() override {
        if (m_expectRunning) {
            EXPECT_TRUE(m_app.Running()) << "the program died during the test\n" << Log();
        }
        m_app.Stop();
        if (HasFailure())
            std::cerr << "program output:\n" << Log();
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    std::string Log() const { return ReadBytes(m_dir / "taplore.log"); }

    // Waits until a window of the program with this title has the focus; returns it.
    ::testing::AssertionResult WaitForActive(const std::string& title, WindowId& window,
                                             const std::set<WindowId>& except = {}) {
        const bool found = WaitUntil(
            [&] {
                const auto active = ActiveWindow();
                if (!active || except.count(*active))
                    return false;
                for (const WindowId& w : VisibleWindows(m_app.Pid(), Exactly(title)))
                    if (w == *active) {
                        window = w;
                        return true;
                    }
                return false;
            },
            30s);
        if (!found || !WaitForKeyboard(window))
            return ::testing::AssertionFailure() << "no window \"" << title << "\" got the focus";
        return ::testing::AssertionSuccess();
    }

    // Also waits for the program to finish what it does on the way back (a save, a repaint).
    ::testing::AssertionResult WaitForMainActive() {
        if (!WaitForKeyboard(m_main))
            return ::testing::AssertionFailure() << "the design dialog did not get the focus back";
        return ::testing::AssertionSuccess();
    }

    // Waits for the menu that was just asked for to be up and taking keys.
    ::testing::AssertionResult WaitForMenu(const std::vector<WindowId>& before) {
        if (!WaitForNewWindow(m_app.Pid(), before) || !WaitForIdle(m_main))
            return ::testing::AssertionFailure() << "no menu opened";
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult WaitForClosed(const WindowId& window, const std::string& title) {
        const bool closed = WaitUntil(
            [&] {
                const auto open = VisibleWindows(m_app.Pid(), Exactly(title));
                return std::find(open.begin(), open.end(), window) == open.end();
            },
            30s);
        if (!closed)
            return ::testing::AssertionFailure() << "the window \"" << title << "\" stayed open";
        return ::testing::AssertionSuccess();
    }

    // Presses keys on the design dialog and waits for the file dialog they open.
    ::testing::AssertionResult OpenSaveDialog(const std::vector<std::string>& keys,
                                              WindowId& dialog) {
        Keys(keys);
        return WaitForActive(kSaveTitle, dialog);
    }

    // In the open file dialog: replaces the name with a full path and accepts it.
    static void EnterFileName(const fs::path& path) {
        Keys({"ctrl+a"});
        TypeText(path.string());
        Keys({"Return"});
    }

    // Waits for a file to exist and to stop changing, then for the dialog to be back.
    ::testing::AssertionResult WaitForWrittenFile(const fs::path& path) {
        if (!WaitForCompleteFile(path, 30s, 100ms))
            return ::testing::AssertionFailure() << path << " was not written";
        return WaitForMainActive();
    }

    // Saves through the file dialog that keys open, and returns the file's lines.
    ::testing::AssertionResult SaveWith(const std::vector<std::string>& keys,
                                        const std::string& name, std::vector<std::string>& lines) {
        WindowId dialog;
        if (auto opened = OpenSaveDialog(keys, dialog); !opened)
            return opened;
        const fs::path path = m_files / name;
        EnterFileName(path);
        if (auto written = WaitForWrittenFile(path); !written)
            return written;
        return SplitCrLfLines(ReadBytes(path), lines);
    }

    // Pixel position in the design dialog of a point given in dialog units: the base units
    // follow from the dialog's size, which is laid out in them.
    std::pair<int, int> DialogPoint(int xDu, int yDu) const {
        const Rect client = ClientRect(m_main);
        const int baseX = static_cast<int>(std::lround(client.width * 4.0 / kDialogWidthDu));
        const int baseY = static_cast<int>(std::lround(client.height * 8.0 / kDialogHeightDu));
        return {(xDu * baseX + 2) / 4, (yDu * baseY + 4) / 8};
    }

    // Right click on free space of the design dialog: below the cutoff group box.
    ::testing::AssertionResult OpenSystemMenuWithMouse() {
        const auto before = VisibleWindows(m_app.Pid(), ".*");
        const auto [x, y] = DialogPoint(4, kDialogHeightDu - 4);
        ClickAt(m_main, x, y, 3);
        return WaitForMenu(before);
    }

    // Clicks the close button of the window manager's frame (top right of the title bar).
    static void ClickCloseBox(const WindowId& window) {
        const Rect client = ClientRect(window);
        const std::vector<int> extents = FrameExtents(window); // left, right, top, bottom
        const int titleHeight = extents[2];
        ClickOnScreen(client.x + client.width + extents[1] - titleHeight / 2 - 1,
                      client.y - titleHeight / 2);
    }

    // Once a design has been saved, Calculate has certainly run; the dialog's repaint where
    // the file dialog was is awaited.
    void ScreenshotOfDesign(const std::string& name) const {
        EXPECT_TRUE(WaitForIdle(m_main)) << "the program did not catch up";
        Screenshot(m_main, name);
    }

    // Screenshot of the design dialog with room below for a menu.
    void ScreenshotWithMenu(const std::string& name) const {
        const Rect client = ClientRect(m_main);
        ScreenshotOfArea({client.x, client.y, client.width, client.height + 120}, name);
    }

    fs::path m_dir;
    fs::path m_files;
    Process m_app;
    WindowId m_main;
    bool m_expectRunning = true;
};

std::vector<double> StartupDesign(int order = 511) {
    return DesignedTaps(order, "400", "2400", 8000);
}

// ---- start-up and the first design -----------------------------------------------------

TEST_F(DesignDialog, SavingBeforeAnyDesignWritesAnEmptyFileUnderTheOfferedName) {
    Screenshot(m_main, "startup.png");

    // The dialog opens centred on the screen (give or take the title bar).
    const Rect client = ClientRect(m_main);
    const Rect screen = ScreenRect();
    EXPECT_NEAR(client.x + client.width / 2, screen.width / 2, 4);
    EXPECT_NEAR(client.y + client.height / 2, screen.height / 2, 24);

    // Focus starts on the list; the fifth tab stop is Save, and Enter there saves.
    WindowId dialog;
    ASSERT_TRUE(OpenSaveDialog({"Tab", "Tab", "Tab", "Tab", "Tab", "Return"}, dialog));
    Screenshot(dialog, "save-dialog.png");
    // Accept the offered name as it is: "FIR_Coef" plus the default extension.
    Keys({"Return"});
    const fs::path saved = m_files / "FIR_Coef.txt";
    ASSERT_TRUE(WaitForWrittenFile(saved));
    EXPECT_EQ(fs::file_size(saved), 0u);
    EXPECT_EQ(FileNames(m_files), std::set<std::string>{"FIR_Coef.txt"});
}

TEST_F(DesignDialog, EnterAtStartUpDesignsTheBandPassOfTheStartValues) {
    Keys({"Return"});
    std::vector<std::string> lines;
    ASSERT_TRUE(SaveWith({"Tab", "Tab", "Tab", "Tab", "Tab", "Return"}, "bandpass.txt", lines));
    ScreenshotOfDesign("bandpass.png");
    ExpectTaps(lines, StartupDesign());
    // A band-pass is left unscaled: its taps do not sum to one.
    EXPECT_GT(std::fabs(SumOf(lines) - 1), 0.1);
}

TEST_F(DesignDialog, ClickingCalculateDesignsTheSameFilterAndEnterOnSaveSaves) {
    const auto [x, y] = DialogPoint(174 + 25, 138 + 7);
    ClickAt(m_main, x, y);

    // The click left the focus on Calculate; Save is the next tab stop.
    std::vector<std::string> lines;
    ASSERT_TRUE(SaveWith({"Tab", "Return"}, "clicked.txt", lines));
    ExpectTaps(lines, StartupDesign());
}

TEST_F(DesignDialog, CopiedTapsAreTheSavedTextAndTheSpectrumNamesItsBins) {
    Keys({"Return", "ctrl+c"}); // the list has the focus from start-up
    CommandResult clipboard;
    ASSERT_TRUE(WaitUntil(
        [&] {
            clipboard = e2e::Run({"xclip", "-o", "-selection", "clipboard"});
            return clipboard.status == 0 && !clipboard.out.empty();
        },
        30s))
        << "nothing was copied";
    std::vector<std::string> lines;
    ASSERT_TRUE(SaveWith({"Tab", "Tab", "Tab", "Tab", "Tab", "Return"}, "saved.txt", lines));
    EXPECT_EQ(clipboard.out, ReadBytes(m_files / "saved.txt"));

    // The pointer over bin 160 of the plot (1250 Hz), 5 pixels inside the frame.
    const auto [frameX, frameY] = DialogPoint(25, 10);
    const Rect client = ClientRect(m_main);
    const int x = client.x + frameX + 5 + 160 * (DialogPoint(180, 0).first - 10) / 512;
    const auto before = VisibleWindows(m_app.Pid(), ".*");
    e2e::Run({"xdotool", "mousemove", std::to_string(x), std::to_string(client.y + frameY + 40)});
    ASSERT_TRUE(WaitForNewWindow(m_app.Pid(), before)) << "no tooltip";
    ASSERT_TRUE(WaitForIdle(m_main));
    ScreenshotOfArea({client.x, client.y, client.width, client.height + 40}, "tooltip.png");
}

// ---- edits and sliders from the keyboard -----------------------------------------------

TEST_F(DesignDialog, TypedOrderAndLowSliderAtZeroGiveALowPass) {
    // The order edit refuses the letters and the minus sign typed among the digits.
    Keys({"Tab", "ctrl+a"});
    TypeText("1x0-1");
    Keys({"Tab", "Home", "Return"});
    std::vector<std::string> lines;
    ASSERT_TRUE(SaveWith({"Tab", "Tab", "Tab", "Return"}, "lowpass.txt", lines));
    ScreenshotOfDesign("lowpass.png");
    ExpectTaps(lines, DesignedTapsForSliders(101, 0, 600, 8000));
    ASSERT_EQ(lines.size(), 101u);
    EXPECT_NEAR(SumOf(lines), 1.0, PrintedSumTolerance(lines.size()));
    for (std::size_t k = 0; k < lines.size() / 2; ++k)
        EXPECT_NEAR(std::strtod(lines[k].c_str(), nullptr),
                    std::strtod(lines[lines.size() - 1 - k].c_str(), nullptr), 1e-6)
            << "taps " << k << " and " << lines.size() - 1 - k;
}

TEST_F(DesignDialog, SliderKeysMoveByOneAndByAPageOfAFifth) {
    // Order 401; low slider 100 -> Page_Up 300 -> three Right 303 -> Left 302;
    // high slider to its end: the high cutoff is half the rate, a high-pass.
    Keys({"Tab", "ctrl+a"});
    TypeText("401");
    Keys({"Tab", "Page_Up", "Right", "Right", "Right", "Left", "Tab", "End", "Return"});
    std::vector<std::string> lines;
    ASSERT_TRUE(SaveWith({"Tab", "Tab", "Return"}, "highpass.txt", lines));
    ScreenshotOfDesign("highpass.png");
    ExpectTaps(lines, DesignedTapsForSliders(401, 302, 1000, 8000));
    // Unit gain at the Nyquist frequency (the centre index 200 is even).
    EXPECT_NEAR(SumOf(lines, true), 1.0, PrintedSumTolerance(lines.size()));

    // From Save back to the high slider: four pages down from the end, 200; the low slider
    // to its end and a page back, 800: low cutoff above the high one, a band-stop.
    Keys({"shift+Tab", "shift+Tab", "Page_Down", "Page_Down", "Page_Down", "Page_Down", "shift+Tab",
          "End", "Page_Up", "Page_Down", "Return"});
    ASSERT_TRUE(SaveWith({"Tab", "Tab", "Tab", "Return"}, "bandstop.txt", lines));
    ScreenshotOfDesign("bandstop.png");
    ExpectTaps(lines, DesignedTapsForSliders(401, 800, 200, 8000));
    EXPECT_NEAR(SumOf(lines), 1.0, PrintedSumTolerance(lines.size()));
}

TEST_F(DesignDialog, RateEditsRefreshTheLabelsSoCutoffsFollowTheSliders) {
    // The rate edit is the tab stop before the list. At 16000 Hz the labels become 800.0
    // and 4800.0: the same normalised cutoffs, so the same taps as at 8000 Hz.
    Keys({"shift+Tab", "ctrl+a"});
    TypeText("16000");
    Keys({"Return"});
    std::vector<std::string> lines;
    ASSERT_TRUE(SaveWith({"shift+Tab", "Return"}, "rate16000.txt", lines));
    ExpectTaps(lines, StartupDesign());

    // At 7 Hz the labels round to one decimal (0.3 and 2.1 Hz), and Calculate reads the
    // labels: the low cutoff moves from 0.1 to 0.0857.
    Keys({"Tab", "ctrl+a"});
    TypeText("7");
    Keys({"Return"});
    ASSERT_TRUE(SaveWith({"shift+Tab", "Return"}, "rate7.txt", lines));
    const std::vector<double> expected = DesignedTapsForSliders(511, 100, 600, 7);
    ASSERT_NE(crt::FormatF(expected[255]), crt::FormatF(StartupDesign()[255]));
    ExpectTaps(lines, expected);
}

// ---- failures and the file dialog ------------------------------------------------------

TEST_F(DesignDialog, OrderAboveTheTransformSizeReportsAnErrorAndStillSavesTheTaps) {
    Keys({"Tab", "ctrl+a"});
    TypeText("1500");
    Keys({"Return"});
    WindowId error;
    ASSERT_TRUE(WaitForActive(kErrorTitle, error));
    Screenshot(error, "error.png");
    Keys({"Return"});
    ASSERT_TRUE(WaitForClosed(error, kErrorTitle));
    ASSERT_TRUE(WaitForMainActive());

    std::vector<std::string> lines;
    ASSERT_TRUE(SaveWith({"Tab", "Tab", "Tab", "Tab", "Return"}, "order1500.txt", lines));
    ExpectTaps(lines, StartupDesign(1500));
    EXPECT_EQ(lines.size(), 1501u);
}

TEST_F(DesignDialog, CutoffsMatchingNoBandSaveZerosAndAZeroCutoffSavesNan) {
    // Low slider at 0 and high at its end: no band type, the taps are never written.
    Keys({"Tab", "Tab", "Home", "Tab", "End", "Return"});
    std::vector<std::string> lines;
    ASSERT_TRUE(SaveWith({"Tab", "Tab", "Return"}, "noband.txt", lines));
    ExpectTaps(lines, std::vector<double>(511, 0.0));

    // Both at 0: a low-pass with cutoff 0, whose normalisation divides zero by zero.
    Keys({"shift+Tab", "shift+Tab", "Home", "Return"});
    ASSERT_TRUE(SaveWith({"Tab", "Tab", "Return"}, "zerocutoff.txt", lines));
    ExpectTaps(lines, DesignedTapsForSliders(511, 0, 0, 8000));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "nan");
}

TEST_F(DesignDialog, ReplacingAnExistingFileAsksFirstThenReplacesItsContent) {
    const fs::path existing = m_files / "existing.txt";
    WriteBytes(existing, "old content\r\n");
    Keys({"Return"});

    WindowId dialog;
    ASSERT_TRUE(OpenSaveDialog({"Tab", "Tab", "Tab", "Tab", "Tab", "Return"}, dialog));
    EnterFileName(existing);
    WindowId confirm;
    ASSERT_TRUE(WaitForActive(kSaveTitle, confirm, {dialog}));
    Screenshot(confirm, "replace-confirm.png");
    Keys({"alt+y"});
    ASSERT_TRUE(WaitUntil([&] { return ReadBytes(existing) != "old content\r\n"; }, 10s))
        << "the file was not replaced";
    ASSERT_TRUE(WaitForMainActive());

    std::vector<std::string> lines;
    ASSERT_TRUE(SplitCrLfLines(ReadBytes(existing), lines));
    ExpectTaps(lines, StartupDesign());
    EXPECT_EQ(FileNames(m_files), std::set<std::string>{"existing.txt"});
}

TEST_F(DesignDialog, DecliningTheReplacementOrCancellingKeepsTheFileByteForByte) {
    const fs::path existing = m_files / "keep.txt";
    std::string original = "first line\nno CR here\r\n";
    original += std::string("\x01\x02\xff\0", 4) + "binary tail";
    WriteBytes(existing, original);
    Keys({"Return"});

    WindowId dialog;
    ASSERT_TRUE(OpenSaveDialog({"Tab", "Tab", "Tab", "Tab", "Tab", "Return"}, dialog));
    // Enter on the question answers its default, No; then alt+n answers No too.
    for (const char* answer : {"Return", "alt+n"}) {
        EnterFileName(existing);
        WindowId confirm;
        ASSERT_TRUE(WaitForActive(kSaveTitle, confirm, {dialog}));
        Keys({answer});
        ASSERT_TRUE(WaitForClosed(confirm, kSaveTitle));
        ASSERT_TRUE(WaitForActive(kSaveTitle, dialog)) << "the file dialog did not come back";
    }
    // Escape cancels the file dialog itself.
    Keys({"Escape"});
    ASSERT_TRUE(WaitForClosed(dialog, kSaveTitle));
    ASSERT_TRUE(WaitForMainActive());
    EXPECT_EQ(ReadBytes(existing), original);
    EXPECT_EQ(FileNames(m_files), std::set<std::string>{"keep.txt"});

    // Cancelling a fresh name writes nothing either.
    ASSERT_TRUE(OpenSaveDialog({"Return"}, dialog)); // Save kept the focus
    Keys({"ctrl+a"});
    TypeText((m_files / "never.txt").string());
    Keys({"Escape"});
    ASSERT_TRUE(WaitForClosed(dialog, kSaveTitle));
    ASSERT_TRUE(WaitForMainActive());
    EXPECT_EQ(FileNames(m_files), std::set<std::string>{"keep.txt"});
}

TEST_F(DesignDialog, AFileThatCannotBeCreatedIsReportedAndTheDialogCarriesOn) {
    const fs::path plain = m_files / "plain.txt";
    WriteBytes(plain, "a file, not a folder\r\n");
    Keys({"Return"});

    // A path through a plain file: the folder part is not a folder.
    WindowId dialog;
    ASSERT_TRUE(OpenSaveDialog({"Tab", "Tab", "Tab", "Tab", "Tab", "Return"}, dialog));
    EnterFileName(plain / "coef.txt");
    WindowId failure;
    ASSERT_TRUE(WaitForActive(kAppTitle, failure));
    Screenshot(failure, "save-failed.png");
    Keys({"Return"});
    ASSERT_TRUE(WaitForClosed(failure, kAppTitle));
    ASSERT_TRUE(WaitForMainActive());
    EXPECT_EQ(ReadBytes(plain), "a file, not a folder\r\n");
    EXPECT_EQ(FileNames(m_files), std::set<std::string>{"plain.txt"});

    // The dialog goes on working: the same taps save fine elsewhere.
    std::vector<std::string> lines;
    ASSERT_TRUE(SaveWith({"Return"}, "afterwards.txt", lines));
    ExpectTaps(lines, StartupDesign());
}

// ---- system menu, About box, help and closing ------------------------------------------

// The manual beside the dialogs: F1 opens it at the dialog's section, F1 in the dialog again
// brings the same window to the front, and Escape closes it; the About box, which blocks the
// design dialog, leaves the manual usable.
TEST_F(DesignDialog, F1OpensTheManualBesideEitherDialog) {
    Keys({"F1"});
    WindowId help;
    ASSERT_TRUE(WaitForActive(kHelpTitle, help));
    Screenshot(help, "help.png");
    // Beside the dialog, covering none of it, where the screen has the room.
    const Rect dialog = ClientRect(m_main), manual = ClientRect(help);
    EXPECT_TRUE(manual.x >= dialog.x + dialog.width || manual.x + manual.width <= dialog.x)
        << "the manual at x " << manual.x << " covers the dialog from x " << dialog.x;
    const int left = std::min(dialog.x, manual.x);
    ScreenshotOfArea({left, std::min(dialog.y, manual.y) - 30,
                      std::max(dialog.x + dialog.width, manual.x + manual.width) - left,
                      std::max(dialog.height, manual.height) + 40},
                     "help-beside-dialog.png");
    Activate(m_main);
    ASSERT_TRUE(WaitForMainActive()) << "the manual keeps the design dialog from the focus";
    Keys({"F1"});
    ASSERT_TRUE(WaitForActive(kHelpTitle, help));
    EXPECT_EQ(VisibleWindows(m_app.Pid(), Exactly(kHelpTitle)).size(), 1u);
    Keys({"Escape"});
    ASSERT_TRUE(WaitForClosed(help, kHelpTitle));
    ASSERT_TRUE(WaitForMainActive());

    ASSERT_TRUE(OpenSystemMenuWithMouse());
    Keys({"a"});
    WindowId about;
    ASSERT_TRUE(WaitForActive(kAboutTitle, about));
    Keys({"F1"});
    ASSERT_TRUE(WaitForActive(kHelpTitle, help));
    Keys({"Escape"});
    ASSERT_TRUE(WaitForClosed(help, kHelpTitle)) << "the About box blocks the manual";
    Activate(about);
    ASSERT_TRUE(WaitForActive(kAboutTitle, about));
    Keys({"Escape"});
    ASSERT_TRUE(WaitForClosed(about, kAboutTitle));
    ASSERT_TRUE(WaitForMainActive());
}

// Seven-digit orders and six-digit rates show whole, and Tab draws the focus on Calculate.
TEST_F(DesignDialog, TypedMillionTapOrderAndRateShowWholeWithCalculateFocused) {
    Keys({"Tab", "ctrl+a"});
    TypeText("1000001");
    Keys({"Tab", "Tab", "Tab", "Tab", "Tab", "ctrl+a"});
    TypeText("192000");
    Keys({"Tab", "Tab", "Tab", "Tab", "Tab"});
    ASSERT_TRUE(WaitForIdle(m_main));
    Screenshot(m_main, "order-and-rate-typed.png");
}

TEST_F(DesignDialog, AboutBoxOpensFromTheSystemMenuAndClosesEveryWay) {
    struct Way {
        const char* open; // how the system menu is opened
        const char* close;
    };
    // The menu: right click on free space, or the Menu key or Shift+F10 on a slider.
    const Way ways[] = {
        {"mouse", "Return"}, {"Menu", "Escape"}, {"shift+F10", "close box"}, {"mouse", "OK click"}};
    bool onSlider = false;
    for (const Way& way : ways) {
        SCOPED_TRACE(std::string("menu by ") + way.open + ", About closed by " + way.close);
        if (std::string(way.open) == "mouse") {
            ASSERT_TRUE(OpenSystemMenuWithMouse());
        } else {
            if (!onSlider)
                Keys({"Tab", "Tab"});
            onSlider = true;
            const auto before = VisibleWindows(m_app.Pid(), ".*");
            Keys({way.open});
            ASSERT_TRUE(WaitForMenu(before));
        }
        if (&way == &ways[0])
            ScreenshotWithMenu("system-menu.png");
        Keys({"a"}); // "&About Taplore..."
        WindowId about;
        ASSERT_TRUE(WaitForActive(kAboutTitle, about));
        if (&way == &ways[0]) {
            Screenshot(about, "about.png");
            // Centred over the design dialog.
            const Rect outer = ClientRect(m_main);
            const Rect inner = ClientRect(about);
            EXPECT_NEAR(inner.x + inner.width / 2, outer.x + outer.width / 2, 4);
            EXPECT_NEAR(inner.y + inner.height / 2, outer.y + outer.height / 2, 24);
        }

        const std::string close = way.close;
        if (close == "close box") {
            ClickCloseBox(about);
        } else if (close == "OK click") {
            // OK sits at 10, 40 (32 x 14 dialog units) in a box 200 x 84 units large.
            const Rect box = ClientRect(about);
            ClickAt(about, (26 * box.width + 100) / 200, (47 * box.height + 42) / 84);
        } else {
            Keys({close});
        }
        ASSERT_TRUE(WaitForClosed(about, kAboutTitle));
        ASSERT_TRUE(WaitForMainActive());
        ASSERT_TRUE(m_app.Running()) << "the program ended";
    }
}

enum class CloseBy { escape, altF4, closeBox, systemMenu };

const char* NameOf(CloseBy way) {
    switch (way) {
    case CloseBy::escape:
        return "Escape";
    case CloseBy::altF4:
        return "AltF4";
    case CloseBy::closeBox:
        return "CloseBox";
    case CloseBy::systemMenu:
        return "SystemMenuClose";
    }
    return "Unknown";
}

void PrintTo(CloseBy way, std::ostream* out) {
    *out << NameOf(way);
}

class ClosingTheDialog : public DesignDialog, public ::testing::WithParamInterface<CloseBy> {};

TEST_P(ClosingTheDialog, EndsTheProgramCleanly) {
    m_expectRunning = false;
    // Set-up waited until the dialog was managed and had the keyboard: the window manager's
    // keys (Alt+F4) and its frame (the close box) act on it from here on.
    switch (GetParam()) {
    case CloseBy::escape:
        Keys({"Escape"});
        break;
    case CloseBy::altF4:
        Keys({"alt+F4"});
        break;
    case CloseBy::closeBox:
        ClickCloseBox(m_main);
        break;
    case CloseBy::systemMenu:
        ASSERT_TRUE(OpenSystemMenuWithMouse());
        Keys({"c"}); // "&Close"
        break;
    }
    ASSERT_TRUE(m_app.WaitForExit(30s)) << "the program is still running";
    // A crash on the way out would show as death by a signal.
    EXPECT_LT(m_app.ExitStatus().value_or(-1), 128) << Log();
}

INSTANTIATE_TEST_SUITE_P(Ways, ClosingTheDialog,
                         ::testing::Values(CloseBy::escape, CloseBy::altF4, CloseBy::closeBox,
                                           CloseBy::systemMenu),
                         [](const ::testing::TestParamInfo<CloseBy>& info) {
                             return std::string(NameOf(info.param));
                         });

} // namespace
} // namespace e2e
