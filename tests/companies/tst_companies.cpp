#include "DialogTest.h"
#include "DialogWidgets.h"

#include "companies/FirmaEkleDialog.h"
#include "companies/KayitliFirmalar.h"
#include "data/Database.h"
#include "data/Statements.h"
#include "platform/Addresses.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

struct Firma
{
    QString adi, adres, vergiDairesi, vergiNumarasi, telefon, mail, calismaTuru, web;
    bool operator==(const Firma &) const = default;
};

QList<Firma> storedCompanies()
{
    QList<Firma> result;
    db::Connection c;
    for (db::Rows r = c.query(u"SELECT * FROM Firmalar ORDER BY RowId"_s); !r.atEnd(); r.moveNext())
        result.append({r.text("FirmaAdi"), r.text("FirmaAdresi"), r.text("VergiDairesi"), r.text("VergiNumarasi"),
                       r.text("Telefon"), r.text("Mail"), r.text("CalismaTuru"), r.text("WebAdresi")});
    return result;
}

void addCompany(const QString &name, const QString &relation, const QString &web = {})
{
    db::Connection c;
    c.execute(db::format(sql::kFirmaEkle, name, u"Adres "_s + name, u"Kadıköy"_s, u"1234567890"_s, u"0212"_s,
                         u"info@ornek.com"_s, relation, web));
}

// "on" or "off" for both record buttons of the browser; "mixed" is always wrong.
QString recordButtons(QWidget &dialog)
{
    const bool save = widget(dialog, "kaydet")->isEnabled(), remove = widget(dialog, "sil")->isEnabled();
    return save != remove ? u"mixed"_s : save ? u"on"_s : u"off"_s;
}
QStringList listed(QWidget &dialog)
{
    return listed(dialog, "firmaListesi");
}
void clickRow(QWidget &dialog, int row)
{
    clickRow(dialog, "firmaListesi", row);
}

} // namespace

class TestCompanies : public DialogTest
{
    Q_OBJECT

    void expectAdded() { expectBox(u"Firma başarılı bir şekilde eklenmiştir."_s, Desktop::Icon::Information, u"Firma Ekleme İşlemi"_s); }
    void expectDeleted() { expectBox(u"Seçili firma başarıyla silindi."_s, Desktop::Icon::Information); }

private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    void keepOpenAddsThreeCompaniesInARow()
    {
        FirmaEkleDialog dialog;
        dialog.show();
        auto *combo = static_cast<QComboBox *>(widget(dialog, "calismaTuru"));
        QCOMPARE((QStringList{combo->itemText(0), combo->itemText(1), combo->itemText(2)}),
                 (QStringList{u"Müşteri"_s, u"Tedarikçi"_s, u"Tedarikçi & Müşteri"_s}));
        static_cast<QCheckBox *>(widget(dialog, "keepOpen"))->setChecked(true);

        const QList<Firma> companies = {
            {u"Ali'nin Kırtasiyesi"_s, u"Çarşı Cd. No:5\nŞişli"_s, u"Şişli"_s, u"12345678901"_s, u"0212 555 11 22"_s,
             u"ali@ornek.com"_s, u"Tedarikçi & Müşteri"_s, u"ornek.com.tr"_s},
            {u"Işık Ltd."_s, {}, {}, {}, {}, {}, u"Tedarikçi"_s, {}},
            {u"Ülkü Gıda"_s, {}, {}, {}, {}, {}, u"Müşteri"_s, {}},
        };
        for (const Firma &f : companies) {
            typeText(widget(dialog, "firmaAdi"), f.adi);
            QTest::keyClick(widget(dialog, "firmaAdi"), Qt::Key_Return); // does nothing
            typeText(widget(dialog, "adres"), f.adres);                   // Enter makes a new line
            setText(dialog, "vergiDairesi", f.vergiDairesi);
            setText(dialog, "vergiNumarasi", f.vergiNumarasi);
            setText(dialog, "telefon", f.telefon);
            setText(dialog, "mail", f.mail);
            combo->setCurrentText(f.calismaTuru);
            setText(dialog, "web", f.web);
            click(dialog, "kaydet");
            expectAdded();
            QVERIFY(dialog.isVisible());
            QCOMPARE(textOf(dialog, "calismaTuru"), u"Müşteri"_s);
            QVERIFY(textOf(dialog, "firmaAdi").isEmpty() && textOf(dialog, "adres").isEmpty());
            QVERIFY(static_cast<QCheckBox *>(widget(dialog, "keepOpen"))->isChecked());
        }
        QCOMPARE(storedCompanies(), companies);

        // Unchecked, an empty form adds an empty customer and closes.
        static_cast<QCheckBox *>(widget(dialog, "keepOpen"))->setChecked(false);
        click(dialog, "kaydet");
        expectAdded();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(storedCompanies().constLast(), (Firma{{}, {}, {}, {}, {}, {}, u"Müşteri"_s, {}}));
    }

