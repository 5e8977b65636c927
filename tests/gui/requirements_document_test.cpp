// The requirements window's design document as its user meets it: opened from the menu, a
// drop or the recent list, its name in the title with the modified mark, Save As and Save,
// the three answers to closing with changes, a refused document said with where and why, and
// the recovery copy kept while there are changes and offered once its session is gone. The
// window's boxes are answered through its asks, not by timers.
#include "gui_helpers.h"

#include "core/document/design_document.h"
#include "core/document/recovery.h"
#include "core/document/requirements_presenter.h"
#include "core/io/file_input.h"
#include "gui/requirements/band_model.h"
#include "gui/requirements/document_file.h"
#include "gui/requirements/requirements_wnd.h"
#include "gui/value_list.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <deque>

namespace {

using taplore::WindowInputs;

class RequirementsDocument : public testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        qputenv("XDG_STATE_HOME", m_state.path().toLocal8Bit());
        CDocumentFile::Asks& asks = CDocumentFile::TheAsks();
        asks.saveChanges = [this](QWidget*, const QString& text) {
            m_asked << text;
            if (m_answers.empty()) {
                ADD_FAILURE() << "unexpected question: " << text.toStdString();
                return QMessageBox::Cancel;
            }
            const QMessageBox::StandardButton answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        };
        asks.recover = [this](QWidget*, const QString& text) {
            m_asked << text;
            return m_recover;
        };
        asks.chooseFile = [this](QWidget*, bool save, const QString&) {
            m_asked << (save ? "save as" : "open");
            if (m_files.empty()) {
                ADD_FAILURE() << "no file to choose";
                return QString();
            }
            const QString file = m_files.front();
            m_files.pop_front();
            return file;
        };
        asks.tell = [this](QWidget*, const QString&, const QString& text) { m_told << text; };
    }
    void TearDown() override { CDocumentFile::TheAsks() = CDocumentFile::StandardAsks(); }

    QString Path(const QString& name) const { return m_folder.filePath(name); }

    // A document of the band-pass at 48 kHz by the Kaiser window, the fewest taps, written.
    QString WriteBandPass(const QString& name, double ripple = 0.1) {
        taplore::RequirementsPresenter presenter;
        WindowInputs inputs;
        inputs.rate = "48000";
        inputs.bands = taplore::PresetBands(taplore::BandPreset::bandPass, 48000);
        inputs.bands[1].toleranceDb = ripple;
        inputs.method = "kaiser";
        presenter.SetInputs(inputs);
        EXPECT_FALSE(presenter.Save(Path(name).toStdString()));
        return Path(name);
    }

    template <class T> static T* Find(const CRequirementsWnd& wnd, const char* name) {
        T* control = wnd.findChild<T*>(name);
        if (!control)
            ADD_FAILURE() << "no control named " << name;
        return control;
    }

    static void Show(CRequirementsWnd& wnd) {
        wnd.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&wnd));
        QApplication::processEvents(); // the recovery offer, queued at the first showing
    }

    static bool NextDesign(const CRequirementsWnd& wnd, int before) {
        return QTest::qWaitFor([&] { return wnd.DesignsShown() > before; }, 20000);
    }

    static QAction* Action(const CRequirementsWnd& wnd, const QString& text) {
        for (QAction* action :
             wnd.DocumentFile().MenuBar()->actions().constFirst()->menu()->actions())
            if (action->text() == text)
                return action;
        ADD_FAILURE() << "no File entry " << text.toStdString();
        return nullptr;
    }

    static QMenu* Recent(const CRequirementsWnd& wnd) {
        return Action(wnd, "Open &Recent")->menu();
    }

    static QStringList RecentTexts(const CRequirementsWnd& wnd) {
        QMenu* recent = Recent(wnd);
        emit recent->aboutToShow();
        QStringList texts;
        for (const QAction* action : recent->actions())
            texts << action->text();
        return texts;
    }

    static void EditRate(CRequirementsWnd& wnd, const QString& rate) {
        Find<QLineEdit>(wnd, "editRate")->setText(rate);
    }

    // The stop band's attenuation, as typed into its cell.
    static void EditAttenuation(CRequirementsWnd& wnd, const QString& db) {
        auto* bands = qobject_cast<BandModel*>(Find<QTableView>(wnd, "tableBands")->model());
        ASSERT_TRUE(bands->setData(bands->index(1, BandModel::tolerance), db));
    }

    QTemporaryDir m_settings, m_state, m_folder;
    std::deque<QMessageBox::StandardButton> m_answers;
    std::deque<QString> m_files;
    bool m_recover = true;
    QStringList m_asked, m_told;
};

