#pragma once
// CPlotWnd: one view of a design (magnitude, phase, group delay, impulse or step) over its
// axes, with the regions the response must stay inside shaded under it, the curves it is made
// of dashed with a legend, and a read-out of the curve under the pointer. It paints what it is
// given and computes nothing of the filter.

#include "core/document/requirements_presenter.h"

#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <optional>
#include <string>

class QPainter;

// The curve's axes, regions and ranges as the core gives them.
using taplore::PlotAxis;
using taplore::PlotRange;
using taplore::PlotRegion;

class CPlotWnd : public QWidget {
    Q_OBJECT

public:
    explicit CPlotWnd(QWidget* parent = nullptr);

    // The curve, x ascending, with what its axes show. Points that are not finite are left out
    // of the line.
    void SetCurve(QVector<QPointF> points, const PlotAxis& x, const PlotAxis& y);
    void SetRegions(QVector<PlotRegion> regions);
    // The y range shown; without one, the curve's own, rounded out to whole ticks. The x range
    // shown; without one, the curve's.
    void SetRange(std::optional<PlotRange> range, std::optional<PlotRange> xRange = {});
    // The curve with its overlay and dashed parts, its axes, regions and ranges, and its names
    // for a screen reader, all at once.
    void Show(const taplore::PlotData& plot);
    // A curve that no longer answers the requirements shown is drawn faded.
    void SetStale(bool stale);

    // What the axes show: the ticks' texts, and the title with the unit.
    QStringList TickTexts(Qt::Orientation axis) const;
    QString AxisTitleText(Qt::Orientation axis) const;
    // The plotted area, with room on the left for the y title and the widest y tick.
    QRect PlotArea() const;
    // The dashed curves' names, as the legend lists them, and the colour of the part-th, of kind.
    QStringList LegendTexts() const;
    static QColor PartColour(int part, taplore::PartKind kind = taplore::PartKind::stage);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPointF ToPixel(const QRect& area, double x, double y) const;
    void DrawAxes(QPainter& painter, const QRect& area) const;
    void DrawRegions(QPainter& painter, const QRect& area) const;
    void DrawCurve(QPainter& painter, const QRect& area, const QVector<QPointF>& points,
                   const QPen& pen) const;
    void DrawLegend(QPainter& painter, const QRect& area) const;
    void DrawReadout(QPainter& painter, const QRect& area) const;
    QString ReadoutText(const QPointF& point, const QRect& area) const;
    void UpdateLimits();

    QVector<QPointF> m_points;
    QVector<QPointF> m_overlay; // a second curve over the same x, drawn over the first
    // Curves the first is made of (a cascade's stages, or a CIC and its FIR), dashed under it.
    struct Part {
        QString name;
        QVector<QPointF> points;
        taplore::PartKind kind;
    };
    QVector<Part> m_parts;
    QVector<PlotRegion> m_regions;
    PlotAxis m_xAxis, m_yAxis;
    double m_xSpacing = 1; // between the curve's points, before they are thinned out
    std::optional<PlotRange> m_range, m_xRange;
    bool m_stale = false;
    double m_xLow = 0, m_xHigh = 1, m_yLow = 0, m_yHigh = 1;
    std::optional<int> m_pointerX; // the pointer's column over the plot area
};
