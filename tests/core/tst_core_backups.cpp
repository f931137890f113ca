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
    void init()
    {
        m_ws = std::make_unique<Workspace>();
        rawExec("INSERT INTO Firmalar (FirmaAdi) VALUES ('Çınar'), ('Işık'); INSERT INTO GelirGider (IslemTuru) "
                "VALUES ('Gelir')");
        QDir().mkpath(u"Yedekler"_s);
        QVERIFY(QFile::copy(u"Norva.db"_s, u"Yedekler/Norva-aktarim-oncesi-2026-03-01-10-00-00.db"_s));
        writeFile(u"Yedekler/Norva-2026-03-03-09-00-00.db"_s, "bozuk");
        rawExec("DELETE FROM Firmalar");
        // Set after the copy was made: the copy has no master password.
        db::Connection c;
        vault::Session::current().keep(vault::setMasterPassword(c, u"ana parola"_s));
    }
    void cleanup()
    {
        vault::Session::current().lock();
        m_ws.reset();
    }

    // A restore replaces the records whole, or leaves Norva.db as it was.
    void restoring_data()
    {
        QTest::addColumn<QString>("copy");
        QTest::addColumn<int>("status");    // -1: thrown with the reason
        QTest::addColumn<QString>("firms"); // companies in Norva.db afterwards
        QTest::newRow("a sound copy") << u"Norva-aktarim-oncesi-2026-03-01-10-00-00.db"_s << int(core::Status::Done)
                                      << u"2"_s;
        QTest::newRow("a damaged copy") << u"Norva-2026-03-03-09-00-00.db"_s << -1 << u"0"_s;
        QTest::newRow("gone meanwhile") << u"Norva-2026-03-02-09-00-00.db"_s << int(core::Status::Gone) << u"0"_s;
    }

    void restoring()
    {
        QFETCH(QString, copy);
        QFETCH(int, status);
        QFETCH(QString, firms);
        try {
            QCOMPARE(int(core::Backups::restore(QDir(u"Yedekler"_s).absoluteFilePath(copy)).status), status);
        } catch (const db::Error &error) {
            QCOMPARE(status, -1);
            QVERIFY(error.description.startsWith(u"Seçilen yedek geri yüklenemez: "_s));
        }
        QCOMPARE(rawRows(u"SELECT count(*) FROM Firmalar"_s), QStringList{firms});
        // Only a restore that goes ahead keeps the records it replaces, and forgets their key.
        QCOMPARE(int(QDir(u"Yedekler"_s).entryList({u"Norva-geri-yukleme-oncesi-*.db"_s}).size()),
                 int(status == int(core::Status::Done)));
        QCOMPARE(vault::Session::current().isUnlocked(), status != int(core::Status::Done));
    }
};

QTEST_GUILESS_MAIN(TestCoreBackups)
#include "tst_core_backups.moc"
