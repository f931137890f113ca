#include "DialogTest.h"
#include "DialogWidgets.h"

#include "companies/FirmaEkleDialog.h"
#include "companies/KayitliFirmalar.h"
#include "data/Database.h"
#include "data/Statements.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
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
QCheckBox *keepOpen(QWidget &dialog)
{
    return static_cast<QCheckBox *>(widget(dialog, "keepOpen"));
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

    void keepOpenAddsCompaniesInARow()
    {
        FirmaEkleDialog dialog;
        dialog.show();
        keepOpen(dialog)->setChecked(true);
        const Firma f{u"Ali'nin Kırtasiyesi"_s, u"Çarşı Cd. No:5\nŞişli"_s, u"Şişli"_s, u"12345678901"_s,
                      u"0212 555 11 22"_s, u"ali@ornek.com"_s, u"Tedarikçi"_s, u"ornek.com.tr"_s};
        typeText(widget(dialog, "firmaAdi"), f.adi);
        QTest::keyClick(widget(dialog, "firmaAdi"), Qt::Key_Return); // does nothing
        typeText(widget(dialog, "adres"), f.adres);                   // Enter makes a new line
        for (auto [name, text] : {std::pair{"vergiDairesi", f.vergiDairesi}, {"vergiNumarasi", f.vergiNumarasi},
                                  {"telefon", f.telefon}, {"mail", f.mail}, {"web", f.web}})
            setText(dialog, name, text);
        static_cast<QComboBox *>(widget(dialog, "calismaTuru"))->setCurrentIndex(1);
        click(dialog, "kaydet");
        expectAdded();
        QCOMPARE(storedCompanies(), QList<Firma>{f});
        QVERIFY(dialog.isVisible() && keepOpen(dialog)->isChecked());
        QCOMPARE(textOf(dialog, "calismaTuru"), u"Müşteri"_s);
        QVERIFY(textOf(dialog, "firmaAdi").isEmpty() && textOf(dialog, "adres").isEmpty());

        // Unchecked, the emptied form adds an empty customer and closes.
        keepOpen(dialog)->setChecked(false);
        click(dialog, "kaydet");
        expectAdded();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(storedCompanies().constLast(), (Firma{{}, {}, {}, {}, {}, {}, u"Müşteri"_s, {}}));
    }

    void aFailedAddKeepsEverythingTyped()
    {
        rawExec("DROP TABLE Firmalar");
        for (const bool keep : {false, true}) {
            FirmaEkleDialog dialog;
            dialog.show();
            keepOpen(dialog)->setChecked(keep);
            setText(dialog, "firmaAdi", u"Yıldız Danışmanlık"_s);
            setText(dialog, "adres", u"Ankara"_s);
            static_cast<QComboBox *>(widget(dialog, "calismaTuru"))->setCurrentIndex(1);
            click(dialog, "kaydet");
            expectBox(u"no such table: Firmalar"_s, Desktop::Icon::None);
            QVERIFY(dialog.isVisible());
            QCOMPARE((QStringList{textOf(dialog, "firmaAdi"), textOf(dialog, "adres"), textOf(dialog, "calismaTuru")}),
                     (QStringList{u"Yıldız Danışmanlık"_s, u"Ankara"_s, u"Tedarikçi"_s}));
            QTest::keyClick(&dialog, Qt::Key_Escape); // closes without saving
            QVERIFY(!dialog.isVisible());
        }
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
        QCOMPARE(recordButtons(dialog), u"off"_s);
        const auto find = [&](int filter) {
            static_cast<QComboBox *>(widget(dialog, "filtre"))->setCurrentIndex(filter);
            click(dialog, "bul");
            return listed(dialog);
        };
        // "Müşteri": not "Tedarikçi & Müşteri".
        QCOMPARE(find(2), (QStringList{u"Cam Dünyası"_s, u"Çınar Yapı"_s, u"Zeytin A.Ş."_s}));
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 3 adet kayıtlı firma bulundu."_s);
        QCOMPARE((QStringList{textOf(dialog, "firmaAdi"), textOf(dialog, "calismaTuru")}),
                 (QStringList{u"Cam Dünyası"_s, u"Müşteri"_s}));
        QCOMPARE(recordButtons(dialog), u"on"_s);
        clickRow(dialog, 1);
        QCOMPARE(textOf(dialog, "firmaAdi"), u"Çınar Yapı"_s);
        QCOMPARE(dialog.selectedRowId(), 2);

        QCOMPARE(find(3), QStringList{u"Işık Ltd."_s});
        QCOMPARE(find(0), (QStringList{u"Cam Dünyası"_s, u"Çınar Yapı"_s, u"Işık Ltd."_s, u"İnci Tekstil"_s,
                                       u"Zeytin A.Ş."_s}));

        // Nothing matches: empty list, count 0, the shown company stays usable.
        rawExec("DELETE FROM Firmalar WHERE CalismaTuru = 'Tedarikçi'");
        QVERIFY(find(1).isEmpty());
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 0 adet kayıtlı firma bulundu."_s);
        QCOMPARE(dialog.selectedRowId(), 3);
        QCOMPARE(recordButtons(dialog), u"on"_s);
    }

    void savingStoresTheEditedFieldsAsTyped()
    {
        addCompany(u"Ali'nin Yeri"_s, u"Müşteri"_s);
        KayitliFirmalar dialog;
        dialog.show();
        click(dialog, "bul");
        const Firma edited{u"Ali'nin Yeri"_s,      u"Ali'nin Sokağı\nNo: 3"_s, u"Üsküdar"_s, u"98765432109"_s,
                           u"0216 000 00 00"_s,    u"o'brien@ornek.com"_s,     u"Müşteri"_s, u"https://ornek.com.tr"_s};
        for (auto [name, text] : {std::pair{"adres", edited.adres}, {"vergiDairesi", edited.vergiDairesi},
                                  {"vergiNumarasi", edited.vergiNumarasi}, {"telefon", edited.telefon},
                                  {"mail", edited.mail}, {"web", edited.web}})
            setText(dialog, name, text);
        click(dialog, "kaydet");
        expectBox(u"Firma bilgileri başarıyla güncellendi."_s, Desktop::Icon::Information);
        QCOMPARE(recordButtons(dialog), u"off"_s);
        QCOMPARE(storedCompanies(), QList<Firma>{edited});

        // Deleted meanwhile by a second copy: an error, not a success, and a fresh list.
        click(dialog, "bul");
        rawExec("DELETE FROM Firmalar");
        click(dialog, "kaydet");
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

        // "No" keeps the company: the "Yes" that follows deletes it.
        m_desktop->answer(Desktop::Answer::No);
        click(dialog, "sil");
        expectBox(u"Bu firmayı silmek istediğinize emin misiniz?"_s, Desktop::Icon::Question);
        for (const QStringList &left : {QStringList{u"İkinci"_s}, QStringList()}) {
            m_desktop->answer(Desktop::Answer::Yes);
            click(dialog, "sil");
            m_desktop->takeBox();
            expectDeleted();
            QCOMPARE(listed(dialog), left);
            QCOMPARE(storedCompanies().size(), left.size());
            QCOMPARE(textOf(dialog, "firmaAdi"), u"İkinci"_s); // the next one; after the last, it stays
            QCOMPARE(recordButtons(dialog), left.isEmpty() ? u"off"_s : u"on"_s);
        }
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 0 adet kayıtlı firma bulundu."_s);
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
        // Text holding a lower-case "http" goes as it is, other text gets "https://" in front;
        // only an http or https address is opened, anything else silently not.
        for (const QString &web :
             {u"http://ornek.com/a?b=1&c=2"_s, u"HTTPS://ORNEK.COM"_s, u"httpbin.org"_s, u"file:///etc/http"_s}) {
            setText(dialog, "web", web);
            click(dialog, "webAc");
        }
        QCOMPARE(m_desktop->opened, (QStringList{u"mailto:satis@ornek.com"_s, u"https://ornek.com.tr"_s,
                                                 u"http://ornek.com/a?b=1&c=2"_s, u"https://HTTPS://ORNEK.COM"_s}));
    }
};

QTEST_MAIN(TestCompanies)
#include "tst_companies.moc"