TEST_F(RequirementsDocument, TheMenuHoldsTheFileEntriesWithTheirKeys) {
    CRequirementsWnd wnd;
    QMenuBar* bar = wnd.DocumentFile().MenuBar();
    ASSERT_EQ(bar->actions().size(), 1);
    EXPECT_EQ(bar->actions()[0]->text(), "&File");
    QStringList entries;
    for (const QAction* action : bar->actions()[0]->menu()->actions())
        entries << (action->isSeparator() ? "-"
                                          : action->text() + " " + action->shortcut().toString());
    EXPECT_EQ(entries, (QStringList{"&New Ctrl+N", "&Open… Ctrl+O", "&Save Ctrl+S",
                                    "Save &As… Ctrl+Shift+S", "Open &Recent ", "-", "&Export… "}));
    EXPECT_FALSE(Recent(wnd)->isEnabled()) << "nothing opened yet";
    EXPECT_EQ(Find<QRadioButton>(wnd, "radioFewest")->text(), "Fe&west that meet them")
        << "Alt+F is the File menu's";
}

TEST_F(RequirementsDocument, OpenShowsTheDocumentByNameUnmodifiedAndAnEditMarksIt) {
    const QString file = WriteBandPass("bandpass.taplore", 0.5);
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(Show(wnd));
    EXPECT_TRUE(wnd.windowTitle().startsWith("Taplore Requirements Designer — Untitled[*] — "))
        << wnd.windowTitle().toStdString();
    EXPECT_FALSE(wnd.isWindowModified());
    m_files = {file};
    Action(wnd, "&Open…")->trigger();
    EXPECT_EQ(m_asked, QStringList{"open"}) << "nothing to save first";
    EXPECT_EQ(Find<QLineEdit>(wnd, "editRate")->text(), "48000");
    EXPECT_EQ(Find<QComboBox>(wnd, "comboMethod")->currentData().toString(), "kaiser");
    auto* bands = qobject_cast<BandModel*>(Find<QTableView>(wnd, "tableBands")->model());
    ASSERT_EQ(bands->Bands().size(), 3);
    EXPECT_EQ(bands->Bands()[1].toleranceDb, 0.5);
    EXPECT_TRUE(
        wnd.windowTitle().startsWith("Taplore Requirements Designer — bandpass.taplore[*]"));
    EXPECT_FALSE(wnd.isWindowModified());
    ASSERT_TRUE(NextDesign(wnd, 0));
    EXPECT_TRUE(wnd.windowTitle().endsWith(" taps")) << wnd.windowTitle().toStdString();
    EXPECT_FALSE(wnd.isWindowModified()) << "its design is no change";

    EditRate(wnd, "44100");
    EXPECT_TRUE(wnd.isWindowModified());
    EditRate(wnd, "48000");
    EXPECT_FALSE(wnd.isWindowModified()) << "back as saved";
    EXPECT_TRUE(m_told.isEmpty()) << m_told.join("\n").toStdString();
}

