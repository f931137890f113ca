#include "CsvReader.h"
#include "DialogTest.h"
#include "DialogWidgets.h"

#include "data/EntryStore.h"
#include "ledger/EntryFields.h"
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

// Entries stored as given, "kind|day|month|year|source|amount|currency|rate|invoice|content"; VAT rate 20,
// category "Satış", note "not".
void addEntries(const QStringList &entries)
{
    db::Connection c;
    for (const QString &entry : entries) {
        QStringList f = entry.split(u'|');
        while (f.size() < 10)
            f << u""_s;
        EntryStore(c).add(
            {-1, f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], u"20"_s, u"Satış"_s, f[9], u"not"_s, f[8]});
    }
}

QStringList stored(const QString &columns)
{
    return rawRows(u"SELECT %1 FROM GelirGider ORDER BY RowId"_s.arg(columns));
}

const QString kTumu = u"Tümü"_s;

// Sets the kind, month and year filters of the entries table (0: "Tümü") and clicks a button.
void filterAndClick(QWidget &dialog, const QString &kind, int month, int year, const char *button)
{
    setTexts(dialog, {"turFiltresi", "ayFiltresi", "yilFiltresi"},
             kind + u'|' + (month ? QString::number(month) : kTumu) + u'|' + (year ? QString::number(year) : kTumu));
    click(dialog, button);
}

QString sorted(QStringList texts)
{
    texts.sort();
    return texts.join(QString());
}

