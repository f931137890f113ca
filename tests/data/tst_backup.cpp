#include "Workspace.h"

#include "data/Backup.h"
#include "data/Database.h"
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
    return rawRows(u"SELECT (SELECT count(*) FROM Firmalar) || ' firma, ' || (SELECT count(*) FROM GelirGider) || "
                   u"' hareket, ' || (SELECT coalesce(group_concat(Baslik, '+'), '') FROM Linkler)"_s)
        .join(u'\n');
}

void addEntries(int count, const char *title)
{
    rawRows(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            u"INSERT INTO GelirGider (IslemTuru, IslemKaynagi, IslemIcerigi) SELECT 'Gelir', 'Çınar Yapı', "
            u"i || hex(zeroblob(100)) FROM n; INSERT INTO Linkler (Baslik) VALUES ('%2')"_s.arg(count)
                .arg(QString::fromUtf8(title)));
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;

private slots:
    void init() { m_ws = std::make_unique<Workspace>(); }
    void cleanup() { m_ws.reset(); }

    // A copy is owner-only in an owner-only folder; what copies cut short left behind goes, unless the process
    // writing it is still at work. A restore keeps what it replaces first, so it is undone the same way, in the
    // same second too; the copies stay plain files, with no journal beside them.
    void aBackupRestoresWhatItHeldAndIsUndoneTheSameWay()
    {
        rawExec("INSERT INTO Firmalar (FirmaAdi) VALUES ('Ali''nin Kırtasiyesi'); INSERT INTO Linkler (Baslik) VALUES "
                "('Şubat')");
        writeFile(u"Yedekler"_s, "bir dosya, klasör değil");
        QVERIFY_THROWS_EXCEPTION(db::Error, db::backUp());
        QVERIFY(QFile::remove(u"Yedekler"_s) && db::backupDue(QDateTime::currentDateTime()));
        const pid_t gone = fork();
        if (gone == 0)
            _exit(0);
        waitpid(gone, nullptr, 0);
        QDir().mkdir(u"Yedekler"_s);
        for (const pid_t writer : {gone, getpid()})
            writeFile(u"Yedekler/Norva-2026-01-02-09-00-00.db.%1.part"_s.arg(writer), "yarım");
        const QString copy = db::backUp();
        QCOMPARE(QDir(u"Yedekler"_s).entryList({u"*.part"_s}),
                 QStringList{u"Norva-2026-01-02-09-00-00.db.%1.part"_s.arg(getpid())});
        QVERIFY(!db::backupDue(QDateTime::currentDateTime()) && !db::lastBackupFailure());
        QCOMPARE(QFileInfo(copy).absolutePath(), QDir(m_ws->path()).filePath(u"Yedekler"_s));
        QCOMPARE(QFile::permissions(db::backupFolder()) & 0x7077,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(QFile::permissions(copy) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);

        const QString before = ledger();
        rawExec("DELETE FROM Firmalar; INSERT INTO Linkler (Baslik) VALUES ('Mart')");
        const QString changed = ledger();
        db::restoreFrom(copy);
        QCOMPARE(ledger(), before);
        QCOMPARE(rawRows(u"PRAGMA journal_mode; PRAGMA integrity_check"_s), (QStringList{u"wal"_s, u"ok"_s}));
        QCOMPARE(db::backupCopies().constFirst().reason, u"geri-yukleme-oncesi"_s);
        db::restoreFrom(db::backupCopies().constFirst().path);
        QCOMPARE(ledger(), changed);
        QCOMPARE(db::backupCopies().size(), 3);
        QCOMPARE(QDir(db::backupFolder()).entryList({u"*-wal"_s, u"*-shm"_s}), QStringList());
    }

    // A copy of another version, chosen or the newest sound one: an earlier one is restored
    // brought up to date; one a newer build wrote is refused with the reason, Norva.db as it
    // was, nothing set aside or left over.
    void aCopyOfAnotherVersionIsBroughtUpToDateOrRefused_data()
    {
        QTest::addColumn<bool>("newestSound");
        QTest::addColumn<QString>("make"); // run on the copy
        QTest::addColumn<QString>("told");
        const QString older = u"DROP TABLE Trash; DROP TABLE MasterPassword; PRAGMA user_version = 1"_s;
        QTest::newRow("chosen, earlier version") << false << older << QString();
        QTest::newRow("newest sound, earlier version") << true << older << QString();
        QTest::newRow("chosen, newer version") << false << u"PRAGMA user_version = 99"_s << u" programın daha yeni"_s;
        QTest::newRow("newest sound, newer version")
            << true << u"PRAGMA user_version = 99"_s << u" programın daha yeni"_s;
    }

    void aCopyOfAnotherVersionIsBroughtUpToDateOrRefused()
    {
        QFETCH(bool, newestSound);
        QFETCH(QString, make);
        QFETCH(QString, told);
        addEntries(10, "yedekte");
        const QString copy = db::backUp();
        rawRows(make, copy);
        const QString backedUp = ledger();
        rawExec("INSERT INTO Linkler (Baslik) VALUES ('sonra')");
        const QByteArray before = readFile(db::fileName());
        QString problem;
        try {
            newestSound ? void(db::restoreNewestSound()) : db::restoreFrom(copy);
        } catch (const db::Error &error) {
            problem = db::describe(error);
        }
        QVERIFY2(told.isEmpty() ? problem.isEmpty() : problem.contains(QFileInfo(copy).fileName() + told),
                 qPrintable(problem));
        if (told.isEmpty()) {
            QCOMPARE(QStringList{ledger()} +
                         rawRows(u"PRAGMA user_version; SELECT count(*) FROM Trash; PRAGMA journal_mode"_s),
                     (QStringList{backedUp, u"3"_s, u"0"_s, u"wal"_s}));
            return;
        }
        QCOMPARE(readFile(db::fileName()), before);
        QCOMPARE(QDir().entryList(QDir::Files), QStringList{u"Norva.db"_s});
        QCOMPARE(QDir(db::backupFolder()).entryList(QDir::Files), QStringList{QFileInfo(copy).fileName()});
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
            copies << QDateTime(day, QTime(9, 0));
            if (extraEveryNthDay && day.dayOfYear() % extraEveryNthDay == 0)
                copies << QDateTime(day, QTime(15, 0));
            const QList<qsizetype> removed = db::rotationRemovals(copies, day);
            for (auto index = removed.rbegin(); index != removed.rend(); ++index)
                copies.removeAt(*index);
            // Today's copies all stay, and never more than 7 + 4 + 12 copies of other days.
            const auto today =
                std::count_if(copies.begin(), copies.end(), [&](const QDateTime &copy) { return copy.date() == day; });
            QVERIFY(copies.size() - today <= 22);
            QCOMPARE(int(today), extraEveryNthDay && day.dayOfYear() % extraEveryNthDay == 0 ? 2 : 1);
        }
        QStringList days;
        for (auto copy = copies.rbegin(); copy != copies.rend(); ++copy)
            days << copy->toString(u"MM-dd"_s);
        QCOMPARE(days.join(u' '), kept);
    }

    // A restore killed at each of its steps: Norva.db is whole, and either as it was or the restored one.
    void aRestoreKilledAtAnyStepLeavesAWholeFile_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("passes"); // the step is reached this many times before the kill
        QTest::addColumn<bool>("restored");
        QTest::newRow("copy checked") << int(db::RestoreStep::CheckedCopy) << 1 << false;
        QTest::newRow("current file backed up") << int(db::RestoreStep::BackedUp) << 1 << false;
        QTest::newRow("first pages written") << int(db::RestoreStep::CopyingPages) << 1 << false;
        QTest::newRow("most pages written") << int(db::RestoreStep::CopyingPages) << 4 << false;
        QTest::newRow("replaced") << int(db::RestoreStep::Replaced) << 1 << true;
    }

    void aRestoreKilledAtAnyStepLeavesAWholeFile()
    {
        QFETCH(int, step);
        QFETCH(int, passes);
        QFETCH(bool, restored);
        addEntries(24000, "yedekte"); // some 6 MB: the pages go in several steps
        const QString copy = db::backUp();
        const QString backedUp = ledger();
        rawExec("DELETE FROM GelirGider WHERE RowId % 3 = 0; INSERT INTO Linkler (Baslik) VALUES ('sonra')");
        const QString current = ledger();

        const pid_t child = fork();
        if (child == 0) {
            int reached = 0;
            try {
                db::restoreFrom(copy, [&](db::RestoreStep at) {
                    if (int(at) == step && ++reached == passes)
                        raise(SIGKILL);
                });
            } catch (const db::Error &) {
            }
            _exit(2); // failed, or the step was never reached
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL, qPrintable(QString::number(status)));
        QCOMPARE(rawRows(u"PRAGMA integrity_check"_s), QStringList{u"ok"_s});
        QCOMPARE(ledger(), restored ? backedUp : current);
    }

    // What the start-up check says of a file (what is then done with it, the start-up cases show).
    void damageIsTold_data()
    {
        QTest::addColumn<QByteArray>("make"); // statements, or "empty", "torn"
        QTest::addColumn<QString>("told");    // the start of the sentence; empty for a sound file
        QTest::newRow("sound") << QByteArray("INSERT INTO Linkler (Baslik) VALUES ('x')") << QString();
        QTest::newRow("zero bytes") << QByteArray("empty") << QString();
        QTest::newRow("trash columns missing")
            << QByteArray("DROP TABLE Trash; CREATE TABLE Trash (RowId INTEGER PRIMARY KEY, Kind, Record)")
            << u"Norva.db içindeki Trash tablosunda şu sütunlar eksik: OriginalRowId, Summary, DeletedAt."_s;
        QTest::newRow("torn pages") << QByteArray("torn") << u"Norva.db bozulmuş; denetim bir hata buldu (On tree"_s;
    }

    void damageIsTold()
    {
        QFETCH(QByteArray, make);
        QFETCH(QString, told);
        if (make == "empty") {
            writeFile(db::fileName(), {});
        } else if (make == "torn") {
            addEntries(3000, "yırtık");
            QByteArray bytes = readFile(db::fileName());
            for (qsizetype at = 4096 * 3; at < bytes.size(); at += 4096)
                bytes.replace(at + 100, 300, QByteArray(300, '\xff'));
            writeFile(db::fileName(), bytes);
        } else {
            rawExec(make.constData());
        }
        const QString problem = db::faultText(db::damage(db::fileName()));
        QVERIFY2(told.isEmpty() ? problem.isEmpty() : problem.startsWith(told), qPrintable(problem));
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
