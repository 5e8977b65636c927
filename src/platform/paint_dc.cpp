#include "platform/paint_dc.h"

#include "platform/dialog.h"
#include "platform/wnd.h"

#include <QPainter>
#include <QWidget>

namespace {
QColor ToQColor(COLORREF color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}
} // namespace

CPaintDC::CPaintDC(CWnd* pWnd) : m_pPainter(std::make_unique<QPainter>(pWnd->GetWidget())) {
    m_pPainter->setRenderHint(QPainter::Antialiasing, false);
}

CPaintDC::~CPaintDC() = default;

void CPaintDC::FillSolidRect(const CRect& rect, COLORREF color) {
    m_pPainter->fillRect(rect.left, rect.top, rect.Width(), rect.Height(), ToQColor(color));
}

void CPaintDC::SelectObject(const CPen& pen) {
    QPen qpen(ToQColor(pen.m_color), pen.m_width);
    if (pen.m_style == PenStyle::dot) {
        qpen.setDashPattern({1.0, 1.0}); // every other pixel
        qpen.setCapStyle(Qt::FlatCap);
    } else {
        qpen.setCapStyle(Qt::RoundCap);
        qpen.setJoinStyle(Qt::RoundJoin);
    }
    m_pPainter->setPen(qpen);
}

void CPaintDC::MoveTo(int x, int y) {
    m_current = {x, y};
}

void CPaintDC::LineTo(int x, int y) {
    m_pPainter->drawLine(m_current.x, m_current.y, x, y);
    m_current = {x, y};
}

void CPaintDC::DrawIcon(int x, int y, const CIcon& icon) {
    m_pPainter->drawPixmap(x, y, icon.Get().pixmap(32, 32));
}

void CPaintDC::EraseBackground(const CRect& rect) {
    const QWidget* widget = static_cast<QWidget*>(m_pPainter->device());
    m_pPainter->fillRect(rect.left, rect.top, rect.Width(), rect.Height(),
                         widget->palette().window());
}
