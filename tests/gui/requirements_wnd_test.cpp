// The requirements window as its user meets it: the presets, a design after each pause in the
// typing with the engine's own taps, a wrong band said in place while the last design stays,
// the margins in green and red, an export equal to the command line's, the settings kept.
#include "gui_helpers.h"
#include "requirements_fixture.h"

#include "core/design/pulse_shaping.h"
#include "core/design/requirements_design.h"
#include "core/formats/crt.h"
#include "gui/requirements/band_model.h"
#include "gui/requirements/document_file.h"
#include "gui/requirements/plot_wnd.h"
#include "gui/requirements/requirements_wnd.h"
#include "gui/value_list.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class RequirementsWnd : public RequirementsWndTest {
protected:
    static QStringList Taps(const CRequirementsWnd& wnd) {
        const auto* list = Find<ValueList>(wnd, "listTaps");
        QStringList taps;
        for (int row = 0; row < list->count(); ++row)
            taps << list->text(row);
        return taps;
    }

    static BandModel* Bands(const CRequirementsWnd& wnd) {
        return qobject_cast<BandModel*>(Find<QTableView>(wnd, "tableBands")->model());
    }

    static QString Problem(const CRequirementsWnd& wnd) {
        return Find<QLabel>(wnd, "labelProblem")->text();
    }
};

void ExpectBands(const QVector<BandRow>& got, const QVector<BandRow>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (qsizetype i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].pass, want[i].pass) << "band " << i;
        EXPECT_EQ(got[i].lowHz, want[i].lowHz) << "band " << i;
        EXPECT_EQ(got[i].highHz, want[i].highHz) << "band " << i;
        EXPECT_EQ(got[i].toleranceDb, want[i].toleranceDb) << "band " << i;
    }
}

TEST(BandPresets, GiveTheFourShapesInSixteenthsOfTheRate) {
    BandModel model;
    const struct {
        BandPreset preset;
        QVector<BandRow> bands;
    } cases[] = {
        {BandPreset::lowPass, {{true, 0, 1000, 0.1}, {false, 1500, 4000, 60}}},
        {BandPreset::highPass, {{false, 0, 2500, 60}, {true, 3000, 4000, 0.1}}},
        {BandPreset::bandPass,
         {{false, 0, 500, 60}, {true, 1000, 2000, 0.1}, {false, 2500, 4000, 60}}},
        {BandPreset::bandStop,
         {{true, 0, 500, 0.1}, {false, 1000, 2000, 60}, {true, 2500, 4000, 0.1}}},
    };
    for (const auto& c : cases) {
        model.SetPreset(c.preset, 8000);
        ExpectBands(model.Bands(), c.bands);
    }
    // A number is read with "." whatever the locale, and a text that is none is refused.
    EXPECT_FALSE(model.setData(model.index(0, BandModel::high), "1,5"));
    EXPECT_TRUE(model.setData(model.index(0, BandModel::high), "1200.5"));
    EXPECT_EQ(model.Bands()[0].highHz, 1200.5);
}

// The other kind than the band before in the middle third of the gap, 0.1 dB or 60 dB, its
// edges rounded to what the rate resolves: 1500 + 2500 / 3 is 2333.33…, to 0.1 Hz at 8 kHz.
TEST(BandEdits, AddFillsTheMiddleThirdOfTheGapRoundedAndRemoveTakesTheRow) {
    const QVector<BandRow> lowPass{{true, 0, 1000, 0.1}, {false, 1500, 4000, 60}};
    const struct {
        int row;
        double rate;
        int added;
        QVector<BandRow> bands;
    } cases[] = {
        {0, 8000, 1, {lowPass[0], {false, 1166.7, 1333.3, 60}, lowPass[1]}},
        {-1, 8000, 2, {lowPass[0], lowPass[1], {true, 4000, 4000, 0.1}}},
        {1, 62050, 2, {lowPass[0], lowPass[1], {true, 13008, 22017, 0.1}}},
    };
    for (const auto& c : cases) {
        BandModel model;
        model.SetBands(lowPass);
        model.AddBand(c.row, c.rate);
        ExpectBands(model.Bands(), c.bands);
        model.RemoveBand(c.added);
        model.RemoveBand(7);
        ExpectBands(model.Bands(), lowPass);
    }
    // A band that changes kind asks for its kind's tolerance; the same kind keeps its own.
    BandModel model;
    model.SetBands(lowPass);
    EXPECT_TRUE(model.setData(model.index(0, BandModel::kind), "Pass"));
    EXPECT_EQ(model.Bands()[0].toleranceDb, 0.1);
    EXPECT_TRUE(model.setData(model.index(0, BandModel::kind), "stop"));
    EXPECT_EQ(model.Bands()[0].toleranceDb, 60);
    EXPECT_EQ(model.Bands()[0].highHz, 1000);
}

