#include "Workspace.h"

#include "core/Entries.h"
#include "data/CategoryStore.h"
#include "data/CompanyStore.h"
#include "data/Kinds.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QString outcomeOf(const core::Result<core::EntryRefusal> &result)
{
    if (result.isGone())
        return u"gone"_s;
    if (!result.isRefused())
        return u"done"_s;
    const char *names[] = {"amount", "rate", "VAT rate", "kind", "source", "category"};
    return QString::fromLatin1(names[int(result.refusal)]);
}

// A customer, a supplier, one that is both, and a category of each kind.
void fillChoices()
{
    db::Connection c;
    CompanyStore companies(c);
    companies.add({-1, u"Zeytin Ltd"_s, {}, {}, {}, {}, {}, relation::customer(), {}});
    companies.add({-1, u"Cam Dünyası"_s, {}, {}, {}, {}, {}, relation::supplier(), {}});
    companies.add({-1, u"Çınar Yapı"_s, {}, {}, {}, {}, {}, relation::supplierAndCustomer(), {}});
    CategoryStore categories(c);
    categories.add({-1, ledger::income(), u"Satış"_s});
    categories.add({-1, ledger::expense(), u"Kira"_s});
}

Entry entryOf(const QString &fields)
{
    const QStringList f = fields.split(u'|');
    return {-1, f[0], u"1"_s, u"3"_s, u"2024"_s, f[1], f[3], f[4], f[5], f[6], f[2], u"içerik"_s, u"not"_s, u"0"_s};
}

QStringList stored(const QString &columns)
{
    return rawRows(u"SELECT %1 FROM GelirGider ORDER BY RowId"_s.arg(columns));
}

} // namespace

class TestCoreEntries : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;

