#include "CsvReader.h"
#include "DialogTest.h"
#include "DialogWidgets.h"

#include "companies/FirmaEkleDialog.h"
#include "companies/KayitliFirmalar.h"
#include "platform/Addresses.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// Every company as stored, its fields in the order of the add dialog.
QStringList storedCompanies()
{
    return rawRows(u"SELECT FirmaAdi, FirmaAdresi, VergiDairesi, VergiNumarasi, Telefon, Mail, CalismaTuru, WebAdresi "
                   u"FROM Firmalar ORDER BY RowId"_s);
}

// "on" or "off" for both record buttons of the browser; "mixed" is always wrong.
QString recordButtons(QWidget &dialog)
{
    const bool save = enabled(dialog, "kaydet"), remove = enabled(dialog, "sil");
    return save != remove ? u"mixed"_s : save ? u"on"_s : u"off"_s;
}

void setChecked(QWidget &dialog, const char *name, bool checked)
{
    static_cast<QCheckBox *>(widget(dialog, name))->setChecked(checked);
}

} // namespace

class TestCompanies : public DialogTest
{
    Q_OBJECT

private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    void keepOpenAddsCompaniesInARowAndFailuresLoseNothing()
    {
        FirmaEkleDialog dialog;
        dialog.show();
        setChecked(dialog, "keepOpen", true);
        typeText(widget(dialog, "firmaAdi"), u"Ali'nin Kırtasiyesi"_s);
        QTest::keyClick(widget(dialog, "firmaAdi"), Qt::Key_Return);   // does nothing
        typeText(widget(dialog, "adres"), u"Çarşı Cd. No:5\nŞişli"_s); // Enter makes a new line
        setTexts(dialog, {"vergiDairesi", "vergiNumarasi", "telefon", "mail", "calismaTuru", "web"},
                 u"Şişli|12345678901|0212 555 11 22|ali@ornek.com|Tedarikçi|ornek.com.tr"_s);
        // Kept open, the form is emptied and stays so; unchecked, the emptied form adds an empty customer.
        for (const bool open : {true, false}) {
            click(dialog, "kaydet");
            expectBox(u"Firma başarılı bir şekilde eklenmiştir."_s, Desktop::Icon::Information,
                      u"Firma Ekleme İşlemi"_s);
            QVERIFY(dialog.isVisible() == open &&
                    static_cast<QCheckBox *>(widget(dialog, "keepOpen"))->isChecked() == open);
            QCOMPARE(textsOf(dialog, {"firmaAdi", "adres", "calismaTuru"}), u"||Müşteri"_s);
            setChecked(dialog, "keepOpen", false);
        }
        QCOMPARE(storedCompanies(), (QStringList{u"Ali'nin Kırtasiyesi|Çarşı Cd. No:5\nŞişli|Şişli|12345678901|"
                                                 u"0212 555 11 22|ali@ornek.com|Tedarikçi|ornek.com.tr"_s,
                                                 u"||||||Müşteri|"_s}));

        // A failed add keeps everything typed, whether the form stays open or not.
        rawExec("DROP TABLE Firmalar");
        dialog.show();
        setTexts(dialog, {"firmaAdi", "adres", "calismaTuru"}, u"Yıldız Danışmanlık|Ankara|Tedarikçi"_s);
        for (const bool keep : {false, true}) {
            setChecked(dialog, "keepOpen", keep);
            click(dialog, "kaydet");
            expectBox(u"no such table: Firmalar"_s, Desktop::Icon::None);
            QVERIFY(dialog.isVisible());
            QCOMPARE(textsOf(dialog, {"firmaAdi", "adres", "calismaTuru"}), u"Yıldız Danışmanlık|Ankara|Tedarikçi"_s);
        }
        QTest::keyClick(&dialog, Qt::Key_Escape); // closes without saving
        QVERIFY(!dialog.isVisible());
    }