TEST_F(RequirementsWnd, AnEditRedesignsAfterThePauseWithTheEnginesTaps) {
    CRequirementsWnd wnd;
    wnd.show();
    QApplication::setActiveWindow(&wnd);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&wnd));
    ASSERT_TRUE(NextDesign(wnd, 0));
    // The pass band's ripple typed into its cell, as the keyboard edits the table.
    auto* table = Find<QTableView>(wnd, "tableBands");
    table->setFocus();
    table->setCurrentIndex(Bands(wnd)->index(0, BandModel::tolerance));
    QTest::keyClick(table, Qt::Key_F2);
    QWidget* cell = QApplication::focusWidget();
    QTest::keyClick(cell, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(cell, "0.5");
    QTest::keyClick(cell, Qt::Key_Return);
    EXPECT_EQ(wnd.DesignsShown(), 1) << "nothing before the pause";
    ASSERT_TRUE(NextDesign(wnd, 1));

    taplore::Requirements r;
    r.rate = 8000;
    r.bands = {{0, 1000, 1, 1, 0.5}, {1500, 4000, 0, 1, 60}};
    const auto design = taplore::DesignToTolerances(r, taplore::DefaultMethod(), 0);
    QStringList want;
    for (const double tap : design.taps)
        want << QString::fromStdString(crt::FormatF(tap));
    EXPECT_EQ(Taps(wnd), want);
    EXPECT_EQ(Find<QLabel>(wnd, "labelHeadline")->text().toStdString(),
              "equiripple, " + std::to_string(design.taps.size()) +
                  " taps: meets the requirements; " + std::to_string(design.taps.size() - 1) +
                  " and " + std::to_string(design.taps.size() - 2) + " taps miss");
}

TEST_F(RequirementsWnd, AWrongBandIsSaidInPlaceAndTheLastDesignStays) {
    CRequirementsWnd wnd;
    wnd.show();
    ASSERT_TRUE(NextDesign(wnd, 0));
    const QStringList taps = Taps(wnd);
    BandModel* bands = Bands(wnd);
    ASSERT_TRUE(bands->setData(bands->index(1, BandModel::low), "900"));
    EXPECT_EQ(Find<QLabel>(wnd, "labelProblem")->text(), "Band 2: it overlaps the band below it.");
    EXPECT_EQ(Taps(wnd), taps);
    // Said no longer as soon as the band reads right, before the design is back.
    ASSERT_TRUE(bands->setData(bands->index(1, BandModel::low), "1500"));
    EXPECT_EQ(Problem(wnd), "");
    ASSERT_TRUE(NextDesign(wnd, 1));
}

