#pragma once
// CPlotWnd: one view of a design (magnitude, phase, group delay, impulse or step) over its
// axes, with the regions the response must stay inside shaded under it and a read-out of the
// curve under the pointer. It paints what it is given and computes nothing of the filter.

#include <QPointF>
#include <QString>
#include <QVector>
#include <QWidget>

#include <optional>

class QPainter;

// A region of the plane the response must stay inside: x from x0 to x1, y from y0 to y1; an
// infinite y reaches the plot's edge.
struct PlotRegion {
    double x0, x1, y0, y1;
};

// The part of the y axis shown.
struct PlotRange {
    double low, high;
};

class CPlotWnd : public QWidget {
    Q_OBJECT

public:
    explicit CPlotWnd(QWidget* parent = nullptr);

    // The curve, x ascending, with the axes' titles ("Frequency (Hz)", "Level (dB)"). Points
    // that are not finite are left out of the line.
    void SetCurve(QVector<QPointF> points, const QString& xTitle, const QString& yTitle);
    void SetRegions(QVector<PlotRegion> regions);
    // The y range shown; without one, the curve's own, rounded out to whole ticks.
    void SetRange(std::optional<PlotRange> range);
    // A curve that no longer answers the requirements shown is drawn faded.
    void SetStale(bool stale);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QRect PlotArea() const;
    QPointF ToPixel(const QRect& area, double x, double y) const;
    void DrawAxes(QPainter& painter, const QRect& area) const;
    void DrawRegions(QPainter& painter, const QRect& area) const;
    void DrawCurve(QPainter& painter, const QRect& area) const;
    void DrawReadout(QPainter& painter, const QRect& area) const;
    void UpdateLimits();

    QVector<QPointF> m_points;
    QVector<PlotRegion> m_regions;
    QString m_xTitle, m_yTitle;
    std::optional<PlotRange> m_range;
    bool m_stale = false;
    double m_xLow = 0, m_xHigh = 1, m_yLow = 0, m_yHigh = 1;
    std::optional<int> m_pointerX; // the pointer's column over the plot area
};