    void aFailedAddKeepsEverythingTyped_data()
    {
        QTest::addColumn<bool>("keepOpen");
        QTest::newRow("closing") << false;
        QTest::newRow("keep open") << true;
    }

    void aFailedAddKeepsEverythingTyped()
    {
        QFETCH(bool, keepOpen);
        rawExec("DROP TABLE Firmalar");
        FirmaEkleDialog dialog;
        dialog.show();
        static_cast<QCheckBox *>(widget(dialog, "keepOpen"))->setChecked(keepOpen);
        setText(dialog, "firmaAdi", u"Yıldız Danışmanlık"_s);
        setText(dialog, "adres", u"Ankara"_s);
        static_cast<QComboBox *>(widget(dialog, "calismaTuru"))->setCurrentIndex(1);
        click(dialog, "kaydet");
        expectBox(u"no such table: Firmalar"_s, Desktop::Icon::None);
        QVERIFY(dialog.isVisible());
        QCOMPARE(textOf(dialog, "firmaAdi"), u"Yıldız Danışmanlık"_s);
        QCOMPARE(textOf(dialog, "adres"), u"Ankara"_s);
        QCOMPARE(textOf(dialog, "calismaTuru"), u"Tedarikçi"_s);

        QTest::keyClick(&dialog, Qt::Key_Escape); // closes without saving
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
    }

    void addressLimitStopsTypingButKeepsStoredText()
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