// Save and Export write the design of the requirements shown or nothing: while there is none,
// they say why, and the figures and taps fade with the plots.
TEST_F(RequirementsWnd, SaveAndExportWaitForTheDesignOfTheRequirementsShown) {
    CRequirementsWnd wnd;
    ShowDesigned(wnd);
    // The taps' text and the figures' colours, as drawn.
    const auto faded = [&](const char* name) {
        const auto* control = Find<QWidget>(wnd, name);
        return control->palette().color(QPalette::Text) !=
               QApplication::palette().color(QPalette::Text);
    };
    const auto figureFaded = [&] {
        return Find<QTableWidget>(wnd, "tableFigures")->item(0, 3)->foreground().color().alpha() <
               255;
    };
    const auto expectState = [&](bool current, const QString& why) {
        for (const char* name : {"save", "export"}) {
            const auto* button = Find<QPushButton>(wnd, name);
            EXPECT_EQ(button->isEnabled(), current) << name;
            EXPECT_EQ(button->toolTip(),
                      current ? QString() : "No design for the requirements shown: " + why);
        }
        EXPECT_EQ(faded("tableFigures"), !current);
        EXPECT_EQ(figureFaded(), !current);
        EXPECT_EQ(faded("listTaps"), !current);
    };
    expectState(true, {});
    auto* rate = Find<QLineEdit>(wnd, "editRate");
    rate->clear();
    ASSERT_TRUE(Problem(wnd).startsWith("Rate: ")) << Problem(wnd).toStdString();
    EXPECT_TRUE(wnd.windowTitle().endsWith("out of date"));
    expectState(false, Problem(wnd));
    rate->setText("8000");
    EXPECT_TRUE(wnd.windowTitle().endsWith("designing…"));
    expectState(false, "the design of the requirements shown is under way.");
    ASSERT_TRUE(NextDesign(wnd, 1));
    expectState(true, {});
}

