#include "CsvReader.h"
#include "DialogTest.h"
#include "DialogWidgets.h"

#include "data/EntryStore.h"
#include "exchange/CsvFile.h"
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

// The entries as stored, the given columns of each.
QStringList stored(const QString &columns)
{
    return rawRows(u"SELECT %1 FROM GelirGider ORDER BY RowId"_s.arg(columns));
}

QStringList categories(const QString &kind)
{
    return rawRows(u"SELECT KalemAdi FROM GGKategori WHERE IslemTuru = '%1' ORDER BY RowId"_s.arg(kind));
}

const QString kTumu = u"Tümü"_s;

// Sets the kind, month and year filters of the entries table (0: "Tümü") and clicks a button.
void filterAndClick(QWidget &dialog, const QString &kind, int month, int year, const char *button)
{
    setTexts(dialog, {"turFiltresi", "ayFiltresi", "yilFiltresi"},
             kind + u'|' + (month ? QString::number(month) : kTumu) + u'|' + (year ? QString::number(year) : kTumu));
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
        setTexts(dialog, {"yeniGelir", "yeniGider"}, u"Satış|Kira"_s);
        click(dialog, "giderEkle");
        expectBox(u"Gider kategorisinde ekleme başarıyla tamamlandı."_s, Desktop::Icon::Information,
                  u"Gider Kategorisi"_s);
        QCOMPARE(textsOf(dialog, {"yeniGelir", "yeniGider"}), u"|"_s);
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
        clickAndAnswer(dialog, "gelirSil");
        expectBox(u"Bu kategori artık kayıtlı değil; başka bir yerden silinmiş olabilir. Liste yenilendi."_s,
                  Desktop::Icon::Error);
        QCOMPARE(categories(u"Gider"_s), (QStringList{u"Kira"_s, u"Ali'nin Payı"_s}));
        QCOMPARE(listed(dialog, "gelirListesi"), QStringList{u"  "_s});
        clickRow(dialog, "giderListesi", 0);
        clickAndAnswer(dialog, "giderSil");
        m_desktop->takeBox();
        QCOMPARE(categories(u"Gider"_s), QStringList{u"Ali'nin Payı"_s});
    }

    void theKindChoosesCompaniesCategoriesAndInvoiceNumber_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("shown"); // the kind, sources and categories offered
        QTest::addColumn<bool>("invoice");
        QTest::addColumn<QByteArray>("meanwhile"); // run before a save, which refuses it
        QTest::addColumn<QString>("gone");
        QTest::addColumn<QString>("reloaded"); // the sources and categories offered afterwards
        QTest::newRow("income") << u"Gelir"_s << u"Gelir|Çınar Yapı,Işık Elektrik,Zeytin Ltd|Satış"_s << false
                                << "DELETE FROM Firmalar WHERE FirmaAdi = 'Çınar Yapı'"_ba << u"Seçilen İşlem Kaynağı"_s
                                << u"Işık Elektrik,Zeytin Ltd|Satış"_s;
        QTest::newRow("expense") << u"Gider"_s << u"Gider|Cam Dünyası,Çınar Yapı|Kira,Elektrik"_s << true
                                 << "DELETE FROM GGKategori WHERE KalemAdi = 'Kira'"_ba << u"Seçilen kategori"_s
                                 << u"Cam Dünyası,Çınar Yapı|Elektrik"_s;
    }
    void theKindChoosesCompaniesCategoriesAndInvoiceNumber()
    {
        QFETCH(QString, kind);
        rawExec("INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES ('Zeytin Ltd', 'Müşteri'), "
                "('Çınar Yapı', 'Tedarikçi & Müşteri'), ('Cam Dünyası', 'Tedarikçi'), ('Işık Elektrik', 'Müşteri');"
                "INSERT INTO GGKategori (IslemTuru, KalemAdi) VALUES ('Gelir', 'Satış'), ('Gider', 'Kira'), "
                "('Gider', 'Elektrik')");

        g_strIslemTuru = kind;
        GelirGiderEkle dialog;
        QStringList shown;
        for (const char *name : {"islemTuru", "kaynak", "kategori"})
            shown << rowsOf(dialog, name).join(u',');
        QTEST(shown.join(u'|'), "shown");
        QVERIFY(!enabled(dialog, "islemTuru"));
        QTEST(enabled(dialog, "faturaNo"), "invoice");
        QCOMPARE(textsOf(dialog, {"gun", "ay", "yil"}), QDate::currentDate().toString(u"d|M|yyyy"_s));

        // A company or category deleted since the dialog opened is not stored; the lists show what is left.
        QFETCH(QByteArray, meanwhile);
        rawExec(meanwhile.constData());
        setText(dialog, "tutar", u"5"_s);
        click(dialog, "kaydet");
        QFETCH(QString, gone);
        expectBox(gone + u" artık kayıtlı değil; başka bir yerden silinmiş olabilir. Liste yenilendi."_s,
                  Desktop::Icon::Error);
        QCOMPARE(stored(u"RowId"_s), QStringList());
        QTEST(rowsOf(dialog, "kaynak").join(u',') + u'|' + rowsOf(dialog, "kategori").join(u','), "reloaded");
    }

    // Each field the add refuses has its own message; the rules themselves are tabled in the core.
    void addChecksTheNumbers_data()
    {
        QTest::addColumn<QString>("typed");   // amount, currency, rate and VAT rate
        QTest::addColumn<QString>("outcome"); // the stored amount, or the message
        QTest::newRow("lira") << u"1250|Lira|0|20"_s << u"1250.00"_s;
        QTest::newRow("more decimals") << u"12.345|Lira|0|20"_s << kAmountMessage;
        QTest::newRow("dolar at 0") << u"20|Dolar|0|20"_s << kRateMessage;
        QTest::newRow("VAT over 100") << u"5|Lira|0|101"_s << kVatMessage;
    }
    void addChecksTheNumbers()
    {
        QFETCH(QString, typed);
        QFETCH(QString, outcome);
        g_strIslemTuru = u"Gider"_s;
        GelirGiderEkle dialog;
        setTexts(dialog, {"tutar", "birim", "kur", "kdv"}, typed);
        click(dialog, "kaydet");
        const bool refused = outcome.contains(u' ');
        if (!refused)
            expectBox(u"Gider işlemi kaydınız başarı ile gerçekleştirilmiştir"_s, Desktop::Icon::Information,
                      u"Gider Ekleme İşlemi"_s);
        else
            expectBox(outcome, outcome == kAmountMessage ? Desktop::Icon::None : Desktop::Icon::Error);
        QCOMPARE(stored(u"IslemTutari, TutarBirimi, GecerliKur, KdvOrani"_s),
                 refused ? QStringList() : QStringList(outcome + typed.mid(typed.indexOf(u'|'))));
        QCOMPARE(dialog.result(), int(refused ? QDialog::Rejected : QDialog::Accepted));
    }

    void keepOpenReadiesTheNextEntryAndFailuresLoseNothing()
    {
        rawExec("INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES ('Ali''nin Kırtasiyesi', 'Tedarikçi'), "
                "('Bora Ltd', 'Tedarikçi'); INSERT INTO GGKategori (IslemTuru, KalemAdi) VALUES ('Gider', 'Kira'), "
                "('Gider', 'Ofis''in Gideri')");
        g_strIslemTuru = u"Gider"_s;
        GelirGiderEkle dialog;
        static_cast<QCheckBox *>(widget(dialog, "keepOpen"))->setChecked(true);
        const auto fields = {"gun",   "ay",  "yil", "kaynak",   "birim",  "kategori",
                             "tutar", "kur", "kdv", "faturaNo", "icerik", "islemNotu"};
        setTexts(dialog, fields,
                 u"31|2|2024|Bora Ltd|Euro|Ofis'in Gideri|99.9|35.2|10|A'12|Kâğıt 'A4'\nikinci satır|acil"_s);
        click(dialog, "kaydet");
        m_desktop->takeBox();
        QCOMPARE(stored(u"Gun, Ay, Yil, IslemKaynagi, TutarBirimi, IslemCesidi, IslemTutari, GecerliKur, KdvOrani, "
                        u"FaturaNo, IslemIcerigi, IslemNotu, IslemTuru"_s),
                 QStringList{u"31|2|2024|Bora Ltd|Euro|Ofis'in Gideri|99.90|35.2|10|A'12|Kâğıt 'A4'\nikinci satır|"
                             u"acil|Gider"_s});
        QCOMPARE(dialog.result(), int(QDialog::Rejected)); // still open
        // Date, company, currency and category stay for the next entry.
        QCOMPARE(textsOf(dialog, fields), u"31|2|2024|Bora Ltd|Euro|Ofis'in Gideri|0|0|20|0||"_s);

        // A failed insert leaves the dialog open with everything typed.
        setTexts(dialog, {"tutar", "kur", "icerik"}, u"5|38.1|kaybolmasın"_s);
        rawExec("DROP TABLE GelirGider");
        click(dialog, "kaydet");
        QVERIFY(m_desktop->takeBox().text.contains(u"GelirGider"_s));
        QCOMPARE(textsOf(dialog, {"tutar", "kur", "icerik"}), u"5|38.1|kaybolmasın"_s);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    // The filters choose the entries listed and, given a year, the period totalled. Each follows the
    // totals of 2024 (two Dolar and Euro entries left out, and said so): nothing of those may stay on
    // show. The arithmetic is tabled on its own.
    void filtersListAndTotalAPeriod_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("expected"); // the sources, in any order
        QTest::addColumn<QString>("totals");   // income|expense|result|left out; "|||" after the error box
        QTest::newRow("everything") << kTumu << 0 << 0 << u"ABCDEFGHI"_s << QString(); // listed only
        QTest::newRow("a month") << kTumu << 3 << 2024 << u"ABC"_s << u"1500.00|1000.25|Toplam KAR: 499.75|"_s;
        QTest::newRow("a kind narrows the list, not the sums")
            << u"Gelir"_s << 3 << 2024 << u"AB"_s << u"1500.00|1000.25|Toplam KAR: 499.75|"_s;
        QTest::newRow("a kind at any date") << u"Gelir"_s << 0 << 0 << u"ABI"_s << QString();
        QTest::newRow("a month of any year") << kTumu << 3 << 0 << u"ABCE"_s << QString();
        QTest::newRow("a year") << kTumu << 0 << 2024 << u"ABCDFGHI"_s
                                << u"1501.00|2704.25|Toplam ZARAR: 1203.25|2 hareket kur bilgisi olmadığı için "
                                   u"toplama katılmadı."_s;
        QTest::newRow("a kind in a year, an amount no number") << u"Gider"_s << 0 << 2025 << u"E"_s << u"|||"_s;
        QTest::newRow("nothing") << u"Gelir"_s << 3 << 2025 << QString() << u"|||"_s;
    }
    void filtersListAndTotalAPeriod()
    {
        QFETCH(QString, kind);
        QFETCH(int, month);
        QFETCH(int, year);
        QFETCH(QString, expected);
        QFETCH(QString, totals);
        addPeriodEntries();
        HareketTablosu dialog;
        QVERIFY(!enabled(dialog, "kaydet") && !enabled(dialog, "sil"));
        filterAndClick(dialog, kTumu, 0, 2024, "hesapla");
        QVERIFY(!widget(dialog, "kurEksik")->isHidden());
        const QString before = textOf(dialog, "kaynak");
        filterAndClick(dialog, kind, month, year, year ? "hesapla" : "listele"); // "Hesapla" needs a year
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
        if (totals == u"|||"_s)
            QVERIFY(m_desktop->takeBox().text.contains(u"IslemTutari"_s));

        // "CSV Aktar" writes what the filters name, every column, read back strictly.
        m_desktop->answerSave(u"hareketler.csv"_s);
        click(dialog, "csvAktar");
        expectBox(u"Listelenen hareketler hareketler.csv dosyasına yazıldı."_s, Desktop::Icon::Information);
        const CsvRead csv = parseCsv(readFile(u"hareketler.csv"_s));
        QCOMPARE(csv.error, QString());
        QCOMPARE(csv.rows.value(0), exchange::entryCaptions());
        QString sources;
        for (const QStringList &row : csv.rows.mid(1))
            sources += row.at(4);
        QCOMPARE(sources, expected);
        if (totals.isEmpty())
            return;
        QCOMPARE(textsOf(dialog, {"toplamGelir", "toplamGider", "karZarar", "kurEksik"}), totals);
        QCOMPARE(widget(dialog, "kurEksik")->isHidden(), totals.endsWith(u'|'));
    }

    // What the totals say of a period, in kuruş: a profit only when income is the larger.
    void totalsSentences_data()
    {
        QTest::addColumn<qint64>("income");
        QTest::addColumn<qint64>("expense");
        QTest::addColumn<int>("leftOut");
        QTest::addColumn<QString>("sentences"); // result|left out
        QTest::newRow("equal sums are a loss of nothing") << 700LL << 700LL << 0 << u"Toplam ZARAR: 0.00|"_s;
        QTest::newRow("a negative expense adds to the profit") << 72LL << -36LL << 0 << u"Toplam KAR: 1.08|"_s;
        QTest::newRow("entries left out") << 10000LL << 0LL << 6
                                          << u"Toplam KAR: 100.00|6 hareket kur bilgisi olmadığı için toplama "
                                             u"katılmadı."_s;
    }
    void totalsSentences()
    {
        QFETCH(qint64, income);
        QFETCH(qint64, expense);
        QFETCH(int, leftOut);
        const ledger::Totals totals{income, expense, leftOut};
        QTEST(ledger::resultText(totals) + u'|' + ledger::leftOutText(totals), "sentences");
    }

    // Another program's unreadable category is left out and counted under its own kind's list (the entries'
    // count is tabled with every dialog's).
    void unreadableCategoriesAreLeftOutAndCounted()
    {
        rawExec("INSERT INTO GGKategori (IslemTuru, KalemAdi) VALUES ('Gelir', 'silinecek'), ('Gelir', 'Birinci'), "
                "('Gelir', 'İkinci')");
        spoilFirstRow(u"GGKategori"_s, u"KalemAdi"_s);
        GGTurEkle dialog;
        QCOMPARE(listed(dialog, "gelirListesi"), (QStringList{u"Birinci"_s, u"İkinci"_s}));
        QCOMPARE(textOf(dialog, "gelirOkunamayan"), u"1 kayıt okunamadı."_s);
        QVERIFY(widget(dialog, "gelirOkunamayan")->isVisibleTo(&dialog));
        QVERIFY(widget(dialog, "giderOkunamayan")->isHidden());
    }

    void detailsAreShownAndEdited()
    {
        addEntry({u"Gelir"_s, u"9"_s, u"11"_s, u"2024"_s, u"Çınar Yapı"_s, u"1250.00"_s, u"Dolar"_s});
        addEntry({u"Gider"_s, u"31"_s, u"12"_s, u"2051"_s, u"Bora Ltd"_s, u"10.00"_s, u"Sterlin"_s, u"F-7"_s,
                  u"satır 1\nsatır 2"_s});
        HareketTablosu dialog;
        filterAndClick(dialog, kTumu, 0, 0, "listele");
        QCOMPARE(
            textsOf(dialog, {"hareketTuru", "gun", "ay", "yil", "kaynak", "tutar", "birim", "kategori", "islemNotu"}),
            u"Gelir|9|11|2024|Çınar Yapı|1250.00|Dolar|Satış|not"_s);
        QVERIFY(!enabled(dialog, "faturaNo") && enabled(dialog, "kaydet") && enabled(dialog, "sil"));

        // Year 2051 and "Sterlin" are in no list: those combos keep what they showed.
        clickRow(dialog, "hareketListesi", 1);
        QCOMPARE(textsOf(dialog, {"hareketTuru", "gun", "ay", "yil", "birim", "faturaNo", "icerik"}),
                 u"Gider|31|12|2024|Dolar|F-7|satır 1\nsatır 2"_s);
        QVERIFY(enabled(dialog, "faturaNo"));

        // Refused, never stored as 12 (the rules of amounts are tabled on their own).
        setText(dialog, "tutar", u"12,5"_s);
        click(dialog, "kaydet");
        expectBox(kAmountMessage, Desktop::Icon::None);
        setTexts(dialog, {"tutar", "kdv", "islemNotu"}, u"12.5|18|Ali'nin notu"_s);
        click(dialog, "kaydet");
        expectBox(u"Hareket bilgileri başarıyla güncellendi."_s, Desktop::Icon::Information);
        // Only what the combos show of this entry, or what the user picks, is written over it.
        QCOMPARE(stored(u"IslemTutari, IslemNotu, Yil, TutarBirimi"_s),
                 (QStringList{u"1250.00|not|2024|Dolar"_s, u"12.500000|Ali'nin notu|2051|Sterlin"_s}));
        QVERIFY(!enabled(dialog, "kaydet") && !enabled(dialog, "sil"));
        clickRow(dialog, "hareketListesi", 1); // the entry on show, chosen again
        QVERIFY(enabled(dialog, "kaydet") && enabled(dialog, "sil"));
        static_cast<QComboBox *>(widget(dialog, "birim"))->activated(2);
        setTexts(dialog, {"kur", "tutar"}, u"35.2|9999999999999.99"_s);
        click(dialog, "kaydet");
        m_desktop->takeBox();
        QCOMPARE(stored(u"Yil, TutarBirimi, GecerliKur, IslemTutari"_s).last(),
                 u"2051|Dolar|35.2|9999999999999.990000"_s); // the shown item, picked; the amount exact

        // Gone meanwhile: said so, not reported saved.
        clickRow(dialog, "hareketListesi", 1);
        rawExec("DELETE FROM GelirGider WHERE RowId = 2");
        click(dialog, "kaydet");
        expectBox(u"Bu hareket artık kayıtlı değil; başka bir yerden silinmiş olabilir. Liste yenilendi."_s,
                  Desktop::Icon::Error);
        QCOMPARE(listed(dialog, "hareketListesi"), QStringList{u"Çınar Yapı"_s});
    }

    // Another program's table may hold NULLs: any but the listed company shows as empty text, and an
    // amount left empty is still no number to add up.
    void anEntryAnotherProgramWroteShowsItsNullsEmpty()
    {
        addEntry({u"Gider"_s, u"1"_s, u"3"_s, u"2024"_s, u"Cam Ltd"_s, u"10.00"_s, u"Lira"_s, u"F-7"_s, u"cam"_s});
        addEntry({u"Gider"_s, u"2"_s, u"3"_s, u"2024"_s, u"Bora Ltd"_s, u"20.00"_s, u"Lira"_s, u"F-8"_s, u"kablo"_s});
        for (const QString &column : {u"IslemTutari"_s, u"IslemIcerigi"_s, u"FaturaNo"_s})
            spoilFirstRow(u"GelirGider"_s, column);
        HareketTablosu dialog;
        filterAndClick(dialog, kTumu, 3, 2024, "listele");
        clickRow(dialog, "hareketListesi", 1);
        QCOMPARE(textsOf(dialog, {"kaynak", "tutar", "icerik", "faturaNo"}), u"Bora Ltd|20.00|kablo|F-8"_s);
        clickRow(dialog, "hareketListesi", 0);
        QCOMPARE(textsOf(dialog, {"kaynak", "tutar", "icerik", "faturaNo"}), u"Cam Ltd|||"_s);
        QVERIFY(enabled(dialog, "kaydet") && enabled(dialog, "sil"));
        click(dialog, "kaydet");
        expectBox(kAmountMessage, Desktop::Icon::None);
        click(dialog, "hesapla");
        expectBox(u"Sütun değeri dönüştürülemedi: IslemTutari"_s, Desktop::Icon::None);
        QCOMPARE(textsOf(dialog, {"toplamGelir", "toplamGider", "karZarar"}), u"||"_s);
    }

    // A stored value longer than its box is kept whole (a table of every dialog holds that); once
    // another entry is shown, the limit stops typing again.
    void theLimitStopsTypingAfterALongerValue()
    {
        addEntry({u"Gider"_s, u"1"_s, u"1"_s, u"2024"_s, u"Bora Ltd"_s, u"10.00"_s, u"Lira"_s, QString(10000, u'F')});
        addEntry({u"Gider"_s, u"2"_s, u"1"_s, u"2024"_s, u"Cam Ltd"_s, u"10.00"_s});
        HareketTablosu dialog;
        filterAndClick(dialog, kTumu, 0, 0, "listele");
        clickRow(dialog, "hareketListesi", 1);
        auto *edit = static_cast<QLineEdit *>(widget(dialog, "faturaNo"));
        edit->selectAll();
        QTest::keyClicks(edit, QString(101, u'7'));
        QCOMPARE(edit->text(), QString(100, u'7'));
    }

    void monthlyReportNeedsAMonthAndAYear()
    {
        addEntry({u"Gelir"_s, u"1"_s, u"2"_s, u"2025"_s, u"A"_s, u"10.00"_s});
        HareketTablosu dialog;
        setText(dialog, "yilFiltresi", kTumu); // "Hesapla" needs a year, the report a month too
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
            m_desktop->answerSave({}); // the file name it proposes is all that is asked of it here
            click(viewer, "pdfKaydet");
        };
        filterAndClick(dialog, kTumu, 2, 2025, "aylikRapor");
        QCOMPARE(m_desktop->modalDialogs, QStringList{u"Rapor"_s});
        QCOMPARE(textOf(dialog, "toplamGelir"), u"10.00"_s); // totalled first
        QCOMPARE(shown.value(1), u"==== NORVA REZADO ==== ŞUBAT 2025 --- AYLIK GELİR VE GİDER RAPORU --- =========="_s);
        QCOMPARE(shown.value(4), u"İşlem Kaynağı: A"_s);
        QCOMPARE(m_desktop->saveRequests.value(0).fileName, u"ŞUBAT_2025_Rapor.pdf"_s);

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
