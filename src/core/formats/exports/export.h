#pragma once
// Every text the taps can be written as, from Taplore's own to the exports for the toolchains
// that run a filter: one writer a format, all with one signature, listed in one table that the
// command line's check, help and dispatch, the dialog's copy entries and the manual read.

#include "core/fixed/bit_true.h"
#include "core/formats/fixed_point.h"
#include "core/formats/taps_description.h"

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace taplore {

// Samples a CMSIS-DSP style FIR call filters at once, unless asked otherwise.
constexpr int kDefaultBlockSize = 32;
constexpr int kMaxBlockSize = 1 << 20;

// The change of rate a polyphase format writes the taps for: keep every factor-th output, or
// put factor - 1 zeros after each input.
struct RateFactor {
    bool decimates = true;
    int factor = 2;
};

// Everything a writer writes from.
struct ExportInput {
    std::span<const double> taps;
    const FixedPointTaps* quantised; // made from taps in the format's width; null when it has none
    const TapsDescription& description;
    int blockSize = kDefaultBlockSize; // 1 ... kMaxBlockSize
    // The design's change of rate: the CMSIS rate-change formats need one, and the C, JSON and
    // HDL formats add its phases to the taps.
    std::optional<RateFactor> rateChange = std::nullopt;
    // The arithmetic an HDL filter computes; accumulator bits 0 for the never overflowing ones.
    BitTrueFormats arithmetic{};
};

// One stage of a plan, for a format that writes all of them in one file.
struct ExportStage {
    std::span<const double> taps;
    const FixedPointTaps* quantised; // made from taps in the format's width; null when it has none
    RateFactor change;
    double rate = 0.0; // at the stage's high side, Hz
};

// A plan's stages, from the high rate down, under the plan's description.
struct CascadeInput {
    const TapsDescription& description;
    std::span<const ExportStage> stages;
    int blockSize = kDefaultBlockSize; // each stage's, for the CMSIS formats
};

// The integers a format writes: none (it writes the taps themselves), the width asked for
// (Q15 unless another is given), or the one width its target takes.
enum class ExportWidth { none, chosen, q15, q31 };

struct ExportFormat {
    std::string_view name;      // as --format takes it
    std::string_view summary;   // one line for the help and the manual
    std::string_view extension; // of the files it writes
    ExportWidth width;
    std::string (*write)(const ExportInput& input);
    // A tap as a reader of the output gets it back, for a format of the taps themselves that
    // rounds them ("%f", float); null where each tap reads back exactly or as its integer.
    double (*readBack)(double tap) = nullptr;
    bool takesRateChange = false; // writes a decimator's or interpolator's call, needing the factor
    bool takesArithmetic = false; // writes a filter of the bit-true model's widths and modes
    // Writes a plan's stages in one file; null for a format of one filter a file.
    std::string (*writeCascade)(const CascadeInput& input) = nullptr;
};

// The taps as a reader of the format's output gets them back: the integers' values, the
// rounded taps, or the taps themselves.
std::vector<double> WrittenTaps(const ExportFormat& format, std::span<const double> taps,
                                const FixedPointTaps* quantised);

// Every format, in the order the help lists them.
std::span<const ExportFormat> ExportFormats();

// The format of that name, or null.
const ExportFormat* FindExportFormat(std::string_view name);

// A --format text: a format's name, and for a format whose width is chosen, optionally ":" and
// the width (q:18.17, coe:25).
struct FormatChoice {
    const ExportFormat* format;
    std::optional<QFormat> width;
};
std::optional<FormatChoice> ParseFormatChoice(std::string_view text);

// The fixed-point form format writes when chosen is the width asked for; nullopt for a format
// that writes the taps themselves.
std::optional<QFormat> ExportQFormat(const ExportFormat& format, QFormat chosen);

// The text of format for taps, quantised first where the format writes integers: to chosen for
// a format whose width is chosen. Throws NoFixedPointForm and ExportRefused.
std::string ExportText(const ExportFormat& format, std::span<const double> taps,
                       const TapsDescription& description, QFormat chosen = QFormat::q15,
                       int blockSize = kDefaultBlockSize,
                       std::optional<RateFactor> rateChange = std::nullopt);

// Thrown by a writer whose target cannot take these taps; what() is the message users see.
class ExportRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace taplore
