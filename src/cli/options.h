#pragma once
// taplore-design's options, each declared once with its check and its help.

#include "core/design/fir_design.h"
#include "core/formats/fixed_point.h"

#include <CLI/CLI.hpp>

#include <optional>
#include <string>

// The numbers stay texts until the checks have accepted them, so that they are read by the
// same rules as the dialog's edits, not by the option parser's own.
struct Options {
    std::string order, rate, low, high;
    std::string format = "text";
    bool response = false;
    std::string output; // empty for standard output
    std::string plot;   // empty for no plot
    // With --plot alone the image is all that is written; these ask for the text as well.
    bool textAsked = true;
};

// Declares every option on app, filling options as the words are parsed; the checks that
// join several options run once all are parsed.
void DeclareOptions(CLI::App& app, Options& options);

// The dialog's request the checked options make: order, rate and cutoffs.
DesignRequest RequestOf(const Options& options);

// The fixed-point format a --format text names, if any.
std::optional<QFormat> QFormatOf(const std::string& format);
