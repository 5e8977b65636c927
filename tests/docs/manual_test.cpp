// The manual against the code: every message the program can show, found in the sources
// and in the file writer's causes, has an entry in the manual saying what causes it and what
// to do. A new message without its entry fails here.

#include "core/design/methods.h"
#include "core/formats/exports/export.h"
#include "core/io/file_output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Messages raised in ways the scan below does not see.
const char* const kOtherMessages[] = {
    // The fixed-point output's refusal.
    "The coefficients are not all finite: no fixed-point form.",
    // The command line's own words for what its parser finds.
    "must be from 0 to half of --rate",
    "was given twice.",
    "needs a value, as in",
    // The CMSIS exports' refusal, with its count.
    "CMSIS-DSP's FIR filters take at most 65535 taps, not",
    // What the taps reader finds wrong in a file, after its name and line.
    "no taps: the file holds no number",
    "is not a number",
    "is not a finite number",
    "is beyond the range of a double",
    "more than N taps",
    "is not an integer of Q15",
    "where index and tap were expected",
    "a quote that is not closed",
    "text after the JSON object",
    "values nested more than 64 deep",
    // The equiripple design's warning at the precision floor, before its count.
    "the optimum lies below what double taps resolve:",
    // The search's refusal, after the length the bands need.
    "taps, more than the longest design",
    "a NUL byte at byte",
    "bytes, the text of the longest design",
    "a JSON array alone: Taplore's JSON is an object whose",
    "must be a positive, finite number, not",
    "is N, but \\\"taps\\\" holds M taps",
    "looks like a number with a decimal comma",
    // The command line's word for an option it does not have.
    "is not an option of taplore-design: did you mean",
    // Options refused together, not through Refusal().
    "must be left out with --view, which chooses the views written instead",
    "must be left out with --taps-from, which reads the taps instead of designing them",
    // A rate change's refusals and failures, with their option or plan before them.
    "which writes a file a stage",
    "multiply to",
    "is no product of",
    "Designing the rate change failed:",
    "the cascade misses the requirements, as measured",
};

// How the sources show a message: a box or error in the windows, the box the dialog logic
// picks, a report on the command line, an argument refusal (which reads "must be ..."), and
// the reasons the designers to requirements give (a problem, a refusal, a failure or a
// warning). The text is the call's last literal.
const std::regex kShown(
    R"((?:ShowError|ShowMessage|Report|ErrorMessage|ProgramMessage|Problem|Refused|Failed|Warned|Unmade)\([^;]*?"([^"]+)\"\s*\))");
const std::regex kRefused(R"re(Refusal\(\s*"([^"]+)")re");

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> MessagesInSources() {
    std::set<std::string> messages;
    for (const auto& file :
         fs::recursive_directory_iterator(fs::path(TAPLORE_SOURCE_DIR) / "src")) {
        if (file.path().extension() != ".cpp")
            continue;
        const std::string text = ReadText(file.path());
        for (std::sregex_iterator it(text.begin(), text.end(), kShown), end; it != end; ++it)
            messages.insert((*it)[1]);
        for (std::sregex_iterator it(text.begin(), text.end(), kRefused), end; it != end; ++it)
            messages.insert("must be " + (*it)[1].str());
    }
    return messages;
}

// Every cause a file failure can report, with the manual's stand-in for the path.
std::set<std::string> FileMessages() {
    std::set<std::string> messages;
    for (int cause = CFileException::none; cause <= CFileException::endOfFile; ++cause)
        messages.insert(
            CFileException(static_cast<CFileException::Cause>(cause), "PATH").Message());
    return messages;
}

// The manual's "Messages" section, up to the next section of the same level.
std::string MessagesSection() {
    const std::string manual = ReadText(TAPLORE_MANUAL);
    const std::size_t start = manual.find("\n## Messages\n");
    if (start == std::string::npos)
        return {};
    const std::size_t end = manual.find("\n## ", start + 1);
    return manual.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The "### " entries of a section, each with its text up to the next entry.
std::vector<std::string> Entries(const std::string& section) {
    std::vector<std::string> entries;
    std::size_t at = section.find("\n### ");
    while (at != std::string::npos) {
        const std::size_t next = section.find("\n### ", at + 1);
        entries.push_back(section.substr(at + 1, next == std::string::npos ? next : next - at - 1));
        at = next;
    }
    return entries;
}

TEST(Manual, ExplainsEveryMessageTheProgramCanShow) {
    const std::set<std::string> shown = MessagesInSources();
    // The scan must keep finding the messages it is known to see, or it checks nothing.
    for (const char* known :
         {"Calculating FIR coefficients failed!", "Calculating magnitude failed!", "Out of memory.",
          "Failed to launch help.", "Writing to standard output failed.", "must be a number"})
        ASSERT_TRUE(shown.contains(known)) << "the source scan no longer finds \"" << known << '"';

    std::set<std::string> all = shown;
    all.merge(FileMessages());
    all.insert(std::begin(kOtherMessages), std::end(kOtherMessages));

    const std::string section = MessagesSection();
    ASSERT_FALSE(section.empty()) << "the manual has no \"## Messages\" section";
    for (const std::string& message : all)
        EXPECT_NE(section.find(message), std::string::npos)
            << "the manual's Messages section does not explain \"" << message << '"';
}

TEST(Manual, EveryMessageEntrySaysWhatCausesItAndWhatToDo) {
    const std::vector<std::string> entries = Entries(MessagesSection());
    ASSERT_FALSE(entries.empty());
    for (const std::string& entry : entries) {
        const std::string heading = entry.substr(0, entry.find('\n'));
        EXPECT_NE(entry.find("Cause"), std::string::npos) << heading << " names no cause";
        EXPECT_NE(entry.find("What to do"), std::string::npos) << heading << " says nothing to do";
    }
}

// The command line writes every format of the table; the manual explains each of them, named
// as a word of code (`coe`) or as a choice of --format (q15|q31).
TEST(Manual, ExplainsEveryFormatOfTheTable) {
    const std::string manual = ReadText(TAPLORE_MANUAL);
    for (const taplore::ExportFormat& format : taplore::ExportFormats()) {
        const std::regex named("[`|]" + std::string(format.name) + "[`|:\\[]");
        EXPECT_TRUE(std::regex_search(manual, named)) << format.name;
    }
}

// Every method of the table is explained, named as the command line takes it.
TEST(Manual, ExplainsEveryDesignMethod) {
    const std::string manual = ReadText(TAPLORE_MANUAL);
    for (const taplore::Method& method : taplore::Methods()) {
        std::string quoted(1, '`');
        quoted.append(method.name).push_back('`');
        EXPECT_NE(manual.find(quoted), std::string::npos)
            << "the manual does not explain the method " << method.name;
    }
}

} // namespace
