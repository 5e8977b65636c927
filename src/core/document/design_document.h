#pragma once
// A design saved as a document: what was asked (the requirements, the method, the length), the
// taps it gave, what they reach, the program that wrote it and a note. Read back by the rules
// the command line's options are checked by, since a document may come from anywhere.

#include "core/design/design_result.h"
#include "core/design/methods.h"
#include "core/design/pulse_shaping.h"
#include "core/design/requirements.h"
#include "core/multirate/cic.h"
#include "core/multirate/rate_change.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace taplore {

constexpr std::string_view kDocumentFormat = "taplore-design";
constexpr int kDocumentVersion = 1;

// What a reader accepts before it looks at the contents, so that no file, however large or
// however many values it holds, takes more than a bounded memory. Far above what a design of
// the longest method (65535 taps) and a window's bands fill.
constexpr std::int64_t kMaxDocumentBytes = 16 << 20;
constexpr int kMaxDocumentValues = 500'000;
constexpr int kMaxDocumentBands = 1000;
constexpr int kMaxDocumentDepth = 64;

// Members a reader does not know, each its name and its JSON text, written back as they came.
using UnknownMembers = std::vector<std::pair<std::string, std::string>>;

// A rate change the filter is designed beside: decimation or interpolation by factor, split into
// stages as the command line's --stages takes them ("auto", a count, or factors as "4x4x3").
struct RateChangeChoice {
    RateChange change = RateChange::decimate;
    int factor = 2;
    std::string stages = "1";

    bool operator==(const RateChangeChoice&) const = default;
};

struct DesignDocument {
    Requirements requirements;
    // Pass and stop bands designed to the ripple and the attenuation; otherwise bands of any
    // gain and weight at a fixed length.
    bool tolerances = true;
    const Method* method = &DefaultMethod();
    int length = 0; // the taps asked; 0 for the fewest that meet the requirements
    // Minimum-phase taps of the same magnitude requirements, from pass and stop bands only.
    bool minimumPhase = false;
    int nyquist = 0; // L of an L-th-band low-pass of the two bands, or 0
    // A pulse-shaping design, whose taps its closed form gives, in place of the bands'; the
    // bands stay for the window.
    std::optional<PulseRequest> pulse;
    std::optional<RateChangeChoice> rateChange; // none: a single-rate filter
    // The CIC decimator the taps compensate, at whose output rate the requirements are; none
    // for a filter of its own.
    std::optional<CicShape> cic;
    std::vector<double> taps;
    std::optional<RequirementsReport> report; // written; a reader measures the taps anew
    std::string program;                      // the program and version that wrote it
    std::string note;
    UnknownMembers unknown, unknownMethod;
    std::vector<UnknownMembers> unknownBands; // one a band, or empty
};

// The document's text: UTF-8 JSON, two-space indent, every tap at full precision.
std::string WriteDocument(const DesignDocument& document);

// A document's text that cannot be read, with where and why: "line 3, column 14: ..." for
// JSON that is malformed, "bands[2].low_hz: ..." for a member that is wrong.
class DocumentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The document in text, checked throughout (CheckDocument included). Throws DocumentError.
DesignDocument ReadDocument(std::string_view text);

// ReadDocument of the file at path, read no further than kMaxDocumentBytes. Throws
// CFileException, InputRefused or DocumentError.
DesignDocument LoadDocument(const std::string& path);

// The member of a document a problem lies in.
enum class DocumentField {
    rate,
    band,
    ripple,
    attenuation,
    response,
    method,
    length,
    phase,
    nyquist,
    pulse,
    taps
};

struct DocumentProblem {
    DocumentField field = DocumentField::band;
    int index = -1; // the band at fault, counted from 0, or -1
    std::string text;
};

// The member's name as the document spells it: "rate_hz", "bands[2]", "method.length".
std::string FieldName(const DocumentProblem& problem);

// Whether the document can be designed from: the requirements as CheckTolerances or CheckBands
// take them, a method that designs them, a length where the method needs one and the symmetry
// allows it, taps of that length, minimum phase only with pass and stop bands, an L-th band
// the window designs, and a pulse DesignPulse takes.
std::optional<DocumentProblem> CheckDocument(const DesignDocument& document);

} // namespace taplore
