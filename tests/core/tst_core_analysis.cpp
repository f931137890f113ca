#include "Workspace.h"

#include "analysis/MoneyText.h"
#include "core/Analysis.h"
#include "core/Entries.h"

#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Entries from "kind d.m.y amount currency rate category company", one per ';', '-' for an empty field.
void addEntries(const QString &entries)
{
    for (const QString &line : entries.split(u';', Qt::SkipEmptyParts)) {
        QStringList f = line.trimmed().split(u' ');
        for (QString &field : f)
            field = field == u"-"_s ? QString() : field.replace(u'_', u' ');
        const QStringList date = f[1].split(u'.');
        rawExec(
            u"INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, GecerliKur, "
            u"IslemCesidi, IslemIcerigi) VALUES ('%1', '%2', '%3', '%4', '%5', '%6', '%7', '%8', '%9', 'içerik')"_s.arg(
                f[0], date[0], date[1], date[2], f.value(6, u"Şahin Gıda"_s), f[2], f[3], f[4], f.value(5)));
    }
}

// A column of the register as shown, joined by '|'.
QString column(const analysis::Register &shown, analysis::Register::Column column)
{
    QStringList texts;
    for (int row = 0; row < shown.rowCount(); ++row)
        texts << shown.text(row, column);
    return texts.join(u'|');
}

QString totalsText(const ledger::Totals &t)
{
    return u"%1|%2|%3"_s.arg(ledger::amountText(t.income), ledger::amountText(t.expense)).arg(t.leftOut);
}

} // namespace

// The register, the charts' sums and the search, on a real file, without windows.
class TestCoreAnalysis : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;

