#include "Workspace.h"

#include "data/CategoryStore.h"
#include "data/CompanyStore.h"
#include "data/ContactStore.h"
#include "data/Dialect.h"
#include "data/EntryStore.h"
#include "data/LinkStore.h"
#include "data/MembershipStore.h"
#include "data/TrashStore.h"

#include <QtTest>

#include <csignal>
#include <random>

#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// Deletes a row of `table` through the store the dialogs use.
int removeThroughStore(const QString &table, qint32 rowId)
{
    db::Connection c;
    return table == u"Firmalar"     ? CompanyStore(c).remove(rowId)
           : table == u"GelirGider" ? EntryStore(c).remove(rowId)
           : table == u"GGKategori" ? CategoryStore(c).remove(rowId, u"Gelir"_s)
           : table == u"Kisiler"    ? ContactStore(c).remove(rowId)
           : table == u"Parolalar"  ? MembershipStore(c).remove(rowId)
                                    : LinkStore(c).remove(rowId);
}

class TestTrash : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;

private slots:
    void init() { m_ws = std::make_unique<Workspace>(); }
    void cleanup() { m_ws.reset(); }

    // Rows 1 and 2 are deleted through the table's store and put back byte for byte: row 1 under its RowId, row 2
    // under a new one, as a record took its RowId meanwhile. The tables: data/trash-rows.tsv.
    void everyDeleteGoesToTheTrashAndComesBack_data()
    {
        QTest::addColumn<QStringList>("row"); // name, table, statements, summaries
        for (const QStringList &row : caseRows(u"data/trash-rows.tsv"_s))
            QTest::newRow(qPrintable(row[0])) << row;
    }

    void everyDeleteGoesToTheTrashAndComesBack()
    {
        QFETCH(QStringList, row);
        const QString table = row[1], awkward = u"Ali'nin \"Yeri\" \\ {\"a\":1} \t\r\nŞ🚗"_s;
        rawRows(row[2].arg(QString(awkward).replace(u'\'', u"''"_s)));
        const QString all = u"SELECT * FROM %1 ORDER BY RowId"_s.arg(table);
        const QStringList before = rawRows(all);
        // Row 2 twice: gone already, nothing more goes to the trash.
        const int removed = removeThroughStore(table, 1) + removeThroughStore(table, 2) + removeThroughStore(table, 2);
        QCOMPARE(QString::number(removed) + rawRows(all).join(u'|'), u"2"_s);
        db::Connection c;
        TrashStore trash(c);
        const std::vector<TrashItem> items = trash.list();
        QStringList listed;
        for (const TrashItem &item : items)
            listed << item.summary;
        QCOMPARE(listed.join(u'#'), row[3].replace(u"%1"_s, awkward));

        rawRows(u"INSERT INTO %1 (RowId) VALUES (2)"_s.arg(table));
        const auto first = trash.restore(items[1].rowId), second = trash.restore(items[0].rowId);
        QVERIFY(first && second && trash.list().empty());
        QCOMPARE((QList<qint64>{first->oldRowId, first->rowId, second->oldRowId, second->rowId}),
                 (QList<qint64>{1, 1, 2, 3}));
        const QStringList after = rawRows(all);
        QCOMPARE(after, (QStringList{before[0], after.value(1), u"3"_s + before[1].mid(1)}));
        // Its trash RowIds are not given again: an old selection never names another record.
        QCOMPARE(removeThroughStore(table, 1) + removeThroughStore(table, 3), 2);
        QVERIFY(!trash.restore(items[0].rowId) && !trash.restore(items[1].rowId));
        // Nor are the table's: with row 1 put back after row 3 went, a record added gets a number of its own.
        QVERIFY(trash.restore(trash.list().back().rowId));
        QCOMPARE(rawRows(u"INSERT INTO %1 DEFAULT VALUES; SELECT max(RowId) FROM %1"_s.arg(table)),
                 QStringList{u"4"_s});
    }

    // A child adds, deletes and restores links and entries, each on a fresh connection as the dialogs do, until it
    // is killed at a random moment. Every time, the file checks whole; each row is whole in its table or in the
    // trash, never in both, and none is lost: each RowId ever given is in its table or in the trash exactly once.
    void aKilledWriterLeavesEveryRowWholeOrInTheTrash()
    {
        // Whole: the values of a row agree with each other, in its table and in the trash; and once each. A writer
        // killed before its commit may have drawn numbers from a server that no row then took.
        const auto field = [](const char *name) {
            return u'(' +
                   QString::fromUtf8(db::dialect::recordField(
                       onServer() ? db::Database::Engine::Postgres : db::Database::Engine::Sqlite, "Record", name)) +
                   u')';
        };
        const QString numbers = onServer()
                                    ? u"max(Id) <= pg_sequence_last_value(pg_get_serial_sequence(Kind, 'rowid'))"_s
                                    : u"count(*) = max(Id) AND max(Id) = (SELECT seq FROM sqlite_sequence WHERE "
                                      u"name = Kind)"_s;
        const QString whole =
            (onServer() ? QString() : u"PRAGMA integrity_check; "_s) +
            u"SELECT count(*) FROM Linkler WHERE Baslik <> 'L' || Notlar OR Link <> 'https://' || Notlar; SELECT "
            u"count(*) FROM GelirGider WHERE IslemKaynagi <> 'F' || IslemNotu OR IslemTutari <> IslemNotu || '.00'; "
            u"SELECT count(*) FROM Trash WHERE CASE WHEN Kind = 'Linkler' THEN "_s +
            field("Link") + u" <> 'https://' || "_s + field("Notlar") + u" ELSE "_s + field("IslemTutari") + u" <> "_s +
            field("IslemNotu") + u" || '.00' END OR Summary NOT LIKE '%' || CASE WHEN Kind = 'Linkler' THEN "_s +
            field("Baslik") + u" ELSE "_s + field("IslemKaynagi") +
            u" END; SELECT CAST(count(*) > 0 AND count(*) = count(DISTINCT Id) AND "_s + numbers +
            u" AS INTEGER) FROM (SELECT 'Linkler' AS Kind, RowId AS Id FROM Linkler UNION ALL SELECT 'GelirGider', "
            u"RowId FROM GelirGider UNION ALL SELECT Kind, OriginalRowId FROM Trash) AS Ids GROUP BY Kind"_s;
        const QStringList wholeRows = QStringList(onServer() ? 0 : 1, u"ok"_s) + u"0 0 0 1 1"_s.split(u' ');
        std::mt19937 random(20261207);
        for (int round = 0; round < 10; ++round) {
            const pid_t child = fork();
            // A failure ends the child by the exception, not by the kill the parent waits for.
            std::mt19937 steps{unsigned(round)};
            for (int i = 1; child == 0; ++i) {
                const QString n = QString::number(round * 100000 + i);
                const qint32 some = qint32(steps() % uint(i)) + 1;
                db::Connection c;
                switch (steps() % 4) {
                case 0: LinkStore(c).add({-1, u"L"_s + n, u"https://"_s + n, n}); break;
                case 1:
                    EntryStore(c).add(
                        {-1, u"Gelir"_s, {}, {}, {}, u"F"_s + n, n + u".00"_s, {}, {}, {}, {}, {}, n, {}});
                    break;
                case 2: LinkStore(c).remove(some), EntryStore(c).remove(some); break;
                default:
                    if (const std::vector<TrashItem> items = TrashStore(c).list(); !items.empty())
                        TrashStore(c).restore(items[steps() % items.size()].rowId);
                }
            }
            QTest::qSleep(int(100 + random() % 400));
            ::kill(child, SIGKILL);
            int status = 0;
            QVERIFY(waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
            QCOMPARE(rawRows(whole), wholeRows);
        }
    }
};

QTEST_GUILESS_MAIN(TestTrash)
#include "tst_trash.moc"