const QString kAmountMessage = u"İşlem Tutarı geçerli bir sayı olmalıdır. \r\n"
                               u"Lütfen küsüratlı değerleri .(Nokta) ile ayırın, ,(Virgül Kullanmayın)"_s;

} // namespace

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
        QCOMPARE(listed(dialog, "giderListesi").join(u','), u"Kira,  ,Kira"_s);
        // Taking the focus makes an item current, not chosen: nothing may be deleted unseen.
        QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(widget(dialog, "giderListesi"), &focusIn);
        QVERIFY(!enabled(dialog, "gelirSil") && !enabled(dialog, "giderSil"));
        clickRow(dialog, "giderListesi", 2);
        clickRow(dialog, "gelirListesi", 0);
        QVERIFY(enabled(dialog, "gelirSil") && !enabled(dialog, "giderSil"));
        clickRow(dialog, "giderListesi", 2);
        QVERIFY(!enabled(dialog, "gelirSil") && enabled(dialog, "giderSil"));

        // "No" keeps the category and the button; of two of the same name only the selected row goes.
        for (const auto answer : {Desktop::Answer::No, Desktop::Answer::Yes}) {
            m_desktop->answer(answer);
            click(dialog, "giderSil");
            expectBox(u"Bu kategoriyi silmek istediğinize emin misiniz?"_s, Desktop::Icon::Question);
        }
        expectBox(u"Seçili kategori başarıyla silindi."_s, Desktop::Icon::Information);
        QCOMPARE(rawRows(u"SELECT KalemAdi FROM GGKategori WHERE IslemTuru = 'Gider' ORDER BY RowId"_s).join(u','),
                 u"Kira,  "_s);
        QVERIFY(!enabled(dialog, "gelirSil") && !enabled(dialog, "giderSil"));

        clickRow(dialog, "gelirListesi", 0);
        rawExec("UPDATE GGKategori SET IslemTuru = 'Gider' WHERE KalemAdi = 'Satış'");
        clickAndAnswer(dialog, "gelirSil");
        expectBox(u"Bu kategori artık kayıtlı değil; başka bir yerden silinmiş olabilir. Liste yenilendi."_s,
                  Desktop::Icon::Error);
        QCOMPARE(listed(dialog, "gelirListesi"), QStringList());

        spoilFirstRow(u"GGKategori"_s, u"KalemAdi"_s); // "Satış", of the expenses now
        GGTurEkle reopened;
        QCOMPARE(listed(reopened, "giderListesi").join(u',') + textOf(reopened, "giderOkunamayan"),
                 u"Kira,  1 kayıt okunamadı."_s);
        QVERIFY(widget(reopened, "giderOkunamayan")->isVisibleTo(&reopened));
        QVERIFY(widget(reopened, "gelirOkunamayan")->isHidden());
    }

    // The kind chosen in the ribbon names the companies, categories and invoice number box offered. A company or
    // category deleted since the dialog opened is not stored, and the lists show what is left.
    void theKindChoosesCompaniesCategoriesAndInvoiceNumber_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("shown"); // the sources and categories offered; whether the invoice box is on
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("gone"); // what the box says is gone, then the sources and categories left
        QTest::newRow("income") << u"Gelir"_s << u"Çınar Yapı,Işık Elektrik,Zeytin Ltd|Satış|0"_s
                                << u"DELETE FROM Firmalar WHERE FirmaAdi = 'Çınar Yapı'"_s
                                << u"Seçilen İşlem Kaynağı|Işık Elektrik,Zeytin Ltd|Satış"_s;
        QTest::newRow("expense") << u"Gider"_s << u"Cam Dünyası,Çınar Yapı|Kira,Elektrik|1"_s
                                 << u"DELETE FROM GGKategori WHERE KalemAdi = 'Kira'"_s
                                 << u"Seçilen kategori|Cam Dünyası,Çınar Yapı|Elektrik"_s;
    }
    void theKindChoosesCompaniesCategoriesAndInvoiceNumber()
    {
        QFETCH(QString, kind);
        QFETCH(QString, meanwhile);
        QFETCH(QString, gone);
        rawExec("INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES ('Zeytin Ltd', 'Müşteri'), "
                "('Çınar Yapı', 'Tedarikçi & Müşteri'), ('Cam Dünyası', 'Tedarikçi'), ('Işık Elektrik', 'Müşteri');"
                "INSERT INTO GGKategori (IslemTuru, KalemAdi) VALUES ('Gelir', 'Satış'), ('Gider', 'Kira'), "
                "('Gider', 'Elektrik')");
        g_strIslemTuru = kind;
        GelirGiderEkle dialog;
        const auto offered = [&] {
            return rowsOf(dialog, "kaynak").join(u',') + u'|' + rowsOf(dialog, "kategori").join(u',');
        };
        QTEST(offered() + u'|' + QString::number(enabled(dialog, "faturaNo")), "shown");
        QCOMPARE(rowsOf(dialog, "islemTuru"), QStringList{kind});
        QVERIFY(!enabled(dialog, "islemTuru"));
        QCOMPARE(textsOf(dialog, {"gun", "ay", "yil"}), QDate::currentDate().toString(u"d|M|yyyy"_s));
        rawExec(meanwhile.toUtf8().constData());
        setText(dialog, "tutar", u"5"_s);
        click(dialog, "kaydet");
        expectBox(gone.section(u'|', 0, 0) +
                      u" artık kayıtlı değil; başka bir yerden silinmiş olabilir. Liste yenilendi."_s,
                  Desktop::Icon::Error);
        QCOMPARE(stored(u"RowId"_s), QStringList());
        QCOMPARE(offered(), gone.section(u'|', 1));
    }

    // A refusal says why in its own box and keeps all that was typed (the rules are the core's), as a
    // failed insert does; with "keepOpen" a save readies the next entry, without it the dialog closes.
    void addRefusesOrReadiesTheNextEntryAndLosesNothing()
    {
        rawExec("INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES ('Ali''nin Kırtasiyesi', 'Tedarikçi'), "
                "('Bora Ltd', 'Tedarikçi'); INSERT INTO GGKategori (IslemTuru, KalemAdi) VALUES ('Gider', 'Kira'), "
                "('Gider', 'Ofis''in Gideri')");
        g_strIslemTuru = u"Gider"_s;
        GelirGiderEkle dialog;
        auto *keepOpen = static_cast<QCheckBox *>(widget(dialog, "keepOpen"));
        keepOpen->setChecked(true);
        const auto fields = {"gun",   "ay",  "yil", "kaynak",   "birim",  "kategori",
                             "tutar", "kur", "kdv", "faturaNo", "icerik", "islemNotu"};
        setTexts(dialog, fields,
                 u"31|2|2024|Bora Ltd|Euro|Ofis'in Gideri|99.9|35.2|10|A'12|Kâğıt 'A4'\nikinci satır|acil"_s);
        const std::tuple<QString, Desktop::Icon, QString> refusals[] = {
            {kAmountMessage, Desktop::Icon::None, u"12.345|35.2|10"_s},
            {u"Geçerli Kur geçerli bir sayı olmalıdır. \r\nDolar ve Euro için kur 0'dan büyük olmalıdır. Küsüratlı "
             u"değerleri .(Nokta) ile ayırın (en çok 6 basamak), ,(Virgül Kullanmayın)"_s,
             Desktop::Icon::Error, u"99.9|0|10"_s},
            {u"KDV Oran % 0 ile 100 arasında bir tam sayı olmalıdır."_s, Desktop::Icon::Error, u"99.9|35.2|101"_s},
            {u"kilitli"_s, Desktop::Icon::None, u"99.9|35.2|10"_s}};
        for (const auto &[message, icon, numbers] : refusals) {
            setTexts(dialog, {"tutar", "kur", "kdv"}, numbers);
            if (message == u"kilitli"_s)
                rawExec("CREATE TRIGGER Kilit BEFORE INSERT ON GelirGider BEGIN SELECT RAISE(ABORT, 'kilitli'); END");
            click(dialog, "kaydet");
            expectBox(message, icon);
            QCOMPARE(textsOf(dialog, {"tutar", "kur", "kdv"}), numbers);
        }
        rawExec("DROP TRIGGER Kilit");
        const QString saved = u"Gider işlemi kaydınız başarı ile gerçekleştirilmiştir"_s;
        click(dialog, "kaydet");
        expectBox(saved, Desktop::Icon::Information, u"Gider Ekleme İşlemi"_s);
        QCOMPARE(dialog.result(), int(QDialog::Rejected)); // still open
        // Date, company, currency and category stay for the next entry.
        QCOMPARE(textsOf(dialog, fields), u"31|2|2024|Bora Ltd|Euro|Ofis'in Gideri|0|0|20|0||"_s);
        keepOpen->setChecked(false);
        setTexts(dialog, {"tutar", "kur"}, u"1250|38.1"_s);
        click(dialog, "kaydet");
        expectBox(saved, Desktop::Icon::Information, u"Gider Ekleme İşlemi"_s);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(stored(u"Gun, Ay, Yil, IslemKaynagi, TutarBirimi, IslemCesidi, IslemTutari, GecerliKur, KdvOrani, "
                        u"FaturaNo, IslemIcerigi, IslemNotu, IslemTuru"_s),
                 (QStringList{u"31|2|2024|Bora Ltd|Euro|Ofis'in Gideri|99.90|35.2|10|A'12|Kâğıt 'A4'\nikinci satır|"
                              u"acil|Gider"_s,
                              u"31|2|2024|Bora Ltd|Euro|Ofis'in Gideri|1250.00|38.1|20|0|||Gider"_s}));
    }

    // The filters reach the list, the totals and the file "CSV Aktar" writes (the periods each takes are
    // tabled in the core); a profit only when income is the larger; totals that cannot be had leave none
    // of the last period's on show.
    void filtersReachTheListTotalsFileAndReport()
    {
        addEntries({u"Gelir|1|3|2024|A|1250.50|Lira|0"_s, u"Gelir|2|3|2024|B|249.50|Lira|0"_s,
                    u"Gider|3|3|2024|C|-1000.25|Lira|0"_s, u"Gider|4|4|2024|D|20.00|Dolar|0"_s,
                    u"Gider|4|3|2025|E|12,50|Lira|0"_s});
        HareketTablosu dialog;
        QVERIFY(!enabled(dialog, "kaydet") && !enabled(dialog, "sil"));
        setText(dialog, "yilFiltresi", kTumu);
        QVERIFY(!enabled(dialog, "hesapla")); // it needs a year
        const auto period = [&](const QString &kind, int month, int year, const char *button) {
            filterAndClick(dialog, kind, month, year, button);
            return sorted(listed(dialog, "hareketListesi")) + u' ' +
                   textsOf(dialog, {"toplamGelir", "toplamGider", "karZarar", "kurEksik"}) +
                   (widget(dialog, "kurEksik")->isHidden() ? u""_s : u" (shown)"_s);
        };
        QCOMPARE(period(kTumu, 4, 2024, "hesapla"), u"D 0.00|0.00|Toplam ZARAR: 0.00|1 hareket kur bilgisi olmadığı "
                                                    u"için toplama katılmadı. (shown)"_s);
        QCOMPARE(period(u"Gelir"_s, 3, 2024, "hesapla"), u"AB 1500.00|-1000.25|Toplam KAR: 2500.25|"_s);
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 2 adet hareket bulundu."_s);
        QCOMPARE(textOf(dialog, "kaynak"), listed(dialog, "hareketListesi").value(0));
        QVERIFY(enabled(dialog, "kaydet") && enabled(dialog, "sil"));
        m_desktop->answerSave(u"hareketler.csv"_s);
        click(dialog, "csvAktar");
        expectBox(u"Listelenen hareketler hareketler.csv dosyasına yazıldı."_s, Desktop::Icon::Information);
        QStringList sources;
        for (const QStringList &row : parseCsv(readFile(u"hareketler.csv"_s)).rows.mid(1))
            sources << row.value(4);
        QCOMPARE(sorted(sources), u"AB"_s);

        QCOMPARE(period(u"Gider"_s, 0, 2025, "hesapla"), u"E |||"_s);
        expectBox(u"Sütun değeri dönüştürülemedi: IslemTutari"_s, Desktop::Icon::None);
        // A listing that finds nothing leaves the entry on show.
        filterAndClick(dialog, u"Gelir"_s, 5, 2025, "listele");
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 0 adet hareket bulundu."_s);
        QCOMPARE(textOf(dialog, "kaynak") + QString::number(dialog.selectedRowId()), u"E5"_s);
        QVERIFY(enabled(dialog, "kaydet") && enabled(dialog, "sil"));

        // The monthly report needs a month and a year, is totalled first, and opens with what was built
        // when it fails half-way.
        filterAndClick(dialog, kTumu, 0, 2024, "aylikRapor");
        expectBox(u"Raporlama Yılın tüm Ayları veya tüm Yılları için yapılamaz, lütfen Ay ve Yıl bölümünden "
                  u"raporlamak istediğiniz Yıl ve Ay seçeneğini seçin."_s,
                  Desktop::Icon::Error, u"Rapor Hatası"_s);
        QStringList shown; // the viewer's text, row by row
        m_desktop->onModal = [&](QDialog &viewer) {
            shown = viewer.findChild<QTextEdit *>(u"rapor"_s)->toPlainText().split(u'\n');
        };
        filterAndClick(dialog, kTumu, 3, 2024, "aylikRapor");
        QCOMPARE(textOf(dialog, "toplamGelir") + shown.value(1),
                 u"1500.00==== NORVA REZADO ==== MART 2024 --- AYLIK GELİR VE GİDER RAPORU --- =========="_s);
        rawExec("DROP TABLE Firmalar");
        click(dialog, "aylikRapor");
        expectBox(u"no such table: Firmalar"_s, Desktop::Icon::None);
        QCOMPARE(m_desktop->modalDialogs, (QStringList{u"Rapor"_s, u"Rapor"_s}));
        QCOMPARE(shown.size(), 5); // the head, the income section's start and the empty last line
    }

    // Only what the combos show of an entry, or what the user picks, is written over it; once another
    // entry is shown, the invoice number's limit stops typing again after a longer stored value.
    void detailsAreShownAndEdited()
    {
        addEntries({u"Gelir|9|11|2024|Çınar Yapı|1250.00|Dolar|0|"_s + QString(10000, u'F'),
                    u"Gider|31|12|2051|Bora Ltd|10.00|Sterlin|0|F-7|satır 1\nsatır 2"_s});
        HareketTablosu dialog;
        filterAndClick(dialog, kTumu, 0, 0, "listele");
        QCOMPARE(
            textsOf(dialog, {"hareketTuru", "gun", "ay", "yil", "kaynak", "tutar", "birim", "kategori", "islemNotu"}),
            u"Gelir|9|11|2024|Çınar Yapı|1250.00|Dolar|Satış|not"_s);
        QVERIFY(!enabled(dialog, "faturaNo"));

        // Year 2051 and "Sterlin" are in no list: those combos keep what they showed.
        clickRow(dialog, "hareketListesi", 1);
        QCOMPARE(textsOf(dialog, {"hareketTuru", "gun", "ay", "yil", "birim", "faturaNo", "icerik"}),
                 u"Gider|31|12|2024|Dolar|F-7|satır 1\nsatır 2"_s);
        QVERIFY(enabled(dialog, "faturaNo"));
        auto *invoice = static_cast<QLineEdit *>(widget(dialog, "faturaNo"));
        invoice->selectAll();
        QTest::keyClicks(invoice, QString(101, u'7'));
        QCOMPARE(invoice->text(), QString(100, u'7'));

        setText(dialog, "tutar", u"12,5"_s);
        click(dialog, "kaydet");
        expectBox(kAmountMessage, Desktop::Icon::None);
        setTexts(dialog, {"tutar", "kdv", "islemNotu"}, u"12.5|18|Ali'nin notu"_s);
        const QString saved = u"Hareket bilgileri başarıyla güncellendi."_s;
        click(dialog, "kaydet");
        expectBox(saved, Desktop::Icon::Information);
        QCOMPARE(stored(u"IslemTutari, IslemNotu, Yil, TutarBirimi"_s),
                 (QStringList{u"1250.00|not|2024|Dolar"_s, u"12.500000|Ali'nin notu|2051|Sterlin"_s}));
        QVERIFY(!enabled(dialog, "kaydet") && !enabled(dialog, "sil"));
        clickRow(dialog, "hareketListesi", 1); // the entry on show, chosen again
        QVERIFY(enabled(dialog, "kaydet") && enabled(dialog, "sil"));
        static_cast<QComboBox *>(widget(dialog, "birim"))->activated(2);
        setText(dialog, "kur", u"35.2"_s);
        click(dialog, "kaydet");
        expectBox(saved, Desktop::Icon::Information);
        QCOMPARE(stored(u"Yil, TutarBirimi, GecerliKur"_s).last(), u"2051|Dolar|35.2"_s); // the shown item, picked
    }
};

QTEST_MAIN(TestLedger)
#include "tst_ledger.moc"
