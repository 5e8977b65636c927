// The requirements window as a person uses it: opened with taplore --requirements and from the
// dialog's menu, band-pass requirements typed with the keyboard alone, saved; the file is the
// very text taplore-design writes for the same requirements.
#include "e2e_files.h"
#include "x_session.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <regex>
#include <string>

namespace e2e {
namespace {

namespace fs = std::filesystem;

const std::string kTitle = "Taplore Requirements Designer";
// The band-pass preset at 48 kHz as the command line takes it, and the pass band's ripple in
// the preset and as typed.
const std::vector<std::string> kBandPass = {"--rate",  "48000",      "--stop", "0:3000",
                                            "--pass",  "6000:12000", "--stop", "15000:24000",
                                            "--atten", "60"};
const std::string kPresetRipple = "0.1";
const std::string kTypedRipple = "0.5";

// taplore-design's output for the band-pass with this ripple, with more options.
std::string CommandLine(const std::string& ripple, const std::vector<std::string>& more = {}) {
    std::vector<std::string> argv{TAPLORE_DESIGN_EXE, "--ripple", ripple};
    argv.insert(argv.end(), kBandPass.begin(), kBandPass.end());
    argv.insert(argv.end(), more.begin(), more.end());
    const CommandResult result = Run(argv);
    EXPECT_EQ(result.status, 0);
    return result.out;
}

// The tap count of the design the command line makes of the band-pass with this ripple.
std::string TapsOfCommandLine(const std::string& ripple) {
    std::smatch count;
    const std::string c = CommandLine(ripple, {"--format", "c", "--quiet"});
    EXPECT_TRUE(std::regex_search(c, count, std::regex(R"(fir_coefficients\[(\d+)\])")));
    return count[1];
}

// The pixels of the window's upper right quarter, where the magnitude plot lies.
std::string MagnitudePixels(const WindowId& window) {
    const Rect client = ClientRect(window);
    const std::string pixels = WindowPixels(window);
    const std::size_t row = static_cast<std::size_t>(client.width) * 3;
    std::string part;
    for (std::size_t y = 0; y < static_cast<std::size_t>(client.height) / 2; ++y)
        part += pixels.substr(y * row + row / 2, row / 2);
    return part;
}

class RequirementsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(SharedSession(), nullptr) << "no X session";
        m_dir = NewCaseFolder("taplore-requirements");
        m_files = m_dir / "files";
    }

