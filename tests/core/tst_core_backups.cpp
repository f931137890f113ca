#include "Workspace.h"

#include "core/Backups.h"
#include "vault/SealedMemberships.h"
#include "vault/Session.h"

#include <QDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestCoreBackups : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { vault::KeyParameters::useCheapestForTests(); }

    // The day's first start copies Norva.db, the second does not; a server's records are its own tools' to copy.
    void theDaysCopy()
    {
        Workspace ws;
        const QDateTime now = QDateTime::currentDateTime();
        QCOMPARE(core::Backups::backUpIfDue(now), !onServer());
        QVERIFY(!core::Backups::backUpIfDue(now) && !core::Backups::lastFailure());
        QCOMPARE(db::backupCopies().size(), onServer() ? 0 : 1);
    }

    // A copy that fails the check is refused with the reason, Norva.db as it was. Only a restore that goes ahead
    // replaces the records whole, keeps those it replaces, and forgets their key.
    void restoring()
    {
        SKIP_ON_SERVER();
        Workspace ws;
        rawExec("INSERT INTO Firmalar (FirmaAdi) VALUES ('Çınar'), ('Işık')");
        const QString copy = db::keepCopy(u"aktarim-oncesi"_s);
        writeFile(u"Yedekler/Norva-2026-03-03-09-00-00.db"_s, "bozuk");
        rawExec("DELETE FROM Firmalar");
        db::Connection c;
        vault::Session::current().keep(vault::setMasterPassword(c, u"ana parola"_s)); // the copy has none
        const auto state = [] {
            return rawRows(u"SELECT count(*) FROM Firmalar"_s).value(0) + u' ' +
                   QString::number(QDir(u"Yedekler"_s).entryList({u"Norva-geri-yukleme-oncesi-*"_s}).size()) +
                   (vault::Session::current().isUnlocked() ? u" açık"_s : u" kilitli"_s);
        };
        db::Failure refused = db::Failure::None;
        try {
            core::Backups::restore(u"Yedekler/Norva-2026-03-03-09-00-00.db"_s);
        } catch (const db::Error &error) {
            refused = error.failure;
        }
        QCOMPARE(int(refused), int(db::Failure::ChosenCopyRefused));
        QCOMPARE(state(), u"0 0 açık"_s);
        QCOMPARE(int(core::Backups::restore(copy).status), int(core::Status::Done));
        QCOMPARE(state(), u"2 1 kilitli"_s);
    }
};

QTEST_GUILESS_MAIN(TestCoreBackups)
#include "tst_core_backups.moc"
