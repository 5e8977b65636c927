// The requirements window's presenter without its window: the inputs read and checked, what
// is wrong said where it lies, the design taken with its texts and curves, the second view from
// the core's views, and its document written and read back through the document's writer and
// reader as the same inputs, taps and all.
#include "core/document/recovery.h"
#include "core/document/requirements_presenter.h"
#include "core/io/file_input.h"
#include "core/io/file_output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using namespace taplore;
namespace fs = std::filesystem;

class Presenter : public testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("taplore-presenter-" +
                 std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // The inputs designed and their design taken, as the window's worker and loop do.
    static void Designed(RequirementsPresenter& presenter, WindowInputs inputs) {
        const std::optional<DesignAsk> ask = presenter.SetInputs(std::move(inputs));
        ASSERT_TRUE(ask) << presenter.Problem();
        ASSERT_EQ(presenter.Accept(std::make_shared<const DesignShown>(DesignFor(*ask))),
                  RequirementsPresenter::Accepted::shown);
    }

    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

    fs::path m_dir;
};

TEST_F(Presenter, TheInputsAreCheckedAndWhatIsWrongIsSaidWhereItLies) {
    RequirementsPresenter presenter;
    EXPECT_TRUE(presenter.SetInputs(WindowInputs{}));
    EXPECT_EQ(presenter.Problem(), "");
    EXPECT_EQ(presenter.StateText(), "designing…");
    EXPECT_EQ(presenter.WaitReason(), "the design of the requirements shown is under way.");

    const struct {
        const char* name;
        void (*edit)(WindowInputs&);
        const char* starts;
    } cases[] = {
        {"no rate", [](WindowInputs& in) { in.rate.assign(2, ' '); }, "Rate: "},
        {"overlap", [](WindowInputs& in) { in.bands[1].lowHz = 900; },
         "Band 2: it overlaps the band below it."},
        {"even length to half the rate",
         [](WindowInputs& in) {
             in.bands = PresetBands(BandPreset::highPass, 8000);
             in.fixed = true;
             in.taps = 50;
         },
         "Length: an even length has no response at half the rate: use an odd one."},
    };
    for (const auto& c : cases) {
        WindowInputs inputs;
        c.edit(inputs);
        EXPECT_FALSE(presenter.SetInputs(inputs)) << c.name;
        EXPECT_EQ(presenter.Problem().rfind(c.starts, 0), 0u)
            << c.name << ": " << presenter.Problem();
        EXPECT_EQ(presenter.StateText(), "out of date");
        EXPECT_EQ(presenter.WaitReason(), presenter.Problem());
        EXPECT_FALSE(presenter.Document()) << "no document of wrong requirements";
    }
    // The rate as typed, spaces around it allowed; a method name that is none reads as the
    // default.
    WindowInputs inputs;
    inputs.rate = " 48000\t";
    inputs.method = "remez";
    ASSERT_TRUE(presenter.SetInputs(inputs));
    EXPECT_EQ(presenter.Rate(), 48000);
    EXPECT_EQ(&presenter.ChosenMethod(), &DefaultMethod());
}