private slots:
    void init() { m_ws = std::make_unique<Workspace>(); }
    void cleanup() { m_ws.reset(); }

    void moneyInTurkishForm_data()
    {
        QTest::addColumn<qint64>("kurus");
        QTest::addColumn<QString>("currency");
        QTest::addColumn<QString>("shown");
        QTest::newRow("thousands") << qint64(5145000) << u"Lira"_s << u"51.450,00 ₺"_s;
        QTest::newRow("dollar") << qint64(125050) << u"Dolar"_s << u"1.250,50 $"_s;
        QTest::newRow("euro, negative") << qint64(-30000) << u"Euro"_s << u"-300,00 €"_s;
        QTest::newRow("kuruş only") << qint64(5) << u"Lira"_s << u"0,05 ₺"_s;
        QTest::newRow("millions") << qint64(123456789012) << u"Lira"_s << u"1.234.567.890,12 ₺"_s;
        QTest::newRow("another currency") << qint64(100) << u"Sterlin"_s << u"1,00 Sterlin"_s;
    }
    void moneyInTurkishForm()
    {
        QFETCH(qint64, kurus);
        QFETCH(QString, currency);
        QFETCH(QString, shown);
        QCOMPARE(analysis::turkishMoney(kurus, currency), shown);
    }

    // The lira column and the balance against sums made by hand; the balance runs in date order
    // whichever column the rows are sorted by.
    void registerBalance_data()
    {
        QTest::addColumn<QString>("entries");
        QTest::addColumn<int>("sortedBy");
        QTest::addColumn<QString>("amounts");
        QTest::addColumn<QString>("lira");
        QTest::addColumn<QString>("balance");
        QTest::addColumn<int>("withoutRate");
        const int byDate = analysis::Register::Date, byAmount = analysis::Register::Amount;
        QTest::newRow("lira, stored out of date order")
            << u"Gelir 5.3.2024 1000.00 Lira -; Gider 1.3.2024 250.50 Lira -; Gelir 5.3.2024 10 Lira -"_s << byDate
            << u"250,50 ₺|1.000,00 ₺|10,00 ₺"_s << u"250,50 ₺|1.000,00 ₺|10,00 ₺"_s << u"-250,50 ₺|749,50 ₺|759,50 ₺"_s
            << 0;
        QTest::newRow("dollar and euro by their rates")
            << u"Gelir 1.1.2024 100.00 Dolar 32.5; Gider 2.1.2024 12.345600 Euro 35.123456"_s << byDate
            << u"100,00 $|12,35 €"_s << u"3.250,00 ₺|433,62 ₺"_s << u"3.250,00 ₺|2.816,38 ₺"_s << 0;
        QTest::newRow("no usable rate: shown, left out, counted")
            << u"Gelir 1.1.2024 100 Lira -; Gelir 2.1.2024 50 Dolar -; Gider 3.1.2024 20 Euro 0; Gider 4.1.2024 30 Lira -"_s
            << byDate << u"100,00 ₺|50,00 $|20,00 €|30,00 ₺"_s << u"100,00 ₺|kur yok|kur yok|30,00 ₺"_s
            << u"100,00 ₺|100,00 ₺|100,00 ₺|70,00 ₺"_s << 2;
        QTest::newRow("sorted by amount, balance of the date order")
            << u"Gelir 1.2.2024 300 Lira -; Gider 2.2.2024 500 Lira -; Gelir 3.2.2024 100 Dolar 30"_s << byAmount
            << u"100,00 $|300,00 ₺|500,00 ₺"_s << u"3.000,00 ₺|300,00 ₺|500,00 ₺"_s
            << u"2.800,00 ₺|300,00 ₺|-200,00 ₺"_s << 0;
    }
    void registerBalance()
    {
        QFETCH(QString, entries);
        QFETCH(int, sortedBy);
        addEntries(entries);
        analysis::Register shown = core::Register().read();
        shown.sort(analysis::Register::Column(sortedBy), false);
        QTEST(column(shown, analysis::Register::Amount), "amounts");
        QTEST(column(shown, analysis::Register::Lira), "lira");
        QTEST(column(shown, analysis::Register::Balance), "balance");
        QTEST(shown.withoutRate(), "withoutRate");
    }

    void registerSortsDescendingAndRedsNegatives()
    {
        addEntries(u"Gelir 1.2.2024 300 Lira - Kira Çınar; Gider 2.2.2024 500 Lira - Su Ceren; Gelir 3.2.2024 7 Lira - "
                   u"Aidat İnci; Gelir 4.2.2024 8 Lira - Aidat Ilgaz"_s);
        analysis::Register shown = core::Register().read();
        shown.sort(analysis::Register::Company, false);
        QCOMPARE(column(shown, analysis::Register::Company), u"Ceren|Çınar|Ilgaz|İnci"_s); // the Turkish alphabet
        shown.sort(analysis::Register::Date, true);
        QCOMPARE(column(shown, analysis::Register::Date), u"04.02.2024|03.02.2024|02.02.2024|01.02.2024"_s);
        QVERIFY(shown.isNegative(2, analysis::Register::Balance));
        QVERIFY(!shown.isNegative(3, analysis::Register::Balance));
    }

    void registerFilters_data()
    {
        QTest::addColumn<QString>("filter"); // from|to|kind|company|category|text
        QTest::addColumn<QString>("dates");
        QTest::addColumn<QString>("balance");
        QTest::newRow("everything") << u"|||||"_s << u"01.01.2024|15.02.2024|20.03.2024|01.01.2025"_s
                                    << u"100,00 ₺|-100,00 ₺|200,00 ₺|1.200,00 ₺"_s;
        QTest::newRow("a date range, both ends in")
            << u"20240115|20240320||||"_s << u"15.02.2024|20.03.2024"_s << u"-200,00 ₺|100,00 ₺"_s;
        QTest::newRow("expenses") << u"||Gider|||"_s << u"15.02.2024"_s << u"-200,00 ₺"_s;
        QTest::newRow("a company") << u"|||Işık Ltd||"_s << u"15.02.2024|01.01.2025"_s << u"-200,00 ₺|800,00 ₺"_s;
        QTest::newRow("a category") << u"||||Kira|"_s << u"01.01.2024|20.03.2024"_s << u"100,00 ₺|400,00 ₺"_s;
        QTest::newRow("text, Turkish capitals")
            << u"|||||IŞIK"_s << u"15.02.2024|01.01.2025"_s << u"-200,00 ₺|800,00 ₺"_s;
        QTest::newRow("text in the amount shown") << u"|||||1.000,00"_s << u"01.01.2025"_s << u"1.000,00 ₺"_s;
        QTest::newRow("text in the date shown") << u"|||||20.03"_s << u"20.03.2024"_s << u"300,00 ₺"_s;
    }
    void registerFilters()
    {
        QFETCH(QString, filter);
        addEntries(
            u"Gelir 1.1.2024 100 Lira - Kira; Gider 15.2.2024 200 Lira - Su Işık_Ltd; Gelir 20.3.2024 300 Lira - "
            u"Kira; Gelir 1.1.2025 1000 Lira - Satış Işık_Ltd"_s);
        const QStringList f = filter.split(u'|');
        analysis::Register shown = core::Register().read();
        shown.setFilter({f[0].toInt(), f[1].toInt(), f[2], f[3], f[4], f[5]});
        QTEST(column(shown, analysis::Register::Date), "dates");
        QTEST(column(shown, analysis::Register::Balance), "balance");
    }

    void registerFiltersOffer()
    {
        addEntries(u"Gelir 1.1.2024 1 Lira - Satış Zeytin; Gider 1.1.2024 1 Lira - - Çınar; Gelir 1.1.2024 1 Lira - "
                   u"Kira Zeytin"_s);
        const analysis::Register shown = core::Register().read();
        QCOMPARE(shown.companies(), (QStringList{u"Çınar"_s, u"Zeytin"_s}));
        QCOMPARE(shown.categories(), (QStringList{u"Kira"_s, u"Satış"_s}));
    }

    // The charts draw what "Hesapla" totals, to the kuruş: each month, and the year.
    void figuresEqualTotals()
    {
        addEntries(
            u"Gelir 1.1.2024 100.005000 Lira -; Gelir 2.1.2024 10.10 Dolar 33.333333; Gider 3.1.2024 5 Euro -; "
            u"Gider 9.2.2024 0.333333 Euro 35.5 Kira; Gelir 1.12.2024 99999.99 Lira -; Gelir 1.13.2024 7 Lira -; "
            u"Gelir 1.1.2023 1000 Lira -; Devir 1.1.2024 5 Lira -"_s);
        const auto year = core::Figures().year(2024);
        QVERIFY(year);
        QCOMPARE(totalsText(year->year), totalsText(*core::Entries().totals(0, 2024)));
        ledger::WideKurus income = 0, expense = 0;
        for (int month = 1; month <= 12; ++month) {
            const auto totals = core::Entries().totals(month, 2024);
            const auto categories = core::Figures().categories(2024, month);
            QVERIFY(totals && categories);
            const analysis::MonthFigures &m = year->months[size_t(month - 1)];
            QCOMPARE(ledger::amountText(m.income), ledger::amountText(totals->income));
            QCOMPARE(ledger::amountText(m.expense), ledger::amountText(totals->expense));
            QCOMPARE(totalsText(categories->totals), totalsText(*totals));
            income += m.income;
            expense += m.expense;
        }
        // The thirteenth month's entry is the year's, in no month.
        QCOMPARE(ledger::amountText(year->year.income - income), u"7.00"_s);
        QCOMPARE(ledger::amountText(year->year.expense - expense), u"0.00"_s);
    }

    void figuresFailAsHesaplaDoes()
    {
        addEntries(u"Gelir 1.1.2024 12,50 Lira -"_s);
        QVERIFY(!core::Entries().totals(0, 2024));
        QVERIFY(!core::Figures().year(2024));
        QVERIFY(!core::Figures().categories(2024, 0));
    }

    void categoriesGroupLargestFirst()
    {
        addEntries(
            u"Gider 1.1.2024 100 Lira - Kira; Gider 2.1.2024 300 Lira - -; Gider 3.2.2024 250 Lira - Kira; "
            u"Gelir 4.1.2024 10 Dolar 30 Satış; Gelir 5.1.2024 10 Dolar - Satış; Gider 1.1.2023 9 Lira - Kira"_s);
        const auto figures = core::Figures().categories(2024, 0);
        QVERIFY(figures);
        const auto listed = [](const std::vector<analysis::CategoryAmount> &list, ledger::WideKurus total) {
            QStringList texts;
            for (const auto &c : list)
                texts << c.category + u' ' + analysis::turkishAmount(c.amount) + u' ' +
                             analysis::shareText(c.amount, total);
            return texts.join(u'|');
        };
        QCOMPARE(listed(figures->expense, figures->totals.expense), u"Kira 350,00 %53,8|Kategorisiz 300,00 %46,2"_s);
        QCOMPARE(listed(figures->income, figures->totals.income), u"Satış 300,00 %100,0"_s);
        QCOMPARE(figures->totals.leftOut, 1);
        const auto january = core::Figures().categories(2024, 1);
        QCOMPARE(january->expense.front().category, u"Kategorisiz"_s);
    }

    void searchFinds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("found"); // the summaries, '|' between
        const QString istanbul = u"İSTANBUL GIDA · Beşiktaş|02.03.2024 · Gelir · İSTANBUL GIDA · 1.250,50 $|"
                                 u"01.01.2024 · Gelir · İSTANBUL GIDA · 10,00 ₺"_s;
        QTest::newRow("dotted capital İ from i, newest entry first") << u"istanbul"_s << istanbul;
        QTest::newRow("dotless ı from I") << u"ışık"_s
                                          << u"IŞIK YAPI|01.03.2024 · Gider · IŞIK YAPI · 75,00 ₺ · Yemek|"
                                             u"Deniz Işık · 0555 111 22 33|Işıklar Derneği"_s;
        QTest::newRow("capital I is not i") << u"ISTANBUL"_s << QString();
        QTest::newRow("marks kept: şeker is not seker") << u"şeker"_s << u"Şeker Evi"_s;
        QTest::newRow("and seker not şeker") << u"seker"_s << u"Deniz Işık · 0555 111 22 33"_s;
        QTest::newRow("an apostrophe") << u"Ali'nin"_s << u"01.03.2024 · Gider · IŞIK YAPI · 75,00 ₺ · Yemek"_s;
        QTest::newRow("a percent sign is a letter") << u"%"_s << u"Yüzde%On"_s;
        QTest::newRow("an underscore is a letter") << u"a_b"_s << u"a_b linki · https://ab.example"_s;
        QTest::newRow("an invoice number") << u"fa-77"_s << u"02.03.2024 · Gelir · İSTANBUL GIDA · 1.250,50 $"_s;
        QTest::newRow("an amount as stored") << u"1250.5"_s << u"02.03.2024 · Gelir · İSTANBUL GIDA · 1.250,50 $"_s;
        QTest::newRow("GIDA from gıda") << u"gıda"_s << istanbul;
        QTest::newRow("a contact's blood group") << u"0 rh+"_s << u"Deniz Işık · 0555 111 22 33"_s;
        QTest::newRow("a membership's place") << u"banka"_s << u"Banka Şubesi"_s;
        QTest::newRow("never a membership's password") << u"gizli123"_s << QString();
        QTest::newRow("blanks only") << u"   "_s << QString();
    }
    void searchFinds()
    {
        QFETCH(QString, text);
        rawExec("INSERT INTO Firmalar (FirmaAdi, VergiDairesi, CalismaTuru) VALUES ('İSTANBUL GIDA', 'Beşiktaş', "
                "'Müşteri'), ('IŞIK YAPI', '', 'Tedarikçi'), ('Şeker Evi', '', 'Müşteri'), ('Yüzde%On', '', '')");
        rawExec("INSERT INTO Kisiler (AdSoyad, CepTelefonu, KanGurubu, Memleket) VALUES ('Deniz Işık', "
                "'0555 111 22 33', '0 Rh+', 'Seker Sokak')");
        rawExec("INSERT INTO Linkler (Baslik, Link, Notlar) VALUES ('a_b linki', 'https://ab.example', ''), "
                "('Işıklar Derneği', '', '')");
        rawExec("INSERT INTO Parolalar (UyelikYeri, KullaniciAdi, Parola) VALUES ('Banka Şubesi', 'ali', 'gizli123')");
        addEntries(u"Gelir 1.1.2024 10 Lira - - İSTANBUL_GIDA; Gelir 2.3.2024 1250.50 Dolar 30 - İSTANBUL_GIDA"_s);
        rawExec(
            "INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, IslemCesidi, "
            "IslemNotu) VALUES ('Gider', '1', '3', '2024', 'IŞIK YAPI', '75.00', 'Lira', 'Yemek', 'Ali''nin yemeği')");
        rawExec("UPDATE GelirGider SET FaturaNo = 'FA-77' WHERE IslemTutari = '1250.50'");
        QStringList found;
        for (const analysis::SearchHit &hit : core::Search().find(text).hits)
            found << hit.summary;
        QTEST(found.join(u'|'), "found");
    }

    void searchCountsPastWhatItShows()
    {
        addEntries(u"Gelir 1.1.2024 1 Lira -; Gelir 2.1.2024 2 Lira -; Gelir 3.1.2024 3 Lira -"_s);
        const analysis::SearchResults results = core::Search().find(u"şahin"_s, 2);
        QCOMPARE(results.found[size_t(analysis::RecordKind::Entry)], 3);
        QCOMPARE(results.hits.size(), size_t(2));
        QCOMPARE(results.hits.front().summary, u"03.01.2024 · Gelir · Şahin Gıda · 3,00 ₺"_s);
    }
};

QTEST_GUILESS_MAIN(TestCoreAnalysis)
#include "tst_core_analysis.moc"
