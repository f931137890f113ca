#include "Workspace.h"

#include "data/Backup.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "platform/DatabaseErrors.h"

#include <QtTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// What a ledger holds, in one line: enough to tell two states apart.
QString ledger()
{
    return rawRows(u"SELECT count(*) FROM Firmalar; SELECT count(*) FROM GelirGider; SELECT group_concat(Baslik) "
                   u"FROM Linkler; SELECT ''"_s)
        .join(u'|');
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;

private slots:
    void init() { m_ws = std::make_unique<Workspace>(); }
    void cleanup() { m_ws.reset(); }

    // Copies are owner-only in an owner-only folder; what copies cut short left behind goes once their writer is
    // gone. A restore keeps what it replaces first, so it is undone the same way, in the same second too. A copy a
    // newer build wrote is refused with the reason, chosen or as the newest sound one, Norva.db as it was and
    // nothing left over; an earlier one is restored brought up to date. No journal beside the copies.
    void backingUpAndRestoring()
    {
        SKIP_ON_SERVER();
        rawExec("INSERT INTO Firmalar (FirmaAdi) VALUES ('Ali''nin'); INSERT INTO Linkler (Baslik) VALUES ('Şubat')");
        writeFile(u"Yedekler"_s, "bir dosya, klasör değil");
        QVERIFY_THROWS_EXCEPTION(db::Error, db::backUp());
        QVERIFY(QFile::remove(u"Yedekler"_s) && QDir().mkdir(u"Yedekler"_s));
        const QString part = u"Norva-2026-01-02-09-00-00.db.%1.part"_s;
        for (const pid_t writer : {999999999, getpid()}) // a writer long gone, and one at work
            writeFile(u"Yedekler/"_s + part.arg(writer), "yarım");
        const QString copy = db::backUp(), older = db::backUp(), backedUp = ledger();
        QCOMPARE(QDir(u"Yedekler"_s).entryList({u"*.part"_s}), QStringList{part.arg(getpid())});
        QVERIFY(!db::lastBackupFailure());
        QCOMPARE(QFile::permissions(db::backupFolder()) & 0x7077,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(QFile::permissions(copy) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
        rawRows(u"DROP TABLE Trash; DROP TABLE MasterPassword; PRAGMA user_version = 1"_s, older);
        const QString newer = db::backUp();
        rawRows(u"PRAGMA user_version = 99"_s, newer);
        rawExec("DELETE FROM Firmalar; INSERT INTO Linkler (Baslik) VALUES ('Mart')");
        const QString changed = ledger();
        const QStringList files = QDir().entryList(QDir::Files) + QDir(db::backupFolder()).entryList(QDir::Files);
        for (const bool newest : {false, true}) {
            QString problem;
            try {
                newest ? void(db::restoreNewestSound()) : db::restoreFrom(newer);
            } catch (const db::Error &error) {
                problem = db::describe(error);
            }
            const QString which = newest ? u"En yeni sağlam yedek"_s : u"Seçilen yedek"_s;
            QVERIFY2(problem.startsWith(which + u" geri yüklenemez: "_s + QFileInfo(newer).fileName() +
                                        u" programın daha yeni"_s),
                     qPrintable(problem));
            QCOMPARE(ledger(), changed);
            QCOMPARE(QDir().entryList(QDir::Files) + QDir(db::backupFolder()).entryList(QDir::Files), files);
        }
        db::restoreFrom(copy);
        QCOMPARE(ledger(), backedUp);
        db::restoreFrom(db::backupCopies().constFirst().path); // the one the restore set aside
        QCOMPARE(ledger(), changed);

        db::restoreFrom(older);
        const QString upToDate =
            u"PRAGMA user_version; SELECT count(*) FROM Trash; PRAGMA journal_mode; PRAGMA integrity_check"_s;
        QCOMPARE(ledger() + rawRows(upToDate).join(u' '),
                 backedUp + QString::number(schema::kCurrentVersion) + u" 0 wal ok"_s);
        // Six copies of names of their own, the part still being written, no journal beside them; a file of another
        // name is not the program's and is left out of the copies.
        writeFile(u"Yedekler/notlar.txt"_s, "programın değil");
        QCOMPARE((QList<qsizetype>{QDir(db::backupFolder()).entryList(QDir::Files).size(), db::backupCopies().size()}),
                 (QList<qsizetype>{8, 6}));
    }

    // A year of starts, one backup a day at nine (on some days more), rotated as they are made:
    // what is left at the end, and at no day more than the rules keep.
    void rotationOverAYear_data()
    {
        QTest::addColumn<QList<int>>("idleMonths"); // months in which the program was never started
        QTest::addColumn<int>("extraEveryNthDay");  // a second copy at 15:00 on every n-th day; 0 for none
        QTest::addColumn<QString>("kept");          // at the end of 2026: the days, "MM-dd", newest first
        QTest::newRow("every day, two on some") << QList<int>() << 3
                                                << u"12-31 12-30 12-29 12-28 12-27 12-26 12-25 12-20 12-13 11-30 "
                                                   u"10-31 09-30 08-31 07-31 06-30 05-31 04-30 03-31 02-28 01-31"_s;
        QTest::newRow("idle for months") << QList<int>{3, 4, 5, 11} << 0
                                         << u"12-31 12-30 12-29 12-28 12-27 12-26 12-25 12-20 12-13 10-31 09-30 08-31 "
                                            u"07-31 06-30 02-28 01-31"_s;
    }

    void rotationOverAYear()
    {
        QFETCH(QList<int>, idleMonths);
        QFETCH(int, extraEveryNthDay);
        QFETCH(QString, kept);
        QList<QDateTime> copies;
        for (QDate day(2026, 1, 1); day.year() == 2026; day = day.addDays(1)) {
            if (idleMonths.contains(day.month()))
                continue;
            const qsizetype made = extraEveryNthDay && day.dayOfYear() % extraEveryNthDay == 0 ? 2 : 1;
            for (int at = 9; at < 9 + 6 * made; at += 6)
                copies << QDateTime(day, QTime(at, 0));
            const QList<qsizetype> removed = db::rotationRemovals(copies, day);
            for (auto index = removed.rbegin(); index != removed.rend(); ++index)
                copies.removeAt(*index);
            // Today's copies all stay, and never more than 7 + 4 + 12 copies of other days.
            QVERIFY(copies.size() - made <= 22 && copies[copies.size() - made].date() == day);
        }
        QStringList days;
        for (const QDateTime &copy : copies)
            days.prepend(copy.toString(u"MM-dd"_s));
        QCOMPARE(days.join(u' '), kept);
    }

    // A restore killed at each of its steps: Norva.db is whole, and either as it was or the restored one.
    void aRestoreKilledAtAnyStepLeavesAWholeFile_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("passes"); // the step is reached this many times before the kill
        QTest::newRow("copy checked") << int(db::RestoreStep::CheckedCopy) << 1;
        QTest::newRow("current file backed up") << int(db::RestoreStep::BackedUp) << 1;
        QTest::newRow("first pages written") << int(db::RestoreStep::CopyingPages) << 1;
        QTest::newRow("most pages written") << int(db::RestoreStep::CopyingPages) << 4;
        QTest::newRow("replaced") << int(db::RestoreStep::Replaced) << 1;
    }

    void aRestoreKilledAtAnyStepLeavesAWholeFile()
    {
        SKIP_ON_SERVER();
        QFETCH(int, step);
        QFETCH(int, passes);
        rawRows(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 24000) INSERT INTO "
                u"GelirGider (IslemTuru, IslemIcerigi) SELECT 'Gelir', i || hex(zeroblob(100)) FROM n"_s); // some 6 MB
        const QString copy = db::backUp(), backedUp = ledger();
        rawExec("DELETE FROM GelirGider WHERE RowId % 3 = 0; INSERT INTO Linkler (Baslik) VALUES ('sonra')");
        const QString current = ledger();
        const pid_t child = fork();
        if (child == 0) {
            // A failure ends it by the exception, not by the kill the parent waits for.
            db::restoreFrom(copy, [&](db::RestoreStep at) {
                if (int(at) == step && --passes == 0)
                    raise(SIGKILL);
            });
            _exit(2); // the step was never reached
        }
        int status = 0;
        QVERIFY(waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        QCOMPARE(ledger() + rawRows(u"PRAGMA integrity_check"_s).join(u'|'),
                 (step == int(db::RestoreStep::Replaced) ? backedUp : current) + u"ok"_s);
    }

    // What the start-up check says of a file (what is then done with it, the start-up cases show): nothing of an
    // empty one, the columns a table lacks, the first fault in damaged pages.
    void damageIsTold()
    {
        SKIP_ON_SERVER();
        writeFile(u"bos.db"_s, {});
        rawRows(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) INSERT INTO "
                u"GelirGider (IslemIcerigi) SELECT hex(zeroblob(100)) FROM n"_s);
        rawExec("DROP TABLE Trash; CREATE TABLE Trash (RowId INTEGER PRIMARY KEY, Kind, Record)");
        QCOMPARE(db::faultText(db::damage(u"bos.db"_s)) + db::faultText(db::damage(db::fileName())),
                 u"Norva.db içindeki Trash tablosunda şu sütunlar eksik: OriginalRowId, Summary, DeletedAt."_s);
        QByteArray bytes = readFile(db::fileName());
        for (qsizetype at = 4096 * 3; at < bytes.size(); at += 4096)
            bytes.replace(at + 100, 300, QByteArray(300, '\xff'));
        writeFile(db::fileName(), bytes);
        QVERIFY(db::faultText(db::damage(db::fileName()))
                    .startsWith(u"Norva.db bozulmuş; denetim bir hata buldu (On tree"_s));
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
