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
    unsigned storedLook() const
    {
        return QSettings(u"Local AppWizard-Generated Applications"_s, u"Norva Rezado 1.0"_s)
            .value(u"ApplicationLook"_s)
            .toUInt();
    }
    QAction *themeAction(const QString &text) { return actionOf(frame().themeMenu(), text); }
    static QAction *actionOf(QMenu *menu, const QString &text)
    {
        for (QAction *action : menu->actions())
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

    void startUpShowsTheFrameCreatesTheDatabaseAndNoDeadAddress()
    {
        QVERIFY(frame().isVisible());
        QTRY_VERIFY(QFile::exists(u"Norva.db"_s));
        QCOMPARE(storedLook(), 210u); // a first start writes the default back
        // The frame's title and borders too stay on the screen, clear of its panels.
        const QScreen *screen = QGuiApplication::primaryScreen();
        QCOMPARE(frame().frameGeometry(), CMainFrame::frameRect(screen->geometry(), screen->availableGeometry(),
                                                                frame().windowHandle()->frameMargins()));
        QVERIFY(screen->availableGeometry().contains(frame().frameGeometry()));
        // No address that does not exist is shown.
        QCOMPARE(textOf(frame(), "pane120"), u"Norva Rezado 1.0"_s);
        CAboutDlg about;
        QVERIFY(widget(about, "siteLink")->isHidden() && widget(about, "channelLink")->isHidden());
        // The help link opens the README of the source tree the tests were built from.
        QLabel *help = about.findChild<QLabel *>(u"howToLink"_s);
        emit help->linkActivated(QRegularExpression(u"href=\"([^\"]+)\""_s).match(help->text()).captured(1));
        const QUrl opened(m_desktop->opened.value(0));
        QVERIFY(opened.isLocalFile() && opened.path().endsWith(u"/README.md"_s));
        QVERIFY(QFile(opened.toLocalFile()).exists());
        m_desktop->opened.clear();
    }

    void theWindowFitsTheScreenFrameIncluded_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("available"); // what the screen's panels leave free
        QTest::addColumn<QRect>("frame");     // where the window goes, its frame included
        const QMargins margins(4, 30, 4, 4);
        QTest::newRow("room to spare") << QRect(0, 0, 1920, 1080) << QRect(0, 0, 1920, 1040)
                                       << QRect(QPoint(448, 156), QSize(1024, 768).grownBy(margins));
        QTest::newRow("second screen") << QRect(1920, 0, 1280, 1024) << QRect(1920, 0, 1280, 1024)
                                       << QRect(QPoint(1920 + 128, 128), QSize(1024, 768).grownBy(margins));
        QTest::newRow("1024x768") << QRect(0, 0, 1024, 768) << QRect(0, 0, 1024, 768) << QRect(0, 0, 1024, 768);
        QTest::newRow("panel above") << QRect(0, 0, 1366, 768) << QRect(0, 28, 1366, 740) << QRect(171, 28, 1032, 740);
        QTest::newRow("smaller than 1024x768")
            << QRect(0, 0, 800, 600) << QRect(0, 0, 800, 560) << QRect(0, 0, 800, 560);
    }

    void theWindowFitsTheScreenFrameIncluded()
    {
        QFETCH(QRect, screen);
        QFETCH(QRect, available);
        QFETCH(QRect, frame);
        QCOMPARE(CMainFrame::frameRect(screen, available, QMargins(4, 30, 4, 4)), frame);
    }

    // What a command does: a dialog's class name, an address opened, or "calculator".
    void everyCommandReachesItsHandler_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("effect");
        QTest::newRow("Firma Ekle") << int(cmd::FirmaEkle) << u"FirmaEkleDialog"_s;
        QTest::newRow("Kayıtlı Firmalar") << int(cmd::KayitliFirmalar) << u"KayitliFirmalar"_s;
        QTest::newRow("Hesap Makinesi") << int(cmd::HesapMakinesi) << u"calculator"_s;
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
    }

    void everyCommandReachesItsHandler()
    {
        QFETCH(int, id);
        QFETCH(QString, effect);
        QTRY_VERIFY(QFile::exists(u"Norva.db"_s)); // made once the window is up
        QAbstractButton *button = frame().ribbon()->button(id);
        QVERIFY(button);
        QVERIFY(!button->icon().pixmap(32, 32).isNull());
        button->click();
        const bool address = effect.startsWith(u"https://"_s), calculator = effect == u"calculator"_s;
        QCOMPARE(m_desktop->opened, address ? QStringList{effect} : QStringList());
        QCOMPARE(m_desktop->modalDialogs, address || calculator ? QStringList() : QStringList{effect});
        QCOMPARE(m_desktop->calculatorStarts, calculator ? 1 : 0);
        if (effect == u"GelirGiderEkle"_s) // "Gelir" and "Gider" preset the kind
            QCOMPARE(g_strIslemTuru, QString::fromUtf8(QTest::currentDataTag()));
    }

    void withNoCalculatorABoxSaysSo()
    {
        m_desktop->programsMissing = true;
        frame().ribbon()->button(cmd::HesapMakinesi)->click();
        expectBox(u"Hesap makinesi açılamadı: bilgisayarda bir hesap makinesi programı bulunamadı."_s,
                  Desktop::Icon::Error);
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

    void applicationMenuRoutesItsEntries()
    {
        Ribbon *ribbon = frame().ribbon();
        // From the keyboard: the menu triggers the highlighted entry's action.
        actionOf(ribbon->applicationMenu(), u"Program Hakkında"_s)->trigger();
        QTRY_VERIFY(QFile::exists(u"Norva.db"_s));
        ribbon->applicationMenuEntry(cmd::TurleriBelirle)->click();
        ribbon->applicationMenuEntry(cmd::CopKutusu)->click();
        QCOMPARE(m_desktop->modalDialogs, (QStringList{u"CAboutDlg"_s, u"GGTurEkle"_s, u"TrashDialog"_s}));
        // The exit stands apart, below its separator.
        QStringList entries;
        for (QAction *action : ribbon->applicationMenu()->actions())
            entries << action->text();
        QCOMPARE(entries, (QStringList{u"Türleri Belirle"_s, QString(), u"Arkaplan Çizimini Kaydet"_s,
                                       u"Program Hakkında"_s, u"Access Verisini Aktar..."_s, u"Çöp Kutusu"_s,
                                       u"Yedekler"_s, QString(), u"Programı Kapat"_s}));
        m_desktop->answerSave(QString()); // the canvas asks where to save; cancelled
        ribbon->applicationMenuEntry(cmd::ArkaplanCiziminiKaydet)->click();
        QCOMPARE(m_desktop->saveRequests.size(), 1);
    }

    void exitAsksAndQuitsOnlyOnYes()
    {
        const QString question = u"Programı kapatmak istediğinizden emin misiniz?"_s;
        QSignalSpy quit(m_app.get(), &CNorvaMuhasebe10App::quitRequested);
        m_desktop->answer(Desktop::Answer::No);
        frame().ribbon()->button(cmd::ProgramiKapat)->click();
        QCOMPARE(m_desktop->boxes.value(0).buttons, Desktop::Buttons::YesNo);
        expectBox(question, Desktop::Icon::Question, u"Program Kapansın mı?"_s);

        // The close box asks the same and leaves the window open on No.
        m_desktop->answer(Desktop::Answer::No);
        QVERIFY(!frame().close());
        QCOMPARE(m_desktop->takeBox().text, question);
        QCOMPARE(quit.size(), 0);

        m_desktop->answer(Desktop::Answer::Yes); // the application menu's entry asks the same
        frame().ribbon()->applicationMenuEntry(cmd::ProgramiKapat)->click();
        QCOMPARE(m_desktop->takeBox().text, question);
        QCOMPARE(quit.size(), 1);
        QCOMPARE(quit.at(0).at(0).toInt(), 0);
    }

    void themeChoiceIsMarkedAndSurvivesARestart()
    {
        const QColor lightWindow = QApplication::palette().color(QPalette::Window);
        QVERIFY(!themeAction(u"Siyah Tema"_s)->isChecked()); // 210 is none of the five
        themeAction(u"Siyah Tema"_s)->trigger();
        QCOMPARE(storedLook(), 216u);
        QVERIFY(themeAction(u"Siyah Tema"_s)->isChecked() && !themeAction(u"Klasik Tema"_s)->isChecked());
        QVERIFY(QApplication::palette().color(QPalette::Window).lightness() < 80);
        QVERIFY(QApplication::palette().color(QPalette::WindowText).lightness() > 180);

        // A new start comes up black; the five looks differ from each other.
        m_app->ExitInstance();
        m_app = std::make_unique<CNorvaMuhasebe10App>();
        QVERIFY(m_app->InitInstance());
        QVERIFY(m_app->m_nAppLook == 216u && themeAction(u"Siyah Tema"_s)->isChecked());
        QSet<QRgb> windows;
        for (const QString &name :
             {u"Klasik Tema"_s, u"Siyah Tema"_s, u"Modern Tema"_s, u"Mavi Tema"_s, u"Gümüş Tema"_s}) {
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
