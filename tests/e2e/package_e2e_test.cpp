// The Debian package as a user gets it: unpacked into a throwaway root and run from there,
// so nothing of the build tree can stand in for what the package forgot.

#include "core/version.h"
#include "x_session.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <regex>

namespace e2e {
namespace {

namespace fs = std::filesystem;

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

// Where `make package` leaves it, named as the README tells users to install it.
fs::path PackageFile() {
    const std::string architecture = Trimmed(e2e::Run({"dpkg", "--print-architecture"}).out);
    return fs::path(TAPLORE_PACKAGE_DIR) /
           ("taplore_" + std::string(kTaploreVersion) + "_" + architecture + ".deb");
}

// The value of key in a desktop entry's text, or nothing.
std::optional<std::string> DesktopKey(const fs::path& entry, const std::string& key) {
    std::ifstream in(entry);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    return std::nullopt;
}

// The package's desktop entry for the dialog, or the one for the requirements window.
fs::path DesktopEntry(const fs::path& root, const std::string& window = "") {
    return root / "usr/share/applications" / (std::string(kTaploreAppId) + window + ".desktop");
}

class Package : public ::testing::Test {
protected:
    void SetUp() override {
        m_package = PackageFile();
        ASSERT_TRUE(fs::exists(m_package))
            << m_package << " is missing: `make package` builds it (`make test` does first)";
        char pattern[] = "/tmp/taplore-package-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        m_root = m_dir / "root";
        fs::create_directories(m_root);
        ASSERT_EQ(e2e::Run({"dpkg", "-x", m_package.string(), m_root.string()}, 60s).status, 0)
            << "dpkg -x could not unpack " << m_package;
    }

    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    fs::path m_package;
    fs::path m_dir;
    fs::path m_root;
};

TEST_F(Package, DesignerReportsTheProjectVersion) {
    const fs::path designer = m_root / "usr/bin/taplore-design";
    ASSERT_TRUE(fs::exists(designer)) << "the package holds no usr/bin/taplore-design";
    const CommandResult result = e2e::Run({designer.string(), "--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find(kTaploreVersion), std::string::npos)
        << "--version printed \"" << result.out << "\"";
}

TEST_F(Package, DialogStartsFromTheUnpackedRoot) {
    const fs::path program = m_root / "usr/bin/taplore";
    ASSERT_TRUE(fs::exists(program)) << "the package holds no usr/bin/taplore";

    // A display of its own; whatever else runs in this process gets its own back.
    std::optional<XSession> session;
    ASSERT_NO_THROW(session.emplace());

    const Process::Options options = ProgramOptions(m_dir, m_dir);
    Process app({program.string()}, options);

    const bool shown = WaitUntil(
        [&] { return !VisibleWindows(app.Pid(), "^FIR Filter Design$").empty() || !app.Running(); },
        60s);
    std::ifstream log(options.log);
    const std::string output{std::istreambuf_iterator<char>(log), {}};
    ASSERT_TRUE(shown && app.Running()) << "no \"FIR Filter Design\" window; output:\n" << output;

    // On X11 a desktop ties the window to its menu entry (name, icon) through the class.
    const auto startupClass = DesktopKey(DesktopEntry(m_root), "StartupWMClass");
    ASSERT_TRUE(startupClass) << "the desktop entry has no StartupWMClass";
    const auto window = VisibleWindows(app.Pid(), "^FIR Filter Design$").front();
    const std::string wmClass = Trimmed(e2e::Run({"xprop", "-id", window, "WM_CLASS"}).out);
    EXPECT_TRUE(wmClass.ends_with(", \"" + *startupClass + "\""))
        << wmClass << ", but the desktop entry expects the class " << *startupClass;
}

// What a software centre and a menu read: the metainfo finds its desktop entry, whose icon
// is there, and `man` renders both pages.
TEST_F(Package, DesktopFilesAndManualPagesWork) {
    const CommandResult tree =
        e2e::Run({"appstreamcli", "validate-tree", "--no-net", m_root.string()});
    EXPECT_EQ(tree.status, 0) << tree.out;

    EXPECT_EQ(DesktopKey(DesktopEntry(m_root, ".requirements"), "Exec"),
              "taplore --requirements %f");
    const auto icon = DesktopKey(DesktopEntry(m_root), "Icon");
    ASSERT_TRUE(icon) << "the desktop entry names no icon";
    bool found = false;
    for (const auto& file : fs::recursive_directory_iterator(m_root / "usr/share/icons"))
        found = found || file.path().stem() == *icon;
    EXPECT_TRUE(found) << "the package holds no icon \"" << *icon << "\"";

    for (const char* page : {"taplore.1.gz", "taplore-design.1.gz"}) {
        const fs::path path = m_root / "usr/share/man/man1" / page;
        ASSERT_TRUE(fs::exists(path)) << "the package holds no " << page;
        const CommandResult rendered = e2e::Run({"man", "-l", path.string()});
        EXPECT_EQ(rendered.status, 0) << page;
        // Found, not matched by a regular expression: std::regex recurses once a character, and
        // a long page overflows the stack.
        const std::size_t name = rendered.out.find("NAME");
        EXPECT_TRUE(name != std::string::npos &&
                    rendered.out.find("SYNOPSIS", name) != std::string::npos)
            << page << " rendered as:\n"
            << rendered.out;
    }
}

// What lets people adopt it: the licence, the manual F1 shows, icons large enough for a
// software centre.
TEST_F(Package, CarriesTheLicenceTheManualAndEveryIconSize) {
    const fs::path doc = m_root / "usr/share/doc/taplore";
    std::ifstream copyright(doc / "copyright");
    const std::string licence{std::istreambuf_iterator<char>(copyright), {}};
    EXPECT_TRUE(std::regex_search(licence, std::regex(R"(\nFiles: \*\n[^\n]*\nLicense: Expat\n)")))
        << "the copyright file does not give the project's files the MIT (Expat) licence:\n"
        << licence;

    std::ifstream manual(doc / "manual.md");
    const std::string text{std::istreambuf_iterator<char>(manual), {}};
    EXPECT_NE(text.find("## The design dialog"), std::string::npos)
        << "no manual in usr/share/doc/taplore";

    const fs::path icons = m_root / "usr/share/icons/hicolor";
    for (const char* icon :
         {"16x16/apps/taplore.png", "32x32/apps/taplore.png", "64x64/apps/taplore.png",
          "128x128/apps/taplore.png", "scalable/apps/taplore.svg"})
        EXPECT_TRUE(fs::exists(icons / icon)) << "the package holds no icon " << icon;
}

// Pedantic, with the informational notes shown: the hardening notes are among those.
TEST_F(Package, LintianFindsNoErrorsWarningsOrHardeningNotes) {
    const CommandResult lintian = e2e::Run({"lintian", "--pedantic", "--display-info", "--fail-on",
                                            "error,warning", m_package.string()},
                                           120s);
    EXPECT_EQ(lintian.status, 0) << lintian.out;
    EXPECT_EQ(lintian.out.find("hardening"), std::string::npos) << lintian.out;
}

} // namespace
} // namespace e2e
