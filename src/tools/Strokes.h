#pragma once

#include <QPen>
#include <QPolygon>
#include <QRgb>

class QPainter;

// Freehand strokes as the canvas draws them: 2-pixel solid lines from point
// to point, each segment on its own. Segments of no length draw nothing, so
// a click without movement leaves no mark.
QPen strokePen(QRgb colour);
void drawSegment(QPainter &painter, const QPoint &from, const QPoint &to); // with the painter's pen
void drawStroke(QPainter &painter, const QPolygon &points, QRgb colour);

// The area a segment may touch.
QRect segmentBounds(const QPoint &from, const QPoint &to);
