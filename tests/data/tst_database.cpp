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

namespace {

// The error a step raises; a step that succeeds gives a description no check accepts.
template <typename Step>
db::Error errorOf(Step step)
{
    try {
        step();
    } catch (const db::Error &e) {
        return e;
    }
    return {u"(no error)"_s, u"(no error)"_s};
}

bool ownerOnly(const QString &path)
{
    return (QFile::permissions(path) & 0x0077) == QFile::Permissions();
}

} // namespace

class TestDatabase : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;

private slots:
    void init() { m_ws = std::make_unique<Workspace>(); }
    void cleanup() { m_ws.reset(); }

    // Made here, an empty file someone else made, or a copy written while a reader holds a transaction open:
    // owner-only, whole and in WAL mode; a copy with nowhere to go leaves nothing behind, not even half a copy.
    void filesMadeArePrivateAndAFailedCopyLeavesNothing()
    {
        QCOMPARE(QDir().entryList(QDir::Files), QStringList{u"Norva.db"_s}); // nothing left over from making it
        QVERIFY(ownerOnly(u"Norva.db"_s));
        writeFile(u"Norva.db"_s, {});
        QVERIFY(QFile::setPermissions(u"Norva.db"_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        QVERIFY(db::ensureSchema() && ownerOnly(u"Norva.db"_s));
        rawExec("INSERT INTO Linkler (Baslik) VALUES ('kopyada')");
        QCOMPARE(rawRows(u"PRAGMA journal_mode; SELECT Baslik FROM Linkler"_s), (QStringList{u"wal"_s, u"kopyada"_s}));
        db::Connection reader;
        db::Rows open = reader.query("SELECT Baslik FROM Linkler");
        const QString copy = db::keepCopy(u"deneme"_s);
        QVERIFY(QFileInfo(copy).fileName().startsWith(u"Norva-deneme-"_s) && ownerOnly(copy));
        QCOMPARE(rawRows(u"SELECT Baslik FROM Linkler"_s, copy), QStringList{u"kopyada"_s});
        // A copy opened to be read is never written.
        const db::Error readOnly =
            errorOf([&] { db::Connection(db::Database::file(copy, true)).execute(u"DELETE FROM Linkler"_s); });
        QCOMPARE(readOnly.kind, db::ErrorKind::ReadOnly);

        const db::Error failed = errorOf([] { db::copyDatabase(db::fileName(), u"yok/kopya.db"_s); });
        QVERIFY(db::describe(failed).contains(u"yok/kopya.db"_s));
        QCOMPARE(QDir(u"."_s).entryList({u"*.part"_s}), QStringList());
    }

    void valuesReadBackExactly()
    {
        // Texts come back as typed, quotes and all. Long walks share repeated texts: each row must
        // still get its own value, whether repeated, empty, long or one of many distinct ones.
        QStringList expected{u"Ali'nin Kırtasiyesi; DROP TABLE Firmalar; -- çğıİöşüŞ\r\n'' \"x\" %s 🚗"_s,
                             QString(10000, u'ş')};
        for (int i = 0; i < 3000; ++i)
            expected << (i % 7 == 0    ? QString()
                         : i % 11 == 0 ? QString(100, u'ğ') + QString::number(i)
                         : i < 1500    ? u"Şirket %1"_s.arg(i % 40)
                                       : u"Tekil Ünvan %1"_s.arg(i));
        db::Connection c;
        c.execute(u"BEGIN"_s);
        for (const QString &value : expected)
            LinkStore(c).add({-1, value, {}, {}});
        c.execute(u"COMMIT"_s);
        QStringList read;
        for (db::Rows rows = c.query(QString::fromUtf8(sql::kLinkListesi)); !rows.atEnd(); rows.moveNext())
            read << rows.text("Baslik");
        QCOMPARE(read, expected);
    }

    // A list whose walk fails on its second row keeps the first; one whose statement fails outright stays as it
    // was; a query failing on its first row leaves nothing open behind it.
    void aFailingWalkKeepsTheRowsReadSoFar()
    {
        rawExec(
            "CREATE TABLE L2 (RowId INTEGER PRIMARY KEY, Baslik TEXT); INSERT INTO L2 VALUES (1, 'Çınar'), (2, 'x')");
        RowListModel model(true);
        const QString failsAtTwo =
            u"SELECT iif(RowId = 2, abs(-9223372036854775807-1), Baslik) AS Baslik, RowId FROM L2"_s;
        QVERIFY_THROWS_EXCEPTION(db::Error, model.load({failsAtTwo, {}, "Baslik"}));
        QVERIFY_THROWS_EXCEPTION(db::Error, model.load({u"SELECT Baslik, RowId FROM Yok"_s, {}, "Baslik"}));
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.row(0).text, u"Çınar"_s);
        db::Connection c;
        QVERIFY_THROWS_EXCEPTION(db::Error, c.query(u"SELECT abs(-9223372036854775807-1) AS n"_s));
        QCOMPARE(c.query(u"SELECT 'y' AS n"_s).text("n"), u"y"_s);
    }

    // Random texts over letters of both cases, Turkish letters, digits, blanks and punctuation, once with a
    // character outside the table (the collator then sorts all): every neighbour pair must be in order.
    void listsSortInTurkishOrder()
    {
        const QString alphabet = u"aAbBcCçÇgGğĞhHıIiİoOöÖsSşŞuUüÜzZqQwWxX09 .,-'&()/"_s;
        std::mt19937 random(20250301);
        QCollator collator{QLocale(QLocale::Turkish, QLocale::Turkey)};
        for (const QString &extra : {QString(), u"🚗 é"_s}) {
            std::vector<RowListModel::Row> rows{{extra, -1}};
            for (int i = 0; i < 3000; ++i) {
                rows.push_back({{}, i});
                for (int n = int(random() % 8); n >= 0; --n)
                    rows.back().text += alphabet[qsizetype(random() % alphabet.size())];
            }
            sortTurkish(rows);
            for (size_t i = 1; i < rows.size(); ++i)
                QVERIFY2(collator.compare(rows[i - 1].text, rows[i].text) <= 0, qPrintable(rows[i].text));
        }
    }

    // A file that is not a database is never overwritten; with the working folder removed, failures, no crash.
    void badFilesAndFoldersFailAndAreLeftAlone()
    {
        const QByteArray noise = QByteArray("not a ledger at all\n").repeated(200);
        writeFile(u"Norva.db"_s, noise);
        QVERIFY(!db::ensureSchema());
        const db::Error notADatabase = errorOf([] { db::Connection().query(sql::kFirmaTumu); });
        QCOMPARE(notADatabase.description + u'|' + db::plainReason(notADatabase),
                 u"file is not a database|Norva.db bir veritabanı dosyası değil ya da bozulmuş; program dosyayı "
                 u"değiştirmedi."_s);
        QCOMPARE(readFile(u"Norva.db"_s), noise);
        QVERIFY(QDir(m_ws->path()).removeRecursively());
        QVERIFY(!db::ensureSchema());
        QVERIFY_THROWS_EXCEPTION(db::Error, db::Connection());
    }

    // Root may write anywhere: the check runs in a child that gives up root first.
    void aFileInAFolderNobodyMayWriteIsReadOnly()
    {
        rawExec("INSERT INTO Linkler (Baslik) VALUES ('Okunur')");
        QVERIFY(QFile::setPermissions(u"."_s, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(u"Norva.db"_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        const int result = inChildWithoutRoot([] {
            if (!db::isReadOnly() || !db::ensureSchema())
                return 11;
            db::Connection c;
            if (c.query(QString::fromUtf8(sql::kLinkListesi)).text("Baslik") != u"Okunur"_s)
                return 12;
            const QString told = db::plainReason(errorOf([&] { LinkStore(c).remove(1); }));
            return told == u"Veritabanı dosyası yalnızca okunabilir bir yerde; değişiklikler kaydedilemez."_s ? 0 : 13;
        });
        QVERIFY(QFile::setPermissions(u"."_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(result, 0);
        QCOMPARE(rawRows(u"SELECT Baslik FROM Linkler"_s), QStringList{u"Okunur"_s});
    }

    void filesOfEveryVersionAreBroughtUpToDateAndNewerOnesLeftAlone()
    {
        // A file the first build made (the six tables, version 0): every cell stays, the later tables come.
        QVERIFY(QFile::remove(u"Norva.db"_s));
        rawExec(sql::kSchema);
        rawExec("INSERT INTO Firmalar (FirmaAdi, FirmaAdresi, CalismaTuru) VALUES ('Ali''nin Yeri', 'Çarşı\nŞişli', "
                "'Müşteri'); INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemTutari, KdvOrani) VALUES ('Gelir', "
                "'7', '3', '2019', '12.500000', '18'); INSERT INTO GGKategori (IslemTuru, KalemAdi) VALUES ('Gider', "
                "'Kira'); INSERT INTO Kisiler (AdSoyad, KanGurubu) VALUES ('Ayşe Işık', '0 Rh+'); INSERT INTO Linkler "
                "(Baslik, Link) VALUES ('eski', 'https://örnek.com.tr'); INSERT INTO Parolalar (UyelikYeri, Parola) "
                "VALUES ('Banka', 'gizli;''--')");
        const QString everyCell = u"SELECT * FROM Firmalar; SELECT * FROM GelirGider; SELECT * FROM GGKategori; "
                                  u"SELECT * FROM Kisiler; SELECT * FROM Linkler; SELECT * FROM Parolalar"_s;
        const QStringList firstBuild = rawRows(everyCell);
        QVERIFY(db::ensureSchema());
        QCOMPARE(rawRows(everyCell), firstBuild);
        QCOMPARE(rawRows(u"PRAGMA user_version; SELECT count(*) FROM Trash, MasterPassword"_s),
                 (QStringList{QString::number(schema::kCurrentVersion), u"0"_s}));

        // A file from a newer build: refused with a reason, not a byte changed, no connection.
        rawExec("PRAGMA user_version = 99");
        const QByteArray before = readFile(u"Norva.db"_s);
        db::FileFault fault;
        QVERIFY(!db::ensureSchema(&fault));
        const QString refusal = db::faultText(fault);
        QVERIFY2(refusal.contains(u"daha yeni bir sürümüyle"_s) && refusal.contains(u"99"_s), qPrintable(refusal));
        QVERIFY(db::describe(errorOf([] { db::Connection(); })).contains(u"dokunulmadı"_s));
        QCOMPARE(readFile(u"Norva.db"_s), before);
    }

    // A step not shipped yet that adds a column (and an index on it): a file of the version
    // before it, or one missing a table, comes back whole at its version.
    void aStepThatAddsAColumnLeavesEveryTableWhole_data()
    {
        QTest::addColumn<bool>("atFour"); // the file is of version 4 already
        QTest::addColumn<QByteArray>("make");
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
        const schema::Step steps[] = {
            schema::kSteps[0],
            schema::kSteps[1],
            schema::kSteps[2],
            {4, "CREATE INDEX IF NOT EXISTS TrashRestoredAt ON Trash (RestoredAt)", {}, restoredAt}};
        rawExec("INSERT INTO Linkler (Baslik) VALUES ('kalır')");
        QVERIFY(!atFour || db::ensureSchema(steps));
        rawExec(make.constData());
        // The column is not missing from a file of the version before it: the file gets it now.
        QVERIFY(!db::damage(db::fileName(), steps));
        QVERIFY(db::ensureSchema(steps));
        QCOMPARE(rawRows(u"PRAGMA user_version; SELECT group_concat(name, ' ') FROM pragma_table_info('Trash'); "
                         u"SELECT group_concat(name, ' ') FROM (SELECT name FROM pragma_index_list('Trash') ORDER BY "
                         u"name); SELECT count(*) FROM Firmalar; SELECT Baslik FROM Linkler"_s),
                 (QStringList{u"4"_s, u"RowId Kind OriginalRowId Record Summary DeletedAt RestoredAt"_s,
                              u"TrashDeletedAt TrashRestoredAt"_s, u"0"_s, u"kalır"_s}));
    }

    // What the steps say they make is what they make (the damage check and the repair go by it), and the
    // earlier program's statements that write a whole row name the described columns, in order.
    void theStepsDescribeTheirTables()
    {
        std::map<QString, QStringList> described, made;
        for (const schema::Step &step : schema::kSteps) {
            for (const schema::Table &table : step.tables)
                for (const schema::Column &column : table.columns)
                    described[QString::fromUtf8(table.name)] << QString::fromUtf8(column.name);
            for (const schema::AddedColumn &added : step.added)
                described[QString::fromUtf8(added.table)] << QString::fromUtf8(added.name);
        }
        for (const QString &table : rawRows(u"SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                                            u"'sqlite%'"_s))
            made[table] = rawRows(u"SELECT name FROM pragma_table_info('%1')"_s.arg(table));
        QCOMPARE(made, described);
        for (const char *insert : {sql::kFirmaEkle, sql::kGelirGiderEkle, sql::kKategoriEkle, sql::kLinkEkle,
                                   sql::kParolaEkle, sql::kKisiEkle}) {
            const QString statement = QString::fromUtf8(insert);
            const QString table = statement.section(u' ', 2, 2);
            const qsizetype open = statement.indexOf(u'('), close = statement.indexOf(u')');
            QCOMPARE(statement.mid(open + 1, close - open - 1).remove(u' ').split(u','), described[table].mid(1));
        }
    }

    void aSecondCopyHoldingTheLockIsWaitedFor()
    {
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open("Norva.db", &other), SQLITE_OK);
        const auto run = [other](const char *statement) { return sqlite3_exec(other, statement, {}, {}, {}); };
        const auto add = [](const QString &title) {
            db::Connection c;
            return LinkStore(c).add({-1, title, {}, {}});
        };
        // Released after a moment: the write waits and then succeeds.
        QCOMPARE(run("BEGIN IMMEDIATE; INSERT INTO Linkler (Baslik) VALUES ('öbür')"), SQLITE_OK);
        std::thread release([&run] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            run("COMMIT");
        });
        QCOMPARE(add(u"bu"_s), 1);
        release.join();

        // Held past the wait: the engine's "locked" description, nothing written.
        QCOMPARE(run("BEGIN IMMEDIATE"), SQLITE_OK);
        const db::Error locked = errorOf([&] { add(u"yazılmaz"_s); });
        QVERIFY(locked.description.contains(u"locked"_s) && locked.kind == db::ErrorKind::Busy);
        QVERIFY(db::plainReason(locked).contains(u"kilitli"_s));
        run("ROLLBACK");
        sqlite3_close(other);
        QCOMPARE(rawRows(u"SELECT Baslik FROM Linkler"_s), (QStringList{u"öbür"_s, u"bu"_s}));
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
