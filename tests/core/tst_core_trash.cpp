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
        QTest::addColumn<QByteArray>("before"); // run after the trash was listed
        // done, gone or error (a db::Error thrown): the kinds left in the trash, each entry's RowId and
        // source, then the copies of Norva.db kept beside it.
        QTest::addColumn<QString>("outcome");
        const QByteArray taken = "DELETE FROM Trash WHERE Kind = 'GelirGider'";
        QTest::newRow("restore") << u"restore"_s << QByteArray() << u"done: Kisiler Linkler|1|Şahin Gıda, 0"_s;
        QTest::newRow("restore, its RowId taken")
            << u"restore"_s << "INSERT INTO GelirGider (RowId, IslemKaynagi) VALUES (1, 'Yeni')"_ba
            << u"done: Kisiler Linkler|1|Yeni|2|Şahin Gıda, 0"_s;
        QTest::newRow("restore, gone meanwhile") << u"restore"_s << taken << u"gone: Kisiler Linkler, 0"_s;
        // A restore that fails half-way leaves the record in the trash.
        QTest::newRow("restore, a write refused")
            << u"restore"_s
            << "CREATE TRIGGER dolu BEFORE INSERT ON GelirGider BEGIN SELECT RAISE(ABORT, 'dolu'); END"_ba
            << u"error: Kisiler GelirGider Linkler, 0"_s;
        QTest::newRow("remove forever") << u"removeForever"_s << QByteArray() << u"done: Kisiler Linkler, 1"_s;
        QTest::newRow("remove forever, gone meanwhile") << u"removeForever"_s << taken << u"gone: Kisiler Linkler, 1"_s;
        QTest::newRow("empty") << u"empty"_s << QByteArray() << u"done: <NULL>, 1"_s;
        QTest::newRow("after 30 days, not after 29")
            << u"purgeExpired"_s
            << "UPDATE Trash SET DeletedAt = strftime('%Y-%m-%dT%H:%M:%fZ', 'now', iif(Kind = 'GelirGider', "
               "'-31 days', '-29 days')) WHERE Kind <> 'Linkler'"_ba
            << u"done: Kisiler Linkler, 0"_s;
    }
    void eachUseCaseOnTheEntry()
    {
        QFETCH(QString, useCase);
        QFETCH(QByteArray, before);
        Workspace workspace;
        rawExec("INSERT INTO Kisiler (AdSoyad) VALUES ('Ayşe Yılmaz');"
                "INSERT INTO GelirGider (IslemTuru, IslemKaynagi, IslemTutari) VALUES ('Gelir', 'Şahin Gıda', '1');"
                "INSERT INTO Linkler (Baslik) VALUES ('GİB')");
        QVERIFY(core::Contacts::remove(1).isDone() && core::Entries().remove(1).isDone() &&
                core::Links::remove(1).isDone());
        const std::vector<TrashItem> listed = core::Trash::list(); // newest first
        QCOMPARE(listed.at(1).kind, u"GelirGider"_s);
        if (!before.isEmpty())
            rawExec(before.constData());
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
        QTEST(u"%1: %2, %3"_s
                  .arg(got, rawRows(u"SELECT group_concat(Kind, ' ') FROM (SELECT Kind FROM Trash ORDER BY RowId);"
                                    "SELECT RowId, IslemKaynagi FROM GelirGider"_s)
                                .join(u'|'))
                  .arg(QDir(u"Yedekler"_s).entryList({u"Norva-cop-bosaltma-*.db"_s}).size()),
              "outcome");
    }
};

QTEST_GUILESS_MAIN(TestCoreTrash)
#include "tst_core_trash.moc"
