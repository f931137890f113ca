#include "DialogTest.h"
#include "DialogWidgets.h"

#include "data/Database.h"
#include "data/Statements.h"
#include "ledger/GGTurEkle.h"
#include "ledger/GelirGiderEkle.h"
#include "ledger/HareketTablosu.h"
#include "ledger/Money.h"
#include "ledger/ProcessValues.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QComboBox *combo(QWidget &dialog, const char *name)
{
    return static_cast<QComboBox *>(widget(dialog, name));
}

QStringList items(QWidget &dialog, const char *name)
{
    QStringList texts;
    for (int i = 0; i < combo(dialog, name)->count(); ++i)
        texts << combo(dialog, name)->itemText(i);
    return texts;
}

void addCompany(const QString &name, const QString &relation)
{
    db::Connection c;
    c.execute(sql::kFirmaEkle, {name, u""_s, u""_s, u""_s, u""_s, u""_s, relation, u""_s});
}

void addCategory(const QString &kind, const QString &name)
{
    db::Connection c;
    c.execute(db::format(sql::kKategoriEkle, kind, name));
}

struct Entry
{
    QString kind, day, month, year, source, amount, currency = u"Lira"_s, invoice = u"0"_s, content = u""_s,
                                                    rate = u"0"_s;
};

void addEntry(const Entry &e)
{
    db::Connection c;
    c.execute(db::format(sql::kGelirGiderEkle, e.kind, e.day, e.month, e.year, e.source, e.amount, e.currency,
                         e.rate, u"20"_s, u"Satış"_s, e.content, u"not"_s, e.invoice));
}

// The given columns of the rows a query returns, one "a|b|c" text per row.
QStringList rows(const QString &query, std::initializer_list<const char *> columns)
{
    QStringList values;
    db::Connection c;
    for (db::Rows r = c.query(query); !r.atEnd(); r.moveNext()) {
        QStringList row;
        for (const char *column : columns)
            row << r.text(column);
        values << row.join(u'|');
    }
    return values;
}

QStringList stored(std::initializer_list<const char *> columns)
{
    return rows(u"SELECT * FROM GelirGider ORDER BY RowId"_s, columns);
}

QStringList categories(const QString &kind)
{
    return rows(db::format("SELECT KalemAdi FROM GGKategori WHERE IslemTuru = '%s' ORDER BY RowId", kind),
                {"KalemAdi"});
}

// Sets the kind, month and year filters of the entries table by index (0 is "Tümü") and clicks a button.
void filterAndClick(QWidget &dialog, int kind, int month, int year, const char *button)
{
    combo(dialog, "turFiltresi")->setCurrentIndex(kind);
    combo(dialog, "ayFiltresi")->setCurrentIndex(month);
    combo(dialog, "yilFiltresi")->setCurrentIndex(year);
    click(dialog, button);
}

const QString kAmountMessage = u"İşlem Tutarı geçerli bir sayı olmalıdır. \r\n"
                               u"Lütfen küsüratlı değerleri .(Nokta) ile ayırın, ,(Virgül Kullanmayın)"_s;
const QString kRateMessage = u"Geçerli Kur geçerli bir sayı olmalıdır. \r\n"
                             u"Dolar ve Euro için kur 0'dan büyük olmalıdır. Küsüratlı değerleri .(Nokta) ile "
                             u"ayırın (en çok 6 basamak), ,(Virgül Kullanmayın)"_s;
const QString kVatMessage = u"KDV Oran % 0 ile 100 arasında bir tam sayı olmalıdır."_s;

} // namespace

class TestLedger : public DialogTest
{
    Q_OBJECT

