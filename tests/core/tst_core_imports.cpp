#include "Workspace.h"

#include "core/Imports.h"
#include "vault/Vault.h"

#include <QDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// What the import can change: companies and memberships, sealed ones among them, and the safety copies.
QString stored()
{
    return rawRows(u"SELECT count(*) FROM Firmalar; SELECT count(*) FROM Parolalar; "
                   u"SELECT count(*) FROM Parolalar WHERE Parola LIKE 'nrv1:%'"_s)
               .join(u'|') +
           u'|' + QString::number(QDir(u"Yedekler"_s).entryList({u"Norva-aktarim-oncesi-*.db"_s}).size());
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

    // The whole import of Norva.mdb (12 companies, 5 memberships), each way it ends.
    void theImportIsWholeOrNothing_data()
    {
        QTest::addColumn<QString>("before"); // "own": a company of one's own; "sealed": a master password too
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QString>("key"); // "none", "given", "locked meanwhile"
        QTest::addColumn<bool>("cancel"); // cancelled once rows are written
        QTest::addColumn<int>("status");  // -1: a db::Error is thrown
        QTest::addColumn<int>("refusal");
        QTest::addColumn<QString>("after"); // as stored() gives it
        const int done = int(core::Status::Done), refused = int(core::Status::Refused);
        const int locked = int(core::Imports::Refusal::Locked);
        QTest::newRow("into an empty file") << QString() << false << u"none"_s << false << done << 0 << u"12|5|0|0"_s;
        QTest::newRow("added to one's own") << u"own"_s << false << u"none"_s << false << done << 0 << u"13|5|0|0"_s;
        QTest::newRow("replacing keeps a copy first")
            << u"own"_s << true << u"none"_s << false << done << 0 << u"12|5|0|1"_s;
        QTest::newRow("cancelled") << u"own"_s << false << u"none"_s << true << refused
                                   << int(core::Imports::Refusal::Cancelled) << u"1|0|0|0"_s;
        QTest::newRow("sealed with the key")
            << u"sealed"_s << false << u"given"_s << false << done << 0 << u"13|5|5|0"_s;
        // Memberships never come in unsealed.
        QTest::newRow("sealed, no key") << u"sealed"_s << false << u"none"_s << false << refused << locked
                                        << u"1|0|0|0"_s;
        QTest::newRow("sealed, locked meanwhile")
            << u"sealed"_s << true << u"locked meanwhile"_s << false << refused << locked << u"1|0|0|1"_s;
        QTest::newRow("a database failure half-way")
            << u"failing"_s << false << u"none"_s << false << -1 << 0 << u"1|0|0|0"_s;
    }

    void theImportIsWholeOrNothing()
    {
        QFETCH(QString, before);
        QFETCH(bool, replace);
        QFETCH(QString, key);
        QFETCH(bool, cancel);
        QFETCH(int, status);
        QFETCH(int, refusal);
        QFETCH(QString, after);
        std::optional<vault::Key> masterKey;
        if (!before.isEmpty())
            rawExec("INSERT INTO Firmalar (FirmaAdi) VALUES ('Benim Firmam')");
        if (before == u"sealed"_s) {
            db::Connection c;
            masterKey = vault::setMasterPassword(c, u"ana parola"_s);
        }
        if (before == u"failing"_s)
            rawExec("CREATE TRIGGER Durdur BEFORE INSERT ON Linkler BEGIN SELECT RAISE(ABORT, 'durdu'); END");

        core::Imports import(testDataPath(u"exchange/data/Norva.mdb"_s));
        QCOMPARE(import.sealingPassword().has_value(), before == u"sealed"_s);
        int sealed = 0;
        const core::Imports::KeySource source = [&]() -> const vault::Key * {
            if (key == u"none"_s || (key == u"locked meanwhile"_s && ++sealed > 2))
                return nullptr;
            return &*masterKey;
        };
        try {
            const core::Imports::Outcome outcome = import.run(
                replace ? core::Imports::Mode::Replace : core::Imports::Mode::Add,
                [cancel](int written, int) { return !cancel || written == 0; }, source);
            QCOMPARE(int(outcome.result.status), status);
            if (outcome.result.isRefused())
                QCOMPARE(int(outcome.result.refusal), refusal);
            else
                QCOMPARE(outcome.counts.tables.size(), 6);
        } catch (const db::Error &error) {
            QCOMPARE(status, -1);
            QCOMPARE(error.description, u"durdu"_s);
        }
        QCOMPARE(stored(), after);
    }

    // Refused before Norva.db is touched: a file of a newer version is not brought down to this one.
    void aFileOfANewerVersionIsRefused()
    {
        rawExec("PRAGMA user_version = 999");
        QString why;
        const core::Result<core::Imports::Refusal> ready = core::Imports::prepareFile(&why);
        QVERIFY(ready.isRefused());
        QCOMPARE(ready.refusal, core::Imports::Refusal::NotReady);
        QVERIFY(!why.isEmpty());
        QCOMPARE(rawRows(u"PRAGMA user_version"_s), QStringList{u"999"_s});
    }
};

QTEST_GUILESS_MAIN(TestCoreImports)
#include "tst_core_imports.moc"