TEST_F(RequirementsDocument, SaveAsWritesTheDocumentAndSaveReplacesIt) {
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(Show(wnd));
    ASSERT_TRUE(NextDesign(wnd, 0));
    EditAttenuation(wnd, "70");
    ASSERT_TRUE(NextDesign(wnd, 1)) << wnd.windowTitle().toStdString();
    ASSERT_TRUE(wnd.isWindowModified());
    m_files = {Path("lowpass")};
    Action(wnd, "&Save")->trigger(); // a new document asks for its file
    EXPECT_EQ(m_asked, QStringList{"save as"});
    const QString saved = Path("lowpass.taplore");
    ASSERT_TRUE(QFile::exists(saved));
    EXPECT_FALSE(wnd.isWindowModified());
    EXPECT_TRUE(wnd.windowTitle().contains("— lowpass.taplore[*] —"));
    const taplore::DesignDocument document = taplore::LoadDocument(saved.toStdString());
    EXPECT_EQ(document.requirements.rate, 8000);
    EXPECT_EQ(document.requirements.bands[1].toleranceDb, 70);
    EXPECT_EQ(document.method->name, "equiripple");
    EXPECT_EQ(static_cast<int>(document.taps.size()),
              wnd.findChild<ValueList*>("listTaps")->count())
        << "the design shown, taps and all";

    // Save writes to the same file without asking.
    EditAttenuation(wnd, "80");
    ASSERT_TRUE(NextDesign(wnd, 2));
    Action(wnd, "&Save")->trigger();
    EXPECT_EQ(m_asked.size(), 1);
    EXPECT_EQ(taplore::LoadDocument(saved.toStdString()).requirements.bands[1].toleranceDb, 80);
    EXPECT_EQ(RecentTexts(wnd), QStringList{"&1 " + saved});

    // Wrong requirements are not saved; the file stays.
    EditRate(wnd, "");
    Action(wnd, "&Save")->trigger();
    ASSERT_EQ(m_told.size(), 1);
    EXPECT_TRUE(
        m_told[0].startsWith("The design cannot be saved while its requirements are wrong: Rate: "))
        << m_told[0].toStdString();
    EXPECT_EQ(taplore::LoadDocument(saved.toStdString()).requirements.bands[1].toleranceDb, 80);

    // A file that cannot be written is said with its path; the document stays unsaved, its file
    // the one it had.
    EditRate(wnd, "8000");
    EditAttenuation(wnd, "75");
    const QString nowhere = Path("no-such-folder/x.taplore");
    m_files = {nowhere};
    Action(wnd, "Save &As…")->trigger();
    ASSERT_EQ(m_told.size(), 2);
    EXPECT_TRUE(m_told[1].contains(nowhere)) << m_told[1].toStdString();
    EXPECT_TRUE(wnd.isWindowModified());
    EXPECT_TRUE(wnd.windowTitle().contains("— lowpass.taplore[*] —"));
}

TEST_F(RequirementsDocument, ClosingWithChangesAsksToSaveDiscardOrCancel) {
    const struct {
        QMessageBox::StandardButton answer;
        bool closed, saved;
    } cases[] = {{QMessageBox::Cancel, false, false},
                 {QMessageBox::Discard, true, false},
                 {QMessageBox::Save, true, true}};
    int rate = 12000;
    for (const auto& c : cases) {
        m_asked.clear();
        QFile::remove(Path("closed.taplore"));
        CRequirementsWnd wnd;
        ASSERT_NO_FATAL_FAILURE(Show(wnd));
        // Not the rate of the last close, which the window starts from.
        EditRate(wnd, QString::number(rate += 1000));
        m_answers = {c.answer};
        m_files = {Path("closed.taplore")};
        EXPECT_EQ(wnd.close(), c.closed) << c.answer;
        EXPECT_EQ(m_asked.value(0), "Save the changes to Untitled?");
        EXPECT_EQ(wnd.isVisible(), !c.closed);
        EXPECT_EQ(QFile::exists(Path("closed.taplore")), c.saved);
        if (!c.closed) {
            m_answers = {QMessageBox::Discard};
            EXPECT_TRUE(wnd.close());
        }
    }
    // No changes, no question.
    m_asked.clear();
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(Show(wnd));
    EXPECT_TRUE(wnd.close());
    EXPECT_TRUE(m_asked.isEmpty());
}

