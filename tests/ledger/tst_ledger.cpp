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
#include <QLineEdit>
#include <QPushButton>
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

// Column values of every GelirGider row, in insertion order.
QStringList stored(const char *column)
{
    QStringList values;
    db::Connection c;
    for (db::Rows r = c.query(u"SELECT * FROM GelirGider ORDER BY RowId"_s); !r.atEnd(); r.moveNext())
        values << r.text(column);
    return values;
}

QStringList categories(const QString &kind)
{
    QStringList names;
    db::Connection c;
    for (db::Rows r = c.query(db::format("SELECT KalemAdi FROM GGKategori WHERE IslemTuru = '%s' ORDER BY RowId",
                                         kind));
         !r.atEnd(); r.moveNext())
        names << r.text("KalemAdi");
    return names;
}

// "Listele" with every filter on "Tümü".
void listAll(QWidget &dialog)
{
    for (const char *filter : {"turFiltresi", "ayFiltresi", "yilFiltresi"})
        combo(dialog, filter)->setCurrentIndex(0);
    click(dialog, "listele");
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
        QVERIFY(listed(dialog, "gelirListesi").isEmpty() && listed(dialog, "giderListesi").isEmpty());
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

        m_desktop->answer(Desktop::Answer::No);
        click(dialog, "gelirSil");
        expectBox(u"Bu kategoriyi silmek istediğinize emin misiniz?"_s, Desktop::Icon::Question);
        QCOMPARE(categories(u"Gelir"_s).size(), 3);
        QVERIFY(enabled(dialog, "gelirSil"));

        // Of two of the same name only the selected row goes.
        m_desktop->answer(Desktop::Answer::Yes);
        click(dialog, "gelirSil");
        m_desktop->takeBox();
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
        QCOMPARE(textOf(income, "kaynak"), u"Çınar Yapı"_s);
        QCOMPARE(items(income, "kategori"), QStringList{u"Satış"_s});
        const QDate today = QDate::currentDate();
        QCOMPARE(textOf(income, "gun"), QString::number(today.day()));
        QCOMPARE(textOf(income, "ay"), QString::number(today.month()));
        QCOMPARE(textOf(income, "yil"), QString::number(today.year()));

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
        QTest::newRow("half") << u"0.5"_s << u"0.50"_s;
        QTest::newRow("negative") << u"-50"_s << u"-50.00"_s;
        QTest::newRow("blanks around") << u" 12.5 "_s << u"12.50"_s;
        for (const char *refused : {"12,50", "0,50", "12abc", "abc", "", "0", "0.00", "1e5"})
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
        if (stored.isEmpty()) {
            expectBox(kAmountMessage, Desktop::Icon::None);
            QVERIFY(::stored("IslemTutari").isEmpty());
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            return;
        }
        expectBox(u"Gider işlemi kaydınız başarı ile gerçekleştirilmiştir"_s, Desktop::Icon::Information,
                  u"Gider Ekleme İşlemi"_s);
        QCOMPARE(::stored("IslemTutari"), QStringList{stored});
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
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
        combo(dialog, "gun")->setCurrentIndex(30);
        combo(dialog, "ay")->setCurrentIndex(1);
        combo(dialog, "yil")->setCurrentIndex(4);
        combo(dialog, "kaynak")->setCurrentIndex(1);
        combo(dialog, "birim")->setCurrentIndex(2);
        combo(dialog, "kategori")->setCurrentIndex(1);
        setText(dialog, "tutar", u"99.9"_s);
        setText(dialog, "kur", u"35,2"_s);
        setText(dialog, "kdv", u"10"_s);
        setText(dialog, "faturaNo", u"A'12"_s);
        setText(dialog, "icerik", u"Kâğıt 'A4'\nikinci satır"_s);
        setText(dialog, "islemNotu", u"acil"_s);
        click(dialog, "kaydet");
        m_desktop->takeBox();
        QCOMPARE(stored("Gun") + stored("Ay") + stored("Yil") + stored("IslemKaynagi") + stored("TutarBirimi") +
                     stored("GecerliKur") + stored("KdvOrani") + stored("IslemCesidi") + stored("IslemIcerigi") +
                     stored("IslemNotu") + stored("FaturaNo") + stored("IslemTuru"),
                 (QStringList{u"31"_s, u"2"_s, u"2024"_s, u"Bora Ltd"_s, u"Euro"_s, u"35,2"_s, u"10"_s,
                              u"Ofis'in Gideri"_s, u"Kâğıt 'A4'\nikinci satır"_s, u"acil"_s, u"A'12"_s,
                              u"Gider"_s}));
        QVERIFY(dialog.isVisible() || dialog.result() == QDialog::Rejected);
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
        QCOMPARE(textOf(dialog, "tutar"), u"5"_s);
        QCOMPARE(textOf(dialog, "icerik"), u"kaybolmasın"_s);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void listingFollowsTheFilters()
    {
        addEntry({u"Gelir"_s, u"5"_s, u"3"_s, u"2024"_s, u"Mart Geliri"_s, u"10.00"_s});
        addEntry({u"Gider"_s, u"6"_s, u"3"_s, u"2024"_s, u"Mart Gideri"_s, u"4.00"_s});
        addEntry({u"Gelir"_s, u"5"_s, u"13"_s, u"2024"_s, u"Ay 13"_s, u"1.00"_s});
        addEntry({u"Gelir"_s, u"5"_s, u"3"_s, u"2025"_s, u"Mart 2025"_s, u"1.00"_s});
        HareketTablosu dialog;
        QCOMPARE(textOf(dialog, "ayFiltresi"), QString::number(QDate::currentDate().month()));
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 0 hareket bulundu"_s);
        QVERIFY(!enabled(dialog, "kaydet") && !enabled(dialog, "sil"));

        const auto list = [&](int kind, int month, int year) {
            combo(dialog, "turFiltresi")->setCurrentIndex(kind);
            combo(dialog, "ayFiltresi")->setCurrentIndex(month);
            combo(dialog, "yilFiltresi")->setCurrentIndex(year);
            click(dialog, "listele");
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
        listAll(dialog);
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

        for (const char *refused : {"12,5", "abc", "0"}) {
            setText(dialog, "tutar", QString::fromUtf8(refused));
            click(dialog, "kaydet");
            expectBox(kAmountMessage, Desktop::Icon::None);
        }
        setText(dialog, "tutar", u"12.5"_s);
        setText(dialog, "islemNotu", u"Ali'nin notu"_s);
        click(dialog, "kaydet");
        expectBox(u"Hareket bilgileri başarıyla güncellendi."_s, Desktop::Icon::Information);
        QCOMPARE(stored("IslemTutari"), (QStringList{u"1250.00"_s, u"12.500000"_s}));
        QCOMPARE(stored("IslemNotu").last(), u"Ali'nin notu"_s);
        // Only what the combos show of this entry, or what the user picks, is written over it.
        QCOMPARE(stored("Yil").last(), u"2051"_s);
        QCOMPARE(stored("TutarBirimi").last(), u"Sterlin"_s);
        QVERIFY(!enabled(dialog, "kaydet") && !enabled(dialog, "sil"));
        clickRow(dialog, "hareketListesi", 1); // the entry on show, chosen again
        QVERIFY(enabled(dialog, "kaydet") && enabled(dialog, "sil"));
        combo(dialog, "birim")->activated(2);
        click(dialog, "kaydet");
        m_desktop->takeBox();
        QCOMPARE(stored("TutarBirimi").last(), u"Dolar"_s);   // the shown item, picked
        QCOMPARE(stored("Yil").last(), u"2051"_s);

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
        listAll(dialog);
        m_desktop->answer(Desktop::Answer::No);
        click(dialog, "sil");
        m_desktop->takeBox();
        QCOMPARE(stored("IslemKaynagi").size(), 1);
        m_desktop->answer(Desktop::Answer::Yes);
        click(dialog, "sil");
        expectBox(u"Bu hareketi silmek istediğinize emin misiniz?"_s, Desktop::Icon::Question);
        expectBox(u"Seçili hareket başarıyla silindi."_s, Desktop::Icon::Information);
        QVERIFY(stored("IslemKaynagi").isEmpty());
        QVERIFY(listed(dialog, "hareketListesi").isEmpty());
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
            combo(dialog, "turFiltresi")->setCurrentIndex(kind);
            combo(dialog, "ayFiltresi")->setCurrentIndex(month);
            combo(dialog, "yilFiltresi")->setCurrentIndex(year);
            click(dialog, "hesapla");
            return QStringList{textOf(dialog, "toplamGelir"), textOf(dialog, "toplamGider"),
                               textOf(dialog, "karZarar")};
        };
        QCOMPARE(totals(0, 3, 5), (QStringList{u"1500.00"_s, u"1000.25"_s, u"Toplam KAR: 499.75"_s}));
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 3 adet hareket bulundu."_s); // listed first
        // The kind filter narrows the list, not the sums.
        QCOMPARE(totals(1, 3, 5), (QStringList{u"1500.00"_s, u"1000.25"_s, u"Toplam KAR: 499.75"_s}));
        QCOMPARE(listed(dialog, "hareketListesi").size(), 2);
        QCOMPARE(totals(0, 0, 5), (QStringList{u"1500.00"_s, u"2000.25"_s, u"Toplam ZARAR: 500.25"_s}));
        QCOMPARE(totals(0, 5, 5), (QStringList{u"0.00"_s, u"0.00"_s, u"Toplam ZARAR: 0.00"_s}));

        // A stored amount that is no number stops the sums; the last ones stay.
        rawExec("UPDATE GelirGider SET IslemTutari = '12,50' WHERE IslemKaynagi = 'E'");
        totals(0, 3, 6);
        QVERIFY(m_desktop->takeBox().text.contains(u"IslemTutari"_s));
        QCOMPARE(textOf(dialog, "karZarar"), u"Toplam ZARAR: 0.00"_s);
    }

    void monthlyReportNeedsAMonthAndAYear()
    {
        addEntry({u"Gelir"_s, u"1"_s, u"2"_s, u"2025"_s, u"A"_s, u"10.00"_s});
        HareketTablosu dialog;
        combo(dialog, "ayFiltresi")->setCurrentIndex(0);
        click(dialog, "aylikRapor");
        expectBox(u"Raporlama Yılın tüm Ayları veya tüm Yılları için yapılamaz, lütfen Ay ve Yıl bölümünden "
                  u"raporlamak istediğiniz Yıl ve Ay seçeneğini seçin."_s,
                  Desktop::Icon::Error, u"Rapor Hatası"_s);
        QVERIFY(m_desktop->modalDialogs.isEmpty());

        combo(dialog, "ayFiltresi")->setCurrentIndex(2);
        combo(dialog, "yilFiltresi")->setCurrentIndex(6);
        click(dialog, "aylikRapor");
        QCOMPARE(m_desktop->modalDialogs, QStringList{u"Rapor"_s});
        QCOMPARE(textOf(dialog, "toplamGelir"), u"10.00"_s); // totalled first
        QCOMPARE(g_strReportMonthName, u"ŞUBAT"_s);
        QCOMPARE(g_strReportBanner,
                 u"==== NORVA REZADO ==== ŞUBAT 2025 --- AYLIK GELİR VE GİDER RAPORU --- =========="_s);
        QVERIFY(g_strReportText.contains(u"İşlem Kaynağı: A\r\n"_s));
    }
};

QTEST_MAIN(TestLedger)
#include "tst_ledger.moc"
