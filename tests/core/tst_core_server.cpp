#include "Workspace.h"

#include "core/Companies.h"
#include "core/Entries.h"
#include "core/Server.h"
#include "data/MonthlyReport.h"
#include "data/TableStatements.h"

#include <QtTest>

#include <atomic>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

using Refusal = core::Server::Refusal;

// Roles of the server's own, made once for the run: one with a password, one with no rights to the ledger.
constexpr char kRoles[] = "DO $$ BEGIN "
                          "IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'norva_parolali') THEN "
                          "CREATE ROLE norva_parolali LOGIN PASSWORD 'dogru'; END IF; "
                          "IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'norva_yetkisiz') THEN "
                          "CREATE ROLE norva_yetkisiz LOGIN PASSWORD 'dogru'; END IF; END $$";

QString refusalOf(const core::Server::Outcome &outcome)
{
    if (outcome.result.isDone())
        return u"done"_s;
    static const char *const kNames[] = {"not reached", "needs password", "wrong password", "no database",
                                         "no rights",   "newer layout",   "has records",    "other"};
    return QString::fromLatin1(kNames[int(outcome.result.refusal)]);
}

// Every row of the copied tables, in RowId order, as rawRows gives them.
QString everyRow(const QString &file)
{
    QStringList rows;
    for (const schema::Table *table : db::kCopiedTables)
        rows << rawRows(QString::fromLatin1(sql::selectRows(*table)), file);
    return rows.join(u'\n');
}

} // namespace

