#include "BulletinServer.h"
#include "DialogTest.h"
#include "DialogWidgets.h"

#include "app/CommandLine.h"
#include "ledger/GelirGiderEkle.h"
#include "ledger/HareketTablosu.h"
#include "ledger/ProcessValues.h"
#include "platform/AppInfo.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSettings>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The rates' address pointed at the test's server, with a short wait for a slow answer.
void pointRatesAt(const BulletinServer &server)
{
    QSettings settings(u"Local AppWizard-Generated Applications"_s, appinfo::title());
    settings.setValue(u"ExchangeRates/Address"_s, server.base());
    settings.setValue(u"ExchangeRates/TimeoutMs"_s, 300);
}

// Chooses a combo box's item as the user does, which is what proposes a rate.
void choose(QWidget &dialog, const char *name, const QString &text)
{
    setText(dialog, name, text);
    auto *combo = static_cast<QComboBox *>(widget(dialog, name));
    emit combo->activated(combo->currentIndex());
}

void typeRate(QWidget &dialog, const QString &rate)
{
    auto *edit = static_cast<QLineEdit *>(widget(dialog, "kur"));
    edit->selectAll();
    QTest::keyClicks(edit, rate);
}

const QString kFridayNote = u"TCMB 05.12.2025 döviz alış"_s;

} // namespace

