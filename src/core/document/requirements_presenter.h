#pragma once
// RequirementsPresenter: what the requirements window does, with no window of its own. It reads
// the inputs as the controls hold them and checks them, gives the design to make, takes the
// design made, holds it with the texts and curves the window shows of it, writes its exports,
// and reads and writes its design document. The window only shows it, as the design dialog
// shows core/dialog/design_dialog.h.

#include "core/analysis/views.h"
#include "core/analysis/zeros.h"
#include "core/design/minimum_phase.h"
#include "core/design/requirements_design.h"
#include "core/document/design_document.h"
#include "core/document/window_bands.h"
#include "core/document/window_pulse.h"
#include "core/fixed/fixed_point_effect.h"
#include "core/formats/exports/export.h"
#include "core/multirate/cascade_response.h"
#include "core/multirate/cic.h"
#include "core/progress.h"

#include <complex>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace taplore {

// A rate change to design beside: the change and how it is split into stages.
struct RateChangeDesignAsk {
    RateChangeAsk ask;
    StagesAsk stages;
};

// What the window asks for: the requirements, how to design to them, and the length.
struct DesignAsk {
    Requirements requirements;
    const Method* method = &DefaultMethod();
    int taps = 0; // 0: the fewest that meet the requirements (a method that searches)
    bool minimumPhase = false;
    int nyquist = 0; // L of an L-th-band low-pass of the two bands (NyquistOf), or 0
    std::optional<PulseRequest> pulse; // a pulse's closed form in place of the bands'
    bool zeros = false;                // the zeros found too, for the zeros view
    // The fixed-point arithmetic whose effect is found too, for the Fixed point panel.
    std::optional<FixedPointArithmetic> arithmetic;
    // A decimator's or interpolator's stages in place of one filter at the rate.
    std::optional<RateChangeDesignAsk> rateChange;
    // The FIR that follows a CIC decimator, at the CIC's output rate, in place of both.
    std::optional<CompensatorAsk> cic;
};

// A design and the views the window draws of it, the frequency views on a grid of `points`
// from 0 to half the rate.
struct DesignShown {
    RequirementsDesign design;
    std::optional<MinimumPhaseReport> phase;    // of a minimum-phase design
    std::optional<TapZeros> zeros;              // where asked
    std::optional<FixedPointEffect> fixedPoint; // of a single filter, where asked
    std::optional<RoundedCascade> rounded;      // of a rate change's stages, where asked
    std::optional<PulseRequest> pulse;          // of a pulse-shaping design
    ResponseViews views;
    int points = 0;
    // With a rate change: its stages, and design holds the filter they equal at the high rate;
    // levels are the cascade's and each stage's over its nominal gain, on the views' grid.
    std::shared_ptr<const MultirateDesign> multirate;
    // With a CIC: its compensator, and design holds the FIR's taps; levels are the cascade's,
    // and the CIC's and the FIR's as its stages.
    std::shared_ptr<const CompensatorDesign> compensator;
    CascadeLevels levels;
};

// Designs ask and computes its views; safe on any thread. progress may stop it.
DesignShown DesignFor(const DesignAsk& ask, const Progress& progress = {});

// What the window's controls hold, as typed.
struct WindowInputs {
    static constexpr double kStartRate = 8000;
    static constexpr int kStartTaps = 51;

    std::string rate = "8000";
    std::vector<BandRow> bands = PresetBands(BandPreset::lowPass, kStartRate);
    std::string method = std::string(DefaultMethod().name);
    bool fixed = false; // a fixed length rather than the fewest taps
    int taps = kStartTaps;
    bool minimumPhase = false;
    int nyquist = 0; // L of an L-th-band design, 0 for none
    WindowPulse pulse;
    std::optional<RateChangeChoice> rateChange;
    std::string cic; // the CIC the filter compensates, as ParseCic reads it; empty for none

    bool operator==(const WindowInputs&) const = default;
};

// What an axis shows, as "Frequency" and "Hz"; a quantity without a unit has none.
struct PlotAxis {
    std::string title;
    std::string unit;
};

// A region of the plane the response must stay inside: x from x0 to x1, y from y0 to y1; an
// infinite y reaches the plot's edge.
struct PlotRegion {
    double x0, x1, y0, y1;
};

// The part of an axis shown.
struct PlotRange {
    double low, high;
};

// A curve drawn dashed over a plot's x, named in its legend: a stage of a cascade, or a CIC
// compensator's CIC or FIR, which keep colours of their own where stages take the next one.
enum class PartKind { stage, cic, fir };
struct NamedCurve {
    std::string name;
    std::vector<double> y;
    PartKind kind = PartKind::stage;
};

