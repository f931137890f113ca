#include "DialogTest.h"
#include "DialogWidgets.h"

#include "data/Database.h"
#include "data/Statements.h"
#include "ledger/GGTurEkle.h"
#include "ledger/GelirGiderEkle.h"
#include "ledger/HareketTablosu.h"
#include "ledger/ProcessValues.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
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
    c.execute(db::format(sql::kFirmaEkle, name, u""_s, u""_s, u""_s, u""_s, u""_s, relation, u""_s));
}

void addCategory(const QString &kind, const QString &name)
{
    db::Connection c;
    c.execute(db::format(sql::kKategoriEkle, kind, name));
}

struct Entry
{
    QString kind, day, month, year, source, amount, currency = u"Lira"_s, invoice = u"0"_s, content = u""_s;
};

void addEntry(const Entry &e)
{
    db::Connection c;
    c.execute(db::format(sql::kGelirGiderEkle, e.kind, e.day, e.month, e.year, e.source, e.amount, e.currency,
                         u"0"_s, u"20"_s, u"Satış"_s, e.content, u"not"_s, e.invoice));
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

    void amountsAreStoredWithTwoDecimals_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // empty: refused
        QTest::newRow("whole") << u"1250"_s << u"1250.00"_s;
        QTest::newRow("negative") << u"-50"_s << u"-50.00"_s;
        QTest::newRow("blanks around") << u" 12.5 "_s << u"12.50"_s;
        for (const char *refused : {"12,50", "12abc", "abc", "", "0", "0.00", "1e5"})
            QTest::newRow(refused) << QString::fromUtf8(refused) << QString();
    }
    void amountsAreStoredWithTwoDecimals()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        g_strIslemTuru = u"Gider"_s;
        GelirGiderEkle dialog;
        setText(dialog, "tutar", typed);
        click(dialog, "kaydet");
        if (stored.isEmpty())
            expectBox(kAmountMessage, Desktop::Icon::None);
        else
            expectBox(u"Gider işlemi kaydınız başarı ile gerçekleştirilmiştir"_s, Desktop::Icon::Information,
                      u"Gider Ekleme İşlemi"_s);
        QCOMPARE(::stored({"IslemTutari"}), stored.isEmpty() ? QStringList() : QStringList{stored});
        QCOMPARE(dialog.result(), int(stored.isEmpty() ? QDialog::Rejected : QDialog::Accepted));
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
        for (auto [name, text] : {std::pair{"tutar", u"99.9"_s}, {"kur", u"35,2"_s}, {"kdv", u"10"_s},
                                  {"faturaNo", u"A'12"_s}, {"icerik", u"Kâğıt 'A4'\nikinci satır"_s},
                                  {"islemNotu", u"acil"_s}})
            setText(dialog, name, text);
        click(dialog, "kaydet");
        m_desktop->takeBox();
        QCOMPARE(stored({"Gun", "Ay", "Yil", "IslemKaynagi", "TutarBirimi", "GecerliKur", "KdvOrani", "IslemCesidi",
                         "IslemIcerigi", "IslemNotu", "FaturaNo", "IslemTuru", "IslemTutari"}),
                 QStringList{u"31|2|2024|Bora Ltd|Euro|35,2|10|Ofis'in Gideri|Kâğıt 'A4'\nikinci satır|acil|A'12|"
                             u"Gider|99.90"_s});
        QCOMPARE(dialog.result(), int(QDialog::Rejected)); // still open
        for (auto [name, text] : {std::pair{"tutar", "0"}, {"kur", "0"}, {"kdv", "20"}, {"faturaNo", "0"},
                                  {"icerik", ""}, {"islemNotu", ""}, {"gun", "31"}, {"ay", "2"}, {"yil", "2024"},
                                  {"kaynak", "Bora Ltd"}, {"birim", "Euro"}, {"kategori", "Ofis'in Gideri"}})
            QCOMPARE(textOf(dialog, name), QString::fromUtf8(text));

        // A failed insert leaves the dialog open with everything typed.
        setText(dialog, "tutar", u"5"_s);
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

        setText(dialog, "tutar", u"12,5"_s); // refused, never stored as 12
        click(dialog, "kaydet");
        expectBox(kAmountMessage, Desktop::Icon::None);
        setText(dialog, "tutar", u"12.5"_s);
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
        click(dialog, "kaydet");
        m_desktop->takeBox();
        QCOMPARE(stored({"Yil", "TutarBirimi"}).last(), u"2051|Dolar"_s); // the shown item, picked

        // Gone meanwhile: said so, not reported saved.
        clickRow(dialog, "hareketListesi", 1);
        rawExec("DELETE FROM GelirGider WHERE RowId = 2");
        click(dialog, "kaydet");
        expectBox(u"Bu hareket artık kayıtlı değil; başka bir yerden silinmiş olabilir. Liste yenilendi."_s,
                  Desktop::Icon::Error);
        QCOMPARE(listed(dialog, "hareketListesi"), QStringList{u"Çınar Yapı"_s});
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

        // A stored amount that is no number stops the sums; the last ones stay.
        rawExec("UPDATE GelirGider SET IslemTutari = '12,50' WHERE IslemKaynagi = 'E'");
        QCOMPARE(totals(0, 3, 6), u"0.00 0.00 Toplam ZARAR: 0.00"_s);
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
