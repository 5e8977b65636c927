#include "gui/spectrum_wnd.h"

#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace {

const QColor kGridColour(0, 255, 0);
const QColor kCurveColour(255, 0, 0);

QPoint ToQPoint(const taplore::PlotPoint& point) {
    return {point.x, point.y};
}

QPen GridPen() {
    QPen pen(kGridColour, 1);
    pen.setDashPattern({1.0, 1.0}); // every other pixel
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

QPen CurvePen() {
    QPen pen(kCurveColour, 2);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// A screen reader announces the plot as a chart rather than as an unnamed pane.
QAccessibleInterface* ChartAccessible(const QString& className, QObject* object) {
    auto* plot = qobject_cast<CSpectrumWnd*>(object);
    return className == "CSpectrumWnd" && plot ? new QAccessibleWidget(plot, QAccessible::Chart)
                                               : nullptr;
}

} // namespace

CSpectrumWnd::CSpectrumWnd(QWidget* parent) : QWidget(parent) {
    static const bool accessible = (QAccessible::installFactory(&ChartAccessible), true);
    (void)accessible;
    // paintEvent covers every pixel, so nothing is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName("Log-Magnitude Spectrum");
    setAccessibleDescription("Nothing is plotted yet.");
}

int CSpectrumWnd::ComputeSpectrum(const double* coef, int count, double sampleRate) {
    return m_plot.ComputeSpectrum(coef, count, sampleRate);
}

void CSpectrumWnd::Describe(BandType band) {
    setAccessibleDescription(QString::fromStdString(m_plot.Summary(band)));
}

// The pointer's bin as a tooltip: the plot has no axes to read it from.
bool CSpectrumWnd::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString text = QString::fromStdString(m_plot.BinText(help->pos().x(), width()));
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), text, this);
    return true;
}

void CSpectrumWnd::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect(), m_crBackground);
    DrawGrid(painter, width(), height());
    DrawCurve(painter, width(), height());
}

void CSpectrumWnd::DrawGrid(QPainter& painter, int width, int height) {
    painter.setPen(GridPen());
    for (const taplore::PlotLine& line : taplore::SpectrumPlot::GridLines(width, height))
        painter.drawLine(ToQPoint(line.from), ToQPoint(line.to));
}

// Line by line rather than as a polyline: the joins would move pixels.
void CSpectrumWnd::DrawCurve(QPainter& painter, int width, int height) const {
    painter.setPen(CurvePen());
    const std::vector<taplore::PlotPoint> curve = m_plot.Curve(width, height);
    for (std::size_t i = 1; i < curve.size(); ++i)
        painter.drawLine(ToQPoint(curve[i - 1]), ToQPoint(curve[i]));
}
