#include "Workspace.h"

#include "data/CategoryStore.h"
#include "data/CompanyStore.h"
#include "data/ContactStore.h"
#include "data/EntryStore.h"
#include "data/LinkStore.h"
#include "data/MembershipStore.h"
#include "data/Statements.h"
#include "data/TrashStore.h"

#include <QtTest>

#include <csignal>
#include <random>

#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Deletes a row of `table` through the store the dialogs use.
int removeThroughStore(const QString &table, qint32 rowId, const QString &categoryKind = u"Gelir"_s)
{
    db::Connection c;
    if (table == u"Firmalar")
        return CompanyStore(c).remove(rowId);
    if (table == u"GelirGider")
        return EntryStore(c).remove(rowId);
    if (table == u"GGKategori")
        return CategoryStore(c).remove(rowId, categoryKind);
    if (table == u"Kisiler")
        return ContactStore(c).remove(rowId);
    if (table == u"Parolalar")
        return MembershipStore(c).remove(rowId);
    return LinkStore(c).remove(rowId);
}

std::vector<TrashItem> trashed()
{
    db::Connection c;
    return TrashStore(c).list();
}

std::optional<RestoredRecord> restore(qint32 trashRowId)
{
    db::Connection c;
    return TrashStore(c).restore(trashRowId);
}

// Values that JSON must carry exactly: quotes, backslashes, control characters, JSON itself.
const QString kAwkward = u"Ali'nin \"Yeri\" \\ {\"a\":1} \t\r\nŞ🚗"_s;

} // namespace

class TestTrash : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;

