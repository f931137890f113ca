#include "CsvReader.h"
#include "DialogTest.h"
#include "DialogWidgets.h"

#include "companies/FirmaEkleDialog.h"
#include "companies/KayitliFirmalar.h"
#include "core/Companies.h"
#include "platform/Addresses.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
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
QCheckBox *keepOpen(QWidget &dialog)
{
    return static_cast<QCheckBox *>(widget(dialog, "keepOpen"));
}

const QString kVanished = u"Bu firma artık kayıtlı değil; başka bir yerden silinmiş olabilir. Liste yenilendi."_s;

} // namespace

class TestCompanies : public DialogTest
{
    Q_OBJECT

    void expectAdded()
    {
        expectBox(u"Firma başarılı bir şekilde eklenmiştir."_s, Desktop::Icon::Information, u"Firma Ekleme İşlemi"_s);
    }

private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    void keepOpenAddsCompaniesInARowAndFailuresLoseNothing()
    {
        FirmaEkleDialog dialog;
        dialog.show();
        keepOpen(dialog)->setChecked(true);
        typeText(widget(dialog, "firmaAdi"), u"Ali'nin Kırtasiyesi"_s);
        QTest::keyClick(widget(dialog, "firmaAdi"), Qt::Key_Return);   // does nothing
        typeText(widget(dialog, "adres"), u"Çarşı Cd. No:5\nŞişli"_s); // Enter makes a new line
        setTexts(dialog, {"vergiDairesi", "vergiNumarasi", "telefon", "mail", "calismaTuru", "web"},
                 u"Şişli|12345678901|0212 555 11 22|ali@ornek.com|Tedarikçi|ornek.com.tr"_s);
        click(dialog, "kaydet");
        expectAdded();
        QCOMPARE(storedCompanies(), QStringList{u"Ali'nin Kırtasiyesi|Çarşı Cd. No:5\nŞişli|Şişli|12345678901|"
                                                u"0212 555 11 22|ali@ornek.com|Tedarikçi|ornek.com.tr"_s});
        QVERIFY(dialog.isVisible() && keepOpen(dialog)->isChecked());
        QCOMPARE(textsOf(dialog, {"firmaAdi", "adres", "calismaTuru"}), u"||Müşteri"_s);

        // Unchecked, the emptied form adds an empty customer and closes.
        keepOpen(dialog)->setChecked(false);
        click(dialog, "kaydet");
        expectAdded();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(storedCompanies().constLast(), u"||||||Müşteri|"_s);

        // A failed add keeps everything typed, whether the form stays open or not.
        rawExec("DROP TABLE Firmalar");
        for (const bool keep : {false, true}) {
            FirmaEkleDialog failing;
            failing.show();
            keepOpen(failing)->setChecked(keep);
            setTexts(failing, {"firmaAdi", "adres", "calismaTuru"}, u"Yıldız Danışmanlık|Ankara|Tedarikçi"_s);
            click(failing, "kaydet");
            expectBox(u"no such table: Firmalar"_s, Desktop::Icon::None);
            QVERIFY(failing.isVisible());
            QCOMPARE(textsOf(failing, {"firmaAdi", "adres", "calismaTuru"}), u"Yıldız Danışmanlık|Ankara|Tedarikçi"_s);
            QTest::keyClick(&failing, Qt::Key_Escape); // closes without saving
            QVERIFY(!failing.isVisible());
        }
    }

    void addressLimitStopsTyping()
    {
        FirmaEkleDialog adding;
        auto *adres = static_cast<QPlainTextEdit *>(widget(adding, "adres"));
        adres->setPlainText(QString(298, u'a'));
        adres->moveCursor(QTextCursor::End);
        typeText(adres, u"ş\nğü"_s); // the new line still fits; what follows does not
        QCOMPARE(adres->toPlainText(), QString(298, u'a') + u"ş\n"_s);
        adres->setPlainText(QString(290, u'a'));
        adres->moveCursor(QTextCursor::End);
        QGuiApplication::clipboard()->setText(QString(20, u'ç'));
        adres->paste(); // keeps only what fits
        QCOMPARE(adres->toPlainText(), QString(290, u'a') + QString(10, u'ç'));
    }

