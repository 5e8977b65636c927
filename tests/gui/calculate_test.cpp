// Calculate: the design listed as "%f" texts and plotted, or one of the two error boxes.
#include "core/design/fir_design.h"
#include "core/io/memory.h"
#include "gui/spectrum_wnd.h"
#include "gui/value_list.h"
#include "gui_helpers.h"

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

namespace {

constexpr const char* kDesignFailed = "Calculating FIR coefficients failed!";
constexpr const char* kMagnitudeFailed = "Calculating magnitude failed!";

std::vector<double> Parse(const QStringList& items) {
    std::vector<double> taps;
    for (const QString& item : items) {
        bool ok = false;
        taps.push_back(item.toDouble(&ok));
        EXPECT_TRUE(ok) << item.toStdString();
    }
    return taps;
}

// |H| at normalised frequency f (1 = half the sampling rate), by a direct sum.
double Gain(const std::vector<double>& taps, double f) {
    std::complex<double> sum;
    for (std::size_t k = 0; k < taps.size(); ++k)
        sum += taps[k] * std::polar(1.0, -std::numbers::pi * f * static_cast<double>(k));
    return std::abs(sum);
}

double Sum(const std::vector<double>& taps, bool alternating = false) {
    double sum = 0;
    for (std::size_t k = 0; k < taps.size(); ++k)
        sum += (alternating && k % 2 == 1) ? -taps[k] : taps[k];
    return sum;
}

// Pretends the machine has little free memory while it lives.
class LowMemory {
public:
    explicit LowMemory(std::uint64_t bytes) { mem::SetFreeBytesForTesting(bytes); }
    ~LowMemory() { mem::SetFreeBytesForTesting(std::nullopt); }
};

// Runs Calculate and returns the message boxes it showed.
std::vector<SeenWindow> Calculate(ShownDesignDialog& shown) {
    ModalWatcher watcher;
    shown.Click(kCalculate);
    return watcher.Messages();
}

// Exactly one box: the stop icon, caption "Error" and the text.
void ExpectOneErrorBox(const std::vector<SeenWindow>& messages, const char* text) {
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, text);
    EXPECT_EQ(messages[0].title, "Error");
    EXPECT_EQ(messages[0].icon, QMessageBox::Critical);
}

TEST(Calculate, StartValuesGiveBandPassListedAndPlotted) {
    ShownDesignDialog shown;
    ASSERT_TRUE(Calculate(shown).empty());
    const QStringList items = shown.ListItems();
    ASSERT_EQ(items.size(), 511);
    // f1 = 0.1, f2 = 0.6: the centre tap is the band width f2 - f1 with a window of 1 there.
    EXPECT_EQ(items[255], "0.500000");
    for (int k = 0; k < 255; k += 17)
        EXPECT_EQ(items[k], items[510 - k]) << "linear phase: symmetric taps";
    const std::vector<double> taps = Parse(items);
    EXPECT_NEAR(Gain(taps, 0.35), 1.0, 0.01) << "passband centre";
    EXPECT_NEAR(Gain(taps, 0.2), 1.0, 0.01);
    EXPECT_LT(Gain(taps, 0.0), 0.01) << "stopband below 0.1";
    EXPECT_LT(Gain(taps, 0.8), 0.01) << "stopband above 0.6";

    // The plot: near 0 dB (y = 10) across the passband, at least 40 dB down in the stopbands.
    const QImage image = shown.RenderSpectrum();
    const int width = image.width();
    const int ystep = image.height() / 10;
    const auto redRows = [&image](int x) {
        std::vector<int> rows;
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) == qRgb(255, 0, 0))
                rows.push_back(y);
        return rows;
    };
    for (const double f : {0.2, 0.35, 0.5}) {
        const std::vector<int> rows = redRows(static_cast<int>(f * width));
        ASSERT_FALSE(rows.empty()) << f;
        EXPECT_GE(rows.front(), 8) << f;
        EXPECT_LE(rows.back(), 11) << f;
    }
    for (const double f : {0.02, 0.8, 0.95})
        for (const int y : redRows(static_cast<int>(f * width)))
            EXPECT_GT(y, 10 + 4 * ystep) << f;
}