class TestRates : public DialogTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startCase();
        m_server = std::make_unique<BulletinServer>();
        m_server->putFile(u"202512/05122025.xml"_s, u"05122025.xml"_s);
        m_server->putFile(u"202512/04122025.xml"_s, u"04122025.xml"_s);
        pointRatesAt(*m_server);
        rawExec("INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES ('Bora Ltd', 'Tedarikçi'); "
                "INSERT INTO GGKategori (IslemTuru, KalemAdi) VALUES ('Gider', 'Kira')");
    }
    void cleanup()
    {
        m_server.reset();
        endCase();
    }

    // Choosing Dolar or Euro proposes the rate of the entry's date with its bulletin beside it (a
    // Sunday takes Friday's and says so), fetched once and then kept; a typed rate is never
    // overwritten but "Kuru Getir" fills it on purpose; offline a day not kept leaves a note saying why.
    void addProposesTheRateOfTheDate()
    {
        g_strIslemTuru = u"Gider"_s;
        GelirGiderEkle dialog;
        setTexts(dialog, {"gun", "ay", "yil", "tutar"}, u"7|12|2025|100"_s);
        choose(dialog, "birim", u"Dolar"_s);
        QCOMPARE(textOf(dialog, "kurNotu"), u"Kur getiriliyor…"_s); // the dialog goes on meanwhile
        QTRY_COMPARE(textsOf(dialog, {"kur", "kurNotu"}),
                     u"42.5370|"_s + kFridayNote + u" (07.12.2025 için bülten yok)"_s);
        QCOMPARE(m_server->asked.join(u' '), u"202512/07122025.xml 202512/06122025.xml 202512/05122025.xml"_s);

        choose(dialog, "birim", u"Euro"_s); // kept: at once, no network
        QCOMPARE(textOf(dialog, "kur"), u"49.5012"_s);
        QCOMPARE(m_server->asked.size(), 3);

        typeRate(dialog, u"41.5"_s);
        choose(dialog, "gun", u"5"_s);
        QCOMPARE(textsOf(dialog, {"kur", "kurNotu"}),
                 u"41.5|"_s + kFridayNote + u": 49.5012 (yazdığınız kur korundu)"_s);
        click(dialog, "kuruGetir");
        QCOMPARE(textsOf(dialog, {"kur", "kurNotu"}), u"49.5012|"_s + kFridayNote);

        m_server->stop();
        choose(dialog, "gun", u"3"_s);
        QTRY_COMPARE(textsOf(dialog, {"kur", "kurNotu"}),
                     u"0|Kur getirilemedi (03.12.2025): merkez bankasına bağlanılamadı (ağ bağlantısı yok)."_s);
        typeRate(dialog, u"41.5"_s);
        choose(dialog, "birim", u"Dolar"_s);
        QTRY_VERIFY(textOf(dialog, "kurNotu").startsWith(u"Kur getirilemedi"_s));
        QCOMPARE(textOf(dialog, "kur"), u"41.5"_s);
        click(dialog, "kaydet");
        expectBox(u"Gider işlemi kaydınız başarı ile gerçekleştirilmiştir"_s, Desktop::Icon::Information,
                  u"Gider Ekleme İşlemi"_s);
        QCOMPARE(rawRows(u"SELECT Gun, TutarBirimi, GecerliKur FROM GelirGider"_s), QStringList{u"3|Dolar|41.5"_s});
    }

    // A slow site is given up after the time set, and the dialog says so.
    void aSlowSiteIsGivenUp()
    {
        m_server->put(u"202512/01122025.xml"_s, {200, testData(u"exchange/data/bulletins/05122025.xml"_s), 3000});
        g_strIslemTuru = u"Gider"_s;
        GelirGiderEkle dialog;
        setTexts(dialog, {"gun", "ay", "yil"}, u"1|12|2025"_s);
        choose(dialog, "birim", u"Euro"_s);
        QTRY_COMPARE(textOf(dialog, "kurNotu"),
                     u"Kur getirilemedi (01.12.2025): merkez bankası 1 saniye içinde yanıt vermedi."_s);
        QCOMPARE(textOf(dialog, "kur"), u"0"_s);
    }

    // "Kurları Doldur" fetches the bulletins it lacks, shows every entry it would fill with its rate
    // and bulletin, and writes only after "Kurları Yaz"; the entries table's edit proposes as the add
    // dialog does, keeping a stored rate.
    void entriesTableFillsAndProposes()
    {
        rawExec("INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, GecerliKur, "
                "KdvOrani, IslemCesidi) VALUES "
                "('Gider', '5', '12', '2025', 'Bora Ltd', '100.00', 'Dolar', '', '20', 'Kira'),"
                "('Gider', '7', '12', '2025', 'Bora Ltd', '20.00', 'Euro', '0', '20', 'Kira'),"
                "('Gider', '4', '12', '2025', 'Bora Ltd', '30.00', 'Dolar', '', '20', 'Kira'),"
                "('Gider', '5', '12', '2025', 'Bora Ltd', '40.00', 'Dolar', '41.9', '20', 'Kira')");
        HareketTablosu dialog;
        setTexts(dialog, {"ayFiltresi", "yilFiltresi"}, u"12|2025"_s);
        click(dialog, "listele");
        QStringList previewed;
        m_desktop->onModal = [&](QDialog &preview) {
            previewed = rowsOf(preview, "hareketler");
            click(preview, previewed.size() == 3 && m_accept ? "yaz" : "vazgec");
        };
        m_accept = false;
        click(dialog, "kurlariDoldur");
        QVERIFY(!enabled(dialog, "kurlariDoldur"));
        QCOMPARE(textOf(dialog, "kurEksik").left(19), u"Kurlar getiriliyor…"_s);
        QTRY_COMPARE(m_desktop->modalDialogs, QStringList{u"RateFillPreview"_s});
        const QStringList expected{u"05.12.2025|Bora Ltd|100.00|Dolar|42.5370|"_s + kFridayNote,
                                   u"07.12.2025|Bora Ltd|20.00|Euro|49.5012|"_s + kFridayNote +
                                       u" (07.12.2025 için bülten yok)"_s,
                                   u"04.12.2025|Bora Ltd|30.00|Dolar|42.4811|TCMB 04.12.2025 döviz alış"_s};
        QCOMPARE(previewed, expected);
        const QString stored = u"SELECT GecerliKur FROM GelirGider ORDER BY RowId"_s;
        QCOMPARE(rawRows(stored).join(u','), u",0,,41.9"_s); // "Vazgeç" wrote nothing

        m_accept = true;
        m_server->stop(); // kept now: no network needed
        click(dialog, "kurlariDoldur");
        QCOMPARE(previewed, expected);
        expectBox(u"3 hareketin Geçerli Kur alanı dolduruldu."_s, Desktop::Icon::Information);
        QCOMPARE(rawRows(stored).join(u','), u"42.5370,49.5012,42.4811,41.9"_s);

        clickRow(dialog, "hareketListesi", 3);
        choose(dialog, "birim", u"Euro"_s);
        QCOMPARE(textsOf(dialog, {"kur", "kurNotu"}),
                 u"41.9|"_s + kFridayNote + u": 49.5012 (yazdığınız kur korundu)"_s);
        clickRow(dialog, "hareketListesi", 0);
        QCOMPARE(textOf(dialog, "kurNotu"), QString());
    }

    // --fetch-rates keeps the bulletins of a span of days from the terminal; dates as typed in Turkey.
    void fetchRatesFromTheTerminal_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("said");
        QTest::newRow("a span")
            << QStringList{u"--fetch-rates"_s, u"04.12.2025"_s, u"07.12.2025"_s}
            << u"0|2 yeni bülten merkez bankasından getirildi ve saklandı.\n04.12.2025 - 07.12.2025 "
               u"arasındaki 4 günün kuru hazır.\n|"_s;
        QTest::newRow("a date not understood")
            << QStringList{u"--fetch-rates"_s, u"2025-12-04"_s, u"07.12.2025"_s}
            << u"1||Tarih anlaşılamadı: 2025-12-04. Tarihleri GG.AA.YYYY biçiminde yazın (örneğin 01.12.2026).\n"_s;
        QTest::newRow("one date only") << QStringList{u"--fetch-rates"_s, u"04.12.2025"_s}
                                       << u"1||--fetch-rates iki tarih ister: başlangıç ve bitiş (örneğin "
                                          u"--fetch-rates 01.12.2026 31.12.2026).\nSeçenekler için: norva-rezado "
                                          u"--help\n"_s;
        QTest::newRow("the end before the start")
            << QStringList{u"--fetch-rates"_s, u"07.12.2025"_s, u"04.12.2025"_s}
            << u"1||Başlangıç tarihi (07.12.2025) bitiş tarihinden (04.12.2025) sonra olamaz.\n"_s;
        QTest::newRow("the site failing") << QStringList{u"--fetch-rates"_s, u"01.12.2025"_s, u"01.12.2025"_s}
                                          << u"1|0 yeni bülten merkez bankasından getirildi ve saklandı.\n|Kur "
                                             u"getirilemedi (01.12.2025): gelen yanıt kur bülteni değil, bir web "
                                             u"sayfası. Getirilenler saklandı; komutu yeniden çalıştırarak "
                                             u"kalanları getirebilirsiniz.\n"_s;
    }
    void fetchRatesFromTheTerminal()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, said);
        m_server->put(u"202512/01122025.xml"_s, {200, testData(u"exchange/data/bulletins/error-page.html"_s)});
        arguments.prepend(u"norva-rezado"_s);
        QVERIFY(commandline::wanted(arguments));
        QString in, out, err;
        QTextStream inStream(&in), outStream(&out), errStream(&err);
        const int code = commandline::run(arguments, inStream, outStream, errStream);
        QCOMPARE(u"%1|%2|%3"_s.arg(code).arg(out, err), said);
    }

private:
    std::unique_ptr<BulletinServer> m_server;
    bool m_accept = false;
};

QTEST_MAIN(TestRates)
#include "tst_rates.moc"
