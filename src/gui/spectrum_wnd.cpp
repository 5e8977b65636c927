#include "gui/spectrum_wnd.h"

#include "core/analysis/log_magnitude.h"
#include "core/analysis/response_summary.h"
#include "core/formats/crt.h"

#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QColor kGridColour(0, 255, 0);
const QColor kCurveColour(255, 0, 0);

// A plot coordinate: truncated toward zero; a value that is not finite lands on 0.
// One decimal, as the cutoff labels show it, without their padding.
QString OneDecimal(double value) {
    return QString::fromStdString(crt::FormatF8_1(value)).trimmed();
}

int ToPixel(double value) {
    if (!std::isfinite(value))
        return 0;
    constexpr double limit = std::numeric_limits<int>::max();
    return static_cast<int>(std::fmax(-limit, std::fmin(limit, value)));
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
    const int bins = ComputeLogMagnitude(coef, count, m_pMagDb, m_nBins);
    if (bins >= 0)
        m_sampleRate = sampleRate;
    return bins;
}

void CSpectrumWnd::Describe(BandType band) {
    const auto summary = taplore::SummariseResponse(m_pMagDb.get(), m_nBins, m_sampleRate, band);
    setAccessibleDescription(QString::fromStdString(taplore::DescribeResponse(summary)));
}

// The pointer's bin as a tooltip: the plot has no axes to read it from.
bool CSpectrumWnd::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString text = BinText(help->pos().x());
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), text, this);
    return true;
}

// The bin drawn nearest to x; bin 0 is never drawn, so it is never named.
QString CSpectrumWnd::BinText(int x) const {
    if (m_nBins < 2 || width() <= 0)
        return {};
    const long long nearest = (static_cast<long long>(x) * m_nBins + width() / 2) / width();
    const int bin = static_cast<int>(std::clamp<long long>(nearest, 1, m_nBins - 1));
    const double hz = bin * m_sampleRate / kSpectrumPoints;
    return OneDecimal(hz) + " Hz  " + OneDecimal(m_pMagDb[bin]) + " dB";
}

void CSpectrumWnd::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect(), m_crBackground);
    DrawGrid(painter, width(), height());
    DrawCurve(painter, width(), height() / 10);
}

void CSpectrumWnd::DrawGrid(QPainter& painter, int width, int height) {
    painter.setPen(GridPen());
    // A window under 10 pixels has a step of 0: it gets no lines rather than endless ones.
    const int xstep = width / 10;
    for (int x = 0; xstep > 0 && x < width; x += xstep)
        painter.drawLine(x, 0, x, height);
    const int ystep = height / 10;
    for (int y = 0; ystep > 0 && y < height; y += ystep)
        painter.drawLine(0, y, width, y);
}

// Bin 0 is not drawn: the curve starts from (0, ystep).
void CSpectrumWnd::DrawCurve(QPainter& painter, int width, int ystep) const {
    painter.setPen(CurvePen());
    QPoint current(0, ystep);
    for (int i = 1; i < m_nBins; ++i) {
        const QPoint next(static_cast<int>(static_cast<long long>(i) * width / m_nBins),
                          ToPixel(10.0 - ((m_pMagDb[i] * ystep) * 0.1)));
        painter.drawLine(current, next);
        current = next;
    }
}
