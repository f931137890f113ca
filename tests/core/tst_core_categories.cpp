#include "Workspace.h"

#include "core/Categories.h"
#include "data/Kinds.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestCoreCategories : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;

private slots:
    void init() { m_ws = std::make_unique<Workspace>(); }
    void cleanup() { m_ws.reset(); }

    void add_data()
    {
        QTest::addColumn<QString>("category"); // kind|name
        QTest::addColumn<int>("refusal");      // -1: added
        QTest::newRow("expense") << u"Gider|Kira"_s << -1;
        QTest::newRow("blanks are a name") << u"Gelir|  "_s << -1;
        QTest::newRow("a quote") << u"Gelir|Ali'nin Payı"_s << -1;
        QTest::newRow("empty") << u"Gelir|"_s << int(core::CategoryRefusal::EmptyName);
        QTest::newRow("no such kind") << u"Transfer|Kira"_s << int(core::CategoryRefusal::Kind);
    }
    void add()
    {
        QFETCH(QString, category);
        QFETCH(int, refusal);
        const auto result = core::Categories().add(category.section(u'|', 0, 0), category.section(u'|', 1));
        QCOMPARE(result.isRefused() ? int(result.refusal) : -1, refusal);
        QCOMPARE(rawRows(u"SELECT IslemTuru, KalemAdi FROM GGKategori"_s).join(QString()),
                 refusal < 0 ? category : QString());
    }

    // A list's delete takes only a row of its own kind, into the trash; any other is gone.
    void removeTakesItsOwnKindOnly_data()
    {
        QTest::addColumn<QString>("removed"); // RowId|kind
        QTest::addColumn<QString>("left");    // then the records in the trash
        QTest::newRow("income") << u"1|Gelir"_s << u"Kira|1"_s;
        QTest::newRow("of the other list") << u"2|Gelir"_s << u"Satış,Kira|0"_s;
        QTest::newRow("gone") << u"3|Gider"_s << u"Satış,Kira|0"_s;
    }
    void removeTakesItsOwnKindOnly()
    {
        QFETCH(QString, removed);
        core::Categories categories;
        QVERIFY(categories.add(ledger::income(), u"Satış"_s).isDone() &&
                categories.add(ledger::expense(), u"Kira"_s).isDone());
        const int rowId = removed.section(u'|', 0, 0).toInt();
        QCOMPARE(categories.remove(rowId, removed.section(u'|', 1)).status,
                 rowId == 1 ? core::Status::Done : core::Status::Gone);
        QTEST(rawRows(u"SELECT KalemAdi FROM GGKategori ORDER BY RowId"_s).join(u',') + u'|' +
                  rawRows(u"SELECT count(*) FROM Trash"_s).join(QString()),
              "left");
    }
};

QTEST_GUILESS_MAIN(TestCoreCategories)
#include "tst_core_categories.moc"