    void addressLimitStopsTyping()
    {
        FirmaEkleDialog adding;
        auto *adres = static_cast<QPlainTextEdit *>(widget(adding, "adres"));
        adres->setPlainText(QString(298, u'a'));
        adres->moveCursor(QTextCursor::End);
        typeText(adres, u"ş\nğü"_s); // the new line still fits; what follows does not
        QCOMPARE(adres->toPlainText(), QString(298, u'a') + u"ş\n"_s);
    }

    // "Bul" lists the relation chosen (which rows each takes, and their order, is the core's) and shows the
    // first; "CSV Aktar" writes the rows listed, listing first when nothing is; "Kaydet" stores the fields
    // as typed, and the mail and web buttons take them through the rules of addresses tabled below.
    void theBrowserListsWritesAndSaves()
    {
        rawExec("INSERT INTO Firmalar (FirmaAdi, FirmaAdresi, VergiDairesi, VergiNumarasi, Telefon, Mail, CalismaTuru, "
                "WebAdresi) VALUES ('Zeytin A.Ş.', 'Cad. 1', 'Konak', '123', '0232', 'a@b.c', 'Müşteri', 'ornek.com'); "
                "INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES ('Çınar Yapı', 'Müşteri'), ('İnci Tekstil', "
                "'Tedarikçi')");
        writeFile(u"eski"_s, "eski");
        KayitliFirmalar dialog;
        dialog.show();
        QCOMPARE(recordButtons(dialog), u"off"_s);
        const auto writeCsv = [&](const QString &path) {
            m_desktop->answerSave(path);
            click(dialog, "csvAktar");
            QStringList rows;
            for (const QStringList &row : parseCsv(readFile(path)).rows)
                rows << row.join(u'|');
            return rows.join(u';');
        };
        QCOMPARE(
            writeCsv(u"firmalar.csv"_s),
            u"Firma Adı|Adresi|Vergi Dairesi|Vergi Numarası|Telefon|Mail|Çalışma Türü|Web;Çınar Yapı||||||Müşteri|;"
            u"İnci Tekstil||||||Tedarikçi|;Zeytin A.Ş.|Cad. 1|Konak|123|0232|a@b.c|Müşteri|ornek.com"_s);
        expectBox(u"Listelenen firmalar firmalar.csv dosyasına yazıldı."_s, Desktop::Icon::Information);
        QCOMPARE(m_desktop->saveRequests.value(0).fileName, u"Firmalar.csv"_s);

        const auto find = [&](const QString &filter) {
            setText(dialog, "filtre", filter);
            click(dialog, "bul");
            return listed(dialog, "firmaListesi").join(u'|') + u';' + textOf(dialog, "toplam");
        };
        QCOMPARE(find(u"Müşteri"_s), u"Çınar Yapı|Zeytin A.Ş.;Toplam 2 adet kayıtlı firma bulundu."_s);
        QCOMPARE(textsOf(dialog, {"firmaAdi", "calismaTuru"}), u"Çınar Yapı|Müşteri"_s);
        QCOMPARE(recordButtons(dialog), u"on"_s);
        clickRow(dialog, "firmaListesi", 1);
        QCOMPARE(textOf(dialog, "firmaAdi") + QString::number(dialog.selectedRowId()), u"Zeytin A.Ş.1"_s);
        QCOMPARE(writeCsv(u"eski/firmalar.csv"_s), QString()); // no folder can be made there
        expectBox(u"\"eski/firmalar.csv\" dosyası oluşturulamadı. Klasörün var olduğundan ve yazma izniniz "
                  u"olduğundan emin olun."_s,
                  Desktop::Icon::Error);
        QCOMPARE(readFile(u"eski"_s), QByteArray("eski"));

        // Nothing matches: the shown company stays usable, and there is nothing to write.
        QCOMPARE(find(u"Tedarikçi & Müşteri"_s), u";Toplam 0 adet kayıtlı firma bulundu."_s);
        QCOMPARE(textOf(dialog, "firmaAdi") + QString::number(dialog.selectedRowId()), u"Zeytin A.Ş.1"_s);
        QCOMPARE(recordButtons(dialog), u"on"_s);
        click(dialog, "csvAktar");
        expectBox(u"Listede aktarılacak firma yok."_s, Desktop::Icon::Error);

        setTexts(dialog, {"adres", "vergiDairesi", "vergiNumarasi", "telefon", "mail", "web"},
                 u"Ali'nin Sokağı\nNo: 3|Üsküdar|98765432109|0216 000 00 00|o'brien@ornek.com|ornek.com.tr"_s);
        click(dialog, "mailGonder");
        click(dialog, "webAc");
        QCOMPARE(m_desktop->opened, (QStringList{u"mailto:o'brien@ornek.com"_s, u"https://ornek.com.tr"_s}));
        click(dialog, "kaydet");
        expectBox(u"Firma bilgileri başarıyla güncellendi."_s, Desktop::Icon::Information);
        QCOMPARE(recordButtons(dialog), u"off"_s);
        QCOMPARE(storedCompanies().value(0), u"Zeytin A.Ş.|Ali'nin Sokağı\nNo: 3|Üsküdar|98765432109|0216 000 00 00|"
                                             u"o'brien@ornek.com|Müşteri|ornek.com.tr"_s);
        setText(dialog, "mail", u"x@y?attach=/etc/passwd"_s);
        click(dialog, "mailGonder");
        expectBox(u"Geçerli bir e-posta adresi değil: x@y?attach=/etc/passwd"_s, Desktop::Icon::Error);
        QCOMPARE(m_desktop->opened.size(), 2);
    }