// One plot's curve, x ascending, with its axes, shaded regions, the ranges shown (none: the
// curve's own) and what a screen reader says of it.
struct PlotData {
    std::vector<double> x, y;
    std::vector<double> overlay;   // the fixed-point taps' curve over the same x, or none
    std::vector<NamedCurve> parts; // dashed over the same x
    PlotAxis xAxis, yAxis;
    std::vector<PlotRegion> regions;
    std::optional<PlotRange> yRange, xRange;
    std::string name, description;
};

// A row of the result table: the band, what it asked, reached and its margin, met or not.
struct FigureRow {
    std::string band, asked, reached, margin;
    bool met = false;
};

// The texts of the design shown.
struct ResultTexts {
    std::string headline; // "equiripple, 46 taps: meets the requirements; 45 and 44 taps miss"
    std::string note;     // "Note: rounding left ..." or empty
    std::string shorter;  // "45 taps miss by 0.59 dB, 44 taps by 2.34 dB" or empty
    std::string phase;    // a minimum-phase design's lines of delay and taps, or empty
    std::string zeroTaps; // an L-th-band design's zero taps and multiplications, or empty
    std::vector<FigureRow> figures;
    std::string summary; // the magnitude plot's description for a screen reader
};

// The zeros view: each finite zero, or why there are none to draw, and what a screen reader
// says of them.
struct ZerosData {
    std::vector<std::complex<double>> zeros;
    std::string problem; // "The zeros could not be found: ...", or empty
    std::string name, description;
};

// What to do with an export whose written taps miss the requirements the design meets.
enum class ShortfallChoice { fullPrecision, asChosen, cancel };
using AskShortfall = std::function<ShortfallChoice(const std::string& message)>;

// Where shortfall says what the taps as format writes them miss, ask's choice, after saying so
// (after follows); asChosen where they miss nothing.
ShortfallChoice ChooseShortfall(const AskShortfall& ask, const ExportFormat& format,
                                const std::string& shortfall, const std::string& after = {});

// What the Fixed point panel shows of the design shown: the arithmetic's effect in words, and
// why the controls that do not apply to it are greyed (empty where they apply).
struct FixedPointTexts {
    std::string effect;     // the chirp's overflows, or a rate change's rounded stages
    std::string effectName; // for a screen reader
    std::string searchOff;  // Fewest bits and Search roundings
    std::string widthsOff;  // the input, output and accumulator widths and the modes
};

class RequirementsPresenter {
public:
    // Whether the design shown answers the requirements shown.
    enum class State { designing, outOfDate, current };

    RequirementsPresenter();

    // ---- the inputs

    // The inputs as the controls now hold them: the ask to design them, or nothing after
    // Problem() says what is wrong ("Band 2: it overlaps the band below it.").
    std::optional<DesignAsk> SetInputs(WindowInputs inputs);
    const WindowInputs& Inputs() const { return m_inputs; }
    const std::string& Problem() const { return m_problem; }
    // The rate as typed, 0 where it is no number.
    double Rate() const;
    // The method chosen (the default for a name that is none), and whether it searches.
    const Method& ChosenMethod() const;

    // ---- the design

    State DesignState() const { return m_state; }
    bool Current() const { return m_state == State::current; }
    // The title's word of the state: "designing…", "out of date" or "46 taps".
    std::string StateText() const;
    // Why Save and Export wait, for their tooltip; empty while the design is current.
    std::string WaitReason() const;

    // A design came back: now the design shown, or failed (Problem() says so, out of date), or
    // stopped (nothing changes).
    enum class Accepted { shown, failed, stopped };
    Accepted Accept(std::shared_ptr<const DesignShown> shown);
    const DesignShown* Shown() const { return m_shown.get(); }
    // The taps shown, shared with the list and its copy menu; the count.
    const std::shared_ptr<double[]>& Taps() const { return m_taps; }
    int TapCount() const;
    ResultTexts Result() const;
    // The design shown in words, as the command line describes it to its outputs.
    TapsDescription Description() const;
    // The magnitude over the shaded bands, zoomed to the pass bands or not.
    PlotData Magnitude(bool zoomed) const;
    // The second plot: SecondViewTitles()[index] of the core's views.
    PlotData SecondView(int index) const;
    static std::vector<std::string> SecondViewTitles();
    // Whether SecondViewTitles()[index] is the zeros, which Zeros() gives rather than a curve.
    static bool IsZerosView(int index);
    // The designs asked find their zeros too, or not: the work grows with the square of the
    // taps, so only while the zeros are shown.
    void AskZeros(bool zeros) { m_zerosAsked = zeros; }
    // Whether the design shown has its zeros.
    bool HasZeros() const { return m_shown && m_shown->zeros; }
    ZerosData Zeros() const;

    // ---- the fixed-point arithmetic

