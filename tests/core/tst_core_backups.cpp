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

    std::unique_ptr<Workspace> m_ws;

private slots:
    void initTestCase() { vault::KeyParameters::useCheapestForTests(); }
    void init() { m_ws = std::make_unique<Workspace>(); }
    void cleanup()
    {
        vault::Session::current().lock();
        m_ws.reset();
    }

    // A restore replaces the records whole, or leaves Norva.db as it was. Only one that goes ahead keeps the
    // records it replaces, and forgets their key.
    void restoring()
    {
        rawExec("INSERT INTO Firmalar (FirmaAdi) VALUES ('Çınar'), ('Işık'); INSERT INTO GelirGider (IslemTuru) "
                "VALUES ('Gelir')");
        QDir().mkpath(u"Yedekler"_s);
        QVERIFY(QFile::copy(u"Norva.db"_s, u"Yedekler/Norva-aktarim-oncesi-2026-03-01-10-00-00.db"_s));
        writeFile(u"Yedekler/Norva-2026-03-03-09-00-00.db"_s, "bozuk");
        rawExec("DELETE FROM Firmalar");
        // Set after the copy was made: the copy has no master password.
        db::Connection c;
        vault::Session::current().keep(vault::setMasterPassword(c, u"ana parola"_s));
        const auto restore = [](const QString &copy) {
            return int(core::Backups::restore(QDir(u"Yedekler"_s).absoluteFilePath(copy)).status);
        };
        const auto state = [] {
            return rawRows(u"SELECT count(*) FROM Firmalar"_s).value(0) + u'|' +
                   QString::number(QDir(u"Yedekler"_s).entryList({u"Norva-geri-yukleme-oncesi-*.db"_s}).size()) + u'|' +
                   (vault::Session::current().isUnlocked() ? u"açık"_s : u"kilitli"_s);
        };
        QCOMPARE(restore(u"Norva-2026-03-02-09-00-00.db"_s), int(core::Status::Gone)); // deleted meanwhile
        QCOMPARE(state(), u"0|0|açık"_s);
        try {
            restore(u"Norva-2026-03-03-09-00-00.db"_s);
            QFAIL("a damaged copy was restored");
        } catch (const db::Error &error) {
            QCOMPARE(error.failure, db::Failure::ChosenCopyRefused);
        }
        QCOMPARE(state(), u"0|0|açık"_s);
        QCOMPARE(restore(u"Norva-aktarim-oncesi-2026-03-01-10-00-00.db"_s), int(core::Status::Done));
        QCOMPARE(state(), u"2|1|kilitli"_s);
    }
};

QTEST_GUILESS_MAIN(TestCoreBackups)
#include "tst_core_backups.moc"
