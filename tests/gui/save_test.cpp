// Save: the Save As dialog, then one "%f" line per tap ending in CR LF, or a stop-icon box
// that names the file, with whatever the file held before kept intact.
#include "gui_helpers.h"

#include "gui/value_list.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QSet>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class SaveTest : public testing::Test {
protected:
    // Presses Save and answers the boxes in turn; returns every window that appeared.
    std::vector<SeenWindow> Save(std::vector<ModalWatcher::Action> actions) {
        ModalWatcher watcher(std::move(actions));
        shown.Click(kSave);
        return watcher.Seen();
    }
    std::vector<SeenWindow> SaveAs(const QString& name) {
        return Save({ChooseFile(folder.path(), name)});
    }
    void Calculate() {
        ModalWatcher watcher;
        shown.Click(kCalculate);
        ASSERT_TRUE(watcher.Messages().empty());
    }
    QString Path(const QString& name) const { return folder.filePath(name); }
    QStringList Entries() const {
        return QDir(folder.path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QTemporaryDir folder;
    ShownDesignDialog shown;
};

TEST_F(SaveTest, WritesTheListedTapsOnePerCrLfLine) {
    Calculate();
    const std::vector<SeenWindow> seen = SaveAs("coef.txt");
    ASSERT_EQ(seen.size(), 1u) << "the Save As dialog and no message";
    EXPECT_EQ(seen[0].kind, "file");

    const QByteArray bytes = Read(Path("coef.txt"));
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count('\n'), 511);
    EXPECT_EQ(bytes.count("\r\n"), 511) << "no bare line feeds";
    const QStringList lines = QString::fromLatin1(bytes.chopped(2)).split("\r\n");
    EXPECT_EQ(lines, shown.ListItems());
    EXPECT_EQ(lines.value(255), "0.500000");
    EXPECT_EQ(Entries(), QStringList{"coef.txt"}) << "no temporary file left behind";
}

TEST_F(SaveTest, EmptyFileWithoutADesign) {
    SaveAs("before.txt");
    EXPECT_EQ(Read(Path("before.txt")), QByteArray());
    // A failed design empties the buffer, though the list still shows the last good one.
    Calculate();
    shown.Edit(kOrder)->setText("-4");
    {
        ModalWatcher watcher;
        shown.Click(kCalculate);
    }
    ASSERT_EQ(shown.ListItems().size(), 511);
    SaveAs("failed.txt");
    EXPECT_EQ(Read(Path("failed.txt")), QByteArray());
}

TEST_F(SaveTest, FileNamesAndCancel) {
    // Cancel writes nothing.
    std::vector<SeenWindow> seen = Save({});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(Entries().isEmpty());

    // The proposed name is FIR_Coef; without an extension ".txt" is added, another one stays.
    QString proposed;
    Save({[&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        proposed = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
        dialog->setDirectory(folder.path());
        static_cast<QDialog*>(dialog)->accept();
    }});
    EXPECT_EQ(proposed, "FIR_Coef");
    SaveAs("mycoef");
    SaveAs("taps.dat");
    EXPECT_EQ(Entries(), (QStringList{"FIR_Coef.txt", "mycoef.txt", "taps.dat"}));
}

TEST_F(SaveTest, ReplacingAFileAsksFirst) {
    Write(Path("old.txt"), "old content\n");
    Calculate();
    const std::vector<SeenWindow> seen = SaveAs("old.txt");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].kind, "message");
    EXPECT_TRUE(seen[1].text.contains("already exists")) << seen[1].text.toStdString();
    EXPECT_EQ(Read(Path("old.txt")).count("\r\n"), 511);
}