// A cell's text that is no number, or no kind, is said in place instead of dropped silently;
// a number too large for a double is refused by the requirements, not designed.
TEST_F(RequirementsWnd, ARefusedCellSaysWhyInPlace) {
    CRequirementsWnd wnd;
    ShowDesigned(wnd);
    auto* table = Find<QTableView>(wnd, "tableBands");
    const struct {
        int column;
        QString typed, said;
    } cases[] = {
        {BandModel::high, "22050,5",
         R"(Band 1, To (Hz): "22050,5" is not a number; numbers take "." as the decimal point.)"},
        {BandModel::low, "abc",
         R"(Band 1, From (Hz): "abc" is not a number; numbers take "." as the decimal point.)"},
    };
    for (const auto& c : cases) {
        table->setFocus();
        table->setCurrentIndex(Bands(wnd)->index(0, c.column));
        QTest::keyClick(table, Qt::Key_F2);
        QWidget* cell = QApplication::focusWidget();
        QTest::keyClick(cell, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(cell, c.typed);
        QTest::keyClick(cell, Qt::Key_Return);
        EXPECT_EQ(Problem(wnd), c.said);
    }
    EXPECT_FALSE(Bands(wnd)->setData(Bands(wnd)->index(1, BandModel::kind), "both"));
    EXPECT_EQ(Problem(wnd), R"(Band 2, Band: the kind is pass or stop, not "both".)");
    EXPECT_EQ(Bands(wnd)->Bands()[0].highHz, 1000) << "the refused texts changed nothing";

    ASSERT_TRUE(Bands(wnd)->setData(Bands(wnd)->index(1, BandModel::high), "1e999"));
    EXPECT_TRUE(Problem(wnd).startsWith("Band 2: ")) << Problem(wnd).toStdString();
    EXPECT_FALSE(Find<QPushButton>(wnd, "save")->isEnabled());
}

// The command line's pre-emphasis typed into the Gain cell: the design follows the line, a text
// that is no gain is said in place, a stop band's gain is not edited, and the line is kept.
TEST_F(RequirementsWnd, AGainLineTypedIntoItsCellIsDesignedAndKept) {
    {
        CRequirementsWnd wnd;
        ShowDesigned(wnd);
        Find<QLineEdit>(wnd, "editRate")->setText("48000");
        Bands(wnd)->SetBands({BandRow{true, 0, 8000, 0.5}, BandRow{false, 12000, 24000, 60}});
        ASSERT_TRUE(NextDesign(wnd, 1));
        auto* table = Find<QTableView>(wnd, "tableBands");
        const auto type = [&](int row, const QString& text) {
            table->setFocus();
            table->setCurrentIndex(Bands(wnd)->index(row, BandModel::gain));
            QTest::keyClick(table, Qt::Key_F2);
            QWidget* cell = QApplication::focusWidget();
            QTest::keyClick(cell, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(cell, text);
            QTest::keyClick(cell, Qt::Key_Return);
        };
        EXPECT_EQ(Bands(wnd)->data(Bands(wnd)->index(0, BandModel::gain)).toString(), "1");
        const int shown = wnd.DesignsShown();
        type(0, "1..2");
        EXPECT_EQ(Bands(wnd)->data(Bands(wnd)->index(0, BandModel::gain)).toString(), "1..2");
        ASSERT_TRUE(NextDesign(wnd, shown));

        taplore::Requirements r;
        r.rate = 48000;
        r.bands = {{0, 8000, 1, 1, 0.5, 2.0, true}, {12000, 24000, 0, 1, 60}};
        const auto design = taplore::DesignToTolerances(r, taplore::DefaultMethod(), 0);
        ASSERT_EQ(design.taps.size(), 32u);
        QStringList want;
        for (const double tap : design.taps)
            want << QString::fromStdString(crt::FormatF(tap));
        EXPECT_EQ(Taps(wnd), want);
        EXPECT_TRUE(Find<QLabel>(wnd, "labelHeadline")
                        ->text()
                        .startsWith("equiripple, 32 taps: meets the requirements"));

        type(0, "0..2");
        EXPECT_EQ(Problem(wnd), R"(Band 1, Gain: "0..2" is not a gain; a gain is a number above )"
                                R"(0, or G1..G2 for a line from the low edge to the high one, )"
                                R"(with "." as the decimal point.)");
        EXPECT_EQ(Bands(wnd)->Bands()[0].endGain, 2) << "the refused text changed nothing";
        EXPECT_FALSE(Bands(wnd)->flags(Bands(wnd)->index(1, BandModel::gain)) & Qt::ItemIsEditable);
        EXPECT_EQ(Bands(wnd)->data(Bands(wnd)->index(1, BandModel::gain)).toString(), "");
        wnd.close();
    }
    CRequirementsWnd wnd;
    ASSERT_EQ(Bands(wnd)->Bands().size(), 2);
    EXPECT_EQ(Bands(wnd)->Bands()[0].gain, 1);
    EXPECT_EQ(Bands(wnd)->Bands()[0].endGain, 2);
}

// Keys typed fast after Enter go to the table, not to the closed cell: "1200", Enter, "1300"
// once made "12001300", and the late commit warned of an editor not of this view.
TEST_F(RequirementsWnd, EnterCommitsToTheCellBeingEditedAtOnce) {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings << text; });
    const struct {
        QString keys; // '\n' is Enter, 'v' the down arrow
        double firstHigh, secondHigh;
    } cases[] = {{"1200\n1300\n", 1300, 4000}, {"1200\nv1600\n", 1200, 1600}};
    for (const auto& c : cases) {
        CRequirementsWnd wnd;
        ShowDesigned(wnd);
        auto* table = Find<QTableView>(wnd, "tableBands");
        table->setFocus();
        table->setCurrentIndex(Bands(wnd)->index(0, BandModel::high));
        // No event is handled between the keys, as when they come faster than the loop runs.
        for (const QChar key : c.keys) {
            QWidget* focus = QApplication::focusWidget();
            if (key == '\n')
                QTest::keyClick(focus, Qt::Key_Return);
            else if (key == 'v')
                QTest::keyClick(focus, Qt::Key_Down);
            else
                QTest::keyClick(focus, key.toLatin1());
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(Bands(wnd)->Bands()[0].highHz, c.firstHigh) << c.keys.toStdString();
        EXPECT_EQ(Bands(wnd)->Bands()[1].highHz, c.secondHigh) << c.keys.toStdString();
    }
    qInstallMessageHandler(previous);
    for (const QString& warning : warnings)
        EXPECT_FALSE(warning.contains("commitData")) << warning.toStdString();
}

// The width is told wrong as it is typed; only a format whose width is chosen needs it.
TEST_F(RequirementsWnd, ABadBitsValueIsToldAsTypedAndHoldsUpOnlyIntegerExports) {
    CRequirementsWnd wnd;
    ShowDesigned(wnd);
    auto* bits = Find<QLineEdit>(wnd, "editBits");
    const auto* said = Find<QLabel>(wnd, "labelBitsProblem");
    bits->setText("40");
    EXPECT_EQ(said->text(), "must be B or B.F, B from 2 to 32");
    QTemporaryDir folder;
    const auto chooseCsv = ChooseFormat(folder.path(), "design", "csv");
    {
        ModalWatcher watcher({chooseCsv});
        QTest::mouseClick(Find<QPushButton>(wnd, "export"), Qt::LeftButton);
        EXPECT_TRUE(watcher.Messages().empty());
    }
    EXPECT_TRUE(QFile::exists(folder.filePath("design.csv")));
    bits->setText("18.17");
    EXPECT_EQ(said->text(), "");
}

TEST_F(RequirementsWnd, ShiftF10OpensTheCoefficientsCopyMenu) {
    CRequirementsWnd wnd;
    ShowDesigned(wnd);
    auto* list = Find<ValueList>(wnd, "listTaps");
    list->setFocus();
    ModalWatcher watcher;
    QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].kind, "menu");
    EXPECT_TRUE(watcher.Seen()[0].text.startsWith("&Copy|Copy at &full precision|"))
        << watcher.Seen()[0].text.toStdString();
}

