#include "DialogTest.h"

#include "app/CMainFrame.h"
#include "app/CNorvaMuhasebe10App.h"
#include "app/Commands.h"
#include "app/Ribbon.h"
#include "ledger/ProcessValues.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestMainFrame : public DialogTest
{
    Q_OBJECT

    std::unique_ptr<CNorvaMuhasebe10App> m_app;

    CMainFrame &frame() { return *m_app->mainFrame(); }
    unsigned storedLook() const
    {
        return QSettings(u"Local AppWizard-Generated Applications"_s, u"Norva Rezado 1.0"_s)
            .value(u"ApplicationLook"_s)
            .toUInt();
    }
    QAction *themeAction(const QString &text)
    {
        for (QAction *action : frame().themeMenu()->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }

private slots:
    void init()
    {
        startCase(false);
        m_app = std::make_unique<CNorvaMuhasebe10App>();
        QVERIFY(m_app->InitInstance());
    }
    void cleanup()
    {
        m_app->ExitInstance();
        m_app.reset();
        endCase();
    }

    void startUpShowsTheFrameAndCreatesTheDatabase()
    {
        QCOMPARE(frame().size(), QSize(1024, 768));
        QVERIFY(frame().isVisible());
        QTRY_VERIFY(QFile::exists(u"Norva.db"_s));
        QCOMPARE(m_app->m_nAppLook, 210u);
        QCOMPARE(storedLook(), 210u); // a first start writes the default back
        QCOMPARE(frame().pos(), CMainFrame::centredPosition(QGuiApplication::primaryScreen()->size()));
        QCOMPARE(CMainFrame::centredPosition(QSize(1920, 1080)), QPoint(448, 156));
        QCOMPARE(CMainFrame::centredPosition(QSize(801, 600)), QPoint(-111, -84));
    }

    void everyCommandReachesItsHandler_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<int>("calculator");
        QTest::newRow("Firma Ekle") << int(cmd::FirmaEkle) << QString() << u"FirmaEkleDialog"_s << 0;
        QTest::newRow("Kayıtlı Firmalar") << int(cmd::KayitliFirmalar) << QString() << u"KayitliFirmalar"_s << 0;
        QTest::newRow("Hesap Makinesi") << int(cmd::HesapMakinesi) << QString() << QString() << 1;
        QTest::newRow("E-Devlet") << int(cmd::EDevlet) << u"https://www.turkiye.gov.tr"_s << QString() << 0;
        QTest::newRow("GIB") << int(cmd::Gib) << u"https://www.gib.gov.tr"_s << QString() << 0;
        QTest::newRow("Döviz Kuru") << int(cmd::DovizKuru) << u"https://www.tcmb.gov.tr/kurlar/kurlar_tr.html"_s
                                    << QString() << 0;
        QTest::newRow("Yazılım Hakkında") << int(cmd::YazilimHakkinda) << QString() << u"CAboutDlg"_s << 0;
        QTest::newRow("About corner") << int(cmd::AppAbout) << QString() << u"CAboutDlg"_s << 0;
        QTest::newRow("Gelir") << int(cmd::Gelir) << QString() << u"GelirGiderEkle"_s << 0;
        QTest::newRow("Gider") << int(cmd::Gider) << QString() << u"GelirGiderEkle"_s << 0;
        QTest::newRow("Hareket Tablosu") << int(cmd::HareketTablosu) << QString() << u"HareketTablosu"_s << 0;
        QTest::newRow("Türleri Belirle") << int(cmd::TurleriBelirle) << QString() << u"GGTurEkle"_s << 0;
        QTest::newRow("KDV Hesaplama") << int(cmd::KdvHesaplama) << QString() << u"KdvHesaplaDlg"_s << 0;
        QTest::newRow("Kişi Rehberi") << int(cmd::KisiRehberi) << QString() << u"TelefonRehberi"_s << 0;
        QTest::newRow("Kayıtlı Parolalar") << int(cmd::KayitliParolalar) << QString() << u"Parolalar"_s << 0;
        QTest::newRow("Kayıtlı Linklerim") << int(cmd::KayitliLinklerim) << QString() << u"KayitliLinkler"_s << 0;
    }

    void everyCommandReachesItsHandler()
    {
        QFETCH(int, id);
        QFETCH(QString, opened);
        QFETCH(QString, dialog);
        QFETCH(int, calculator);
        QTRY_VERIFY(QFile::exists(u"Norva.db"_s)); // made once the window is up
        QAbstractButton *button = frame().ribbon()->button(id);
        QVERIFY(button);
        QVERIFY(!button->icon().pixmap(32, 32).isNull());
        button->click();
        QCOMPARE(m_desktop->opened, opened.isEmpty() ? QStringList() : QStringList{opened});
        QCOMPARE(m_desktop->modalDialogs, dialog.isEmpty() ? QStringList() : QStringList{dialog});
        QCOMPARE(m_desktop->calculatorStarts, calculator);
    }

    void applicationMenuRoutesItsEntries()
    {
        Ribbon *ribbon = frame().ribbon();
        QStringList entries;
        for (QAction *action : ribbon->applicationMenu()->actions())
            entries << (action->isSeparator() ? u"-"_s : action->text());
        QCOMPARE(entries, (QStringList{u"Türleri Belirle"_s, u"-"_s, u"Arkaplan Çizimini Kaydet"_s,
                                       u"Program Hakkında"_s, u"-"_s, u"Programı Kapat"_s}));
        // From the keyboard: the menu triggers the highlighted entry's action.
        ribbon->applicationMenu()->actions().at(3)->trigger();
        QCOMPARE(m_desktop->modalDialogs, QStringList{u"CAboutDlg"_s});
        ribbon->applicationMenuEntry(cmd::YazilimHakkinda)->click();
        QTRY_VERIFY(QFile::exists(u"Norva.db"_s));
        ribbon->applicationMenuEntry(cmd::TurleriBelirle)->click();
        m_desktop->answerSave(QString()); // the canvas asks where to save; cancelled
        ribbon->applicationMenuEntry(cmd::ArkaplanCiziminiKaydet)->click();
        QCOMPARE(m_desktop->modalDialogs,
                 (QStringList{u"CAboutDlg"_s, u"CAboutDlg"_s, u"GGTurEkle"_s}));
        QCOMPARE(m_desktop->saveRequests.size(), 1);

        QSignalSpy quit(m_app.get(), &CNorvaMuhasebe10App::quitRequested);
        m_desktop->answer(Desktop::Answer::Yes);
        ribbon->applicationMenuEntry(cmd::ProgramiKapat)->click();
        QCOMPARE(m_desktop->takeBox().caption, u"Program Kapansın mı?"_s);
        QCOMPARE(quit.size(), 1);
    }

    void gelirAndGiderPresetTheKind()
    {
        QTRY_VERIFY(QFile::exists(u"Norva.db"_s));
        frame().ribbon()->button(cmd::Gelir)->click();
        QCOMPARE(g_strIslemTuru, u"Gelir"_s);
        frame().ribbon()->button(cmd::Gider)->click();
        QCOMPARE(g_strIslemTuru, u"Gider"_s);
    }

    void exitAsksAndQuitsOnlyOnYes()
    {
        QSignalSpy quit(m_app.get(), &CNorvaMuhasebe10App::quitRequested);
        m_desktop->answer(Desktop::Answer::No);
        frame().ribbon()->button(cmd::ProgramiKapat)->click();
        const FakeDesktop::Box box = m_desktop->takeBox();
        QCOMPARE(box.caption, u"Program Kapansın mı?"_s);
        QCOMPARE(box.text, u"Programı kapatmak istediğinizden emin misiniz?"_s);
        QCOMPARE(box.icon, Desktop::Icon::Question);
        QCOMPARE(box.buttons, Desktop::Buttons::YesNo);
        QCOMPARE(quit.size(), 0);

        // The close box asks the same and leaves the window open on No.
        m_desktop->answer(Desktop::Answer::No);
        QVERIFY(!frame().close());
        QVERIFY(frame().isVisible());
        QCOMPARE(m_desktop->takeBox().text, u"Programı kapatmak istediğinizden emin misiniz?"_s);
        QCOMPARE(quit.size(), 0);

        m_desktop->answer(Desktop::Answer::Yes);
        frame().ribbon()->button(cmd::ProgramiKapat)->click();
        m_desktop->takeBox();
        QCOMPARE(quit.size(), 1);
        QCOMPARE(quit.at(0).at(0).toInt(), 0);
    }

    void themeChoiceIsMarkedAndSurvivesARestart()
    {
        const QColor lightWindow = QApplication::palette().color(QPalette::Window);
        QVERIFY(!themeAction(u"Siyah Tema"_s)->isChecked()); // 210 is none of the five
        themeAction(u"Siyah Tema"_s)->trigger();
        QCOMPARE(m_app->m_nAppLook, 216u);
        QCOMPARE(storedLook(), 216u);
        QVERIFY(themeAction(u"Siyah Tema"_s)->isChecked());
        QVERIFY(!themeAction(u"Klasik Tema"_s)->isChecked());
        QVERIFY(QApplication::palette().color(QPalette::Window).lightness() < 80);
        QVERIFY(QApplication::palette().color(QPalette::WindowText).lightness() > 180);

        // A new start comes up black.
        m_app->ExitInstance();
        m_app = std::make_unique<CNorvaMuhasebe10App>();
        QVERIFY(m_app->InitInstance());
        QCOMPARE(m_app->m_nAppLook, 216u);
        QVERIFY(themeAction(u"Siyah Tema"_s)->isChecked());

        // The five looks differ from each other.
        QSet<QRgb> windows;
        for (const QString &name : {u"Klasik Tema"_s, u"Siyah Tema"_s, u"Modern Tema"_s, u"Mavi Tema"_s, u"Gümüş Tema"_s}) {
            themeAction(name)->trigger();
            windows.insert(QApplication::palette().color(QPalette::Window).rgb());
        }
        QCOMPARE(windows.size(), 5);
        QCOMPARE(storedLook(), 217u);
        QVERIFY(windows.contains(lightWindow.rgb()));
    }
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