    void TearDown() override {
        m_app.Stop();
        if (HasFailure())
            std::cerr << "program output:\n" << ReadBytes(m_dir / "taplore.log");
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    void Start(const std::vector<std::string>& argv) {
        m_app = Process(argv, ProgramOptions(m_dir, m_files));
    }

    // The requirements window once it shows a design of the current requirements with taps.
    ::testing::AssertionResult WaitForDesign(const std::string& taps) {
        // The dash is left to ".*": xdotool reads the title byte by byte.
        const std::string title = "^" + kTitle + ".* " + taps + " taps$";
        if (!WaitUntil([&] { return !VisibleWindows(m_app.Pid(), title).empty(); }, 60s)) {
            Screenshot(m_window, "requirements-failure.png");
            return ::testing::AssertionFailure()
                   << "no design of " << taps << " taps came; the window says \""
                   << WindowTitle(m_window) << '"';
        }
        m_window = VisibleWindows(m_app.Pid(), title).front();
        if (!WaitForIdle(m_window))
            return ::testing::AssertionFailure() << "the window did not catch up";
        return ::testing::AssertionSuccess();
    }

    // Types the band-pass requirements and waits for their design: the rate, the preset for it,
    // whose design is awaited (a button pressed by its letter lets go a moment later), then
    // the pass band's ripple.
    void DesignTypedBandPass() {
        Keys({"alt+r", "ctrl+a"});
        TypeText("48000");
        Keys({"alt+p"});
        ASSERT_TRUE(WaitForDesign(TapsOfCommandLine(kPresetRipple)));
        Keys({"alt+b", "Down", "Right", "Right", "Right", "F2", "ctrl+a"});
        TypeText(kTypedRipple);
        Keys({"Return"});
        ASSERT_TRUE(WaitForDesign(TapsOfCommandLine(kTypedRipple)));
    }

    // Saves through the file dialog that Alt+S opens; returns the file's bytes.
    std::string Save(const std::string& name) {
        Keys({"alt+s"});
        EXPECT_TRUE(WaitUntil([&] { return !VisibleWindows(m_app.Pid(), "^Save$").empty(); }, 30s))
            << "no Save dialog";
        EXPECT_TRUE(WaitForKeyboard(VisibleWindows(m_app.Pid(), "^Save$").front()));
        const fs::path path = m_files / name;
        Keys({"ctrl+a"});
        TypeText(path.string());
        Keys({"Return"});
        EXPECT_TRUE(WaitForCompleteFile(path, 30s)) << path << " was not written";
        EXPECT_TRUE(WaitForKeyboard(m_window)) << "the window did not get the focus back";
        return ReadBytes(path);
    }

    // Types the band-pass's ripple anew into its cell, from the table's first, and waits for
    // its design.
    void TypeRipple(const std::string& ripple) {
        Keys({"alt+b", "ctrl+Home", "Down", "Right", "Right", "Right", "F2", "ctrl+a"});
        TypeText(ripple);
        Keys({"Return"});
        ASSERT_TRUE(WaitForDesign(TapsOfCommandLine(ripple)));
    }

    // The program's window whose title matches, once it is there and has the keyboard.
    std::optional<WindowId> WaitForTitle(const std::string& title) {
        if (!WaitUntil([&] { return !VisibleWindows(m_app.Pid(), title).empty(); }, 60s))
            return std::nullopt;
        const WindowId window = VisibleWindows(m_app.Pid(), title).front();
        if (!WaitForKeyboard(window))
            return std::nullopt;
        return window;
    }

    fs::path StateFolder() const { return m_dir / "home" / ".local" / "state" / "Taplore"; }

    fs::path m_dir;
    fs::path m_files;
    Process m_app;
    WindowId m_window;
};

TEST_F(RequirementsWindow, TypedRequirementsSaveWhatTheCommandLineWrites) {
    Start({TAPLORE_EXE, "--requirements"});
    const auto window = WaitForProgramWindow(m_app, "^" + kTitle);
    ASSERT_TRUE(window) << "no requirements window came up with the keyboard";
    m_window = *window;
    ASSERT_NO_FATAL_FAILURE(DesignTypedBandPass());
    EXPECT_EQ(Save("bandpass.txt"), CommandLine(kTypedRipple));
    Screenshot(m_window, "requirements-met.png");

    // The box is ticked a moment after its letter: the magnitude plot's repaint is awaited.
    const std::string unzoomed = MagnitudePixels(m_window);
    Keys({"alt+z"});
    ASSERT_TRUE(WaitUntil([&] { return MagnitudePixels(m_window) != unzoomed; }, 30s));
    ASSERT_TRUE(WaitForIdle(m_window));
    Screenshot(m_window, "requirements-zoomed.png");

    // Too few taps: the bands miss, in red.
    Keys({"alt+z", "alt+x"});
    ASSERT_TRUE(WaitForDesign("51")) << "the fixed length starts at 51 taps";
    Keys({"Tab", "ctrl+a"});
    TypeText("25");
    ASSERT_TRUE(WaitForDesign("25"));
    Screenshot(m_window, "requirements-missed.png");
}

// F1 opens the manual beside the window, covering none of it, and inside the screen: the
// window's first size leaves it the room.
TEST_F(RequirementsWindow, F1OpensTheManualBesideIt) {
    Start({TAPLORE_EXE, "--requirements"});
    const auto window = WaitForProgramWindow(m_app, "^" + kTitle);
    ASSERT_TRUE(window) << "no requirements window came up with the keyboard";
    m_window = *window;
    ASSERT_TRUE(WaitForDesign("46")) << "the low-pass it starts with";
    Keys({"F1"});
    ASSERT_TRUE(
        WaitUntil([&] { return !VisibleWindows(m_app.Pid(), "^Taplore Help$").empty(); }, 30s));
    const WindowId help = VisibleWindows(m_app.Pid(), "^Taplore Help$").front();
    ASSERT_TRUE(WaitForKeyboard(help));
    const Rect owner = ClientRect(m_window), manual = ClientRect(help), screen = ScreenRect();
    EXPECT_TRUE(manual.x >= owner.x + owner.width || manual.x + manual.width <= owner.x)
        << "the manual at x " << manual.x << " covers the window from x " << owner.x << " to "
        << owner.x + owner.width;
    EXPECT_LE(manual.y + manual.height, screen.height) << "the manual runs past the bottom";
    EXPECT_LE(owner.y + owner.height, screen.height) << "the window runs past the bottom";
}

TEST_F(RequirementsWindow, OpensFromTheDialogsMenuBesideIt) {
    Start({TAPLORE_EXE});
    const auto dialog = WaitForProgramWindow(m_app, "^FIR Filter Design$");
    ASSERT_TRUE(dialog) << "no dialog came up";
    // The system menu from a button of the dialog, and its entry's letter.
    Keys({"Tab", "Tab", "Tab", "Tab", "shift+F10"});
    ASSERT_TRUE(WaitForNewWindow(m_app.Pid(), {*dialog}));
    Keys({"d"});
    const auto window = WaitForProgramWindow(m_app, "^" + kTitle);
    ASSERT_TRUE(window) << "no requirements window came up from the menu";
    m_window = *window;
    ASSERT_NO_FATAL_FAILURE(DesignTypedBandPass());
    EXPECT_EQ(Save("from-menu.txt"), CommandLine(kTypedRipple));
    EXPECT_FALSE(VisibleWindows(m_app.Pid(), "^FIR Filter Design$").empty())
        << "the dialog is gone";
}

// A design typed and saved as a document, then changed; the program killed once the recovery
// copy of the change is written, and started again: it offers the copy, and the document
// recovered and saved is the design that was on the screen. The file named on the command
// line then opens.
TEST_F(RequirementsWindow, AKilledSessionsChangesAreRecovered) {
    Start({TAPLORE_EXE, "--requirements"});
    const auto window = WaitForProgramWindow(m_app, "^" + kTitle);
    ASSERT_TRUE(window) << "no requirements window came up with the keyboard";
    m_window = *window;
    ASSERT_NO_FATAL_FAILURE(DesignTypedBandPass());

    // Ctrl+S asks for the file of a new document.
    const fs::path document = m_files / "bandpass.taplore";
    Keys({"ctrl+s"});
    const auto saveAs = WaitForTitle("^Save Design As$");
    ASSERT_TRUE(saveAs) << "no Save Design As dialog";
    Keys({"ctrl+a"});
    TypeText(document.string());
    Keys({"Return"});
    ASSERT_TRUE(WaitForCompleteFile(document, 30s)) << document << " was not written";
    ASSERT_TRUE(WaitForTitle("^" + kTitle + ".*bandpass\\.taplore .* taps$"))
        << "saved, the title names the document without the modified mark: \""
        << WindowTitle(m_window) << '"';
    EXPECT_EQ(e2e::Run({TAPLORE_DESIGN_EXE, "--design", document.string(), "--quiet"}).out,
              CommandLine(kTypedRipple))
        << "the document designs what the window showed";

    // A later change, its recovery copy awaited: the file, not a time.
    const std::string changed = "0.25";
    ASSERT_NO_FATAL_FAILURE(TypeRipple(changed));
    const std::string taps = TapsOfCommandLine(changed);
    ASSERT_FALSE(VisibleWindows(m_app.Pid(), "^" + kTitle + ".*bandpass\\.taplore\\*").empty())
        << "no modified mark: \"" << WindowTitle(m_window) << '"';
    Screenshot(m_window, "requirements-document-modified.png");
    const fs::path copy =
        StateFolder() / ("recovery-" + std::to_string(m_app.Pid()) + "-1.taplore");
    std::string copied;
    ASSERT_TRUE(WaitUntil(
        [&] {
            copied = fs::exists(copy) ? ReadBytes(copy) : std::string();
            return copied.find("\"tolerance_db\": " + changed) != std::string::npos &&
                   copied.find("\"taps\": " + taps + ",") != std::string::npos;
        },
        60s, 200ms))
        << "no recovery copy of the change at " << copy;
    ASSERT_EQ(::kill(m_app.Pid(), SIGKILL), 0);
    ASSERT_TRUE(m_app.WaitForExit(10s));

    // Started again, the copy is offered; Enter takes it.
    Start({TAPLORE_EXE, "--requirements"});
    const auto offer = WaitForTitle("^Recover Design$");
    ASSERT_TRUE(offer) << "the recovery copy was not offered";
    Screenshot(*offer, "requirements-recovery-offer.png");
    ScreenshotOfArea(ScreenRect(), "requirements-recovery-screen.png");
    Keys({"Return"});
    const auto recovered =
        WaitForTitle("^" + kTitle + ".*bandpass\\.taplore\\*.* " + taps + " taps$");
    ASSERT_TRUE(recovered) << "the recovered design did not come up";
    m_window = *recovered;
    ASSERT_TRUE(WaitForIdle(m_window));
    Keys({"ctrl+s"});
    ASSERT_TRUE(WaitUntil([&] { return ReadBytes(document) == copied; }, 30s))
        << "the recovered document saved is not the copy of what was on the screen";
    EXPECT_EQ(e2e::Run({TAPLORE_DESIGN_EXE, "--design", document.string(), "--quiet"}).out,
              CommandLine(changed));
    ASSERT_TRUE(WaitForTitle("^" + kTitle + ".*bandpass\\.taplore .* " + taps + " taps$"));

    // Closed normally, nothing is left to recover.
    Keys({"alt+F4"});
    ASSERT_TRUE(m_app.WaitForExit(30s)) << "saved, the window closes without a question";
    EXPECT_TRUE(fs::is_empty(StateFolder())) << "a recovery copy was left";

    // taplore FILE.taplore opens the document.
    Start({TAPLORE_EXE, document.string()});
    const auto opened = WaitForProgramWindow(m_app, "^" + kTitle + ".*bandpass\\.taplore ");
    ASSERT_TRUE(opened) << "taplore FILE.taplore did not open the document";
    m_window = *opened;
    ASSERT_TRUE(WaitForDesign(taps));
}

} // namespace
} // namespace e2e
