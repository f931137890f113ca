#include "DialogTest.h"
#include "DialogWidgets.h"

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/CNorvaMuhasebe10App.h"
#include "app/Commands.h"
#include "app/Ribbon.h"
#include "core/RecurringEntries.h"
#include "data/Database.h"
#include "ledger/ProcessValues.h"
#include "tools/CChildView.h"
#include "tools/KdvHesaplaDlg.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QtTest>

#include <cstdlib>

using namespace Qt::StringLiterals;

class TestMainFrame : public DialogTest
{
    Q_OBJECT

    std::unique_ptr<CNorvaMuhasebe10App> m_app;

    CMainFrame &frame() { return *m_app->mainFrame(); }
    void start()
    {
        m_app = std::make_unique<CNorvaMuhasebe10App>();
        QVERIFY(m_app->InitInstance());
    }
    static unsigned storedLook()
    {
        return QSettings(u"Local AppWizard-Generated Applications"_s, u"Norva Rezado 1.0"_s)
            .value(u"ApplicationLook"_s)
            .toUInt();
    }
    static QAction *actionOf(QMenu *menu, const QString &text)
    {
        for (QAction *action : menu->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }
    QAction *theme(const QString &text) { return actionOf(frame().themeMenu(), text); }

    std::unique_ptr<CChildView> m_view; // the canvas alone, at a size the cases know
    void showCanvas()
    {
        m_view = std::make_unique<CChildView>();
        m_view->resize(320, 200);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
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
        start();
    }
    void cleanup()
    {
        m_view.reset();
        m_app->ExitInstance();
        m_app.reset();
        endCase();
    }

    void startUpShowsTheFrameOnTheScreenAndNoDeadAddress()
    {
        QVERIFY(frame().isVisible());
        QTRY_VERIFY(databaseMade());  // made once the window is up
        QCOMPARE(storedLook(), 210u); // a first start writes the default back
        // The frame's title and borders too stay on the screen, clear of its panels.
        const QScreen *screen = QGuiApplication::primaryScreen();
        QCOMPARE(frame().frameGeometry(), CMainFrame::frameRect(screen->geometry(), screen->availableGeometry(),
                                                                frame().windowHandle()->frameMargins()));
        QVERIFY(screen->availableGeometry().contains(frame().frameGeometry()));
        QCOMPARE(textOf(frame(), "pane120"), u"Norva Rezado 1.0"_s);
        // No address that does not exist; the help link opens the README of the tree the tests were built from.
        CAboutDlg about;
        QVERIFY(widget(about, "siteLink")->isHidden() && widget(about, "channelLink")->isHidden());
        auto *help = static_cast<QLabel *>(widget(about, "howToLink"));
        emit help->linkActivated(QRegularExpression(u"href=\"([^\"]+)\""_s).match(help->text()).captured(1));
        const QUrl opened(m_desktop->opened.takeFirst());
        QVERIFY(opened.path().endsWith(u"/README.md"_s) && QFile::exists(opened.toLocalFile()));
    }

    // "Bekleyen Hareketler" comes over the shown window at start, and only when something is due.
    void dueEntriesAreOfferedAtStart()
    {
        QTRY_VERIFY(databaseMade());
        QTest::qWait(50);
        QCOMPARE(m_desktop->modalDialogs, QStringList());
        RecurringTemplate rent;
        rent.entry = {-1, u"Gider"_s, {}, {}, {}, {}, u"100"_s, u"Lira"_s, u"0"_s, u"20"_s, {}, {}, {}, u"0"_s};
        rent.rule = {Recurrence::Unit::Months, 1, 1, 1, QDate::currentDate().addMonths(-1), {}, 0};
        QVERIFY(core::RecurringEntries().add(rent).isDone());
        m_app->ExitInstance();
        bool frameShown = false;
        m_desktop->onModal = [&](QDialog &) { frameShown = frame().isVisible(); };
        start();
        QTRY_COMPARE(m_desktop->modalDialogs, QStringList{u"PendingEntriesDialog"_s});
        QVERIFY(frameShown);
    }

    void theWindowFitsTheScreenFrameIncluded_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("available"); // what the screen's panels leave free
        QTest::addColumn<QRect>("frame");     // where the window goes, its frame included
        const QSize framed = QSize(1024, 768).grownBy({4, 30, 4, 4});
        QTest::newRow("room to spare") << QRect(0, 0, 1920, 1080) << QRect(0, 0, 1920, 1040)
                                       << QRect(QPoint(448, 156), framed);
        QTest::newRow("second screen") << QRect(1920, 0, 1280, 1024) << QRect(1920, 0, 1280, 1024)
                                       << QRect(QPoint(1920 + 128, 128), framed);
        QTest::newRow("1024x768") << QRect(0, 0, 1024, 768) << QRect(0, 0, 1024, 768) << QRect(0, 0, 1024, 768);
        QTest::newRow("panel above") << QRect(0, 0, 1366, 768) << QRect(0, 28, 1366, 740) << QRect(171, 28, 1032, 740);
        QTest::newRow("smaller") << QRect(0, 0, 800, 600) << QRect(0, 0, 800, 560) << QRect(0, 0, 800, 560);
    }
    void theWindowFitsTheScreenFrameIncluded()
    {
        QFETCH(QRect, screen);
        QFETCH(QRect, available);
        QTEST(CMainFrame::frameRect(screen, available, QMargins(4, 30, 4, 4)), "frame");
    }