TEST_F(Presenter, ADesignIsHeldWithItsTextsAndCurves) {
    RequirementsPresenter presenter;
    ASSERT_NO_FATAL_FAILURE(Designed(presenter, WindowInputs{}));
    EXPECT_TRUE(presenter.Current());
    EXPECT_EQ(presenter.StateText(), "46 taps");
    EXPECT_EQ(presenter.WaitReason(), "");
    ASSERT_EQ(presenter.TapCount(), 46);
    EXPECT_EQ(presenter.Taps()[0], presenter.Shown()->design.taps[0]);

    const ResultTexts texts = presenter.Result();
    EXPECT_EQ(texts.headline, "equiripple, 46 taps: meets the requirements; 45 and 44 taps miss");
    EXPECT_EQ(texts.shorter, "45 taps miss by 0.59 dB, 44 taps by 2.34 dB");
    EXPECT_EQ(texts.note, "");
    ASSERT_EQ(texts.figures.size(), 2u);
    EXPECT_EQ(texts.figures[0].band, "Pass, ripple, 0 to 1000 Hz");
    EXPECT_TRUE(texts.figures[0].met && texts.figures[1].met);

    const PlotData magnitude = presenter.Magnitude(false);
    EXPECT_EQ(magnitude.name, "Magnitude");
    EXPECT_EQ(magnitude.yAxis.unit, "dB");
    EXPECT_EQ(magnitude.x.size(), static_cast<std::size_t>(presenter.Shown()->points));
    EXPECT_EQ(magnitude.regions.size(), 2u);
    ASSERT_TRUE(magnitude.xRange);
    EXPECT_EQ(magnitude.xRange->high, 4000);
    EXPECT_EQ(presenter.Magnitude(true).xRange->high, 1050)
        << "zoomed to the pass band and a twentieth";
    EXPECT_EQ(magnitude.description, texts.summary);

    // Each second view is the core's own view of the taps, point for point.
    const std::vector<std::string> titles = RequirementsPresenter::SecondViewTitles();
    ASSERT_EQ(titles, (std::vector<std::string>{"Phase", "Group delay", "Impulse response",
                                                "Step response", "Zeros"}));
    const FrequencyGrid grid(presenter.Shown()->points);
    const ResponseViews views = ComputeViews(presenter.Shown()->design.taps, grid);
    const View shown[] = {View::phase, View::groupDelay, View::impulse, View::step};
    for (int i = 0; i < 4; ++i) {
        const PlotData plot = presenter.SecondView(i);
        EXPECT_EQ(plot.name, titles[i]);
        EXPECT_EQ(plot.y, views.Values(shown[i])) << titles[i];
    }
    EXPECT_EQ(presenter.SecondView(1).description, "Group delay from 22.5 to 22.5 samples.");
    EXPECT_EQ(presenter.SecondView(2).xAxis.title, "Time");

    // An edit leaves the design shown, no longer current; a failure says so.
    WindowInputs inputs;
    inputs.bands[1].lowHz = 900;
    presenter.SetInputs(inputs);
    EXPECT_FALSE(presenter.Current());
    EXPECT_EQ(presenter.TapCount(), 46);
    auto failed = std::make_shared<DesignShown>();
    failed->design.status = DesignStatus::failed;
    failed->design.message = "there is not enough memory for it";
    EXPECT_EQ(presenter.Accept(failed), RequirementsPresenter::Accepted::failed);
    EXPECT_EQ(presenter.Problem(), "The design failed: there is not enough memory for it.");
    auto stopped = std::make_shared<DesignShown>();
    stopped->design.status = DesignStatus::stopped;
    EXPECT_EQ(presenter.Accept(stopped), RequirementsPresenter::Accepted::stopped);
}

TEST_F(Presenter, ExportsAreWrittenAndAWrongWidthIsSaid) {
    RequirementsPresenter presenter;
    ASSERT_NO_FATAL_FAILURE(Designed(presenter, WindowInputs{}));
    EXPECT_EQ(RequirementsPresenter::BitsProblem("40"), "must be B or B.F, B from 2 to 32");
    EXPECT_EQ(RequirementsPresenter::BitsProblem(" 18.17 "), "");
    const ExportFormat& csv = *FindExportFormat("csv");
    const ExportFormat& q15 = *FindExportFormat("c-q15");
    EXPECT_EQ(RequirementsPresenter::WithExtension("/a.b/design", csv), "/a.b/design.csv");
    EXPECT_EQ(RequirementsPresenter::WithExtension("/a/design.txt", csv), "/a/design.txt");
    const auto never = [](const std::string&) {
        ADD_FAILURE() << "no shortfall expected";
        return ShortfallChoice::cancel;
    };
    EXPECT_FALSE(presenter.Export(Path("d.csv"), csv, "40", never)) << "csv needs no width";
    EXPECT_FALSE(ReadWholeFile(Path("d.csv")).empty());
    EXPECT_EQ(presenter.Export(Path("d.c"), *FindExportFormat("q"), "40", never),
              "The width of integer exports must be B or B.F bits, B from 2 to 32.");
    EXPECT_FALSE(fs::exists(Path("d.c")));
    // Eight bits miss 60 dB: asked first, and nothing written when cancelled.
    std::string asked;
    const auto cancel = [&](const std::string& message) {
        asked = message;
        return ShortfallChoice::cancel;
    };
    EXPECT_FALSE(presenter.Export(Path("q.c"), *FindExportFormat("q"), "8", cancel));
    EXPECT_EQ(asked.rfind("The taps as q writes them miss the requirements: ", 0), 0u) << asked;
    EXPECT_FALSE(fs::exists(Path("q.c")));
    EXPECT_FALSE(presenter.Export(Path("q.c"), q15, "16", never));
    EXPECT_TRUE(fs::exists(Path("q.c")));
    // The window designs single-rate filters: a decimator's call is no choice of its exports,
    // nor an HDL filter while the Fixed point panel is off.
    for (const ExportFormat* format : presenter.ExportChoices())
        EXPECT_FALSE(format->takesRateChange || format->takesArithmetic) << format->name;
    EXPECT_EQ(presenter.ExportChoices().size(), presenter.ExportFilters().size());
}

