#include "Workspace.h"

#include "data/CategoryStore.h"
#include "data/CompanyStore.h"
#include "data/ContactStore.h"
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

namespace {

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

} // namespace

class TestTrash : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;

private slots:
    void init() { m_ws = std::make_unique<Workspace>(); }
    void cleanup() { m_ws.reset(); }

    // Rows 1 and 2 are deleted through the table's store and put back byte for byte: row 1
    // under its RowId, row 2 under a new one, as a record took its RowId meanwhile. %1 is a
    // value JSON must carry exactly: quotes, backslashes, control characters, JSON itself.
    void everyDeleteGoesToTheTrashAndComesBack_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("rows"); // rows 1 and 2
        QTest::addColumn<QStringList>("summaries");
        QTest::newRow("company") << u"Firmalar"_s
                                 << u"(1, 'Şahin Gıda', '%1', 'Şişli', '1', '2', 'a@b', 'Müşteri', 'x.com'), "
                                    "(2, '%1', '', '', '', '', '', '', '')"_s
                                 << QStringList{u"%1"_s, u"Şahin Gıda"_s};
        QTest::newRow("entry")
            << u"GelirGider"_s
            << u"(1, 'Gelir', '12', '3', '2025', 'Şahin Gıda', '1250.00', 'Lira', '0', '20', 'Satış', "
               "'%1', 'not', '0'), (2, 'Gider', '1', '1', '2024', 'Bora', '10.000000', 'Dolar', "
               "'30.5', '', 'Kira', '', '', 'F-7')"_s
            << QStringList{u"1.1.2024 Gider 10.000000 Dolar — Bora"_s, u"12.3.2025 Gelir 1250.00 Lira — Şahin Gıda"_s};
        QTest::newRow("category") << u"GGKategori"_s << u"(1, 'Gelir', '%1'), (2, 'Gelir', 'Satış')"_s
                                  << QStringList{u"Gelir: Satış"_s, u"Gelir: %1"_s};
        QTest::newRow("contact") << u"Kisiler"_s
                                 << u"(1, 'Ayşe', '0532', '', '', 'Öğretmen', 'İzmir', 'Lise', 'A Rh+', 'EVET', 'a@b', "
                                    "'x.com', '%1'), (2, '', '', '', '', '', '', '', '', '', '', '', '')"_s
                                 << QStringList{QString(), u"Ayşe"_s};
        QTest::newRow("membership") << u"Parolalar"_s
                                    << u"(1, 'E-Devlet', '123', '%1', 'a@b', 'w', ''), (2, 'Banka', 'ben', 'Gizli', "
                                       "'', '', 'x')"_s
                                    << QStringList{u"Banka"_s, u"E-Devlet"_s};
        // Another program's table, which allows NULL: it comes back NULL.
        QTest::newRow("link with NULLs") << u"Linkler"_s << u"(1, 'GİB', 'gib.gov.tr', '%1'), (2, NULL, '', NULL)"_s
                                         << QStringList{QString(), u"GİB"_s};
    }

    void everyDeleteGoesToTheTrashAndComesBack()
    {
        QFETCH(QString, table);
        QFETCH(QString, rows);
        QFETCH(QStringList, summaries);
        const QString awkward = u"Ali'nin \"Yeri\" \\ {\"a\":1} \t\r\nŞ🚗"_s;
        if (table == u"Linkler"_s)
            rawExec("DROP TABLE Linkler; CREATE TABLE Linkler (RowId INTEGER PRIMARY KEY AUTOINCREMENT, Baslik TEXT, "
                    "Link TEXT, Notlar TEXT)");
        rawRows(u"INSERT INTO %1 VALUES "_s.arg(table) + rows.arg(QString(awkward).replace(u'\'', u"''"_s)));
        const QString all = u"SELECT * FROM %1 ORDER BY RowId"_s.arg(table);
        const QStringList before = rawRows(all);

        QCOMPARE(removeThroughStore(table, 1) + removeThroughStore(table, 2), 2);
        QCOMPARE(removeThroughStore(table, 2), 0); // gone already: nothing more in the trash
        QCOMPARE(rawRows(all), QStringList());
        db::Connection c;
        TrashStore trash(c);
        const std::vector<TrashItem> items = trash.list(); // newest first
        QStringList listed;
        for (const TrashItem &item : items) {
            listed << item.summary;
            QVERIFY(item.kind == table && qAbs(item.deletedAt.secsTo(QDateTime::currentDateTimeUtc())) < 60);
        }
        QCOMPARE(listed.join(u'#'), summaries.join(u'#').replace(u"%1"_s, awkward));

        rawRows(u"INSERT INTO %1 (RowId) VALUES (2)"_s.arg(table));
        const std::optional<RestoredRecord> first = trash.restore(items[1].rowId),
                                            second = trash.restore(items[0].rowId);
        QVERIFY(first && second);
        QCOMPARE((QList<qint64>{first->oldRowId, first->rowId, second->oldRowId, second->rowId}),
                 (QList<qint64>{1, 1, 2, 3}));
        const QStringList after = rawRows(all);
        QCOMPARE((QStringList{after.value(0), after.value(2), QString::number(after.size())}),
                 (QStringList{before[0], u"3"_s + before[1].mid(1), u"3"_s}));
        QVERIFY(trash.list().empty());
        // Its trash RowIds are not given again: an old selection never names another record.
        QCOMPARE(removeThroughStore(table, 1) + removeThroughStore(table, 3), 2);
        QVERIFY(!trash.restore(items[0].rowId) && !trash.restore(items[1].rowId));
    }

    // A child adds, deletes and restores links and entries, each on a fresh connection as the
    // dialogs do, until it is killed at a random moment. Every time, the file checks whole; each
    // row is whole in its table or in the trash, never in both, and none is lost.
    void aKilledWriterLeavesEveryRowWholeOrInTheTrash()
    {
        std::mt19937 random(20261207);
        for (int round = 0; round < 10; ++round) {
            const pid_t child = fork();
            if (child == 0) {
                std::mt19937 steps{unsigned(round)};
                try {
                    for (int i = 1;; ++i) {
                        const QString n = QString::number(round * 100000 + i);
                        db::Connection c;
                        if (const unsigned step = steps() % 4; step == 0) {
                            LinkStore(c).add({-1, u"L"_s + n, u"https://"_s + n, n});
                        } else if (step == 1) {
                            EntryStore(c).add(
                                {-1, u"Gelir"_s, {}, {}, {}, u"F"_s + n, n + u".00"_s, {}, {}, {}, {}, {}, n, {}});
                        } else if (step == 2) {
                            LinkStore(c).remove(qint32(steps() % uint(i)) + 1);
                            EntryStore(c).remove(qint32(steps() % uint(i)) + 1);
                        } else if (const std::vector<TrashItem> items = TrashStore(c).list(); !items.empty()) {
                            TrashStore(c).restore(items[steps() % items.size()].rowId);
                        }
                    }
                } catch (const db::Error &) {
                    _exit(3); // an exit, not the kill the parent waits for
                }
            }
            QTest::qSleep(int(100 + random() % 400));
            ::kill(child, SIGKILL);
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY(WIFSIGNALED(status));

            QCOMPARE(rawRows(u"PRAGMA integrity_check"_s), QStringList{u"ok"_s});
            // Whole: the values of a row agree with each other, in its table and in the trash.
            QCOMPARE(
                rawRows(u"SELECT count(*) FROM Linkler WHERE Baslik <> 'L' || Notlar OR Link <> 'https://' || Notlar;"
                        "SELECT count(*) FROM GelirGider WHERE IslemKaynagi <> 'F' || IslemNotu OR IslemTutari <> "
                        "IslemNotu || '.00';"
                        "SELECT count(*) FROM Trash WHERE iif(Kind = 'Linkler', Record ->> 'Link' <> 'https://' || "
                        "(Record ->> 'Notlar'), Record ->> 'IslemTutari' <> (Record ->> 'IslemNotu') || '.00') OR "
                        "Summary NOT LIKE '%' || (Record ->> iif(Kind = 'Linkler', 'Baslik', 'IslemKaynagi'))"_s),
                (QStringList{u"0"_s, u"0"_s, u"0"_s}));
            // Each RowId ever given is in its table or in the trash, exactly once.
            for (const QString &table : {u"Linkler"_s, u"GelirGider"_s}) {
                const QString last =
                    rawRows(u"SELECT ifnull(max(seq), 0) FROM sqlite_sequence WHERE name = '%1'"_s.arg(table)).value(0);
                QVERIFY(last.toInt() > 0); // the child got somewhere before it was killed
                QCOMPARE(rawRows(u"SELECT count(*), count(DISTINCT Id), ifnull(max(Id), 0) FROM (SELECT RowId AS Id "
                                 "FROM %1 UNION ALL SELECT OriginalRowId FROM Trash WHERE Kind = '%1')"_s.arg(table)),
                         QStringList{QStringList(3, last).join(u'|')});
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestTrash)
#include "tst_trash.moc"