    bool enabled(QWidget &dialog, const char *name) { return widget(dialog, name)->isEnabled(); }

private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    void categoriesOfEachKindAreKeptApart()
    {
        GGTurEkle dialog;
        QVERIFY(!enabled(dialog, "gelirSil") && !enabled(dialog, "giderSil"));
        click(dialog, "giderEkle"); // nothing typed
        expectBox(u"Gider kategorisi boş bırakılamaz, lütfen bir kategori yazıp tekrar kaydetmeyi deneyin."_s,
                  Desktop::Icon::Error, u"HATA - Gider Kategorisi"_s);
        setText(dialog, "yeniGelir", u"Satış"_s);
        setText(dialog, "yeniGider", u"Kira"_s);
        click(dialog, "giderEkle");
        expectBox(u"Gider kategorisinde ekleme başarıyla tamamlandı."_s, Desktop::Icon::Information,
                  u"Gider Kategorisi"_s);
        QVERIFY(textOf(dialog, "yeniGelir").isEmpty() && textOf(dialog, "yeniGider").isEmpty());
        for (const QString &name : {u"Ali'nin Payı"_s, u"  "_s, u"Ali'nin Payı"_s}) {
            setText(dialog, "yeniGelir", name);
            click(dialog, "gelirEkle");
            m_desktop->takeBox();
        }
        QCOMPARE(categories(u"Gider"_s), QStringList{u"Kira"_s});
        QCOMPARE(categories(u"Gelir"_s), (QStringList{u"Ali'nin Payı"_s, u"  "_s, u"Ali'nin Payı"_s}));
        QCOMPARE(listed(dialog, "giderListesi"), QStringList{u"Kira"_s});
        // Taking the focus makes an item current, not chosen: nothing may be deleted unseen.
        QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(widget(dialog, "gelirListesi"), &focusIn);
        QVERIFY(!enabled(dialog, "gelirSil") && !enabled(dialog, "giderSil"));

        // The delete button follows the list clicked last.
        clickRow(dialog, "gelirListesi", 2);
        clickRow(dialog, "giderListesi", 0);
        QVERIFY(!enabled(dialog, "gelirSil") && enabled(dialog, "giderSil"));
        clickRow(dialog, "gelirListesi", 2);
        QVERIFY(enabled(dialog, "gelirSil") && !enabled(dialog, "giderSil"));

        // "No" keeps the category and the button; of two of the same name only the selected row goes.
        for (const auto answer : {Desktop::Answer::No, Desktop::Answer::Yes}) {
            m_desktop->answer(answer);
            click(dialog, "gelirSil");
            expectBox(u"Bu kategoriyi silmek istediğinize emin misiniz?"_s, Desktop::Icon::Question);
        }
        expectBox(u"Seçili kategori başarıyla silindi."_s, Desktop::Icon::Information);
        QCOMPARE(categories(u"Gelir"_s), (QStringList{u"Ali'nin Payı"_s, u"  "_s}));
        QVERIFY(!enabled(dialog, "gelirSil") && !enabled(dialog, "giderSil"));

        // A delete only ever takes a row of its own list's kind.
        clickRow(dialog, "gelirListesi", 0);
        rawExec("UPDATE GGKategori SET IslemTuru = 'Gider' WHERE KalemAdi = 'Ali''nin Payı'");
        m_desktop->answer(Desktop::Answer::Yes);
        click(dialog, "gelirSil");
        m_desktop->takeBox();
        expectBox(u"Bu kategori artık kayıtlı değil; başka bir yerden silinmiş olabilir. Liste yenilendi."_s,
                  Desktop::Icon::Error);
        QCOMPARE(categories(u"Gider"_s), (QStringList{u"Kira"_s, u"Ali'nin Payı"_s}));
        QCOMPARE(listed(dialog, "gelirListesi"), QStringList{u"  "_s});
    }

