#include "Workspace.h"

#include "core/Entries.h"
#include "data/RowListModel.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// A table of texts: its columns, then its rows.
void columns(std::initializer_list<const char *> names)
{
    for (const char *name : names)
        QTest::addColumn<QString>(name);
}
void row(const char *name, std::initializer_list<QString> values)
{
    QTestData &data = QTest::newRow(name);
    for (const QString &value : values)
        data << value;
}

QString outcomeOf(const core::Result<core::EntryRefusal> &result)
{
    const char *refusals[] = {"amount", "rate", "VAT rate", "kind", "source", "category"};
    return result.isGone()   ? u"gone"_s
           : result.isDone() ? u"done"_s
                             : QString::fromLatin1(refusals[int(result.refusal)]);
}

// Entries stored unchecked, "kind|day|month|year|source|amount|currency|rate|VAT rate|category|content|note|invoice".
void store(const QStringList &entries)
{
    db::Connection c;
    for (const QString &entry : entries) {
        const QStringList f = (entry + u"|||||"_s).split(u'|');
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

QString totalsText(const std::optional<ledger::Totals> &sums)
{
    return sums ? u"%1|%2|%3"_s.arg(ledger::amountText(sums->income), ledger::amountText(sums->expense))
                      .arg(sums->leftOut)
                : u"-"_s;
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
        columns({"entry", "outcome"}); // "!" first: no company nor category on file; the amount stored or the refusal
        row("income from a customer", {u"Gelir|Zeytin Ltd|Satış|1250|Lira|0|20"_s, u"1250.00"_s});
        row("expense to one that is both", {u"Gider|Çınar Yapı|Kira|12.5|Euro|35.2|"_s, u"12.50"_s});
        row("lira, no rate, no VAT", {u"Gelir|Çınar Yapı|Satış|5|Lira||"_s, u"5.00"_s});
        row("nothing on file to choose", {u"!Gider|||-50|Lira|0|20"_s, u"-50.00"_s});
        row("more decimals", {u"Gelir|Zeytin Ltd|Satış|12.345|Lira|0|20"_s, u"amount"_s});
        row("lira, rate no number", {u"Gelir|Zeytin Ltd|Satış|5|Lira|abc|20"_s, u"rate"_s});
        row("dolar at 0", {u"Gelir|Zeytin Ltd|Satış|5|Dolar|0|20"_s, u"rate"_s});
        row("euro, comma", {u"Gelir|Zeytin Ltd|Satış|5|Euro|35,2|20"_s, u"rate"_s});
        row("VAT over 100", {u"Gelir|Zeytin Ltd|Satış|5|Lira|0|101"_s, u"VAT rate"_s});
        row("VAT not whole", {u"Gelir|Zeytin Ltd|Satış|5|Lira|0|8.5"_s, u"VAT rate"_s});
        row("VAT with a sign", {u"Gelir|Zeytin Ltd|Satış|5|Lira|0|%20"_s, u"VAT rate"_s});
        row("no such kind", {u"gelir|Zeytin Ltd|Satış|5|Lira|0|20"_s, u"kind"_s});
        row("income from a supplier", {u"Gelir|Cam Dünyası|Satış|5|Lira|0|20"_s, u"source"_s});
        row("expense to a customer", {u"Gider|Zeytin Ltd|Kira|5|Lira|0|20"_s, u"source"_s});
        row("no company while there are some", {u"Gelir||Satış|5|Lira|0|20"_s, u"source"_s});
        row("a category of the other kind", {u"Gelir|Zeytin Ltd|Kira|5|Lira|0|20"_s, u"category"_s});
        row("no category while there are some", {u"Gider|Cam Dünyası||5|Lira|0|20"_s, u"category"_s});
    }
    void addChecksEveryField()
    {
        QFETCH(QString, entry);
        QFETCH(QString, outcome);
        if (!entry.startsWith(u'!'))
            rawExec("INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES ('Zeytin Ltd', 'Müşteri'), ('Cam Dünyası', "
                    "'Tedarikçi'), ('Çınar Yapı', 'Tedarikçi & Müşteri'); INSERT INTO GGKategori (IslemTuru, KalemAdi) "
                    "VALUES ('Gelir', 'Satış'), ('Gider', 'Kira')");
        const bool done = outcome.at(0).isDigit() || outcome.at(0) == u'-';
        QCOMPARE(outcomeOf(core::Entries().add(entryOf(entry.mid(entry.startsWith(u'!'))))),
                 done ? u"done"_s : outcome);
        QCOMPARE(stored(u"IslemTutari"_s), done ? outcome : QString());
    }

    // An edit checks the numbers as an add does and stores six decimals; a deleted entry is said to be
    // gone, never saved. A delete goes into the trash, once.
    void updateAndRemove_data()
    {
        columns({"numbers", "outcome"}); // RowId|amount|currency|rate|VAT rate; then what is stored afterwards
        row("edited", {u"1|12.5|Dolar|35.2|18"_s, u"done 12.500000|Dolar|35.2|18"_s});
        row("comma", {u"1|12,5|Lira|0|20"_s, u"amount 10.00|Lira|0|20"_s});
        row("dolar at 0", {u"1|12|Dolar|0|20"_s, u"rate 10.00|Lira|0|20"_s});
        row("gone meanwhile", {u"2|12|Lira|0|20"_s, u"gone 10.00|Lira|0|20"_s});
    }
    void updateAndRemove()
    {
        QFETCH(QString, numbers);
        QVERIFY(core::Entries().add(entryOf(u"Gider|||10|Lira|0|20"_s)).isDone());
        Entry entry = *core::Entries().find(1);
        const QStringList n = numbers.split(u'|');
        entry.rowId = n[0].toInt();
        std::tie(entry.amount, entry.currency, entry.rate, entry.vatRate) = std::tie(n[1], n[2], n[3], n[4]);
        const QString outcome = outcomeOf(core::Entries().update(entry));
        QTEST(outcome + u' ' + stored(u"IslemTutari, TutarBirimi, GecerliKur, KdvOrani"_s), "outcome");
        QCOMPARE(core::Entries().remove(1).status, core::Status::Done);
        QCOMPARE(core::Entries().remove(1).status, core::Status::Gone);
        QCOMPARE(stored(u"RowId"_s) + rawRows(u"SELECT Kind FROM Trash"_s).join(u'|'), u"GelirGider"_s);
    }

    // What an amount typed in the add or the edit dialog comes to: two decimals when added, six after
    // an edit; empty when it is refused.
    void typedAmounts_data()
    {
        columns({"typed", "added|edited"});
        row("whole", {u"1250"_s, u"1250.00|1250.000000"_s});
        row("negative", {u"-50"_s, u"-50.00|-50.000000"_s});
        row("sign, blanks", {u" +12.5 "_s, u"12.50|12.500000"_s});
        row("edit's own form", {u"12.500000"_s, u"12.50|12.500000"_s});
        row("no whole part", {u".05"_s, u"0.05|0.050000"_s});
        row("largest", {u"9999999999999.99"_s, u"9999999999999.99|9999999999999.990000"_s});
        row("largest below zero", {u"-9999999999999.99"_s, u"-9999999999999.99|-9999999999999.990000"_s});
        for (const char *refused : {"12.345", "0.004", "-0.001", "12.3456789", "99999999999999.99", "10000000000000",
                                    "0", "0.00", "12,50", "12abc", "abc", "", "1e5", "--5", "1.2.3", "."})
            row(refused, {QString::fromUtf8(refused), u"|"_s});
    }
    void typedAmounts()
    {
        QFETCH(QString, typed);
        const auto amount = ledger::parseAmount(typed);
        QTEST(amount ? ledger::amountText(*amount, 2) + u'|' + ledger::amountText(*amount, 6) : u"|"_s, "added|edited");
    }

    // Income and expense of a period from its stored entries, "kind|amount|currency|rate;...".
    void periodTotals_data()
    {
        columns({"entries", "totals"}); // income|expense|left out; "-" when an amount cannot be read
        row("large amount",             // a double sum comes to ...0.28
            {u"Gelir|9999999999999.99|Lira|0"_s + u";Gelir|0.03|Lira|0"_s.repeated(10), u"10000000000000.29|0.00|0"_s});
        row("both forms, older digits",
            {u"Gelir|1250.50|Lira|0;Gelir|249.500000|Lira|;Gider|12.345679|Lira|0;Gider|988|Lira|abc"_s,
             u"1500.00|1000.35|0"_s});
        row("Dolar and Euro by their rate",
            {u"Gelir|1000|Lira|0;Gider|20.00|Dolar|35.2;Gider|10.000000|Euro| 38.123456 "_s, u"1000.00|1085.23|0"_s});
        row("rounded once, away from zero",
            {u"Gelir|0.01|Dolar|35.55;Gelir|0.01|Dolar|35.55;Gider|-0.01|Euro|35.55"_s, u"0.72|-0.36|0"_s});
        row("no usable rate", {u"Gelir|100|Lira|0;Gider|20|Dolar|0;Gider|5|Euro|;Gider|3|Dolar|35,2;Gider|1|Euro|-2;"
                               u"Gider|4|Sterlin|40;Gider|6|Dolar|35.1234567"_s,
                               u"100.00|0.00|6"_s});
        row("nothing", {QString(), u"0.00|0.00|0"_s});
        row("other kinds, equal sums", {u"Gelir|7|Lira|0;Gider|7|Lira|0;Transfer|9|Lira|0"_s, u"7.00|7.00|0"_s});
        row("unreadable amount", {u"Gelir|5|Lira|0;Gelir|12,50|Lira|0"_s, u"-"_s});
        row("unreadable amount of another kind", {u"Gelir|5|Lira|0;Transfer|abc|Lira|0"_s, u"-"_s});
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
        columns({"filters", "listed"}); // kind|month|year; the sources in any order, then the totals
        row("everything", {u"|0|0"_s, u"ABCDEFGHIJ -"_s});
        row("a month", {u"|3|2024"_s, u"ABC 1500.00|1000.25|0"_s});
        row("a kind narrows the list", {u"Gelir|3|2024"_s, u"AB 1500.00|1000.25|0"_s});
        row("a kind at any date", {u"Gelir|0|0"_s, u"ABI -"_s});
        row("a month of any year", {u"|3|0"_s, u"ABCE -"_s});
        row("a year", {u"|0|2024"_s, u"ABCDFGHI 1501.00|2704.25|2"_s});
        row("an amount with a comma", {u"Gider|0|2025"_s, u"E -"_s});
        row("an amount left empty", {u"|0|2023"_s, u"J -"_s});
        row("nothing", {u"Gelir|5|2025"_s, u" 0.00|0.00|0"_s});
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
        QTEST(listed.join(QString()) + u' ' + totalsText(core::Entries().totals(f[1].toInt(), f[2].toInt())), "listed");
    }

    // The report's text, character for character (the viewer shows what a failure half-way left).
    void monthlyReportText_data()
    {
        QTest::addColumn<QByteArray>("before"); // run on the filled ledger first
        QTest::addColumn<QString>("golden");
        QTest::newRow("one income, no expense") << ""_ba << u"report-one-income.txt"_s;
        QTest::newRow("both kinds") << ""_ba << u"report-both-kinds.txt"_s;
        // Another program's table, which may hold NULLs: each reads as empty text.
        QTest::newRow("empty notes left NULL")
            << "CREATE TABLE Eski AS SELECT * FROM GelirGider; DROP TABLE GelirGider; "
               "ALTER TABLE Eski RENAME TO GelirGider; UPDATE GelirGider SET IslemNotu = NULL WHERE IslemNotu = ''"_ba
            << u"report-both-kinds.txt"_s;
    }
    void monthlyReportText()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, golden);
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
        rawExec(before.constData());
        const bool march = golden.contains(u"one-income"_s);
        const MonthlyReport report = core::Entries().monthlyReport(march ? 3 : 2, march ? u"2024"_s : u"2025"_s);
        QCOMPARE(report.text, QString::fromUtf8(testData(u"ledger/data/"_s + golden)));
        QVERIFY(!report.error);
        QCOMPARE(report.text.split(u"\r\n"_s).at(1), report.banner);
    }
};

QTEST_GUILESS_MAIN(TestCoreEntries)
#include "tst_core_entries.moc"
