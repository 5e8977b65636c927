#include "gui/help_wnd.h"

#include "gui/design_app.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QPointer>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

const char* const kManualPath = ":/help/manual.md";

// F1 again raises the open window instead of stacking a second copy of the manual.
QPointer<CHelpWnd> g_openHelp;

QTextBlock FindHeading(const QTextDocument* document, const QString& heading) {
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        if (block.blockFormat().headingLevel() > 0 && block.text() == heading)
            return block;
    return {};
}

} // namespace

bool CHelpWnd::ShowSection(const QString& heading) {
    if (!g_openHelp) {
        QFile manual(kManualPath);
        if (!manual.open(QIODevice::ReadOnly))
            return false;
        g_openHelp = new CHelpWnd(QString::fromUtf8(manual.readAll()));
    }
    g_openHelp->show();
    g_openHelp->ScrollToSection(heading);
    g_openHelp->raise();
    g_openHelp->activateWindow();
    return true;
}

// No parent: a window-modal About box then blocks only the design dialog, never the manual.
CHelpWnd::CHelpWnd(const QString& markdown) : QWidget(nullptr, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Taplore Help");
    setWindowIcon(CDesignApp::ProgramIcon());
    m_browser = new QTextBrowser(this);
    m_browser->setMarkdown(markdown);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(640, 560);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
}

// The heading goes to the top of the view, with the cursor on it for keyboard reading.
void CHelpWnd::ScrollToSection(const QString& heading) {
    const QTextBlock block = FindHeading(m_browser->document(), heading);
    if (!block.isValid())
        return;
    m_browser->setTextCursor(QTextCursor(block));
    const QRectF place = m_browser->document()->documentLayout()->blockBoundingRect(block);
    m_browser->verticalScrollBar()->setValue(static_cast<int>(place.top()));
}
