#include "Workspace.h"

#include "data/CompanyStore.h"
#include "data/ContactStore.h"
#include "data/Database.h"
#include "data/LinkStore.h"
#include "data/MembershipStore.h"
#include "data/RowListModel.h"
#include "data/Schema.h"
#include "data/Statements.h"

#include <QCollator>
#include <QtTest>

#include <sqlite3.h>

#include <sys/wait.h>
#include <unistd.h>

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

} // namespace

class TestDatabase : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;

private slots:
    void init() { m_ws = std::make_unique<Workspace>(); }
    void cleanup() { m_ws.reset(); }

    void aFreshDatabaseIsPrivateAndRunsEveryStatement()
    {
        QCOMPARE(QDir().entryList(QDir::Files), QStringList{u"Norva.db"_s}); // nothing left over from making it
        QCOMPARE(QFileInfo(u"Norva.db"_s).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther),
                 QFile::Permissions());
        db::Connection c;
        QCOMPARE(c.query(u"PRAGMA journal_mode"_s).text("journal_mode"), u"wal"_s);

        // Each statement with sample values in its blanks (texts with an
        // apostrophe), with its fragments where it has some.
        const auto filled = [](const char *statement) {
            return QString::fromUtf8(statement)
                .replace(u"%s"_s, u"Ali''nin Yeri"_s)
                .replace(u"%d"_s, u"3"_s)
                .replace(u"%f"_s, u"1250.500000"_s);
        };
        const std::vector<std::vector<const char *>> statements = {
            {sql::kFirmaEkle},
            {sql::kFirmaTumu},
            {sql::kFirmaCalismaTuru},
            {sql::kFirmaMusteri},
            {sql::kFirmaTedarikci},
            {sql::kFirmaTedarikciMusteri},
            {sql::kFirmaDetay},
            {sql::kFirmaGuncelle},
            {sql::kFirmaSil},
            {sql::kFirmaGelirKaynaklari},
            {sql::kFirmaGiderKaynaklari},
            {sql::kFirmaAdiyla},
            {sql::kGelirGiderEkle},
            {sql::kHareketListesi, sql::kHareketGelir, sql::kHareketAy, sql::kHareketYil},
            {sql::kHareketListesi, sql::kHareketGider},
            {sql::kHareketDetay},
            {sql::kHareketGuncelle},
            {sql::kHareketSil},
            {sql::kToplamlar, sql::kToplamAy, sql::kToplamYil},
            {sql::kRaporHareketleri, sql::kRaporAy, sql::kRaporYil},
            {sql::kKategoriGelir},
            {sql::kKategoriGider},
            {sql::kKategoriEkle},
            {sql::kKategoriGelirSil},
            {sql::kKategoriGiderSil},
            {sql::kLinkListesi},
            {sql::kLinkEkle},
            {sql::kLinkDetay},
            {sql::kLinkSil},
            {sql::kParolaListesi},
            {sql::kParolaEkle},
            {sql::kParolaDetay},
            {sql::kParolaGuncelle},
            {sql::kParolaSil},
            {sql::kKisiListesi},
            {sql::kKisiEkle},
            {sql::kKisiDetay},
            {sql::kKisiSil}};
        for (const auto &parts : statements) {
            QString statement;
            for (const char *part : parts)
                statement += filled(part);
            if (statement.endsWith(u"RowId = "_s))
                statement += u'1';
            const db::Values values(statement.count(u'?'), db::Value(u"Ali'nin Yeri"_s));
            try {
                if (statement.startsWith(u"SELECT"_s))
                    c.query(statement, values);
                else
                    QCOMPARE(c.execute(statement, values), statement.startsWith(u"INSERT"_s) ? 1 : 0);
            } catch (const db::Error &e) {
                QFAIL(qPrintable(statement + u": "_s + e.description));
            }
        }
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

    void unconvertibleValuesRaiseAnEmptyDescription()
    {
        rawExec("CREATE TABLE T (RowId INTEGER PRIMARY KEY, A TEXT, N TEXT);"
                "INSERT INTO T VALUES (1, NULL, '1,5'); INSERT INTO T VALUES (2, 'x', '12.25')");
        db::Connection c;
        db::Rows rows = c.query(u"SELECT A, N, RowId FROM T"_s);
        QCOMPARE(errorOf([&] { rows.text("A"); }).description, QString());
        QCOMPARE(errorOf([&] { rows.number("N"); }).description, QString());
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
        rawExec("INSERT INTO Linkler (Baslik) VALUES ('b'); INSERT INTO Linkler (Baslik) VALUES ('a');"
                "CREATE TABLE L2 (RowId INTEGER PRIMARY KEY, Baslik TEXT);"
                "INSERT INTO L2 VALUES (1, 'Çınar'); INSERT INTO L2 VALUES (2, NULL); INSERT INTO L2 VALUES (3, 'z')");
        RowListModel model(true);
        model.load(LinkStore::titles());
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.row(0).text, u"a"_s);
        QCOMPARE(model.data(model.index(0), Qt::UserRole).toInt(), 2);
        model.load({u"SELECT Baslik, RowId FROM Linkler WHERE Baslik <> ?"_s, {u"a"_s}, "Baslik"}); // values bound
        QCOMPARE(model.row(0).text, u"b"_s);

        QVERIFY_THROWS_EXCEPTION(db::Error, model.load({u"SELECT CASE RowId WHEN 2 THEN abs(-9223372036854775807-1) "
                                                        "ELSE Baslik END AS Baslik, RowId FROM L2"_s,
                                                        {},
                                                        "Baslik"}));
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.row(0).text, u"Çınar"_s);

        // A statement that fails outright leaves the list as it was.
        QVERIFY_THROWS_EXCEPTION(db::Error, model.load({u"SELECT Baslik, RowId FROM Yok"_s, {}, "Baslik"}));
        QCOMPARE(model.rowCount(), 1);
    }

    void aRowGoneMeanwhileIsNeitherFoundNorChanged()
    {
        rawExec("INSERT INTO Firmalar (FirmaAdi) VALUES ('Firma'); INSERT INTO Kisiler (AdSoyad) VALUES ('Kişi');"
                "INSERT INTO Parolalar (UyelikYeri) VALUES ('Yer'); INSERT INTO Linkler (Baslik) VALUES ('Başlık')");
        db::Connection c;
        CompanyStore companies(c);
        ContactStore contacts(c);
        MembershipStore memberships(c);
        LinkStore links(c);
        const Company company = companies.find(1).value();
        const Membership membership = memberships.find(1).value();
        QCOMPARE((QStringList{company.name, contacts.find(1)->name, membership.place, links.find(1)->title}),
                 (QStringList{u"Firma"_s, u"Kişi"_s, u"Yer"_s, u"Başlık"_s}));
        rawExec("DELETE FROM Firmalar; DELETE FROM Kisiler; DELETE FROM Parolalar; DELETE FROM Linkler");
        QVERIFY(!companies.find(1) && !contacts.find(1) && !memberships.find(1) && !links.find(1));
        QCOMPARE(companies.update(company) + memberships.update(membership) + companies.remove(1) + contacts.remove(1) +
                     memberships.remove(1) + links.remove(1),
                 0);
    }

    void theLedgerFindsCompaniesByRelationAndName()
    {
        db::Connection c;
        CompanyStore store(c);
        for (const QString &company : {u"Zeytin A.Ş.|Müşteri|Ege Cd. 1"_s, u"Çınar Yapı|Tedarikçi & Müşteri|Ankara"_s,
                                       u"Cam Dünyası|Müşteri|"_s, u"Işık Ltd.|Tedarikçi|Bursa"_s,
                                       u"Ali'nin Yeri|Tedarikçi|Çarşı\nŞişli"_s, u"Zeytin A.Ş.|Tedarikçi|İkinci"_s}) {
            const QStringList f = company.split(u'|');
            store.add({-1, f[0], f[2], f[0] + u" VD"_s, u"123"_s, {}, {}, f[1], {}});
        }
        QCOMPARE(store.incomeSources(), (QStringList{u"Cam Dünyası"_s, u"Çınar Yapı"_s, u"Zeytin A.Ş."_s}));
        QCOMPARE(store.expenseSources(),
                 (QStringList{u"Ali'nin Yeri"_s, u"Çınar Yapı"_s, u"Işık Ltd."_s, u"Zeytin A.Ş."_s}));

        // One prepared statement answers every look-up, each with its own company; of two of
        // one name, the first added.
        CompanyByName byName(c);
        for (int round = 0; round < 50; ++round) {
            for (const QString &name : {u"Ali'nin Yeri"_s, u"Yok"_s, u"Zeytin A.Ş."_s, u"zeytin a.ş."_s, QString()}) {
                const std::optional<Company> found = byName.find(name);
                const QString shown =
                    found ? QStringList{found->name, found->address, found->taxOffice, found->taxNumber}.join(u'|')
                          : u"-"_s;
                QCOMPARE(shown, name == u"Ali'nin Yeri"_s  ? u"Ali'nin Yeri|Çarşı\nŞişli|Ali'nin Yeri VD|123"_s
                                : name == u"Zeytin A.Ş."_s ? u"Zeytin A.Ş.|Ege Cd. 1|Zeytin A.Ş. VD|123"_s
                                                           : u"-"_s);
            }
        }
    }

    void listsSortInTurkishOrder()
    {
        // Random texts over letters of both cases, Turkish letters, digits,
        // blanks and punctuation, once with a character outside the table (the
        // collator then sorts all): every neighbour pair must be in order.
        const QString alphabet = u"aAbBcCçÇgGğĞhHıIiİoOöÖsSşŞuUüÜzZqQwWxX09 .,-'&()/"_s;
        std::mt19937 random(20250301);
        QCollator collator{QLocale(QLocale::Turkish, QLocale::Turkey)};
        for (const QString &extra : {QString(), u"🚗 é"_s}) {
            std::vector<RowListModel::Row> rows;
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

    void badFilesAndFoldersFailAndAreLeftAlone()
    {
        // A file that is not a database is never overwritten.
        const QByteArray noise = QByteArray("not a ledger at all\n").repeated(200);
        QFile file(u"Norva.db"_s);
        QVERIFY(file.open(QIODevice::ReadWrite | QIODevice::Truncate) && file.write(noise) == noise.size() &&
                file.flush());
        QVERIFY(!db::ensureSchema());
        const db::Error notADatabase = errorOf([] { db::Connection().query(sql::kFirmaTumu); });
        QCOMPARE(notADatabase.description, u"file is not a database"_s);
        QCOMPARE(db::plainReason(notADatabase),
                 u"Norva.db bir veritabanı dosyası değil ya da bozulmuş; program dosyayı değiştirmedi."_s);
        QVERIFY(file.seek(0));
        QCOMPARE(file.readAll(), noise);

        // The working folder removed under the program: failures, no crash.
        QVERIFY(QDir(m_ws->path()).removeRecursively());
        QVERIFY(!db::ensureSchema());
        QVERIFY_THROWS_EXCEPTION(db::Error, db::Connection());
    }

    void anEmptyFileSomeoneElseMadeBecomesPrivate()
    {
        QVERIFY(QFile::remove(u"Norva.db"_s));
        QFile file(u"Norva.db"_s);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(db::ensureSchema());
        QCOMPARE(QFileInfo(u"Norva.db"_s).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
        QVERIFY(db::Connection().query(QString::fromUtf8(sql::kFirmaTumu)).atEnd());
    }

    void aFileInAFolderNobodyMayWriteIsReadOnly()
    {
        {
            db::Connection c;
            LinkStore(c).add({-1, u"Okunur"_s, {}, {}});
        }
        // Root may write anywhere: the check runs in a child that gives up root first.
        QVERIFY(QFile::setPermissions(u"."_s, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                                  QFile::ReadOther | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(u"Norva.db"_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        const pid_t child = fork();
        if (child == 0) {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                _exit(10);
            if (!db::isReadOnly() || !db::ensureSchema())
                _exit(11);
            try {
                db::Connection c;
                if (c.query(QString::fromUtf8(sql::kLinkListesi)).text("Baslik") != u"Okunur"_s)
                    _exit(12);
            } catch (const db::Error &) {
                _exit(13);
            }
            const db::Error refused = errorOf([] {
                db::Connection c;
                LinkStore(c).remove(1);
            });
            _exit(refused.code == SQLITE_READONLY && !db::plainReason(refused).isEmpty() ? 0 : 14);
        }
        int status = -1;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(QFile::setPermissions(u"."_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(db::Connection().query(u"SELECT count(*) AS n FROM Linkler"_s).number("n"), 1.0);
    }

    void filesOfEveryVersionAreBroughtUpToDateAndNewerOnesLeftAlone()
    {
        // A file made before versions were kept: its rows stay, its version moves on.
        rawExec("INSERT INTO Linkler (Baslik) VALUES ('eski'); PRAGMA user_version = 0");
        QVERIFY(db::ensureSchema());
        db::Connection c;
        QCOMPARE(c.query("PRAGMA user_version").number("user_version"), double(schema::kCurrentVersion));
        QCOMPARE(c.query(sql::kLinkListesi).text("Baslik"), u"eski"_s);

        // A file from a newer build: refused with a reason, not a byte changed, no connection.
        rawExec("PRAGMA user_version = 99");
        QFile file(u"Norva.db"_s);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        QString refusal;
        QVERIFY(!db::ensureSchema(&refusal));
        QVERIFY2(refusal.contains(u"daha yeni bir sürümüyle"_s) && refusal.contains(u"99"_s), qPrintable(refusal));
        QVERIFY(errorOf([] { db::Connection(); }).description.contains(u"dokunulmadı"_s));
        QVERIFY(file.seek(0));
        QCOMPARE(file.readAll(), before);
    }

    void aMissingTableIsReportedAndCreatedAgainAtStart()
    {
        rawExec("INSERT INTO Linkler (Baslik) VALUES ('kalır'); DROP TABLE Firmalar");
        QCOMPARE(errorOf([] {
                     db::Connection c;
                     CompanyStore(c).remove(1);
                 }).description,
                 u"no such table: Firmalar"_s);
        QVERIFY(db::ensureSchema());
        db::Connection c;
        QVERIFY(c.query(QString::fromUtf8(sql::kFirmaTumu)).atEnd());
        QCOMPARE(c.query(QString::fromUtf8(sql::kLinkListesi)).text("Baslik"), u"kalır"_s);
    }

    void aSecondCopyHoldingTheLockIsWaitedFor()
    {
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open("Norva.db", &other), SQLITE_OK);
        const auto run = [other](const char *statement) {
            return sqlite3_exec(other, statement, nullptr, nullptr, nullptr);
        };
        const auto add = [](const QString &title) {
            db::Connection c;
            return LinkStore(c).add({-1, title, {}, {}});
        };
        QCOMPARE(run("BEGIN IMMEDIATE; INSERT INTO Linkler (Baslik) VALUES ('öbür')"), SQLITE_OK);
        // Released after a moment: the write waits and then succeeds.
        std::thread release([&run] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            run("COMMIT");
        });
        QCOMPARE(add(u"bu"_s), 1);
        release.join();

        // Held past the wait: the engine's "locked" description, nothing written.
        QCOMPARE(run("BEGIN IMMEDIATE"), SQLITE_OK);
        const db::Error locked = errorOf([&] { add(u"yazılmaz"_s); });
        QVERIFY(locked.description.contains(u"locked"_s));
        QVERIFY(db::plainReason(locked).contains(u"kilitli"_s));
        run("ROLLBACK");
        sqlite3_close(other);
        QCOMPARE(db::Connection().query(u"SELECT count(*) AS n FROM Linkler"_s).number("n"), 2.0);
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