    // The Fixed point panel's widths as typed, or nothing while it is off; the designs asked
    // afterwards find their effect too where the widths read right. Its searchRoundings holds
    // for every export until the panel is off or it is unchecked.
    void SetFixedPoint(std::optional<FixedPointInputs> inputs);
    // What is wrong with the widths, or empty.
    const std::string& FixedPointProblem() const { return m_fixedProblem; }
    // The effect of the arithmetic on the design shown, where it was asked.
    const FixedPointEffect* Effect() const;
    FixedPointTexts FixedPointShown() const;

    // ---- outputs

    // What the Bits field's text lacks to be a width ("must be B or B.F, B from 2 to 32"), or
    // nothing.
    static std::string BitsProblem(const std::string& bitsText);
    // The formats Export offers: those of the table that write a single-rate filter, which is
    // what the window designs, and those of the fixed-point arithmetic while the panel is on.
    std::vector<const ExportFormat*> ExportChoices() const;
    // The export file dialog's filters, one a choice: "csv: ... (*.csv)".
    std::vector<std::string> ExportFilters() const;
    // path with the format's extension where its name has none.
    static std::string WithExtension(const std::string& path, const ExportFormat& format);
    // Writes the design shown in format to path, through the writer that replaces a file only
    // once the new one is complete; ask chooses where the written taps miss. Returns what to
    // say where nothing could be written (a width that is none, a format that refuses the
    // taps); writes nothing when ask cancels. Throws CFileException.
    std::optional<std::string> Export(const std::string& path, const ExportFormat& format,
                                      const std::string& bitsText, const AskShortfall& ask) const;

    // ---- the document

    // The document of the inputs shown, with the taps and report where the design shown answers
    // them; nothing while the inputs are wrong (Problem() says why).
    std::optional<DesignDocument> Document() const;
    // Writes the document to path and makes it the document's file. Returns what to say where
    // the inputs are wrong and nothing was written; throws CFileException.
    std::optional<std::string> Save(const std::string& path);
    // Reads the document at path and makes it the window's: returns the inputs to show. Throws
    // CFileException, InputRefused or DocumentError, and DocumentError for a document the window
    // cannot show (bands of any gain).
    WindowInputs Open(const std::string& path);
    // The inputs of a document read (DocumentError for one the window cannot show).
    static WindowInputs InputsOf(const DesignDocument& document);
    // A document the window cannot show, said as the reader says others: "bands: ...".
    static std::optional<std::string> WindowProblem(const DesignDocument& document);
    // A new document: no file, the start inputs.
    WindowInputs New();
    // The recovery copy of another session opened: its inputs, modified, saved to file (empty
    // for a new document).
    WindowInputs Recover(const DesignDocument& document, const std::string& file);

    // The document's file; empty for one never saved.
    const std::string& Path() const { return m_path; }
    // Its name in the title: the file's name, or "Untitled".
    std::string DocumentName() const;
    // Whether the inputs differ from those last opened or saved; a recovered copy is unsaved
    // until it is saved.
    bool Modified() const { return !m_saved || m_inputs != *m_saved; }
    // The inputs as shown are the document's as saved (a window's start, or after opening).
    void MarkUnmodified() { m_saved = m_inputs; }

    // "Cannot open lowpass.taplore: line 3, column 14: ..." for a refusal of path.
    static std::string OpenRefusal(const std::string& path, const std::string& why);

private:
    // The band figures, shorter lengths and phase of a single-rate design.
    void SingleRateTexts(ResultTexts& texts) const;
    // Reads the CIC or the rate change of the inputs into ask: what is wrong, or empty.
    std::string ReadRateChanges(DesignAsk& ask) const;
    // Whether the filter shown changes the rate itself; the factor a single filter shown is
    // written with (a compensator's own decimation), or none.
    bool ChangesRate() const;
    std::optional<RateFactor> ShownRateFactor() const;

    WindowInputs m_inputs;
    std::optional<WindowInputs> m_saved = WindowInputs{};
    std::optional<DesignAsk> m_ask;
    bool m_zerosAsked = false;
    bool m_fixedOn = false;
    bool m_searchRoundings = false;
    std::optional<FixedPointArithmetic> m_arithmetic;
    std::string m_fixedProblem;
    std::string m_problem;
    State m_state = State::designing;
    std::shared_ptr<const DesignShown> m_shown;
    std::shared_ptr<double[]> m_taps;
    // The document opened, for what the window does not show: its note, unknown members, the
    // default ripple and attenuation.
    DesignDocument m_base;
    std::string m_path;
};

// The recent documents with path in front: each once, the newest first, at most most.
std::vector<std::string> WithRecent(std::vector<std::string> recent, const std::string& path,
                                    std::size_t most = 8);

} // namespace taplore