    void filtersListTheirRelationInTurkishOrder()
    {
        rawExec("INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES ('Zeytin A.Ş.', 'Müşteri'), "
                "('Çınar Yapı', 'Müşteri'), ('Cam Dünyası', 'Müşteri'), ('İnci Tekstil', 'Tedarikçi'), "
                "('Işık Ltd.', 'Tedarikçi & Müşteri')");

        KayitliFirmalar dialog;
        dialog.show();
        QCOMPARE(recordButtons(dialog), u"off"_s);
        const auto find = [&](const QString &filter) {
            setText(dialog, "filtre", filter);
            click(dialog, "bul");
            return listed(dialog, "firmaListesi");
        };
        // Each item lists its own relation (which rows each one takes is the use case's).
        QCOMPARE(find(u"Müşteri"_s), (QStringList{u"Cam Dünyası"_s, u"Çınar Yapı"_s, u"Zeytin A.Ş."_s}));
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 3 adet kayıtlı firma bulundu."_s);
        QCOMPARE(textsOf(dialog, {"firmaAdi", "calismaTuru"}), u"Cam Dünyası|Müşteri"_s);
        QCOMPARE(recordButtons(dialog), u"on"_s);
        clickRow(dialog, "firmaListesi", 1);
        QCOMPARE(textOf(dialog, "firmaAdi"), u"Çınar Yapı"_s);
        QCOMPARE(dialog.selectedRowId(), 2);

        QCOMPARE(find(u"Tedarikçi & Müşteri"_s), QStringList{u"Işık Ltd."_s});
        QCOMPARE(find(u"Tümünü Listele"_s),
                 (QStringList{u"Cam Dünyası"_s, u"Çınar Yapı"_s, u"Işık Ltd."_s, u"İnci Tekstil"_s, u"Zeytin A.Ş."_s}));

        // Nothing matches: empty list, count 0, the shown company stays usable.
        rawExec("DELETE FROM Firmalar WHERE CalismaTuru = 'Tedarikçi'");
        QVERIFY(find(u"Tedarikçi"_s).isEmpty());
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 0 adet kayıtlı firma bulundu."_s);
        QCOMPARE(dialog.selectedRowId(), 3);
        QCOMPARE(recordButtons(dialog), u"on"_s);
    }

    // The browser saves the fields as typed. Its mail and web buttons take the fields' texts too, through
    // the rules of addresses tabled below.
    void savingStoresTheEditedFieldsAsTyped()
    {
        rawExec("INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES ('Ali''nin Yeri', 'Müşteri')");
        KayitliFirmalar dialog;
        dialog.show();
        click(dialog, "bul");
        setTexts(dialog, {"adres", "vergiDairesi", "vergiNumarasi", "telefon", "mail", "web"},
                 u"Ali'nin Sokağı\nNo: 3|Üsküdar|98765432109|0216 000 00 00|o'brien@ornek.com|ornek.com.tr"_s);
        click(dialog, "mailGonder");
        click(dialog, "webAc");
        QCOMPARE(m_desktop->opened, (QStringList{u"mailto:o'brien@ornek.com"_s, u"https://ornek.com.tr"_s}));
        click(dialog, "kaydet");
        expectBox(u"Firma bilgileri başarıyla güncellendi."_s, Desktop::Icon::Information);
        QCOMPARE(recordButtons(dialog), u"off"_s);
        QCOMPARE(storedCompanies(),
                 QStringList{u"Ali'nin Yeri|Ali'nin Sokağı\nNo: 3|Üsküdar|98765432109|0216 000 00 00|"
                             u"o'brien@ornek.com|Müşteri|ornek.com.tr"_s});
        setTexts(dialog, {"mail", "web"}, u"x@y?attach=/etc/passwd|/usr/bin/xterm"_s);
        click(dialog, "mailGonder");
        expectBox(u"Geçerli bir e-posta adresi değil: x@y?attach=/etc/passwd"_s, Desktop::Icon::Error);
        click(dialog, "webAc");
        expectBox(u"Bu adres bir web adresi değil: /usr/bin/xterm"_s, Desktop::Icon::Error);
        QCOMPARE(m_desktop->opened.size(), 2);

        // Deleted meanwhile by a second copy: an error, not a success, and a fresh list.
        click(dialog, "bul");
        rawExec("DELETE FROM Firmalar");
        click(dialog, "kaydet");
        expectBox(kVanished, Desktop::Icon::Error);
        QVERIFY(listed(dialog, "firmaListesi").isEmpty());
        QCOMPARE(recordButtons(dialog), u"off"_s);
    }