TEST(Calculate, SliderPositionsChooseTheBandType) {
    ShownDesignDialog shown;
    QSlider* low = shown.Slider(kSliderLow);
    QSlider* high = shown.Slider(kSliderHigh);
    const auto design = [&](int lowPos, int highPos) {
        low->setSliderPosition(lowPos);
        high->setSliderPosition(highPos);
        EXPECT_TRUE(Calculate(shown).empty());
        return Parse(shown.ListItems());
    };

    // Low slider at 0: a low-pass at 0.6 scaled to unit gain at DC.
    std::vector<double> taps = design(0, 600);
    ASSERT_EQ(taps.size(), 511u);
    EXPECT_NEAR(Sum(taps), 1.0, 1e-3);
    EXPECT_NEAR(Gain(taps, 0.4), 1.0, 0.01);
    EXPECT_LT(Gain(taps, 0.8), 0.01);

    // High slider at its maximum: a high-pass at 0.2; for 511 taps (odd centre index) the
    // alternating sum is close to -1, its magnitude the unit gain at Nyquist.
    taps = design(200, 1000);
    EXPECT_NEAR(Sum(taps, true), -1.0, 1e-3);
    EXPECT_NEAR(Gain(taps, 1.0), 1.0, 1e-3);
    EXPECT_LT(Gain(taps, 0.05), 0.01);

    // Low above high: a band-stop between 0.3 and 0.7 with unit gain at DC.
    taps = design(700, 300);
    EXPECT_NEAR(Sum(taps), 1.0, 1e-3);
    EXPECT_NEAR(Gain(taps, 0.95), 1.0, 0.01);
    EXPECT_LT(Gain(taps, 0.5), 0.01);

    // Both sliders at their ends match no band type: the taps are never written.
    const QStringList zeros(511, "0.000000");
    design(0, 1000);
    EXPECT_EQ(shown.ListItems(), zeros);
}

TEST(Calculate, RateEditedAfterSlidersIsUsedThroughRefreshedLabels) {
    ShownDesignDialog shown;
    shown.Slider(kSliderLow)->setSliderPosition(250); // 1000 Hz at 8000 Hz
    shown.Edit(kRate)->setText("16000");
    QTest::qWait(0);
    ASSERT_TRUE(Calculate(shown).empty());
    // f1 = 0.25 and f2 = 0.6 as the sliders say, not 1000 / 8000 Hz: centre tap 0.35.
    EXPECT_EQ(shown.ListItems().value(255), "0.350000");
}

TEST(Calculate, FailuresReportAndKeepWhatWasShown) {
    ShownDesignDialog shown;
    ASSERT_TRUE(Calculate(shown).empty());
    const QStringList listed = shown.ListItems();
    const QImage plotted = shown.RenderSpectrum();

    // 1501 taps: listed, then the 1024-point spectrum refuses them; the old curve stays.
    shown.Edit(kOrder)->setText("1500");
    ExpectOneErrorBox(Calculate(shown), kMagnitudeFailed);
    EXPECT_EQ(shown.ListItems().size(), 1501);
    EXPECT_EQ(shown.RenderSpectrum(), plotted);

    // A negative tap count and an array beyond the free memory fail in the designer: the
    // list keeps its 1501 items.
    {
        LowMemory low(64u << 20);
        for (const char* order : {"-4", "9000001"}) {
            SCOPED_TRACE(order);
            shown.Edit(kOrder)->setText(order);
            ExpectOneErrorBox(Calculate(shown), kDesignFailed);
            EXPECT_EQ(shown.ListItems().size(), 1501);
            EXPECT_EQ(shown.RenderSpectrum(), plotted);
        }
    }
    shown.Edit(kOrder)->setText("511");
    ASSERT_TRUE(Calculate(shown).empty());
    EXPECT_EQ(shown.ListItems(), listed) << "a failure leaves nothing behind";
}