// Titles name their unit or none; ticks read as their step, clear of the axis title.
TEST_F(RequirementsWnd, PlotsReadAsWritten) {
    CRequirementsWnd wnd;
    ShowDesigned(wnd);
    const auto* view = Find<CPlotWnd>(wnd, "plotView");
    const struct {
        QString view, x, y;
    } cases[] = {
        {"Phase", "Frequency (Hz)", "Phase (degrees)"},
        {"Impulse response", "Time (samples)", "Impulse response"},
        {"Step response", "Time (samples)", "Step response"},
    };
    const QRegularExpression tick(R"(^-?\d+(\.\d{1,4})?$)");
    for (const auto& c : cases) {
        Find<QComboBox>(wnd, "comboView")->setCurrentText(c.view);
        EXPECT_EQ(view->AxisTitleText(Qt::Horizontal), c.x);
        EXPECT_EQ(view->AxisTitleText(Qt::Vertical), c.y);
        int widest = 0;
        for (const Qt::Orientation axis : {Qt::Horizontal, Qt::Vertical})
            for (const QString& text : view->TickTexts(axis)) {
                EXPECT_TRUE(tick.match(text).hasMatch()) << text.toStdString();
                if (axis == Qt::Vertical)
                    widest = std::max(widest, view->fontMetrics().horizontalAdvance(text));
            }
        // The y title stands in the first line's height from the left edge.
        EXPECT_GT(view->PlotArea().left() - widest, view->fontMetrics().height() + 2)
            << c.view.toStdString();
    }
}

// Zoomed, both axes show the pass band: 0 to 1000 Hz of the low-pass, and its ripple.
TEST_F(RequirementsWnd, ZoomToPassBandZoomsFrequencyToo) {
    CRequirementsWnd wnd;
    ShowDesigned(wnd);
    const auto* magnitude = Find<CPlotWnd>(wnd, "plotMagnitude");
    EXPECT_EQ(magnitude->TickTexts(Qt::Horizontal).last(), "4000");
    Find<QCheckBox>(wnd, "checkZoom")->setChecked(true);
    EXPECT_EQ(magnitude->TickTexts(Qt::Horizontal),
              (QStringList{"0", "200", "400", "600", "800", "1000"}));
    EXPECT_EQ(magnitude->TickTexts(Qt::Vertical).first(), "-0.10");
}

