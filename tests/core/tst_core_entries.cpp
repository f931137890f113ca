#include "CsvReader.h"
#include "Workspace.h"

#include "core/Entries.h"

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
    return result.isGone()      ? u"gone"_s
           : result.isChanged() ? u"changed"_s
           : result.isDone()    ? u"done"_s
                                : QString::fromLatin1(refusals[int(result.refusal)]);
}

// "kind|source|category|amount|currency|rate|VAT rate" as the add dialog gives it.
Entry entryOf(const QString &fields)
{
    const QStringList f = fields.split(u'|');
    return {-1, f[0], u"1"_s, u"3"_s, u"2024"_s, f[1], f[3], f[4], f[5], f[6], f[2], u"içerik"_s, u"not"_s, u"0"_s};
}

QString totalsText(const std::optional<ledger::Totals> &t)
{
    return t ? u"%1|%2|%3"_s.arg(ledger::amountText(t->income), ledger::amountText(t->expense)).arg(t->leftOut)
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
        columns({"entry", "outcome"}); // "!" first: no company nor category on file; then the amount stored
        row("income from a customer, no rate nor VAT", {u"Gelir|Zeytin Ltd|Satış|1250|Lira||"_s, u"done 1250.00"_s});
        row("expense to one that is both", {u"Gider|Çınar Yapı|Kira|12.5|Euro|35.2|"_s, u"done 12.50"_s});
        row("nothing on file to choose", {u"!Gider|||-50|Lira|0|20"_s, u"done -50.00"_s});
        row("lira, rate no number", {u"Gelir|Zeytin Ltd|Satış|5|Lira|abc|20"_s, u"rate "_s});
        row("dolar at 0", {u"Gelir|Zeytin Ltd|Satış|5|Dolar|0|20"_s, u"rate "_s});
        row("VAT over 100", {u"Gelir|Zeytin Ltd|Satış|5|Lira|0|101"_s, u"VAT rate "_s});
        row("VAT with a sign", {u"Gelir|Zeytin Ltd|Satış|5|Lira|0|%20"_s, u"VAT rate "_s});
        row("no such kind", {u"gelir|Zeytin Ltd|Satış|5|Lira|0|20"_s, u"kind "_s});
        row("income from a supplier", {u"Gelir|Cam Dünyası|Satış|5|Lira|0|20"_s, u"source "_s});
        row("expense to a customer", {u"Gider|Zeytin Ltd|Kira|5|Lira|0|20"_s, u"source "_s});
        row("no company while there are some", {u"Gelir||Satış|5|Lira|0|20"_s, u"source "_s});
        row("a category of the other kind", {u"Gelir|Zeytin Ltd|Kira|5|Lira|0|20"_s, u"category "_s});
    }
    void addChecksEveryField()
    {
        QFETCH(QString, entry);
        if (!entry.startsWith(u'!'))
            rawExec("INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES ('Zeytin Ltd', 'Müşteri'), ('Cam Dünyası', "
                    "'Tedarikçi'), ('Çınar Yapı', 'Tedarikçi & Müşteri'); INSERT INTO GGKategori (IslemTuru, KalemAdi) "
                    "VALUES ('Gelir', 'Satış'), ('Gider', 'Kira')");
        const QString outcome = outcomeOf(core::Entries().add(entryOf(entry.mid(entry.startsWith(u'!')))));
        QTEST(outcome + u' ' + rawRows(u"SELECT IslemTutari FROM GelirGider"_s).join(QString()), "outcome");
    }

    // An edit checks the numbers as an add does and stores six decimals; a deleted entry is said to be
    // gone, one another saved since it was shown changed, neither saved.
    void updateChecksAsAnAddDoes_data()
    {
        columns({"numbers", "outcome"}); // RowId|amount|currency|rate|VAT rate[;another's save]; then what is stored
        row("edited", {u"1|12.5|Dolar|35.2|18"_s, u"done 1|Gider|1|3|2024||12.500000|Dolar|35.2|18||içerik|not|0"_s});
        row("comma", {u"1|12,5|Lira|0|20"_s, u"amount 1|Gider|1|3|2024||10.00|Lira|0|20||içerik|not|0"_s});
        row("gone meanwhile", {u"2|12|Lira|0|20"_s, u"gone 1|Gider|1|3|2024||10.00|Lira|0|20||içerik|not|0"_s});
        row("changed meanwhile", {u"1|12|Lira|0|20;UPDATE GelirGider SET IslemNotu = 'başka'"_s,
                                  u"changed 1|Gider|1|3|2024||10.00|Lira|0|20||içerik|başka|0"_s});
    }
    void updateChecksAsAnAddDoes()
    {
        QFETCH(QString, numbers);
        QVERIFY(core::Entries().add(entryOf(u"Gider|||10|Lira|0|20"_s)).isDone());
        Entry entry = entryOf(u"Gider|||"_s + numbers.section(u';', 0, 0).section(u'|', 1));
        entry.rowId = numbers.section(u'|', 0, 0).toInt();
        const Entry shown = core::Entries().find(entry.rowId).value_or(Entry());
        if (numbers.contains(u';'))
            rawExec(numbers.section(u';', 1).toUtf8().constData());
        const QString outcome = outcomeOf(core::Entries().update(shown, entry));
        QTEST(outcome + u' ' + rawRows(u"SELECT * FROM GelirGider"_s).value(0), "outcome");
    }

    // What an amount typed comes to when added (six decimals after an edit, tabled above); nothing when refused.
    void typedAmounts_data()
    {
        columns({"typed", "added"}); // "typed=added" names each row
        const QString rows = u"1250=1250.00;-50=-50.00; +12.5 =12.50;12.500000=12.50;.05=0.05;9999999999999.99="
                             u"9999999999999.99;-9999999999999.99=-9999999999999.99;12.345=;-0.001=;99999999999999.99=;"
                             u"10000000000000=;0=;0.00=;12,50=;12abc=;=;1e5=;--5=;1.2.3=;.="_s;
        for (const QString &typed : rows.split(u';'))
            row(typed.toUtf8().constData(), {typed.section(u'=', 0, 0), typed.section(u'=', 1)});
    }
    void typedAmounts()
    {
        QFETCH(QString, typed);
        const auto amount = ledger::parseAmount(typed);
        QTEST(amount ? ledger::amountText(*amount, 2) : QString(), "added");
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
        row("no usable rate", {u"Gelir|100|Lira|0;Gider|20|Dolar|0;Gider|5|Euro|;Gider|1|Euro|-2;"
                               u"Gider|4|Sterlin|40;Gider|6|Dolar|35.1234567"_s,
                               u"100.00|0.00|5"_s});
        row("other kinds, equal sums", {u"Gelir|7|Lira|0;Gider|7|Lira|0;Transfer|9|Lira|0"_s, u"7.00|7.00|0"_s});
        row("unreadable amount", {u"Gelir|5|Lira|0;Gelir|12,50|Lira|0"_s, u"-"_s});
        row("unreadable amount of another kind", {u"Gelir|5|Lira|0;Transfer|abc|Lira|0"_s, u"-"_s});
    }
    void periodTotals()
    {
        QFETCH(QString, entries);
        std::vector<ledger::EntryAmount> amounts;
        for (const QString &e : entries.split(u';'))
            amounts.push_back(
                {e.section(u'|', 0, 0), e.section(u'|', 1, 1), e.section(u'|', 2, 2), e.section(u'|', 3)});
        QTEST(totalsText(ledger::totalsOf(amounts)), "totals");
    }

    // The filters choose the entries listed; a month and a year (0: any) the period totalled, whatever
    // the kind. An amount another program left empty or wrote with a comma is no number to add up.
    void filtersListAndTotalAPeriod_data()
    {
        columns({"filters", "listed"}); // kind|month|year; the sources in any order, then the totals
        row("everything", {u"|0|0"_s, u"JABCDEFGHI -"_s});
        row("a kind narrows the list", {u"Gelir|3|2024"_s, u"AB 1500.00|1000.25|0"_s});
        row("a month of any year", {u"|3|0"_s, u"ABCE -"_s});
        row("a year", {u"|0|2024"_s, u"ABCDFGHI 1501.00|2704.25|2"_s});
        row("an amount left empty", {u"|0|2023"_s, u"J -"_s});
        row("nothing", {u"Gelir|5|2025"_s, u" 0.00|0.00|0"_s});
    }
    void filtersListAndTotalAPeriod()
    {
        QFETCH(QString, filters);
        // Month 13 is no March.
        rawExec(
            "INSERT INTO GelirGider (IslemTuru, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, GecerliKur) VALUES "
            "('Gider', 1, 2023, 'J', '1.00', 'Lira', '0'), ('Gelir', 3, 2024, 'A', '1250.50', 'Lira', '0'), "
            "('Gelir', 3, 2024, 'B', '249.500000', 'Lira', '0'), ('Gider', 3, 2024, 'C', '1000.25', 'Lira', '0'), "
            "('Gider', 4, 2024, 'D', '1000', 'Lira', '0'), ('Gider', 3, 2025, 'E', '12,50', 'Lira', '0'), "
            "('Gider', 6, 2024, 'F', '20.00', 'Dolar', '35.2'), ('Gider', 6, 2024, 'G', '20.00', 'Dolar', '0'), "
            "('Gider', 6, 2024, 'H', '9.00', 'Euro', ''), ('Gelir', 13, 2024, 'I', '1.00', 'Lira', '0')");
        spoilFirstRow(u"GelirGider"_s, u"IslemTutari"_s);
        const QStringList f = filters.split(u'|');
        QString listed; // the sources, from the file "CSV Aktar" writes of the list
        for (const QStringList &row : parseCsv(core::Entries().listedCsv(f[0], f[1].toInt(), f[2].toInt())).rows.mid(1))
            listed += row.value(4);
        QTEST(listed + u' ' + totalsText(core::Entries().totals(f[1].toInt(), f[2].toInt())), "listed");
    }

    // The report's text, character for character (the viewer shows what a failure half-way left), from
    // another program's copy of the table, whose empty notes are NULL: each reads as empty text.
    void monthlyReportText()
    {
        rawExec(testData(u"ledger/data/report-entries.sql"_s).constData());
        spoilFirstRow(u"GelirGider"_s, u"IslemNotu"_s);
        rawExec("UPDATE GelirGider SET IslemNotu = NULL WHERE IslemNotu = ''");
        // Edited since: a server keeps it elsewhere, the report still shows it where it was.
        rawExec("UPDATE GelirGider SET IslemTutari = '12.500000' WHERE FaturaNo = 'A-1024'");
        for (const auto &[month, golden] : {std::pair{3, "2024 one-income"}, std::pair{2, "2025 both-kinds"}}) {
            const MonthlyReport report = core::Entries().monthlyReport(month, QString::fromLatin1(golden, 4));
            const QString text =
                QString::fromUtf8(testData(u"ledger/data/report-%1.txt"_s.arg(QLatin1String(golden + 5))));
            QCOMPARE(report.text + report.banner + QString::number(report.error.has_value()),
                     text + text.section(u"\r\n"_s, 1, 1) + u'0');
        }
    }
};

QTEST_GUILESS_MAIN(TestCoreEntries)
#include "tst_core_entries.moc"