        // A 300-character address shown in the browser, whose box takes 250
        // typed characters, is saved back whole.
        addCompany(u"Uzun Adresli"_s, u"Müşteri"_s);
        rawExec("UPDATE Firmalar SET FirmaAdresi = printf('%.300c', 'x')");
        KayitliFirmalar browsing;
        browsing.show();
        click(browsing, "bul");
        click(browsing, "kaydet");
        m_desktop->takeBox();
        QCOMPARE(storedCompanies().constFirst().adres, QString(300, u'x'));
    }

    void filtersListTheirRelationInTurkishOrder()
    {
        addCompany(u"Zeytin A.Ş."_s, u"Müşteri"_s);
        addCompany(u"Çınar Yapı"_s, u"Müşteri"_s);
        addCompany(u"Cam Dünyası"_s, u"Müşteri"_s);
        addCompany(u"İnci Tekstil"_s, u"Tedarikçi"_s);
        addCompany(u"Işık Ltd."_s, u"Tedarikçi & Müşteri"_s);

        KayitliFirmalar dialog;
        dialog.show();
        auto *filtre = static_cast<QComboBox *>(widget(dialog, "filtre"));
        QCOMPARE(filtre->currentText(), u"Tümünü Listele"_s);
        QVERIFY(listed(dialog).isEmpty());
        QCOMPARE(recordButtons(dialog), u"off"_s);
        QCOMPARE(dialog.selectedRowId(), -1);
        QCOMPARE(widget(dialog, "bul")->cursor().shape(), Qt::PointingHandCursor);

        filtre->setCurrentIndex(2); // "Müşteri": not "Tedarikçi & Müşteri"
        QVERIFY(listed(dialog).isEmpty()); // the filter acts through "Bul" only
        click(dialog, "bul");
        QCOMPARE(listed(dialog), (QStringList{u"Cam Dünyası"_s, u"Çınar Yapı"_s, u"Zeytin A.Ş."_s}));
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 3 adet kayıtlı firma bulundu."_s);
        QCOMPARE(textOf(dialog, "firmaAdi"), u"Cam Dünyası"_s);
        QCOMPARE(textOf(dialog, "calismaTuru"), u"Müşteri"_s);
        QCOMPARE(textOf(dialog, "adres"), u"Adres Cam Dünyası"_s);
        QCOMPARE(dialog.selectedRowId(), 3);
        QCOMPARE(recordButtons(dialog), u"on"_s);

        clickRow(dialog, 1);
        QCOMPARE(textOf(dialog, "firmaAdi"), u"Çınar Yapı"_s);
        QCOMPARE(dialog.selectedRowId(), 2);

        filtre->setCurrentIndex(3);
        click(dialog, "bul");
        QCOMPARE(listed(dialog), QStringList{u"Işık Ltd."_s});
        filtre->setCurrentIndex(0);
        click(dialog, "bul");
        QCOMPARE(listed(dialog), (QStringList{u"Cam Dünyası"_s, u"Çınar Yapı"_s, u"Işık Ltd."_s, u"İnci Tekstil"_s,
                                              u"Zeytin A.Ş."_s}));
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 5 adet kayıtlı firma bulundu."_s);

        // Nothing matches: empty list, count 0, the shown company stays usable.
        rawExec("DELETE FROM Firmalar WHERE CalismaTuru = 'Tedarikçi'");
        filtre->setCurrentIndex(1);
        click(dialog, "bul");
        QVERIFY(listed(dialog).isEmpty());
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 0 adet kayıtlı firma bulundu."_s);
        QCOMPARE(textOf(dialog, "firmaAdi"), u"Cam Dünyası"_s);
        QCOMPARE(dialog.selectedRowId(), 3);
        QCOMPARE(recordButtons(dialog), u"on"_s);
    }

    void savingStoresTheEditedFieldsAsTyped()
    {
        addCompany(u"Ali'nin Yeri"_s, u"Müşteri"_s);
        KayitliFirmalar dialog;
        dialog.show();
        dialog.OnKaydet();
        expectBox(u"Lütfen önce bir firma seçin."_s, Desktop::Icon::Error);

        click(dialog, "bul");
        const Firma edited{u"Ali'nin Yeri"_s,      u"Ali'nin Sokağı\nNo: 3"_s, u"Üsküdar"_s, u"98765432109"_s,
                           u"0216 000 00 00"_s,    u"o'brien@ornek.com"_s,     u"Müşteri"_s, u"https://ornek.com.tr"_s};
        setText(dialog, "adres", edited.adres);
        setText(dialog, "vergiDairesi", edited.vergiDairesi);
        setText(dialog, "vergiNumarasi", edited.vergiNumarasi);
        setText(dialog, "telefon", edited.telefon);
        setText(dialog, "mail", edited.mail);
        setText(dialog, "web", edited.web);
        click(dialog, "kaydet");
        expectBox(u"Firma bilgileri başarıyla güncellendi."_s, Desktop::Icon::Information);
        QCOMPARE(recordButtons(dialog), u"off"_s);
        QCOMPARE(storedCompanies(), QList<Firma>{edited});

        // Deleted meanwhile by a second copy: an error, not a success, and a fresh list.
        rawExec("DELETE FROM Firmalar");
        dialog.OnKaydet();
        const FakeDesktop::Box box = m_desktop->takeBox();
        QVERIFY(box.icon == Desktop::Icon::Error && box.text.contains(u"artık kayıtlı değil"_s));
        QVERIFY(listed(dialog).isEmpty());
        QCOMPARE(recordButtons(dialog), u"off"_s);
    }

    void deletingAsksAndShowsTheNextCompany()
    {
        addCompany(u"Birinci"_s, u"Tedarikçi"_s);
        addCompany(u"İkinci"_s, u"Tedarikçi"_s);
        KayitliFirmalar dialog;
        dialog.show();
        click(dialog, "bul");

        m_desktop->answer(Desktop::Answer::No);
        click(dialog, "sil");
        expectBox(u"Bu firmayı silmek istediğinize emin misiniz?"_s, Desktop::Icon::Question);
        QCOMPARE(storedCompanies().size(), 2);
        QCOMPARE(listed(dialog).size(), 2);
        QCOMPARE(recordButtons(dialog), u"on"_s);

        m_desktop->answer(Desktop::Answer::Yes);
        click(dialog, "sil");
        m_desktop->takeBox();
        expectDeleted();
        QCOMPARE(listed(dialog), QStringList{u"İkinci"_s});
        QCOMPARE(textOf(dialog, "firmaAdi"), u"İkinci"_s);
        QCOMPARE(recordButtons(dialog), u"on"_s);

        // The last company: the list empties, the buttons stay off, the details stay.
        m_desktop->answer(Desktop::Answer::Yes);
        click(dialog, "sil");
        m_desktop->takeBox();
        expectDeleted();
        QVERIFY(listed(dialog).isEmpty());
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 0 adet kayıtlı firma bulundu."_s);
        QCOMPARE(textOf(dialog, "firmaAdi"), u"İkinci"_s);
        QCOMPARE(recordButtons(dialog), u"off"_s);
        QVERIFY(storedCompanies().isEmpty());
    }

    void aCompanyThatCannotBeReadCannotBeOverwritten()
    {
        addCompany(u"Okunur"_s, u"Müşteri"_s);
        rawExec("CREATE TABLE Eski AS SELECT * FROM Firmalar; DROP TABLE Firmalar;"
                "CREATE TABLE Firmalar (RowId INTEGER PRIMARY KEY, FirmaAdi TEXT, FirmaAdresi TEXT, VergiDairesi TEXT,"
                " VergiNumarasi TEXT, Telefon TEXT, Mail TEXT, CalismaTuru TEXT, WebAdresi TEXT);"
                "INSERT INTO Firmalar SELECT * FROM Eski; INSERT INTO Firmalar (FirmaAdi) VALUES ('Başka yerde yapılmış')");
        KayitliFirmalar dialog;
        dialog.show();
        click(dialog, "bul");
        expectBox(u"Sütun değeri dönüştürülemedi: CalismaTuru"_s, Desktop::Icon::None); // a NULL column stops the load
        QCOMPARE(textOf(dialog, "firmaAdi"), u"-"_s);
        QCOMPARE(recordButtons(dialog), u"off"_s);

        clickRow(dialog, 1);
        QCOMPARE(textOf(dialog, "firmaAdi"), u"Okunur"_s);
        QCOMPARE(recordButtons(dialog), u"on"_s);

        // Deleted meanwhile: an error, not a success, and a fresh list.
        rawExec("DELETE FROM Firmalar WHERE FirmaAdi = 'Okunur'");
        m_desktop->answer(Desktop::Answer::Yes);
        click(dialog, "sil");
        m_desktop->takeBox();
        QVERIFY(m_desktop->takeBox().text.contains(u"artık kayıtlı değil"_s));
        expectBox(u"Sütun değeri dönüştürülemedi: CalismaTuru"_s, Desktop::Icon::None); // the other row still cannot be read
        QCOMPARE(listed(dialog), QStringList{u"Başka yerde yapılmış"_s});

        click(dialog, "kapat");
        QVERIFY(!dialog.isVisible());
    }

    void mailAndWebButtonsOpenOnlyMailAndWebAddresses()
    {
        addCompany(u"Firma"_s, u"Müşteri"_s, u"ornek.com.tr"_s);
        KayitliFirmalar dialog;
        dialog.show();
        click(dialog, "bul");
        setText(dialog, "mail", u"satis@ornek.com"_s); // the field's text, not the stored one
        click(dialog, "mailGonder");
        click(dialog, "webAc");
        QCOMPARE(m_desktop->opened, (QStringList{u"mailto:satis@ornek.com"_s, u"https://ornek.com.tr"_s}));
        setText(dialog, "web", u"file:///etc/http"_s);
        click(dialog, "webAc");
        QCOMPARE(m_desktop->opened.size(), 2); // not opened, and nothing to say about it
    }

    void addressRules_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("opened");
        QTest::newRow("bare host") << u"www.ornek.com"_s << u"https://www.ornek.com"_s;
        QTest::newRow("http") << u"http://ornek.com/a?b=1&c=2"_s << u"http://ornek.com/a?b=1&c=2"_s;
        QTest::newRow("upper-case scheme") << u"HTTPS://ORNEK.COM"_s << u"https://HTTPS://ORNEK.COM"_s;
        QTest::newRow("empty") << QString() << u"https://"_s;
        QTest::newRow("http inside a host") << u"httpbin.org"_s << QString();
        QTest::newRow("other scheme") << u"ftp://http.ornek.com"_s << QString();
        QTest::newRow("javascript") << u"javascript:alert('http')"_s << QString();
    }

    void addressRules()
    {
        QFETCH(QString, field);
        QFETCH(QString, opened);
        QCOMPARE(addresses::web(field).value_or(QString()), opened);
    }
};

QTEST_MAIN(TestCompanies)
#include "tst_companies.moc"