// The list still shows the last design, but there are no taps left to copy.
TEST(Calculate, FailedDesignDisablesEveryCopyEntry) {
    ShownDesignDialog shown;
    ASSERT_TRUE(Calculate(shown).empty());
    const QList<QAction*> entries = shown.dlg.findChild<ValueList*>()->actions();
    ASSERT_EQ(entries.size(), 7);
    for (const QAction* entry : entries)
        EXPECT_TRUE(entry->isEnabled()) << entry->text().toStdString();
    shown.Edit(kOrder)->setText("-4");
    ExpectOneErrorBox(Calculate(shown), kDesignFailed);
    for (const QAction* entry : entries)
        EXPECT_FALSE(entry->isEnabled()) << entry->text().toStdString();
}

TEST(Calculate, PastedTextsNeverCrash) {
    // Pasted text reaches the edits unfiltered. Every outcome is a listed design or one of the
    // two messages; where the count is known it is checked (-1: either outcome).
    struct Case {
        const char* order;
        const char* rate;
        int count;
    };
    const QString digits400(400, '7');
    const std::string digits = digits400.toStdString();
    const Case cases[] = {
        {"abc", "8000", 1},          {"1e5", "8000", 1},   {"-0", "-0", 1},
        {" \t 12 x", "1e5", 13},     {"511", "abc", 511},  {"511", " \t\n ", 511},
        {"+7", "8e3x", 7},           {"511", "1e999", -1}, {digits.c_str(), "8000", -1},
        {"511", digits.c_str(), -1},
    };
    LowMemory low(64u << 20);
    ShownDesignDialog shown;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.order << "\", \"" << c.rate << '"');
        shown.Paste(kOrder, c.order);
        shown.Paste(kRate, c.rate);
        ASSERT_EQ(shown.Edit(kOrder)->text(), c.order);
        const std::vector<SeenWindow> messages = Calculate(shown);
        if (c.count >= 0) {
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(shown.ListItems().size(), c.count);
        } else if (messages.empty()) {
            EXPECT_GT(shown.ListItems().size(), 0);
        } else {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_TRUE(messages[0].text == kDesignFailed || messages[0].text == kMagnitudeFailed)
                << messages[0].text.toStdString();
        }
    }
}

} // namespace

namespace {

// The tooltip the spectrum window shows with the pointer at x.
QString TooltipAt(CSpectrumWnd* spectrum, int x) {
    const QPoint pos(x, spectrum->height() / 2);
    QHelpEvent event(QEvent::ToolTip, pos, spectrum->mapToGlobal(pos));
    QApplication::sendEvent(spectrum, &event);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

TEST(Calculate, TooltipReadsFrequencyAndLevelOfTheBinUnderThePointer) {
    ShownDesignDialog shown;
    auto* spectrum = shown.dlg.findChild<CSpectrumWnd*>();
    EXPECT_EQ(TooltipAt(spectrum, 100), "") << "nothing before the first spectrum";
    ASSERT_TRUE(Calculate(shown).empty());

    // Bin 51 of the start-up band-pass (398.4 Hz at 8000 Hz) sits on its lower band edge.
    const int x = 51 * spectrum->width() / 512;
    const QStringList parts = TooltipAt(spectrum, x).split("  ");
    ASSERT_EQ(parts.size(), 2) << parts.join("  ").toStdString();
    EXPECT_EQ(parts[0], "398.4 Hz");
    ASSERT_TRUE(parts[1].endsWith(" dB"));
    std::shared_ptr<double[]> coef;
    int count = 0;
    DesignFilter(coef, count, 511, 0.1, 0.6);
    const double level = 20 * std::log10(Gain({coef.get(), coef.get() + count}, 51 / 512.0));
    EXPECT_NEAR(parts[1].chopped(3).toDouble(), level, 0.1);

    // The plot starts at bin 1: its left edge is 8000 / 1024 Hz.
    EXPECT_TRUE(TooltipAt(spectrum, 0).startsWith("7.8 Hz  "))
        << TooltipAt(spectrum, 0).toStdString();
}

} // namespace
