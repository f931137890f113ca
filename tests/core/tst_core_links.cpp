#include "Workspace.h"

#include "core/Links.h"
#include "data/Database.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestCoreLinks : public QObject
{
    Q_OBJECT

private slots:
    // A bookmark is the saved link again when its title and address are, whatever its notes.
    void aFileAddsOnlyItsNewLinks_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("same"); // -1: the adding fails, and adds none
        QTest::addColumn<QStringList>("stored");
        const QString saved = u"Birinci|https://a.com/|notlar"_s;
        QTest::newRow("other notes, a twin, another address")
            << QString() << 2 << QStringList{saved, u"İkinci|https://b.com/|"_s, u"Birinci|https://c.com/|"_s};
        QTest::newRow("the last cannot be stored: none is")
            << u"CREATE TRIGGER dolu BEFORE INSERT ON Linkler WHEN NEW.Link = 'https://c.com/' "
               u"BEGIN SELECT RAISE(ABORT, 'Liste dolu'); END"_s
            << -1 << QStringList{saved};
    }
    void aFileAddsOnlyItsNewLinks()
    {
        QFETCH(QString, setup);
        QFETCH(int, same);
        QFETCH(QStringList, stored);
        Workspace workspace;
        QVERIFY(core::Links::add({-1, u"Birinci"_s, u"https://a.com/"_s, u"notlar"_s}).isDone());
        if (!setup.isEmpty())
            db::Connection().execute(setup);
        const std::vector<Link> read = {{-1, u"Birinci"_s, u"https://a.com/"_s, u"başka not"_s},
                                        {-1, u"İkinci"_s, u"https://b.com/"_s, {}},
                                        {-1, u"İkinci"_s, u"https://b.com/"_s, {}},
                                        {-1, u"Birinci"_s, u"https://c.com/"_s, {}}};
        QCOMPARE(core::Links::countSaved(read), 2); // the saved one and a twin
        try {
            QCOMPARE(core::Links::addNew(read).same, same);
        } catch (const db::Error &error) {
            QCOMPARE(same, -1);
            QCOMPARE(error.description, u"Liste dolu"_s);
        }
        QCOMPARE(rawRows(u"SELECT Baslik, Link, Notlar FROM Linkler ORDER BY RowId"_s), stored);
        QVERIFY(core::Links::remove(1).isDone());
        QVERIFY(core::Links::remove(1).isGone());
    }
};

QTEST_GUILESS_MAIN(TestCoreLinks)
#include "tst_core_links.moc"
