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

private slots:
    void initTestCase() { vault::KeyParameters::useCheapestForTests(); }

    // The cases in import-cases.tsv.
    void theImportIsWholeOrNothing_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QStringList>("told");
        for (const QStringList &row : caseRows(u"core/import-cases.tsv"_s))
            QTest::newRow(qPrintable(row[0])) << row[1] << row[2] << row.sliced(3);
    }
    void theImportIsWholeOrNothing()
    {
        QFETCH(QString, setup);
        QFETCH(QString, outcome);
        QFETCH(QStringList, told);
        if (setup.contains("held"_L1))
            SKIP_ON_SERVER(); // the lock is SQLite's on the file; a server's is tst_postgres_engine's
        // A server's records are not copied into Yedekler/.
        if (onServer())
            outcome = outcome.section(u'|', 0, -2) + u"|0"_s;
        Workspace workspace;
        if (setup.contains("own"_L1))
            rawExec("INSERT INTO Firmalar (FirmaAdi) VALUES ('Benim Firmam')");
        std::optional<vault::Key> masterKey;
        if (db::Connection c; setup.contains("sealed"_L1))
            masterKey = vault::setMasterPassword(c, u"ana parola"_s);
        int sealed = 0;
        const core::Imports::KeySource key = [&]() -> const vault::Key * {
            const bool given = setup.contains("key"_L1) || (setup.contains("meanwhile"_L1) && ++sealed <= 2);
            return given ? &*masterKey : nullptr;
        };
        if (setup.contains("imported"_L1))
            core::Imports(changedCopy({})).run(core::Imports::Mode::Add, {}, key);
        if (setup.contains("failing"_L1))
            rawExec(refusal(u"Durdur"_s, u"Linkler"_s, u"INSERT"_s, u"durdu"_s));

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
        QCOMPARE(result + u": "_s + stored(), outcome);
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
        Workspace workspace;
        rawExec(layoutVersion(999));
        db::FileFault why;
        const core::Result<core::Imports::Refusal> ready = core::Imports::prepareFile(&why);
        QVERIFY(ready.isRefused() && ready.refusal == core::Imports::Refusal::NotReady && why);
        QCOMPARE(rawRows(layoutVersion()), QStringList{u"999"_s});
        exchange::ImportResult damaged;
        damaged.damageNoticed = true;
        QCOMPARE(exchange::resultLines(damaged),
                 QStringList{u"Dosyanın bazı bölümleri bozuk görünüyor; aktarılan kayıtları gözden geçirin."_s});
    }
};

QTEST_GUILESS_MAIN(TestCoreImports)
#include "tst_core_imports.moc"
