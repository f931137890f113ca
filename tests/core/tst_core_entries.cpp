#include "Workspace.h"

#include "core/Entries.h"
#include "data/CategoryStore.h"
#include "data/CompanyStore.h"
#include "data/Kinds.h"
#include "data/RowListModel.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QString outcomeOf(const core::Result<core::EntryRefusal> &result)
{
    const char *refusals[] = {"amount", "rate", "VAT rate", "kind", "source", "category"};
    return result.isGone()   ? u"gone"_s
           : result.isDone() ? u"done"_s
                             : QString::fromLatin1(refusals[int(result.refusal)]);
}

// Entries stored as given, unchecked: "kind|day|month|year|source|amount|currency|rate|VAT rate|category|content|
// note|invoice", the fields left off empty.
void store(const QStringList &entries)
{
    db::Connection c;
    for (const QString &entry : entries) {
        QStringList f = entry.split(u'|');
        while (f.size() < 13)
            f << u""_s;
        EntryStore(c).add({-1, f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10], f[11], f[12]});
    }
}

// "kind|source|category|amount|currency|rate|VAT rate" as the add dialog gives it.
Entry entryOf(const QString &fields)
{
    const QStringList f = fields.split(u'|');
    return {-1, f[0], u"1"_s, u"3"_s, u"2024"_s, f[1], f[3], f[4], f[5], f[6], f[2], u"içerik"_s, u"not"_s, u"0"_s};
}

QString stored(const QString &columns)
{
    return rawRows(u"SELECT %1 FROM GelirGider ORDER BY RowId"_s.arg(columns)).join(u';');
}

} // namespace

