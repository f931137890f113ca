#include "Workspace.h"

#include "core/Contacts.h"
#include "core/Links.h"
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

Contact named(const QString &name, const QString &mobile = {})
{
    return {-1, name, mobile, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}};
}

} // namespace

// Contacts and links, added and deleted, never changed; memberships, sealed while a master password is set.
class TestCoreRecords : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { vault::KeyParameters::useCheapestForTests(); }
    void cleanup() { vault::Session::current().lock(); }

    // Nothing is written plain while a master password is set, whichever way it is written.
    void writesAreSealedOrRefused_data()
    {
        QTest::addColumn<QString>("master"); // none, locked, unlocked, given (the key handed in), stale; gone: none
        QTest::addColumn<QString>("after");  // refused, gone or changed, the file is left as it was
        // add and update share their sealing: update is looked at once sealed, once gone, and once saved by
        // another since it was shown (sealed values are compared as stored).
        const QString sealed = u"Banka|nrv1|nrv1|nrv1"_s;
        QTest::newRow("add, no master password") << u"none"_s << u"Banka|ali|Gizli'Parola|not"_s;
        QTest::newRow("add, locked") << u"locked"_s << u"locked"_s;
        QTest::newRow("add, session unlocked") << u"unlocked"_s << sealed;
        QTest::newRow("add, key given") << u"given"_s << sealed;
        QTest::newRow("add, key of a password changed elsewhere") << u"stale"_s << u"wrong key"_s;
        QTest::newRow("update, session unlocked") << u"unlocked"_s << sealed;
        QTest::newRow("update, deleted meanwhile") << u"gone"_s << u"gone"_s;
        QTest::newRow("update, changed meanwhile") << u"unlocked"_s << u"changed"_s;
    }
    void writesAreSealedOrRefused()
    {
        const bool update = QByteArrayView(QTest::currentDataTag()).startsWith("update");
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
        const Membership shown = core::Memberships::find(1).value_or(Membership());
        if (after == u"changed"_s)
            rawExec("UPDATE Parolalar SET UyelikYeri = 'Başka'");
        const QStringList before = rawRows(u"SELECT * FROM Parolalar"_s);
        const vault::Key *key = given ? &*given : nullptr;
        const core::Memberships::Result result =
            update ? core::Memberships::update(shown, typed(1), key) : core::Memberships::add(typed(), key);
        QCOMPARE(result.isDone()                     ? stored()
                 : result.isGone()                   ? u"gone"_s
                 : result.isChanged()                ? u"changed"_s
                 : result.refusal == Refusal::Locked ? u"locked"_s
                                                     : u"wrong key"_s,
                 after);
        if (!result.isDone())
            QCOMPARE(rawRows(u"SELECT * FROM Parolalar"_s), before);
        else if (master != u"none"_s) {
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
    // Records of a file: only the new ones are added, all of them or none (contacts and links share the
    // adding), compared again when added. The lists a card leaves empty are what a new contact starts with,
    // also when compared with the saved ones; a bookmark is the saved link again when its title and address
    // are, whatever its notes (links are looked at alongside each row).
    void aFileAddsOnlyItsNewRecords_data()
    {
        QTest::addColumn<QString>("meanwhile"); // run between the count and the adding
        QTest::addColumn<int>("same");          // left out when added; -1: the adding fails
        QTest::addColumn<QStringList>("stored");
        const QString saved = u"Var Olan||BİLİNMİYOR|HAYIR"_s, fresh = u"Yeni Kişi||BİLİNMİYOR|HAYIR"_s;
        const QString other = u"Var Olan|0532|BİLİNMİYOR|HAYIR"_s;
        QTest::newRow("contacts: the saved one and a twin left out")
            << QString() << 2 << QStringList{saved, other, fresh};
        QTest::newRow("contacts: one added meanwhile by another copy")
            << u"INSERT INTO Kisiler (AdSoyad, CepTelefonu, Memleket, Tahsil, KanGurubu, Akrabalik) "
               u"VALUES ('Yeni Kişi', '', 'BİLİNMİYOR', 'BİLİNMİYOR', 'BİLİNMİYOR', 'HAYIR')"_s
            << 3 << QStringList{saved, fresh, other};
        QTest::newRow("contacts: the last cannot be stored, none is")
            << refusal(u"dolu"_s, u"Kisiler"_s, u"INSERT"_s, u"dolu"_s, u"NEW.AdSoyad = 'Yeni Kişi'"_s) << -1
            << QStringList{saved};
    }
    void aFileAddsOnlyItsNewRecords()
    {
        QFETCH(QString, meanwhile);
        QFETCH(int, same);
        QFETCH(QStringList, stored);
        Workspace workspace;
        const QString unknown = u"BİLİNMİYOR"_s;
        QVERIFY(
            core::Contacts::add({-1, u"Var Olan"_s, {}, {}, {}, {}, unknown, unknown, unknown, u"HAYIR"_s, {}, {}, {}})
                .isDone());
        QVERIFY(core::Links::add({-1, u"Birinci"_s, u"https://a.com/"_s, u"notlar"_s}).isDone());
        const std::vector<Contact> contacts = {named(u"Var Olan"_s), named(u"Var Olan"_s, u"0532"_s),
                                               named(u"Yeni Kişi"_s), named(u"Yeni Kişi"_s)};
        const std::vector<Link> read = {{-1, u"Birinci"_s, u"https://a.com/"_s, u"başka not"_s},
                                        {-1, u"İkinci"_s, u"https://b.com/"_s, {}},
                                        {-1, u"İkinci"_s, u"https://b.com/"_s, {}},
                                        {-1, u"Birinci"_s, u"https://c.com/"_s, {}}};
        // The saved one and a twin, counted before the user is asked.
        QVERIFY(core::Contacts::countSaved(contacts) == 2 && core::Links::countSaved(read) == 2);
        if (!meanwhile.isEmpty())
            rawExec(meanwhile);
        try {
            QCOMPARE(core::Contacts::addNew(contacts).same, same);
        } catch (const db::Error &error) {
            QCOMPARE(same, -1);
            QCOMPARE(error.description, u"dolu"_s);
        }
        QCOMPARE(rawRows(u"SELECT AdSoyad, CepTelefonu, Memleket, Akrabalik FROM Kisiler ORDER BY RowId"_s), stored);
        QCOMPARE(core::Links::addNew(read).same, 2);
        QCOMPARE(rawRows(u"SELECT Baslik, Link, Notlar FROM Linkler ORDER BY RowId"_s).join(u';'),
                 u"Birinci|https://a.com/|notlar;İkinci|https://b.com/|;Birinci|https://c.com/|"_s);
        // Removed, it is gone: removed again, or looked for, it is not there.
        QVERIFY(core::Links::remove(1).isDone());
        QVERIFY(core::Links::remove(1).isGone());
        QVERIFY(!core::Links::find(1));
        // Every link goes out in the order stored, one added where a removed one was too.
        rawExec("VACUUM");
        QVERIFY(core::Links::add({-1, u"Son"_s, u"https://d.com/"_s, {}}).isDone());
        QStringList written;
        for (const Link &link : core::Links::all())
            written << link.address;
        QCOMPARE(written.join(u' '), u"https://b.com/ https://c.com/ https://d.com/"_s);
    }
};

QTEST_GUILESS_MAIN(TestCoreRecords)
#include "tst_core_records.moc"
