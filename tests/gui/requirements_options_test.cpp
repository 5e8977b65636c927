// The requirements window's options beyond the bands: minimum phase designed, described and
// written as the command line does, kept at the next start, with a mnemonic of its own.
#include "gui_helpers.h"
#include "requirements_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <map>

namespace {

using RequirementsOptions = RequirementsWndTest;

TEST_F(RequirementsOptions, AltUDesignsMinimumPhaseAsTheCommandLineDoes) {
    CRequirementsWnd wnd;
    ASSERT_NO_FATAL_FAILURE(ShowDesigned(wnd));
    EXPECT_TRUE(Find<QRadioButton>(wnd, "radioLinear")->isChecked());
    EXPECT_EQ(Find<QLabel>(wnd, "labelPhase")->text(), "");
    const int before = wnd.DesignsShown();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_U, Qt::AltModifier);
    // A mnemonic clicks as animated, once its press has been seen.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Find<QRadioButton>(wnd, "radioMinimum")->isChecked(); }));
    ASSERT_TRUE(NextDesign(wnd, before));
    EXPECT_EQ(Find<QLabel>(wnd, "labelHeadline")->text(),
              "minimum-phase equiripple, 38 taps: meets the requirements");
    EXPECT_TRUE(Find<QLabel>(wnd, "labelPhase")->text().startsWith("minimum phase: group delay "));

    QTemporaryDir folder;
    const auto chooseC = [&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        for (const QString& filter : dialog->nameFilters())
            if (filter.startsWith("c:"))
                dialog->selectNameFilter(filter);
        ChooseFile(folder.path(), "design")(window);
    };
    ModalWatcher watcher({chooseC});
    QTest::mouseClick(Find<QPushButton>(wnd, "export"), Qt::LeftButton);
    ASSERT_TRUE(watcher.Messages().empty());
    QFile file(folder.filePath("design.c"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(file.readAll()),
              DesignerOutput(kExample + " --phase minimum --quiet --format c"));
}

TEST_F(RequirementsOptions, ThePhaseComesBackAtTheNextStart) {
    {
        CRequirementsWnd wnd;
        Find<QRadioButton>(wnd, "radioMinimum")->setChecked(true);
        wnd.close();
    }
    CRequirementsWnd wnd;
    EXPECT_TRUE(Find<QRadioButton>(wnd, "radioMinimum")->isChecked());
}

// Alt and a letter reaches one control: a letter used twice moves between them instead.
TEST_F(RequirementsOptions, EveryMnemonicIsTheWindowsOnce) {
    CRequirementsWnd wnd;
    std::map<QChar, QStringList> owners;
    const QRegularExpression mnemonic("&([^&])");
    const auto add = [&](const QString& text) {
        const QRegularExpressionMatch match = mnemonic.match(text);
        if (match.hasMatch())
            owners[match.captured(1).at(0).toLower()] << text;
    };
    for (const QAbstractButton* button : wnd.findChildren<QAbstractButton*>())
        add(button->text());
    for (const QLabel* label : wnd.findChildren<QLabel*>())
        add(label->text());
    for (const QAction* menu : wnd.findChild<QMenuBar*>()->actions())
        add(menu->text());
    for (const auto& [letter, texts] : owners)
        EXPECT_EQ(texts.size(), 1) << texts.join(", ").toStdString();
    EXPECT_EQ(owners['n'], QStringList{"Li&near"});
    EXPECT_EQ(owners['u'], QStringList{"Minim&um"});
}

} // namespace
