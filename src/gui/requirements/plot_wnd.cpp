#include "gui/requirements/plot_wnd.h"

#include "core/analysis/views.h"
#include "core/dialog/readings.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTicks = 6;   // about as many tick steps along an axis
constexpr int kTickGap = 6; // pixels between a tick's text and the axis
const QColor kCurve(200, 0, 0);
const QColor kStaleCurve(200, 150, 150);
// The fixed-point taps' curve: blue against the red, so that either shows where they part.
const QColor kOverlay(0, 80, 220);
const QColor kStaleOverlay(150, 170, 220);
const QColor kRegion(90, 170, 90, 70);
// The parts' dashes: none red or blue, the curve's and the overlay's colours. A CIC grey and
// its FIR green, each its own.
const QColor kParts[] = {{220, 120, 0}, {180, 0, 180}, {0, 140, 60}, {110, 70, 200}};
const QColor kCicPart(90, 90, 90);
const QColor kFirPart(0, 140, 70);
constexpr int kDash = 24; // pixels of a legend entry's line
const QColor kGrid(220, 220, 220);

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

// The ticks of an axis from low to high, each with its text.
QVector<std::pair<double, QString>> Ticks(double low, double high) {
    const double step = taplore::TickStep(high - low, kTicks);
    QVector<std::pair<double, QString>> ticks;
    for (double at = std::ceil(low / step) * step; at <= high + step * 1e-9; at += step)
        ticks.push_back({at, FromStd(taplore::TickText(at, step))});
    return ticks;
}

// Curves longer than a screen is wide keep, of each of kBuckets runs of points, the lowest
// and the highest: every peak and dip stays drawn, at a fraction of the lines.
constexpr int kBuckets = 2048;

