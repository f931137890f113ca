#include "DialogTest.h"
#include "DialogWidgets.h"

#include "tools/CChildView.h"
#include "tools/KdvHesaplaDlg.h"
#include "tools/Vat.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QtTest>

#include <cstdlib>

using namespace Qt::StringLiterals;

class TestTools : public DialogTest
{
    Q_OBJECT

    std::unique_ptr<CChildView> m_view;

    // The calculator's labels, sign and results, top to bottom.
    static QString shown(QWidget &d)
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
    QImage bare()
    {
        QImage image(m_view->size(), QImage::Format_RGB32);
        image.fill(m_view->palette().color(QPalette::Base));
        return image;
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

    void vatArithmetic_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("vat");
        QTest::addColumn<QString>("other");
        QTest::newRow("adding") << 0 << u"1000"_s << u"20"_s << u"200.00 TL"_s << u"1200.00 TL"_s;
        QTest::newRow("taking out") << 1 << u"1200"_s << u"20"_s << u"200.00 TL"_s << u"1000.00 TL"_s;
        QTest::newRow("18 %") << 1 << u"100"_s << u"18"_s << u"15.25 TL"_s << u"84.75 TL"_s;
        QTest::newRow("nine digits exact")
            << 0 << u"123456789"_s << u"20"_s << u"24691357.80 TL"_s << u"148148146.80 TL"_s;
        QTest::newRow("leading number only") << 0 << u"  12,5 TL"_s << u"10.5%"_s << u"1.26 TL"_s << u"13.26 TL"_s;
        QTest::newRow("no number") << 0 << u"on bin"_s << u"-"_s << u"0.00 TL"_s << u"0.00 TL"_s;
        QTest::newRow("signs and exponents") << 0 << u"+1e3x"_s << u"-.5"_s << u"-5.00 TL"_s << u"995.00 TL"_s;
    }
    void vatArithmetic()
    {
        QFETCH(int, mode);
        QFETCH(QString, amount);
        QFETCH(QString, rate);
        const vat::Result r = vat::compute(vat::Mode(mode), vat::parseNumber(amount), vat::parseNumber(rate));
        QTEST(vat::formatTl(r.vat), "vat");
        QTEST(vat::formatTl(r.other), "other");
    }

    void calculatorComputesOnEnterAndChangesLabelsOnlyThen()
    {
        KdvHesaplaDlg d;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        auto *tutar = d.findChild<QLineEdit *>(u"tutar"_s);
        auto *islem = d.findChild<QComboBox *>(u"islem"_s);
        tutar->setText(u"1200"_s); // at the 20 % and the mode it opens with
        QTest::keyClick(tutar, Qt::Key_Return);
        QVERIFY(d.isVisible());
        QCOMPARE(shown(d), u"Ham Tutar: |+|240.00 TL|Tutar + KDV: |1440.00 TL"_s);
        islem->setCurrentIndex(1); // nothing changes until the next compute
        QCOMPARE(shown(d), u"Ham Tutar: |+|240.00 TL|Tutar + KDV: |1440.00 TL"_s);
        QTest::keyClick(islem, Qt::Key_Enter);
        QCOMPARE(shown(d), u"Tutar: |-|200.00 TL|Ham Tutar: |1000.00 TL"_s);
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
    }

    void coloursAndProposedNamesFollowOneRandomSequence()
    {
        std::srand(1); // where a program that never seeds starts
        int r[8];
        for (int &n : r)
            n = std::rand();
        std::srand(1);
        stroke({{10, 10}, {60, 40}});
        const QString first = save(QString());
        stroke({{40, 40}, {40, 40}}); // a click: a stroke nobody sees
        const QString second = save(QString());
        QCOMPARE(m_view->strokeColours(),
                 (QList<QRgb>{qRgb(r[2] % 256, r[0] % 256, r[1] % 256), qRgb(r[6] % 256, r[4] % 256, r[5] % 256)}));
        QCOMPARE(first + second,
                 QString::asprintf("Arkaplan%d.bmpArkaplan%d.bmp", r[3] % 9000 + 1000, r[7] % 9000 + 1000));
        QVERIFY(QDir(m_ws->path()).entryList({u"*.bmp"_s}).isEmpty()); // cancelled twice: nothing written

        m_view->OnRButtonDown();
        stroke({{40, 40}, {40, 40}});
        QCOMPARE(m_view->shownImage(), bare());
    }

    void rightClickWipesEvenDuringADragThatGoesOnOutside()
    {
        stroke({{10, 10}, {100, 10}, {100, 90}});
        QTest::mousePress(window(), Qt::LeftButton, {}, {20, 50});
        QTest::mouseMove(window(), {60, 50});
        QTest::mousePress(window(), Qt::RightButton, {}, {60, 50});
        QCOMPARE(onScreen(), bare());
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
        stroke({{20, 20}, {120, 20}, {120, 100}});
        stroke({{30, 150}, {200, 60}});
        QTest::mousePress(window(), Qt::LeftButton, {}, {250, 30}); // still being drawn, shown too
        for (int y = 30; y <= 150; y += 5)
            QTest::mouseMove(window(), {250 + y % 20, y});
        const QImage shown = m_view->shownImage();
        QCOMPARE(onScreen(), shown); // each move repainted its own piece only

        const QString path = m_ws->path() + u"/Çizim.bmp"_s;
        QVERIFY(save(path).startsWith(u"Arkaplan"_s));
        const QImage saved = QImage(path, "BMP").convertToFormat(QImage::Format_RGB32);
        QCOMPARE(saved, shown);
        QCOMPARE(saved.pixel(70, 20), m_view->strokeColours()[0]);
        QCOMPARE(saved.pixel(300, 190), m_view->palette().color(QPalette::Base).rgb());

        // Replacing asks; No goes back to the dialog at that file, Yes replaces it.
        QFile(path).resize(10);
        m_desktop->answerSave(path);
        m_desktop->answer(Desktop::Answer::No);
        QCOMPARE(save(QString()), path);
        const FakeDesktop::Box box = m_desktop->takeBox();
        QCOMPARE(box.text, u"Çizim.bmp zaten var.\nDeğiştirmek istiyor musunuz?"_s);
        QCOMPARE(box.buttons, Desktop::Buttons::YesNo);
        QCOMPARE(QFileInfo(path).size(), 10);
        m_desktop->answer(Desktop::Answer::Yes);
        save(path);
        m_desktop->takeBox();
        QCOMPARE(QImage(path, "BMP").convertToFormat(QImage::Format_RGB32), shown);

        // A folder that is not there: said so, nothing written.
        save(m_ws->path() + u"/yok/Çizim.bmp"_s);
        QCOMPARE(m_desktop->takeBox().icon, Desktop::Icon::Error);
    }
};

QTEST_MAIN(TestTools)
#include "tst_tools.moc"
