#include "gui/help_wnd.h"

#include "gui/design_app.h"
#include "gui/placement.h"

#include <QFile>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWindow>

namespace {

const char* const kManualPath = ":/help/manual.md";
// Wide enough for the manual's tables; beside a dialog it may be narrowed down to a column of
// text (kMinimumWidth).
constexpr QSize kPreferredSize(640, 560);

// F1 again raises the open window instead of stacking a second copy of the manual.
QPointer<CHelpWnd> g_openHelp;

// Each heading becomes an anchor named by its text, for the browser to scroll to.
void NameHeadings(QTextDocument* document) {
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0)
            continue;
        QTextCursor heading(block);
        heading.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat anchor;
        anchor.setAnchor(true);
        anchor.setAnchorNames({block.text()});
        heading.mergeCharFormat(anchor);
    }
}

} // namespace

bool CHelpWnd::ShowSection(QWidget* owner, const QString& heading) {
    QWidget* dialog = owner->window();
    // A modal dialog takes input only for itself and its own windows: the manual opened
    // from the other dialog would sit there unusable, so it makes way for a new one.
    if (g_openHelp && g_openHelp->parentWidget() != dialog) {
        g_openHelp->close();
        g_openHelp = nullptr;
    }
    if (!g_openHelp) {
        QFile manual(kManualPath);
        if (!manual.open(QIODevice::ReadOnly))
            return false;
        g_openHelp = new CHelpWnd(QString::fromUtf8(manual.readAll()), dialog);
        g_openHelp->MoveBeside(dialog);
    }
    g_openHelp->show();
    // The heading goes to the top of the view.
    g_openHelp->m_browser->scrollToAnchor(heading);
    g_openHelp->raise();
    // Not activateWindow(): Qt counts a window as active already while its dialog is.
    g_openHelp->windowHandle()->requestActivate();
    return true;
}

// The help window's frame is not known before it is shown; the dialog's, from the same window
// manager, stands in for it.
void CHelpWnd::MoveBeside(const QWidget* dialog) {
    const QRect owner = dialog->frameGeometry();
    const QSize frame = owner.size() - dialog->size();
    const QRect placed = PlaceBeside(owner, kPreferredSize + frame, kMinimumWidth + frame.width(),
                                     dialog->screen()->availableGeometry());
    resize(placed.size() - frame);
    move(placed.topLeft());
}

// A window of the dialog's own, so that the dialog's modal loop lets its input through; it
// goes when the dialog goes.
CHelpWnd::CHelpWnd(const QString& markdown, QWidget* dialog) : QWidget(dialog, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Taplore Help");
    setWindowIcon(CDesignApp::ProgramIcon());
    m_browser = new QTextBrowser(this);
    m_browser->document()->setDocumentMargin(12);
    m_browser->setSearchPaths({":/help"}); // where the manual's pictures are
    m_browser->setMarkdown(markdown);
    NameHeadings(m_browser->document());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(kPreferredSize);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
}