    void theKindChoosesCompaniesCategoriesAndInvoiceNumber()
    {
        addCompany(u"Zeytin Ltd"_s, u"Müşteri"_s);
        addCompany(u"Çınar Yapı"_s, u"Tedarikçi & Müşteri"_s);
        addCompany(u"Cam Dünyası"_s, u"Tedarikçi"_s);
        addCompany(u"Işık Elektrik"_s, u"Müşteri"_s);
        addCategory(u"Gelir"_s, u"Satış"_s);
        addCategory(u"Gider"_s, u"Kira"_s);
        addCategory(u"Gider"_s, u"Elektrik"_s);

        g_strIslemTuru = u"Gelir"_s;
        GelirGiderEkle income;
        QCOMPARE(items(income, "islemTuru"), QStringList{u"Gelir"_s});
        QVERIFY(!enabled(income, "islemTuru") && !enabled(income, "faturaNo"));
        QCOMPARE(items(income, "kaynak"), (QStringList{u"Çınar Yapı"_s, u"Işık Elektrik"_s, u"Zeytin Ltd"_s}));
        QCOMPARE(items(income, "kategori"), QStringList{u"Satış"_s});
        QCOMPARE(textOf(income, "gun") + u'.' + textOf(income, "ay") + u'.' + textOf(income, "yil"),
                 QDate::currentDate().toString(u"d.M.yyyy"_s));

        g_strIslemTuru = u"Gider"_s;
        GelirGiderEkle expense;
        QVERIFY(enabled(expense, "faturaNo"));
        QCOMPARE(items(expense, "kaynak"), (QStringList{u"Cam Dünyası"_s, u"Çınar Yapı"_s}));
        QCOMPARE(items(expense, "kategori"), (QStringList{u"Kira"_s, u"Elektrik"_s}));
    }

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
        QTest::newRow("largest below zero") << u"-9999999999999.99"_s << u"-9999999999999.99"_s
                                            << u"-9999999999999.990000"_s;
        for (const char *refused : {"12.345", "0.004", "-0.001", "12.3456789", "99999999999999.99", "10000000000000",
                                    "0", "0.00", "12,50", "12abc", "abc", "", "1e5", "--5", "1.2.3", "."})
            QTest::newRow(refused) << QString::fromUtf8(refused) << QString() << QString();
    }
    void typedAmounts()
    {
        QFETCH(QString, typed);
        QFETCH(QString, added);
        QFETCH(QString, edited);
        const auto amount = ledger::parseAmount(typed);
        QCOMPARE(amount ? ledger::amountText(*amount, 2) : QString(), added);
        QCOMPARE(amount ? ledger::amountText(*amount, 6) : QString(), edited);
    }

    // Income and expense of a period from its stored entries, "kind|amount|currency|rate".
    void periodTotals_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("totals"); // income, expense and the result line; "-" when unreadable
        QTest::addColumn<int>("leftOut");
        QStringList large{u"Gelir|9999999999999.99|Lira|0"_s};
        for (int i = 0; i < 10; ++i)
            large << u"Gelir|0.03|Lira|0"_s; // a double sum comes to ...0.28
        QTest::newRow("large amount") << large << u"10000000000000.29 0.00 Toplam KAR: 10000000000000.29"_s << 0;
        QTest::newRow("both forms, older digits")
            << QStringList{u"Gelir|1250.50|Lira|0"_s, u"Gelir|249.500000|Lira|"_s, u"Gider|12.345679|Lira|0"_s,
                           u"Gider|988|Lira|abc"_s}
            << u"1500.00 1000.35 Toplam KAR: 499.65"_s << 0;
        QTest::newRow("Dolar and Euro by their rate")
            << QStringList{u"Gelir|1000|Lira|0"_s, u"Gider|20.00|Dolar|35.2"_s, u"Gider|10.000000|Euro| 38.123456 "_s}
            << u"1000.00 1085.23 Toplam ZARAR: 85.23"_s << 0;
        QTest::newRow("rounded once, away from zero")
            << QStringList{u"Gelir|0.01|Dolar|35.55"_s, u"Gelir|0.01|Dolar|35.55"_s, u"Gider|-0.01|Euro|35.55"_s}
            << u"0.72 -0.36 Toplam KAR: 1.08"_s << 0;
        QTest::newRow("no usable rate")
            << QStringList{u"Gelir|100|Lira|0"_s, u"Gider|20|Dolar|0"_s, u"Gider|5|Euro|"_s, u"Gider|3|Dolar|35,2"_s,
                           u"Gider|1|Euro|-2"_s, u"Gider|4|Sterlin|40"_s, u"Gider|6|Dolar|35.1234567"_s}
            << u"100.00 0.00 Toplam KAR: 100.00"_s << 6;
        QTest::newRow("other kinds, equal sums")
            << QStringList{u"Gelir|7|Lira|0"_s, u"Gider|7|Lira|0"_s, u"Transfer|9|Lira|0"_s}
            << u"7.00 7.00 Toplam ZARAR: 0.00"_s << 0;
        QTest::newRow("unreadable amount") << QStringList{u"Gelir|5|Lira|0"_s, u"Gelir|12,50|Lira|0"_s} << u"-"_s << 0;
    }
    void periodTotals()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, totals);
        QFETCH(int, leftOut);
        ledger::PeriodTotals sums;
        for (const QString &entry : entries) {
            const QStringList f = entry.split(u'|');
            if (!sums.add(f[0], f[1], f[2], f[3])) {
                QCOMPARE(u"-"_s, totals);
                return;
            }
        }
        QCOMPARE(ledger::amountText(sums.income) + u' ' + ledger::amountText(sums.expense) + u' ' + sums.resultText(),
                 totals);
        QCOMPARE(sums.leftOut, leftOut);
    }

    // The add dialog stores an entry only when its amount, exchange rate and VAT rate are fit to store.
    void addChecksTheNumbers_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("currency");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("vat");
        QTest::addColumn<QString>("outcome"); // the stored amount, or the message
        QTest::newRow("lira") << u"1250"_s << u"Lira"_s << u"0"_s << u"20"_s << u"1250.00"_s;
        QTest::newRow("more decimals") << u"12.345"_s << u"Lira"_s << u"0"_s << u"20"_s << kAmountMessage;
        QTest::newRow("lira, no rate, no VAT") << u"5"_s << u"Lira"_s << u""_s << u""_s << u"5.00"_s;
        QTest::newRow("lira, rate no number") << u"5"_s << u"Lira"_s << u"abc"_s << u"20"_s << kRateMessage;
        QTest::newRow("dolar at 0") << u"20"_s << u"Dolar"_s << u"0"_s << u"20"_s << kRateMessage;
        QTest::newRow("euro, comma") << u"20"_s << u"Euro"_s << u"35,2"_s << u"20"_s << kRateMessage;
        QTest::newRow("euro") << u"20"_s << u"Euro"_s << u"35.2"_s << u"0"_s << u"20.00"_s;
        QTest::newRow("VAT over 100") << u"5"_s << u"Lira"_s << u"0"_s << u"101"_s << kVatMessage;
        QTest::newRow("VAT not whole") << u"5"_s << u"Lira"_s << u"0"_s << u"8.5"_s << kVatMessage;
    }
    void addChecksTheNumbers()
    {
        QFETCH(QString, amount);
        QFETCH(QString, currency);
        QFETCH(QString, rate);
        QFETCH(QString, vat);
        QFETCH(QString, outcome);
        g_strIslemTuru = u"Gider"_s;
        GelirGiderEkle dialog;
        setText(dialog, "tutar", amount);
        combo(dialog, "birim")->setCurrentText(currency);
        setText(dialog, "kur", rate);
        setText(dialog, "kdv", vat);
        click(dialog, "kaydet");
        const bool refused = outcome.contains(u' ');
        if (!refused)
            expectBox(u"Gider işlemi kaydınız başarı ile gerçekleştirilmiştir"_s, Desktop::Icon::Information,
                      u"Gider Ekleme İşlemi"_s);
        else
            expectBox(outcome, outcome == kAmountMessage ? Desktop::Icon::None : Desktop::Icon::Error);
        QCOMPARE(stored({"IslemTutari", "TutarBirimi", "GecerliKur", "KdvOrani"}),
                 refused ? QStringList() : QStringList(QStringList{outcome, currency, rate, vat}.join(u'|')));
        QCOMPARE(dialog.result(), int(refused ? QDialog::Rejected : QDialog::Accepted));
    }

    void keepOpenReadiesTheNextEntryAndFailuresLoseNothing()
    {
        addCompany(u"Ali'nin Kırtasiyesi"_s, u"Tedarikçi"_s);
        addCompany(u"Bora Ltd"_s, u"Tedarikçi"_s);
        addCategory(u"Gider"_s, u"Kira"_s);
        addCategory(u"Gider"_s, u"Ofis'in Gideri"_s);
        g_strIslemTuru = u"Gider"_s;
        GelirGiderEkle dialog;
        static_cast<QCheckBox *>(widget(dialog, "keepOpen"))->setChecked(true);
        for (auto [name, index] :
             {std::pair{"gun", 30}, {"ay", 1}, {"yil", 4}, {"kaynak", 1}, {"birim", 2}, {"kategori", 1}})
            combo(dialog, name)->setCurrentIndex(index);
        for (auto [name, text] : {std::pair{"tutar", u"99.9"_s}, {"kur", u"35.2"_s}, {"kdv", u"10"_s},
                                  {"faturaNo", u"A'12"_s}, {"icerik", u"Kâğıt 'A4'\nikinci satır"_s},
                                  {"islemNotu", u"acil"_s}})
            setText(dialog, name, text);
        click(dialog, "kaydet");
        m_desktop->takeBox();
        QCOMPARE(stored({"Gun", "Ay", "Yil", "IslemKaynagi", "TutarBirimi", "GecerliKur", "KdvOrani", "IslemCesidi",
                         "IslemIcerigi", "IslemNotu", "FaturaNo", "IslemTuru", "IslemTutari"}),
                 QStringList{u"31|2|2024|Bora Ltd|Euro|35.2|10|Ofis'in Gideri|Kâğıt 'A4'\nikinci satır|acil|A'12|"
                             u"Gider|99.90"_s});
        QCOMPARE(dialog.result(), int(QDialog::Rejected)); // still open
        for (auto [name, text] : {std::pair{"tutar", "0"}, {"kur", "0"}, {"kdv", "20"}, {"faturaNo", "0"},
                                  {"icerik", ""}, {"islemNotu", ""}, {"gun", "31"}, {"ay", "2"}, {"yil", "2024"},
                                  {"kaynak", "Bora Ltd"}, {"birim", "Euro"}, {"kategori", "Ofis'in Gideri"}})
            QCOMPARE(textOf(dialog, name), QString::fromUtf8(text));

        // A failed insert leaves the dialog open with everything typed.
        setText(dialog, "tutar", u"5"_s);
        setText(dialog, "kur", u"38.1"_s);
        setText(dialog, "icerik", u"kaybolmasın"_s);
        rawExec("DROP TABLE GelirGider");
        click(dialog, "kaydet");
        QVERIFY(m_desktop->takeBox().text.contains(u"GelirGider"_s));
        QVERIFY(textOf(dialog, "tutar") == u"5"_s && textOf(dialog, "icerik") == u"kaybolmasın"_s);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void listingFollowsTheFilters()
    {
        addEntry({u"Gelir"_s, u"5"_s, u"3"_s, u"2024"_s, u"Mart Geliri"_s, u"10.00"_s});
        addEntry({u"Gider"_s, u"6"_s, u"3"_s, u"2024"_s, u"Mart Gideri"_s, u"4.00"_s});
        addEntry({u"Gelir"_s, u"5"_s, u"13"_s, u"2024"_s, u"Ay 13"_s, u"1.00"_s});
        addEntry({u"Gelir"_s, u"5"_s, u"3"_s, u"2025"_s, u"Mart 2025"_s, u"1.00"_s});
        HareketTablosu dialog;
        QVERIFY(!enabled(dialog, "kaydet") && !enabled(dialog, "sil"));

        const auto list = [&](int kind, int month, int year) {
            filterAndClick(dialog, kind, month, year, "listele");
            return listed(dialog, "hareketListesi");
        };
        QCOMPARE(list(0, 0, 0).size(), 4);
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 4 adet hareket bulundu."_s);
        QCOMPARE(list(0, 3, 5), (QStringList{u"Mart Geliri"_s, u"Mart Gideri"_s}));
        QCOMPARE(list(1, 3, 5), QStringList{u"Mart Geliri"_s});
        QCOMPARE(list(2, 0, 0), QStringList{u"Mart Gideri"_s});
        QCOMPARE(list(1, 0, 6), QStringList{u"Mart 2025"_s});
        QCOMPARE(dialog.selectedRowId(), 4);

        // Nothing found: the entry on show stays.
        QVERIFY(list(2, 3, 6).isEmpty());
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 0 adet hareket bulundu."_s);
        QCOMPARE(textOf(dialog, "kaynak"), u"Mart 2025"_s);

        // "Hesapla" needs a year.
        combo(dialog, "yilFiltresi")->setCurrentIndex(0);
        QVERIFY(!enabled(dialog, "hesapla"));
        combo(dialog, "yilFiltresi")->setCurrentIndex(3);
        QVERIFY(enabled(dialog, "hesapla"));
    }

    void detailsShowTheEntryAndEditsWriteItBack()
    {
        addEntry({u"Gelir"_s, u"9"_s, u"11"_s, u"2024"_s, u"Çınar Yapı"_s, u"1250.00"_s, u"Dolar"_s});
        addEntry({u"Gider"_s, u"31"_s, u"12"_s, u"2051"_s, u"Bora Ltd"_s, u"10.00"_s, u"Sterlin"_s, u"F-7"_s,
                  u"satır 1\nsatır 2"_s});
        HareketTablosu dialog;
        filterAndClick(dialog, 0, 0, 0, "listele");
        for (auto [name, text] : {std::pair{"hareketTuru", "Gelir"}, {"gun", "9"}, {"ay", "11"}, {"yil", "2024"},
                                  {"kaynak", "Çınar Yapı"}, {"tutar", "1250.00"}, {"birim", "Dolar"},
                                  {"kategori", "Satış"}, {"islemNotu", "not"}})
            QCOMPARE(textOf(dialog, name), QString::fromUtf8(text));
        QVERIFY(!enabled(dialog, "faturaNo") && enabled(dialog, "kaydet") && enabled(dialog, "sil"));

        // Year 2051 and "Sterlin" are in no list: those combos keep what they showed.
        clickRow(dialog, "hareketListesi", 1);
        for (auto [name, text] : {std::pair{"hareketTuru", "Gider"}, {"gun", "31"}, {"ay", "12"}, {"yil", "2024"},
                                  {"birim", "Dolar"}, {"faturaNo", "F-7"}, {"icerik", "satır 1\nsatır 2"}})
            QCOMPARE(textOf(dialog, name), QString::fromUtf8(text));
        QVERIFY(enabled(dialog, "faturaNo"));

        // Refused, never stored as 12, 12.345679 or 0.
        for (const QString &amount : {u"12,5"_s, u"12.3456789"_s, u"0.004"_s}) {
            setText(dialog, "tutar", amount);
            click(dialog, "kaydet");
            expectBox(kAmountMessage, Desktop::Icon::None);
        }
        setText(dialog, "tutar", u"12.5"_s);
        setText(dialog, "kdv", u"%20"_s);
        click(dialog, "kaydet");
        expectBox(kVatMessage, Desktop::Icon::Error);
        setText(dialog, "kdv", u"18"_s);
        setText(dialog, "islemNotu", u"Ali'nin notu"_s);
        click(dialog, "kaydet");
        expectBox(u"Hareket bilgileri başarıyla güncellendi."_s, Desktop::Icon::Information);
        // Only what the combos show of this entry, or what the user picks, is written over it.
        QCOMPARE(stored({"IslemTutari", "IslemNotu", "Yil", "TutarBirimi"}),
                 (QStringList{u"1250.00|not|2024|Dolar"_s, u"12.500000|Ali'nin notu|2051|Sterlin"_s}));
        QVERIFY(!enabled(dialog, "kaydet") && !enabled(dialog, "sil"));
        clickRow(dialog, "hareketListesi", 1); // the entry on show, chosen again
        QVERIFY(enabled(dialog, "kaydet") && enabled(dialog, "sil"));
        combo(dialog, "birim")->activated(2);
        click(dialog, "kaydet"); // a Dolar entry needs a rate above 0
        expectBox(kRateMessage, Desktop::Icon::Error);
        setText(dialog, "kur", u"35.2"_s);
        setText(dialog, "tutar", u"9999999999999.99"_s);
        click(dialog, "kaydet");
        m_desktop->takeBox();
        QCOMPARE(stored({"Yil", "TutarBirimi", "GecerliKur", "IslemTutari"}).last(),
                 u"2051|Dolar|35.2|9999999999999.990000"_s); // the shown item, picked; the amount exact

        // Gone meanwhile: said so, not reported saved.
        clickRow(dialog, "hareketListesi", 1);
        rawExec("DELETE FROM GelirGider WHERE RowId = 2");
        click(dialog, "kaydet");
        expectBox(u"Bu hareket artık kayıtlı değil; başka bir yerden silinmiş olabilir. Liste yenilendi."_s,
                  Desktop::Icon::Error);
        QCOMPARE(listed(dialog, "hareketListesi"), QStringList{u"Çınar Yapı"_s});
    }

    void storedValuesLongerThanTheirBoxAreKeptWhole()
    {
        const QString invoice(10000, u'F');
        addEntry({u"Gider"_s, u"1"_s, u"1"_s, u"2024"_s, u"Bora Ltd"_s, u"10.00"_s, u"Lira"_s, invoice});
        addEntry({u"Gider"_s, u"2"_s, u"1"_s, u"2024"_s, u"Cam Ltd"_s, u"10.00"_s});
        HareketTablosu dialog;
        filterAndClick(dialog, 0, 0, 0, "listele");
        QCOMPARE(textOf(dialog, "faturaNo"), invoice);
        click(dialog, "kaydet");
        expectBox(u"Hareket bilgileri başarıyla güncellendi."_s, Desktop::Icon::Information);
        QCOMPARE(stored({"FaturaNo"}).first(), invoice);

        // The limit still stops typing.
        clickRow(dialog, "hareketListesi", 1);
        auto *edit = static_cast<QLineEdit *>(widget(dialog, "faturaNo"));
        edit->selectAll();
        QTest::keyClicks(edit, QString(101, u'7'));
        QCOMPARE(edit->text(), QString(100, u'7'));
    }

    void deletingTheLastEntryEmptiesTheList()
    {
        addEntry({u"Gider"_s, u"1"_s, u"1"_s, u"2024"_s, u"Bora Ltd"_s, u"10.00"_s});
        HareketTablosu dialog;
        filterAndClick(dialog, 0, 0, 0, "listele");
        for (const auto answer : {Desktop::Answer::No, Desktop::Answer::Yes}) {
            m_desktop->answer(answer);
            click(dialog, "sil");
            expectBox(u"Bu hareketi silmek istediğinize emin misiniz?"_s, Desktop::Icon::Question);
        }
        expectBox(u"Seçili hareket başarıyla silindi."_s, Desktop::Icon::Information);
        QVERIFY(stored({"IslemKaynagi"}).isEmpty() && listed(dialog, "hareketListesi").isEmpty());
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 0 adet hareket bulundu."_s);
        QVERIFY(!enabled(dialog, "kaydet") && !enabled(dialog, "sil"));
    }

    void totalsOfAMonthOrAYear()
    {
        addEntry({u"Gelir"_s, u"1"_s, u"3"_s, u"2024"_s, u"A"_s, u"1250.50"_s});
        addEntry({u"Gelir"_s, u"2"_s, u"3"_s, u"2024"_s, u"B"_s, u"249.500000"_s});
        addEntry({u"Gider"_s, u"3"_s, u"3"_s, u"2024"_s, u"C"_s, u"1000.25"_s});
        addEntry({u"Gider"_s, u"4"_s, u"4"_s, u"2024"_s, u"D"_s, u"1000"_s});
        addEntry({u"Gider"_s, u"4"_s, u"3"_s, u"2025"_s, u"E"_s, u"7"_s});
        HareketTablosu dialog;
        const auto totals = [&](int kind, int month, int year) {
            filterAndClick(dialog, kind, month, year, "hesapla");
            return textOf(dialog, "toplamGelir") + u' ' + textOf(dialog, "toplamGider") + u' ' +
                   textOf(dialog, "karZarar");
        };
        QCOMPARE(totals(0, 3, 5), u"1500.00 1000.25 Toplam KAR: 499.75"_s);
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 3 adet hareket bulundu."_s); // listed first
        // The kind filter narrows the list, not the sums.
        QCOMPARE(totals(1, 3, 5), u"1500.00 1000.25 Toplam KAR: 499.75"_s);
        QCOMPARE(listed(dialog, "hareketListesi").size(), 2);
        QCOMPARE(totals(0, 0, 5), u"1500.00 2000.25 Toplam ZARAR: 500.25"_s);
        QCOMPARE(totals(0, 5, 5), u"0.00 0.00 Toplam ZARAR: 0.00"_s);

        // Dolar and Euro count in lira by their rate; without one they are left out, and said so.
        addEntry({u"Gider"_s, u"5"_s, u"3"_s, u"2024"_s, u"F"_s, u"20.00"_s, u"Dolar"_s, u"0"_s, u""_s, u"35.2"_s});
        addEntry({u"Gider"_s, u"6"_s, u"3"_s, u"2024"_s, u"G"_s, u"20.00"_s, u"Dolar"_s, u"0"_s, u""_s, u"0"_s});
        addEntry({u"Gider"_s, u"7"_s, u"3"_s, u"2024"_s, u"H"_s, u"9.00"_s, u"Euro"_s, u"0"_s, u""_s, u""_s});
        QCOMPARE(totals(0, 3, 5), u"1500.00 1704.25 Toplam ZARAR: 204.25"_s);
        QCOMPARE(textOf(dialog, "kurEksik"), u"2 hareket kur bilgisi olmadığı için toplama katılmadı."_s);
        QVERIFY(!widget(dialog, "kurEksik")->isHidden());
        QCOMPARE(totals(0, 0, 5), u"1500.00 2704.25 Toplam ZARAR: 1204.25"_s);
        QCOMPARE(totals(0, 4, 5), u"0.00 1000.00 Toplam ZARAR: 1000.00"_s);
        QVERIFY(widget(dialog, "kurEksik")->isHidden());

        // A stored amount that is no number stops the sums, and the last ones go.
        rawExec("UPDATE GelirGider SET IslemTutari = '12,50' WHERE IslemKaynagi = 'E'");
        QCOMPARE(totals(0, 3, 6), u"  "_s);
        QVERIFY(m_desktop->takeBox().text.contains(u"IslemTutari"_s));
    }

    void monthlyReportNeedsAMonthAndAYear()
    {
        addEntry({u"Gelir"_s, u"1"_s, u"2"_s, u"2025"_s, u"A"_s, u"10.00"_s});
        HareketTablosu dialog;
        filterAndClick(dialog, 0, 0, 6, "aylikRapor");
        expectBox(u"Raporlama Yılın tüm Ayları veya tüm Yılları için yapılamaz, lütfen Ay ve Yıl bölümünden "
                  u"raporlamak istediğiniz Yıl ve Ay seçeneğini seçin."_s,
                  Desktop::Icon::Error, u"Rapor Hatası"_s);
        QVERIFY(m_desktop->modalDialogs.isEmpty());

        filterAndClick(dialog, 0, 2, 6, "aylikRapor");
        QCOMPARE(m_desktop->modalDialogs, QStringList{u"Rapor"_s});
        QCOMPARE(textOf(dialog, "toplamGelir"), u"10.00"_s); // totalled first
        QCOMPARE(g_strReportBanner,
                 u"==== NORVA REZADO ==== ŞUBAT 2025 --- AYLIK GELİR VE GİDER RAPORU --- =========="_s);
    }
};

QTEST_MAIN(TestLedger)
#include "tst_ledger.moc"
