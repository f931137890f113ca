#include "Workspace.h"

#include "core/Contacts.h"
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

class TestCoreContacts : public QObject
{
    Q_OBJECT

private slots:
    // Contacts of a file: only the new ones are added, all of them or none. The lists a card leaves
    // empty are what a new contact starts with, also when compared with the saved ones.
    void aFileAddsOnlyItsNewContacts_data()
    {
        QTest::addColumn<QString>("meanwhile"); // run between the count and the adding
        QTest::addColumn<int>("counted");       // saved already, or twice in the file, when asked
        QTest::addColumn<int>("same");          // left out when added
        QTest::addColumn<QStringList>("stored");
        const QString saved = u"Var Olan||BİLİNMİYOR|HAYIR"_s, fresh = u"Yeni Kişi||BİLİNMİYOR|HAYIR"_s;
        const QStringList all = {saved, u"Var Olan|0532|BİLİNMİYOR|HAYIR"_s, fresh};
        QTest::newRow("saved one and a twin left out") << QString() << 2 << 2 << all;
        QTest::newRow("one added meanwhile by another copy")
            << u"INSERT INTO Kisiler (AdSoyad, CepTelefonu, Memleket, Tahsil, KanGurubu, Akrabalik) "
               u"VALUES ('Yeni Kişi', '', 'BİLİNMİYOR', 'BİLİNMİYOR', 'BİLİNMİYOR', 'HAYIR')"_s
            << 2 << 3 << QStringList{saved, fresh, u"Var Olan|0532|BİLİNMİYOR|HAYIR"_s};
        QTest::newRow("the last cannot be stored: none is")
            << u"CREATE TRIGGER dolu BEFORE INSERT ON Kisiler WHEN NEW.AdSoyad = 'Yeni Kişi' "
               u"BEGIN SELECT RAISE(ABORT, 'Rehber dolu'); END"_s
            << 2 << -1 << QStringList{saved};
    }
    void aFileAddsOnlyItsNewContacts()
    {
        QFETCH(QString, meanwhile);
        QFETCH(int, counted);
        QFETCH(int, same);
        QFETCH(QStringList, stored);
        Workspace workspace;
        Contact typed = named(u"Var Olan"_s);
        typed.hometown = typed.education = typed.bloodGroup = u"BİLİNMİYOR"_s;
        typed.relative = u"HAYIR"_s;
        QVERIFY(core::Contacts::add(typed).isDone());
        const std::vector<Contact> read = {named(u"Var Olan"_s), named(u"Var Olan"_s, u"0532"_s), named(u"Yeni Kişi"_s),
                                           named(u"Yeni Kişi"_s)};
        QCOMPARE(core::Contacts::countSaved(read), counted);
        if (!meanwhile.isEmpty())
            db::Connection().execute(meanwhile);
        try {
            const core::NewRecords<Contact> added = core::Contacts::addNew(read);
            QCOMPARE(added.same, same);
            QCOMPARE(qsizetype(added.records.size()), qsizetype(read.size()) - same);
        } catch (const db::Error &error) {
            QCOMPARE(same, -1);
            QCOMPARE(error.description, u"Rehber dolu"_s);
        }
        QCOMPARE(rawRows(u"SELECT AdSoyad, CepTelefonu, Memleket, Akrabalik FROM Kisiler ORDER BY RowId"_s), stored);
    }

    void aDeletedContactIsGone()
    {
        Workspace workspace;
        QVERIFY(core::Contacts::add(named(u"Silinecek"_s)).isDone());
        QVERIFY(core::Contacts::remove(1).isDone());
        QVERIFY(core::Contacts::remove(1).isGone());
        QVERIFY(!core::Contacts::find(1));
    }
};

QTEST_GUILESS_MAIN(TestCoreContacts)
#include "tst_core_contacts.moc"
