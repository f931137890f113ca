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
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("refusal"); // -1: added
        QTest::newRow("expense") << u"Gider"_s << u"Kira"_s << -1;
        QTest::newRow("blanks are a name") << u"Gelir"_s << u"  "_s << -1;
        QTest::newRow("a quote") << u"Gelir"_s << u"Ali'nin Payı"_s << -1;
        QTest::newRow("empty") << u"Gelir"_s << QString() << int(core::CategoryRefusal::EmptyName);
        QTest::newRow("no such kind") << u"Transfer"_s << u"Kira"_s << int(core::CategoryRefusal::Kind);
    }
    void add()
    {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QFETCH(int, refusal);
        const auto result = core::Categories().add(kind, name);
        QCOMPARE(result.isRefused() ? int(result.refusal) : -1, refusal);
        QCOMPARE(rawRows(u"SELECT IslemTuru, KalemAdi FROM GGKategori"_s),
                 refusal < 0 ? QStringList{kind + u'|' + name} : QStringList());
    }

    // A list's delete takes only a row of its own kind, into the trash; any other is gone.
    void removeTakesItsOwnKindOnly_data()
    {
        QTest::addColumn<qint32>("rowId");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("left"); // then the records in the trash
        QTest::newRow("income") << 1 << u"Gelir"_s << u"Kira|1"_s;
        QTest::newRow("of the other list") << 2 << u"Gelir"_s << u"Satış,Kira|0"_s;
        QTest::newRow("gone") << 3 << u"Gider"_s << u"Satış,Kira|0"_s;
    }
    void removeTakesItsOwnKindOnly()
    {
        QFETCH(qint32, rowId);
        QFETCH(QString, kind);
        core::Categories categories;
        QVERIFY(categories.add(ledger::income(), u"Satış"_s).isDone());
        QVERIFY(categories.add(ledger::expense(), u"Kira"_s).isDone());
        const core::Status status = categories.remove(rowId, kind).status;
        QCOMPARE(status, rowId == 1 ? core::Status::Done : core::Status::Gone);
        QTEST(rawRows(u"SELECT KalemAdi FROM GGKategori ORDER BY RowId"_s).join(u',') + u'|' +
                  rawRows(u"SELECT count(*) FROM Trash"_s).join(QString()),
              "left");
    }
};

QTEST_GUILESS_MAIN(TestCoreCategories)
#include "tst_core_categories.moc"
