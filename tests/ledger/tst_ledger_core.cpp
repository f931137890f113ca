#include "Workspace.h"

#include "data/EntryStore.h"
#include "data/MonthlyReport.h"
#include "data/Totals.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// Entries of March 2024 and February 2025 among others of nearby months and years.
void fillLedger()
{
    db::Connection c;
    for (const QString &company : {u"Ali'nin Kırtasiyesi|Çarşı Cd. No:5\nŞişli / İstanbul|Şişli|12345678901"_s,
                                   u"Işık Elektrik Ltd. Şti.|Organize Sanayi 3. Cad.\nBursa|Nilüfer|2345678901"_s,
                                   u"Çınar Yapı A.Ş.|Atatürk Bulvarı 12 Ankara|Çankaya|3456789012"_s}) {
        const QStringList f = company.split(u'|');
        c.execute("INSERT INTO Firmalar (FirmaAdi, FirmaAdresi, VergiDairesi, VergiNumarasi, Telefon, CalismaTuru) "
                  "VALUES (?, ?, ?, ?, '0212', 'Müşteri')",
                  {f[0], f[1], f[2], f[3]});
    }
    // kind, month, year, source, amount, VAT rate, category, content, note, invoice, currency, rate
    EntryStore entries(c);
    for (const QString &entry : {u"Gelir|3|2024|Çınar Yapı A.Ş.|1250.50|20|Satış Geliri|Mart hakedişi||0|Lira|0"_s,
                                 u"Gider|4|2024|Işık Elektrik Ltd. Şti.|99.00|20||Nisan||7|Lira|0"_s,
                                 u"Gelir|2|2025|Ali'nin Kırtasiyesi|300.00|10|Satış Geliri|"
                                 u"Kırtasiye satışı\nFatura kesildi|Peşin ödendi|0|Euro|0"_s,
                                 u"Gider|2|2025|Işık Elektrik Ltd. Şti.|12.50|20|Malzeme|Kablo ve priz|"
                                 u"İki taksit\nKalan: 6,25|A-1024|Lira|0"_s,
                                 u"Gider|2|2025|Güneş Nakliyat|800.00|18|Nakliye|İzmir'e sevkiyat||N'42|Dolar|35.2"_s,
                                 u"Gelir|2|2024|Ali'nin Kırtasiyesi|5.00|20||||0|Lira|0"_s}) {
        const QStringList e = entry.split(u'|');
        entries.add({-1, e[0], u"1"_s, e[1], e[2], e[3], e[4], e[10], e[11], e[5], e[6], e[7], e[8], e[9]});
    }
    // The entries table's edit writes the amount with six decimals.
    std::optional<Entry> edited = entries.find(4);
    edited->amount = ledger::amountText(1250, 6);
    entries.update(*edited);
}

} // namespace

// What needs no window: amounts, totals and the monthly report's text.
class TestLedgerCore : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;

