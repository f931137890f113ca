#include "DialogTest.h"
#include "DialogWidgets.h"

#include "app/BackupsDialog.h"
#include "app/CMainFrame.h"
#include "app/CNorvaMuhasebe10App.h"
#include "app/Commands.h"
#include "app/Ribbon.h"
#include "data/Backup.h"

#include <QAbstractButton>
#include <QLabel>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestBackups : public DialogTest
{
    Q_OBJECT

    std::unique_ptr<CNorvaMuhasebe10App> m_app;

    // Starts the program and waits for its start-up work, the day's backup included.
    void startProgram()
    {
        m_app = std::make_unique<CNorvaMuhasebe10App>();
        QVERIFY(m_app->InitInstance());
        QTest::qWait(50);
        m_app->ExitInstance(); // waits for the backup; the window is gone after
        m_app.reset();
    }

private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    // The list and its reasons, a copy gone meanwhile, a restore, a copy made now; "Klasörü Aç" makes a missing
    // folder owner-only and opens it, and with no file manager a box says where it is.
    void theListRestoresTheChosenBackupAndOpensTheFolder()
    {
        rawExec("INSERT INTO Firmalar (FirmaAdi) VALUES ('Çınar'), ('Işık')");
        QDir().mkpath(u"Yedekler"_s);
        QVERIFY(QFile::copy(u"Norva.db"_s, u"Yedekler/Norva-aktarim-oncesi-2026-03-01-10-00-00.db"_s));
        writeFile(u"Yedekler/Norva-2026-03-03-09-00-00.db"_s, "bozuk");
        writeFile(u"Yedekler/notlar.txt"_s, "programın değil");
        rawExec("DELETE FROM Firmalar");
        BackupsDialog dialog;
        dialog.show();
        const QString size = BackupsDialog::sizeText(QFileInfo(u"Norva.db"_s).size());
        QCOMPARE(rowsOf(dialog, "yedekListesi"),
                 (QStringList{u"03.03.2026 09:00:00|Yedek|5 B|okunamadı|okunamadı"_s,
                              u"01.03.2026 10:00:00|Aktarım öncesi|%1|2|0"_s.arg(size)}));
        QVERIFY(!enabled(dialog, "geriYukle")); // nothing chosen yet
        clickRow(dialog, "yedekListesi", 0);
        QVERIFY(QFile::remove(u"Yedekler/Norva-2026-03-03-09-00-00.db"_s));
        clickAndAnswer(dialog, "geriYukle");
        expectBox(u"Bu yedek artık mevcut değil; başka bir yerden silinmiş olabilir. Liste yenilendi."_s,
                  Desktop::Icon::Error);
        clickRow(dialog, "yedekListesi", 0);
        clickAndAnswer(dialog, "geriYukle");
        expectBox(u"Yedek geri yüklendi. Geri yüklemeden önceki kayıtlarınız da listede \"Geri yükleme öncesi\" "
                  u"olarak duruyor."_s,
                  Desktop::Icon::Information);
        QVERIFY(rowsOf(dialog, "yedekListesi").constFirst().contains(u"|Geri yükleme öncesi|%1|0|0"_s.arg(size)));
        click(dialog, "simdiYedekle");
        QVERIFY(m_desktop->takeBox().text.startsWith(u"Yedek alındı: Norva-20"_s));
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 3 yedek mevcut"_s);

        const QString folder = db::backupFolder();
        QVERIFY(QDir(folder).removeRecursively());
        click(dialog, "klasoruAc");
        QCOMPARE(m_desktop->opened, QStringList{QUrl::fromLocalFile(folder).toString()});
        QCOMPARE(QFile::permissions(folder) & 0x7077, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_desktop->programsMissing = true;
        click(dialog, "klasoruAc");
        expectBox(u"Yedekler klasörünü açacak bir program bulunamadı. Klasör şurada: %1"_s.arg(folder),
                  Desktop::Icon::Error);
        // A plain file of that name: a copy asked for is refused with what is wrong, the dialog says so, and the
        // file never reaches the file manager.
        QVERIFY(QDir(folder).removeRecursively());
        writeFile(folder, "bir dosya");
        const QString told = u"Yedek klasörü kullanılamıyor: %1 bir klasör değil."_s.arg(folder);
        click(dialog, "simdiYedekle");
        expectBox(told, Desktop::Icon::None);
        QCOMPARE(textOf(dialog, "hata"), u"Yedek alınamadı: "_s + told);
        click(dialog, "klasoruAc");
        expectBox(u"%1 bir klasör değil. Yedekler bu adda bir klasörde tutulur: aynı adlı dosyanın adını değiştirin "
                  u"ya da onu başka bir yere taşıyın."_s.arg(folder),
                  Desktop::Icon::Error);
    }

    // The day's first start backs up, the second does not. A folder its owner made read-only: said once in the
    // status bar (and in the dialog), never in a box, the folder left as its owner made it.
    void theDaysFirstStartBacksUpOnceAndAFailureIsToldQuietly()
    {
        startProgram();
        startProgram();
        QCOMPARE(db::backupCopies().size(), 1);
        const QString folder = db::backupFolder();
        QVERIFY(QDir(folder).removeRecursively() && QDir().mkdir(folder, QFile::ReadOwner | QFile::ExeOwner));
        m_app = std::make_unique<CNorvaMuhasebe10App>();
        QVERIFY(m_app->InitInstance());
        auto *notice = m_app->mainFrame()->findChild<QLabel *>(u"backupNotice"_s);
        QTRY_VERIFY(notice->isVisible());
        const QString told = u"Yedek klasörü kullanılamıyor: %1 yalnızca okunabilir."_s.arg(folder);
        QCOMPARE(notice->text(), u"Yedek alınamadı: "_s + told);
        m_app->mainFrame()->ribbon()->applicationMenuEntry(cmd::Yedekler)->click();
        QCOMPARE(m_desktop->modalDialogs, QStringList{u"BackupsDialog"_s});
        BackupsDialog dialog;
        QCOMPARE(textOf(dialog, "hata"), notice->text());
        // A full disk is said in words of the program's own, whatever the engine's are.
        QCOMPARE(BackupsDialog::failureText(db::BackupFailure{true, u"database or disk is full"_s}),
                 u"Yedek alınamadı: diskte yer kalmadı."_s);
        QVERIFY(QDir(folder).isEmpty() &&
                (QFile::permissions(folder) & 0x7077) == (QFile::ReadOwner | QFile::ExeOwner));
        m_app->ExitInstance();
        m_app.reset();
    }

    // A damaged file met at start: what is offered ("Yedekten Geri Yükle" only when there is a sound backup), what
    // each choice does, and the damaged file kept as it was. The boxes and the records after: damaged-start.txt.
    void aDamagedFileAtStart_data()
    {
        QTest::addColumn<bool>("withBackup");
        QTest::addColumn<QString>("choice");
        QTest::newRow("restored") << true << u"Yedekten Geri Yükle"_s;
        QTest::newRow("no-backup") << false << u"Yeni Dosya Başlat"_s;
    }

    void aDamagedFileAtStart()
    {
        QFETCH(bool, withBackup);
        QFETCH(QString, choice);
        rawExec("INSERT INTO Linkler (Baslik) VALUES ('yedekteki')");
        const QString copy = withBackup ? QFileInfo(db::keepCopy(u"aktarim-oncesi"_s)).fileName() : QString();
        if (withBackup) // newer, but passed over
            writeFile(u"Yedekler/Norva-2099-01-01-00-00-00.db"_s, "bozuk");
        const QByteArray garbage = QByteArray("bir defter değil\n").repeated(100);
        writeFile(u"Norva.db"_s, garbage);
        m_desktop->choose(choice);
        startProgram();
        const FakeDesktop::Box offer = m_desktop->takeBox(), done = m_desktop->takeBox();
        const QString kept = QDir().entryList({u"Norva-bozuk-*.db"_s}).join(u' ');
        QString expected =
            QString::fromUtf8(testData(u"app/damaged-start/%1.txt"_s.arg(QLatin1StringView(QTest::currentDataTag()))));
        expected.replace(u"%1"_s, copy).replace(u"%2"_s, kept);
        QCOMPARE(offer.choices.join(u'|') + u'\n' + offer.text + u'\n' + done.text + u'\n' +
                     rawRows(u"SELECT count(*) FROM Linkler; PRAGMA journal_mode"_s).join(u'|') + u'\n',
                 expected);
        QVERIFY(offer.icon == Desktop::Icon::Error && done.icon == Desktop::Icon::Information);
        QCOMPARE(readFile(kept), garbage);
    }
};

QTEST_MAIN(TestBackups)
#include "tst_backups.moc"
