// taplore-design's arguments, as any list of texts: it never crashes, exits 0, 1 or 2, and a
// refusal names the option it is about. The input is the arguments separated by NUL bytes.
#include "cli/design_cli.h"
#include "core/io/memory.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const kOptions[] = {"--order",
                                "--rate",
                                "--low",
                                "--high",
                                "--format",
                                "--output",
                                "-o",
                                "--help",
                                "-h",
                                "--version",
                                "--response",
                                "--plot",
                                "--bits",
                                "--block",
                                "--view",
                                "--points",
                                "--taps-from",
                                "--taps-bits",
                                "--window",
                                "--pass",
                                "--stop",
                                "--ripple",
                                "--atten",
                                "--method",
                                "--taps",
                                "--band",
                                "--kind",
                                "--quiet",
                                "--design",
                                "--save-design",
                                "--note",
                                "--phase",
                                "--pulse",
                                "--span",
                                "--sps",
                                "--rolloff",
                                "--bt",
                                "--gain",
                                "--simulate",
                                "--samples",
                                "--input-bits",
                                "--output-bits",
                                "--acc-bits",
                                "--overflow",
                                "--rounding",
                                "--simulate-output",
                                "--fewest-bits",
                                "--search-roundings",
                                "--nyquist",
                                "--decimate",
                                "--interpolate",
                                "--alias",
                                "--stages",
                                "--cic"};

// What --taps-from reads: every file it could name is standard input, which holds these taps.
constexpr const char* kTapsRead = "0.25\n-0.5\n1e-3\n0.5\n";

bool NamesAnOption(const std::string& message) {
    for (const char* option : kOptions)
        if (message.find(option) != std::string::npos)
            return true;
    return false;
}

// Every output file the arguments could name is /dev/null: after "-o" or "--output", in
// "--output=", and in any word of short options with an o among them. Every file to read is
// standard input.
void RedirectFiles(std::vector<std::string>& words) {
    for (std::size_t k = 0; k < words.size(); ++k) {
        std::string& word = words[k];
        if ((word == "-o" || word == "--output") && k + 1 < words.size())
            words[k + 1] = "/dev/null";
        else if (word.starts_with("--output="))
            word = "--output=/dev/null";
        else if (word == "--plot" && k + 1 < words.size())
            words[k + 1] = "/dev/null";
        else if (word.starts_with("--plot="))
            word = "--plot=/dev/null";
        else if (word == "--simulate-output" && k + 1 < words.size())
            words[k + 1] = "/dev/null";
        else if (word.starts_with("--simulate-output="))
            word = "--simulate-output=/dev/null";
        // A plan writes its stages beside -o's file, which /dev/null has no room for.
        else if (word == "--stages" && k + 1 < words.size())
            words[k + 1] = "1";
        else if (word.starts_with("--stages="))
            word = "--stages=1";
        else if (word == "--taps-from" && k + 1 < words.size())
            words[k + 1] = "-";
        else if (word.starts_with("--taps-from="))
            word = "--taps-from=-";
        else if (word.starts_with('-') && !word.starts_with("--") &&
                 word.find('o') != std::string::npos)
            word = "-o/dev/null";
    }
}

void Check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> words;
    std::string word;
    for (std::size_t k = 0; k < size; ++k) {
        if (data[k] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[k]);
        }
    }
    words.push_back(word);
    RedirectFiles(words);
    // Designs past 131,072 taps fail as too large, so that each run stays quick.
    mem::SetFreeBytesForTesting(std::uint64_t{1} << 20);

    std::ostringstream out, err;
    std::istringstream in(kTapsRead);
    const int status = RunDesignCli(words, {out, err, false, &in});
    Check(status == 0 || status == 1 || status == 2);
    if (status == 2)
        Check(NamesAnOption(err.str()));
    if (status != 0)
        Check(!err.str().empty() && err.str().ends_with('\n'));
    return 0;
}