private slots:
    void init() { m_ws = std::make_unique<Workspace>(); }
    void cleanup() { m_ws.reset(); }

    // What an amount typed in the add or the edit dialog comes to: two decimals
    // when added, six after an edit; empty when it is refused.
    void typedAmounts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("edited");
        QTest::newRow("whole") << u"1250"_s << u"1250.00"_s << u"1250.000000"_s;
        QTest::newRow("negative") << u"-50"_s << u"-50.00"_s << u"-50.000000"_s;
        QTest::newRow("sign, blanks") << u" +12.5 "_s << u"12.50"_s << u"12.500000"_s;
        QTest::newRow("edit's own form") << u"12.500000"_s << u"12.50"_s << u"12.500000"_s;
        QTest::newRow("no whole part") << u".05"_s << u"0.05"_s << u"0.050000"_s;
        QTest::newRow("largest") << u"9999999999999.99"_s << u"9999999999999.99"_s << u"9999999999999.990000"_s;
        QTest::newRow("largest below zero")
            << u"-9999999999999.99"_s << u"-9999999999999.99"_s << u"-9999999999999.990000"_s;
        for (const char *refused : {"12.345", "0.004", "-0.001", "12.3456789", "99999999999999.99", "10000000000000",
                                    "0", "0.00", "12,50", "12abc", "abc", "", "1e5", "--5", "1.2.3", "."})
            QTest::newRow(refused) << QString::fromUtf8(refused) << QString() << QString();
    }
    void typedAmounts()
    {
        QFETCH(QString, typed);
        const auto amount = ledger::parseAmount(typed);
        QTEST(amount ? ledger::amountText(*amount, 2) : QString(), "added");
        QTEST(amount ? ledger::amountText(*amount, 6) : QString(), "edited");
    }

    // Income and expense of a period from its stored entries, "kind|amount|currency|rate;...".
    void periodTotals_data()
    {
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("totals"); // income|expense|left out; "-" when unreadable
        const QString large = u"Gelir|9999999999999.99|Lira|0"_s + u";Gelir|0.03|Lira|0"_s.repeated(10);
        QTest::newRow("large amount") << large // a double sum comes to ...0.28
                                      << u"10000000000000.29|0.00|0"_s;
        QTest::newRow("both forms, older digits")
            << u"Gelir|1250.50|Lira|0;Gelir|249.500000|Lira|;Gider|12.345679|Lira|0;Gider|988|Lira|abc"_s
            << u"1500.00|1000.35|0"_s;
        QTest::newRow("Dolar and Euro by their rate")
            << u"Gelir|1000|Lira|0;Gider|20.00|Dolar|35.2;Gider|10.000000|Euro| 38.123456 "_s << u"1000.00|1085.23|0"_s;
        QTest::newRow("rounded once, away from zero")
            << u"Gelir|0.01|Dolar|35.55;Gelir|0.01|Dolar|35.55;Gider|-0.01|Euro|35.55"_s << u"0.72|-0.36|0"_s;
        QTest::newRow("no usable rate") << u"Gelir|100|Lira|0;Gider|20|Dolar|0;Gider|5|Euro|;Gider|3|Dolar|35,2;"
                                           u"Gider|1|Euro|-2;Gider|4|Sterlin|40;Gider|6|Dolar|35.1234567"_s
                                        << u"100.00|0.00|6"_s;
        QTest::newRow("nothing") << QString() << u"0.00|0.00|0"_s;
        QTest::newRow("other kinds, equal sums")
            << u"Gelir|7|Lira|0;Gider|7|Lira|0;Transfer|9|Lira|0"_s << u"7.00|7.00|0"_s;
        QTest::newRow("unreadable amount") << u"Gelir|5|Lira|0;Gelir|12,50|Lira|0"_s << u"-"_s;
        QTest::newRow("unreadable amount of another kind") << u"Gelir|5|Lira|0;Transfer|abc|Lira|0"_s << u"-"_s;
    }
    void periodTotals()
    {
        QFETCH(QString, entries);
        std::vector<ledger::EntryAmount> amounts;
        for (const QString &entry : entries.split(u';', Qt::SkipEmptyParts)) {
            const QStringList f = entry.split(u'|');
            amounts.push_back({f[0], f[1], f[2], f[3]});
        }
        const auto sums = ledger::totalsOf(amounts);
        const QString shown = sums ? QStringList{ledger::amountText(sums->income), ledger::amountText(sums->expense),
                                                 QString::number(sums->leftOut)}
                                         .join(u'|')
                                   : u"-"_s;
        QTEST(shown, "totals");
    }

    // The report's text, character for character; after a database error, the
    // rows built before it.
    void monthlyReportText_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QByteArray>("before"); // run on the filled ledger first
        QTest::addColumn<QString>("goldenFile");
        QTest::addColumn<int>("rows"); // of the golden file; -1: all of it
        QTest::addColumn<QString>("error");
        QTest::newRow("one income, no expense") << 3 << u"2024"_s << ""_ba << u"report-one-income.txt"_s << -1 << u""_s;
        QTest::newRow("both kinds") << 2 << u"2025"_s << ""_ba << u"report-both-kinds.txt"_s << -1 << u""_s;
        // Another program's table, which may hold NULLs: each reads as empty text.
        QTest::newRow("empty notes left NULL")
            << 2 << u"2025"_s
            << "CREATE TABLE Eski AS SELECT * FROM GelirGider; DROP TABLE GelirGider; "
               "ALTER TABLE Eski RENAME TO GelirGider; UPDATE GelirGider SET IslemNotu = NULL WHERE IslemNotu = ''"_ba
            << u"report-both-kinds.txt"_s << -1 << u""_s;
        // The first entry's company lookup fails: the head and the start of the income section.
        QTest::newRow("companies gone") << 3 << u"2024"_s << "DROP TABLE Firmalar"_ba << u"report-one-income.txt"_s << 4
                                        << u"no such table: Firmalar"_s;
    }
    void monthlyReportText()
    {
        QFETCH(int, month);
        QFETCH(QString, year);
        QFETCH(QByteArray, before);
        QFETCH(QString, goldenFile);
        QFETCH(int, rows);
        fillLedger();
        if (!before.isEmpty())
            rawExec(before.constData());
        const MonthlyReport report = monthlyReport(month, year);
        QString expected = QString::fromUtf8(testData(u"ledger/data/"_s + goldenFile));
        if (rows >= 0)
            expected = expected.split(u"\r\n"_s).mid(0, rows).join(u"\r\n"_s) + u"\r\n"_s;
        QCOMPARE(report.text, expected);
        QTEST(report.error ? report.error->description : QString(), "error");
        QCOMPARE(report.text.split(u"\r\n"_s).at(1), report.banner);
    }
};

QTEST_GUILESS_MAIN(TestLedgerCore)
#include "tst_ledger_core.moc"
