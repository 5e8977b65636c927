#pragma once
// What taplore-design is asked to do: every option read once, by the rules the dialog's edits
// follow, into a typed value. The checks that join options run once, on these values; every
// later step reads them and nothing parses an option's text again.

#include "core/analysis/views.h"
#include "core/design/fir_design.h"
#include "core/design/methods.h"
#include "core/design/pulse_shaping.h"
#include "core/design/requirements.h"
#include "core/design/window_functions.h"
#include "core/fixed/bit_true.h"
#include "core/formats/exports/export.h"
#include "core/formats/fixed_point.h"
#include "core/multirate/cic.h"
#include "core/multirate/stage_plan.h"

#include <optional>
#include <string>
#include <vector>

// A value and the text it was read from, for the messages that quote what was typed.
template <typename T> struct Given {
    T value{};
    std::string text;
};

// A band as one option gave it: the option (--pass, --stop or --band), its text and the band.
struct BandOption {
    std::string option;
    std::string text;
    taplore::Band band;
};

// The window of the dialog's design, with its parameter (Kaiser's beta).
struct WindowChoice {
    taplore::WindowKind kind = taplore::WindowKind::hamming;
    double parameter = 0.0;
};

struct Request {
    // The dialog's design: its four values (the rate also gives the rate of a design to
    // requirements and the frequency axes of taps read back) and its window.
    std::optional<Given<int>> order;
    std::optional<Given<double>> rate, low, high;
    WindowChoice window;

    // Taps read back instead of designed: the file ("-" for standard input) and, for a file of
    // fixed-point integers, their form.
    std::string tapsFrom;
    std::optional<QFormat> tapsBits;

    // A design to requirements: the bands of each option in the order given, the tolerances,
    // the length (none: the fewest taps), the method and the response's kind; or a document.
    std::vector<BandOption> pass, stop, band;
    std::optional<Given<double>> ripple, atten;
    std::optional<Given<int>> taps;
    const taplore::Method* method = &taplore::DefaultMethod();
    bool methodGiven = false;
    std::optional<Given<taplore::ResponseKind>> kind;
    // An L-th-band (Nyquist) low-pass of L from 2: its taps every L-th from the centre 0.
    std::optional<Given<int>> nyquist;
    // Minimum phase: the same magnitude requirements met by taps whose energy comes first.
    bool minimumPhase = false;
    bool phaseGiven = false; // --phase given, to replace a document's phase
    bool quiet = false;
    std::string design, saveDesign; // --design's and --save-design's files, empty when not given
    std::optional<std::string> note;

    // A filter beside a change of rate: --decimate or --interpolate (at most one), what is kept
    // from aliasing, and the stages (one unless given).
    std::optional<Given<int>> decimate, interpolate;
    taplore::AliasRule alias = taplore::AliasRule::passBand;
    std::optional<Given<taplore::StagesAsk>> stages;
    // The CIC decimator a compensator follows, at whose output rate --rate is.
    std::optional<Given<taplore::CicShape>> cic;

    // A pulse-shaping filter instead: its shape (none: no pulse), span and samples per symbol,
    // the roll-off of the raised cosines or the Gaussian's BT, and the gain where given.
    const taplore::PulseShapeInfo* pulse = nullptr;
    std::optional<Given<int>> span, samplesPerSymbol;
    std::optional<Given<double>> rolloff, bt;
    std::optional<taplore::PulseGain> gain;

    // What is written: the format (and its text, which a refusal quotes), the fixed-point width
    // and CMSIS block where they were given, the views and their grid, the response, where
    // the text and the image go ("" or "-" for standard output, "" for no image).
    taplore::FormatChoice format{taplore::FindExportFormat("text"), std::nullopt};
    std::string formatText = "text";
    std::optional<Given<QFormat>> bits;
    std::optional<Given<int>> block;
    std::vector<taplore::View> views;
    Given<int> points{512, "512"};
    bool response = false;
    std::string output, plot;
    // With --plot alone the image is all that is written; --format, --response or -o ask for
    // the text as well.
    bool textAsked = true;

    // A bit-true simulation of the filter, its taps in --bits, instead of the taps written: the
    // stimulus (a signal's name or a file), its length, the arithmetic's formats and the WAV
    // file the output also goes to ("" for none).
    std::optional<std::string> simulate;
    std::optional<Given<int>> samples, accBits;
    std::optional<Given<taplore::SampleFormat>> inputBits, outputBits;
    taplore::Overflow overflow = taplore::Overflow::wrap;
    taplore::Rounding rounding = taplore::Rounding::nearest;
    std::string simulateOutput;
    // Instead of the taps, those of the fewest bits that still meet the requirements.
    bool fewestBits = false;
    // The taps at --bits rounded as the fewest-bits search rounds them, for every output.
    bool searchRoundings = false;

    // The pulse asked, for DesignPulse.
    taplore::PulseRequest Pulse() const;
    // Whether the zeros are the view asked.
    bool ZerosAsked() const;
    // Whether the taps themselves are written, rather than only an image, views or the response.
    bool TapsAsked() const;
    // Whether --decimate or --interpolate asks for a filter beside a change of rate.
    bool ChangesRate() const;
    // Whether a design to requirements is asked (bands, or a document) rather than the dialog's.
    bool ToRequirements() const;
    // The dialog's order, rate and cutoffs.
    DesignRequest Dialog() const;
    // The fixed-point form the format writes, none for a format of the taps themselves.
    std::optional<QFormat> Width() const;
    // CMSIS's block size.
    int Block() const;
    // What an HDL filter computes; accumulator bits 0 when --acc-bits leaves them to the taps.
    taplore::BitTrueFormats Arithmetic() const;
    // Every band of the options, in increasing frequency.
    std::vector<BandOption> Bands() const;
};

// Whether -o or --plot sends its text to standard output.
bool ToStandardOutput(const std::string& path);
