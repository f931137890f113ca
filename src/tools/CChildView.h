#pragma once

#include <QImage>
#include <QList>
#include <QPolygon>
#include <QRgb>
#include <QWidget>

// The area below the ribbon, filling the rest of the main window: the user
// scribbles on it with the left button, wipes it with the right one, and
// the frame's "Arkaplan Çizimini Kaydet" saves it as a BMP file.
class CChildView : public QWidget
{
    Q_OBJECT
public:
    explicit CChildView(QWidget *parent = nullptr);

    void OnLButtonDown(const QPoint &point);
    void OnMouseMove(const QPoint &point);
    void OnLButtonUp(const QPoint &point);
    void OnRButtonDown();
    // Asks where, then writes what the canvas shows as a BMP file.
    void ArkaplanCiziminiKaydet();

    // Exactly what the canvas shows, background included.
    QImage shownImage();

    const QList<QPolygon> &strokes() const { return m_strokes; }
    const QList<QRgb> &strokeColours() const { return m_strokeColours; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void ensureFinishedImage();
    void drawCurrentStroke(QPainter &painter, const QRect &area) const;

    bool m_bDrawing = false;
    QPolygon m_currentStroke;
    QList<QPolygon> m_strokes;
    QList<QRgb> m_strokeColours; // one per finished stroke
    QRgb m_currentColour = 0;

    // The background with every finished stroke on it, so a move repaints
    // only the piece it changed instead of every stroke from its points.
    // At least the view's size; null when it must be drawn again.
    QImage m_finished;
};
