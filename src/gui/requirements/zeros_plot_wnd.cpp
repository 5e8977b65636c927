#include "gui/requirements/zeros_plot_wnd.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// The plane reaches past the unit circle, and on to the farthest zero up to this far: a zero
// far out would shrink the circle to a dot.
constexpr double kLeastReach = 1.25;
constexpr double kMostReach = 4.0;
constexpr int kMargin = 12;
constexpr double kZeroRadius = 3.5; // pixels
const QColor kZero(200, 0, 0);
const QColor kStaleZero(200, 150, 150);
const QColor kCircle(0, 128, 0);
const QColor kAxis(160, 160, 160);

} // namespace

CZerosPlot::CZerosPlot(QWidget* parent) : QWidget(parent) {
    setMinimumSize(160, 120);
    setAccessibleName("Zeros");
}

void CZerosPlot::Show(const taplore::ZerosData& zeros) {
    m_zeros = zeros.zeros;
    m_problem = QString::fromStdString(zeros.problem);
    m_reach = kLeastReach;
    for (const std::complex<double> zero : m_zeros)
        if (std::abs(zero) <= kMostReach)
            m_reach = std::max(m_reach, std::abs(zero) * 1.05);
    m_reach = std::min(m_reach, kMostReach);
    setAccessibleName(QString::fromStdString(zeros.name));
    setAccessibleDescription(QString::fromStdString(zeros.description));
    update();
}

void CZerosPlot::SetStale(bool stale) {
    m_stale = stale;
    update();
}

// A square, so that a circle is drawn round: the same pixels a unit on both axes.
QRectF CZerosPlot::PlaneArea() const {
    const QRectF inside = QRectF(rect()).adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const double side = std::max(0.0, std::min(inside.width(), inside.height()));
    QRectF square(0, 0, side, side);
    square.moveCenter(inside.center());
    return square;
}

QPointF CZerosPlot::ToPixel(const QRectF& area, std::complex<double> z) const {
    const double scale = area.width() / (2 * m_reach);
    return {area.center().x() + z.real() * scale, area.center().y() - z.imag() * scale};
}

void CZerosPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!m_problem.isEmpty()) {
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(rect().adjusted(kMargin, kMargin, -kMargin, -kMargin),
                         Qt::AlignCenter | Qt::TextWordWrap, m_problem);
        return;
    }
    const QRectF area = PlaneArea();
    DrawPlane(painter, area);
    DrawZeros(painter, area);
}

// The axes through the origin and the unit circle, each axis marked at -1 and 1.
void CZerosPlot::DrawPlane(QPainter& painter, const QRectF& area) const {
    painter.setPen(kAxis);
    painter.drawLine(ToPixel(area, {-m_reach, 0}), ToPixel(area, {m_reach, 0}));
    painter.drawLine(ToPixel(area, {0, -m_reach}), ToPixel(area, {0, m_reach}));
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics metrics = painter.fontMetrics();
    for (const double at : {-1.0, 1.0}) {
        const QPointF real = ToPixel(area, {at, 0});
        painter.drawText(real + QPointF(2, metrics.ascent() + 2), at < 0 ? "−1" : "1");
        const QPointF imaginary = ToPixel(area, {0, at});
        painter.drawText(imaginary + QPointF(4, metrics.ascent() / 2.0), at < 0 ? "−j" : "j");
    }
    painter.setPen(QPen(kCircle, 1.5));
    painter.setBrush(Qt::NoBrush);
    const QPointF centre = ToPixel(area, {0, 0});
    const double radius = ToPixel(area, {1, 0}).x() - centre.x();
    painter.drawEllipse(centre, radius, radius);
}

// Each zero a ring; those beyond the plane's reach are left out.
void CZerosPlot::DrawZeros(QPainter& painter, const QRectF& area) const {
    painter.setPen(QPen(m_stale ? kStaleZero : kZero, 1.5));
    painter.setBrush(Qt::NoBrush);
    for (const std::complex<double> zero : m_zeros)
        if (std::abs(zero.real()) <= m_reach && std::abs(zero.imag()) <= m_reach)
            painter.drawEllipse(ToPixel(area, zero), kZeroRadius, kZeroRadius);
}