    // What a command does: dialogs run, addresses opened, "calculator", "save dialog" or the box said, joined by
    // '|'. A row named "menu ..." clicks the application menu's entry, "key ..." triggers it as Enter would.
    void everyCommandReachesItsHandler_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("effect");
        QTest::newRow("Firma Ekle") << int(cmd::FirmaEkle) << u"FirmaEkleDialog"_s;
        QTest::newRow("Kayıtlı Firmalar") << int(cmd::KayitliFirmalar) << u"KayitliFirmalar"_s;
        QTest::newRow("Hesap Makinesi") << int(cmd::HesapMakinesi) << u"calculator"_s;
        QTest::newRow("Hesap Makinesi, none installed")
            << int(cmd::HesapMakinesi)
            << u"Hesap makinesi açılamadı: bilgisayarda bir hesap makinesi programı bulunamadı."_s;
        QTest::newRow("E-Devlet") << int(cmd::EDevlet) << u"https://www.turkiye.gov.tr"_s;
        QTest::newRow("GIB") << int(cmd::Gib) << u"https://www.gib.gov.tr"_s;
        QTest::newRow("Döviz Kuru") << int(cmd::DovizKuru) << u"https://www.tcmb.gov.tr/kurlar/kurlar_tr.html"_s;
        QTest::newRow("Yazılım Hakkında") << int(cmd::YazilimHakkinda) << u"CAboutDlg"_s;
        QTest::newRow("About corner") << int(cmd::AppAbout) << u"CAboutDlg"_s;
        QTest::newRow("Gelir") << int(cmd::Gelir) << u"GelirGiderEkle"_s;
        QTest::newRow("Gider") << int(cmd::Gider) << u"GelirGiderEkle"_s;
        QTest::newRow("Hareket Tablosu") << int(cmd::HareketTablosu) << u"HareketTablosu"_s;
        QTest::newRow("Tekrarlayan Hareketler") << int(cmd::TekrarlayanHareketler) << u"RecurringEntriesDialog"_s;
        QTest::newRow("Hesap Dökümü") << int(cmd::HesapDokumu) << u"RegisterDialog"_s;
        QTest::newRow("Grafikler") << int(cmd::Grafikler) << u"ChartsDialog"_s;
        QTest::newRow("Türleri Belirle") << int(cmd::TurleriBelirle) << u"GGTurEkle"_s;
        QTest::newRow("KDV Hesaplama") << int(cmd::KdvHesaplama) << u"KdvHesaplaDlg"_s;
        QTest::newRow("Kişi Rehberi") << int(cmd::KisiRehberi) << u"TelefonRehberi"_s;
        QTest::newRow("Kayıtlı Parolalar") << int(cmd::KayitliParolalar) << u"Parolalar"_s;
        QTest::newRow("Kayıtlı Linklerim") << int(cmd::KayitliLinklerim) << u"KayitliLinkler"_s;
        QTest::newRow("Çöp Kutusu") << int(cmd::CopKutusu) << u"TrashDialog"_s;
        QTest::newRow("menu Veritabanı Bağlantısı") << int(cmd::VeritabaniBaglantisi) << u"ConnectionDialog"_s;
        QTest::newRow("menu Arkaplan Çizimini Kaydet") << int(cmd::ArkaplanCiziminiKaydet) << u"save dialog"_s;
        QTest::newRow("key Program Hakkında") << int(cmd::YazilimHakkinda) << u"CAboutDlg"_s;
    }
    void everyCommandReachesItsHandler()
    {
        QFETCH(int, id);
        QTRY_VERIFY(databaseMade());
        const QString tag = QString::fromUtf8(QTest::currentDataTag());
        Ribbon *ribbon = frame().ribbon();
        m_desktop->programsMissing = tag.endsWith(u"none installed"_s);
        m_desktop->answerSave(QString()); // the canvas asks where to save; cancelled
        if (tag.startsWith(u"key "_s)) {
            actionOf(ribbon->applicationMenu(), tag.mid(4))->trigger();
        } else if (tag.startsWith(u"menu "_s)) {
            ribbon->applicationMenuEntry(id)->click();
        } else {
            QVERIFY(!ribbon->button(id)->icon().pixmap(32, 32).isNull());
            ribbon->button(id)->click();
        }
        QStringList effect = m_desktop->opened + m_desktop->modalDialogs;
        if (m_desktop->calculatorStarts)
            effect << u"calculator"_s;
        if (!m_desktop->saveRequests.isEmpty())
            effect << u"save dialog"_s;
        if (!m_desktop->boxes.isEmpty())
            effect << m_desktop->takeBox().text;
        QTEST(effect.join(u'|'), "effect");
        if (id == cmd::Gelir || id == cmd::Gider) // they preset the kind
            QCOMPARE(g_strIslemTuru, tag);
    }

    // Ctrl+F puts the cursor in the ribbon's search box; Enter there opens "Ara" with what was typed.
    void searchBoxOpensAra()
    {
        QTRY_VERIFY(databaseMade());
        frame().show();
        frame().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame()));
        auto *box = frame().ribbon()->findChild<QLineEdit *>(u"ara"_s);
        QTest::keyClick(&frame(), Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(box->hasFocus());
        QString typed;
        m_desktop->onModal = [&](QDialog &search) { typed = search.findChild<QLineEdit *>(u"aranan"_s)->text(); };
        typeText(box, u"şeker"_s);
        QVERIFY(m_desktop->modalDialogs.isEmpty());
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(m_desktop->modalDialogs, QStringList{u"SearchDialog"_s});
        QCOMPARE(typed, u"şeker"_s);
        QCOMPARE(box->text(), QString());
    }

    // A folder this user may not write: whether Norva.db is there or not, the start says that nothing can be saved.
    void aFolderNobodyMayWriteIsToldAtStart_data()
    {
        QTest::addColumn<bool>("withFile");
        QTest::newRow("read-only Norva.db") << true;
        QTest::newRow("no Norva.db") << false;
    }
    void aFolderNobodyMayWriteIsToldAtStart()
    {
        SKIP_ON_SERVER();
        QFETCH(bool, withFile);
        if (withFile)
            QVERIFY(db::ensureSchema());
        // Root may write anywhere: the start-up goes on in a child that gives up root first.
        QVERIFY(QFile::setPermissions(u"."_s, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        const int result = inChildWithoutRoot([this] {
            QTest::qWait(50);
            const FakeDesktop::Box box = m_desktop->takeBox();
            const QString notice =
                u"Norva.db yazma izniniz olmayan bir yerde. Kayıtlar listelenebilir ve rapor alınabilir, "
                u"ancak değişiklikler kaydedilemez."_s;
            return box.text == notice && box.icon == Desktop::Icon::Information && m_desktop->boxes.isEmpty() ? 0 : 11;
        });
        QVERIFY(QFile::setPermissions(u"."_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(result, 0);
    }

    void exitAsksAndQuitsOnlyOnYes()
    {
        const QString question = u"Programı kapatmak istediğinizden emin misiniz?"_s;
        QSignalSpy quit(m_app.get(), &CNorvaMuhasebe10App::quitRequested);
        m_desktop->answer(Desktop::Answer::No);
        frame().ribbon()->button(cmd::ProgramiKapat)->click();
        expectBox(question, Desktop::Icon::Question, u"Program Kapansın mı?"_s);
        m_desktop->answer(Desktop::Answer::No); // the close box asks the same and leaves the window open on No
        QVERIFY(!frame().close());
        expectBox(question, Desktop::Icon::Question, u"Program Kapansın mı?"_s);
        QCOMPARE(quit.size(), 0);
        // The application menu's entries, the exit apart below its separator; it asks the same.
        QStringList entries;
        for (QAction *action : frame().ribbon()->applicationMenu()->actions())
            entries << action->text();
        QCOMPARE(entries.join(u'|'), u"Türleri Belirle||Arkaplan Çizimini Kaydet|Program Hakkında|Access Verisini "
                                     u"Aktar...|Çöp Kutusu|Yedekler|Veritabanı Bağlantısı||Programı Kapat"_s);
        m_desktop->answer(Desktop::Answer::Yes);
        frame().ribbon()->applicationMenuEntry(cmd::ProgramiKapat)->click();
        expectBox(question, Desktop::Icon::Question, u"Program Kapansın mı?"_s);
        QVERIFY(quit.size() == 1 && quit.at(0).at(0).toInt() == 0);
    }

    void themeChoiceIsMarkedAndSurvivesARestart()
    {
        const QRgb light = QApplication::palette().color(QPalette::Window).rgb();
        QVERIFY(!theme(u"Siyah Tema"_s)->isChecked()); // 210 is none of the five
        theme(u"Siyah Tema"_s)->trigger();
        QVERIFY(QApplication::palette().color(QPalette::Window).lightness() < 80);
        QVERIFY(QApplication::palette().color(QPalette::WindowText).lightness() > 180);
        m_app->ExitInstance(); // a new start comes up black
        start();
        QVERIFY(storedLook() == 216u && theme(u"Siyah Tema"_s)->isChecked() && !theme(u"Klasik Tema"_s)->isChecked());
        QSet<QRgb> windows{light}; // the five looks differ from each other, one of them the first start's
        for (const QString &name :
             {u"Klasik Tema"_s, u"Siyah Tema"_s, u"Modern Tema"_s, u"Mavi Tema"_s, u"Gümüş Tema"_s}) {
            theme(name)->trigger();
            windows.insert(QApplication::palette().color(QPalette::Window).rgb());
        }
        QVERIFY(windows.size() == 5 && storedLook() == 217u);
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
        QFETCH(QString, typed);
        KdvHesaplaDlg d;
        const auto shows = [&d] {
            return textsOf(d, {"tutarLabel", "isaret", "kdvTutari", "toplamLabel", "toplamTutar"});
        };
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        const QString opened = shows();
        setTexts(d, {"tutar", "oran"}, typed);
        static_cast<QComboBox *>(widget(d, "islem"))->setCurrentIndex(mode);
        QCOMPARE(shows(), opened); // nothing changes until the next compute
        QTest::keyClick(widget(d, mode ? "islem" : "tutar"), mode ? Qt::Key_Enter : Qt::Key_Return);
        QVERIFY(d.isVisible());
        QTEST(shows(), "shown");
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
    }

    void rightClickWipesEvenDuringADragThatGoesOnOutside()
    {
        showCanvas();
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
        showCanvas();
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
        QCOMPARE(save(QString()), QString::asprintf("Arkaplan%d.bmp", r[9] % 9000 + 1000)); // cancelled
        QVERIFY(QDir(m_ws->path()).entryList({u"*.bmp"_s}).isEmpty());
        save(path);
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

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
