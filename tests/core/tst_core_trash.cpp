#include "Workspace.h"

#include "core/Contacts.h"
#include "core/Entries.h"
#include "core/Links.h"
#include "core/Trash.h"

#include <QDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestCoreTrash : public QObject
{
    Q_OBJECT

private slots:
    // Each use case on the entry, the second of three records in the trash.
    void eachUseCaseOnTheEntry_data()
    {
        QTest::addColumn<QString>("useCase");
        QTest::addColumn<QString>("before"); // run after the trash was listed
        // done, gone or error (a db::Error thrown): the kinds left in the trash, each entry's RowId and
        // source, then the copies of Norva.db kept beside it (a server's are never copied).
        QTest::addColumn<QString>("outcome");
        const QString taken = u"DELETE FROM Trash WHERE Kind = 'GelirGider'"_s;
        QTest::newRow("restore") << u"restore"_s << QString() << u"done: Kisiler Linkler|1|Şahin Gıda, 0"_s;
        QTest::newRow("restore, its RowId taken")
            << u"restore"_s << u"INSERT INTO GelirGider (RowId, IslemKaynagi) VALUES (1, 'Yeni')"_s
            << u"done: Kisiler Linkler|1|Yeni|2|Şahin Gıda, 0"_s;
        QTest::newRow("restore, gone meanwhile") << u"restore"_s << taken << u"gone: Kisiler Linkler, 0"_s;
        // A restore that fails half-way leaves the record in the trash.
        QTest::newRow("restore, a write refused")
            << u"restore"_s << refusal(u"dolu"_s, u"GelirGider"_s, u"INSERT"_s, u"dolu"_s)
            << u"error: Kisiler GelirGider Linkler, 0"_s;
        QTest::newRow("remove forever") << u"removeForever"_s << QString() << u"done: Kisiler Linkler, 1"_s;
        QTest::newRow("remove forever, gone meanwhile") << u"removeForever"_s << taken << u"gone: Kisiler Linkler, 1"_s;
        QTest::newRow("empty") << u"empty"_s << QString() << u"done: <NULL>, 1"_s;
        const QDateTime now = QDateTime::currentDateTimeUtc();
        QTest::newRow("after 30 days, not after 29")
            << u"purgeExpired"_s
            << u"UPDATE Trash SET DeletedAt = CASE WHEN Kind = 'GelirGider' THEN '%1' ELSE '%2' END WHERE Kind <> "
               u"'Linkler'"_s.arg(now.addDays(-31).toString(Qt::ISODateWithMs),
                                  now.addDays(-29).toString(Qt::ISODateWithMs))
            << u"done: Kisiler Linkler, 0"_s;
    }
    void eachUseCaseOnTheEntry()
    {
        QFETCH(QString, useCase);
        QFETCH(QString, before);
        QFETCH(QString, outcome);
        if (onServer())
            outcome = outcome.section(u',', 0, -2) + u", 0"_s;
        Workspace workspace;
        rawExec("INSERT INTO Kisiler (AdSoyad) VALUES ('Ayşe Yılmaz');"
                "INSERT INTO GelirGider (IslemTuru, IslemKaynagi, IslemTutari) VALUES ('Gelir', 'Şahin Gıda', '1');"
                "INSERT INTO Linkler (Baslik) VALUES ('GİB')");
        QVERIFY(core::Contacts::remove(1).isDone() && core::Entries().remove(1).isDone() &&
                core::Links::remove(1).isDone());
        const std::vector<TrashItem> listed = core::Trash::list(); // newest first
        QCOMPARE(listed.at(1).kind, u"GelirGider"_s);
        if (!before.isEmpty())
            rawExec(before);
        QString got = u"error"_s;
        try {
            const qint32 rowId = listed[1].rowId;
            got = (useCase == u"restore"_s         ? core::Trash::restore(rowId).change
                   : useCase == u"removeForever"_s ? core::Trash::removeForever(rowId)
                   : useCase == u"empty"_s         ? core::Trash::empty()
                                                   : (core::Trash::purgeExpired(), core::Change::done()))
                          .isDone()
                      ? u"done"_s
                      : u"gone"_s;
        } catch (const db::Error &) {
        }
        QCOMPARE(u"%1: %2, %3"_s
                     .arg(got, rawRows(u"SELECT %1 FROM (SELECT Kind FROM Trash ORDER BY RowId) AS Kinds; SELECT "
                                       u"RowId, IslemKaynagi FROM GelirGider ORDER BY RowId"_s.arg(
                                           joined(u"Kind"_s, u" "_s)))
                                   .join(u'|'))
                     .arg(QDir(u"Yedekler"_s).entryList({u"Norva-cop-bosaltma-*.db"_s}).size()),
                 outcome);
    }
};

QTEST_GUILESS_MAIN(TestCoreTrash)
#include "tst_core_trash.moc"
