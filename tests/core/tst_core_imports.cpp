#include "Workspace.h"

#include "core/Imports.h"
#include "vault/Vault.h"

#include <QtTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

QStringList safetyCopies()
{
    return QDir(u"Yedekler"_s).entryList({u"Norva-aktarim-oncesi-*.db"_s});
}

// What the import can change: companies, entries, links, memberships and the sealed ones, the entries
// the totals cannot take, and the safety copies.
QString stored()
{
    return rawRows(u"SELECT count(*) FROM Firmalar; SELECT count(*) FROM GelirGider; SELECT count(*) FROM Linkler; "
                   u"SELECT count(*) FROM Parolalar; SELECT count(*) FROM Parolalar WHERE Parola LIKE 'nrv1:%'; "
                   u"SELECT count(*) FROM GelirGider WHERE IslemTutari = '17581,60' OR TutarBirimi = 'Avro'"_s)
               .join(u'|') +
           u'|' + QString::number(safetyCopies().size());
}

// A copy of Norva.mdb in the working folder, changed as the case names.
QString changedCopy(const QString &change)
{
    QByteArray bytes = testData(u"exchange/data/Norva.mdb"_s);
    if (change.contains("no Linkler"_L1)) // the name as stored, in UTF-16
        bytes.replace(QByteArray("L\0i\0n\0k\0l\0e\0r\0", 14), QByteArray("L\0i\0n\0k\0x\0e\0r\0", 14));
    const QByteArray text("\xff\xfe"); // a text stored compressed
    if (change.contains("totals"_L1))
        bytes.replace(text + "17581.60", text + "17581,60").replace(text + "Euro", text + "Avro");
    writeFile(u"Eski.mdb"_s, bytes);
    return u"Eski.mdb"_s;
}

} // namespace

class TestCoreImports : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;

