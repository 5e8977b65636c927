#pragma once
// CZerosPlot: the zeros of a design in the z-plane: the unit circle, the real and imaginary
// axes and each zero a small ring, at one scale on both axes; or, where the zeros could not be
// found, why. It paints what it is given and computes nothing of the filter.

#include "core/document/requirements_presenter.h"

#include <QString>
#include <QWidget>

#include <complex>
#include <vector>

class QPainter;

class CZerosPlot : public QWidget {
    Q_OBJECT

public:
    explicit CZerosPlot(QWidget* parent = nullptr);

    // The zeros, or their problem, with their names for a screen reader.
    void Show(const taplore::ZerosData& zeros);
    // Zeros that no longer answer the requirements shown are drawn faded.
    void SetStale(bool stale);

    // The square the plane is drawn in, and the radius from its centre it reaches.
    QRectF PlaneArea() const;
    double Reach() const { return m_reach; }
    const QString& Problem() const { return m_problem; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointF ToPixel(const QRectF& area, std::complex<double> z) const;
    void DrawPlane(QPainter& painter, const QRectF& area) const;
    void DrawZeros(QPainter& painter, const QRectF& area) const;

    std::vector<std::complex<double>> m_zeros;
    QString m_problem;
    double m_reach = 1.25;
    bool m_stale = false;
};