TEST_F(RequirementsDocument, RecentDocumentsAreTheLastEightOpenedNewestFirst) {
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(Show(wnd));
    for (int i = 0; i < 9; ++i)
        ASSERT_TRUE(wnd.DocumentFile().Open(WriteBandPass(QString("d%1.taplore").arg(i))));
    const QStringList recent = RecentTexts(wnd);
    ASSERT_EQ(recent.size(), 8);
    EXPECT_EQ(recent.first(), "&1 " + Path("d8.taplore"));
    EXPECT_EQ(recent.last(), "&8 " + Path("d1.taplore"));
    // Chosen, an entry opens its document; the list is kept for the next window.
    Recent(wnd)->actions()[3]->trigger();
    EXPECT_TRUE(wnd.windowTitle().contains("— d5.taplore[*] —"));
    CRequirementsWnd next;
    EXPECT_EQ(RecentTexts(next).first(), "&1 " + Path("d5.taplore"));
}

TEST_F(RequirementsDocument, AFileDroppedOnTheWindowOpens) {
    const QString file = WriteBandPass("dropped.taplore");
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(Show(wnd));
    EXPECT_TRUE(wnd.acceptDrops());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&wnd, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&wnd, &drop);
    EXPECT_TRUE(wnd.windowTitle().contains("— dropped.taplore[*] —"));
    EXPECT_EQ(Find<QLineEdit>(wnd, "editRate")->text(), "48000");
}

// A document the window cannot take is said with the reader's where and why, and changes
// nothing shown.
TEST_F(RequirementsDocument, ARefusedDocumentIsSaidWithWhereAndWhy) {
    QFile bad(Path("bad.taplore"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("{\"format\": \"taplore-design\",\n \"version\": 1,,}");
    bad.close();
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(Show(wnd));
    EXPECT_FALSE(wnd.DocumentFile().Open(Path("bad.taplore")));
    EXPECT_FALSE(wnd.DocumentFile().Open(Path("missing.taplore")));
    ASSERT_EQ(m_told.size(), 2);
    EXPECT_TRUE(m_told[0].startsWith("Cannot open bad.taplore: line 2, column 15: "))
        << m_told[0].toStdString();
    EXPECT_EQ(m_told[1],
              "Cannot open missing.taplore: " + Path("missing.taplore") + " was not found.");
    EXPECT_EQ(Find<QLineEdit>(wnd, "editRate")->text(), "8000");
    EXPECT_TRUE(wnd.windowTitle().contains("— Untitled[*] —"));
}

// While there are changes, a copy is kept; once its session is gone, the next window offers it
// with its time, and taken, it is the document again, unsaved, to be saved to its own file.
TEST_F(RequirementsDocument, TheRecoveryCopyIsKeptAndOfferedAfterACrash) {
    const QString file = WriteBandPass("kept.taplore");
    const QString folder = CDocumentFile::RecoveryFolder();
    EXPECT_EQ(folder, m_state.path() + "/Taplore");
    QString copy;
    {
        CRequirementsWnd wnd;
        ASSERT_NO_FATAL_FAILURE(Show(wnd));
        ASSERT_TRUE(wnd.DocumentFile().Open(file));
        EXPECT_TRUE(wnd.DocumentFile().RecoveryPath().isEmpty()) << "no changes, no copy";
        EditRate(wnd, "96000");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !wnd.DocumentFile().RecoveryPath().isEmpty(); },
                                    3 * CDocumentFile::kRecoveryMs));
        copy = wnd.DocumentFile().RecoveryPath();
        ASSERT_TRUE(QFile::exists(copy));
        EXPECT_EQ(taplore::LoadDocument(copy.toStdString()).requirements.rate, 96000);
        // Back as saved, the copy goes.
        EditRate(wnd, "48000");
        EXPECT_FALSE(QFile::exists(copy));
        EditRate(wnd, "96000");
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return QFile::exists(copy); }, 3 * CDocumentFile::kRecoveryMs));
        // As a crashed session leaves it: under a process that is gone.
        const QString crashed =
            folder + "/" + QString::fromStdString(taplore::RecoveryName(999'999'999, 1));
        ASSERT_TRUE(QFile::copy(copy, crashed + ".taplore"));
        ASSERT_TRUE(QFile::copy(folder + "/" + QFileInfo(copy).completeBaseName() + ".origin",
                                crashed + ".origin"));
        // A normal close takes this window's own copy away.
        m_answers = {QMessageBox::Discard};
        EXPECT_TRUE(wnd.close());
        EXPECT_FALSE(QFile::exists(copy));
    }
    const QDateTime written =
        QFileInfo(folder + "/" + QString::fromStdString(taplore::RecoveryName(999'999'999, 1)) +
                  ".taplore")
            .lastModified();
    m_asked.clear();
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(Show(wnd));
    ASSERT_EQ(m_asked.size(), 1);
    EXPECT_EQ(m_asked[0], "Recover the unsaved design from " + written.toString("HH:mm") + "?");
    EXPECT_EQ(Find<QLineEdit>(wnd, "editRate")->text(), "96000");
    EXPECT_TRUE(wnd.isWindowModified());
    EXPECT_TRUE(wnd.windowTitle().contains("— kept.taplore[*] —"));
    EXPECT_TRUE(QDir(folder).entryList({"*.taplore"}, QDir::Files).isEmpty()) << "offered once";
    ASSERT_TRUE(NextDesign(wnd, 0));
    Action(wnd, "&Save")->trigger();
    EXPECT_EQ(taplore::LoadDocument(file.toStdString()).requirements.rate, 96000);
    EXPECT_FALSE(wnd.isWindowModified());

    // A copy of a session still running is not offered; one declined is removed all the same.
    m_asked.clear();
    {
        CRequirementsWnd other;
        ASSERT_NO_FATAL_FAILURE(Show(other));
        EXPECT_TRUE(m_asked.isEmpty());
    }
}

