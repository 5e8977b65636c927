#pragma once
// taplore-design's options, each declared once with its check and its help.

#include "core/analysis/views.h"
#include "core/design/fir_design.h"
#include "core/design/window_functions.h"
#include "core/formats/exports/export.h"
#include "core/formats/fixed_point.h"

#include <CLI/CLI.hpp>

#include <map>
#include <optional>
#include <string>
#include <vector>

// The numbers stay texts until the checks have accepted them, so that they are read by the
// same rules as the dialog's edits, not by the option parser's own.
struct Options {
    std::string order, rate, low, high;
    std::string format = "text";
    std::string bits;               // --bits B[.F], empty when not given
    std::string block;              // --block N, empty when not given
    std::vector<std::string> views; // --view NAME, in the order given
    std::string points = "512";     // --points N
    std::string tapsFrom;           // --taps-from FILE ("-" for standard input), empty to design
    std::string tapsBits;           // --taps-bits B[.F], empty when not given
    bool response = false;
    std::string output; // empty or "-" for standard output
    std::string plot;   // empty for no plot, "-" for standard output
    // With --plot alone the image is all that is written; these ask for the text as well.
    bool textAsked = true;
    // The dialog's design through another window: hamming (the dialog's own) or another name
    // of the window table, kaiser:BETA for Kaiser's.
    std::string window = "hamming";
    // A design to requirements: pass and stop bands (LO:HI in Hz) with their tolerances, or
    // bands of any gain (LO:HI:GAIN[:WEIGHT]) with a length; the texts of each, in order.
    std::vector<std::string> pass, stop, band;
    std::string ripple, atten, taps;
    std::string method = "equiripple";
    std::string kind;   // empty: an ordinary filter; hilbert or differentiator
    bool quiet = false; // no report on standard error
    // A design document to design from, whose values the options given beside it replace, and
    // one to write of the design made, with its note.
    std::string design, saveDesign, note;
    bool methodGiven = false, noteGiven = false;
};

// An example value of each option that takes one, by the option's long name.
using OptionExamples = std::map<std::string, std::string>;

// Declares every option on app, filling options as the words are parsed; the checks that
// join several options run once all are parsed. Returns the options' examples.
OptionExamples DeclareOptions(CLI::App& app, Options& options);

// Whether -o or --plot sends its text to standard output.
bool ToStandardOutput(const std::string& path);

// Whether the options ask for a design to requirements (bands, or a document) rather than the
// dialog's.
bool ToRequirements(const Options& options);

// The numbers of a checked LO:HI or LO:HI:GAIN[:WEIGHT] text.
std::vector<double> FieldsOf(const std::string& text);

// The window a checked --window names, with its parameter (Kaiser's beta).
struct WindowChoice {
    taplore::WindowKind kind = taplore::WindowKind::hamming;
    double parameter = 0.0;
};
WindowChoice WindowOf(const Options& options);

// The dialog's request the checked options make: order, rate and cutoffs.
DesignRequest RequestOf(const Options& options);

// What the checked options ask for: the output format, the fixed-point form it writes (none for
// a format of the taps themselves), CMSIS's block size, the views and their grid's points.
taplore::FormatChoice FormatOf(const Options& options);
std::optional<QFormat> WidthOf(const Options& options);
int BlockOf(const Options& options);
std::vector<taplore::View> ViewsOf(const Options& options);
int PointsOf(const Options& options);
