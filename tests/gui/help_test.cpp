// F1: the manual in a help window of its own, at the section of the dialog asking for it,
// one window at a time, closed by Escape; and the old message when the manual is missing.
#include "gui_helpers.h"

#include "gui/about_dlg.h"
#include "gui/help_wnd.h"
#include "gui/requirements/requirements_wnd.h"

#include <QApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QWindow>
#include <gtest/gtest.h>

// The compiled-in manual taken out of the resource lookup and put back. Qt's resource
// macros work only outside any namespace.
void RemoveManual() {
    Q_CLEANUP_RESOURCE(taplore_help);
}
void RestoreManual() {
    Q_INIT_RESOURCE(taplore_help);
}

namespace {

std::vector<CHelpWnd*> OpenHelpWindows() {
    std::vector<CHelpWnd*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* help = qobject_cast<CHelpWnd*>(widget); help && help->isVisible())
            windows.push_back(help);
    return windows;
}

// The heading of the section whose start the help window shows at its top.
QString SectionAtTop(CHelpWnd* help) {
    auto* browser = help->findChild<QTextBrowser*>();
    QTextBlock block = browser->cursorForPosition(QPoint(8, 8)).block();
    while (block.isValid() && block.blockFormat().headingLevel() == 0)
        block = block.previous();
    return block.text();
}

// Whether the window system has given window the focus.
bool HasFocus(QWidget* window) {
    return QTest::qWaitFor(
        [window] { return QGuiApplication::focusWindow() == window->windowHandle(); });
}

// F1 in a dialog with the focus. Activated through its QWindow: QWidget::activateWindow()
// does nothing while a window of the dialog's own has the focus.
void PressF1(QWidget* dialog) {
    dialog->windowHandle()->requestActivate();
    EXPECT_TRUE(HasFocus(dialog));
    QTest::keyClick(dialog, Qt::Key_F1);
    QCoreApplication::processEvents();
}

class Help : public ::testing::Test {
protected:
    void TearDown() override {
        for (CHelpWnd* help : OpenHelpWindows())
            help->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(Help, F1OpensTheManualAtTheSectionOfTheDialogWithTheFocus) {
    ShownDesignDialog shown;
    PressF1(&shown.dlg);
    ASSERT_EQ(OpenHelpWindows().size(), 1u);
    EXPECT_EQ(SectionAtTop(OpenHelpWindows()[0]), "The design dialog");

    // The About box, modal as the program runs it: the manual turns to the box's section.
    QString aboutSection;
    std::size_t aboutWindows = 0;
    ModalWatcher watcher({[&](QWidget* about) {
        PressF1(about);
        aboutWindows = OpenHelpWindows().size();
        aboutSection = aboutWindows == 1 ? SectionAtTop(OpenHelpWindows()[0]) : QString();
        about->close();
    }});
    CAboutDlg about(&shown.dlg);
    about.exec();
    EXPECT_EQ(aboutWindows, 1u);
    EXPECT_EQ(aboutSection, "The About box");
}

TEST_F(Help, F1InTheRequirementsWindowOpensItsSection) {
    ShownDesignDialog shown;
    CRequirementsWnd requirements(&shown.dlg);
    requirements.show();
    PressF1(&requirements);
    ASSERT_EQ(OpenHelpWindows().size(), 1u);
    EXPECT_EQ(SectionAtTop(OpenHelpWindows()[0]), "The requirements window");
    const QTextDocument* manual = OpenHelpWindows()[0]->findChild<QTextBrowser*>()->document();
    EXPECT_FALSE(manual->resource(QTextDocument::ImageResource, QUrl("requirements-window.png"))
                     .isNull())
        << "the section's picture is not found";
}

TEST_F(Help, F1AgainRaisesTheOneHelpWindowAndEscapeClosesIt) {
    ShownDesignDialog shown;
    PressF1(&shown.dlg);
    PressF1(&shown.dlg);
    const std::vector<CHelpWnd*> windows = OpenHelpWindows();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_TRUE(HasFocus(windows[0])) << "the help window did not get the focus";

    QTest::keyClick(windows[0], Qt::Key_Escape);
    EXPECT_TRUE(OpenHelpWindows().empty()) << "Escape did not close the manual";
    // Not modal: the dialog goes on working beside the manual.
    PressF1(&shown.dlg);
    shown.Click(kCalculate);
    EXPECT_EQ(shown.ListItems().size(), 511);
}

TEST_F(Help, WithoutTheManualF1SaysHelpFailedInBothDialogs) {
    ShownDesignDialog shown;
    RemoveManual();
    std::vector<SeenWindow> messages;
    {
        // The first box is confirmed; in the About box F1 is pressed before it is closed.
        ModalWatcher watcher({&ModalWatcher::Answer, [](QWidget* about) {
                                  PressF1(about);
                                  about->close();
                              }});
        PressF1(&shown.dlg);
        CAboutDlg about(&shown.dlg);
        about.exec();
        messages = watcher.Messages();
    }
    RestoreManual();
    EXPECT_TRUE(OpenHelpWindows().empty());
    ASSERT_EQ(messages.size(), 2u);
    for (const SeenWindow& message : messages) {
        EXPECT_EQ(message.text, "Failed to launch help.");
        EXPECT_EQ(message.icon, QMessageBox::Warning);
    }
}

} // namespace
