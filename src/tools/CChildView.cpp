#include "tools/CChildView.h"

#include "platform/Desktop.h"
#include "tools/Strokes.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSaveFile>

#include <cstdlib>

using namespace Qt::StringLiterals;

CChildView::CChildView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("childView"));
    setBackgroundRole(QPalette::Base);
    // Every pixel comes from the finished-strokes image: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void CChildView::OnLButtonDown(const QPoint &point)
{
    m_bDrawing = true;
    m_currentStroke.clear();
    m_currentStroke.append(point);
    // One random sequence, never seeded: green, blue, red in this order.
    const int green = std::rand() % 256;
    const int blue = std::rand() % 256;
    const int red = std::rand() % 256;
    m_currentColour = qRgb(red, green, blue);
    // While a button is down Qt sends every move and the release here, also
    // from outside the window.
}

void CChildView::OnMouseMove(const QPoint &point)
{
    if (!m_bDrawing)
        return;
    const QPoint previous = m_currentStroke.isEmpty() ? point : m_currentStroke.constLast();
    m_currentStroke.append(point);
    repaint(segmentBounds(previous, point));
}

void CChildView::OnLButtonUp(const QPoint &point)
{
    if (!m_bDrawing)
        return;
    m_currentStroke.append(point);
    m_strokes.append(m_currentStroke);
    m_strokeColours.append(m_currentColour);
    if (!m_finished.isNull()) {
        QPainter painter(&m_finished);
        drawStroke(painter, m_currentStroke, m_currentColour);
    }
    m_currentStroke.clear();
    m_bDrawing = false;
    update();
}

void CChildView::OnRButtonDown()
{
    m_strokes.clear();
    m_strokeColours.clear();
    m_currentStroke.clear(); // a stroke in progress goes on from the next move
    m_finished = QImage();
    repaint();
}

void CChildView::ensureFinishedImage()
{
    const qreal ratio = devicePixelRatioF();
    const QSize needed = size() * ratio;
    if (!m_finished.isNull() && m_finished.devicePixelRatio() == ratio && m_finished.width() >= needed.width() &&
        m_finished.height() >= needed.height())
        return;
    // Grown in steps, so dragging the window larger does not draw every stroke at each step.
    const auto roundUp = [](int n) { return (n + 255) / 256 * 256; };
    QImage image(roundUp(std::max(needed.width(), 1)), roundUp(std::max(needed.height(), 1)), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(palette().color(QPalette::Base));
    QPainter painter(&image);
    for (qsizetype i = 0; i < m_strokes.size(); ++i)
        drawStroke(painter, m_strokes[i], m_strokeColours[i]);
    painter.end();
    m_finished = std::move(image);
}

void CChildView::drawCurrentStroke(QPainter &painter, const QRect &area) const
{
    if (!m_bDrawing || m_currentStroke.size() < 2)
        return;
    // Only the segments that cross the repainted area: the rest is on screen already.
    painter.setPen(strokePen(m_currentColour));
    for (qsizetype k = 1; k < m_currentStroke.size(); ++k) {
        const QPoint &from = m_currentStroke[k - 1], &to = m_currentStroke[k];
        if (segmentBounds(from, to).intersects(area))
            drawSegment(painter, from, to);
    }
}

void CChildView::paintEvent(QPaintEvent *event)
{
    const QRect area = event->rect();
    QPainter painter(this);
    if (m_strokes.isEmpty()) {
        // Nothing finished yet: the surface needs no off-screen image (a few MB the program would carry from start).
        painter.fillRect(area, palette().color(QPalette::Base));
    } else {
        ensureFinishedImage();
        const qreal ratio = m_finished.devicePixelRatio();
        painter.drawImage(area.topLeft(), m_finished,
                          QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
    }
    drawCurrentStroke(painter, area);
}

QImage CChildView::shownImage()
{
    if (width() <= 0 || height() <= 0)
        return {};
    const qreal ratio = devicePixelRatioF();
    QImage image;
    if (m_strokes.isEmpty()) {
        image = QImage(size() * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(palette().color(QPalette::Base));
    } else {
        ensureFinishedImage();
        image = m_finished.copy(0, 0, qRound(width() * ratio), qRound(height() * ratio));
    }
    QPainter painter(&image);
    drawCurrentStroke(painter, rect());
    return image;
}

void CChildView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(event->position().toPoint());
    else if (event->button() == Qt::RightButton)
        OnRButtonDown();
}

void CChildView::mouseMoveEvent(QMouseEvent *event)
{
    OnMouseMove(event->position().toPoint());
}

void CChildView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(event->position().toPoint());
}

void CChildView::changeEvent(QEvent *event)
{
    // A new theme brings a new window colour under the strokes.
    if (event->type() == QEvent::PaletteChange) {
        m_finished = QImage();
        update();
    }
    QWidget::changeEvent(event);
}

void CChildView::ArkaplanCiziminiKaydet()
{
    SaveFileRequest request;
    request.caption = u"Farklı Kaydet"_s;
    request.fileName = QString::asprintf("Arkaplan%d.bmp", std::rand() % 9000 + 1000);
    request.filter = u"BMP Dosyaları (*.bmp)"_s;
    request.defaultSuffix = u"bmp"_s;
    request.confirmOverwrite = false; // asked below, through the desktop like every question

    Desktop &desktop = Desktop::current();
    QString path;
    for (;;) {
        path = desktop.saveFileName(this, request);
        if (path.isEmpty())
            return;
        if (!QFileInfo::exists(path))
            break;
        if (desktop.messageBox(this, u"Farklı Kaydet"_s,
                               u"%1 zaten var.\nDeğiştirmek istiyor musunuz?"_s.arg(QFileInfo(path).fileName()),
                               Desktop::Icon::Question, Desktop::Buttons::YesNo) == Desktop::Answer::Yes)
            break;
        request.fileName = path; // back to the dialog, where the user was
    }

    // Written under a temporary name and then renamed: a failure leaves any
    // earlier file as it was.
    const QImage image = shownImage();
    QSaveFile file(path);
    if (image.isNull() || !file.open(QIODevice::WriteOnly) || !image.save(&file, "BMP") || !file.commit())
        desktop.messageBox(this, u"Arkaplan Çizimini Kaydet"_s,
                           u"Çizim kaydedilemedi:\n%1\n\nKlasöre yazma izniniz olduğundan ve diskte yer "
                           u"bulunduğundan emin olun."_s.arg(QDir::toNativeSeparators(path)),
                           Desktop::Icon::Error, Desktop::Buttons::Ok);
}
