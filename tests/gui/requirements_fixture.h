#pragma once
// What the requirements window's tests share: settings of their own, the window's controls
// found by name, and waiting for its designs.

#include "gui_helpers.h"

#include "gui/requirements/band_model.h"
#include "gui/requirements/document_file.h"
#include "gui/requirements/requirements_wnd.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

// The example of the command line's manual.
inline const QString kExample =
    "--rate 8000 --pass 0:1000 --stop 1500:4000 --ripple 0.1 --atten 60";

// The file of format Export writes, chosen in the file dialog by its filter; or "" where it
// wrote none, with the messages shown in messages (none expected without it).
inline QString Exported(CRequirementsWnd& wnd, const QString& format,
                        std::vector<QString>* messages = nullptr) {
    QTemporaryDir folder;
    bool offered = false;
    ModalWatcher watcher({ChooseFormat(folder.path(), "fir.txt", format, &offered)});
    QTest::mouseClick(wnd.findChild<QPushButton*>("export"), Qt::LeftButton);
    for (const SeenWindow& message : watcher.Messages()) {
        if (!messages)
            ADD_FAILURE() << "Export said: " << message.text.toStdString();
        else
            messages->push_back(message.text);
    }
    QFile file(folder.filePath("fir.txt"));
    if (!offered || !file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll());
}

class RequirementsWndTest : public testing::Test {
protected:
    // Each test starts from no settings, in a folder of its own; changes left at a close are
    // discarded.
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        CDocumentFile::TheAsks().saveChanges = [](QWidget*, const QString&) {
            return QMessageBox::Discard;
        };
    }
    void TearDown() override { CDocumentFile::TheAsks() = CDocumentFile::StandardAsks(); }

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

    static BandModel* Bands(const CRequirementsWnd& wnd) {
        return qobject_cast<BandModel*>(Find<QTableView>(wnd, "tableBands")->model());
    }

    // At 48000 Hz, pass to passHz, 80 dB from the rate over factor less passHz: what decimation
    // by factor folds.
    static void AskBands(CRequirementsWnd& wnd, int factor = 4, double passHz = 5000) {
        Find<QLineEdit>(wnd, "editRate")->setText("48000");
        BandRow stop = taplore::StopRow(48000.0 / factor - passHz, 24000);
        stop.toleranceDb = 80;
        Bands(wnd)->SetBands({taplore::PassRow(0, passHz), stop});
    }

    // Decimation by factor in stages, with AskBands' bands. Returns whether its plan was shown
    // within the wait.
    static bool AskDecimator(CRequirementsWnd& wnd, int factor = 4, const QString& stages = "2x2",
                             double passHz = 5000) {
        AskBands(wnd, factor, passHz);
        Find<QSpinBox>(wnd, "spinRateFactor")->setValue(factor);
        Find<QLineEdit>(wnd, "editStages")->setText(stages);
        Find<QComboBox>(wnd, "comboRateChange")->setCurrentIndex(1);
        const QString headline = QString("decimate by %1 in ").arg(factor);
        return QTest::qWaitFor(
            [&] { return Find<QLabel>(wnd, "labelHeadline")->text().startsWith(headline); }, 20000);
    }

    // A window shown and active with its first design.
    static void ShowDesigned(CRequirementsWnd& wnd) {
        wnd.show();
        QApplication::setActiveWindow(&wnd);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&wnd));
        ASSERT_TRUE(NextDesign(wnd, 0));
    }

    QTemporaryDir m_settings;
};
