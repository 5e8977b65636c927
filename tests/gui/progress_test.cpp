// Long Calculate and Save: a progress box with Cancel, behind which the work runs; Cancel
// leaves the coefficients as after a failed design, or the old file as it was, and says nothing.
#include "gui_helpers.h"

#include "core/design/fir_design.h"
#include "core/formats/coef_file.h"
#include "gui/value_list.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr const char* kCalculating = "Calculating FIR coefficients…";
constexpr const char* kSaving = "Saving coefficients…";
// Seconds of work in any build: only a working Cancel ends it quickly.
constexpr int kLongOrder = 60'000'000;

// Leaves the progress box to close by itself; confirms message boxes.
void LeaveOpen(QWidget* window) {
    if (qobject_cast<QMessageBox*>(window))
        ModalWatcher::Answer(window);
}

// Records the texts of every progress box shown while it lives, however briefly it was open.
class ProgressBoxSpy : public QObject {
public:
    ProgressBoxSpy() { qApp->installEventFilter(this); }
    ~ProgressBoxSpy() override { qApp->removeEventFilter(this); }

    QStringList shown;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* window = qobject_cast<QWidget*>(object);
        if (event->type() == QEvent::Show && window && window->isWindow() &&
            window->findChild<QProgressBar*>())
            for (const QLabel* label : window->findChildren<QLabel*>())
                shown << label->text();
        return false;
    }
};

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class ProgressTest : public testing::Test {
protected:
    std::vector<SeenWindow> Click(const QString& button,
                                  std::vector<ModalWatcher::Action> actions) {
        ModalWatcher watcher(std::move(actions));
        shown.Click(button);
        return watcher.Seen();
    }
    // Presses Cancel in the progress box; m_cancelled then times how long the dialog takes to
    // answer again.
    ModalWatcher::Action Cancel() {
        return [this](QWidget* window) {
            for (auto* button : window->findChildren<QPushButton*>())
                if (button->text() == "Cancel") {
                    m_cancelled.start();
                    button->click();
                    return;
                }
            ADD_FAILURE() << "no Cancel in " << window->windowTitle().toStdString();
        };
    }
    void SetOrder(int order) { shown.Edit(kOrder)->setText(QString::number(order)); }
    QAction* CopyAction(const QString& text) const {
        for (QAction* action : shown.dlg.findChild<ValueList*>()->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }
    QString Path(const QString& name) const { return folder.filePath(name); }
    QStringList Entries() const {
        return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir folder;
    ShownDesignDialog shown;
    QElapsedTimer m_cancelled;
};

TEST_F(ProgressTest, ShortWorkShowsNoProgressBox) {
    ProgressBoxSpy spy;
    SetOrder(1'000'000);
    Click(kCalculate, {});
    Click(kSave, {ChooseFile(folder.path(), "coef.txt")});
    EXPECT_EQ(Entries(), QStringList{"coef.txt"});
    EXPECT_EQ(spy.shown, QStringList{});
}

TEST_F(ProgressTest, CancelledCalculateKeepsTheListAndEmptiesTheBuffer) {
    ASSERT_TRUE(Click(kCalculate, {}).empty());
    const QStringList before = shown.ListItems();
    SetOrder(kLongOrder);

    const std::vector<SeenWindow> seen = Click(kCalculate, {Cancel()});
    const qint64 answeredMs = m_cancelled.elapsed();
    ASSERT_EQ(seen.size(), 1u) << "the progress box and no message";
    EXPECT_EQ(seen[0].kind, "dialog");
    EXPECT_TRUE(seen[0].text.contains(kCalculating)) << seen[0].text.toStdString();
    EXPECT_LT(answeredMs, 1000) << "the design went on after Cancel";
    EXPECT_EQ(shown.ListItems(), before);
    for (const QString entry : {"&Copy", "Copy at &full precision", "Copy as C &array"})
        EXPECT_FALSE(CopyAction(entry)->isEnabled()) << entry.toStdString();
    // Save then writes the empty buffer.
    Click(kSave, {ChooseFile(folder.path(), "after-cancel.txt")});
    EXPECT_EQ(Read(Path("after-cancel.txt")), QByteArray());
}

TEST_F(ProgressTest, LongCalculateBehindTheBoxGivesTheCoresTaps) {
    shown.dlg.SetProgressTapsForTesting(1000, INT32_MAX);
    constexpr int order = 300'000;
    SetOrder(order);
    ProgressBoxSpy spy;
    // Past 1024 taps there is no spectrum to plot, which a box says after the progress.
    ModalWatcher watcher({LeaveOpen, LeaveOpen});
    shown.Click(kCalculate);
    EXPECT_EQ(spy.shown, QStringList{kCalculating});
    ASSERT_EQ(watcher.Messages().size(), 1u);
    EXPECT_EQ(watcher.Messages()[0].text, "Calculating magnitude failed!");

    std::shared_ptr<double[]> expected;
    int count = 0;
    ASSERT_EQ(DesignFilter(expected, count, order, 0.1, 0.6), order + 1);
    CopyAction("Copy at &full precision")->trigger();
    const QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), count);
    int differing = 0;
    for (int k = 0; k < count; ++k) {
        const double tap = lines[k].toDouble();
        differing += std::memcmp(&tap, &expected[k], sizeof tap) != 0;
    }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(shown.ListItems().size(), count);
}

TEST_F(ProgressTest, CancelledSaveKeepsTheOldFileAndLeavesNoTemporaryOne) {
    const QByteArray old = "old content\r\n";
    QFile file(Path("coef.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(old);
    file.close();
    SetOrder(4'000'000);
    Click(kCalculate, {});
    shown.dlg.SetProgressTapsForTesting(INT32_MAX, 1000);

    // The Save As dialog, the question whether to replace the file, then the progress box.
    const std::vector<SeenWindow> seen =
        Click(kSave, {ChooseFile(folder.path(), "coef.txt"), ModalWatcher::Answer, Cancel()});
    ASSERT_EQ(seen.size(), 3u) << "no error box";
    EXPECT_EQ(seen[2].kind, "dialog");
    EXPECT_TRUE(seen[2].text.contains(kSaving)) << seen[2].text.toStdString();
    EXPECT_EQ(Read(Path("coef.txt")), old);
    EXPECT_EQ(Entries(), QStringList{"coef.txt"});

    // Left to finish, the same save writes the file's text.
    SetOrder(20'001);
    Click(kCalculate, {});
    ProgressBoxSpy spy;
    Click(kSave, {ChooseFile(folder.path(), "coef.txt"), LeaveOpen, LeaveOpen});
    EXPECT_EQ(spy.shown, QStringList{kSaving});
    std::shared_ptr<double[]> expected;
    int count = 0;
    DesignFilter(expected, count, 20'001, 0.1, 0.6);
    EXPECT_EQ(Read(Path("coef.txt")).toStdString(), FormatCoefficientText(expected.get(), count));
}

} // namespace