// Saved and opened again: the same inputs, the same document to the byte, unknown members kept.
TEST_F(Presenter, ADocumentRoundTripsThroughThePresenter) {
    RequirementsPresenter presenter;
    WindowInputs inputs;
    inputs.rate = "48000";
    inputs.bands = PresetBands(BandPreset::bandPass, 48000);
    inputs.bands[1].toleranceDb = 0.5;
    inputs.method = "kaiser";
    ASSERT_NO_FATAL_FAILURE(Designed(presenter, inputs));
    presenter.MarkUnmodified();
    EXPECT_FALSE(presenter.Modified());
    EXPECT_EQ(presenter.DocumentName(), "Untitled");
    inputs.bands[1].toleranceDb = 0.25;
    ASSERT_NO_FATAL_FAILURE(Designed(presenter, inputs));
    EXPECT_TRUE(presenter.Modified());

    const std::string path = Path("bandpass.taplore");
    EXPECT_FALSE(presenter.Save(path));
    EXPECT_FALSE(presenter.Modified());
    EXPECT_EQ(presenter.Path(), path);
    EXPECT_EQ(presenter.DocumentName(), "bandpass.taplore");
    const std::string written = ReadWholeFile(path);
    EXPECT_EQ(written, WriteDocument(*presenter.Document()));

    RequirementsPresenter reopened;
    const WindowInputs read = reopened.Open(path);
    EXPECT_EQ(read, inputs);
    ASSERT_NO_FATAL_FAILURE(Designed(reopened, read));
    reopened.MarkUnmodified();
    const DesignDocument document = *reopened.Document();
    EXPECT_EQ(document.taps, presenter.Shown()->design.taps);
    EXPECT_EQ(WriteDocument(document), written);

    // A member this version does not know stays through the window's save.
    const std::size_t note = written.find("\"note\"");
    ASSERT_NE(note, std::string::npos);
    std::string extra(written, 0, note);
    extra += "\"reviewed_by\": \"QA\",\n  ";
    extra.append(written, note);
    WriteTextFile(Path("extra.taplore"), extra);
    RequirementsPresenter keeper;
    ASSERT_NO_FATAL_FAILURE(Designed(keeper, keeper.Open(Path("extra.taplore"))));
    EXPECT_FALSE(keeper.Save(Path("extra.taplore")));
    EXPECT_NE(ReadWholeFile(Path("extra.taplore")).find("\"reviewed_by\": \"QA\""),
              std::string::npos);

    // A fixed length comes back as one; New starts afresh, with no file.
    inputs.fixed = true;
    inputs.taps = 61;
    ASSERT_NO_FATAL_FAILURE(Designed(presenter, inputs));
    EXPECT_FALSE(presenter.Save(path));
    EXPECT_EQ(RequirementsPresenter().Open(path), inputs);
    EXPECT_EQ(presenter.New(), WindowInputs{});
    EXPECT_EQ(presenter.Path(), "");
}