QVector<QPointF> Decimated(QVector<QPointF> points) {
    if (points.size() <= 2 * kBuckets)
        return points;
    QVector<QPointF> kept;
    const qsizetype per = (points.size() + kBuckets - 1) / kBuckets;
    for (qsizetype start = 0; start < points.size(); start += per) {
        const auto first = points.begin() + start;
        const auto last = points.begin() + std::min(start + per, points.size());
        const auto [low, high] = std::minmax_element(
            first, last, [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
        // In the order they lie, so that the line still runs left to right.
        const bool lowFirst = low < high;
        kept.push_back(lowFirst ? *low : *high);
        kept.push_back(lowFirst ? *high : *low);
    }
    return kept;
}

// (x, y) pairs as far as both reach.
QVector<QPointF> PointsOf(const std::vector<double>& x, const std::vector<double>& y) {
    QVector<QPointF> points;
    for (std::size_t n = 0; n < y.size() && n < x.size(); ++n)
        points.push_back({x[n], y[n]});
    return points;
}

} // namespace

CPlotWnd::CPlotWnd(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumSize(240, 160);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void CPlotWnd::SetCurve(QVector<QPointF> points, const PlotAxis& x, const PlotAxis& y) {
    m_xSpacing = points.size() > 1
                     ? (points.back().x() - points.front().x()) / double(points.size() - 1)
                     : 1.0;
    m_points = Decimated(std::move(points));
    m_xAxis = x;
    m_yAxis = y;
    UpdateLimits();
}

void CPlotWnd::SetRegions(QVector<PlotRegion> regions) {
    m_regions = std::move(regions);
    update();
}

void CPlotWnd::SetRange(std::optional<PlotRange> range, std::optional<PlotRange> xRange) {
    m_range = range;
    m_xRange = xRange;
    UpdateLimits();
}

void CPlotWnd::Show(const taplore::PlotData& plot) {
    QVector<QPointF> points;
    points.reserve(static_cast<qsizetype>(plot.x.size()));
    for (std::size_t n = 0; n < plot.x.size(); ++n)
        points.push_back({plot.x[n], plot.y[n]});
    SetCurve(std::move(points), plot.xAxis, plot.yAxis);
    m_overlay = Decimated(PointsOf(plot.x, plot.overlay));
    m_parts.clear();
    for (const taplore::NamedCurve& part : plot.parts)
        m_parts.push_back({FromStd(part.name), Decimated(PointsOf(plot.x, part.y)), part.kind});
    SetRegions(QVector<PlotRegion>(plot.regions.begin(), plot.regions.end()));
    SetRange(plot.yRange, plot.xRange);
    setAccessibleName(FromStd(plot.name));
    setAccessibleDescription(FromStd(plot.description));
}

void CPlotWnd::SetStale(bool stale) {
    m_stale = stale;
    update();
}

// The x axis spans the range asked for or the curve; the y axis the range asked for, or the curve's
// finite values rounded out to whole ticks.
void CPlotWnd::UpdateLimits() {
    double low = INFINITY, high = -INFINITY;
    for (const QPointF& point : m_points)
        if (std::isfinite(point.y())) {
            low = std::min(low, point.y());
            high = std::max(high, point.y());
        }
    if (m_xRange) {
        m_xLow = m_xRange->low;
        m_xHigh = std::max(m_xRange->high, m_xLow + 1e-300);
    } else if (!m_points.isEmpty()) {
        m_xLow = m_points.front().x();
        m_xHigh = std::max(m_points.back().x(), m_xLow + 1e-300);
    }
    if (m_range) {
        low = m_range->low;
        high = m_range->high;
    } else if (low > high) {
        low = 0, high = 1;
    } else {
        // A curve that hardly moves (a constant group delay) is shown about its level, not
        // blown up to its rounding.
        const double least = 0.1 * std::max(1.0, std::fabs(high + low) / 2);
        if (high - low < least) {
            const double middle = (high + low) / 2;
            low = middle - least / 2;
            high = middle + least / 2;
        }
        const double step = taplore::TickStep(high - low, kTicks);
        low = std::floor(low / step) * step;
        high = std::max(std::ceil(high / step) * step, low + step);
    }
    m_yLow = low;
    m_yHigh = high;
    update();
}

QStringList CPlotWnd::TickTexts(Qt::Orientation axis) const {
    QStringList texts;
    for (const auto& tick :
         axis == Qt::Horizontal ? Ticks(m_xLow, m_xHigh) : Ticks(m_yLow, m_yHigh))
        texts << tick.second;
    return texts;
}

QString CPlotWnd::AxisTitleText(Qt::Orientation axis) const {
    const PlotAxis& shown = axis == Qt::Horizontal ? m_xAxis : m_yAxis;
    return FromStd(taplore::AxisTitle(shown.title, shown.unit));
}

// Room on the left for the y axis' title and its widest tick, so that neither runs into the
// other; below for the x ticks and title.
QRect CPlotWnd::PlotArea() const {
    const QFontMetrics metrics = fontMetrics();
    int widest = 0;
    for (const auto& tick : Ticks(m_yLow, m_yHigh))
        widest = std::max(widest, metrics.horizontalAdvance(tick.second));
    const int text = metrics.height();
    return rect().adjusted(text + 4 + widest + kTickGap, text / 2 + 4, -text, -(text * 2 + 10));
}

QPointF CPlotWnd::ToPixel(const QRect& area, double x, double y) const {
    const double fx = (x - m_xLow) / (m_xHigh - m_xLow);
    const double fy = (y - m_yLow) / (m_yHigh - m_yLow);
    // Far outside values are held just beyond the edge, where the clip hides them.
    return {area.left() + std::clamp(fx, -0.01, 1.01) * area.width(),
            area.bottom() - std::clamp(fy, -0.01, 1.01) * area.height()};
}

void CPlotWnd::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect area = PlotArea();
    DrawRegions(painter, area);
    DrawAxes(painter, area);
    for (int i = 0; i < m_parts.size(); ++i) {
        QColor colour = PartColour(i, m_parts[i].kind);
        colour.setAlpha(m_stale ? 90 : 255);
        DrawCurve(painter, area, m_parts[i].points, QPen(colour, 1.5, Qt::DashLine));
    }
    DrawCurve(painter, area, m_points, QPen(m_stale ? kStaleCurve : kCurve, 1.5));
    DrawCurve(painter, area, m_overlay, QPen(m_stale ? kStaleOverlay : kOverlay, 1.5));
    DrawLegend(painter, area);
    DrawReadout(painter, area);
}

void CPlotWnd::DrawAxes(QPainter& painter, const QRect& area) const {
    const QFontMetrics metrics = fontMetrics();
    const QColor text = palette().color(QPalette::Text);
    for (const auto& [x, label] : Ticks(m_xLow, m_xHigh)) {
        const double px = ToPixel(area, x, m_yLow).x();
        painter.setPen(kGrid);
        painter.drawLine(QPointF(px, area.top()), QPointF(px, area.bottom()));
        painter.setPen(text);
        painter.drawText(QPointF(px - metrics.horizontalAdvance(label) / 2.0,
                                 area.bottom() + metrics.height() + 2),
                         label);
    }
    for (const auto& [y, label] : Ticks(m_yLow, m_yHigh)) {
        const double py = ToPixel(area, m_xLow, y).y();
        painter.setPen(kGrid);
        painter.drawLine(QPointF(area.left(), py), QPointF(area.right(), py));
        painter.setPen(text);
        painter.drawText(QPointF(area.left() - metrics.horizontalAdvance(label) - kTickGap,
                                 py + metrics.ascent() / 2.0),
                         label);
    }
    painter.setPen(text);
    painter.drawRect(area);
    painter.drawText(
        QRect(area.left(), area.bottom() + metrics.height() + 4, area.width(), metrics.height()),
        Qt::AlignCenter, AxisTitleText(Qt::Horizontal));
    painter.save();
    painter.translate(metrics.height() / 2.0 + 2, area.center().y());
    painter.rotate(-90);
    painter.drawText(
        QRect(-area.height() / 2, -metrics.height() / 2, area.height(), metrics.height()),
        Qt::AlignCenter, AxisTitleText(Qt::Vertical));
    painter.restore();
}

void CPlotWnd::DrawRegions(QPainter& painter, const QRect& area) const {
    painter.save();
    painter.setClipRect(area);
    for (const PlotRegion& region : m_regions) {
        const QPointF topLeft = ToPixel(area, region.x0, region.y1);
        const QPointF bottomRight = ToPixel(area, region.x1, region.y0);
        painter.fillRect(QRectF(topLeft, bottomRight), kRegion);
    }
    painter.restore();
}

void CPlotWnd::DrawCurve(QPainter& painter, const QRect& area, const QVector<QPointF>& points,
                         const QPen& pen) const {
    QPainterPath path;
    bool drawing = false;
    for (const QPointF& point : points) {
        if (!std::isfinite(point.y())) {
            drawing = false;
            continue;
        }
        const QPointF pixel = ToPixel(area, point.x(), point.y());
        drawing ? path.lineTo(pixel) : path.moveTo(pixel);
        drawing = true;
    }
    painter.save();
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen);
    painter.drawPath(path);
    painter.restore();
}

