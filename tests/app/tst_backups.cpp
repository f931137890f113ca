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

    void theListShowsEachBackupAndRestoresTheChosenOne()
    {
        rawExec("INSERT INTO Firmalar (FirmaAdi) VALUES ('Çınar'), ('Işık'); INSERT INTO GelirGider (IslemTuru) "
                "VALUES ('Gelir')");
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
                              u"01.03.2026 10:00:00|Aktarım öncesi|%1|2|1"_s.arg(size)}));
        QVERIFY(!enabled(dialog, "geriYukle")); // nothing chosen yet

        // The damaged one is refused with its reason; one deleted meanwhile is said gone.
        clickRow(dialog, "yedekListesi", 0);
        clickAndAnswer(dialog, "geriYukle");
        QVERIFY(m_desktop->takeBox().text.startsWith(u"Seçilen yedek geri yüklenemez: "_s));
        clickRow(dialog, "yedekListesi", 0);
        QVERIFY(QFile::remove(u"Yedekler/Norva-2026-03-03-09-00-00.db"_s));
        clickAndAnswer(dialog, "geriYukle");
        expectBox(u"Bu yedek artık mevcut değil; başka bir yerden silinmiş olabilir. Liste yenilendi."_s,
                  Desktop::Icon::Error);
        QCOMPARE(rowsOf(dialog, "yedekListesi").size(), 1);
        clickRow(dialog, "yedekListesi", 0);
        clickAndAnswer(dialog, "geriYukle");
        expectBox(u"Yedek geri yüklendi. Geri yüklemeden önceki kayıtlarınız da listede \"Geri yükleme öncesi\" "
                  u"olarak duruyor."_s,
                  Desktop::Icon::Information);
        QVERIFY(rowsOf(dialog, "yedekListesi").constFirst().contains(u"|Geri yükleme öncesi|%1|0|1"_s.arg(size)));

        click(dialog, "simdiYedekle");
        QVERIFY(m_desktop->takeBox().text.startsWith(u"Yedek alındı: Norva-20"_s));
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 3 yedek mevcut"_s);
    }

    // "Klasörü Aç" makes a missing folder owner-only and opens it; with no file manager a box says where it is.
    // (A plain file of that name and a read-only folder: the start-up cases below.)
    void openingTheFolder()
    {
        const QString folder = db::backupFolder();
        BackupsDialog dialog;
        click(dialog, "klasoruAc");
        QCOMPARE(m_desktop->opened, QStringList{QUrl::fromLocalFile(folder).toString()});
        QCOMPARE(QFile::permissions(folder) & 0x7077, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_desktop->programsMissing = true;
        click(dialog, "klasoruAc");
        expectBox(u"Yedekler klasörünü açacak bir program bulunamadı. Klasör şurada: %1"_s.arg(folder),
                  Desktop::Icon::Error);
    }

    // Nowhere to write: said once in the status bar (and in the dialog), never in a box; a box
    // comes only when a copy is asked for, and leads with what is wrong.
    void theDaysFirstStartBacksUpOnceAndAFailureIsToldQuietly_data()
    {
        QTest::addColumn<bool>("plainFile"); // or a folder its owner made read-only
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("folderBox"); // what "Klasörü Aç" says; empty when it opens the folder
        QTest::newRow("a file named Yedekler")
            << true << u"bir klasör değil."_s
            << u"%1 bir klasör değil. Yedekler bu adda bir klasörde tutulur: aynı adlı dosyanın adını değiştirin ya "
               u"da onu başka bir yere taşıyın."_s;
        QTest::newRow("a read-only folder") << false << u"yalnızca okunabilir."_s << QString();
    }

    void theDaysFirstStartBacksUpOnceAndAFailureIsToldQuietly()
    {
        QFETCH(bool, plainFile);
        QFETCH(QString, reason);
        QFETCH(QString, folderBox);
        startProgram();
        startProgram();
        QCOMPARE(db::backupCopies().size(), 1);

        QVERIFY(QDir(db::backupFolder()).removeRecursively());
        if (plainFile)
            writeFile(u"Yedekler"_s, "bir dosya");
        else
            QVERIFY(QDir().mkdir(u"Yedekler"_s, QFile::ReadOwner | QFile::ExeOwner));
        m_app = std::make_unique<CNorvaMuhasebe10App>();
        QVERIFY(m_app->InitInstance());
        auto *notice = m_app->mainFrame()->findChild<QLabel *>(u"backupNotice"_s);
        QTRY_VERIFY(notice->isVisible());
        QCOMPARE(notice->text(),
                 u"Yedek alınamadı: Yedek klasörü kullanılamıyor: %1 %2"_s.arg(db::backupFolder(), reason));
        m_app->mainFrame()->ribbon()->applicationMenuEntry(cmd::Yedekler)->click();
        QCOMPARE(m_desktop->modalDialogs, QStringList{u"BackupsDialog"_s});
        BackupsDialog dialog;
        QCOMPARE(textOf(dialog, "hata"), notice->text());
        // A full disk is said in words of the program's own, whatever the engine's are.
        QCOMPARE(BackupsDialog::failureText(db::BackupFailure{true, u"database or disk is full"_s}),
                 u"Yedek alınamadı: diskte yer kalmadı."_s);
        click(dialog, "simdiYedekle");
        expectBox(u"Yedek klasörü kullanılamıyor: %1 %2"_s.arg(db::backupFolder(), reason), Desktop::Icon::None);
        click(dialog, "klasoruAc"); // only a folder reaches the file manager
        if (!folderBox.isEmpty())
            expectBox(folderBox.arg(db::backupFolder()), Desktop::Icon::Error);
        QCOMPARE(m_desktop->opened.size(), folderBox.isEmpty() ? 1 : 0);
        if (!plainFile) { // left as its owner made it, and empty
            QCOMPARE(QFile::permissions(u"Yedekler"_s) & 0x7077, QFile::ReadOwner | QFile::ExeOwner);
            QVERIFY(QDir(u"Yedekler"_s).isEmpty());
        }
        m_app->ExitInstance();
        m_app.reset();
    }

    // A damaged file met at start: what is offered, what each choice does, and the damaged file kept as it was.
    void aDamagedFileAtStart_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QStringList>("offered"); // "Yedekten Geri Yükle" only when there is a backup
        const QStringList both{u"Yedekten Geri Yükle"_s, u"Yeni Dosya Başlat"_s};
        QTest::newRow("restored") << u"Yedekten Geri Yükle"_s << both;
        QTest::newRow("new file") << u"Yeni Dosya Başlat"_s << both;
        QTest::newRow("no backup") << u"Yeni Dosya Başlat"_s << QStringList{u"Yeni Dosya Başlat"_s};
    }

    void aDamagedFileAtStart()
    {
        QFETCH(QString, choice);
        QFETCH(QStringList, offered);
        rawExec("INSERT INTO Linkler (Baslik) VALUES ('yedekteki')");
        if (offered.size() == 2) {
            db::keepCopy(u"aktarim-oncesi"_s);
            writeFile(u"Yedekler/Norva-2099-01-01-00-00-00.db"_s, "bozuk"); // newer, but passed over
        }
        const QByteArray garbage = QByteArray("bir defter değil\n").repeated(100);
        writeFile(u"Norva.db"_s, garbage);
        m_desktop->choose(choice);
        startProgram();

        const FakeDesktop::Box box = m_desktop->takeBox();
        QCOMPARE(box.choices, offered);
        QVERIFY2(box.text.startsWith(u"Norva.db bir veritabanı dosyası değil.\n\n"_s), qPrintable(box.text));
        // Only a box with a choice speaks of one; with one button it says what will happen.
        QCOMPARE(box.text.contains(u"Hangisini seçerseniz seçin"_s), offered.size() == 2);
        QCOMPARE(box.text.endsWith(u"yedek yok; yeni, boş bir dosyayla başlanacak. Bozuk dosya silinmez: tarihli bir "
                                   u"adla yanında saklanır."_s),
                 offered.size() == 1);
        const QStringList kept = QDir().entryList({u"Norva-bozuk-*.db"_s});
        QCOMPARE(kept.size(), 1);
        const bool restored = choice == offered.first() && offered.size() == 2;
        const QString done =
            restored
                ? u"Kayıtlar %1 yedeğinden geri yüklendi."_s.arg(QFileInfo(db::backupCopies().last().path).fileName())
                : u"Yeni, boş bir Norva.db oluşturuldu."_s;
        expectBox(u"%1 Bozuk dosya \"%2\" adıyla saklandı."_s.arg(done, kept.first()), Desktop::Icon::Information);
        QCOMPARE(readFile(kept.first()), garbage);
        QCOMPARE(rawRows(u"SELECT count(*) FROM Linkler; PRAGMA journal_mode"_s),
                 (QStringList{restored ? u"1"_s : u"0"_s, u"wal"_s}));
    }
};

QTEST_MAIN(TestBackups)
#include "tst_backups.moc"