TEST_F(SaveTest, FileFailuresNameThePathAndKeepOldContent) {
    Calculate();
    QDir(folder.path()).mkdir("folder.txt");
    const QByteArray old = "keep me\r\n";
    Write(Path("locked.txt"), old);
    const int holder = ::open(Path("locked.txt").toLocal8Bit().constData(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);

    // The Save As dialog adds ".txt" to "full" and opens a folder rather than return it: these
    // two paths are chosen past its checks.
    const auto exactly = [](const QString& folder, const QString& name) {
        return [folder, name](QWidget* window) {
            auto* dialog = qobject_cast<QFileDialog*>(window);
            dialog->setDefaultSuffix({});
            dialog->setDirectory(folder);
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
            static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
        };
    };
    struct Case {
        QString path;
        ModalWatcher::Action choose;
        QString message;
        bool replaces = false; // an existing file: the replacement is confirmed first
    };
    const Case cases[] = {
        {Path("missing/coef.txt"), ChooseFile(folder.path(), "missing/coef.txt"),
         "%1 was not found."},
        {Path("folder.txt"), exactly(folder.path(), "folder.txt"), "Access to %1 was denied."},
        {"/dev/full", exactly("/dev", "full"), "Disk full while accessing %1."},
        {Path("locked.txt"), ChooseFile(folder.path(), "locked.txt"),
         "A sharing violation occurred while accessing %1.", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        std::vector<SeenWindow> messages;
        {
            ModalWatcher watcher({c.choose});
            shown.Click(kSave);
            messages = watcher.Messages();
        }
        ASSERT_EQ(messages.size(), c.replaces ? 2u : 1u);
        const SeenWindow& failure = messages.back();
        EXPECT_EQ(failure.text, c.message.arg(c.path));
        EXPECT_EQ(failure.title, "widget_tests");
        EXPECT_EQ(failure.icon, QMessageBox::Critical);
        EXPECT_TRUE(shown.dlg.isVisible());
    }
    EXPECT_EQ(Read(Path("locked.txt")), old);
    EXPECT_TRUE(QDir(Path("folder.txt")).isEmpty());
    EXPECT_EQ(Entries(), (QStringList{"folder.txt", "locked.txt"}));
    EXPECT_FALSE(QFile::exists("/dev/full.txt"));
    ::close(holder);
}

} // namespace

namespace {

TEST_F(SaveTest, CopiedTapsAreTheSavedTextOrEveryDigit) {
    auto* list = shown.dlg.findChild<ValueList*>();
    for (const QAction* action : list->actions())
        EXPECT_FALSE(action->isEnabled()) << "nothing to copy yet";

    Calculate();
    SaveAs("coef.txt");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toLatin1(), Read(Path("coef.txt")));

    // Shift+F10 in the list opens its own menu; the full-precision entry reads back exactly.
    ModalWatcher watcher({[](QWidget* window) {
        auto* menu = qobject_cast<QMenu*>(window);
        menu->setActiveAction(menu->actions().value(1));
        QTest::keyClick(menu, Qt::Key_Return);
    }});
    QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].text, "&Copy|Copy at &full precision|Copy as C &array|Copy as "
                                      "Q&15 C array|Copy as Q&31 C array|Copy as C&SV|Copy as "
                                      "&JSON");
    const QStringList full = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(full.size(), 511);
    EXPECT_EQ(QString::number(full[100].toDouble(), 'f', 6), shown.ListItems()[100]);
    EXPECT_GT(full[100].size(), 12) << "more digits than the list shows";

    // The C array's comment names the design, its cutoffs in order.
    list->actions().value(2)->trigger();
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(
        "/* band-pass, order 511, rate 8000 Hz, cutoffs 400 Hz and 2400 Hz */\n"))
        << QApplication::clipboard()->text().left(80).toStdString();
}

// What taplore-design writes for the dialog's texts: its edits and its two cutoff labels.
QString CommandLineText(const ShownDesignDialog& shown, const QString& format) {
    return DesignerOutput("--order " + shown.Edit(kOrder)->text() + " --rate " +
                          shown.Edit(kRate)->text() + " --low " + shown.LabelText(kLabelLow) +
                          " --high " + shown.LabelText(kLabelHigh) + " --format " + format);
}

QAction* ListAction(const ShownDesignDialog& shown, const QString& text) {
    for (QAction* action : shown.dlg.findChild<ValueList*>()->actions())
        if (action->text() == text)
            return action;
    ADD_FAILURE() << text.toStdString();
    return nullptr;
}

TEST_F(SaveTest, FixedPointArraysAreTheCommandLinesTextOrAnErrorBox) {
    const std::pair<QString, QString> entries[] = {{"Copy as Q&15 C array", "c-q15"},
                                                   {"Copy as Q&31 C array", "c-q31"}};
    // The start-up band-pass, then a low-pass through the low slider at 0.
    for (const bool lowPass : {false, true}) {
        if (lowPass)
            shown.Slider(kSliderLow)->triggerAction(QSlider::SliderToMinimum);
        Calculate();
        for (const auto& [text, format] : entries) {
            ModalWatcher watcher;
            ListAction(shown, text)->trigger();
            EXPECT_TRUE(watcher.Messages().empty());
            EXPECT_EQ(QApplication::clipboard()->text(), CommandLineText(shown, format))
                << format.toStdString() << " low " << shown.LabelText(kLabelLow).toStdString();
        }
    }
    // A rate of 0 makes every tap not a number: a box, and the clipboard keeps what it had.
    shown.Paste(kRate, "0");
    Calculate();
    const QString before = QApplication::clipboard()->text();
    for (const auto& [text, format] : entries) {
        ModalWatcher watcher;
        ListAction(shown, text)->trigger();
        ASSERT_EQ(watcher.Messages().size(), 1u);
        EXPECT_EQ(watcher.Messages()[0].text,
                  "The coefficients are not all finite: no fixed-point form.");
        EXPECT_EQ(watcher.Messages()[0].icon, QMessageBox::Critical);
        EXPECT_EQ(QApplication::clipboard()->text(), before);
    }
}

// The entries of the taps themselves in other formats copy what --format writes, and each
// entry of the menu keeps a letter of its own.
TEST_F(SaveTest, CsvAndJsonAreTheCommandLinesTextWithMnemonicsOfTheirOwn) {
    Calculate();
    for (const auto& [text, format] :
         {std::pair<QString, QString>{"Copy as C&SV", "csv"}, {"Copy as &JSON", "json"}}) {
        ListAction(shown, text)->trigger();
        EXPECT_EQ(QApplication::clipboard()->text(), CommandLineText(shown, format))
            << format.toStdString();
    }
    QSet<QChar> letters;
    for (const QAction* action : shown.dlg.findChild<ValueList*>()->actions()) {
        const qsizetype amp = action->text().indexOf('&');
        ASSERT_GE(amp, 0) << action->text().toStdString();
        EXPECT_FALSE(letters.contains(action->text()[amp + 1].toLower()))
            << action->text().toStdString();
        letters.insert(action->text()[amp + 1].toLower());
    }
}

} // namespace