// The entries' rules, lists, totals and monthly report, without windows.
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
        QTest::addColumn<bool>("choices");    // companies and categories on file
        QTest::addColumn<QString>("entry");   // kind|source|category|amount|currency|rate|VAT rate
        QTest::addColumn<QString>("outcome"); // the amount stored, or the refusal
        const auto row = [](const char *name, bool choices, const QString &entry, const QString &outcome) {
            QTest::newRow(name) << choices << entry << outcome;
        };
        row("income from a customer", true, u"Gelir|Zeytin Ltd|Satış|1250|Lira|0|20"_s, u"1250.00"_s);
        row("expense to one that is both", true, u"Gider|Çınar Yapı|Kira|12.5|Euro|35.2|"_s, u"12.50"_s);
        row("lira, no rate, no VAT", true, u"Gelir|Çınar Yapı|Satış|5|Lira||"_s, u"5.00"_s);
        row("nothing on file to choose", false, u"Gider|||-50|Lira|0|20"_s, u"-50.00"_s);
        row("more decimals", true, u"Gelir|Zeytin Ltd|Satış|12.345|Lira|0|20"_s, u"amount"_s);
        row("lira, rate no number", true, u"Gelir|Zeytin Ltd|Satış|5|Lira|abc|20"_s, u"rate"_s);
        row("dolar at 0", true, u"Gelir|Zeytin Ltd|Satış|5|Dolar|0|20"_s, u"rate"_s);
        row("euro, comma", true, u"Gelir|Zeytin Ltd|Satış|5|Euro|35,2|20"_s, u"rate"_s);
        row("VAT over 100", true, u"Gelir|Zeytin Ltd|Satış|5|Lira|0|101"_s, u"VAT rate"_s);
        row("VAT not whole", true, u"Gelir|Zeytin Ltd|Satış|5|Lira|0|8.5"_s, u"VAT rate"_s);
        row("no such kind", true, u"gelir|Zeytin Ltd|Satış|5|Lira|0|20"_s, u"kind"_s);
        row("income from a supplier", true, u"Gelir|Cam Dünyası|Satış|5|Lira|0|20"_s, u"source"_s);
        row("expense to a customer", true, u"Gider|Zeytin Ltd|Kira|5|Lira|0|20"_s, u"source"_s);
        row("no company while there are some", true, u"Gelir||Satış|5|Lira|0|20"_s, u"source"_s);
        row("a category of the other kind", true, u"Gelir|Zeytin Ltd|Kira|5|Lira|0|20"_s, u"category"_s);
        row("no category while there are some", true, u"Gider|Cam Dünyası||5|Lira|0|20"_s, u"category"_s);
    }
    void addChecksEveryField()
    {
        QFETCH(QString, entry);
        QFETCH(QString, outcome);
        QFETCH(bool, choices);
        if (choices) {
            db::Connection c;
            for (const auto &[name, relation] :
                 {std::pair{u"Zeytin Ltd"_s, relation::customer()}, std::pair{u"Cam Dünyası"_s, relation::supplier()},
                  std::pair{u"Çınar Yapı"_s, relation::supplierAndCustomer()}})
                CompanyStore(c).add({-1, name, {}, {}, {}, {}, {}, relation, {}});
            CategoryStore(c).add({-1, ledger::income(), u"Satış"_s});
            CategoryStore(c).add({-1, ledger::expense(), u"Kira"_s});
        }
        const bool done = outcome.at(0).isDigit() || outcome.at(0) == u'-';
        QCOMPARE(outcomeOf(core::Entries().add(entryOf(entry))), done ? u"done"_s : outcome);
        QStringList f = entry.split(u'|');
        f[3] = outcome;
        QCOMPARE(stored(u"IslemTuru, IslemKaynagi, IslemCesidi, IslemTutari, TutarBirimi, GecerliKur, KdvOrani"_s),
                 done ? f.join(u'|') : QString());
    }

    // An edit checks the numbers as an add does and stores six decimals; a deleted entry is said to be
    // gone, never saved.
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
        std::tie(entry.amount, entry.currency, entry.rate, entry.vatRate) = std::tie(n[0], n[1], n[2], n[3]);
        QTEST(outcomeOf(core::Entries().update(entry)), "outcome");
        QTEST(stored(u"IslemTutari, TutarBirimi, GecerliKur, KdvOrani"_s), "stored");

        // Into the trash, once.
        QCOMPARE(core::Entries().remove(1).status, core::Status::Done);
        QCOMPARE(core::Entries().remove(1).status, core::Status::Gone);
        QCOMPARE(stored(u"RowId"_s) + rawRows(u"SELECT Kind FROM Trash"_s).join(u'|'), u"GelirGider"_s);
    }

    // What an amount typed in the add or the edit dialog comes to: two decimals when added, six after
    // an edit; empty when it is refused.
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
        QTest::newRow("large amount") << large << u"10000000000000.29|0.00|0"_s; // a double sum comes to ...0.28
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
        QTEST(totalsText(ledger::totalsOf(amounts)), "totals");
    }

    // The filters choose the entries listed; a month and a year (0: any) the period totalled, whatever
    // the kind. An amount another program left empty or wrote with a comma is no number to add up.
    void filtersListAndTotalAPeriod_data()
    {
        QTest::addColumn<QString>("filters"); // kind|month|year
        QTest::addColumn<QString>("listed");  // the sources, in any order
        QTest::addColumn<QString>("totals");  // income|expense|left out; "-" when unreadable
        QTest::newRow("everything") << u"|0|0"_s << u"ABCDEFGHIJ"_s << u"-"_s;
        QTest::newRow("a month") << u"|3|2024"_s << u"ABC"_s << u"1500.00|1000.25|0"_s;
        QTest::newRow("a kind narrows the list") << u"Gelir|3|2024"_s << u"AB"_s << u"1500.00|1000.25|0"_s;
        QTest::newRow("a kind at any date") << u"Gelir|0|0"_s << u"ABI"_s << u"-"_s;
        QTest::newRow("a month of any year") << u"|3|0"_s << u"ABCE"_s << u"-"_s;
        QTest::newRow("a year") << u"|0|2024"_s << u"ABCDFGHI"_s << u"1501.00|2704.25|2"_s;
        QTest::newRow("an amount with a comma") << u"Gider|0|2025"_s << u"E"_s << u"-"_s;
        QTest::newRow("an amount left empty") << u"|0|2023"_s << u"J"_s << u"-"_s;
        QTest::newRow("nothing") << u"Gelir|5|2025"_s << QString() << u"0.00|0.00|0"_s;
    }
    void filtersListAndTotalAPeriod()
    {
        QFETCH(QString, filters);
        store({u"Gider|1|1|2023|J|1.00|Lira|0"_s, u"Gelir|1|3|2024|A|1250.50|Lira|0"_s,
               u"Gelir|2|3|2024|B|249.500000|Lira|0"_s, u"Gider|3|3|2024|C|1000.25|Lira|0"_s,
               u"Gider|4|4|2024|D|1000|Lira|0"_s, u"Gider|4|3|2025|E|12,50|Lira|0"_s,
               u"Gider|5|6|2024|F|20.00|Dolar|35.2"_s, u"Gider|6|6|2024|G|20.00|Dolar|0"_s,
               u"Gider|7|6|2024|H|9.00|Euro|"_s, u"Gelir|5|13|2024|I|1.00|Lira|0"_s}); // month 13 is no March
        spoilFirstRow(u"GelirGider"_s, u"IslemTutari"_s);
        const QStringList f = filters.split(u'|');
        RowListModel model(false);
        model.load(core::Entries::list(f[0], f[1].toInt(), f[2].toInt()));
        QStringList listed;
        for (int i = 0; i < model.rowCount(); ++i)
            listed << model.row(i).text;
        listed.sort();
        QTEST(listed.join(QString()), "listed");
        QTEST(totalsText(core::Entries().totals(f[1].toInt(), f[2].toInt())), "totals");
    }

    // The report's text, character for character; after a database error, the rows built before it.
    void monthlyReportText_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QByteArray>("before"); // run on the filled ledger first
        QTest::addColumn<QString>("goldenFile");
        QTest::addColumn<int>("rows"); // of the golden file; -1: all of it
        QTest::addColumn<QString>("error");
        QTest::newRow("one income, no expense") << 3 << ""_ba << u"report-one-income.txt"_s << -1 << QString();
        QTest::newRow("both kinds") << 2 << ""_ba << u"report-both-kinds.txt"_s << -1 << QString();
        // Another program's table, which may hold NULLs: each reads as empty text.
        QTest::newRow("empty notes left NULL")
            << 2
            << "CREATE TABLE Eski AS SELECT * FROM GelirGider; DROP TABLE GelirGider; "
               "ALTER TABLE Eski RENAME TO GelirGider; UPDATE GelirGider SET IslemNotu = NULL WHERE IslemNotu = ''"_ba
            << u"report-both-kinds.txt"_s << -1 << QString();
        // The first entry's company lookup fails: the head and the start of the income section.
        QTest::newRow("companies gone") << 3 << "DROP TABLE Firmalar"_ba << u"report-one-income.txt"_s << 4
                                        << u"no such table: Firmalar"_s;
    }
    void monthlyReportText()
    {
        QFETCH(int, month);
        QFETCH(QByteArray, before);
        QFETCH(QString, goldenFile);
        QFETCH(int, rows);
        rawExec("INSERT INTO Firmalar (FirmaAdi, FirmaAdresi, VergiDairesi, VergiNumarasi, Telefon, CalismaTuru) "
                "VALUES ('Ali''nin Kırtasiyesi', 'Çarşı Cd. No:5\nŞişli / İstanbul', 'Şişli', '12345678901', '0212', "
                "'Müşteri'), ('Işık Elektrik Ltd. Şti.', 'Organize Sanayi 3. Cad.\nBursa', 'Nilüfer', '2345678901', "
                "'0212', 'Müşteri'), ('Çınar Yapı A.Ş.', 'Atatürk Bulvarı 12 Ankara', 'Çankaya', '3456789012', "
                "'0212', 'Müşteri')");
        store({u"Gelir|1|3|2024|Çınar Yapı A.Ş.|1250.50|Lira|0|20|Satış Geliri|Mart hakedişi||0"_s,
               u"Gider|1|4|2024|Işık Elektrik Ltd. Şti.|99.00|Lira|0|20||Nisan||7"_s,
               u"Gelir|1|2|2025|Ali'nin Kırtasiyesi|300.00|Euro|0|10|Satış Geliri|Kırtasiye satışı\nFatura kesildi|"
               u"Peşin ödendi|0"_s,
               u"Gider|1|2|2025|Işık Elektrik Ltd. Şti.|12.500000|Lira|0|20|Malzeme|Kablo ve priz|İki taksit\n"
               u"Kalan: 6,25|A-1024"_s, // as an edit in the entries table writes it
               u"Gider|1|2|2025|Güneş Nakliyat|800.00|Dolar|35.2|18|Nakliye|İzmir'e sevkiyat||N'42"_s,
               u"Gelir|1|2|2024|Ali'nin Kırtasiyesi|5.00|Lira|0|20||||0"_s});
        if (!before.isEmpty())
            rawExec(before.constData());
        const MonthlyReport report = core::Entries().monthlyReport(month, month == 3 ? u"2024"_s : u"2025"_s);
        QString expected = QString::fromUtf8(testData(u"ledger/data/"_s + goldenFile));
        if (rows >= 0)
            expected = expected.split(u"\r\n"_s).mid(0, rows).join(u"\r\n"_s) + u"\r\n"_s;
        QCOMPARE(report.text, expected);
        QTEST(report.error ? report.error->description : QString(), "error");
        QCOMPARE(report.text.split(u"\r\n"_s).at(1), report.banner);
    }

private:
    static QString totalsText(const std::optional<ledger::Totals> &sums)
    {
        return sums ? u"%1|%2|%3"_s.arg(ledger::amountText(sums->income), ledger::amountText(sums->expense))
                          .arg(sums->leftOut)
                    : u"-"_s;
    }
};

QTEST_GUILESS_MAIN(TestCoreEntries)
#include "tst_core_entries.moc"
