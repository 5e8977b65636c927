// What the design dialog does between its controls and its outputs, for both front-ends:
// what each input gives, and which message follows which failure.
#include "core/dialog/about.h"
#include "core/dialog/design_dialog.h"
#include "core/dialog/dialog_messages.h"
#include "core/dialog/spectrum_plot.h"
#include "core/io/file_output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace {

using taplore::DesignDialog;
using taplore::MessageIcon;
using taplore::PlotLine;
using taplore::PlotPoint;
using taplore::SpectrumPlot;

// A window's progress box: records the texts it was asked to show and runs the work to its
// end, or stops it at the first step when cancelled.
struct ProgressBox {
    std::vector<std::string> shown;
    bool cancel = false;

    taplore::LongWork Run() {
        return [this](const char* text, const std::function<void(const Progress&)>& work) {
            shown.emplace_back(text);
            work([this](double) { return !cancel; });
        };
    }
};

TEST(DesignDialog, LabelsShowTheSlidersShareOfHalfTheRate) {
    struct Case {
        const char* rateText;
        int position;
        const char* label;
    };
    const Case cases[] = {
        {"8000", 100, "   400.0"},  {"8000", 250, "  1000.0"}, {"8000", 1000, "  4000.0"},
        {"16000", 600, "  4800.0"}, {"7", 100, "     0.3"},    {"8000", 0, "     0.0"},
        {"", 600, "     0.0"},      {"abc", 600, "     0.0"},  {" 44100x", 1000, " 22050.0"},
        {"1e400", 600, "     inf"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(
            taplore::CutoffLabel(c.position, taplore::kSliderMax, taplore::SampleRate(c.rateText)),
            c.label)
            << c.rateText << " at " << c.position;
}

TEST(DesignDialog, CalculateReadsTheTextsUncheckedByTheRuntimeRules) {
    struct Case {
        const char* order;
        const char* rate;
        const char* low;
        const char* high;
        DesignRequest expected;
    };
    const Case cases[] = {
        {"511", "8000", "400", "2400", {511, 8000, 400, 2400}},
        {" \t 12 x", "16000", "   800.0", "  4800.0", {12, 16000, 800, 4800}},
        {"+7", "1d3", "     0.0", " 500.", {7, 1000, 0, 500}},
        {"abc", "", "", "x", {0, 0, 0, 0}},
        {"4294967297", "8000", "-1", "2e3", {1, 8000, -1, 2000}},
    };
    for (const Case& c : cases) {
        const DesignRequest got = taplore::ReadRequest(c.order, c.rate, c.low, c.high);
        EXPECT_EQ(got.order, c.expected.order) << c.order;
        EXPECT_EQ(got.rate, c.expected.rate) << c.rate;
        EXPECT_EQ(got.lowHz, c.expected.lowHz) << c.low;
        EXPECT_EQ(got.highHz, c.expected.highHz) << c.high;
    }
}

TEST(DesignDialog, DesignsFillTheBufferOrLeaveItEmpty) {
    struct Case {
        DesignRequest request;
        DesignDialog::Designed designed;
        int taps;
        const char* centre; // the list's row at the centre tap
    };
    const Case cases[] = {
        {{511, 8000, 400, 2400}, DesignDialog::Designed::taps, 511, "0.500000"},
        {{510, 16000, 800, 4800}, DesignDialog::Designed::taps, 511, "0.500000"},
        {{0, 8000, 400, 2400}, DesignDialog::Designed::taps, 1, "nan"},
        {{101, 8000, 0, 4000}, DesignDialog::Designed::taps, 101, "0.000000"}, // no band
        {{-12, 8000, 400, 2400}, DesignDialog::Designed::failed, 0, nullptr},
    };
    for (const Case& c : cases) {
        DesignDialog dialog;
        ProgressBox box;
        EXPECT_EQ(dialog.Design(c.request, box.Run()), c.designed) << c.request.order;
        EXPECT_TRUE(box.shown.empty()) << "short work needs no progress box";
        ASSERT_EQ(dialog.TapCount(), c.taps) << c.request.order;
        EXPECT_EQ(dialog.Request().order, c.request.order);
        if (c.centre)
            EXPECT_EQ(taplore::ListItemText(dialog.Taps()[c.taps / 2]), c.centre);
        else
            EXPECT_EQ(dialog.Taps(), nullptr);
    }
}

TEST(DesignDialog, LongWorkRunsBehindTheProgressBoxAndStopsWhenCancelled) {
    DesignDialog dialog;
    dialog.SetProgressTapsForTesting(101, 101);
    ProgressBox box;
    ASSERT_EQ(dialog.Design({99, 8000, 400, 2400}, box.Run()), DesignDialog::Designed::taps);
    EXPECT_TRUE(box.shown.empty());
    ASSERT_EQ(dialog.Design({100, 8000, 400, 2400}, box.Run()), DesignDialog::Designed::taps);
    EXPECT_EQ(dialog.TapCount(), 101);
    EXPECT_EQ(box.shown, std::vector<std::string>{"Calculating FIR coefficients…"});

    box.cancel = true;
    EXPECT_EQ(dialog.Design({200'001, 8000, 400, 2400}, box.Run()),
              DesignDialog::Designed::stopped);
    EXPECT_EQ(dialog.TapCount(), 0) << "nothing left to save";
}

class DesignDialogSave : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("taplore-dialog-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    static std::string Read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path m_dir;
};

TEST_F(DesignDialogSave, WritesTheListedTextOrKeepsTheOldFileWhenCancelled) {
    DesignDialog dialog;
    ProgressBox box;
    const std::filesystem::path path = m_dir / "coef.txt";
    ASSERT_TRUE(dialog.Save(path.string(), box.Run()));
    EXPECT_EQ(Read(path), "") << "before any design";

    ASSERT_EQ(dialog.Design({3, 8000, 0, 2000}, box.Run()), DesignDialog::Designed::taps);
    ASSERT_TRUE(dialog.Save(path.string(), box.Run()));
    std::string expected;
    for (int k = 0; k < 3; ++k)
        expected += taplore::ListItemText(dialog.Taps()[k]) + "\r\n";
    EXPECT_EQ(Read(path), expected);
    EXPECT_TRUE(box.shown.empty());

    // A long save, cancelled: the old file stays as it was, and no failure is reported.
    dialog.SetProgressTapsForTesting(3, 3);
    ASSERT_EQ(dialog.Design({5, 8000, 0, 2000}, box.Run()), DesignDialog::Designed::taps);
    box.cancel = true;
    EXPECT_FALSE(dialog.Save(path.string(), box.Run()));
    EXPECT_EQ(Read(path), expected);
    EXPECT_EQ(box.shown.back(), "Saving coefficients…");
    box.cancel = false;
    EXPECT_THROW(dialog.Save((path / "below-a-file.txt").string(), box.Run()), CFileException);
}

TEST(DialogMessages, EachFailureHasItsBox) {
    CFileException denied(CFileException::accessDenied, "C:\\coef.txt");
    struct Case {
        taplore::DialogMessage message;
        MessageIcon icon;
        const char* caption;
        const char* text;
    };
    const Case cases[] = {
        {taplore::DesignFailedMessage(), MessageIcon::stop, "Error",
         "Calculating FIR coefficients failed!"},
        {taplore::MagnitudeFailedMessage(), MessageIcon::stop, "Error",
         "Calculating magnitude failed!"},
        {taplore::OutOfMemoryMessage("taplore"), MessageIcon::exclamation, "taplore",
         "Out of memory."},
        {taplore::FileFailedMessage("taplore", denied), MessageIcon::stop, "taplore",
         "Access to C:\\coef.txt was denied."},
        {taplore::HelpFailedMessage("Taplore"), MessageIcon::exclamation, "Taplore",
         "Failed to launch help."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.message.icon, c.icon) << c.text;
        EXPECT_EQ(c.message.caption, c.caption) << c.text;
        EXPECT_EQ(c.message.text, c.text);
    }
}

TEST(DialogMessages, TheProgramsNameIsTheExecutablesWithoutFolderAndExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/taplore", "taplore"},
        {"C:\\Program Files\\Taplore\\taplore.exe", "taplore"},
        {"Z:/build/windows/Taplore.EXE", "Taplore"},
        {"D:\\tools.v2\\my.taplore.exe", "my.taplore"},
        {"taplore", "taplore"},
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(taplore::ApplicationName(path), name) << path;
}

TEST(About, SystemCommandsDifferingInTheLowFourBitsOpenTheBox) {
    for (const unsigned id : {0x10u, 0x11u, 0x1Fu})
        EXPECT_TRUE(taplore::IsAboutCommand(id)) << id;
    for (const unsigned id : {0x0u, 0x20u, 0xF060u, 0xF010u})
        EXPECT_FALSE(taplore::IsAboutCommand(id)) << id;
    EXPECT_EQ(taplore::HelpSection(taplore::kAboutDialogId), "The About box");
    EXPECT_EQ(taplore::HelpSection(taplore::kDesignDialogId), "The design dialog");
}

TEST(SpectrumPlot, GridStepsAreATenthOfTheSizeAndVanishBelowTenPixels) {
    const std::vector<PlotLine> lines = SpectrumPlot::GridLines(270, 120);
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[0], (PlotLine{{0, 0}, {0, 120}}));
    EXPECT_EQ(lines[9], (PlotLine{{243, 0}, {243, 120}}));
    EXPECT_EQ(lines[10], (PlotLine{{0, 0}, {270, 0}}));
    EXPECT_EQ(lines[19], (PlotLine{{0, 108}, {270, 108}}));
    // 105 / 10 = 10: an eleventh line at 100, near the edge.
    EXPECT_EQ(SpectrumPlot::GridLines(105, 50).size(), 11u + 10u);
    EXPECT_EQ(SpectrumPlot::GridLines(9, 120).size(), 10u);
    EXPECT_TRUE(SpectrumPlot::GridLines(9, 9).empty());
}

TEST(SpectrumPlot, CurvePutsZeroDbTenPixelsDownAndTenDbAGridStepLower) {
    SpectrumPlot plot;
    EXPECT_EQ(plot.Curve(270, 120), (std::vector<PlotPoint>{{0, 12}}));
    EXPECT_EQ(plot.BinText(100, 270), "");

    struct Case {
        double tap; // one tap: the same level in every bin
        int y;      // in a window 120 pixels high (ystep 12)
    };
    // 0.5 is -6.02 dB and 1/32 -30.1 dB; zero power is -inf dB.
    const Case cases[] = {{1.0, 10},
                          {0.5, 17},
                          {1.0 / 32, 46},
                          {0.0, 0},
                          {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const Case& c : cases) {
        ASSERT_EQ(plot.ComputeSpectrum(&c.tap, 1, 8000), 512);
        const std::vector<PlotPoint> curve = plot.Curve(270, 120);
        ASSERT_EQ(curve.size(), 512u);
        EXPECT_EQ(curve.front(), (PlotPoint{0, 12}));
        EXPECT_EQ(curve[1], (PlotPoint{0, c.y})) << c.tap;
        EXPECT_EQ(curve[256], (PlotPoint{135, c.y})) << c.tap;
        EXPECT_EQ(curve.back(), (PlotPoint{269, c.y})) << "one bin short of the edge";
    }
    const double impulse = 1.0;
    ASSERT_EQ(plot.ComputeSpectrum(&impulse, 1, 8000), 512);
    EXPECT_EQ(plot.BinText(135, 270), "2000.0 Hz  0.0 dB");
    EXPECT_EQ(plot.BinText(0, 270), "7.8 Hz  0.0 dB") << "bin 0 is never named";

    // A failed computation keeps what was shown.
    const std::vector<double> tooMany(1025, 1.0);
    EXPECT_EQ(plot.ComputeSpectrum(tooMany.data(), 1025, 8000), -1);
    EXPECT_EQ(plot.Curve(270, 120)[256], (PlotPoint{135, 10}));
}

} // namespace
