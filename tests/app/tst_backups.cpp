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
        stopProgram();
    }
    void stopProgram() { m_app->ExitInstance(), m_app.reset(); } // waits for the backup; the window is gone after

private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    // The list and its reasons, a copy gone meanwhile, a restore, a copy made now; "Klasörü Aç" makes a missing
    // folder owner-only and opens it, and with no file manager a box says where it is. A plain file in the folder's
    // place: a copy asked for is refused with what is wrong, the dialog's line says so, and the file never reaches the
    // file manager. The boxes in turn, the total and that line: backups-dialog.txt (%1 the folder, %2 the copy made).
    void theListRestoresTheChosenBackupAndOpensTheFolder()
    {
        SKIP_ON_SERVER();
        rawExec("INSERT INTO Firmalar (FirmaAdi) VALUES ('Çınar'), ('Işık')");
        QDir().mkpath(u"Yedekler"_s);
        QVERIFY(QFile::copy(u"Norva.db"_s, u"Yedekler/Norva-aktarim-oncesi-2026-03-01-10-00-00.db"_s));
        writeFile(u"Yedekler/Norva-2026-03-03-09-00-00.db"_s, "bozuk");
        rawExec("DELETE FROM Firmalar");
        BackupsDialog dialog;
        dialog.show();
        const QString size = BackupsDialog::sizeText(QFileInfo(u"Norva.db"_s).size());
        // "Geri Yükle" waits for a copy to be chosen.
        QCOMPARE(rowsOf(dialog, "yedekListesi") << QString::number(enabled(dialog, "geriYukle")),
                 (QStringList{u"03.03.2026 09:00:00|Yedek|5 B|okunamadı|okunamadı"_s,
                              u"01.03.2026 10:00:00|Aktarım öncesi|%1|2|0"_s.arg(size), u"0"_s}));
        clickRow(dialog, "yedekListesi", 0);
        QVERIFY(QFile::remove(u"Yedekler/Norva-2026-03-03-09-00-00.db"_s));
        clickAndAnswer(dialog, "geriYukle");
        clickRow(dialog, "yedekListesi", 0);
        m_desktop->answer(Desktop::Answer::Yes);
        click(dialog, "geriYukle");
        QVERIFY(rowsOf(dialog, "yedekListesi").constFirst().contains(u"|Geri yükleme öncesi|%1|0|0"_s.arg(size)));
        click(dialog, "simdiYedekle");
        const QString made = QFileInfo(db::backupCopies().constFirst().path).fileName();

        const QString folder = db::backupFolder();
        QVERIFY(QDir(folder).removeRecursively());
        click(dialog, "klasoruAc");
        QCOMPARE(m_desktop->opened, QStringList{QUrl::fromLocalFile(folder).toString()});
        QCOMPARE(QFile::permissions(folder) & 0x7077, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_desktop->programsMissing = true;
        click(dialog, "klasoruAc");
        QVERIFY(QDir(folder).removeRecursively());
        writeFile(folder, "bir dosya");
        click(dialog, "simdiYedekle");
        click(dialog, "klasoruAc");
        QStringList boxes;
        for (const FakeDesktop::Box &box : std::exchange(m_desktop->boxes, {}))
            boxes << (box.caption == kProgramCaption ? QString::number(int(box.icon)) : box.caption) + u' ' + box.text;
        boxes << textOf(dialog, "toplam") << textOf(dialog, "hata");
        QCOMPARE(boxes.join(u'\n') + u'\n', QString::fromUtf8(testData(u"app/backups-dialog.txt"_s)).arg(folder, made));
    }

    // A folder its owner made read-only: said once in the status bar, never in a box (the dialog's line: the
    // plain-file steps above), the folder left as its owner made it.
    void aFailedBackupIsToldQuietly()
    {
        SKIP_ON_SERVER();
        QVERIFY(QDir().mkdir(u"Yedekler"_s, QFile::ReadOwner | QFile::ExeOwner));
        m_app = std::make_unique<CNorvaMuhasebe10App>();
        QVERIFY(m_app->InitInstance());
        auto *notice = m_app->mainFrame()->findChild<QLabel *>(u"backupNotice"_s);
        QTRY_VERIFY(notice->isVisible());
        const QString told = u"Yedek klasörü kullanılamıyor: %1 yalnızca okunabilir."_s.arg(db::backupFolder());
        QCOMPARE(notice->text(), u"Yedek alınamadı: "_s + told);
        m_app->mainFrame()->ribbon()->applicationMenuEntry(cmd::Yedekler)->click();
        QCOMPARE(m_desktop->modalDialogs, QStringList{u"BackupsDialog"_s});
        // A full disk is said in words of the program's own.
        QCOMPARE(BackupsDialog::failureText(db::BackupFailure{true, {}}), u"Yedek alınamadı: diskte yer kalmadı."_s);
        QCOMPARE(QFile::permissions(u"Yedekler"_s) & 0x7077, QFile::ReadOwner | QFile::ExeOwner);
        stopProgram();
    }

    // A damaged file met at start: what is offered ("Yedekten Geri Yükle" only when there is a sound backup), what
    // each choice does, and the damaged file kept as it was; the day's first start backs up, the second does not.
    // The choice box, then the links, the journal and the number of copies after: damaged-start/<row> (%1 the
    // copy restored).
    void aDamagedFileAtStart_data()
    {
        QTest::addColumn<bool>("withBackup"); // a sound one, chosen; with none a new file is started
        QTest::newRow("restored") << true;
        QTest::newRow("no-backup") << false;
    }

    void aDamagedFileAtStart()
    {
        SKIP_ON_SERVER();
        QFETCH(bool, withBackup);
        rawExec("INSERT INTO Linkler (Baslik) VALUES ('yedekteki')");
        const QString copy = withBackup ? QFileInfo(db::keepCopy(u"aktarim-oncesi"_s)).fileName() : QString();
        if (withBackup) // newer, but passed over
            writeFile(u"Yedekler/Norva-2099-01-01-00-00-00.db"_s, "bozuk");
        writeFile(u"Norva.db"_s, "bir defter değil");
        m_desktop->choose(withBackup ? u"Yedekten Geri Yükle"_s : u"Yeni Dosya Başlat"_s);
        startProgram();
        startProgram();
        const FakeDesktop::Box offer = m_desktop->takeBox();
        const QString kept = QDir().entryList({u"Norva-bozuk-*.db"_s}).join(u' ');
        const QString done = withBackup ? u"Kayıtlar %1 yedeğinden geri yüklendi."_s.arg(copy)
                                        : u"Yeni, boş bir Norva.db oluşturuldu."_s;
        expectBox(u"%1 Bozuk dosya \"%2\" adıyla saklandı."_s.arg(done, kept), Desktop::Icon::Information);
        QCOMPARE(offer.choices.join(u'|') + u'\n' + offer.text + u'\n' +
                     rawRows(u"SELECT count(*) FROM Linkler; PRAGMA journal_mode"_s).join(u'|') + u'|' +
                     QString::number(db::backupCopies().size()) + u'\n',
                 QString::fromUtf8(testData(u"app/damaged-start/"_s + QLatin1StringView(QTest::currentDataTag())))
                     .replace(u"%1"_s, copy));
        QCOMPARE(offer.icon, Desktop::Icon::Error);
        QCOMPARE(readFile(kept), QByteArray("bir defter değil"));
    }
};

QTEST_MAIN(TestBackups)
#include "tst_backups.moc"
