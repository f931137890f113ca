#include "DialogTest.h"
#include "DialogWidgets.h"

#include "tools/CChildView.h"
#include "tools/KdvHesaplaDlg.h"

#include <QComboBox>
#include <QScreen>
#include <QtTest>

#include <cstdlib>

using namespace Qt::StringLiterals;

class TestTools : public DialogTest
{
    Q_OBJECT

    std::unique_ptr<CChildView> m_view;

    QString shown(QWidget &d)
    {
        return textsOf(d, {"tutarLabel", "isaret", "kdvTutari", "toplamLabel", "toplamTutar"});
    }
    QWindow *window() { return m_view->windowHandle(); }
    void stroke(const QList<QPoint> &points)
    {
        QTest::mousePress(window(), Qt::LeftButton, {}, points.first());
        for (qsizetype i = 1; i + 1 < points.size(); ++i)
            QTest::mouseMove(window(), points[i]);
        QTest::mouseRelease(window(), Qt::LeftButton, {}, points.last());
    }
    QImage onScreen()
    {
        return m_view->screen()->grabWindow(m_view->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }
    QString save(const QString &answer) // the proposed name
    {
        m_desktop->answerSave(answer);
        m_view->ArkaplanCiziminiKaydet();
        return m_desktop->saveRequests.last().fileName;
    }

private slots:
    void init()
    {
        startCase(false);
        m_view = std::make_unique<CChildView>();
        m_view->resize(320, 200);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }
    void cleanup()
    {
        m_view.reset();
        endCase();
    }

    // The calculator's labels, sign and results, top to bottom, as Enter in the amount or the mode shows them.
    void vatCalculator_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("typed"); // the amount and the rate
        QTest::addColumn<QString>("shown");
        const QString add = u"Ham Tutar: |+|%1 TL|Tutar + KDV: |%2 TL"_s, out = u"Tutar: |-|%1 TL|Ham Tutar: |%2 TL"_s;
        QTest::newRow("adding") << 0 << u"1000|20"_s << add.arg(u"200.00"_s, u"1200.00"_s);
        QTest::newRow("taking out") << 1 << u"1200|20"_s << out.arg(u"200.00"_s, u"1000.00"_s);
        QTest::newRow("18 %") << 1 << u"100|18"_s << out.arg(u"15.25"_s, u"84.75"_s);
        QTest::newRow("nine digits exact") << 0 << u"123456789|20"_s << add.arg(u"24691357.80"_s, u"148148146.80"_s);
        QTest::newRow("leading number only") << 0 << u"  12,5 TL|10.5%"_s << add.arg(u"1.26"_s, u"13.26"_s);
        QTest::newRow("no number") << 1 << u"on bin|-"_s << out.arg(u"0.00"_s, u"0.00"_s);
        QTest::newRow("signs and exponents") << 0 << u"+1e3x|-.5"_s << add.arg(u"-5.00"_s, u"995.00"_s);
    }
    void vatCalculator()
    {
        QFETCH(int, mode);
        KdvHesaplaDlg d;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        const QString opened = shown(d);
        QFETCH(QString, typed);
        setTexts(d, {"tutar", "oran"}, typed);
        static_cast<QComboBox *>(widget(d, "islem"))->setCurrentIndex(mode);
        QCOMPARE(shown(d), opened); // nothing changes until the next compute
        QTest::keyClick(widget(d, mode ? "islem" : "tutar"), mode ? Qt::Key_Enter : Qt::Key_Return);
        QVERIFY(d.isVisible());
        QTEST(shown(d), "shown");
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
    }

    void rightClickWipesEvenDuringADragThatGoesOnOutside()
    {
        stroke({{10, 10}, {100, 10}, {100, 90}});
        stroke({{40, 40}, {40, 40}}); // a click: a stroke nobody sees
        QTest::mousePress(window(), Qt::LeftButton, {}, {20, 50});
        QTest::mouseMove(window(), {60, 50});
        QTest::mousePress(window(), Qt::RightButton, {}, {60, 50});
        QImage bare(m_view->size(), QImage::Format_RGB32);
        bare.fill(m_view->palette().color(QPalette::Base));
        QCOMPARE(onScreen(), bare);
        QTest::mouseRelease(window(), Qt::RightButton, {}, {60, 50});
        QTest::mouseMove(window(), {60, 80});
        QTest::mouseMove(window(), {-40, 500});
        QTest::mouseRelease(window(), Qt::LeftButton, {}, {-40, 500});
        QCOMPARE(m_view->strokes(), (QList<QPolygon>{{{60, 80}, {-40, 500}, {-40, 500}}}));
        // A new theme or a larger window draws the strokes again.
        QPalette dark;
        dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
        m_view->setPalette(dark);
        QCOMPARE(m_view->shownImage().pixel(300, 190), qRgb(0x20, 0x20, 0x20));
        m_view->resize(700, 500);
        QCOMPARE(m_view->shownImage().pixel(10, 290), m_view->strokeColours()[0]); // on its way out
    }

    void savedBmpIsWhatTheCanvasShows()
    {
        std::srand(1); // where a program that never seeds starts: colours and proposed names take turns from it
        int r[10];
        for (int &n : r)
            n = std::rand();
        std::srand(1);
        stroke({{20, 20}, {120, 20}, {120, 100}});
        stroke({{30, 150}, {200, 60}});
        QTest::mousePress(window(), Qt::LeftButton, {}, {250, 30}); // still being drawn, shown too
        for (int y = 30; y <= 150; y += 5)
            QTest::mouseMove(window(), {250 + y % 20, y});
        const QImage shown = m_view->shownImage();
        QCOMPARE(onScreen(), shown); // each move repainted its own piece only
        const QString path = m_ws->path() + u"/Çizim.bmp"_s;
        QCOMPARE(save(path), QString::asprintf("Arkaplan%d.bmp", r[9] % 9000 + 1000));
        QCOMPARE(m_view->strokeColours(),
                 (QList<QRgb>{qRgb(r[2] % 256, r[0] % 256, r[1] % 256), qRgb(r[5] % 256, r[3] % 256, r[4] % 256)}));
        const QImage saved = QImage(path, "BMP").convertToFormat(QImage::Format_RGB32);
        QCOMPARE(saved, shown);
        QCOMPARE(saved.pixel(70, 20), m_view->strokeColours()[0]);
        QCOMPARE(saved.pixel(300, 190), m_view->palette().color(QPalette::Base).rgb());

        // Replacing asks; No goes back to the dialog at that file, Yes replaces it.
        QFile(path).resize(10);
        m_desktop->answerSave(path);
        m_desktop->answer(Desktop::Answer::No);
        QCOMPARE(save(QString()), path);
        expectBox(u"Çizim.bmp zaten var.\nDeğiştirmek istiyor musunuz?"_s, Desktop::Icon::Question, u"Farklı Kaydet"_s);
        QCOMPARE(QFileInfo(path).size(), 10);
        m_desktop->answer(Desktop::Answer::Yes);
        save(path);
        m_desktop->takeBox();
        QCOMPARE(QImage(path, "BMP").convertToFormat(QImage::Format_RGB32), shown);
        save(m_ws->path() + u"/yok/Çizim.bmp"_s); // a folder that is not there: said so
        QCOMPARE(m_desktop->takeBox().icon, Desktop::Icon::Error);
    }
};

QTEST_MAIN(TestTools)
#include "tst_tools.moc"
