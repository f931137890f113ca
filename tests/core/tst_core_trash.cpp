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

    std::unique_ptr<Workspace> m_ws;

private slots:
    void init()
    {
        m_ws = std::make_unique<Workspace>();
        rawExec("INSERT INTO Kisiler (AdSoyad) VALUES ('Ayşe Yılmaz');"
                "INSERT INTO GelirGider (IslemTuru, IslemKaynagi, IslemTutari) VALUES ('Gelir', 'Şahin Gıda', '1');"
                "INSERT INTO Linkler (Baslik) VALUES ('GİB')");
        db::Connection c;
        ContactStore(c).remove(1);
        EntryStore(c).remove(1);
        LinkStore(c).remove(1);
    }
    void cleanup() { m_ws.reset(); }

    // Each use case on the entry, the second record in the trash.
    void eachUseCaseOnTheEntry_data()
    {
        QTest::addColumn<QString>("useCase");
        QTest::addColumn<QByteArray>("before"); // run after the trash was listed
        QTest::addColumn<int>("status");        // -1: a db::Error is thrown
        QTest::addColumn<qint32>("rowId");      // the entry's RowId after a restore
        QTest::addColumn<QStringList>("left");  // the kinds left in the trash
        QTest::addColumn<QString>("entries");   // GelirGider afterwards
        QTest::addColumn<int>("copies");        // copies of Norva.db kept beside it

        const int done = int(core::Status::Done), gone = int(core::Status::Gone);
        const QStringList all{u"Linkler"_s, u"GelirGider"_s, u"Kisiler"_s};
        const QStringList others{u"Linkler"_s, u"Kisiler"_s};
        QTest::newRow("restore") << u"restore"_s << QByteArray() << done << 1 << others << u"1|Şahin Gıda"_s << 0;
        QTest::newRow("restore, its RowId taken")
            << u"restore"_s << "INSERT INTO GelirGider (RowId, IslemKaynagi) VALUES (1, 'Yeni')"_ba << done << 2
            << others << u"1|Yeni 2|Şahin Gıda"_s << 0;
        QTest::newRow("restore, gone meanwhile") << u"restore"_s << "DELETE FROM Trash WHERE Kind = 'GelirGider'"_ba
                                                 << gone << -1 << others << QString() << 0;
        // A restore that fails half-way leaves the record in the trash.
        QTest::newRow("restore, table missing")
            << u"restore"_s << "DROP TABLE GelirGider"_ba << -1 << -1 << all << QString() << 0;
        QTest::newRow("remove forever") << u"removeForever"_s << QByteArray() << done << -1 << others << QString() << 1;
        QTest::newRow("remove forever, gone meanwhile")
            << u"removeForever"_s << "DELETE FROM Trash WHERE Kind = 'GelirGider'"_ba << gone << -1 << others
            << QString() << 1;
        QTest::newRow("empty") << u"empty"_s << QByteArray() << done << -1 << QStringList() << QString() << 1;
    }

    void eachUseCaseOnTheEntry()
    {
        QFETCH(QString, useCase);
        QFETCH(QByteArray, before);
        QFETCH(int, status);
        QFETCH(qint32, rowId);
        QFETCH(QStringList, left);
        QFETCH(QString, entries);
        QFETCH(int, copies);
        const std::vector<TrashItem> listed = core::Trash::list();
        QCOMPARE(listed.size(), size_t(3));
        const qint32 entry = listed[1].rowId;
        QCOMPARE(listed[1].kind, u"GelirGider"_s);
        if (!before.isEmpty())
            rawExec(before.constData());

        try {
            core::Change change;
            if (useCase == u"restore"_s) {
                const core::Trash::Restore restored = core::Trash::restore(entry);
                change = restored.change;
                QCOMPARE(restored.change.rowId, rowId);
                QCOMPARE(restored.renumbered(), rowId == 2);
                if (restored.change.isDone())
                    QCOMPARE(restored.oldRowId, 1);
            } else {
                change = useCase == u"empty"_s ? core::Trash::empty() : core::Trash::removeForever(entry);
            }
            QCOMPARE(int(change.status), status);
        } catch (const db::Error &) {
            QCOMPARE(status, -1);
        }

        QStringList kinds;
        for (const TrashItem &item : core::Trash::list())
            kinds << item.kind;
        QCOMPARE(kinds, left);
        if (!entries.isNull())
            QCOMPARE(rawRows(u"SELECT RowId || '|' || IslemKaynagi FROM GelirGider"_s).join(u' '), entries);
        QCOMPARE(QDir(u"Yedekler"_s).entryList({u"Norva-cop-bosaltma-*.db"_s}).size(), copies);
    }

    void recordsLeaveTheTrashAfter30Days()
    {
        rawExec("UPDATE Trash SET DeletedAt = strftime('%Y-%m-%dT%H:%M:%fZ', 'now', '-31 days') WHERE RowId = 1;"
                "UPDATE Trash SET DeletedAt = strftime('%Y-%m-%dT%H:%M:%fZ', 'now', '-29 days') WHERE RowId = 2");
        core::Trash::purgeExpired();
        QCOMPARE(rawRows(u"SELECT Kind FROM Trash ORDER BY RowId"_s), (QStringList{u"GelirGider"_s, u"Linkler"_s}));
    }
};

QTEST_GUILESS_MAIN(TestCoreTrash)
#include "tst_core_trash.moc"
