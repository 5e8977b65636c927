#include "core/formats/cic_report.h"

#include "core/formats/crt.h"

namespace taplore {

namespace {

std::string Db(double value) {
    return crt::FormatG(value, 4) + " dB";
}

std::string Hz(double value) {
    return crt::FormatShortest(value) + " Hz";
}

// "; 10 and 9 taps miss", or "; 1 tap misses", or nothing where no length is shorter.
std::string ShorterMiss(const Compensator& made) {
    std::string lengths;
    for (const auto& [taps, figures] : made.shorter)
        lengths += (lengths.empty() ? "" : " and ") + crt::FormatD(taps);
    if (lengths.empty())
        return "";
    return "; " + lengths +
           (made.shorter.size() > 1           ? " taps miss"
            : made.shorter.front().first == 1 ? " tap misses"
                                              : " taps miss");
}

} // namespace

TapsDescription DescribeCompensator(const CompensatorAsk& ask, const Compensator& made,
                                    const CompensatorWords& words) {
    const CompensatorFigures& f = made.figures;
    TapsDescription description;
    description.rate = ask.rate;
    description.title = "CIC compensator, equiripple, " +
                        crt::FormatD(static_cast<int>(made.taps.size())) +
                        " taps: the cascade meets the requirements" + ShorterMiss(made);
    description.notes.push_back("after a CIC of " + words.cic + " (stages:factor:delay) at " +
                                Hz(ask.rate * ask.cic.factor) + ": droop " + Db(f.droopDb) +
                                " at " + Hz(ask.passHz) + " uncompensated");
    description.notes.push_back("cascade, measured: pass 0 to " + Hz(ask.passHz) + ": ripple " +
                                Db(f.rippleDb) + " (" + words.rippleDb + " dB asked); stop " +
                                crt::FormatShortest(ask.stopHz) + " to " + Hz(ask.rate / 2) +
                                ": attenuation " + Db(f.attenuationDb) + " (" +
                                words.attenuationDb + " dB asked)");
    if (ask.decimate > 1)
        description.notes.push_back(
            "the FIR decimates by " + crt::FormatD(ask.decimate) + ": " +
            crt::FormatG(static_cast<double>(made.taps.size()) / ask.decimate, 4) +
            " multiplications per input sample");
    return description;
}

} // namespace taplore