private slots:
    void initTestCase() { vault::KeyParameters::useCheapestForTests(); }
    void init() { m_ws = std::make_unique<Workspace>(); }
    void cleanup() { m_ws.reset(); }

    // The whole import of Norva.mdb (12 companies, 300 entries, 5 links, 5 memberships), each way it ends.
    void theImportIsWholeOrNothing_data()
    {
        // setup: own, a company of one's own; sealed, a master password; imported, Norva.mdb already;
        // failing, the database fails half-way; held, another program holds the write lock; no Linkler
        // and totals, Norva.mdb changed so; then add or replace, with the key, locked meanwhile, cancel.
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("outcome");  // done, the refusal or the failure's own words: stored()
        QTest::addColumn<QStringList>("told"); // among the lines for the user, before and after
        const auto row = [](const char *name, const QString &setup, const QString &outcome,
                            const QStringList &told = {}) { QTest::newRow(name) << setup << outcome << told; };
        row("added to one's own", u"own, add"_s, u"done: 13|300|5|5|0|0|0"_s);
        row("replacing keeps a copy first", u"own, replace"_s, u"done: 12|300|5|5|0|0|1"_s);
        row("cancelled", u"own, cancel"_s, u"cancelled: 1|0|0|0|0|0|0"_s);
        // Memberships never come in unsealed.
        row("sealed with the key", u"own, sealed, add with the key"_s, u"done: 13|300|5|5|5|0|0"_s);
        row("sealed, no key", u"own, sealed, add"_s, u"locked: 1|0|0|0|0|0|0"_s);
        row("sealed, locked meanwhile", u"own, sealed, replace, locked meanwhile"_s, u"locked: 1|0|0|0|0|0|1"_s);
        row("a database failure half-way", u"own, failing, add"_s, u"durdu: 1|0|0|0|0|0|0"_s);
        row("a lock held by another program past the wait", u"held, add"_s, u"database is locked: 0|0|0|0|0|0|0"_s);
        row("the same file twice", u"imported, add"_s, u"done: 12|300|5|5|0|0|0"_s,
            {u"Firmalar: 0 kayıt eklendi, 12 kayıt zaten bulunduğu için atlandı."_s});
        row("sealed, the same file twice", u"sealed, imported, add with the key"_s, u"done: 12|300|5|5|5|0|0"_s,
            {u"Üyelikler ve parolalar: 0 kayıt eklendi, 5 kayıt zaten bulunduğu için atlandı."_s});
        row("a table missing is skipped", u"no Linkler, add"_s, u"done: 12|300|0|5|0|0|0"_s,
            {u"Linkler (Kayıtlı linkler): dosyada bu tablo yok, atlanacak."_s,
             u"Kayıtlı linkler: dosyada bu tablo yok, atlandı."_s});
        // Entries the totals cannot take come in as they are, and are counted.
        row("entries the totals cannot take", u"totals, add"_s, u"done: 12|300|5|5|0|15|0"_s,
            {u"1 hareketin tutarı sayı değil; bu hareketlerin aylarında toplamlar hesaplanamaz. Tutarları "
             u"Hareket Tablosu'nda düzeltin."_s,
             u"14 hareketin para birimi Lira, Dolar ya da Euro değil; bu hareketler toplamlara katılmaz. Para "
             u"birimlerini Hareket Tablosu'nda düzeltin."_s});
    }
    void theImportIsWholeOrNothing()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, told);
        if (setup.contains("own"_L1))
            rawExec("INSERT INTO Firmalar (FirmaAdi) VALUES ('Benim Firmam')");
        std::optional<vault::Key> masterKey;
        if (setup.contains("sealed"_L1)) {
            db::Connection c;
            masterKey = vault::setMasterPassword(c, u"ana parola"_s);
        }
        int sealed = 0;
        const core::Imports::KeySource key = [&]() -> const vault::Key * {
            const bool given = setup.contains("key"_L1) || (setup.contains("meanwhile"_L1) && ++sealed <= 2);
            return given ? &*masterKey : nullptr;
        };
        if (setup.contains("imported"_L1))
            core::Imports(changedCopy({})).run(core::Imports::Mode::Add, {}, key);
        if (setup.contains("failing"_L1))
            rawExec("CREATE TRIGGER Durdur BEFORE INSERT ON Linkler BEGIN SELECT RAISE(ABORT, 'durdu'); END");

        core::Imports import(changedCopy(setup));
        QCOMPARE(import.sealingPassword().has_value(), bool(masterKey));
        QStringList said = exchange::foundLines(import.file().tables());
        sqlite3 *other = nullptr;
        if (setup.contains("held"_L1))
            QVERIFY(!sqlite3_open("Norva.db", &other) && !sqlite3_exec(other, "BEGIN IMMEDIATE", {}, {}, {}));
        QString result;
        try {
            const core::Imports::Outcome outcome = import.run(
                setup.contains("replace"_L1) ? core::Imports::Mode::Replace : core::Imports::Mode::Add,
                [&setup](int written, int) { return !setup.contains("cancel"_L1) || written == 0; }, key);
            const QStringList refusals{u"not ready"_s, u"read-only"_s, u"locked"_s, u"cancelled"_s};
            result = outcome.result.isRefused() ? refusals.at(int(outcome.result.refusal)) : u"done"_s;
            said += exchange::resultLines(outcome.counts);
        } catch (const db::Error &error) {
            result = error.description;
        }
        sqlite3_close(other); // rolls back
        QTEST(result + u": "_s + stored(), "outcome");
        for (const QString &line : told)
            QVERIFY2(said.contains(line), qPrintable(said.join(u'\n')));
        // A copy kept before replacing holds the records as they were, for its owner only; the file's
        // rows take their own RowIds.
        for (const QString &copy : safetyCopies()) {
            QCOMPARE(rawRows(u"SELECT min(RowId) FROM Firmalar"_s), QStringList{u"1"_s});
            QCOMPARE(rawRows(u"SELECT FirmaAdi FROM Firmalar"_s, u"Yedekler/"_s + copy),
                     QStringList{u"Benim Firmam"_s});
            QCOMPARE(QFile::permissions(u"Yedekler/"_s + copy) & 0x0077, QFileDevice::Permissions());
        }
    }

    // A file of a newer version is refused before Norva.db is touched, not brought down to this one.
    // Whether libmdb notices a damaged part varies from run to run (the reader's table keeps its
    // English off the terminal); when it does, the end says so in Turkish.
    void aNewerFileIsRefusedAndADamagedPartTold()
    {
        rawExec("PRAGMA user_version = 999");
        QString why;
        const core::Result<core::Imports::Refusal> ready = core::Imports::prepareFile(&why);
        QVERIFY(ready.isRefused() && ready.refusal == core::Imports::Refusal::NotReady && !why.isEmpty());
        QCOMPARE(rawRows(u"PRAGMA user_version"_s), QStringList{u"999"_s});
        exchange::ImportResult damaged;
        damaged.damageNoticed = true;
        QCOMPARE(exchange::resultLines(damaged),
                 QStringList{u"Dosyanın bazı bölümleri bozuk görünüyor; aktarılan kayıtları gözden geçirin."_s});
    }
};

QTEST_GUILESS_MAIN(TestCoreImports)
#include "tst_core_imports.moc"