TEST_F(Presenter, MinimumPhaseIsDesignedDescribedAndKeptInTheDocument) {
    WindowInputs inputs;
    inputs.minimumPhase = true;
    RequirementsPresenter presenter;
    ASSERT_NO_FATAL_FAILURE(Designed(presenter, inputs));
    const DesignAsk ask = *presenter.SetInputs(inputs);
    const MinimumPhaseDesign minimum = DesignMinimumPhase(ask.requirements, *ask.method, 0);
    ASSERT_TRUE(presenter.Accept(std::make_shared<const DesignShown>(DesignFor(ask))) ==
                RequirementsPresenter::Accepted::shown);
    EXPECT_EQ(presenter.Shown()->design.taps, minimum.design.taps);
    // The views are the minimum-phase taps', not a constant delay.
    const PlotData delay = presenter.SecondView(1);
    EXPECT_LT(*std::min_element(delay.y.begin(), delay.y.end()), 22.5 - 5);

    const ResultTexts texts = presenter.Result();
    EXPECT_EQ(texts.headline, "minimum-phase equiripple, 38 taps: meets the requirements");
    EXPECT_EQ(texts.phase, "minimum phase: group delay 3.77 to 10.4 samples over the pass bands, "
                           "mean 5.25, against 22.5 for linear phase.\n8 taps saved on linear "
                           "phase's 46; every zero within radius 0.997379 of the origin.");
    EXPECT_NE(texts.summary.find("8 taps saved"), std::string::npos);
    const std::string exported = Path("minimum.c");
    ASSERT_FALSE(presenter.Export(exported, *FindExportFormat("c"), "16",
                                  [](const std::string&) { return ShortfallChoice::asChosen; }));
    EXPECT_NE(ReadWholeFile(exported).find("8 taps saved on linear phase's 46"), std::string::npos);

    const std::string path = Path("minimum.taplore");
    EXPECT_FALSE(presenter.Save(path));
    EXPECT_NE(ReadWholeFile(path).find("\"phase\": \"minimum\""), std::string::npos);
    RequirementsPresenter reopened;
    EXPECT_EQ(reopened.Open(path), inputs);
    EXPECT_EQ(ReadDocument(ReadWholeFile(path)).taps, minimum.design.taps);

    // Linear phase again: no phase in the document, nothing of it in the texts.
    inputs.minimumPhase = false;
    ASSERT_NO_FATAL_FAILURE(Designed(presenter, inputs));
    EXPECT_EQ(presenter.Result().phase, "");
    EXPECT_EQ(WriteDocument(*presenter.Document()).find("\"phase\""), std::string::npos);
}

// The command line's pre-emphasis, asked in the window: the same design, kept in the document,
// and refused where the method or the phase keeps pass bands of gain 1 alone.
TEST_F(Presenter, ASlopedPassBandIsDesignedKeptAndRefusedWhereItCannotBe) {
    WindowInputs inputs;
    inputs.rate = "48000";
    inputs.bands = {PassRow(0, 8000), StopRow(12000, 24000)};
    inputs.bands[0].toleranceDb = 0.5;
    inputs.bands[0].endGain = 2;
    RequirementsPresenter presenter;
    ASSERT_NO_FATAL_FAILURE(Designed(presenter, inputs));
    const Band& asked = presenter.Shown()->design.report.requirements.bands[0];
    EXPECT_EQ(asked.endGain, 2.0);
    EXPECT_TRUE(asked.relative);
    EXPECT_EQ(presenter.TapCount(), 32);
    EXPECT_TRUE(Meets(presenter.Shown()->design.report));
    EXPECT_NE(presenter.Result().figures[0].band.find("gain 1..2"), std::string::npos)
        << presenter.Result().figures[0].band;

    const std::string path = Path("emphasis.taplore");
    EXPECT_FALSE(presenter.Save(path));
    RequirementsPresenter reopened;
    EXPECT_EQ(reopened.Open(path), inputs);
    ASSERT_NO_FATAL_FAILURE(Designed(reopened, inputs));
    EXPECT_EQ(reopened.Shown()->design.taps, presenter.Shown()->design.taps);

    const struct {
        const char* name;
        void (*edit)(WindowInputs&);
        const char* problem;
    } cases[] = {
        {"window method", [](WindowInputs& in) { in.method = "kaiser"; },
         "Band 1: a gain of 1..2 needs Equiripple or Least squares as the Method, not Kaiser "
         "window."},
        {"minimum phase", [](WindowInputs& in) { in.minimumPhase = true; },
         "Band 1: a gain of 1..2 needs Phase: Linear; Minimum keeps pass bands of gain 1."},
        {"flat gain of 2, window method",
         [](WindowInputs& in) {
             in.bands[0].gain = 2;
             in.method = "hann";
             in.fixed = true;
         },
         "Band 1: a gain of 2 needs Equiripple or Least squares as the Method, not Hann window."},
    };
    for (const auto& c : cases) {
        WindowInputs wrong = inputs;
        c.edit(wrong);
        EXPECT_FALSE(presenter.SetInputs(wrong)) << c.name;
        EXPECT_EQ(presenter.Problem(), c.problem) << c.name;
    }
}

