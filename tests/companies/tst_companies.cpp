#include "DialogTest.h"
#include "DialogWidgets.h"

#include "companies/FirmaEkleDialog.h"
#include "companies/KayitliFirmalar.h"
#include "platform/Addresses.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestCompanies : public DialogTest
{
    Q_OBJECT

private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    // Kept open, the form is emptied and stays so; unchecked, the emptied form adds an empty customer. A
    // failed add keeps everything typed, whether the form stays open or not. The address stops at 300
    // characters, a new line included.
    void keepOpenAddsCompaniesInARowAndFailuresLoseNothing()
    {
        FirmaEkleDialog dialog;
        dialog.show();
        auto *keepOpen = static_cast<QCheckBox *>(widget(dialog, "keepOpen"));
        keepOpen->setChecked(true);
        typeText(widget(dialog, "firmaAdi"), u"Ali'nin Kırtasiyesi"_s);
        QTest::keyClick(widget(dialog, "firmaAdi"), Qt::Key_Return);   // does nothing
        typeText(widget(dialog, "adres"), u"Çarşı Cd. No:5\nŞişli"_s); // Enter makes a new line
        setTexts(dialog, {"vergiDairesi", "vergiNumarasi", "telefon", "mail", "calismaTuru", "web"},
                 u"Şişli|123|0212|ali@ornek.com|Tedarikçi|ornek.com.tr"_s);
        const auto shown = [&dialog, keepOpen] {
            return u"%1 %2 "_s.arg(dialog.isVisible()).arg(keepOpen->isChecked()) +
                   textsOf(dialog, {"firmaAdi", "adres", "calismaTuru"});
        };
        for (const QString &after : {u"1 1 ||Müşteri"_s, u"0 0 ||Müşteri"_s}) {
            click(dialog, "kaydet");
            expectBox(u"Firma başarılı bir şekilde eklenmiştir."_s, Desktop::Icon::Information,
                      u"Firma Ekleme İşlemi"_s);
            QCOMPARE(shown(), after);
            keepOpen->setChecked(false);
        }
        QCOMPARE(rawRows(u"SELECT * FROM Firmalar"_s).join(u';'),
                 u"1|Ali'nin Kırtasiyesi|Çarşı Cd. No:5\nŞişli|Şişli|123|0212|ali@ornek.com|Tedarikçi|ornek.com.tr;"
                 u"2|||||||Müşteri|"_s);
        rawExec("DROP TABLE Firmalar");
        dialog.show();
        setTexts(dialog, {"firmaAdi", "adres", "calismaTuru"}, u"Yıldız Danışmanlık|Ankara|Tedarikçi"_s);
        for (const bool keep : {false, true}) {
            keepOpen->setChecked(keep);
            click(dialog, "kaydet");
            expectBox(noSuchTable(u"Firmalar"_s), Desktop::Icon::None);
            QCOMPARE(shown(), u"1 %1 Yıldız Danışmanlık|Ankara|Tedarikçi"_s.arg(keep));
        }
        QTest::keyClick(&dialog, Qt::Key_Escape); // closes without saving
        QVERIFY(!dialog.isVisible());
        auto *adres = static_cast<QPlainTextEdit *>(widget(dialog, "adres"));
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
        rawExec("INSERT INTO Firmalar VALUES (1, 'Zeytin A.Ş.', 'Cad. 1', 'Konak', '123', '0232', 'a@b.c', "
                "'Müşteri', 'ornek.com')");
        rawExec("INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES ('Çınar Yapı', 'Müşteri'), ('İnci Tekstil', "
                "'Tedarikçi')");
        writeFile(u"eski"_s, "eski");
        KayitliFirmalar dialog;
        // The company shown and its row, both record buttons (never one without the other), the list, its count.
        const auto shown = [&dialog] {
            return u"%1 #%2 %3%4 "_s.arg(textOf(dialog, "firmaAdi"))
                       .arg(dialog.selectedRowId())
                       .arg(enabled(dialog, "kaydet"))
                       .arg(enabled(dialog, "sil")) +
                   listed(dialog, "firmaListesi").join(u'/') + u' ' + textOf(dialog, "toplam");
        };
        QCOMPARE(shown(), u"- #-1 00  Toplam 0 adet kayıtlı firma bulundu"_s);
        m_desktop->answerSave(u"firmalar.csv"_s);
        click(dialog, "csvAktar");
        QCOMPARE(readFile(u"firmalar.csv"_s), testData(u"companies/firmalar.csv"_s));
        expectBox(u"Listelenen firmalar firmalar.csv dosyasına yazıldı."_s, Desktop::Icon::Information);
        QCOMPARE(m_desktop->saveRequests.value(0).fileName, u"Firmalar.csv"_s);
        QCOMPARE(rowsOf(dialog, "filtre").value(0), u"Tümünü Listele"_s); // listed all above
        setText(dialog, "filtre", u"Müşteri"_s);
        click(dialog, "bul");
        QCOMPARE(shown(), u"Çınar Yapı #2 11 Çınar Yapı/Zeytin A.Ş. Toplam 2 adet kayıtlı firma bulundu."_s);
        clickRow(dialog, "firmaListesi", 1);
        m_desktop->answerSave(u"eski/firmalar.csv"_s); // no folder can be made there
        click(dialog, "csvAktar");
        expectBox(u"\"eski/firmalar.csv\" dosyası oluşturulamadı. Klasörün var olduğundan ve yazma izniniz "
                  u"olduğundan emin olun."_s,
                  Desktop::Icon::Error);
        QCOMPARE(readFile(u"eski"_s), QByteArray("eski"));
        // Nothing matches: the shown company stays usable, and there is nothing to write.
        setText(dialog, "filtre", u"Tedarikçi & Müşteri"_s);
        click(dialog, "bul");
        QCOMPARE(shown(), u"Zeytin A.Ş. #1 11  Toplam 0 adet kayıtlı firma bulundu."_s);
        click(dialog, "csvAktar");
        expectBox(u"Listede aktarılacak firma yok."_s, Desktop::Icon::Error);
        setTexts(dialog, {"adres", "vergiDairesi", "vergiNumarasi", "telefon", "mail", "web"},
                 u"Ali'nin Sk.\n3|Üsküdar|987|0216|o'brien@ornek.com|ornek.com.tr"_s);
        click(dialog, "mailGonder");
        click(dialog, "webAc");
        QCOMPARE(m_desktop->opened, (QStringList{u"mailto:o'brien@ornek.com"_s, u"https://ornek.com.tr"_s}));
        click(dialog, "kaydet");
        expectBox(u"Firma bilgileri başarıyla güncellendi."_s, Desktop::Icon::Information);
        QCOMPARE(shown(), u"Zeytin A.Ş. #1 00  Toplam 0 adet kayıtlı firma bulundu."_s);
        QCOMPARE(rawRows(u"SELECT * FROM Firmalar ORDER BY RowId"_s).value(0),
                 u"1|Zeytin A.Ş.|Ali'nin Sk.\n3|Üsküdar|987|0216|o'brien@ornek.com|Müşteri|ornek.com.tr"_s);
    }

    // The mail and web buttons' addresses, in addresses.tsv: a row name, what is typed ("\n" for a line end)
    // and what is opened, or why it is refused.
    void addressRules()
    {
        for (const QStringList &f : caseRows(u"companies/addresses.tsv"_s)) {
            const addresses::Target target = (f[0][0] == u'm' ? addresses::mailto : addresses::web)(f[1]);
            QCOMPARE(f[0] + u": "_s + target.address + target.refusal, f[0] + u": "_s + f[2]); // never both
        }
    }
};

QTEST_MAIN(TestCompanies)
#include "tst_companies.moc"