    // Another program's table may hold NULLs: a company without a name is left out of the
    // list, any other NULL shows as empty text.
    void aCompanyAnotherProgramWroteShowsItsNullsEmpty()
    {
        rawExec("INSERT INTO Firmalar (FirmaAdi, CalismaTuru, Mail) VALUES ('Okunur', 'Müşteri', 'ali@ornek.com');"
                "CREATE TABLE Eski AS SELECT * FROM Firmalar; DROP TABLE Firmalar;"
                "CREATE TABLE Firmalar (RowId INTEGER PRIMARY KEY, FirmaAdi TEXT, FirmaAdresi TEXT, VergiDairesi TEXT,"
                " VergiNumarasi TEXT, Telefon TEXT, Mail TEXT, CalismaTuru TEXT, WebAdresi TEXT);"
                "INSERT INTO Firmalar SELECT * FROM Eski; INSERT INTO Firmalar (FirmaAdi) VALUES (NULL);"
                "INSERT INTO Firmalar (FirmaAdi) VALUES ('Başka yerde yapılmış')");
        KayitliFirmalar dialog;
        dialog.show();
        click(dialog, "bul");
        QCOMPARE(listed(dialog, "firmaListesi"), (QStringList{u"Başka yerde yapılmış"_s, u"Okunur"_s}));
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 2 adet kayıtlı firma bulundu."_s);
        QCOMPARE(textOf(dialog, "okunamayan"), u"1 kayıt okunamadı."_s);

        clickRow(dialog, "firmaListesi", 1);
        QCOMPARE(textsOf(dialog, {"firmaAdi", "calismaTuru", "mail"}), u"Okunur|Müşteri|ali@ornek.com"_s);
        clickRow(dialog, "firmaListesi", 0);
        QCOMPARE(textsOf(dialog, {"firmaAdi", "calismaTuru", "mail", "web"}), u"Başka yerde yapılmış|||"_s);
        QCOMPARE(recordButtons(dialog), u"on"_s);
    }

    // "CSV Aktar" writes what the list shows; with nothing listed yet it lists with the chosen filter first.
    void csvAktarWritesTheListedCompanies_data()
    {
        QTest::addColumn<QString>("filter"); // empty: "Bul" not pressed
        QTest::addColumn<QString>("path");   // under "eski", a file: no folder can be made there
        QTest::addColumn<QString>("names");  // in the file, in the list's order
        QTest::addColumn<QString>("refusal");
        const QString cinar = u"Çınar; \"Yapı\""_s, isik = u"Işık Ltd."_s, zeytin = u"Zeytin\r\nA.Ş."_s;
        QTest::newRow("customers listed") << u"Müşteri"_s << u"firmalar.csv"_s << cinar + u'|' + zeytin << QString();
        QTest::newRow("nothing listed yet")
            << QString() << u"firmalar.csv"_s << QStringList{cinar, isik, zeytin}.join(u'|') << QString();
        QTest::newRow("none listed") << u"Tedarikçi"_s << QString() << QString() << u"Listede aktarılacak firma yok."_s;
        QTest::newRow("folder that is a file")
            << u"Müşteri"_s << u"eski/firmalar.csv"_s << QString()
            << u"\"eski/firmalar.csv\" dosyası oluşturulamadı. Klasörün var olduğundan ve yazma izniniz olduğundan "
               u"emin olun."_s;
    }
    void csvAktarWritesTheListedCompanies()
    {
        QFETCH(QString, filter);
        QFETCH(QString, path);
        QFETCH(QString, names);
        QFETCH(QString, refusal);
        for (const auto &[name, relation] :
             {std::pair{u"Zeytin\r\nA.Ş."_s, u"Müşteri"_s}, std::pair{u"Işık Ltd."_s, u"Tedarikçi & Müşteri"_s},
              std::pair{u"Çınar; \"Yapı\""_s, u"Müşteri"_s}})
            core::Companies().add({-1, name, u"Cad. 1\r\nİzmir"_s, u"Konak"_s, u"123"_s, u"0232"_s, u"a@b.c"_s,
                                   relation, u"ornek.com"_s});
        writeFile(u"eski"_s, "eski");
        KayitliFirmalar dialog;
        dialog.show();
        if (!filter.isEmpty()) {
            setText(dialog, "filtre", filter);
            click(dialog, "bul");
        }
        if (!path.isEmpty())
            m_desktop->answerSave(path);
        click(dialog, "csvAktar");
        if (!refusal.isEmpty()) {
            expectBox(refusal, Desktop::Icon::Error);
            QCOMPARE(readFile(u"eski"_s), QByteArray("eski"));
            return;
        }
        expectBox(u"Listelenen firmalar firmalar.csv dosyasına yazıldı."_s, Desktop::Icon::Information);
        QCOMPARE(m_desktop->saveRequests.value(0).fileName, u"Firmalar.csv"_s);
        const CsvRead csv = parseCsv(readFile(path));
        QCOMPARE(csv.error, QString());
        QCOMPARE(csv.rows.value(0).join(u'|'),
                 u"Firma Adı|Adresi|Vergi Dairesi|Vergi Numarası|Telefon|Mail|Çalışma Türü|Web"_s);
        QStringList written;
        for (const QStringList &row : csv.rows.mid(1)) {
            QVERIFY2(storedCompanies().contains(row.join(u'|')), qPrintable(row.join(u'|')));
            written << row.at(0);
        }
        QCOMPARE(written.join(u'|'), names);
    }