TEST_F(Presenter, TheZerosViewHasTheZerosOfTheTapsWhenAskedAndSaysWhyPastTheLimit) {
    ASSERT_TRUE(RequirementsPresenter::IsZerosView(4));
    ASSERT_FALSE(RequirementsPresenter::IsZerosView(3));
    WindowInputs longWindow;
    longWindow.method = "hann";
    longWindow.fixed = true;
    longWindow.taps = kMaxZerosTaps + 1;
    WindowInputs minimum;
    minimum.minimumPhase = true;
    const struct {
        const char* name;
        WindowInputs inputs;
        std::string description, problem;
    } cases[] = {
        // A linear-phase pass band's zeros come in pairs of reciprocal radii.
        {"linear", WindowInputs{}, "45 zeros, 6 outside the unit circle.", ""},
        {"minimum phase", minimum, "37 zeros, none outside the unit circle.", ""},
        {"past the limit", longWindow,
         "The zeros could not be found: the zeros are found for up to 4096 taps.",
         "The zeros could not be found: the zeros are found for up to 4096 taps."},
    };
    for (const auto& c : cases) {
        RequirementsPresenter presenter;
        ASSERT_NO_FATAL_FAILURE(Designed(presenter, c.inputs));
        EXPECT_FALSE(presenter.HasZeros()) << c.name << ": found only when asked";
        presenter.AskZeros(true);
        ASSERT_NO_FATAL_FAILURE(Designed(presenter, c.inputs));
        ASSERT_TRUE(presenter.HasZeros()) << c.name;
        const ZerosData zeros = presenter.Zeros();
        EXPECT_EQ(zeros.name, "Zeros");
        EXPECT_EQ(zeros.description, c.description) << c.name;
        EXPECT_EQ(zeros.problem, c.problem) << c.name;
        if (c.problem.empty()) {
            EXPECT_EQ(zeros.zeros, FindZeros(presenter.Shown()->design.taps).zeros) << c.name;
        }
        EXPECT_TRUE(presenter.SecondView(4).y.empty()) << "the zeros are no curve";
    }
}

TEST_F(Presenter, WrongRequirementsAreNotSavedAndBadDocumentsAreRefusedWithWhereAndWhy) {
    RequirementsPresenter presenter;
    WindowInputs inputs;
    inputs.rate = "";
    presenter.SetInputs(inputs);
    const auto refused = presenter.Save(Path("no.taplore"));
    ASSERT_TRUE(refused);
    EXPECT_EQ(
        refused->rfind("The design cannot be saved while its requirements are wrong: Rate: ", 0),
        0u)
        << *refused;
    EXPECT_FALSE(fs::exists(Path("no.taplore")));

    WriteTextFile(Path("bad.taplore"), "{\"format\": \"taplore-design\",\n \"version\": 1,,}");
    try {
        presenter.Open(Path("bad.taplore"));
        ADD_FAILURE() << "a malformed document was opened";
    } catch (const DocumentError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("line 2, column 15: ", 0), 0u) << e.what();
    }
    DesignDocument bands;
    bands.requirements.rate = 8000;
    bands.requirements.bands = {{100, 3900, 0.5, 2.5}};
    bands.tolerances = false;
    bands.length = 31;
    WriteTextFile(Path("bands.taplore"), WriteDocument(bands));
    EXPECT_THROW(presenter.Open(Path("bands.taplore")), DocumentError);
    EXPECT_EQ(presenter.Path(), "") << "a refused document is not the window's";
    EXPECT_EQ(RequirementsPresenter::OpenRefusal("/x/bad.taplore", "line 2, column 15: oops"),
              "Cannot open bad.taplore: line 2, column 15: oops.");
}

