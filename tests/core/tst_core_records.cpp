#include "Workspace.h"

#include "core/Memberships.h"
#include "data/Database.h"
#include "vault/Session.h"

#include <QtTest>

using namespace Qt::StringLiterals;

using Refusal = core::Memberships::Refusal;

namespace {

Membership typed(qint32 rowId = -1)
{
    return {rowId, u"Banka"_s, u"ali"_s, u"Gizli'Parola"_s, u"ali@ornek.com"_s, u"ornek.com"_s, u"not"_s};
}

// The stored columns of the one membership, with each sealed one as "nrv1" or its plain value.
QString stored()
{
    QStringList shown;
    for (const QString &value :
         rawRows(u"SELECT UyelikYeri, KullaniciAdi, Parola, Notlar FROM Parolalar"_s).value(0).split(u'|'))
        shown << (vault::isSealed(value) ? u"nrv1"_s : value);
    return shown.join(u'|');
}

} // namespace

class TestCoreMemberships : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { vault::KeyParameters::useCheapestForTests(); }
    void cleanup() { vault::Session::current().lock(); }

    // Nothing is written plain while a master password is set, whichever way it is written.
    void writesAreSealedOrRefused_data()
    {
        QTest::addColumn<bool>("update");
        QTest::addColumn<QString>("master"); // none, locked, unlocked, given (the key handed in), stale; gone: none
        QTest::addColumn<QString>("after");  // refused or gone, the file is left as it was
        const QString sealed = u"Banka|nrv1|nrv1|nrv1"_s;
        for (const bool update : {false, true}) {
            const char *way = update ? "update" : "add";
            QTest::addRow("%s, no master password", way) << update << u"none"_s << u"Banka|ali|Gizli'Parola|not"_s;
            QTest::addRow("%s, locked", way) << update << u"locked"_s << u"locked"_s;
            QTest::addRow("%s, session unlocked", way) << update << u"unlocked"_s << sealed;
            QTest::addRow("%s, key given", way) << update << u"given"_s << sealed;
            QTest::addRow("%s, key of a password changed elsewhere", way) << update << u"stale"_s << u"wrong key"_s;
        }
        QTest::newRow("update, deleted meanwhile") << true << u"gone"_s << u"gone"_s;
    }
    void writesAreSealedOrRefused()
    {
        QFETCH(bool, update);
        QFETCH(QString, master);
        QFETCH(QString, after);
        Workspace workspace;
        if (update && master != u"gone"_s)
            rawExec("INSERT INTO Parolalar (UyelikYeri, KullaniciAdi, Parola) VALUES ('Eski', 'eski', 'eski')");
        std::optional<vault::Key> given;
        if (master != u"none"_s && master != u"gone"_s) {
            db::Connection c;
            vault::Key key = vault::setMasterPassword(c, u"ana parola"_s);
            if (master == u"given"_s)
                given.emplace(std::move(key));
            else if (master != u"locked"_s)
                vault::Session::current().keep(std::move(key));
            if (master == u"stale"_s) // a second copy changes it; this one keeps the old key
                vault::changeMasterPassword(c, *vault::Session::current().key(), u"ana parola"_s);
        }
        const QStringList before = rawRows(u"SELECT * FROM Parolalar"_s);
        const core::Memberships::Result result = update ? core::Memberships::update(typed(1), given ? &*given : nullptr)
                                                        : core::Memberships::add(typed(), given ? &*given : nullptr);
        if (!result.isDone()) {
            QCOMPARE(result.isGone()                     ? u"gone"_s
                     : result.refusal == Refusal::Locked ? u"locked"_s
                                                         : u"wrong key"_s,
                     after);
            QCOMPARE(rawRows(u"SELECT * FROM Parolalar"_s), before);
            return;
        }
        QCOMPARE(stored(), after);
        if (master != u"none"_s) {
            db::Connection c;
            const vault::Key key = *vault::unlock(*vault::storedMasterPassword(c), u"ana parola"_s);
            QCOMPARE(vault::opened(key, *core::Memberships::find(1))->password, u"Gizli'Parola"_s);
        }
    }

    // Setting, changing and removing the master password: each refused when the file says otherwise.
    void theMasterPasswordIsSetChangedAndRemoved()
    {
        Workspace workspace;
        QVERIFY(core::Memberships::add(typed()).isDone());
        QVERIFY(core::Memberships::setMasterPassword(u"ana parola"_s).isDone());
        QCOMPARE(stored(), u"Banka|nrv1|nrv1|nrv1"_s);
        QVERIFY(vault::Session::current().isUnlocked());
        QCOMPARE(int(core::Memberships::setMasterPassword(u"başka"_s).refusal), int(Refusal::AlreadySet));

        db::Connection c;
        const vault::Key wrong = *vault::Key::derive(u"yanlış"_s, vault::KeyParameters::cheapest());
        QCOMPARE(int(core::Memberships::changeMasterPassword(wrong, u"yeni"_s).refusal), int(Refusal::WrongKey));
        QCOMPARE(int(core::Memberships::removeMasterPassword(wrong).refusal), int(Refusal::WrongKey));
        const vault::Key old = *vault::unlock(*vault::storedMasterPassword(c), u"ana parola"_s);
        QVERIFY(core::Memberships::changeMasterPassword(old, u"yeni parola"_s).isDone());
        QVERIFY(!vault::unlock(*vault::storedMasterPassword(c), u"ana parola"_s));
        const vault::Key current = *vault::unlock(*vault::storedMasterPassword(c), u"yeni parola"_s);
        QVERIFY(core::Memberships::removeMasterPassword(current).isDone());
        QCOMPARE(stored(), u"Banka|ali|Gizli'Parola|not"_s);
        QVERIFY(!vault::Session::current().isUnlocked());
        QCOMPARE(int(core::Memberships::removeMasterPassword(current).refusal), int(Refusal::NoMasterPassword));
    }
};

QTEST_GUILESS_MAIN(TestCoreMemberships)
#include "tst_core_memberships.moc"
