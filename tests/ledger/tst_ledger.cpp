#include "DialogTest.h"
#include "DialogWidgets.h"

#include "ledger/GGTurEkle.h"
#include "ledger/GelirGiderEkle.h"
#include "ledger/HareketTablosu.h"
#include "ledger/ProcessValues.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestLedger : public DialogTest
{
    Q_OBJECT

private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    // The delete button follows the list clicked last and takes the selected row of that list's kind
    // only (the rules are the core's); each list counts the unreadable categories of its own kind.
    void categoriesOfEachKindAreKeptApart()
    {
        rawExec("INSERT INTO GGKategori (IslemTuru, KalemAdi) VALUES ('Gelir', 'Satış'), ('Gider', 'Kira'), "
                "('Gider', '  ')");
        GGTurEkle dialog;
        click(dialog, "giderEkle"); // nothing typed
        expectBox(u"Gider kategorisi boş bırakılamaz, lütfen bir kategori yazıp tekrar kaydetmeyi deneyin."_s,
                  Desktop::Icon::Error, u"HATA - Gider Kategorisi"_s);
        setTexts(dialog, {"yeniGelir", "yeniGider"}, u"Prim|Kira"_s);
        click(dialog, "giderEkle"); // a name already there, once more
        expectBox(u"Gider kategorisinde ekleme başarıyla tamamlandı."_s, Desktop::Icon::Information,
                  u"Gider Kategorisi"_s);
        QCOMPARE(textsOf(dialog, {"yeniGelir", "yeniGider"}), u"|"_s);
        // Taking the focus makes an item current, not chosen: nothing may be deleted unseen.
        QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(widget(dialog, "giderListesi"), &focusIn);
        QVERIFY(!enabled(dialog, "gelirSil") && !enabled(dialog, "giderSil"));
        clickRow(dialog, "gelirListesi", 0);
        clickRow(dialog, "giderListesi", 2);
        QVERIFY(!enabled(dialog, "gelirSil") && enabled(dialog, "giderSil"));
        // "No" keeps the category; of two of the same name only the selected row goes.
        m_desktop->answer(Desktop::Answer::No);
        click(dialog, "giderSil");
        expectBox(u"Bu kategoriyi silmek istediğinize emin misiniz?"_s, Desktop::Icon::Question);
        clickAndAnswer(dialog, "giderSil");
        expectBox(u"Seçili kategori başarıyla silindi."_s, Desktop::Icon::Information);
        QCOMPARE(listed(dialog, "giderListesi").join(u','), u"Kira,  "_s);
        QVERIFY(!enabled(dialog, "gelirSil") && !enabled(dialog, "giderSil"));

        clickRow(dialog, "gelirListesi", 0);
        rawExec("UPDATE GGKategori SET IslemTuru = 'Gider' WHERE KalemAdi = 'Satış'");
        clickAndAnswer(dialog, "gelirSil");
        expectBox(u"Bu kategori artık kayıtlı değil; başka bir yerden silinmiş olabilir. Liste yenilendi."_s,
                  Desktop::Icon::Error);
        spoilFirstRow(u"GGKategori"_s, u"KalemAdi"_s); // "Satış", of the expenses now
        GGTurEkle reopened;
        QCOMPARE(textsOf(reopened, {"giderOkunamayan", "gelirOkunamayan"}), u"1 kayıt okunamadı.|"_s);
    }

    // The kind chosen in the ribbon names the companies, categories and invoice number box offered. A refusal
    // says why in its own box and keeps all that was typed (the rules are the core's), as a failed insert
    // does; with "keepOpen" a save readies the next entry, without it the dialog closes. A company or
    // category deleted since the dialog opened is not stored, and the lists show what is left.
    void addOffersRefusesAndReadiesTheNextEntry()
    {
        rawExec("INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES ('Zeytin Ltd', 'Müşteri'), ('Bora Ltd', "
                "'Tedarikçi'), ('Çınar Yapı', 'Tedarikçi & Müşteri'); INSERT INTO GGKategori (IslemTuru, KalemAdi) "
                "VALUES ('Gelir', 'Satış'), ('Gider', 'Kira'), ('Gider', 'Ofis''in Gideri')");
        g_strIslemTuru = u"Gider"_s;
        auto dialog = std::make_unique<GelirGiderEkle>();
        const auto offered = [&] {
            return rowsOf(*dialog, "kaynak").join(u',') + u'|' + rowsOf(*dialog, "kategori").join(u',') +
                   QString::number(enabled(*dialog, "faturaNo"));
        };
        QCOMPARE(offered(), u"Bora Ltd,Çınar Yapı|Kira,Ofis'in Gideri1"_s);
        click(*dialog, "keepOpen");
        const auto fields = {"gun",   "ay",  "yil", "kaynak",   "birim",  "kategori",
                             "tutar", "kur", "kdv", "faturaNo", "icerik", "islemNotu"};
        setTexts(*dialog, fields,
                 u"31|2|2024|Bora Ltd|Euro|Ofis'in Gideri|99.9|0|10|A'12|Kâğıt 'A4'\nikinci satır|acil"_s);
        click(*dialog, "kaydet");
        expectBox(u"Geçerli Kur geçerli bir sayı olmalıdır. \r\nDolar ve Euro için kur 0'dan büyük olmalıdır. "
                  u"Küsüratlı değerleri .(Nokta) ile ayırın (en çok 6 basamak), ,(Virgül Kullanmayın)"_s,
                  Desktop::Icon::Error);
        setTexts(*dialog, {"kur", "kdv"}, u"35.2|101"_s);
        click(*dialog, "kaydet");
        expectBox(u"KDV Oran % 0 ile 100 arasında bir tam sayı olmalıdır."_s, Desktop::Icon::Error);
        setText(*dialog, "kdv", u"10"_s);
        rawExec(refusal(u"Kilit"_s, u"GelirGider"_s, u"INSERT"_s, u"kilitli"_s));
        click(*dialog, "kaydet"); // the insert fails
        expectBox(u"kilitli"_s, Desktop::Icon::None);
        rawExec(dropRefusal(u"Kilit"_s));
        const QString saved = u"Gider işlemi kaydınız başarı ile gerçekleştirilmiştir"_s;
        click(*dialog, "kaydet");
        expectBox(saved, Desktop::Icon::Information, u"Gider Ekleme İşlemi"_s);
        // Still open; date, company, currency and category stay for the next entry.
        QCOMPARE(textsOf(*dialog, fields) + QString::number(dialog->result()),
                 u"31|2|2024|Bora Ltd|Euro|Ofis'in Gideri|0|0|20|0||0"_s);
        click(*dialog, "keepOpen");
        setTexts(*dialog, {"tutar", "kur"}, u"1250|38.1"_s);
        const QString gone = u" artık kayıtlı değil; başka bir yerden silinmiş olabilir. Liste yenilendi."_s;
        rawExec("DELETE FROM Firmalar WHERE FirmaAdi = 'Bora Ltd'");
        click(*dialog, "kaydet");
        expectBox(u"Seçilen İşlem Kaynağı"_s + gone, Desktop::Icon::Error);
        rawExec("DELETE FROM GGKategori WHERE KalemAdi = 'Kira'");
        click(*dialog, "kaydet");
        expectBox(u"Seçilen kategori"_s + gone, Desktop::Icon::Error);
        QCOMPARE(offered(), u"Çınar Yapı|Ofis'in Gideri1"_s);
        click(*dialog, "kaydet");
        expectBox(saved, Desktop::Icon::Information, u"Gider Ekleme İşlemi"_s);
        // A server does not give back the number the refused insert drew.
        const int first = onServer() ? 2 : 1;
        QCOMPARE(rawRows(u"SELECT * FROM GelirGider ORDER BY RowId"_s).join(u'\n') + QString::number(dialog->result()),
                 u"%1|Gider|31|2|2024|Bora Ltd|99.90|Euro|35.2|10|Ofis'in Gideri|Kâğıt 'A4'\nikinci satır|acil|A'12\n"
                 u"%2|Gider|31|2|2024|Çınar Yapı|1250.00|Euro|38.1|20|Ofis'in Gideri|||01"_s.arg(first)
                     .arg(first + 1));
        g_strIslemTuru = u"Gelir"_s;
        dialog = std::make_unique<GelirGiderEkle>();
        QCOMPARE(offered() + textsOf(*dialog, {"islemTuru", "gun", "ay", "yil"}),
                 QDate::currentDate().toString(u"'Çınar Yapı,Zeytin Ltd|Satış0Gelir|'d|M|yyyy"_s));
    }

    // The filters reach the list, the totals and the file "CSV Aktar" writes (the periods each takes are
    // tabled in the core); a profit only when income is the larger; totals that cannot be had leave none
    // of the last period's on show. Only what the combos show of an entry, or what the user picks, is
    // written over it; once another entry is shown, the invoice number's limit stops typing again after a
    // longer stored value.
    void filtersReachTheListTotalsFileAndReportAndDetailsAreEdited()
    {
        rawExec(
            u"INSERT INTO GelirGider (IslemTuru, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi) VALUES ('Gelir', 3, "
            u"2024, 'A', '1250.50', 'Lira'), ('Gelir', 3, 2024, 'B', '249.50', 'Lira'), ('Gider', 3, 2024, 'C', "
            u"'-1000.25', 'Lira'), ('Gider', 4, 2024, 'D', '20.00', 'Dolar'), ('Gider', 3, 2025, 'E', '12,50', 'Lira');"
            u"INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, FaturaNo) "
            u"VALUES "
            u"('Gelir', 9, 12, 2024, 'Çınar Yapı', '1250.00', 'Dolar', '%1'), "
            u"('Gider', 31, 12, 2051, 'Bora Ltd', '10.00', 'Sterlin', 'F-7')"_s.arg(QString(198, u'F')));
        HareketTablosu dialog;
        // Sets the kind, month and year filters, "kind|month|year", and clicks a button.
        const auto filterAndClick = [&](const QString &filters, const char *button) {
            setTexts(dialog, {"turFiltresi", "ayFiltresi", "yilFiltresi"}, filters);
            click(dialog, button);
        };
        const auto period = [&](const QString &filters) {
            filterAndClick(filters, "hesapla");
            return listed(dialog, "hareketListesi").join(QString()) + u' ' +
                   textsOf(dialog, {"toplamGelir", "toplamGider", "karZarar", "kurEksik"}) +
                   (widget(dialog, "kurEksik")->isHidden() ? u""_s : u" (shown)"_s);
        };
        QCOMPARE(period(u"Tümü|4|2024"_s), u"D 0.00|0.00|Toplam ZARAR: 0.00|1 hareket kur bilgisi olmadığı için "
                                           u"toplama katılmadı. (shown)"_s);
        QCOMPARE(period(u"Gelir|3|2024"_s), u"AB 1500.00|-1000.25|Toplam KAR: 2500.25|"_s);
        m_desktop->answerSave(u"hareketler.csv"_s);
        click(dialog, "csvAktar");
        expectBox(u"Listelenen hareketler hareketler.csv dosyasına yazıldı."_s, Desktop::Icon::Information);
        QCOMPARE(readFile(u"hareketler.csv"_s).count("\r\n"), 3); // the captions, A and B
        QCOMPARE(period(u"Gider|Tümü|2025"_s), u"E |||"_s);
        expectBox(u"Sütun değeri dönüştürülemedi: IslemTutari"_s, Desktop::Icon::None);
        filterAndClick(u"Gelir|5|2025"_s, "listele"); // finding nothing leaves the entry on show
        QCOMPARE(textOf(dialog, "kaynak") + QString::number(dialog.selectedRowId()), u"E5"_s);

        filterAndClick(u"Tümü|12|Tümü"_s, "listele");
        QVERIFY(!enabled(dialog, "hesapla") && !enabled(dialog, "faturaNo")); // with no year; of an income
        // Year 2051 and "Sterlin" are in no list: those combos keep what they showed.
        clickRow(dialog, "hareketListesi", 1);
        QCOMPARE(textsOf(dialog, {"hareketTuru", "gun", "ay", "yil", "tutar", "birim", "faturaNo"}),
                 u"Gider|31|12|2024|10.00|Dolar|F-7"_s);
        QTest::keyClicks(widget(dialog, "faturaNo"), QString(101, u'7'));
        setText(dialog, "tutar", u"12,5"_s);
        click(dialog, "kaydet");
        expectBox(u"İşlem Tutarı geçerli bir sayı olmalıdır. \r\nLütfen küsüratlı değerleri .(Nokta) ile ayırın, "
                  u",(Virgül Kullanmayın)"_s,
                  Desktop::Icon::None);
        QMetaObject::invokeMethod(widget(dialog, "birim"), "activated", Q_ARG(int, 1));
        setTexts(dialog, {"tutar", "kur", "islemNotu"}, u"12.5|35.2|Ali'nin notu"_s);
        click(dialog, "kaydet");
        expectBox(u"Hareket bilgileri başarıyla güncellendi."_s, Desktop::Icon::Information);
        QCOMPARE(rawRows(u"SELECT * FROM GelirGider WHERE RowId = 7"_s).value(0),
                 u"7|Gider|31|12|2051|Bora Ltd|12.500000|Dolar|35.2||||Ali'nin notu|F-7"_s + QString(97, u'7'));
        QVERIFY(!enabled(dialog, "kaydet") && !enabled(dialog, "sil"));
        clickRow(dialog, "hareketListesi", 1); // the entry on show, chosen again
        QVERIFY(enabled(dialog, "kaydet") && enabled(dialog, "sil"));

        // The monthly report needs a month and a year, is totalled first, and opens with what was built
        // when it fails half-way.
        filterAndClick(u"Tümü|Tümü|2024"_s, "aylikRapor");
        expectBox(u"Raporlama Yılın tüm Ayları veya tüm Yılları için yapılamaz, lütfen Ay ve Yıl bölümünden "
                  u"raporlamak istediğiniz Yıl ve Ay seçeneğini seçin."_s,
                  Desktop::Icon::Error, u"Rapor Hatası"_s);
        QVariant shown; // the viewer's text
        m_desktop->onModal = [&](QDialog &viewer) { shown = widget(viewer, "rapor")->property("plainText"); };
        rawExec("DROP TABLE Firmalar");
        filterAndClick(u"Tümü|3|2024"_s, "aylikRapor");
        expectBox(noSuchTable(u"Firmalar"_s), Desktop::Icon::None);
        // The head, the income section's start and the empty last line.
        const QStringList rows = shown.toString().split(u'\n');
        QCOMPARE(textOf(dialog, "toplamGelir") + rows.value(1) + QString::number(rows.size()),
                 u"1500.00==== NORVA REZADO ==== MART 2024 --- AYLIK GELİR VE GİDER RAPORU --- ==========5"_s);
    }
};

QTEST_MAIN(TestLedger)
#include "tst_ledger.moc"
