#include "FakeDesktop.h"
#include "Workspace.h"

#include "data/Database.h"
#include "data/RowListModel.h"
#include "data/Statements.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QtTest>

#include <sqlite3.h>

#include <QCollator>

#include <random>
#include <thread>

using namespace Qt::StringLiterals;

class TestDatabase : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_desktop = std::make_unique<FakeDesktop>(); }
    void cleanup()
    {
        QVERIFY2(m_desktop->unexpected().isEmpty(), qPrintable(m_desktop->unexpected().join(u'\n')));
        m_desktop.reset();
    }

    void formatQuotesTextAndWritesNumbersWithPoint()
    {
        QLocale::setDefault(QLocale(QLocale::Turkish));
        QCOMPARE(db::format("X='%s' AND Y=%d AND Z='%f' AND W='%s' %%", u"Ali'nin 'Yeri'"_s, -42, 1250.5, u"şİı"_s),
                 u"X='Ali''nin ''Yeri''' AND Y=-42 AND Z='1250.500000' AND W='şİı' %"_s);
    }

    void freshDatabaseHasEveryTableAndIsPrivate()
    {
        Workspace ws;
        QCOMPARE(QDir().entryList(QDir::Files), QStringList{u"Norva.db"_s}); // nothing left over from making it
        QCOMPARE(QFileInfo(u"Norva.db"_s).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther),
                 QFile::Permissions());
        db::Connection c;
        const std::pair<const char *, int> tables[] = {{"Firmalar", 9},   {"GelirGider", 14}, {"GGKategori", 3},
                                                       {"Kisiler", 13},    {"Linkler", 4},     {"Parolalar", 7}};
        for (const auto &[table, columns] : tables) {
            db::Rows rows = c.query(u"SELECT count(*) AS n FROM pragma_table_info('%1')"_s.arg(QString::fromLatin1(table)));
            QCOMPARE(rows.number("n"), double(columns));
        }
        db::Rows mode = c.query(u"PRAGMA journal_mode"_s);
        QCOMPARE(mode.text("journal_mode"), u"wal"_s);
    }

    void everyStatementRunsOnAFreshDatabase()
    {
        // Each statement with sample values in its blanks (texts with an
        // apostrophe), with its fragments where it has some.
        const auto filled = [](const char *statement) {
            std::vector<db::FormatArg> args;
            for (const char *p = statement; *p; ++p) {
                if (*p == '%' && p[1] == 's')
                    args.emplace_back(u"Ali'nin Yeri"_s);
                else if (*p == '%' && p[1] == 'd')
                    args.emplace_back(3);
                else if (*p == '%' && p[1] == 'f')
                    args.emplace_back(1250.5);
            }
            return db::formatArgs(statement, args);
        };
        const std::vector<std::vector<const char *>> statements = {
            {sql::kFirmaEkle}, {sql::kFirmaTumu}, {sql::kFirmaCalismaTuru}, {sql::kFirmaMusteri},
            {sql::kFirmaTedarikci}, {sql::kFirmaTedarikciMusteri}, {sql::kFirmaDetay}, {sql::kFirmaGuncelle},
            {sql::kFirmaSil}, {sql::kFirmaGelirKaynaklari}, {sql::kFirmaGiderKaynaklari}, {sql::kFirmaAdiyla},
            {sql::kGelirGiderEkle}, {sql::kHareketListesi, sql::kHareketGelir, sql::kHareketAy, sql::kHareketYil},
            {sql::kHareketListesi, sql::kHareketGider}, {sql::kHareketDetay}, {sql::kHareketGuncelle},
            {sql::kHareketSil},
            {sql::kToplamlar, sql::kToplamAy, sql::kToplamYil},
            {sql::kRaporHareketleri, sql::kRaporAy, sql::kRaporYil}, {sql::kKategoriGelir}, {sql::kKategoriGider},
            {sql::kKategoriEkle}, {sql::kKategoriGelirSil}, {sql::kKategoriGiderSil}, {sql::kLinkListesi},
            {sql::kLinkEkle}, {sql::kLinkDetay}, {sql::kLinkSil}, {sql::kParolaListesi}, {sql::kParolaEkle},
            {sql::kParolaDetay}, {sql::kParolaGuncelle}, {sql::kParolaSil}, {sql::kKisiListesi}, {sql::kKisiEkle},
            {sql::kKisiDetay}, {sql::kKisiSil}};
        Workspace ws;
        db::Connection c;
        for (const auto &parts : statements) {
            QString statement;
            for (const char *part : parts)
                statement += filled(part);
            if (statement.endsWith(u"RowId = "_s))
                statement += u'1';
            try {
                if (statement.startsWith(u"SELECT"_s))
                    c.query(statement);
                else
                    QCOMPARE(c.execute(statement), statement.startsWith(u"INSERT"_s) ? 1 : 0);
            } catch (const db::Error &e) {
                QFAIL(qPrintable(statement + u": "_s + e.description));
            }
        }
    }

    void valuesReadBackExactly()
    {
        Workspace ws;
        const QString tricky = u"Ali'nin Kırtasiyesi; DROP TABLE Firmalar; -- çğıİöşüŞ\r\n'' \"x\" %s 🚗"_s;
        const QString longText(10000, u'ş');
        db::Connection c;
        QCOMPARE(c.execute(db::format(sql::kLinkEkle, tricky, longText, u""_s)), 1);
        QCOMPARE(c.execute(db::format(sql::kGelirGiderEkle, u"Gelir"_s, u"1"_s, u"3"_s, u"2025"_s, u""_s,
                                      u"1250.50"_s, u"Lira"_s, u"0"_s, u"20"_s, u""_s, u""_s, u""_s, u"0"_s)),
                 1);
        QCOMPARE(c.execute(db::format(sql::kHareketGuncelle, 1250.5, u"0"_s, u"20"_s, u""_s, u""_s, u"Lira"_s,
                                      u"1"_s, u"3"_s, u"2025"_s, u"0"_s, 1)),
                 1);

        db::Rows link = c.query(db::withRowId(sql::kLinkDetay, 1));
        QVERIFY(!link.atEnd());
        QCOMPARE(link.text("Baslik"), tricky);
        QCOMPARE(link.text("Link"), longText);
        QCOMPARE(link.text("Notlar"), QString());
        link.moveNext();
        QVERIFY(link.atEnd());

        db::Rows entry = c.query(db::withRowId(sql::kHareketDetay, 1));
        QCOMPARE(entry.text("IslemTutari"), u"1250.500000"_s);
        QCOMPARE(entry.number("IslemTutari"), 1250.5);
        QCOMPARE(entry.text("Ay"), u"3"_s);
        db::Rows found = c.query(QString::fromUtf8(sql::kHareketListesi) + db::format(sql::kHareketAy, 3) +
                                 db::format(sql::kHareketYil, 2025));
        QCOMPARE(found.rowId(), 1);
    }

    void longWalksReadBackExactly()
    {
        // Long walks share repeated texts; what comes back must still be each
        // row's own value: repeated, empty, long, and many distinct ones.
        Workspace ws;
        QStringList expected;
        {
            db::Connection c;
            c.execute(u"BEGIN"_s);
            for (int i = 0; i < 3000; ++i) {
                QString value;
                if (i % 7 == 0)
                    value = QString();
                else if (i % 11 == 0)
                    value = QString(100, u'ğ') + QString::number(i);
                else if (i < 1500)
                    value = u"Şirket %1"_s.arg(i % 40);
                else
                    value = u"Tekil Ünvan %1"_s.arg(i);
                expected << value;
                c.execute(db::format(sql::kLinkEkle, value, u""_s, u""_s));
            }
            c.execute(u"COMMIT"_s);
        }
        db::Connection c;
        QStringList read;
        for (db::Rows rows = c.query(QString::fromUtf8(sql::kLinkListesi)); !rows.atEnd(); rows.moveNext())
            read << rows.text("Baslik");
        QCOMPARE(read, expected);
    }

    void unconvertibleValuesRaiseAnEmptyDescription()
    {
        Workspace ws;
        rawExec("CREATE TABLE T (RowId INTEGER PRIMARY KEY, A TEXT, N TEXT);"
                "INSERT INTO T VALUES (1, NULL, '1,5'); INSERT INTO T VALUES (2, 'x', '12.25')");
        db::Connection c;
        db::Rows rows = c.query(u"SELECT A, N, RowId FROM T"_s);
        const auto expectEmptyError = [](auto read) {
            try {
                read();
                QFAIL("no error");
            } catch (const db::Error &e) {
                QVERIFY(e.description.isEmpty());
                QVERIFY(!e.message.isEmpty());
            }
        };
        expectEmptyError([&] { rows.text("A"); });
        expectEmptyError([&] { rows.number("N"); });
        QCOMPARE(rows.rowId(), 1);
        rows.moveNext();
        QCOMPARE(rows.text("a"), u"x"_s); // names are matched like the provider does, without case
        QCOMPARE(rows.number("N"), 12.25);
        QVERIFY_THROWS_EXCEPTION(db::Error, rows.text("Yok"));
        // A query failing on its first row gives its error and leaves nothing open.
        QVERIFY_THROWS_EXCEPTION(db::Error, c.query(u"SELECT abs(-9223372036854775807-1) AS n"_s));
        QCOMPARE(c.query(u"SELECT 1 AS n"_s).number("n"), 1.0);
    }

    void aFailingWalkKeepsTheRowsReadSoFar()
    {
        Workspace ws;
        rawExec("INSERT INTO Linkler (Baslik) VALUES ('b'); INSERT INTO Linkler (Baslik) VALUES ('a');"
                "CREATE TABLE L2 (RowId INTEGER PRIMARY KEY, Baslik TEXT);"
                "INSERT INTO L2 VALUES (1, 'Çınar'); INSERT INTO L2 VALUES (2, NULL); INSERT INTO L2 VALUES (3, 'z')");
        RowListModel model(true);
        model.load(QString::fromUtf8(sql::kLinkListesi), "Baslik");
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.row(0).text, u"a"_s);
        QCOMPARE(model.data(model.index(0), Qt::UserRole).toInt(), 2);

        QVERIFY_THROWS_EXCEPTION(db::Error, model.load(u"SELECT Baslik, RowId FROM L2"_s, "Baslik"));
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.row(0).text, u"Çınar"_s);

        // A statement that fails outright leaves the list as it was.
        QVERIFY_THROWS_EXCEPTION(db::Error, model.load(u"SELECT Baslik, RowId FROM Yok"_s, "Baslik"));
        QCOMPARE(model.rowCount(), 1);
    }

    void listsSortInTurkishOrder()
    {
        std::vector<RowListModel::Row> rows;
        const QStringList order{u"Cam"_s, u"Çiçek"_s, u"G"_s,    u"Ğ"_s,  u"ılık"_s, u"Irmak"_s, u"İnci"_s, u"iyi"_s,
                                u"Oya"_s, u"Ördek"_s, u"Su"_s,   u"Şeker"_s, u"Uğur"_s, u"Ülkü"_s, u"Zeytin"_s};
        for (qsizetype i = order.size() - 1; i >= 0; --i)
            rows.push_back({order[(i * 7) % order.size()], 0});
        sortTurkish(rows);
        QStringList sorted;
        for (const auto &row : rows)
            sorted << row.text;
        QCOMPARE(sorted, order);

        // Random texts over letters of both cases, Turkish letters, digits,
        // blanks and punctuation, once with a character outside the table (the
        // collator then sorts all): every neighbour pair must be in order.
        const QString alphabet = u"aAbBcCçÇgGğĞhHıIiİoOöÖsSşŞuUüÜzZqQwWxX09 .,-'&()/"_s;
        std::mt19937 random(20250301);
        QCollator collator{QLocale(QLocale::Turkish, QLocale::Turkey)};
        for (const QString &extra : {QString(), u"🚗 é"_s}) {
            rows.clear();
            for (int i = 0; i < 3000; ++i) {
                QString text;
                for (int n = int(random() % 8); n >= 0; --n)
                    text += alphabet[qsizetype(random() % alphabet.size())];
                rows.push_back({text, i});
            }
            if (!extra.isEmpty())
                rows.push_back({extra, -1});
            sortTurkish(rows);
            for (size_t i = 1; i < rows.size(); ++i)
                QVERIFY2(collator.compare(rows[i - 1].text, rows[i].text) <= 0,
                         qPrintable(rows[i - 1].text + u" > "_s + rows[i].text));
        }
    }

    void badFilesGiveTheErrorBoxAndAreLeftAlone()
    {
        Workspace ws(false);
        // Missing file: nothing is created by a connection.
        QVERIFY_THROWS_EXCEPTION(db::Error, db::Connection());
        QVERIFY(!QFile::exists(u"Norva.db"_s));

        // A file that is not a database is never overwritten.
        QByteArray noise(4096, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + 13) % 251);
        {
            QFile file(u"Norva.db"_s);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(noise);
        }
        QVERIFY(!db::ensureSchema());
        try {
            db::Connection c;
            c.query(QString::fromUtf8(sql::kFirmaTumu));
            QFAIL("no error");
        } catch (const db::Error &e) {
            QVERIFY(e.description.contains(u"not a database"_s));
            db::showError(e);
        }
        const FakeDesktop::Box box = m_desktop->takeBox();
        QCOMPARE(box.caption, u"Norva Rezado 1.0"_s);
        QVERIFY(box.text.contains(u"not a database"_s));
        QCOMPARE(box.buttons, Desktop::Buttons::Ok);
        QFile file(u"Norva.db"_s);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), noise);
    }

    void aMissingTableIsReportedAndCreatedAgainAtStart()
    {
        Workspace ws;
        rawExec("INSERT INTO Linkler (Baslik) VALUES ('kalır'); DROP TABLE Firmalar");
        try {
            db::Connection c;
            c.execute(db::format(sql::kFirmaSil, 1));
            QFAIL("no error");
        } catch (const db::Error &e) {
            QVERIFY(e.description.contains(u"no such table: Firmalar"_s));
            db::showConnectionError(e);
        }
        const QString text = m_desktop->takeBox().text;
        QVERIFY(text.startsWith(u"OLEDB Bağlantı Hatası:\nHata: "_s));
        QVERIFY(text.endsWith(u"\nAçıklama: no such table: Firmalar"_s));

        QVERIFY(db::ensureSchema());
        db::Connection c;
        QVERIFY(c.query(QString::fromUtf8(sql::kFirmaTumu)).atEnd());
        QCOMPARE(c.query(QString::fromUtf8(sql::kLinkListesi)).text("Baslik"), u"kalır"_s);
    }

    void aMissingFolderLeavesTheProgramUsable()
    {
        QString gone;
        {
            Workspace ws(false);
            gone = ws.path();
            QVERIFY(QDir(gone).removeRecursively());
            QVERIFY(!db::ensureSchema());
            QVERIFY_THROWS_EXCEPTION(db::Error, db::Connection());
        }
        QVERIFY(!QFile::exists(gone));
    }

    void aSecondCopyHoldingTheLockIsWaitedFor()
    {
        Workspace ws;
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open("Norva.db", &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO Linkler (Baslik) VALUES ('öbür')", nullptr,
                              nullptr, nullptr),
                 SQLITE_OK);
        // Released after a moment: the write waits and then succeeds.
        std::thread release([other] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
        });
        {
            db::Connection c;
            QCOMPARE(c.execute(db::format(sql::kLinkEkle, u"bu"_s, u""_s, u""_s)), 1);
        }
        release.join();

        // Held past the wait: the engine's "locked" description, nothing written.
        QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        try {
            db::Connection c;
            c.execute(db::format(sql::kLinkEkle, u"yazılmaz"_s, u""_s, u""_s));
            QFAIL("no error");
        } catch (const db::Error &e) {
            QVERIFY(e.description.contains(u"locked"_s));
        }
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        db::Connection c;
        db::Rows rows = c.query(u"SELECT count(*) AS n FROM Linkler"_s);
        QCOMPARE(rows.number("n"), 2.0);
    }

private:
    std::unique_ptr<FakeDesktop> m_desktop;
};

QTEST_MAIN(TestDatabase)
#include "tst_database.moc"
