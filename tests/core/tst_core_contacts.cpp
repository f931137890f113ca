#include "Workspace.h"

#include "core/Contacts.h"
#include "core/Links.h"
#include "data/Database.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

Contact named(const QString &name, const QString &mobile = {})
{
    Contact contact;
    contact.name = name;
    contact.mobile = mobile;
    return contact;
}

} // namespace

// Contacts and links: records that are added and deleted, never changed.
class TestCoreContacts : public QObject
{
    Q_OBJECT

private slots:
    // Records of a file: only the new ones are added, all of them or none, compared again when added. The
    // lists a card leaves empty are what a new contact starts with, also when compared with the saved ones;
    // a bookmark is the saved link again when its title and address are, whatever its notes.
    void aFileAddsOnlyItsNewRecords_data()
    {
        QTest::addColumn<bool>("links");
        QTest::addColumn<QString>("meanwhile"); // run between the count and the adding
        QTest::addColumn<int>("same");          // left out when added; -1: the adding fails
        QTest::addColumn<QStringList>("stored");
        const QString saved = u"Var Olan||BİLİNMİYOR|HAYIR"_s, fresh = u"Yeni Kişi||BİLİNMİYOR|HAYIR"_s;
        const QString other = u"Var Olan|0532|BİLİNMİYOR|HAYIR"_s, link = u"Birinci|https://a.com/|notlar"_s;
        QTest::newRow("contacts: the saved one and a twin left out")
            << false << QString() << 2 << QStringList{saved, other, fresh};
        QTest::newRow("contacts: one added meanwhile by another copy")
            << false
            << u"INSERT INTO Kisiler (AdSoyad, CepTelefonu, Memleket, Tahsil, KanGurubu, Akrabalik) "
               u"VALUES ('Yeni Kişi', '', 'BİLİNMİYOR', 'BİLİNMİYOR', 'BİLİNMİYOR', 'HAYIR')"_s
            << 3 << QStringList{saved, fresh, other};
        QTest::newRow("contacts: the last cannot be stored, none is")
            << false
            << u"CREATE TRIGGER dolu BEFORE INSERT ON Kisiler WHEN NEW.AdSoyad = 'Yeni Kişi' "
               u"BEGIN SELECT RAISE(ABORT, 'dolu'); END"_s
            << -1 << QStringList{saved};
        QTest::newRow("links: other notes, a twin, another address")
            << true << QString() << 2 << QStringList{link, u"İkinci|https://b.com/|"_s, u"Birinci|https://c.com/|"_s};
        QTest::newRow("links: the last cannot be stored, none is")
            << true
            << u"CREATE TRIGGER dolu BEFORE INSERT ON Linkler WHEN NEW.Link = 'https://c.com/' "
               u"BEGIN SELECT RAISE(ABORT, 'dolu'); END"_s
            << -1 << QStringList{link};
    }
    void aFileAddsOnlyItsNewRecords()
    {
        QFETCH(bool, links);
        QFETCH(QString, meanwhile);
        QFETCH(int, same);
        QFETCH(QStringList, stored);
        Workspace workspace;
        Contact typed = named(u"Var Olan"_s);
        typed.hometown = typed.education = typed.bloodGroup = u"BİLİNMİYOR"_s;
        typed.relative = u"HAYIR"_s;
        QVERIFY(core::Contacts::add(typed).isDone());
        QVERIFY(core::Links::add({-1, u"Birinci"_s, u"https://a.com/"_s, u"notlar"_s}).isDone());
        const std::vector<Contact> contacts = {named(u"Var Olan"_s), named(u"Var Olan"_s, u"0532"_s),
                                               named(u"Yeni Kişi"_s), named(u"Yeni Kişi"_s)};
        const std::vector<Link> read = {{-1, u"Birinci"_s, u"https://a.com/"_s, u"başka not"_s},
                                        {-1, u"İkinci"_s, u"https://b.com/"_s, {}},
                                        {-1, u"İkinci"_s, u"https://b.com/"_s, {}},
                                        {-1, u"Birinci"_s, u"https://c.com/"_s, {}}};
        // The saved one and a twin, counted before the user is asked.
        QCOMPARE(links ? core::Links::countSaved(read) : core::Contacts::countSaved(contacts), 2);
        if (!meanwhile.isEmpty())
            db::Connection().execute(meanwhile);
        try {
            QCOMPARE(links ? core::Links::addNew(read).same : core::Contacts::addNew(contacts).same, same);
        } catch (const db::Error &error) {
            QCOMPARE(same, -1);
            QCOMPARE(error.description, u"dolu"_s);
        }
        QCOMPARE(rawRows(links ? u"SELECT Baslik, Link, Notlar FROM Linkler ORDER BY RowId"_s
                               : u"SELECT AdSoyad, CepTelefonu, Memleket, Akrabalik FROM Kisiler ORDER BY RowId"_s),
                 stored);
        // Removed, it is gone: removed again, or looked for, it is not there.
        QVERIFY(core::Links::remove(1).isDone());
        QVERIFY(core::Links::remove(1).isGone());
        QVERIFY(!core::Links::find(1));
    }
};

QTEST_GUILESS_MAIN(TestCoreContacts)
#include "tst_core_contacts.moc"
