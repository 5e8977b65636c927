#include "platform/wnd.h"

#include "core/file_output.h"
#include "platform/qt_widgets.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

#include <new>

namespace {

QString ToQString(const std::string& text) {
    return QString::fromUtf8(text);
}

void ShowMessageBox(QWidget* pOwner, const std::string& text, const std::string& caption,
                    MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::stop ? QMessageBox::Critical : QMessageBox::Warning,
                    ToQString(caption), ToQString(text), QMessageBox::Ok, pOwner);
    box.exec();
}

} // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
    // The widget may outlive this object inside its parent's tree; cut it off first.
    if (auto* owned = dynamic_cast<OwnedWidget*>(m_pWidget))
        owned->Disown();
    delete m_pWidget;
}

bool CWnd::Create(CWnd* pParent, const CRect& rect, int /*id*/) {
    auto* widget = new ChildWidget(this, pParent->GetWidget());
    widget->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    widget->show();
    AdoptWidget(widget);
    return true;
}

CRect CWnd::GetClientRect() const {
    return {0, 0, m_pWidget->width(), m_pWidget->height()};
}

void CWnd::ScreenToClient(CRect& rect) const {
    const QPoint topLeft = m_pWidget->mapFromGlobal(QPoint(rect.left, rect.top));
    const QPoint bottomRight = m_pWidget->mapFromGlobal(QPoint(rect.right, rect.bottom));
    rect = {topLeft.x(), topLeft.y(), bottomRight.x(), bottomRight.y()};
}

bool CWnd::IsIconic() const {
    return m_pWidget->isMinimized();
}

void CWnd::Invalidate() {
    m_pWidget->update();
    for (QWidget* child : m_pWidget->findChildren<QWidget*>())
        child->update();
}

void CWnd::UpdateWindow() {
    m_pWidget->repaint();
}

void CWnd::MessageBox(const std::string& text, const std::string& caption, MessageIcon icon) {
    ShowMessageBox(m_pWidget, text, caption, icon);
}

void CWnd::RunHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::bad_alloc&) {
        AfxMessageBox("Out of memory.", MessageIcon::exclamation);
    } catch (const CFileException& e) {
        AfxMessageBox(e.Message(), MessageIcon::stop);
    }
}

void CWnd::RunPaintHandler() {
    try {
        m_paintHandler();
    } catch (...) { // NOLINT: a failed paint leaves the area as it is
    }
}

void CWnd::SendHScroll(int code) {
    if (m_hscrollHandler && !m_bLockNotify)
        RunHandler([this, code] { m_hscrollHandler(code); });
}

int GetStandardIconSize() {
    return 32;
}

std::string AfxGetAppName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

void AfxMessageBox(const std::string& text, MessageIcon icon) {
    ShowMessageBox(QApplication::activeWindow(), text, AfxGetAppName(), icon);
}