private slots:
    void init() { m_ws = std::make_unique<Workspace>(); }
    void cleanup() { m_ws.reset(); }

    // Rows 1 and 2 of a table are deleted through its store and put back: row 1 under its
    // RowId, row 2 under a new one, as a record took its RowId meanwhile. Both come back
    // byte for byte.
    void everyDeleteGoesToTheTrashAndComesBack_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("rows"); // statements adding rows 1 and 2
        QTest::addColumn<QStringList>("summaries");
        const QString awkward = QString(kAwkward).replace(u'\'', u"''"_s);
        QTest::newRow("company")
            << u"Firmalar"_s
            << u"INSERT INTO Firmalar VALUES (1, 'Şahin Gıda', '%1', 'Şişli', '123', '0212', 'a@b.c', 'Müşteri', "
               "'ornek.com'), (2, '%1', '', '', '', '', '', 'Tedarikçi', '')"_s.arg(awkward)
            << QStringList{kAwkward, u"Şahin Gıda"_s};
        QTest::newRow("entry") << u"GelirGider"_s
                               << u"INSERT INTO GelirGider VALUES (1, 'Gelir', '12', '3', '2025', 'Şahin Gıda', "
                                  "'1250.00', 'Lira', '0', '20', 'Satış', '%1', 'not', '0'), (2, 'Gider', '1', '1', "
                                  "'2024', 'Bora', '10.000000', 'Dolar', '30.5', '', 'Kira', '', '', 'F-7')"_s.arg(
                                      awkward)
                               << QStringList{u"1.1.2024 Gider 10.000000 Dolar — Bora"_s,
                                              u"12.3.2025 Gelir 1250.00 Lira — Şahin Gıda"_s};
        QTest::newRow("category") << u"GGKategori"_s
                                  << u"INSERT INTO GGKategori VALUES (1, 'Gelir', '%1'), (2, 'Gelir', 'Satış')"_s.arg(
                                         awkward)
                                  << QStringList{u"Gelir: Satış"_s, u"Gelir: "_s + kAwkward};
        QTest::newRow("contact") << u"Kisiler"_s
                                 << u"INSERT INTO Kisiler VALUES (1, 'Ayşe Yılmaz', '0532', '', '', 'Öğretmen', "
                                    "'İstanbul', 'Lise', 'A Rh+', 'EVET', 'a@b.c', 'x.com', '%1'), (2, '', '', '', '', "
                                    "'', '', '', '', '', '', '', '')"_s.arg(awkward)
                                 << QStringList{QString(), u"Ayşe Yılmaz"_s};
        QTest::newRow("membership") << u"Parolalar"_s
                                    << u"INSERT INTO Parolalar VALUES (1, 'E-Devlet', '123', '%1', 'm@n.o', 'w', ''), "
                                       "(2, 'Banka', 'ben', 'Gizli', '', '', 'x')"_s.arg(awkward)
                                    << QStringList{u"Banka"_s, u"E-Devlet"_s};
        // Another program's table, which allows NULL: it comes back NULL.
        QTest::newRow("link with NULLs")
            << u"Linkler"_s
            << u"DROP TABLE Linkler; CREATE TABLE Linkler (RowId INTEGER PRIMARY KEY AUTOINCREMENT, Baslik TEXT, "
               "Link TEXT, Notlar TEXT); INSERT INTO Linkler VALUES (1, 'GİB', 'gib.gov.tr', '%1'), (2, NULL, '', NULL)"_s
                   .arg(awkward)
            << QStringList{QString(), u"GİB"_s};
    }

    void everyDeleteGoesToTheTrashAndComesBack()
    {
        QFETCH(QString, table);
        QFETCH(QString, rows);
        QFETCH(QStringList, summaries);
        rawRows(rows);
        const QString all = u"SELECT * FROM %1 ORDER BY RowId"_s.arg(table);
        const QStringList before = rawRows(all);
        QCOMPARE(before.size(), 2);

        QCOMPARE(removeThroughStore(table, 1), 1);
        QCOMPARE(removeThroughStore(table, 2), 1);
        QCOMPARE(removeThroughStore(table, 2), 0); // gone already: nothing more in the trash
        QCOMPARE(rawRows(all), QStringList());
        const std::vector<TrashItem> items = trashed(); // newest first
        QCOMPARE(items.size(), size_t(2));
        QStringList shown;
        for (const TrashItem &item : items) {
            QCOMPARE(item.kind, table);
            QVERIFY(qAbs(item.deletedAt.secsTo(QDateTime::currentDateTimeUtc())) < 60);
            shown << item.summary;
        }
        QCOMPARE(shown, summaries);

        rawExec(u"INSERT INTO %1 (RowId) VALUES (2)"_s.arg(table).toUtf8().constData());
        const std::optional<RestoredRecord> first = restore(items[1].rowId), second = restore(items[0].rowId);
        QVERIFY(first && second);
        QCOMPARE((QList<qint64>{first->oldRowId, first->rowId, second->oldRowId, second->rowId}),
                 (QList<qint64>{1, 1, 2, 3}));
        QCOMPARE(first->kind, table);
        const QStringList after = rawRows(all);
        QCOMPARE(after.size(), 3);
        QCOMPARE(after[0], before[0]);
        QCOMPARE(after[2], u"3"_s + before[1].mid(1));
        QVERIFY(trashed().empty());
        QVERIFY(!restore(items[0].rowId)); // gone from the trash with its restore
    }

    // A category is taken only from its own list: the other list's button neither deletes nor trashes it.
    void aCategoryOfTheOtherKindStays()
    {
        rawExec("INSERT INTO GGKategori (IslemTuru, KalemAdi) VALUES ('Gelir', 'Satış')");
        QCOMPARE(removeThroughStore(u"GGKategori"_s, 1, u"Gider"_s), 0);
        QVERIFY(trashed().empty());
        QCOMPARE(rawRows(u"SELECT KalemAdi FROM GGKategori"_s), QStringList{u"Satış"_s});
    }

    // Entries name their company: once the company is back, an entry's report finds it whole.
    void aCompanyComesBackWholeForItsEntries()
    {
        rawExec("INSERT INTO Firmalar (FirmaAdi, FirmaAdresi, VergiDairesi, VergiNumarasi, CalismaTuru) VALUES "
                "('Şahin Gıda', 'Çarşı 5', 'Konak', '42', 'Müşteri');"
                "INSERT INTO GelirGider (IslemTuru, IslemKaynagi, IslemTutari) VALUES ('Gelir', 'Şahin Gıda', '5.00')");
        const auto lookUp = [] {
            db::Connection c;
            const std::optional<Company> found = CompanyByName(c).find(u"Şahin Gıda"_s);
            return found ? QStringList{found->address, found->taxOffice, found->taxNumber}.join(u'|') : u"-"_s;
        };
        QCOMPARE(removeThroughStore(u"Firmalar"_s, 1), 1);
        QCOMPARE(lookUp(), u"-"_s);
        QVERIFY(restore(trashed().at(0).rowId));
        QCOMPARE(lookUp(), u"Çarşı 5|Konak|42"_s);
        db::Connection c;
        QCOMPARE(CompanyStore(c).incomeSources(), QStringList{u"Şahin Gıda"_s});
    }

    void recordsLeaveTheTrashAfter30Days()
    {
        rawExec("INSERT INTO Linkler (Baslik) VALUES ('bugün'), ('29 gün'), ('31 gün'), ('yıllar')");
        for (int rowId = 1; rowId <= 4; ++rowId)
            removeThroughStore(u"Linkler"_s, rowId);
        rawExec(
            "UPDATE Trash SET DeletedAt = strftime('%Y-%m-%dT%H:%M:%fZ', 'now', '-29 days') WHERE Summary = '29 gün';"
            "UPDATE Trash SET DeletedAt = strftime('%Y-%m-%dT%H:%M:%fZ', 'now', '-31 days') WHERE Summary = '31 gün';"
            "UPDATE Trash SET DeletedAt = '2020-01-01T00:00:00.000Z' WHERE Summary = 'yıllar'");
        db::Connection c;
        QCOMPARE(TrashStore(c).purgeOlderThan(30), 2);
        QStringList left;
        for (const TrashItem &item : TrashStore(c).list())
            left << item.summary;
        QCOMPARE(left, (QStringList{u"bugün"_s, u"29 gün"_s}));
        // The purge at start is one look-up on the index, however long the trash.
        const QString purge = QString::fromUtf8(sql::kTrashPurge).replace(u'?', u"'-30 days'"_s);
        QVERIFY(rawRows(u"EXPLAIN QUERY PLAN "_s + purge)
                    .join(u' ')
                    .contains(u"SEARCH Trash USING INDEX TrashDeletedAt"_s));
    }

    // A child adds, deletes and restores links and entries, each on a fresh connection as the
    // dialogs do, until it is killed at a random moment. Every time, the file checks whole; each
    // row is whole in its table or in the trash, never both, and none is lost.
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
                        switch (steps() % 4) {
                        case 0: LinkStore(c).add({-1, u"Link "_s + n, u"https://ornek.com/"_s + n, n}); break;
                        case 1:
                            EntryStore(c).add({-1,
                                               u"Gelir"_s,
                                               u"1"_s,
                                               u"1"_s,
                                               u"2025"_s,
                                               u"Firma "_s + n,
                                               n + u".00"_s,
                                               u"Lira"_s,
                                               u"0"_s,
                                               u"20"_s,
                                               {},
                                               {},
                                               n,
                                               {}});
                            break;
                        case 2:
                            LinkStore(c).remove(qint32(steps() % uint(i)) + 1);
                            EntryStore(c).remove(qint32(steps() % uint(i)) + 1);
                            break;
                        default:
                            if (const std::vector<TrashItem> items = TrashStore(c).list(); !items.empty())
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
            // Whole: the values of a row agree with each other, in the table and in the trash.
            QCOMPARE(rawRows(u"SELECT count(*) FROM Linkler WHERE Baslik <> 'Link ' || Notlar OR Link <> "
                             "'https://ornek.com/' || Notlar;"
                             "SELECT count(*) FROM GelirGider WHERE IslemKaynagi <> 'Firma ' || IslemNotu OR "
                             "IslemTutari <> IslemNotu || '.00';"
                             "SELECT count(*) FROM Trash WHERE Kind = 'Linkler' AND (Summary <> Record ->> 'Baslik' "
                             "OR Record ->> 'Baslik' <> 'Link ' || (Record ->> 'Notlar'));"
                             "SELECT count(*) FROM Trash WHERE Kind = 'GelirGider' AND (Record ->> 'IslemKaynagi' <> "
                             "'Firma ' || (Record ->> 'IslemNotu') OR Record ->> 'IslemTutari' <> (Record ->> "
                             "'IslemNotu') || '.00')"_s),
                     (QStringList{u"0"_s, u"0"_s, u"0"_s, u"0"_s}));
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
