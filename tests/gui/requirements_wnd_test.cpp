// The requirements window as its user meets it: the presets, a design after each pause in the
// typing with the engine's own taps, a wrong band said in place while the last design stays,
// the margins in green and red, an export equal to the command line's, the settings kept.
#include "gui_helpers.h"

#include "core/design/requirements_design.h"
#include "core/formats/crt.h"
#include "gui/requirements/band_model.h"
#include "gui/requirements/requirements_wnd.h"
#include "gui/value_list.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The example of the command line's manual.
const QString kExample = "--rate 8000 --pass 0:1000 --stop 1500:4000 --ripple 0.1 --atten 60";

class RequirementsWnd : public testing::Test {
protected:
    // Each test starts from no settings, in a folder of its own.
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }

    template <class T> static T* Find(const CRequirementsWnd& wnd, const char* name) {
        T* control = wnd.findChild<T*>(name);
        if (!control)
            ADD_FAILURE() << "no control named " << name;
        return control;
    }

    // Waits for the next design to be shown after `before` were.
    static bool NextDesign(const CRequirementsWnd& wnd, int before) {
        return QTest::qWaitFor([&] { return wnd.DesignsShown() > before; }, 20000);
    }

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

    QTemporaryDir m_settings;
};

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
        ASSERT_EQ(model.Bands().size(), c.bands.size());
        for (qsizetype i = 0; i < c.bands.size(); ++i) {
            const BandRow& got = model.Bands()[i];
            EXPECT_EQ(got.pass, c.bands[i].pass);
            EXPECT_EQ(got.lowHz, c.bands[i].lowHz);
            EXPECT_EQ(got.highHz, c.bands[i].highHz);
            EXPECT_EQ(got.toleranceDb, c.bands[i].toleranceDb);
        }
    }
    // A number is read with "." whatever the locale, and a text that is none is refused.
    EXPECT_FALSE(model.setData(model.index(0, BandModel::high), "1,5"));
    EXPECT_TRUE(model.setData(model.index(0, BandModel::high), "1200.5"));
    EXPECT_EQ(model.Bands()[0].highHz, 1200.5);
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
    ASSERT_TRUE(bands->setData(bands->index(1, BandModel::low), "1500"));
    ASSERT_TRUE(NextDesign(wnd, 1));
    EXPECT_EQ(Find<QLabel>(wnd, "labelProblem")->text(), "");
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

// The list offers every method of the table by its title, and keeps the choice by name: a
// number an older version saved, or a name no longer known, reads as the default.
TEST_F(RequirementsWnd, TheMethodListIsTheTableAndItsChoiceIsKeptByName) {
    for (const QVariant& saved : {QVariant(1), QVariant("remez")}) {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Taplore", "requirements")
            .setValue("method", saved);
        CRequirementsWnd wnd;
        auto* methods = Find<QComboBox>(wnd, "comboMethod");
        ASSERT_EQ(methods->count(), static_cast<int>(taplore::Methods().size()));
        for (int i = 0; i < methods->count(); ++i)
            EXPECT_EQ(methods->itemText(i).toStdString(), taplore::Methods()[i].title);
        EXPECT_EQ(methods->currentIndex(), 0) << saved.toString().toStdString();
    }
}

} // namespace