TEST_F(RequirementsWnd, MarginsAreGreenWhereMetAndRedWhereMissed) {
    CRequirementsWnd wnd;
    wnd.show();
    ASSERT_TRUE(NextDesign(wnd, 0));
    const auto colours = [&] {
        QList<QColor> found;
        const auto* figures = Find<QTableWidget>(wnd, "tableFigures");
        for (int row = 0; row < figures->rowCount(); ++row)
            found << figures->item(row, 3)->foreground().color();
        return found;
    };
    EXPECT_EQ(colours(), (QList<QColor>{QColor(0, 128, 0), QColor(0, 128, 0)}));
    EXPECT_EQ(Find<QLabel>(wnd, "labelShorter")->text(),
              "45 taps miss by 0.59 dB, 44 taps by 2.34 dB");

    Find<QRadioButton>(wnd, "radioFixed")->setChecked(true);
    Find<QSpinBox>(wnd, "spinTaps")->setValue(30);
    ASSERT_TRUE(NextDesign(wnd, 1));
    EXPECT_TRUE(colours().contains(QColor(200, 0, 0)));
    EXPECT_EQ(Find<QLabel>(wnd, "labelShorter")->text(), "") << "no search, nothing shorter";
}

TEST_F(RequirementsWnd, PlotsHaveNamesAndASummaryForScreenReaders) {
    CRequirementsWnd wnd;
    wnd.show();
    ASSERT_TRUE(NextDesign(wnd, 0));
    const auto* magnitude = Find<QWidget>(wnd, "plotMagnitude");
    EXPECT_EQ(magnitude->accessibleName(), "Magnitude");
    EXPECT_EQ(
        magnitude->accessibleDescription(),
        "equiripple, 46 taps: meets the requirements; 45 and 44 taps miss. pass 0 to 1000 Hz: "
        "ripple 0.085 dB (0.1 dB asked). stop 1500 to 4000 Hz: attenuation 61.42 dB (60 "
        "dB asked). the search designed 3 lengths.");
    Find<QComboBox>(wnd, "comboView")->setCurrentText("Group delay");
    const auto* view = Find<QWidget>(wnd, "plotView");
    EXPECT_EQ(view->accessibleName(), "Group delay");
    EXPECT_EQ(view->accessibleDescription(), "Group delay from 22.5 to 22.5 samples.");
}

TEST_F(RequirementsWnd, AnExportIsWhatTheCommandLineWritesForTheSameRequirements) {
    CRequirementsWnd wnd;
    wnd.show();
    ASSERT_TRUE(NextDesign(wnd, 0));
    QTemporaryDir folder;
    for (const QString format : {"csv", "json", "c-q15"}) {
        const auto chooseFormat = [&](QWidget* window) {
            auto* dialog = qobject_cast<QFileDialog*>(window);
            for (const QString& filter : dialog->nameFilters())
                if (filter.startsWith(format + ":"))
                    dialog->selectNameFilter(filter);
            ChooseFile(folder.path(), "design")(window);
        };
        ModalWatcher watcher({chooseFormat});
        QTest::mouseClick(Find<QPushButton>(wnd, "export"), Qt::LeftButton);
        ASSERT_TRUE(watcher.Messages().empty());
        const QString want = DesignerOutput(kExample + " --quiet --format " + format);
        const QString extension = format == "c-q15" ? "c" : format;
        QFile file(folder.filePath("design." + extension));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << format.toStdString();
        EXPECT_EQ(QString::fromLatin1(file.readAll()), want) << format.toStdString();
    }
}

