#include "core/formats/requirements_report.h"

#include "core/design/requirements_design.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace taplore;

RequirementsReport ExampleReport() {
    RequirementsReport report;
    report.requirements.rate = 8000;
    report.requirements.bands = {{0, 1000, 1, 1}, {1500, 4000, 0, 1}};
    report.requirements.rippleDb = 0.1;
    report.requirements.attenuationDb = 60;
    report.taps = 46;
    report.deviations = {0.004892950, 0.000849902};
    report.shorter = {{45, {}}};
    return report;
}

TEST(RequirementsReport, SaysWhatWasReachedAgainstWhatWasAsked) {
    const std::vector<std::string> want = {
        "equiripple, 46 taps: meets the requirements; 45 taps miss",
        "pass 0 to 1000 Hz: ripple 0.085 dB (0.1 dB asked)",
        "stop 1500 to 4000 Hz: attenuation 61.41 dB (60 dB asked)",
    };
    EXPECT_EQ(FormatReport(ExampleReport()), want);
}

TEST(RequirementsReport, MarksTheBandsThatMiss) {
    RequirementsReport report = ExampleReport();
    report.deviations[1] = 0.00107;
    report.shorter.clear();
    report.warning = "a doubt";
    const std::vector<std::string> lines = FormatReport(report);
    EXPECT_EQ(lines.front(), "equiripple, 46 taps: misses the requirements");
    EXPECT_EQ(lines[2], "stop 1500 to 4000 Hz: attenuation 59.41 dB (60 dB asked), missed");
    EXPECT_EQ(lines.back(), "warning: a doubt");
}

TEST(RequirementsReport, BandsWithGainsReportTheirDeviations) {
    RequirementsReport report;
    report.tolerances = false;
    report.requirements.rate = 2;
    report.requirements.kind = ResponseKind::hilbert;
    report.requirements.bands = {{0.05, 0.95, 1, 2}};
    report.taps = 31;
    report.deviations = {0.0212847591};
    report.weightedDeviation = 0.0425695182;
    report.iterations = 7;
    const std::vector<std::string> want = {
        "Hilbert transformer, equiripple, 31 taps: weighted deviation 0.0425695 after 7 "
        "exchanges",
        "band 0.05 to 0.95 Hz, gain 1, weight 2: deviation 0.0212848",
    };
    EXPECT_EQ(FormatReport(report), want);
}

} // namespace

namespace {

TEST(RequirementsReport, TheLargestShortfallIsTheWorstBandsMissInDb) {
    const RequirementsReport report = ExampleReport();
    const Requirements& r = report.requirements;
    // Ripple 0.085 dB of 0.1 and 61.41 dB of 60 kept by 0.015 and 1.41 dB; 59.41 dB misses by 0.59.
    EXPECT_NEAR(LargestShortfallDb(r, report.deviations), -0.015, 0.001);
    EXPECT_NEAR(LargestShortfallDb(r, {0.004892950, 0.00107}), 0.59, 0.005);
}

} // namespace

namespace {

// A deep design measured as each output holds it: the text's six decimals and a 16-bit export
// lose the stop band that the double taps keep, and say so; the full text reads back exactly.
TEST(RequirementsReport, EachOutputIsMeasuredAsItHoldsTheTaps) {
    Requirements r;
    r.rate = 48000;
    r.bands = {{0, 1000, 1, 1}, {1500, 24000, 0, 1}};
    r.rippleDb = 0.1;
    r.attenuationDb = 96;
    const RequirementsDesign design = DesignToTolerances(r, DefaultMethod(), 0);
    ASSERT_TRUE(Meets(design.report));
    const std::span<const double> taps(design.taps);
    const struct {
        const char* format;
        bool misses;
    } outputs[] = {{"text", true}, {"coe", true}, {"full", false}, {"c", false}};
    for (const auto& output : outputs) {
        const ExportFormat& format = *FindExportFormat(output.format);
        std::optional<FixedPointTaps> quantised;
        if (const auto width = ExportQFormat(format, QFormat::q15))
            quantised = Quantise(design.taps.data(), static_cast<int>(taps.size()), *width);
        const WrittenReport written =
            ReportAsWritten(design.report, format, taps, quantised ? &*quantised : nullptr);
        EXPECT_EQ(!written.shortfall.empty(), output.misses) << output.format;
        EXPECT_EQ(written.description.title.find("misses") != std::string::npos, output.misses)
            << output.format << ": " << written.description.title;
        if (output.misses) {
            EXPECT_NE(written.shortfall.find(" dB as written, 96."), std::string::npos)
                << written.shortfall;
        }
    }
}

} // namespace
