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
        QTest::newRow("expense, a quote") << u"Gider|Ali'nin Payı"_s << -1;
        QTest::newRow("blanks are a name") << u"Gelir|  "_s << -1;
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

    // A list's delete takes only a row of its own kind, into the trash; a row of the other list, or none, is gone.
    void removeTakesItsOwnKindOnly()
    {
        core::Categories categories;
        QVERIFY(categories.add(ledger::income(), u"Satış"_s).isDone() &&
                categories.add(ledger::expense(), u"Kira"_s).isDone());
        QCOMPARE(categories.remove(2, ledger::income()).status, core::Status::Gone);
        QCOMPARE(categories.remove(3, ledger::expense()).status, core::Status::Gone);
        QCOMPARE(categories.remove(1, ledger::income()).status, core::Status::Done);
        QCOMPARE(rawRows(u"SELECT KalemAdi FROM GGKategori; SELECT count(*) FROM Trash"_s),
                 (QStringList{u"Kira"_s, u"1"_s}));
    }
};

QTEST_GUILESS_MAIN(TestCoreCategories)
#include "tst_core_categories.moc"