TEST_F(RequirementsWnd, TheLastRequirementsComeBackAtTheNextStart) {
    {
        CRequirementsWnd wnd;
        wnd.show();
        Find<QLineEdit>(wnd, "editRate")->setText("48000");
        Bands(wnd)->SetPreset(BandPreset::bandStop, 48000);
        Find<QComboBox>(wnd, "comboMethod")->setCurrentIndex(1);
        wnd.close();
    }
    CRequirementsWnd wnd;
    EXPECT_EQ(Find<QLineEdit>(wnd, "editRate")->text(), "48000");
    EXPECT_EQ(Find<QComboBox>(wnd, "comboMethod")->currentText(), "Kaiser window");
    ASSERT_EQ(Bands(wnd)->Bands().size(), 3);
    EXPECT_EQ(Bands(wnd)->Bands()[1].lowHz, 6000);
    EXPECT_FALSE(Bands(wnd)->Bands()[1].pass);
}

// A length beyond what the bands need is told as information, in the text's own colour, not as
// a problem in red.
TEST_F(RequirementsWnd, ADesignsNoteIsInformationNotAProblem) {
    CRequirementsWnd wnd;
    ShowDesigned(wnd);
    Find<QLineEdit>(wnd, "editRate")->setText("48000");
    Bands(wnd)->SetBands({{true, 0, 8000, 0.1}, {false, 12000, 24000, 60}});
    Find<QRadioButton>(wnd, "radioFixed")->setChecked(true);
    Find<QSpinBox>(wnd, "spinTaps")->setValue(201);
    const auto* note = Find<QLabel>(wnd, "labelNote");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !note->text().isEmpty(); }, 20000));
    EXPECT_EQ(note->text(),
              "Note: the optimum lies below what double taps resolve: 157 taps reach the same.");
    EXPECT_EQ(note->palette().color(QPalette::WindowText),
              QApplication::palette().color(QPalette::WindowText));
    EXPECT_EQ(Problem(wnd), "");
}

// One spelling for each window, in the list and in the headline.
TEST_F(RequirementsWnd, TheHeadlineSpellsTheWindowAsTheListDoes) {
    CRequirementsWnd wnd;
    ShowDesigned(wnd);
    Find<QSpinBox>(wnd, "spinTaps")->setValue(51);
    auto* methods = Find<QComboBox>(wnd, "comboMethod");
    int shown = wnd.DesignsShown();
    for (const char* name : {"hamming", "blackman-harris"}) {
        methods->setCurrentIndex(methods->findData(name));
        ASSERT_TRUE(NextDesign(wnd, shown));
        shown = wnd.DesignsShown();
        EXPECT_TRUE(Find<QLabel>(wnd, "labelHeadline")
                        ->text()
                        .startsWith(methods->currentText() + ", 51 taps"))
            << Find<QLabel>(wnd, "labelHeadline")->text().toStdString();
    }
    EXPECT_EQ(methods->itemText(methods->findData("blackman-harris")), "Blackman–Harris window");
}

// The list offers every method of the table by its title, then the pulses, and keeps the choice by
// name: none saved (a first start), a number an older version saved, or a name no longer known,
// reads as the default, shown by its title rather than as the separator's blank.
TEST_F(RequirementsWnd, TheMethodListIsTheTableAndItsChoiceIsKeptByName) {
    for (const QVariant& saved : {QVariant(), QVariant(1), QVariant("remez")}) {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Taplore",
                           "requirements");
        if (saved.isValid())
            settings.setValue("method", saved);
        else
            settings.remove("method");
        settings.sync();
        CRequirementsWnd wnd;
        auto* methods = Find<QComboBox>(wnd, "comboMethod");
        // The pulses follow the methods, after a separator.
        ASSERT_EQ(methods->count(),
                  static_cast<int>(taplore::Methods().size() + 1 + taplore::PulseShapes().size()));
        for (int i = 0; i < static_cast<int>(taplore::Methods().size()); ++i)
            EXPECT_EQ(methods->itemText(i).toStdString(), taplore::Methods()[i].title);
        EXPECT_EQ(methods->currentIndex(), 0) << saved.toString().toStdString();
        EXPECT_EQ(methods->currentText().toStdString(), taplore::DefaultMethod().title)
            << saved.toString().toStdString();
    }
}

} // namespace
