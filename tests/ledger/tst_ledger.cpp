#include "DialogTest.h"
#include "DialogWidgets.h"

#include "data/CategoryStore.h"
#include "data/EntryStore.h"
#include "ledger/GGTurEkle.h"
#include "ledger/GelirGiderEkle.h"
#include "ledger/HareketTablosu.h"
#include "ledger/ProcessValues.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QTextEdit>
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
    c.execute("INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES (?, ?)", {name, relation});
}

void addCategory(const QString &kind, const QString &name)
{
    db::Connection c;
    CategoryStore(c).add({-1, kind, name});
}

// An entry as the add dialog would store it, VAT rate, category and note fixed.
struct NewEntry
{
    QString kind, day, month, year, source, amount, currency = u"Lira"_s, invoice = u"0"_s, content = u""_s,
                                                    rate = u"0"_s;
};

void addEntry(const NewEntry &e)
{
    db::Connection c;
    EntryStore(c).add({-1, e.kind, e.day, e.month, e.year, e.source, e.amount, e.currency, e.rate, u"20"_s, u"Satış"_s,
                       e.content, u"not"_s, e.invoice});
}

// Entries A to I (RowIds 1 to 9) of a few months, for the listing and the totals.
void addPeriodEntries()
{
    addEntry({u"Gelir"_s, u"1"_s, u"3"_s, u"2024"_s, u"A"_s, u"1250.50"_s});
    addEntry({u"Gelir"_s, u"2"_s, u"3"_s, u"2024"_s, u"B"_s, u"249.500000"_s});
    addEntry({u"Gider"_s, u"3"_s, u"3"_s, u"2024"_s, u"C"_s, u"1000.25"_s});
    addEntry({u"Gider"_s, u"4"_s, u"4"_s, u"2024"_s, u"D"_s, u"1000"_s});
    addEntry({u"Gider"_s, u"4"_s, u"3"_s, u"2025"_s, u"E"_s, u"12,50"_s});
    addEntry({u"Gider"_s, u"5"_s, u"6"_s, u"2024"_s, u"F"_s, u"20.00"_s, u"Dolar"_s, u"0"_s, u""_s, u"35.2"_s});
    addEntry({u"Gider"_s, u"6"_s, u"6"_s, u"2024"_s, u"G"_s, u"20.00"_s, u"Dolar"_s, u"0"_s, u""_s, u"0"_s});
    addEntry({u"Gider"_s, u"7"_s, u"6"_s, u"2024"_s, u"H"_s, u"9.00"_s, u"Euro"_s, u"0"_s, u""_s, u""_s});
    addEntry({u"Gelir"_s, u"5"_s, u"13"_s, u"2024"_s, u"I"_s, u"1.00"_s}); // month 13 is no March
}

// The given columns of the rows a query returns, one "a|b|c" text per row.
QStringList rows(const QString &query, const db::Values &values, std::initializer_list<const char *> columns)
{
    QStringList found;
    db::Connection c;
    for (db::Rows r = c.query(query, values); !r.atEnd(); r.moveNext()) {
        QStringList row;
        for (const char *column : columns)
            row << r.text(column);
        found << row.join(u'|');
    }
    return found;
}

QStringList stored(std::initializer_list<const char *> columns)
{
    return rows(u"SELECT * FROM GelirGider ORDER BY RowId"_s, {}, columns);
}

QStringList categories(const QString &kind)
{
    return rows(u"SELECT KalemAdi FROM GGKategori WHERE IslemTuru = ? ORDER BY RowId"_s, {kind}, {"KalemAdi"});
}

// Chooses a filter's item by its text.
void choose(QWidget &dialog, const char *name, const QString &text)
{
    QComboBox *box = combo(dialog, name);
    const int index = box->findText(text, Qt::MatchExactly);
    if (index < 0)
        qFatal("no item %s in %s", qPrintable(text), name);
    box->setCurrentIndex(index);
}

