#include "tools/CChildView.h"
#include "tools/Strokes.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <benchmark/benchmark.h>

namespace {

const QSize kCanvas(1024, 640);
constexpr int kPointsPerStroke = 200;

// Scribbles of short steps, spread over the canvas, the same every run.
QList<QPolygon> scribbles(int count)
{
    quint32 seed = 12345;
    const auto next = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 8) % quint32(range));
    };
    QList<QPolygon> strokes;
    for (int s = 0; s < count; ++s) {
        QPolygon stroke;
        QPoint p(next(kCanvas.width()), next(kCanvas.height()));
        for (int i = 0; i < kPointsPerStroke; ++i) {
            stroke << p;
            p += QPoint(next(17) - 8, next(17) - 8);
            p = QPoint(std::clamp(p.x(), 0, kCanvas.width() - 1), std::clamp(p.y(), 0, kCanvas.height() - 1));
        }
        strokes << stroke;
    }
    return strokes;
}

void mouse(QWidget &view, QEvent::Type type, const QPoint &at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), view.mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &event);
}

void drawThroughTheMouse(QWidget &view, const QPolygon &stroke)
{
    mouse(view, QEvent::MouseButtonPress, stroke.first());
    for (qsizetype i = 1; i + 1 < stroke.size(); ++i)
        mouse(view, QEvent::MouseMove, stroke[i]);
    mouse(view, QEvent::MouseButtonRelease, stroke.last());
}

// Counts the paints a widget gets.
struct PaintCounter : QObject
{
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// One mouse move of the stroke in progress, with its repaint, over the
// given number of finished strokes.
void BM_CanvasMove(benchmark::State &state)
{
    CChildView view;
    view.resize(kCanvas);
    // Drawn while hidden, so setting up paints nothing.
    for (const QPolygon &stroke : scribbles(int(state.range(0))))
        drawThroughTheMouse(view, stroke);
    view.show();
    while (!view.windowHandle()->isExposed())
        QApplication::processEvents();
    view.repaint(); // the finished strokes' image is made here, before timing
    PaintCounter counter;
    view.installEventFilter(&counter);

    const QPolygon path = scribbles(1).constFirst();
    mouse(view, QEvent::MouseButtonPress, path.first());
    qsizetype i = 0;
    for (auto _ : state) {
        mouse(view, QEvent::MouseMove, path[++i]);
        if (i + 1 == path.size()) { // a stroke of the usual length; the next one starts
            state.PauseTiming();
            mouse(view, QEvent::MouseButtonRelease, path.last());
            mouse(view, QEvent::MouseButtonPress, path.first());
            i = 0;
            state.ResumeTiming();
        }
    }
    if (view.strokes().size() < state.range(0) || counter.paints < state.iterations())
        state.SkipWithError("strokes missing or moves not painted");
}
BENCHMARK(BM_CanvasMove)->Arg(5000)->Unit(benchmark::kMillisecond);

// What every move would cost if it drew every stroke from its points again.
void BM_CanvasRepaintAllStrokes(benchmark::State &state)
{
    const QList<QPolygon> strokes = scribbles(int(state.range(0)));
    QImage canvas(kCanvas, QImage::Format_RGB32);
    for (auto _ : state) {
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        for (qsizetype i = 0; i < strokes.size(); ++i)
            drawStroke(painter, strokes[i], qRgb(int(i * 37 % 256), int(i * 91 % 256), int(i * 53 % 256)));
    }
}
BENCHMARK(BM_CanvasRepaintAllStrokes)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace
