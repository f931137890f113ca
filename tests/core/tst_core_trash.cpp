#include "Workspace.h"

#include "core/Trash.h"
#include "data/ContactStore.h"
#include "data/EntryStore.h"
#include "data/LinkStore.h"

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
        QTest::addColumn<int>("status");        // -1: a db::Error is thrown
        QTest::addColumn<QString>("after");     // the kinds left in the trash, then each entry's RowId and source
        QTest::addColumn<int>("copies");        // copies of Norva.db kept beside it

        const int done = int(core::Status::Done), gone = int(core::Status::Gone);
        const QByteArray taken = "DELETE FROM Trash WHERE Kind = 'GelirGider'";
        const QString others = u"Kisiler Linkler"_s;
        QTest::newRow("restore") << u"restore"_s << QByteArray() << done << u"Kisiler Linkler|1|Şahin Gıda"_s << 0;
        QTest::newRow("restore, its RowId taken")
            << u"restore"_s << "INSERT INTO GelirGider (RowId, IslemKaynagi) VALUES (1, 'Yeni')"_ba << done
            << u"Kisiler Linkler|1|Yeni|2|Şahin Gıda"_s << 0;
        QTest::newRow("restore, gone meanwhile") << u"restore"_s << taken << gone << others << 0;
        // A restore that fails half-way leaves the record in the trash.
        QTest::newRow("restore, a write refused")
            << u"restore"_s
            << "CREATE TRIGGER dolu BEFORE INSERT ON GelirGider BEGIN SELECT RAISE(ABORT, 'dolu'); END"_ba << -1
            << u"Kisiler GelirGider Linkler"_s << 0;
        QTest::newRow("remove forever") << u"removeForever"_s << QByteArray() << done << others << 1;
        QTest::newRow("remove forever, gone meanwhile") << u"removeForever"_s << taken << gone << others << 1;
        QTest::newRow("empty") << u"empty"_s << QByteArray() << done << u"<NULL>"_s << 1;
        QTest::newRow("after 30 days, not after 29")
            << u"purgeExpired"_s
            << "UPDATE Trash SET DeletedAt = strftime('%Y-%m-%dT%H:%M:%fZ', 'now', iif(Kind = 'GelirGider', "
               "'-31 days', '-29 days')) WHERE Kind <> 'Linkler'"_ba
            << done << others << 0;
    }
    void eachUseCaseOnTheEntry()
    {
        QFETCH(QString, useCase);
        QFETCH(QByteArray, before);
        QFETCH(int, status);
        QFETCH(QString, after);
        QFETCH(int, copies);
        Workspace workspace;
        rawExec("INSERT INTO Kisiler (AdSoyad) VALUES ('Ayşe Yılmaz');"
                "INSERT INTO GelirGider (IslemTuru, IslemKaynagi, IslemTutari) VALUES ('Gelir', 'Şahin Gıda', '1');"
                "INSERT INTO Linkler (Baslik) VALUES ('GİB')");
        {
            db::Connection c;
            ContactStore(c).remove(1);
            EntryStore(c).remove(1);
            LinkStore(c).remove(1);
        }
        const std::vector<TrashItem> listed = core::Trash::list(); // newest first
        QCOMPARE(listed.at(1).kind, u"GelirGider"_s);
        if (!before.isEmpty())
            rawExec(before.constData());
        int got = -1;
        try {
            const qint32 rowId = listed[1].rowId;
            got = int(useCase == u"restore"_s         ? core::Trash::restore(rowId).change.status
                      : useCase == u"removeForever"_s ? core::Trash::removeForever(rowId).status
                      : useCase == u"empty"_s         ? core::Trash::empty().status
                                                      : (core::Trash::purgeExpired(), core::Status::Done));
        } catch (const db::Error &) {
        }
        QCOMPARE(got, status);
        QCOMPARE(rawRows(u"SELECT group_concat(Kind, ' ') FROM (SELECT Kind FROM Trash ORDER BY RowId);"
                         "SELECT RowId, IslemKaynagi FROM GelirGider"_s)
                     .join(u'|'),
                 after);
        QCOMPARE(QDir(u"Yedekler"_s).entryList({u"Norva-cop-bosaltma-*.db"_s}).size(), copies);
    }
};

QTEST_GUILESS_MAIN(TestCoreTrash)
#include "tst_core_trash.moc"
