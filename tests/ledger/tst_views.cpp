#include "DialogTest.h"
#include "DialogWidgets.h"

#include "ledger/ChartsDialog.h"
#include "ledger/HareketTablosu.h"
#include "ledger/RegisterDialog.h"

#include <QLabel>
#include <QTableView>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

void addEntries()
{
    rawExec("INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, GecerliKur, "
            "IslemCesidi, IslemIcerigi, IslemNotu, FaturaNo) VALUES "
            "('Gelir', '5', '3', '2024', 'Çınar Yapı', '1000.00', 'Lira', '0', 'Satış', 'Hakediş', '', '0'), "
            "('Gider', '1', '3', '2024', 'Işık Elektrik', '250.50', 'Lira', '0', 'Malzeme', 'Kablo', '', 'A-1'), "
            "('Gider', '9', '3', '2024', 'Işık Elektrik', '20.00', 'Dolar', '', 'Malzeme', 'Priz', '', 'A-2')");
}

} // namespace

// The register's and the charts' windows: what they show comes from the core, what they write
// reaches the file.
class TestViews : public DialogTest
{
    Q_OBJECT

private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    void registerShowsBalanceAndRates()
    {
        addEntries();
        RegisterDialog dialog;
        QCOMPARE(rowsOf(dialog, "tablo", 1).join(u','), u"01.03.2024,05.03.2024,09.03.2024"_s);
        QCOMPARE(rowsOf(dialog, "tablo").value(2),
                 u"09.03.2024|Gider|Işık Elektrik|Malzeme|Priz|A-2|20,00 $|kur yok|749,50 ₺"_s);
        QCOMPARE(textsOf(dialog, {"toplam", "kurEksik"}),
                 u"Toplam 3 hareket · Bakiye: 749,50 ₺|1 hareket kur bilgisi olmadığı için bakiyeye katılmadı."_s);
        setText(dialog, "tur", u"Gelir"_s);
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 1 hareket · Bakiye: 1.000,00 ₺"_s);
        setText(dialog, "tur", u"Tümü"_s);
        setText(dialog, "metin", u"ışık"_s); // the text filter waits for a pause in typing: Enter runs it now
        QTest::keyClick(widget(dialog, "metin"), Qt::Key_Return);
        QCOMPARE(rowsOf(dialog, "tablo", 1).join(u','), u"01.03.2024,09.03.2024"_s);

        // "CSV Aktar" writes what is shown.
        const QString path = m_ws->path() + u"/dokum.csv"_s;
        m_desktop->answerSave(path);
        click(dialog, "csvAktar");
        expectBox(u"Hesap dökümü dokum.csv dosyasına yazıldı."_s, Desktop::Icon::Information);
        const QString csv = QString::fromUtf8(readFile(path));
        QVERIFY2(csv.contains(u"Tarih;Hareket Türü;Firma;Kategori;İşlem İçeriği;Fatura No;Tutar;TL Karşılığı;Bakiye"_s),
                 qPrintable(csv));
        QVERIFY(csv.contains(u"09.03.2024;Gider;Işık Elektrik;Malzeme;Priz;A-2;20,00 $;kur yok;'-250,50 ₺"_s));
        QVERIFY(!csv.contains(u"Çınar"_s));
    }

    // A double-click opens the entry in "Hareket Tablosu", chosen; what is deleted there leaves the register.
    void doubleClickOpensTheEntry()
    {
        addEntries();
        RegisterDialog dialog;
        auto *table = static_cast<QTableView *>(widget(dialog, "tablo"));
        table->sortByColumn(2, Qt::AscendingOrder); // by company: Çınar first
        QString shown;
        m_desktop->onModal = [&](QDialog &entries) {
            shown = textsOf(entries, {"kaynak", "tutar", "ayFiltresi", "yilFiltresi"});
            clickAndAnswer(entries, "sil");
            expectBox(u"Seçili hareket başarıyla silindi."_s, Desktop::Icon::Information);
        };
        const QModelIndex second = table->model()->index(1, 0);
        emit table->doubleClicked(second);
        QCOMPARE(m_desktop->modalDialogs, QStringList{u"HareketTablosu"_s});
        QCOMPARE(shown, u"Işık Elektrik|250.50|3|2024"_s);
        QCOMPARE(rowsOf(dialog, "tablo", 3).join(u','),
                 u"05.03.2024|Gelir|Çınar Yapı,09.03.2024|Gider|Işık Elektrik"_s);
    }

    void chartsShowTheYearAndSaveImages()
    {
        addEntries();
        ChartsDialog dialog;
        setText(dialog, "yil", u"2024"_s);
        QCOMPARE(textOf(dialog, "yilToplami"),
                 u"2024 yılı\n\nToplam Gelir:\n1.000,00 ₺\n\nToplam Gider:\n250,50 ₺\n\nKâr:\n749,50 ₺"_s);
        QCOMPARE(textOf(dialog, "kurEksik"), u"1 hareket kur bilgisi olmadığı için grafiğe katılmadı."_s);
        dialog.resize(900, 600);
        const QString png = m_ws->path() + u"/grafik.png"_s, svg = m_ws->path() + u"/grafik.svg"_s;
        m_desktop->answerSave(png);
        click(dialog, "resimKaydet");
        expectBox(u"Grafik grafik.png dosyasına kaydedildi."_s, Desktop::Icon::Information);
        QVERIFY(readFile(png).startsWith("\x89PNG"));
        m_desktop->answerSave(svg);
        click(dialog, "resimKaydet");
        expectBox(u"Grafik grafik.svg dosyasına kaydedildi."_s, Desktop::Icon::Information);
        QVERIFY(readFile(svg).contains("<svg"));
    }

    void chartsSayWhenAnAmountCannotBeRead()
    {
        rawExec("INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemTutari, TutarBirimi) VALUES "
                "('Gelir', '1', '1', '2024', 'on lira', 'Lira')");
        ChartsDialog dialog;
        setText(dialog, "yil", u"2024"_s);
        // The monthly chart and the categories' say so each; nothing half-counted is drawn.
        expectBox(u"Sütun değeri dönüştürülemedi: IslemTutari"_s, Desktop::Icon::None);
        expectBox(u"Sütun değeri dönüştürülemedi: IslemTutari"_s, Desktop::Icon::None);
        QCOMPARE(textOf(dialog, "yilToplami"), QString());
    }
};

QTEST_MAIN(TestViews)
#include "tst_views.moc"
