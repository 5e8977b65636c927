// What a screen reader reads of the running program: a real AT-SPI client (pyatspi) on the
// session's bus asks for the plot's name and description and the list's rows after Calculate.
// Its printout is kept beside the screenshots.

#include "x_session.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace e2e {
namespace {

namespace fs = std::filesystem;

// "what: value" lines as the client prints them.
std::map<std::string, std::string> Fields(const std::string& printout) {
    std::map<std::string, std::string> fields;
    std::istringstream lines(printout);
    for (std::string line; std::getline(lines, line);)
        if (const std::size_t colon = line.find(": "); colon != std::string::npos)
            fields[line.substr(0, colon)] = line.substr(colon + 2);
    return fields;
}

TEST(ScreenReader, ReadsThePlotsSummaryAndTheListsRowsFromTheRunningProgram) {
    ASSERT_NE(SharedSession(), nullptr) << "no X session";
    char pattern[] = "/tmp/taplore-reader-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path dir = pattern;
    Process::Options options = ProgramOptions(dir, dir);
    // As under a screen reader: the program joins the accessibility bus from the start.
    options.env.emplace_back("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    Process app({TAPLORE_EXE}, options);
    const auto main = WaitForProgramWindow(app, "^FIR Filter Design$");
    ASSERT_TRUE(main) << "the design dialog did not come up with the keyboard";
    Keys({"Return"}); // Calculate, the default button
    ASSERT_TRUE(WaitForIdle(*main));

    // The accessibility bus and its registry start on demand, and the program registers on
    // its own time: ask until the client finds it.
    CommandResult read;
    const bool found = WaitUntil(
        [&] {
            read = e2e::Run(
                {"/usr/bin/python3", TAPLORE_ACCESSIBLE_READER, std::to_string(app.Pid())}, 30s);
            return read.status == 0;
        },
        120s, 200ms);
    ASSERT_TRUE(found) << "the client did not find the program (status " << read.status << ")";
    fs::create_directories(SCREENSHOT_DIR);
    std::ofstream(fs::path(SCREENSHOT_DIR) / "screen-reader.txt") << read.out;

    const auto fields = Fields(read.out);
    EXPECT_EQ(fields.at("plot name"), "Log-Magnitude Spectrum");
    EXPECT_EQ(fields.at("plot role"), "chart");
    EXPECT_EQ(fields.at("plot description").rfind("Band-pass. Pass band at -3 dB: ", 0), 0u)
        << read.out;
    EXPECT_EQ(fields.at("list name"), "Filter Coefficients");
    EXPECT_EQ(fields.at("list rows"), "511");
    app.Stop();
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

} // namespace
} // namespace e2e
