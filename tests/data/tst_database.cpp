#include "Workspace.h"

#include "data/Backup.h"
#include "data/Database.h"
#include "data/LinkStore.h"
#include "data/RowListModel.h"
#include "data/Schema.h"
#include "data/Statements.h"
#include "platform/DatabaseErrors.h"

#include <QCollator>
#include <QtTest>

#include <sqlite3.h>

#include <map>
#include <random>
#include <thread>

using namespace Qt::StringLiterals;

class TestDatabase : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;

private slots:
    void init() { m_ws = std::make_unique<Workspace>(); }
    void cleanup() { m_ws.reset(); }

    // Made here, an empty file someone else made, or a copy written while a reader holds a transaction open:
    // owner-only, whole and in WAL mode; a copy opened to be read is never written; a copy with nowhere to go
    // fails naming where it was to go.
    void filesMadeArePrivateAndAFailedCopyLeavesNothing()
    {
        SKIP_ON_SERVER();
        QCOMPARE(QDir().entryList(QDir::Files), QStringList{u"Norva.db"_s}); // nothing left over from making it
        QVERIFY(!(QFile::permissions(u"Norva.db"_s) & 0x0077));
        writeFile(u"Norva.db"_s, {});
        QVERIFY(QFile::setPermissions(u"Norva.db"_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        QVERIFY(db::ensureSchema() && !(QFile::permissions(u"Norva.db"_s) & 0x0077));
        rawExec("INSERT INTO Linkler (Baslik) VALUES ('kopyada')");
        db::Connection reader;
        db::Rows open = reader.query("SELECT Baslik FROM Linkler");
        const QString copy = db::keepCopy(u"deneme"_s);
        QVERIFY(QFileInfo(copy).fileName().startsWith(u"Norva-deneme-"_s) && !(QFile::permissions(copy) & 0x0077));
        QCOMPARE(rawRows(u"PRAGMA journal_mode"_s) + rawRows(u"SELECT Baslik FROM Linkler"_s, copy),
                 (QStringList{u"wal"_s, u"kopyada"_s}));
        const auto write = [&] { db::Connection(db::Database::file(copy, true)).execute(u"DELETE FROM Linkler"_s); };
        QCOMPARE(errorOf(write).kind, db::ErrorKind::ReadOnly);
        const db::Error failed = errorOf([] { db::copyDatabase(db::fileName(), u"yok/kopya.db"_s); });
        QVERIFY(db::describe(failed).contains(u"yok/kopya.db"_s));
    }

    // Texts come back as typed, quotes and all. Long walks share repeated texts: each row must
    // still get its own value, whether repeated, empty, long or one of many distinct ones.
    void listsReadBackExactlyAndInTurkishOrder()
    {
        QStringList expected{u"Ali'nin Kırtasiyesi; DROP TABLE Firmalar; -- çğıİöşüŞ\r\n'' \"x\" %s 🚗"_s};
        for (int i = 0; i < 3000; ++i)
            expected << (i % 7
                             ? u"%1 %2"_s.arg(i % 11 ? u"Tekil Ünvan"_s : QString(100, u'ğ')).arg(i < 1500 ? i % 40 : i)
                             : QString());
        db::Connection c;
        c.execute(u"BEGIN"_s);
        for (const QString &value : expected)
            LinkStore(c).add({-1, value, {}, {}});
        c.execute(u"COMMIT"_s);
        QStringList read;
        for (db::Rows rows = c.query(QString::fromUtf8(sql::kLinkListesi) + u" ORDER BY RowId"_s); !rows.atEnd();
             rows.moveNext())
            read << rows.text("Baslik");
        QCOMPARE(read, expected);

        // A list whose walk fails on its second row keeps the first (a server fails before sending any row: there
        // the list stays empty); one whose statement fails outright stays as it was; a query failing on its first
        // row leaves nothing open behind it.
        RowListModel model(true);
        const auto atTwo = u"SELECT CASE WHEN RowId=2 THEN CAST(abs(-9223372036854775807-1) AS TEXT) ELSE Baslik END "
                           u"Baslik, RowId FROM Linkler"_s;
        QVERIFY_THROWS_EXCEPTION(db::Error, model.load({atTwo, {}, "Baslik"}));
        QVERIFY_THROWS_EXCEPTION(db::Error, model.load({u"SELECT Baslik, RowId FROM Yok"_s, {}, "Baslik"}));
        QCOMPARE(QString::number(model.rowCount()) + (model.rowCount() ? model.row(0).text : QString()),
                 onServer() ? u"0"_s : u"1"_s + expected[0]);
        QVERIFY_THROWS_EXCEPTION(db::Error, c.query(u"SELECT abs(-9223372036854775807-1) AS n"_s));
        QCOMPARE(c.query(u"SELECT 'y' AS n"_s).text("n"), u"y"_s);

        // Random texts over letters of both cases, Turkish letters, digits, blanks and punctuation, empty ones too,
        // then with a character outside the table (the collator then sorts all): every neighbour pair in order.
        const QString alphabet = u"aAbBcCçÇgGğĞhHıIiİoOöÖsSşŞuUüÜzZqQwWxX09 .,-'&()/"_s;
        std::mt19937 random(20250301);
        QCollator collator{QLocale(QLocale::Turkish, QLocale::Turkey)};
        std::vector<RowListModel::Row> rows{{}};
        for (int i = 0; i < 15000; ++i)
            random() % 5 ? void(rows.back().text += alphabet[qsizetype(random() % alphabet.size())])
                         : rows.push_back({{}, i});
        for (const QString &extra : {u"a"_s, u"🚗 é"_s}) {
            rows.push_back({extra, -1});
            std::shuffle(rows.begin(), rows.end(), random);
            sortTurkish(rows);
            for (size_t i = 1; i < rows.size(); ++i)
                QVERIFY2(collator.compare(rows[i - 1].text, rows[i].text) <= 0, qPrintable(rows[i].text));
        }
    }

    // A file in a folder nobody may write is read, and a write refused in words of the program's own; a file from a
    // newer build gets no connection; a file that is not a database is never overwritten; with the working folder
    // removed, failures, no crash.
    void badFilesAndFoldersFailAndAreLeftAlone()
    {
        SKIP_ON_SERVER();
        // Root may write anywhere: the read-only check runs in a child that gives up root first.
        rawExec("INSERT INTO Linkler (Baslik) VALUES ('Okunur')");
        QVERIFY(QFile::setPermissions(u"."_s, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(u"Norva.db"_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        const int result = inChildWithoutRoot([] {
            db::Connection c;
            const QString seen = c.query(QString::fromUtf8(sql::kLinkListesi)).text("Baslik") + u'|' +
                                 db::plainReason(errorOf([&] { LinkStore(c).remove(1); }));
            const QString told =
                u"Okunur|Veritabanı dosyası yalnızca okunabilir bir yerde; değişiklikler kaydedilemez."_s;
            return db::isReadOnly() && db::ensureSchema() && seen == told ? 0 : 11;
        });
        QVERIFY(QFile::setPermissions(u"."_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(rawRows(u"SELECT Baslik FROM Linkler"_s).join(u'|') + QString::number(result), u"Okunur0"_s);

        rawExec("PRAGMA user_version = 99");
        QVERIFY(!db::ensureSchema());
        QCOMPARE(
            db::describe(errorOf([] { db::Connection(); })),
            u"Norva.db programın daha yeni bir sürümüyle kaydedilmiş; bu sürüm onu açmıyor, dosyaya dokunulmadı."_s);
        const QByteArray noise = QByteArray("not a ledger at all\n").repeated(200);
        writeFile(u"Norva.db"_s, noise);
        QVERIFY(!db::ensureSchema());
        const db::Error notADatabase = errorOf([] { db::Connection().query(sql::kFirmaTumu); });
        QCOMPARE(notADatabase.description + u'|' + db::plainReason(notADatabase),
                 u"file is not a database|Norva.db bir veritabanı dosyası değil ya da bozulmuş; program dosyayı "
                 u"değiştirmedi."_s);
        QCOMPARE(readFile(u"Norva.db"_s), noise);
        QVERIFY(QDir(m_ws->path()).removeRecursively() && !db::ensureSchema());
        QVERIFY_THROWS_EXCEPTION(db::Error, db::Connection());
    }

    // A file the first build made (version 0), or one a step not shipped yet that adds a column (and an index on it)
    // meets: of the version before it, or missing a table, it comes back whole at its version, every cell kept,
    // with exactly the tables and columns the steps describe (the damage check and the repair go by them).
    void aStepThatAddsAColumnLeavesEveryTableWhole_data()
    {
        QTest::addColumn<bool>("atFour"); // the file is of version 4 already
        QTest::addColumn<QByteArray>("make");
        QTest::newRow("version 0") << false
                                   << "DROP TABLE Trash; DROP TABLE MasterPassword; DROP INDEX ParolalarYerleri; " +
                                          layoutVersion(0).toUtf8();
        QTest::newRow("version 3") << false << QByteArray();
        QTest::newRow("version 3, trash dropped") << false << QByteArray("DROP TABLE Trash");
        QTest::newRow("version 4, trash dropped") << true << QByteArray("DROP TABLE Trash");
        QTest::newRow("version 4, companies dropped") << true << QByteArray("DROP TABLE Firmalar");
    }

    void aStepThatAddsAColumnLeavesEveryTableWhole()
    {
        QFETCH(bool, atFour);
        QFETCH(QByteArray, make);
        static constexpr schema::AddedColumn restoredAt[] = {{"Trash", "RestoredAt", "TEXT NOT NULL DEFAULT ''"}};
        std::vector<schema::Step> steps(std::begin(schema::kSteps), std::end(schema::kSteps));
        const int added = schema::kCurrentVersion + 1; // a step after the last there is
        steps.push_back({added, "CREATE INDEX IF NOT EXISTS TrashRestoredAt ON Trash (RestoredAt)", {}, restoredAt});
        // A row of awkward cells in five of the tables, then the statements that read them back.
        const QString sql = QString::fromUtf8(testData(u"data/cells.sql"_s)), reads = sql.mid(sql.indexOf(u"SELECT"_s));
        const QStringList cells = rawRows(sql);
        QVERIFY(!atFour || db::ensureSchema(steps));
        rawExec(make.constData());
        // The column is not missing from a file of the version before it: the file gets it now.
        QVERIFY(!db::damage(db::fileName(), steps));
        QVERIFY(db::ensureSchema(steps) && !db::damage(db::fileName(), steps));
        QCOMPARE(rawRows(reads), cells);
        QCOMPARE(rawRows(layoutVersion()) + columnNames(u"Trash"_s) + indexNames(u"Trash"_s) +
                     rawRows(u"SELECT count(*) FROM Firmalar, MasterPassword"_s),
                 (QString::number(added) +
                  u" rowid kind originalrowid record summary deletedat restoredat trashdeletedat trashrestoredat 0"_s)
                     .split(u' '));
    }

    // The damage check and the repair go by the steps' lists: a fresh file has exactly the tables and columns they
    // name.
    void theStepsDescribeTheirTables()
    {
        std::map<QString, QStringList> described, made;
        for (const schema::Step &step : schema::kSteps) {
            for (const schema::Table &table : step.tables)
                for (const schema::Column &column : table.columns)
                    described[QString::fromUtf8(table.name).toLower()] << QString::fromUtf8(column.name).toLower();
            for (const schema::AddedColumn &added : step.added)
                described[QString::fromUtf8(added.table).toLower()] << QString::fromUtf8(added.name).toLower();
        }
        for (const QString &table : tableNames())
            made[table] = columnNames(table);
        QCOMPARE(made, described);
    }

    // SQLite's own lock on the file; a server's is tst_postgres_engine's.
    void aSecondCopyHoldingTheLockIsWaitedFor()
    {
        SKIP_ON_SERVER();
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open("Norva.db", &other), SQLITE_OK);
        const auto run = [other](const char *statement) { return sqlite3_exec(other, statement, {}, {}, {}); };
        db::Connection c;
        // Released after a moment: the write waits and then succeeds.
        QCOMPARE(run("BEGIN IMMEDIATE; INSERT INTO Linkler (Baslik) VALUES ('öbür')"), SQLITE_OK);
        std::thread release([&run] { std::this_thread::sleep_for(std::chrono::milliseconds(300)), run("COMMIT"); });
        QCOMPARE(LinkStore(c).add({-1, u"bu"_s, {}, {}}), 1);
        release.join();
        // Held past the wait: the engine's "locked" description, said in words of the program's own.
        QCOMPARE(run("BEGIN IMMEDIATE"), SQLITE_OK);
        const db::Error locked = errorOf([&] { LinkStore(c).add({-1, u"yazılmaz"_s, {}, {}}); });
        run("ROLLBACK"), sqlite3_close(other);
        QVERIFY(locked.kind == db::ErrorKind::Busy && db::plainReason(locked).contains(u"kilitli"_s));
        QCOMPARE(rawRows(u"SELECT Baslik FROM Linkler"_s), (QStringList{u"öbür"_s, u"bu"_s}));
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