private slots:
    void init() { m_ws = std::make_unique<Workspace>(); }
    void cleanup() { m_ws.reset(); }

    // Whoever records an entry goes through every check of the add dialog.
    void addChecksEveryField_data()
    {
        QTest::addColumn<bool>("choices");  // companies and categories on file
        QTest::addColumn<QString>("entry"); // kind|source|category|amount|currency|rate|VAT rate
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("amount"); // as stored
        QTest::newRow("income from a customer")
            << true << u"Gelir|Zeytin Ltd|Satış|1250|Lira|0|20"_s << u"done"_s << u"1250.00"_s;
        QTest::newRow("expense to one that is both")
            << true << u"Gider|Çınar Yapı|Kira|12.5|Euro|35.2|"_s << u"done"_s << u"12.50"_s;
        QTest::newRow("lira, no rate, no VAT")
            << true << u"Gelir|Çınar Yapı|Satış|5|Lira||"_s << u"done"_s << u"5.00"_s;
        QTest::newRow("nothing on file to choose") << false << u"Gider|||-50|Lira|0|20"_s << u"done"_s << u"-50.00"_s;
        QTest::newRow("more decimals") << true << u"Gelir|Zeytin Ltd|Satış|12.345|Lira|0|20"_s << u"amount"_s
                                       << QString();
        QTest::newRow("lira, rate no number")
            << true << u"Gelir|Zeytin Ltd|Satış|5|Lira|abc|20"_s << u"rate"_s << QString();
        QTest::newRow("dolar at 0") << true << u"Gelir|Zeytin Ltd|Satış|5|Dolar|0|20"_s << u"rate"_s << QString();
        QTest::newRow("euro, comma") << true << u"Gelir|Zeytin Ltd|Satış|5|Euro|35,2|20"_s << u"rate"_s << QString();
        QTest::newRow("VAT over 100") << true << u"Gelir|Zeytin Ltd|Satış|5|Lira|0|101"_s << u"VAT rate"_s << QString();
        QTest::newRow("VAT not whole") << true << u"Gelir|Zeytin Ltd|Satış|5|Lira|0|8.5"_s << u"VAT rate"_s
                                       << QString();
        QTest::newRow("no such kind") << true << u"gelir|Zeytin Ltd|Satış|5|Lira|0|20"_s << u"kind"_s << QString();
        QTest::newRow("income from a supplier")
            << true << u"Gelir|Cam Dünyası|Satış|5|Lira|0|20"_s << u"source"_s << QString();
        QTest::newRow("expense to a customer")
            << true << u"Gider|Zeytin Ltd|Kira|5|Lira|0|20"_s << u"source"_s << QString();
        QTest::newRow("no company while there are some")
            << true << u"Gelir||Satış|5|Lira|0|20"_s << u"source"_s << QString();
        QTest::newRow("a category of the other kind")
            << true << u"Gelir|Zeytin Ltd|Kira|5|Lira|0|20"_s << u"category"_s << QString();
        QTest::newRow("no category while there are some")
            << true << u"Gider|Cam Dünyası||5|Lira|0|20"_s << u"category"_s << QString();
    }
    void addChecksEveryField()
    {
        QFETCH(bool, choices);
        QFETCH(QString, entry);
        QFETCH(QString, amount);
        if (choices)
            fillChoices();
        QTEST(outcomeOf(core::Entries().add(entryOf(entry))), "outcome");
        QStringList f = entry.split(u'|');
        f[3] = amount;
        const QStringList expected = amount.isEmpty() ? QStringList() : QStringList(f.join(u'|'));
        QCOMPARE(stored(u"IslemTuru, IslemKaynagi, IslemCesidi, IslemTutari, TutarBirimi, GecerliKur, KdvOrani"_s),
                 expected);
    }

    // An edit checks the numbers as an add does and stores six decimals; a
    // deleted entry is said to be gone, never saved.
    void updateAndRemove_data()
    {
        QTest::addColumn<qint32>("rowId");
        QTest::addColumn<QString>("numbers"); // amount|currency|rate|VAT rate
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("stored"); // amount|currency|rate|VAT rate afterwards
        QTest::newRow("edited") << 1 << u"12.5|Dolar|35.2|18"_s << u"done"_s << u"12.500000|Dolar|35.2|18"_s;
        QTest::newRow("comma") << 1 << u"12,5|Lira|0|20"_s << u"amount"_s << u"10.00|Lira|0|20"_s;
        QTest::newRow("dolar at 0") << 1 << u"12|Dolar|0|20"_s << u"rate"_s << u"10.00|Lira|0|20"_s;
        QTest::newRow("VAT with a sign") << 1 << u"12|Lira|0|%20"_s << u"VAT rate"_s << u"10.00|Lira|0|20"_s;
        QTest::newRow("gone meanwhile") << 2 << u"12|Lira|0|20"_s << u"gone"_s << u"10.00|Lira|0|20"_s;
    }
    void updateAndRemove()
    {
        QFETCH(qint32, rowId);
        QFETCH(QString, numbers);
        QVERIFY(core::Entries().add(entryOf(u"Gider|||10|Lira|0|20"_s)).isDone());
        Entry entry = *core::Entries().find(1);
        const QStringList n = numbers.split(u'|');
        entry.rowId = rowId;
        entry.amount = n[0];
        entry.currency = n[1];
        entry.rate = n[2];
        entry.vatRate = n[3];
        QTEST(outcomeOf(core::Entries().update(entry)), "outcome");
        QTEST(stored(u"IslemTutari, TutarBirimi, GecerliKur, KdvOrani"_s).join(QString()), "stored");

        // Into the trash, once.
        QCOMPARE(core::Entries().remove(1).status, core::Status::Done);
        QCOMPARE(core::Entries().remove(1).status, core::Status::Gone);
        QVERIFY(stored(u"RowId"_s).isEmpty());
        QCOMPARE(rawRows(u"SELECT Kind FROM Trash"_s), QStringList{u"GelirGider"_s});
    }
};

QTEST_GUILESS_MAIN(TestCoreEntries)
#include "tst_core_entries.moc"