    void addressRules_data()
    {
        QTest::addColumn<bool>("mail");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("opened"); // empty when refused
        QTest::addColumn<QString>("refusal");
        const auto row = [](const char *name, bool mail, const QString &field, const QString &opened,
                            const QString &refusal) { QTest::newRow(name) << mail << field << opened << refusal; };
        const QString notWeb = u"Bu adres bir web adresi değil: "_s, notMail = u"Geçerli bir e-posta adresi değil: "_s;
        row("bare host", false, u"www.ornek.com"_s, u"https://www.ornek.com"_s, {});
        row("blanks around", false, u"  www.ornek.com "_s, u"https://www.ornek.com"_s, {});
        row("scheme in capitals", false, u"HTTP://EXAMPLE.COM"_s, u"HTTP://EXAMPLE.COM"_s, {});
        row("http inside the host", false, u"httpbin.org/get"_s, u"https://httpbin.org/get"_s, {});
        row("host and port", false, u"localhost:8080/yol"_s, u"https://localhost:8080/yol"_s, {});
        row("Turkish host", false, u"şirket.com.tr"_s, u"https://şirket.com.tr"_s, {});
        row("file address", false, u"file:///etc/passwd"_s, {}, notWeb + u"file:///etc/passwd"_s);
        row("file path", false, u"/usr/bin/xterm"_s, {}, notWeb + u"/usr/bin/xterm"_s);
        row("other scheme", false, u"ftp://http.ornek.com"_s, {}, notWeb + u"ftp://http.ornek.com"_s);
        row("mail address", false, u"mailto:ali@ornek.com"_s, {}, notWeb + u"mailto:ali@ornek.com"_s);
        row("no host", false, u"https://"_s, {}, notWeb + u"https://"_s);
        row("blank in the host", false, u"ornek .com"_s, {}, notWeb + u"ornek .com"_s);
        row("empty", false, u" "_s, {}, u"Lütfen önce bir web adresi yazın."_s);
        row("plain", true, u" o'brien@şirket.com.tr "_s, u"mailto:o'brien@şirket.com.tr"_s, {});
        row("header", true, u"x@y?attach=/etc/passwd"_s, {}, notMail + u"x@y?attach=/etc/passwd"_s);
        row("line break", true, u"x@y\nBcc: z@w"_s, {}, notMail + u"x@y\nBcc: z@w"_s);
        row("encoded header", true, u"x@y%3Fcc=z@w"_s, {}, notMail + u"x@y%3Fcc=z@w"_s);
        row("two recipients", true, u"a@b.com,c@d.com"_s, {}, notMail + u"a@b.com,c@d.com"_s);
        row("blank inside", true, u"ali veli@ornek.com"_s, {}, notMail + u"ali veli@ornek.com"_s);
        row("no at sign", true, u"ornek.com"_s, {}, notMail + u"ornek.com"_s);
        row("nothing before the at sign", true, u"@ornek.com"_s, {}, notMail + u"@ornek.com"_s);
        row("empty", true, QString(), {}, u"Lütfen önce bir e-posta adresi yazın."_s);
    }

    void addressRules()
    {
        QFETCH(bool, mail);
        QFETCH(QString, field);
        const addresses::Target target = mail ? addresses::mailto(field) : addresses::web(field);
        QTEST(target.address, "opened");
        QTEST(target.refusal, "refusal");
    }
};

QTEST_MAIN(TestCompanies)
#include "tst_companies.moc"