TEST_F(RequirementsDocument, NewStartsAnUntitledDocumentAfterAskingAboutChanges) {
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(Show(wnd));
    ASSERT_TRUE(wnd.DocumentFile().Open(WriteBandPass("old.taplore")));
    EditRate(wnd, "44100");
    m_answers = {QMessageBox::Cancel};
    Action(wnd, "&New")->trigger();
    EXPECT_EQ(Find<QLineEdit>(wnd, "editRate")->text(), "44100") << "cancelled";
    m_answers = {QMessageBox::Discard};
    Action(wnd, "&New")->trigger();
    EXPECT_EQ(Find<QLineEdit>(wnd, "editRate")->text(), "8000");
    EXPECT_EQ(Find<QComboBox>(wnd, "comboMethod")->currentData().toString(), "equiripple");
    EXPECT_TRUE(wnd.windowTitle().contains("— Untitled[*] —"));
    EXPECT_FALSE(wnd.isWindowModified());
    EXPECT_EQ(taplore::LoadDocument(Path("old.taplore").toStdString()).requirements.rate, 48000)
        << "discarded";
}

// The dialog ends the program: the requirements window beside it closes first, with its
// question, and Cancel keeps both.
TEST_F(RequirementsDocument, TheDialogsCloseAsksAboutTheWindowsChangesFirst) {
    ShownDesignDialog shown;
    QApplication::setActiveWindow(&shown.dlg);
    QTest::keyClick(&shown.dlg, Qt::Key_D, Qt::ControlModifier);
    auto* wnd = shown.dlg.findChild<CRequirementsWnd*>();
    ASSERT_TRUE(wnd && wnd->isVisible());
    EditRate(*wnd, "44100");
    m_answers = {QMessageBox::Cancel};
    shown.dlg.reject();
    EXPECT_EQ(m_asked, QStringList{"Save the changes to Untitled?"});
    EXPECT_TRUE(shown.dlg.isVisible());
    EXPECT_TRUE(wnd->isVisible());
    m_answers = {QMessageBox::Discard};
    shown.dlg.reject();
    EXPECT_FALSE(shown.dlg.isVisible());
}

} // namespace