TEST(WindowBands, PresetsAddedBandsAndSettingsAsTheTableHadThem) {
    const std::vector<BandRow> lowPass = PresetBands(BandPreset::lowPass, 8000);
    ASSERT_EQ(lowPass, (std::vector<BandRow>{{true, 0, 1000, 0.1}, {false, 1500, 4000, 60}}));
    const AddedBand added = BandToAdd(lowPass, 0, 8000);
    EXPECT_EQ(added.at, 1);
    EXPECT_EQ(added.band, (BandRow{false, 1166.7, 1333.3, 60}));
    EXPECT_EQ(BandToAdd(lowPass, -1, 8000).at, 2);
    EXPECT_EQ(BandSettingText(lowPass[0]), "pass,0,1000,0.1");
    EXPECT_EQ(BandOfSettingText("stop,1500,4000,60"), lowPass[1]);
    for (const char* wrong :
         {"", "pass,0,1000", "pass,0,1000,", "pass,a,1,2", "pass,0,1,2,x", "pass,0,1,2,1,1",
          "pass,0,1,2,0..1", "pass,0,1,2,-1", "pass,0,1,2,", "pass,0,1,2,1..inf", "stop,0,1,60,1"})
        EXPECT_FALSE(BandOfSettingText(wrong)) << wrong;
}

// A pass band's gain follows its tolerance only where it is not 1: the settings of flat bands
// read and write as they always did.
TEST(WindowBands, SettingsKeepAPassBandsGainWhereItIsNot1) {
    BandRow sloped = PassRow(0, 1000);
    sloped.endGain = 0.5;
    BandRow flat = PassRow(0, 1000);
    flat.gain = flat.endGain = 2;
    const std::pair<BandRow, const char*> cases[] = {
        {PassRow(0, 1000), "pass,0,1000,0.1"},
        {StopRow(1500, 4000), "stop,1500,4000,60"},
        {sloped, "pass,0,1000,0.1,1..0.5"},
        {flat, "pass,0,1000,0.1,2"},
    };
    for (const auto& [row, text] : cases) {
        EXPECT_EQ(BandSettingText(row), text);
        EXPECT_EQ(BandOfSettingText(text), row) << text;
        EXPECT_EQ(RowOf(DesignBand(row), row.toleranceDb), row) << text;
    }
    EXPECT_EQ(RowGainText(sloped), "1..0.5");
    EXPECT_EQ(RowGainText(StopRow(1500, 4000)), "");
    EXPECT_FALSE(DesignBand(PassRow(0, 1000)).relative);
    EXPECT_EQ(DesignBand(flat).endGain, std::nullopt);
    EXPECT_EQ(DesignBand(StopRow(1500, 4000)).gain, 0.0);
}

TEST(RecentDocuments, KeepEachOnceNewestFirstAtMostEight) {
    std::vector<std::string> recent;
    for (int i = 0; i < 10; ++i)
        recent = WithRecent(recent, "/d/" + std::to_string(i));
    ASSERT_EQ(recent.size(), 8u);
    EXPECT_EQ(recent.front(), "/d/9");
    EXPECT_EQ(recent.back(), "/d/2");
    recent = WithRecent(recent, "/d/5");
    EXPECT_EQ(recent.size(), 8u);
    EXPECT_EQ(recent[0], "/d/5");
    EXPECT_EQ(recent[1], "/d/9");
}

// The copies' names carry their process, by which a crashed session's are told apart.
TEST(RecoveryCopies, NamesCarryTheProcessAndQuestionsTheirTexts) {
    EXPECT_EQ(RecoveryName(1234, 2), "recovery-1234-2");
    EXPECT_EQ(RecoveryPid("recovery-1234-2.taplore"), 1234);
    for (const char* other :
         {"recovery-1234-2.origin", "recovery--2.taplore", "recovery-12.taplore",
          "recovery-1x-2.taplore", "recovery-1-.taplore", "design.taplore"})
        EXPECT_FALSE(RecoveryPid(other)) << other;
    EXPECT_EQ(RecoveryQuestion(14, 32), "Recover the unsaved design from 14:32?");
    EXPECT_EQ(RecoveryQuestion(9, 5), "Recover the unsaved design from 09:05?");
    EXPECT_EQ(SaveChangesQuestion("Untitled"), "Save the changes to Untitled?");
}

} // namespace