class TestCoreServer : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (!onServer())
            QSKIP("run on a PostgreSQL server (NORVA_TEST_ENGINE=postgres)");
    }

    // "Bağlantıyı Dene" tells each reason apart, and writes nothing while it tries.
    void aServerIsTriedAndEachRefusalToldApart_data()
    {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QString>("told");
        QTest::newRow("reached") << QString() << u"done"_s;
        QTest::newRow("no server") << u"host=127.0.0.1 port=1"_s << u"not reached"_s;
        QTest::newRow("no such database") << u"dbname=norva_yok"_s << u"no database"_s;
        QTest::newRow("wrong password") << u"host=127.0.0.1 user=norva_parolali password=yanlis"_s
                                        << u"wrong password"_s;
        QTest::newRow("no password") << u"host=127.0.0.1 user=norva_parolali passfile=/yok"_s << u"needs password"_s;
        QTest::newRow("a role without rights")
            << u"host=127.0.0.1 user=norva_yetkisiz password=dogru"_s << u"no rights"_s;
        QTest::newRow("a newer layout") << u"newer"_s << u"newer layout"_s;
    }
    void aServerIsTriedAndEachRefusalToldApart()
    {
        QFETCH(QString, connection);
        QFETCH(QString, told);
        Workspace ws;
        rawExec(kRoles);
        if (connection == u"newer"_s)
            rawExec("UPDATE NorvaVersion SET Version = 99");
        const QByteArray password = qgetenv("PGPASSWORD");
        if (connection.contains(u"passfile"_s))
            qunsetenv("PGPASSWORD");
        const QString full = connection == u"newer"_s ? serverConnection() : serverConnection() + u' ' + connection;
        const core::Server::Outcome outcome = core::Server::test(db::Database::server(full));
        qputenv("PGPASSWORD", password);
        QCOMPARE(refusalOf(outcome), told);
        QCOMPARE(rawRows(u"SELECT Version FROM NorvaVersion"_s).join(u'|'),
                 connection == u"newer"_s ? u"99"_s : QString::number(schema::kCurrentVersion));
    }

    // Norva.db's records reach an empty server row for row, RowIds kept, the trash and the master password
    // with them, and the month's report reads the same; new records then take numbers after theirs. A
    // server that holds records is refused.
    void theFileIsCopiedRowForRowIntoAnEmptyServerOnly()
    {
        Workspace ws;
        const db::Database server = db::Database::current();
        db::Database::choose(db::Database::file(db::fileName()));
        QVERIFY(db::ensureSchema());
        rawRows(u"INSERT INTO Firmalar (RowId, FirmaAdi, CalismaTuru) VALUES (3, 'Çınar Yapı', 'Müşteri'), "
                "(7, 'Işık \"Gıda\"', 'Tedarikçi');"
                "INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, GecerliKur, "
                "KdvOrani) VALUES ('Gelir', '3', '5', '2026', 'Çınar Yapı', '1250.50', 'Dolar', '32.1', '20'), "
                "('Gider', '9', '5', '2026', 'Işık \"Gıda\"', '99.99', 'Lira', '', '10');"
                "INSERT INTO GGKategori (IslemTuru, KalemAdi) VALUES ('Gider', 'Kira');"
                "INSERT INTO Invoices (Uuid, EntryRowId, InvoiceNumber) VALUES ('F47AC10B', 1, 'NRV1');"
                "INSERT INTO InvoiceCategories (TaxNumber, Kind, Category) VALUES ('9876543210', 'Gider', 'Kira');"
                "INSERT INTO InvoiceSettings VALUES (1, '1234567890');"
                "INSERT INTO MasterPassword VALUES (1, 'parametreler', 'denetim')"_s,
                u"./Norva.db"_s);
        QVERIFY(core::Companies().remove(7).isDone()); // into the trash, its JSON record with it
        const MonthlyReport fileReport = monthlyReport(5, u"2026"_s);
        QVERIFY(QFile::copy(db::fileName(), u"kaynak.db"_s));
        db::Database::choose(server);

        core::Server::Counts copied{};
        QCOMPARE(refusalOf(core::Server::copyFile(u"kaynak.db"_s, server, &copied)), u"done"_s);
        QCOMPARE(QList<int>(copied.begin(), copied.end()), QList<int>({1, 2, 1, 0, 0, 0, 1, 0, 0, 1, 1, 1, 1}));
        QCOMPARE(everyRow(db::fileName()), everyRow(u"kaynak.db"_s));
        QCOMPARE(monthlyReport(5, u"2026"_s).text, fileReport.text);
        Company added;
        added.name = u"Yeni"_s;
        added.relation = u"Müşteri"_s;
        QVERIFY(core::Companies().add(added).isDone());
        QVERIFY(rawRows(u"SELECT RowId FROM Firmalar WHERE FirmaAdi = 'Yeni'"_s).value(0).toInt() > 3);

        QCOMPARE(refusalOf(core::Server::copyFile(u"kaynak.db"_s, server, &copied)), u"has records"_s);
        QCOMPARE(rawRows(u"SELECT count(*) FROM Firmalar"_s).join(u'|'), u"2"_s);
    }

    // Desks starting at once on an empty server make its layout once: each waits for the first, then finds it made.
    void desksStartingAtOnceMakeTheLayoutOnce()
    {
        Workspace ws(false);
        const db::Database server = db::Database::current();
        std::vector<std::thread> desks;
        std::atomic<int> failed = 0;
        for (int desk = 0; desk < 4; ++desk)
            desks.emplace_back([&] {
                try {
                    db::prepareServer(server);
                } catch (const db::Error &) {
                    ++failed;
                }
            });
        for (std::thread &desk : desks)
            desk.join();
        QCOMPARE(failed.load(), 0);
        QCOMPARE(rawRows(u"SELECT Version FROM NorvaVersion"_s), QStringList{QString::number(schema::kCurrentVersion)});
        QCOMPARE(rawRows(u"SELECT count(*) FROM pg_trigger WHERE tgname = 'norva_changed' AND "
                         "tgrelid::regclass::text IN ('firmalar', 'gelirgider', 'trash')"_s),
                 QStringList{u"3"_s});
    }

    // Two desks at once: inserts never collide, and a write that waits past 5 s for another's lock is refused
    // as busy, the other's change kept. A connection the server dropped fails clearly; the next one works.
    void twoDesksAtOnceAndAServerThatDropsTheConnection()
    {
        Workspace ws;
        rawExec("INSERT INTO Firmalar (FirmaAdi) VALUES ('Bir')");
        db::Connection first, second;
        {
            db::Transaction holding(first);
            first.execute("UPDATE Firmalar SET Telefon = '1' WHERE RowId = 1");
            const qint32 one = first.query("INSERT INTO Firmalar (FirmaAdi) VALUES ('A') RETURNING RowId").rowId();
            const qint32 two = second.query("INSERT INTO Firmalar (FirmaAdi) VALUES ('B') RETURNING RowId").rowId();
            QVERIFY(one != two);
            db::ErrorKind waited = db::ErrorKind::Other;
            try {
                db::Transaction writing(second);
                second.execute("UPDATE Firmalar SET Telefon = '2' WHERE RowId = 1");
            } catch (const db::Error &error) {
                waited = error.kind;
            }
            QCOMPARE(int(waited), int(db::ErrorKind::Busy));
            holding.commit();
        }
        const QString pid = first.query("SELECT pg_backend_pid() AS Pid").text("Pid");
        rawRows(u"SELECT pg_terminate_backend(%1)"_s.arg(pid));
        db::ErrorKind dropped = db::ErrorKind::Other;
        try {
            first.query("SELECT count(*) AS Count FROM Firmalar");
        } catch (const db::Error &error) {
            dropped = error.kind;
        }
        QCOMPARE(int(dropped), int(db::ErrorKind::CannotOpen));
        QCOMPARE(db::Connection().query("SELECT Telefon FROM Firmalar WHERE RowId = 1").text("Telefon"), u"1"_s);
    }

    // Two desks save the company both showed: the second waits for the first's transaction and, once it
    // commits, is told the company changed meanwhile; the first's save is kept.
    void aSaveWaitsForAnotherDesksAndIsToldItChanged()
    {
        Workspace ws;
        rawExec("INSERT INTO Firmalar (FirmaAdi, Telefon) VALUES ('Bir', 'eski')");
        const Company shown = *core::Companies().find(1);
        Company typed = shown;
        typed.phone = u"ikinci"_s;
        db::Connection first;
        const QString pid = first.query("SELECT pg_backend_pid() AS Pid").text("Pid");
        core::Change told;
        {
            db::Transaction holding(first);
            first.execute("UPDATE Firmalar SET Telefon = 'birinci' WHERE RowId = 1");
            std::thread second([&] {
                try {
                    told = core::Companies().update(shown, typed);
                } catch (const db::Error &) {
                    told.status = core::Status::Refused;
                }
            });
            const QString waiting = u"SELECT count(*) FROM pg_stat_activity WHERE %1 = ANY(pg_blocking_pids(pid))"_s;
            const bool waited = QTest::qWaitFor([&] { return rawRows(waiting.arg(pid)) == QStringList{u"1"_s}; }, 4000);
            holding.commit();
            second.join();
            QVERIFY(waited);
        }
        QCOMPARE(int(told.status), int(core::Status::Changed));
        QCOMPARE(rawRows(u"SELECT Telefon FROM Firmalar"_s), QStringList{u"birinci"_s});
    }
};

QTEST_GUILESS_MAIN(TestCoreServer)
#include "tst_core_server.moc"