QColor CPlotWnd::PartColour(int part, taplore::PartKind kind) {
    switch (kind) {
    case taplore::PartKind::cic:
        return kCicPart;
    case taplore::PartKind::fir:
        return kFirPart;
    case taplore::PartKind::stage:
        break;
    }
    return kParts[static_cast<std::size_t>(part) % std::size(kParts)];
}

QStringList CPlotWnd::LegendTexts() const {
    QStringList texts;
    for (const Part& part : m_parts)
        texts << part.name;
    return texts;
}

// The dashed parts named in the plot's top left corner, a line of each one's dash before its
// name, over a backing that keeps them readable above the curves.
void CPlotWnd::DrawLegend(QPainter& painter, const QRect& area) const {
    if (m_parts.isEmpty())
        return;
    const QFontMetrics metrics = fontMetrics();
    int widest = 0;
    for (const Part& part : m_parts)
        widest = std::max(widest, metrics.horizontalAdvance(part.name));
    const int line = metrics.height();
    const QRect box(area.left() + 4, area.top() + 4, kDash + 12 + widest,
                    line * static_cast<int>(m_parts.size()) + 4);
    painter.save();
    painter.fillRect(box, palette().color(QPalette::Base));
    for (int i = 0; i < m_parts.size(); ++i) {
        const int y = box.top() + 2 + i * line;
        painter.setPen(QPen(PartColour(i, m_parts[i].kind), 1.5, Qt::DashLine));
        painter.drawLine(QPointF(box.left() + 4, y + line / 2.0),
                         QPointF(box.left() + 4 + kDash, y + line / 2.0));
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(QPointF(box.left() + kDash + 8, y + metrics.ascent()), m_parts[i].name);
    }
    painter.restore();
}

// The point of the curve nearest the pointer's column, named in the plot's top right corner.
void CPlotWnd::DrawReadout(QPainter& painter, const QRect& area) const {
    if (!m_pointerX || m_points.isEmpty())
        return;
    const double x = m_xLow + (*m_pointerX - area.left()) * (m_xHigh - m_xLow) / area.width();
    const auto nearest =
        std::min_element(m_points.begin(), m_points.end(), [x](const QPointF& a, const QPointF& b) {
            return std::fabs(a.x() - x) < std::fabs(b.x() - x);
        });
    const QString text = ReadoutText(*nearest, area);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(area.adjusted(4, 2, -4, -2), Qt::AlignTop | Qt::AlignRight, text);
    painter.setPen(QPen(kGrid.darker(150), 1, Qt::DashLine));
    const double px = ToPixel(area, nearest->x(), 0).x();
    painter.drawLine(QPointF(px, area.top()), QPointF(px, area.bottom()));
}

// "12,808.6 Hz, −0.0029 dB": x to the spacing of the curve's points, y to a pixel's height.
QString CPlotWnd::ReadoutText(const QPointF& point, const QRect& area) const {
    const double pixelHeight = (m_yHigh - m_yLow) / std::max(1, area.height());
    return FromStd(taplore::ReadingText(point.x(), m_xSpacing, m_xAxis.unit) + ", " +
                   taplore::ReadingText(point.y(), pixelHeight, m_yAxis.unit));
}

void CPlotWnd::mouseMoveEvent(QMouseEvent* event) {
    const QRect area = PlotArea();
    const int x = event->position().toPoint().x();
    m_pointerX = area.contains(event->position().toPoint()) ? std::optional(x) : std::nullopt;
    update();
}

void CPlotWnd::leaveEvent(QEvent* /*event*/) {
    m_pointerX.reset();
    update();
}