const QString kTumu = u"Tümü"_s;

void chooseKind(QWidget &dialog, const QString &kind)
{
    choose(dialog, "turFiltresi", kind);
}
void chooseMonth(QWidget &dialog, int month) // 0: "Tümü"
{
    choose(dialog, "ayFiltresi", month ? QString::number(month) : kTumu);
}
void chooseYear(QWidget &dialog, int year) // 0: "Tümü"
{
    choose(dialog, "yilFiltresi", year ? QString::number(year) : kTumu);
}

// Sets the kind, month and year filters of the entries table and clicks a button.
void filterAndClick(QWidget &dialog, const QString &kind, int month, int year, const char *button)
{
    chooseKind(dialog, kind);
    chooseMonth(dialog, month);
    chooseYear(dialog, year);
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

    void theKindChoosesCompaniesCategoriesAndInvoiceNumber_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QStringList>("categories");
        QTest::addColumn<bool>("invoice");
        QTest::newRow("income") << u"Gelir"_s << QStringList{u"Çınar Yapı"_s, u"Işık Elektrik"_s, u"Zeytin Ltd"_s}
                                << QStringList{u"Satış"_s} << false;
        QTest::newRow("expense") << u"Gider"_s << QStringList{u"Cam Dünyası"_s, u"Çınar Yapı"_s}
                                 << QStringList{u"Kira"_s, u"Elektrik"_s} << true;
    }
    void theKindChoosesCompaniesCategoriesAndInvoiceNumber()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, sources);
        QFETCH(QStringList, categories);
        QFETCH(bool, invoice);
        addCompany(u"Zeytin Ltd"_s, u"Müşteri"_s);
        addCompany(u"Çınar Yapı"_s, u"Tedarikçi & Müşteri"_s);
        addCompany(u"Cam Dünyası"_s, u"Tedarikçi"_s);
        addCompany(u"Işık Elektrik"_s, u"Müşteri"_s);
        addCategory(u"Gelir"_s, u"Satış"_s);
        addCategory(u"Gider"_s, u"Kira"_s);
        addCategory(u"Gider"_s, u"Elektrik"_s);

        g_strIslemTuru = kind;
        GelirGiderEkle dialog;
        QCOMPARE(items(dialog, "islemTuru"), QStringList{kind});
        QVERIFY(!enabled(dialog, "islemTuru"));
        QCOMPARE(enabled(dialog, "faturaNo"), invoice);
        QCOMPARE(items(dialog, "kaynak"), sources);
        QCOMPARE(items(dialog, "kategori"), categories);
        QCOMPARE(textOf(dialog, "gun") + u'.' + textOf(dialog, "ay") + u'.' + textOf(dialog, "yil"),
                 QDate::currentDate().toString(u"d.M.yyyy"_s));
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
        for (auto [name, text] : {std::pair{"tutar", u"99.9"_s},
                                  {"kur", u"35.2"_s},
                                  {"kdv", u"10"_s},
                                  {"faturaNo", u"A'12"_s},
                                  {"icerik", u"Kâğıt 'A4'\nikinci satır"_s},
                                  {"islemNotu", u"acil"_s}})
            setText(dialog, name, text);
        click(dialog, "kaydet");
        m_desktop->takeBox();
        QCOMPARE(stored({"Gun", "Ay", "Yil", "IslemKaynagi", "TutarBirimi", "GecerliKur", "KdvOrani", "IslemCesidi",
                         "IslemIcerigi", "IslemNotu", "FaturaNo", "IslemTuru", "IslemTutari"}),
                 QStringList{u"31|2|2024|Bora Ltd|Euro|35.2|10|Ofis'in Gideri|Kâğıt 'A4'\nikinci satır|acil|A'12|"
                             u"Gider|99.90"_s});
        QCOMPARE(dialog.result(), int(QDialog::Rejected)); // still open
        for (auto [name, text] : {std::pair{"tutar", "0"},
                                  {"kur", "0"},
                                  {"kdv", "20"},
                                  {"faturaNo", "0"},
                                  {"icerik", ""},
                                  {"islemNotu", ""},
                                  {"gun", "31"},
                                  {"ay", "2"},
                                  {"yil", "2024"},
                                  {"kaynak", "Bora Ltd"},
                                  {"birim", "Euro"},
                                  {"kategori", "Ofis'in Gideri"}})
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

    void listingFollowsTheFilters_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("expected"); // the sources, in any order
        QTest::newRow("everything") << kTumu << 0 << 0 << u"ABCDEFGHI"_s;
        QTest::newRow("a month") << kTumu << 3 << 2024 << u"ABC"_s;
        QTest::newRow("a kind in a month") << u"Gelir"_s << 3 << 2024 << u"AB"_s;
        QTest::newRow("a kind at any date") << u"Gelir"_s << 0 << 0 << u"ABI"_s;
        QTest::newRow("a kind in a year") << u"Gider"_s << 0 << 2025 << u"E"_s;
        QTest::newRow("nothing") << u"Gelir"_s << 3 << 2025 << QString();
    }
    void listingFollowsTheFilters()
    {
        QFETCH(QString, kind);
        QFETCH(int, month);
        QFETCH(int, year);
        QFETCH(QString, expected);
        addPeriodEntries();
        HareketTablosu dialog;
        QVERIFY(!enabled(dialog, "kaydet") && !enabled(dialog, "sil"));
        filterAndClick(dialog, kTumu, 0, 0, "listele");
        const QString before = textOf(dialog, "kaynak");
        filterAndClick(dialog, kind, month, year, "listele");
        QStringList found = listed(dialog, "hareketListesi");
        // A listing that finds nothing leaves the entry on show.
        const QString shown = found.isEmpty() ? before : found.first();
        found.sort(); // in the order the database gives
        QCOMPARE(found.join(QString()), expected);
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam %1 adet hareket bulundu."_s.arg(expected.size()));
        QCOMPARE(textOf(dialog, "kaynak"), shown);
        QCOMPARE(dialog.selectedRowId(), shown.at(0).unicode() - u'A' + 1);
        QVERIFY(enabled(dialog, "kaydet") && enabled(dialog, "sil"));
        QVERIFY(widget(dialog, "okunamayan")->isHidden());
    }

    // A row another program left without a name is left out of its list, and
    // the list says so beside its count; the other lists say nothing.
    void unreadableRowsAreLeftOutAndCounted_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QByteArray>("note");
        QTest::addColumn<QString>("count");
        QTest::newRow("entries") << u"GelirGider"_s << u"Gider"_s << "hareketListesi"_ba
                                 << "okunamayan"_ba << u"Toplam 2 adet hareket bulundu."_s;
        QTest::newRow("income categories") << u"GGKategori"_s << u"Gelir"_s << "gelirListesi"_ba
                                           << "gelirOkunamayan"_ba << QString();
        QTest::newRow("expense categories") << u"GGKategori"_s << u"Gider"_s << "giderListesi"_ba
                                            << "giderOkunamayan"_ba << QString();
    }
    void unreadableRowsAreLeftOutAndCounted()
    {
        QFETCH(QString, table);
        QFETCH(QString, kind);
        QFETCH(QByteArray, list);
        QFETCH(QByteArray, note);
        QFETCH(QString, count);
        const QString column = table == u"GelirGider"_s ? u"IslemKaynagi"_s : u"KalemAdi"_s;
        rawExec(u"INSERT INTO %1 (IslemTuru, %2) VALUES ('%3', 'silinecek'), ('%3', 'Birinci'), ('%3', 'İkinci');"
                "CREATE TABLE Eski AS SELECT * FROM %1; DROP TABLE %1; ALTER TABLE Eski RENAME TO %1;"
                "UPDATE %1 SET %2 = NULL WHERE RowId = 1"_s.arg(table, column, kind)
                    .toUtf8()
                    .constData());
        std::unique_ptr<QDialog> dialog(count.isEmpty() ? static_cast<QDialog *>(new GGTurEkle) : new HareketTablosu);
        if (!count.isEmpty()) {
            filterAndClick(*dialog, kTumu, 0, 0, "listele");
            QCOMPARE(textOf(*dialog, "toplam"), count);
        }
        QCOMPARE(listed(*dialog, list.constData()), (QStringList{u"Birinci"_s, u"İkinci"_s}));
        QCOMPARE(textOf(*dialog, note.constData()), u"1 kayıt okunamadı."_s);
        QVERIFY(widget(*dialog, note.constData())->isVisibleTo(dialog.get()));
        for (const char *other : {"okunamayan", "gelirOkunamayan", "giderOkunamayan"}) {
            if (other != note && dialog->findChild<QWidget *>(QString::fromLatin1(other)))
                QVERIFY(widget(*dialog, other)->isHidden());
        }
    }

    void detailsShowTheEntryAndEditsWriteItBack()
    {
        addEntry({u"Gelir"_s, u"9"_s, u"11"_s, u"2024"_s, u"Çınar Yapı"_s, u"1250.00"_s, u"Dolar"_s});
        addEntry({u"Gider"_s, u"31"_s, u"12"_s, u"2051"_s, u"Bora Ltd"_s, u"10.00"_s, u"Sterlin"_s, u"F-7"_s,
                  u"satır 1\nsatır 2"_s});
        HareketTablosu dialog;
        filterAndClick(dialog, kTumu, 0, 0, "listele");
        for (auto [name, text] : {std::pair{"hareketTuru", "Gelir"},
                                  {"gun", "9"},
                                  {"ay", "11"},
                                  {"yil", "2024"},
                                  {"kaynak", "Çınar Yapı"},
                                  {"tutar", "1250.00"},
                                  {"birim", "Dolar"},
                                  {"kategori", "Satış"},
                                  {"islemNotu", "not"}})
            QCOMPARE(textOf(dialog, name), QString::fromUtf8(text));
        QVERIFY(!enabled(dialog, "faturaNo") && enabled(dialog, "kaydet") && enabled(dialog, "sil"));

        // Year 2051 and "Sterlin" are in no list: those combos keep what they showed.
        clickRow(dialog, "hareketListesi", 1);
        for (auto [name, text] : {std::pair{"hareketTuru", "Gider"},
                                  {"gun", "31"},
                                  {"ay", "12"},
                                  {"yil", "2024"},
                                  {"birim", "Dolar"},
                                  {"faturaNo", "F-7"},
                                  {"icerik", "satır 1\nsatır 2"}})
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
        filterAndClick(dialog, kTumu, 0, 0, "listele");
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
        filterAndClick(dialog, kTumu, 0, 0, "listele");
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

    // Each period follows the totals of 2024 (two Dolar and Euro entries left
    // out, and said so): nothing of those may stay on show.
    void totalsOfAMonthOrAYear_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("totals"); // income, expense, result; "-" after the error box
        QTest::addColumn<int>("listed");
        QTest::addColumn<QString>("leftOut");
        const QString twoLeftOut = u"2 hareket kur bilgisi olmadığı için toplama katılmadı."_s;
        QTest::newRow("a month") << kTumu << 3 << 2024 << u"1500.00 1000.25 Toplam KAR: 499.75"_s << 3 << QString();
        QTest::newRow("a kind narrows the list, not the sums")
            << u"Gelir"_s << 3 << 2024 << u"1500.00 1000.25 Toplam KAR: 499.75"_s << 2 << QString();
        QTest::newRow("a year") << kTumu << 0 << 2024 << u"1501.00 2704.25 Toplam ZARAR: 1203.25"_s << 8 << twoLeftOut;
        QTest::newRow("a loss") << kTumu << 6 << 2024 << u"0.00 704.00 Toplam ZARAR: 704.00"_s << 3 << twoLeftOut;
        QTest::newRow("nothing") << kTumu << 5 << 2024 << u"0.00 0.00 Toplam ZARAR: 0.00"_s << 0 << QString();
        QTest::newRow("an amount that is no number") << kTumu << 3 << 2025 << u"-"_s << 1 << QString();
    }
    void totalsOfAMonthOrAYear()
    {
        QFETCH(QString, kind);
        QFETCH(int, month);
        QFETCH(int, year);
        QFETCH(QString, totals);
        QFETCH(int, listed);
        QFETCH(QString, leftOut);
        addPeriodEntries();
        HareketTablosu dialog;
        const auto shown = [&] {
            return textOf(dialog, "toplamGelir") + u' ' + textOf(dialog, "toplamGider") + u' ' +
                   textOf(dialog, "karZarar");
        };
        filterAndClick(dialog, kTumu, 0, 2024, "hesapla");
        QVERIFY(!widget(dialog, "kurEksik")->isHidden());

        filterAndClick(dialog, kind, month, year, "hesapla");
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam %1 adet hareket bulundu."_s.arg(listed)); // listed first
        if (totals == u"-"_s) {
            QCOMPARE(shown(), u"  "_s);
            QVERIFY(m_desktop->takeBox().text.contains(u"IslemTutari"_s));
        } else {
            QCOMPARE(shown(), totals);
        }
        QCOMPARE(textOf(dialog, "kurEksik"), leftOut);
        QCOMPARE(widget(dialog, "kurEksik")->isHidden(), leftOut.isEmpty());
    }

    void monthlyReportNeedsAMonthAndAYear()
    {
        addEntry({u"Gelir"_s, u"1"_s, u"2"_s, u"2025"_s, u"A"_s, u"10.00"_s});
        HareketTablosu dialog;
        chooseYear(dialog, 0); // "Hesapla" needs a year, the report a month too
        QVERIFY(!enabled(dialog, "hesapla"));
        filterAndClick(dialog, kTumu, 0, 2025, "aylikRapor");
        QVERIFY(enabled(dialog, "hesapla"));
        expectBox(u"Raporlama Yılın tüm Ayları veya tüm Yılları için yapılamaz, lütfen Ay ve Yıl bölümünden "
                  u"raporlamak istediğiniz Yıl ve Ay seçeneğini seçin."_s,
                  Desktop::Icon::Error, u"Rapor Hatası"_s);
        QVERIFY(m_desktop->modalDialogs.isEmpty());

        QStringList shown; // the viewer's text, row by row
        m_desktop->onModal = [&](QDialog &viewer) {
            shown = viewer.findChild<QTextEdit *>(u"rapor"_s)->toPlainText().split(u'\n');
        };
        filterAndClick(dialog, kTumu, 2, 2025, "aylikRapor");
        QCOMPARE(m_desktop->modalDialogs, QStringList{u"Rapor"_s});
        QCOMPARE(textOf(dialog, "toplamGelir"), u"10.00"_s); // totalled first
        QCOMPARE(shown.value(1), u"==== NORVA REZADO ==== ŞUBAT 2025 --- AYLIK GELİR VE GİDER RAPORU --- =========="_s);
        QCOMPARE(shown.value(4), u"İşlem Kaynağı: A"_s);

        // A failure half-way is shown, and the viewer opens with what was built.
        rawExec("DROP TABLE Firmalar");
        click(dialog, "aylikRapor");
        expectBox(u"no such table: Firmalar"_s, Desktop::Icon::None);
        QCOMPARE(m_desktop->modalDialogs.size(), 2);
        QCOMPARE(shown.size(), 5); // the head, the income section's start and the empty last line
    }
};

QTEST_MAIN(TestLedger)
#include "tst_ledger.moc"
