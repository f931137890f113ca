#include "DialogTest.h"
#include "DialogWidgets.h"

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/CNorvaMuhasebe10App.h"
#include "app/Commands.h"
#include "app/Ribbon.h"
#include "data/Database.h"
#include "ledger/ProcessValues.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QtTest>

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

private slots:
    void init()
    {
        startCase(false);
        start();
    }
    void cleanup()
    {
        m_app->ExitInstance();
        m_app.reset();
        endCase();
    }

    void startUpShowsTheFrameOnTheScreenAndNoDeadAddress()
    {
        QVERIFY(frame().isVisible());
        QTRY_VERIFY(QFile::exists(u"Norva.db"_s)); // made once the window is up
        QCOMPARE(storedLook(), 210u);              // a first start writes the default back
        // The frame's title and borders too stay on the screen, clear of its panels.
        const QScreen *screen = QGuiApplication::primaryScreen();
        QCOMPARE(frame().frameGeometry(), CMainFrame::frameRect(screen->geometry(), screen->availableGeometry(),
                                                                frame().windowHandle()->frameMargins()));
        QVERIFY(screen->availableGeometry().contains(frame().frameGeometry()));
        QCOMPARE(textOf(frame(), "pane120"), u"Norva Rezado 1.0"_s);
        QStringList entries; // the exit stands apart, below its separator
        for (QAction *action : frame().ribbon()->applicationMenu()->actions())
            entries << action->text();
        QCOMPARE(entries.join(u'|'), u"Türleri Belirle||Arkaplan Çizimini Kaydet|Program Hakkında|Access Verisini "
                                     u"Aktar...|Çöp Kutusu|Yedekler||Programı Kapat"_s);
        // No address that does not exist; the help link opens the README of the tree the tests were built from.
        CAboutDlg about;
        QVERIFY(widget(about, "siteLink")->isHidden() && widget(about, "channelLink")->isHidden());
        auto *help = static_cast<QLabel *>(widget(about, "howToLink"));
        emit help->linkActivated(QRegularExpression(u"href=\"([^\"]+)\""_s).match(help->text()).captured(1));
        const QUrl opened(m_desktop->opened.takeFirst());
        QVERIFY(opened.path().endsWith(u"/README.md"_s) && QFile::exists(opened.toLocalFile()));
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
        QTest::newRow("Türleri Belirle") << int(cmd::TurleriBelirle) << u"GGTurEkle"_s;
        QTest::newRow("KDV Hesaplama") << int(cmd::KdvHesaplama) << u"KdvHesaplaDlg"_s;
        QTest::newRow("Kişi Rehberi") << int(cmd::KisiRehberi) << u"TelefonRehberi"_s;
        QTest::newRow("Kayıtlı Parolalar") << int(cmd::KayitliParolalar) << u"Parolalar"_s;
        QTest::newRow("Kayıtlı Linklerim") << int(cmd::KayitliLinklerim) << u"KayitliLinkler"_s;
        QTest::newRow("Çöp Kutusu") << int(cmd::CopKutusu) << u"TrashDialog"_s;
        QTest::newRow("menu Arkaplan Çizimini Kaydet") << int(cmd::ArkaplanCiziminiKaydet) << u"save dialog"_s;
        QTest::newRow("key Program Hakkında") << int(cmd::YazilimHakkinda) << u"CAboutDlg"_s;
    }
    void everyCommandReachesItsHandler()
    {
        QFETCH(int, id);
        QTRY_VERIFY(QFile::exists(u"Norva.db"_s));
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

    // A folder this user may not write: whether Norva.db is there or not, the start says that nothing can be saved.
    void aFolderNobodyMayWriteIsToldAtStart_data()
    {
        QTest::addColumn<bool>("withFile");
        QTest::newRow("read-only Norva.db") << true;
        QTest::newRow("no Norva.db") << false;
    }
    void aFolderNobodyMayWriteIsToldAtStart()
    {
        QFETCH(bool, withFile);
        if (withFile)
            QVERIFY(db::ensureSchema());
        // Root may write anywhere: the start-up goes on in a child that gives up root first.
        QVERIFY(QFile::setPermissions(u"."_s, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        const int result = inChildWithoutRoot([this] {
            QTest::qWait(50);
            const FakeDesktop::Box box = m_desktop->takeBox();
            return box.text == u"Norva.db yazma izniniz olmayan bir yerde. Kayıtlar listelenebilir ve rapor "
                               u"alınabilir, "
                               u"ancak değişiklikler kaydedilemez."_s &&
                           box.icon == Desktop::Icon::Information && m_desktop->boxes.isEmpty()
                       ? 0
                       : 11;
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
        m_desktop->answer(Desktop::Answer::Yes); // the application menu's entry asks the same
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
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