    // The mail and web buttons' addresses: what is opened, or "!" when refused for the address as typed.
    void addressRules_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("opened");
        const auto row = [](const char *name, const QString &field, const QString &opened = u"!"_s) {
            QTest::newRow(name) << field << opened;
        };
        row("web: bare host", u"www.ornek.com"_s, u"https://www.ornek.com"_s);
        row("web: blanks around", u"  www.ornek.com "_s, u"https://www.ornek.com"_s);
        row("web: scheme in capitals", u"HTTP://EXAMPLE.COM"_s, u"HTTP://EXAMPLE.COM"_s);
        row("web: http inside the host", u"httpbin.org/get"_s, u"https://httpbin.org/get"_s);
        row("web: host and port", u"localhost:8080/yol"_s, u"https://localhost:8080/yol"_s);
        row("web: Turkish host", u"şirket.com.tr"_s, u"https://şirket.com.tr"_s);
        row("web: file address", u"file:///etc/passwd"_s);
        row("web: file path", u"/usr/bin/xterm"_s);
        row("web: other scheme", u"ftp://http.ornek.com"_s);
        row("web: mail address", u"mailto:ali@ornek.com"_s);
        row("web: no host", u"https://"_s);
        row("web: blank in the host", u"ornek .com"_s);
        row("web: empty", u" "_s, u"Lütfen önce bir web adresi yazın."_s);
        row("mail: plain", u" o'brien@şirket.com.tr "_s, u"mailto:o'brien@şirket.com.tr"_s);
        row("mail: header", u"x@y?attach=/etc/passwd"_s);
        row("mail: line break", u"x@y\nBcc: z@w"_s);
        row("mail: encoded header", u"x@y%3Fcc=z@w"_s);
        row("mail: two recipients", u"a@b.com,c@d.com"_s);
        row("mail: blank inside", u"ali veli@ornek.com"_s);
        row("mail: no at sign", u"ornek.com"_s);
        row("mail: nothing before the at sign", u"@ornek.com"_s);
        row("mail: empty", QString(), u"Lütfen önce bir e-posta adresi yazın."_s);
    }
    void addressRules()
    {
        QFETCH(QString, field);
        QFETCH(QString, opened);
        const bool mail = QByteArray(QTest::currentDataTag()).startsWith("mail");
        const addresses::Target target = mail ? addresses::mailto(field) : addresses::web(field);
        const QString expected =
            opened != u"!"_s
                ? opened
                : (mail ? u"Geçerli bir e-posta adresi değil: "_s : u"Bu adres bir web adresi değil: "_s) + field;
        QCOMPARE(target.address + target.refusal, expected); // never both
    }
};

QTEST_MAIN(TestCompanies)
#include "tst_companies.moc"
