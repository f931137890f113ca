#include "DialogTest.h"
#include "DialogWidgets.h"

#include "companies/FirmaEkleDialog.h"
#include "companies/KayitliFirmalar.h"
#include "data/CompanyStore.h"
#include "platform/Addresses.h"

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

void addCompany(const Firma &f)
{
    db::Connection c;
    CompanyStore(c).add({-1, f.adi, f.adres, f.vergiDairesi, f.vergiNumarasi, f.telefon, f.mail, f.calismaTuru, f.web});
}
void addCompany(const QString &name, const QString &relation, const QString &web = {})
{
    addCompany(
        {name, u"Adres "_s + name, u"Kadıköy"_s, u"1234567890"_s, u"0212"_s, u"info@ornek.com"_s, relation, web});
}

// Types a company's tax office and number, phone, mail and web address into their boxes.
void fillIn(QWidget &dialog, const Firma &f)
{
    for (auto [name, text] : {std::pair{"vergiDairesi", f.vergiDairesi},
                              {"vergiNumarasi", f.vergiNumarasi},
                              {"telefon", f.telefon},
                              {"mail", f.mail},
                              {"web", f.web}})
        setText(dialog, name, text);
}

// Chooses by its text the relation of a company being added, or the list's filter.
void chooseRelation(QWidget &dialog, const QString &text)
{
    auto *box = dialog.findChild<QComboBox *>(u"calismaTuru"_s);
    if (!box)
        box = static_cast<QComboBox *>(widget(dialog, "filtre"));
    QVERIFY2(box->findText(text) >= 0, qPrintable(text));
    box->setCurrentIndex(box->findText(text));
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

    void expectAdded()
    {
        expectBox(u"Firma başarılı bir şekilde eklenmiştir."_s, Desktop::Icon::Information, u"Firma Ekleme İşlemi"_s);
    }
    void expectDeleted() { expectBox(u"Seçili firma başarıyla silindi."_s, Desktop::Icon::Information); }

private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    void keepOpenAddsCompaniesInARow()
    {
        FirmaEkleDialog dialog;
        dialog.show();
        keepOpen(dialog)->setChecked(true);
        const Firma f{u"Ali'nin Kırtasiyesi"_s, u"Çarşı Cd. No:5\nŞişli"_s, u"Şişli"_s,     u"12345678901"_s,
                      u"0212 555 11 22"_s,      u"ali@ornek.com"_s,         u"Tedarikçi"_s, u"ornek.com.tr"_s};
        typeText(widget(dialog, "firmaAdi"), f.adi);
        QTest::keyClick(widget(dialog, "firmaAdi"), Qt::Key_Return); // does nothing
        typeText(widget(dialog, "adres"), f.adres);                  // Enter makes a new line
        fillIn(dialog, f);
        chooseRelation(dialog, f.calismaTuru);
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
            chooseRelation(dialog, u"Tedarikçi"_s);
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

        // Values longer than their boxes take when typed (the address box 250
        // characters, the others what a one-line box takes), with line ends and
        // spaces a text box would change, are shown and saved back whole.
        const QString longer = QString(32800, u'ş') + u"\r\nson\u00a0satır"_s;
        addCompany({u"Uzun"_s, longer, longer, longer, longer, longer, u"Müşteri"_s, longer});
        const Firma stored = storedCompanies().constFirst();
        KayitliFirmalar browsing;
        browsing.show();
        click(browsing, "bul");
        click(browsing, "kaydet");
        m_desktop->takeBox();
        QCOMPARE(storedCompanies(), QList<Firma>{stored});
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
        const auto find = [&](const QString &filter) {
            chooseRelation(dialog, filter);
            click(dialog, "bul");
            return listed(dialog);
        };
        // "Müşteri": not "Tedarikçi & Müşteri".
        QCOMPARE(find(u"Müşteri"_s), (QStringList{u"Cam Dünyası"_s, u"Çınar Yapı"_s, u"Zeytin A.Ş."_s}));
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 3 adet kayıtlı firma bulundu."_s);
        QCOMPARE((QStringList{textOf(dialog, "firmaAdi"), textOf(dialog, "calismaTuru")}),
                 (QStringList{u"Cam Dünyası"_s, u"Müşteri"_s}));
        QCOMPARE(recordButtons(dialog), u"on"_s);
        clickRow(dialog, 1);
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

    void savingStoresTheEditedFieldsAsTyped()
    {
        addCompany(u"Ali'nin Yeri"_s, u"Müşteri"_s);
        KayitliFirmalar dialog;
        dialog.show();
        click(dialog, "bul");
        const Firma edited{u"Ali'nin Yeri"_s,   u"Ali'nin Sokağı\nNo: 3"_s, u"Üsküdar"_s, u"98765432109"_s,
                           u"0216 000 00 00"_s, u"o'brien@ornek.com"_s,     u"Müşteri"_s, u"https://ornek.com.tr"_s};
        setText(dialog, "adres", edited.adres);
        fillIn(dialog, edited);
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
                "INSERT INTO Firmalar SELECT * FROM Eski; INSERT INTO Firmalar (FirmaAdi) VALUES (NULL);"
                "INSERT INTO Firmalar (FirmaAdi) VALUES ('Başka yerde yapılmış')");
        KayitliFirmalar dialog;
        dialog.show();
        click(dialog, "bul");
        expectBox(u"Sütun değeri dönüştürülemedi: CalismaTuru"_s, Desktop::Icon::None); // a NULL column stops the load
        QCOMPARE(textOf(dialog, "firmaAdi"), u"-"_s);
        QCOMPARE(recordButtons(dialog), u"off"_s);
        // The company without a name is left out and said so; the others are listed and counted.
        QCOMPARE(listed(dialog), (QStringList{u"Başka yerde yapılmış"_s, u"Okunur"_s}));
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 2 adet kayıtlı firma bulundu."_s);
        QCOMPARE(textOf(dialog, "okunamayan"), u"1 kayıt okunamadı."_s);

        clickRow(dialog, 1);
        QCOMPARE(textOf(dialog, "firmaAdi"), u"Okunur"_s);
        QCOMPARE(recordButtons(dialog), u"on"_s);

        // Deleted meanwhile: an error, not a success, and a fresh list.
        rawExec("DELETE FROM Firmalar WHERE FirmaAdi = 'Okunur'");
        m_desktop->answer(Desktop::Answer::Yes);
        click(dialog, "sil");
        m_desktop->takeBox();
        QVERIFY(m_desktop->takeBox().text.contains(u"artık kayıtlı değil"_s));
        expectBox(u"Sütun değeri dönüştürülemedi: CalismaTuru"_s,
                  Desktop::Icon::None); // the other row still cannot be read
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
        setText(dialog, "mail", u"x@y?attach=/etc/passwd"_s);
        click(dialog, "mailGonder");
        expectBox(u"Geçerli bir e-posta adresi değil: x@y?attach=/etc/passwd"_s, Desktop::Icon::Error);
        setText(dialog, "web", u"/usr/bin/xterm"_s);
        click(dialog, "webAc");
        expectBox(u"Bu adres bir web adresi değil: /usr/bin/xterm"_s, Desktop::Icon::Error);
        QCOMPARE(m_desktop->opened.size(), 2);
    }

    void addressRules_data()
    {
        QTest::addColumn<bool>("mail");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("opened"); // empty when refused
        QTest::addColumn<QString>("refusal");
        const auto web = [](const char *name, const QString &field, const QString &opened, const QString &refusal) {
            QTest::newRow(name) << false << field << opened << refusal;
        };
        const auto mail = [](const char *name, const QString &field, const QString &opened, const QString &refusal) {
            QTest::newRow(name) << true << field << opened << refusal;
        };
        const QString notWeb = u"Bu adres bir web adresi değil: "_s, notMail = u"Geçerli bir e-posta adresi değil: "_s;
        web("bare host", u"www.ornek.com"_s, u"https://www.ornek.com"_s, {});
        web("blanks around", u"  www.ornek.com "_s, u"https://www.ornek.com"_s, {});
        web("scheme in capitals", u"HTTP://EXAMPLE.COM"_s, u"HTTP://EXAMPLE.COM"_s, {});
        web("http inside the host", u"httpbin.org/get"_s, u"https://httpbin.org/get"_s, {});
        web("host and port", u"localhost:8080/yol"_s, u"https://localhost:8080/yol"_s, {});
        web("Turkish host", u"şirket.com.tr"_s, u"https://şirket.com.tr"_s, {});
        web("file address", u"file:///etc/passwd"_s, {}, notWeb + u"file:///etc/passwd"_s);
        web("file path", u"/usr/bin/xterm"_s, {}, notWeb + u"/usr/bin/xterm"_s);
        web("other scheme", u"ftp://http.ornek.com"_s, {}, notWeb + u"ftp://http.ornek.com"_s);
        web("mail address", u"mailto:ali@ornek.com"_s, {}, notWeb + u"mailto:ali@ornek.com"_s);
        web("no host", u"https://"_s, {}, notWeb + u"https://"_s);
        web("blank in the host", u"ornek .com"_s, {}, notWeb + u"ornek .com"_s);
        web("empty", u" "_s, {}, u"Lütfen önce bir web adresi yazın."_s);
        mail("plain", u" o'brien@şirket.com.tr "_s, u"mailto:o'brien@şirket.com.tr"_s, {});
        mail("header", u"x@y?attach=/etc/passwd"_s, {}, notMail + u"x@y?attach=/etc/passwd"_s);
        mail("line break", u"x@y\nBcc: z@w"_s, {}, notMail + u"x@y\nBcc: z@w"_s);
        mail("encoded header", u"x@y%3Fcc=z@w"_s, {}, notMail + u"x@y%3Fcc=z@w"_s);
        mail("two recipients", u"a@b.com,c@d.com"_s, {}, notMail + u"a@b.com,c@d.com"_s);
        mail("blank inside", u"ali veli@ornek.com"_s, {}, notMail + u"ali veli@ornek.com"_s);
        mail("no at sign", u"ornek.com"_s, {}, notMail + u"ornek.com"_s);
        mail("nothing before the at sign", u"@ornek.com"_s, {}, notMail + u"@ornek.com"_s);
        mail("empty", QString(), {}, u"Lütfen önce bir e-posta adresi yazın."_s);
    }

    void addressRules()
    {
        QFETCH(bool, mail);
        QFETCH(QString, field);
        QFETCH(QString, opened);
        QFETCH(QString, refusal);
        const addresses::Target target = mail ? addresses::mailto(field) : addresses::web(field);
        QCOMPARE(target.address, opened);
        QCOMPARE(target.refusal, refusal);
    }
};

QTEST_MAIN(TestCompanies)
#include "tst_companies.moc"
