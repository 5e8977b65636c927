#pragma once
// What the design dialog does between its controls and its outputs, with no window of its
// own: the cutoff labels, what Calculate reads and designs, the list's rows and the saved
// text. The Qt and the Win32 dialog both call it, so that they behave alike to the byte.

#include "core/design/fir_design.h"
#include "core/progress.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace taplore {

// The start values and the sliders' fixed range, built into the program.
constexpr int kStartOrder = 511;
constexpr int kStartSampleRate = 8000;
constexpr int kSliderMax = 1000;
constexpr int kSliderPageStep = kSliderMax / 5;
constexpr int kStartLowPosition = 100;
constexpr int kStartHighPosition = 600;
// The labels' texts until a slider moves or the rate is edited.
inline constexpr const char* kStartLowLabel = "400";
inline constexpr const char* kStartHighLabel = "2400";

// What the Save As dialog offers.
inline constexpr const char* kSaveFileName = "FIR_Coef";
inline constexpr const char* kSaveExtension = "txt";

// Work expected to take longer than about a third of a second runs behind a progress box.
// Measured on the 2-core build machine under load: designs run at 34 (band-stop) to 49
// (high-pass) million taps a second, saves at about 12 million (formatting 20, writing 27).
constexpr std::int64_t kProgressDesignTaps = 12'000'000;
constexpr int kProgressSaveTaps = 4'000'000;

// The rate the labels and Calculate use: the rate edit's text read by the atof rules.
double SampleRate(std::string_view rateText);

// A slider's cutoff in Hz as its label shows it: "%8.1f" of the fraction position/maximum of
// half the sampling rate.
std::string CutoffLabel(int position, int maximum, double sampleRate);

// What Calculate reads, unchecked: the order by the atoi rules, the rate and the two labels'
// cutoffs by the atof rules.
DesignRequest ReadRequest(std::string_view orderText, std::string_view rateText,
                          std::string_view lowLabel, std::string_view highLabel);

// One row of the coefficient list: the tap as "%f".
std::string ListItemText(double tap);

// How a window runs long work: behind its progress box showing text, handing the work the
// progress that moves the bar and stops the work after Cancel. It returns once the work has
// ended and throws again what the work threw.
using LongWork =
    std::function<void(const char* text, const std::function<void(const Progress&)>& work)>;

// The dialog's coefficient buffer and what it does with it.
class DesignDialog {
public:
    enum class Designed { taps, stopped, failed };

    // Designs the request into the buffer; a design long enough for a progress box runs
    // through longWork. failed (the taps cannot be allocated) and stopped (Cancel) both leave
    // the buffer empty.
    Designed Design(const DesignRequest& request, const LongWork& longWork);

    // The taps of the last design, shared with lists that show them.
    const std::shared_ptr<double[]>& Taps() const { return m_pCoef; }
    int TapCount() const { return m_nCoef; }
    // What the last design was asked for, for the comment of a C array.
    const DesignRequest& Request() const { return m_request; }

    // Writes the buffer's text to path; a save long enough for a progress box runs through
    // longWork. Returns false when Cancel stopped the save, which keeps the old file and says
    // nothing; throws CFileException on a failure to report.
    bool Save(const std::string& path, const LongWork& longWork) const;

    // Tests make short work long enough for the progress box.
    void SetProgressTapsForTesting(std::int64_t designTaps, int saveTaps);

private:
    Designed DesignWith(const DesignRequest& request, const Progress& progress);
    bool SaveWith(const std::string& path, const Progress& progress) const;

    std::shared_ptr<double[]> m_pCoef;
    int m_nCoef = 0;
    DesignRequest m_request;
    std::int64_t m_progressDesignTaps = kProgressDesignTaps;
    int m_progressSaveTaps = kProgressSaveTaps;
};

} // namespace taplore
