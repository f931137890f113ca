#include "FakeDesktop.h"
#include "Workspace.h"

#include "companies/FirmaEkleDialog.h"
#include "companies/KayitliFirmalar.h"
#include "data/Database.h"
#include "data/Statements.h"
#include "platform/Addresses.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QComboBox>
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

template <typename T>
T *child(QWidget &parent, const char *name)
{
    T *found = parent.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

QStringList listed(KayitliFirmalar &dialog)
{
    QStringList texts;
    QAbstractItemModel *model = child<QListView>(dialog, "firmaListesi")->model();
    for (int i = 0; i < model->rowCount(); ++i)
        texts << model->index(i, 0).data().toString();
    return texts;
}

} // namespace

class TestCompanies : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;
    std::unique_ptr<FakeDesktop> m_desktop;

    void expectBox(const QString &caption, const QString &text, Desktop::Icon icon)
    {
        const FakeDesktop::Box box = m_desktop->takeBox();
        QCOMPARE(box.caption, caption);
        QCOMPARE(box.text, text);
        QCOMPARE(box.icon, icon);
    }

private slots:
    void init()
    {
        m_ws = std::make_unique<Workspace>();
        m_desktop = std::make_unique<FakeDesktop>();
    }
    void cleanup()
    {
        QVERIFY2(m_desktop->unexpected().isEmpty(), qPrintable(m_desktop->unexpected().join(u'\n')));
        m_desktop.reset();
        m_ws.reset();
    }

    void keepOpenAddsThreeCompaniesInARow()
    {
        FirmaEkleDialog dialog;
        dialog.show();
        auto *combo = child<QComboBox>(dialog, "calismaTuru");
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(0), u"Müşteri"_s);
        QCOMPARE(combo->itemText(1), u"Tedarikçi"_s);
        QCOMPARE(combo->itemText(2), u"Tedarikçi & Müşteri"_s);
        child<QCheckBox>(dialog, "keepOpen")->setChecked(true);

        const QList<Firma> companies = {
            {u"Ali'nin Kırtasiyesi"_s, u"Çarşı Cd. No:5\nŞişli"_s, u"Şişli"_s, u"12345678901"_s, u"0212 555 11 22"_s,
             u"ali@ornek.com"_s, u"Tedarikçi & Müşteri"_s, u"ornek.com.tr"_s},
            {u"Işık Ltd."_s, {}, {}, {}, {}, {}, u"Tedarikçi"_s, {}},
            {u"Ülkü Gıda"_s, {}, {}, {}, {}, {}, u"Müşteri"_s, {}},
        };
        for (const Firma &f : companies) {
            typeText(child<QLineEdit>(dialog, "firmaAdi"), f.adi);
            QTest::keyClick(child<QLineEdit>(dialog, "firmaAdi"), Qt::Key_Return); // does nothing
            typeText(child<QPlainTextEdit>(dialog, "adres"), f.adres);
            child<QLineEdit>(dialog, "vergiDairesi")->setText(f.vergiDairesi);
            child<QLineEdit>(dialog, "vergiNumarasi")->setText(f.vergiNumarasi);
            child<QLineEdit>(dialog, "telefon")->setText(f.telefon);
            child<QLineEdit>(dialog, "mail")->setText(f.mail);
            combo->setCurrentText(f.calismaTuru);
            child<QLineEdit>(dialog, "web")->setText(f.web);
            QTest::mouseClick(child<QPushButton>(dialog, "kaydet"), Qt::LeftButton);

            expectBox(u"Firma Ekleme İşlemi"_s, u"Firma başarılı bir şekilde eklenmiştir."_s,
                      Desktop::Icon::Information);
            QVERIFY(dialog.isVisible());
            QCOMPARE(combo->currentText(), u"Müşteri"_s);
            QVERIFY(child<QLineEdit>(dialog, "firmaAdi")->text().isEmpty());
            QVERIFY(child<QPlainTextEdit>(dialog, "adres")->toPlainText().isEmpty());
            QVERIFY(child<QCheckBox>(dialog, "keepOpen")->isChecked());
        }
        QCOMPARE(storedCompanies(), companies);
    }

    void emptyFormAddsAnEmptyCustomerAndCloses()
    {
        FirmaEkleDialog dialog;
        dialog.show();
        QTest::mouseClick(child<QPushButton>(dialog, "kaydet"), Qt::LeftButton);
        expectBox(u"Firma Ekleme İşlemi"_s, u"Firma başarılı bir şekilde eklenmiştir."_s, Desktop::Icon::Information);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(storedCompanies(), (QList<Firma>{{{}, {}, {}, {}, {}, {}, u"Müşteri"_s, {}}}));
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
        child<QCheckBox>(dialog, "keepOpen")->setChecked(keepOpen);
        child<QLineEdit>(dialog, "firmaAdi")->setText(u"Yıldız Danışmanlık"_s);
        child<QPlainTextEdit>(dialog, "adres")->setPlainText(u"Ankara"_s);
        child<QComboBox>(dialog, "calismaTuru")->setCurrentIndex(1);
        QTest::mouseClick(child<QPushButton>(dialog, "kaydet"), Qt::LeftButton);
        expectBox(u"Norva Rezado 1.0"_s, u"no such table: Firmalar"_s, Desktop::Icon::None);
        QVERIFY(dialog.isVisible());
        QCOMPARE(child<QLineEdit>(dialog, "firmaAdi")->text(), u"Yıldız Danışmanlık"_s);
        QCOMPARE(child<QPlainTextEdit>(dialog, "adres")->toPlainText(), u"Ankara"_s);
        QCOMPARE(child<QComboBox>(dialog, "calismaTuru")->currentText(), u"Tedarikçi"_s);

        // Escape closes without saving anything.
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
    }

    void addressLimitStopsTypingButKeepsStoredText()
    {
        FirmaEkleDialog adding;
        auto *adres = child<QPlainTextEdit>(adding, "adres");
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
        QTest::mouseClick(child<QPushButton>(browsing, "bul"), Qt::LeftButton);
        QCOMPARE(child<QPlainTextEdit>(browsing, "adres")->toPlainText().size(), 300);
        QTest::mouseClick(child<QPushButton>(browsing, "kaydet"), Qt::LeftButton);
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
        auto *filtre = child<QComboBox>(dialog, "filtre");
        QCOMPARE(filtre->currentText(), u"Tümünü Listele"_s);
        QVERIFY(listed(dialog).isEmpty());
        QVERIFY(!child<QPushButton>(dialog, "kaydet")->isEnabled());
        QCOMPARE(dialog.selectedRowId(), -1);
        QCOMPARE(child<QWidget>(dialog, "bul")->cursor().shape(), Qt::PointingHandCursor);

        filtre->setCurrentIndex(2); // "Müşteri": not "Tedarikçi & Müşteri"
        QVERIFY(listed(dialog).isEmpty()); // the filter acts through "Bul" only
        QTest::mouseClick(child<QPushButton>(dialog, "bul"), Qt::LeftButton);
        QCOMPARE(listed(dialog), (QStringList{u"Cam Dünyası"_s, u"Çınar Yapı"_s, u"Zeytin A.Ş."_s}));
        QCOMPARE(child<QLabel>(dialog, "toplam")->text(), u"Toplam 3 adet kayıtlı firma bulundu."_s);
        QCOMPARE(child<QLabel>(dialog, "firmaAdi")->text(), u"Cam Dünyası"_s);
        QCOMPARE(child<QLabel>(dialog, "calismaTuru")->text(), u"Müşteri"_s);
        QCOMPARE(child<QPlainTextEdit>(dialog, "adres")->toPlainText(), u"Adres Cam Dünyası"_s);
        QCOMPARE(dialog.selectedRowId(), 3);
        QVERIFY(child<QPushButton>(dialog, "kaydet")->isEnabled());
        QVERIFY(child<QPushButton>(dialog, "sil")->isEnabled());

        // A click on another company shows it.
        auto *list = child<QListView>(dialog, "firmaListesi");
        const QRect second = list->visualRect(list->model()->index(1, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(child<QLabel>(dialog, "firmaAdi")->text(), u"Çınar Yapı"_s);
        QCOMPARE(dialog.selectedRowId(), 2);

        filtre->setCurrentIndex(3);
        QTest::mouseClick(child<QPushButton>(dialog, "bul"), Qt::LeftButton);
        QCOMPARE(listed(dialog), QStringList{u"Işık Ltd."_s});

        filtre->setCurrentIndex(0);
        QTest::mouseClick(child<QPushButton>(dialog, "bul"), Qt::LeftButton);
        QCOMPARE(listed(dialog), (QStringList{u"Cam Dünyası"_s, u"Çınar Yapı"_s, u"Işık Ltd."_s, u"İnci Tekstil"_s,
                                              u"Zeytin A.Ş."_s}));
        QCOMPARE(child<QLabel>(dialog, "toplam")->text(), u"Toplam 5 adet kayıtlı firma bulundu."_s);

        // Nothing matches: empty list, count 0, the shown company stays usable.
        rawExec("DELETE FROM Firmalar WHERE CalismaTuru = 'Tedarikçi'");
        filtre->setCurrentIndex(1);
        QTest::mouseClick(child<QPushButton>(dialog, "bul"), Qt::LeftButton);
        QVERIFY(listed(dialog).isEmpty());
        QCOMPARE(child<QLabel>(dialog, "toplam")->text(), u"Toplam 0 adet kayıtlı firma bulundu."_s);
        QCOMPARE(child<QLabel>(dialog, "firmaAdi")->text(), u"Cam Dünyası"_s);
        QCOMPARE(dialog.selectedRowId(), 3);
        QVERIFY(child<QPushButton>(dialog, "kaydet")->isEnabled());
        QVERIFY(child<QPushButton>(dialog, "sil")->isEnabled());
    }

    void savingStoresTheEditedFieldsAsTyped()
    {
        addCompany(u"Ali'nin Yeri"_s, u"Müşteri"_s);
        KayitliFirmalar dialog;
        dialog.show();
        QTest::mouseClick(child<QPushButton>(dialog, "kaydet"), Qt::LeftButton); // disabled: nothing happens
        dialog.OnKaydet();
        expectBox(u"Norva Rezado 1.0"_s, u"Lütfen önce bir firma seçin."_s, Desktop::Icon::Error);

        QTest::mouseClick(child<QPushButton>(dialog, "bul"), Qt::LeftButton);
        QCOMPARE(child<QLabel>(dialog, "firmaAdi")->text(), u"Ali'nin Yeri"_s);
        child<QPlainTextEdit>(dialog, "adres")->setPlainText(u"Ali'nin Sokağı\nNo: 3"_s);
        child<QLineEdit>(dialog, "vergiDairesi")->setText(u"Üsküdar"_s);
        child<QLineEdit>(dialog, "vergiNumarasi")->setText(u"98765432109"_s);
        child<QLineEdit>(dialog, "telefon")->setText(u"0216 000 00 00"_s);
        child<QLineEdit>(dialog, "mail")->setText(u"o'brien@ornek.com"_s);
        child<QLineEdit>(dialog, "web")->setText(u"https://ornek.com.tr"_s);
        QTest::mouseClick(child<QPushButton>(dialog, "kaydet"), Qt::LeftButton);
        expectBox(u"Norva Rezado 1.0"_s, u"Firma bilgileri başarıyla güncellendi."_s, Desktop::Icon::Information);
        QVERIFY(!child<QPushButton>(dialog, "kaydet")->isEnabled());
        QVERIFY(!child<QPushButton>(dialog, "sil")->isEnabled());
        QCOMPARE(storedCompanies(),
                 (QList<Firma>{{u"Ali'nin Yeri"_s, u"Ali'nin Sokağı\nNo: 3"_s, u"Üsküdar"_s, u"98765432109"_s,
                                u"0216 000 00 00"_s, u"o'brien@ornek.com"_s, u"Müşteri"_s, u"https://ornek.com.tr"_s}}));

        // Deleted meanwhile by a second copy: an error, not a success, and a fresh list.
        rawExec("DELETE FROM Firmalar");
        dialog.OnKaydet();
        const FakeDesktop::Box box = m_desktop->takeBox();
        QCOMPARE(box.icon, Desktop::Icon::Error);
        QVERIFY(box.text.contains(u"artık kayıtlı değil"_s));
        QVERIFY(listed(dialog).isEmpty());
        QVERIFY(!child<QPushButton>(dialog, "kaydet")->isEnabled());
    }

    void deletingAsksAndShowsTheNextCompany()
    {
        addCompany(u"Birinci"_s, u"Tedarikçi"_s);
        addCompany(u"İkinci"_s, u"Tedarikçi"_s);
        KayitliFirmalar dialog;
        dialog.show();
        QTest::mouseClick(child<QPushButton>(dialog, "bul"), Qt::LeftButton);

        m_desktop->answer(Desktop::Answer::No);
        QTest::mouseClick(child<QPushButton>(dialog, "sil"), Qt::LeftButton);
        expectBox(u"Norva Rezado 1.0"_s, u"Bu firmayı silmek istediğinize emin misiniz?"_s, Desktop::Icon::Question);
        QCOMPARE(storedCompanies().size(), 2);

        m_desktop->answer(Desktop::Answer::Yes);
        QTest::mouseClick(child<QPushButton>(dialog, "sil"), Qt::LeftButton);
        m_desktop->takeBox();
        expectBox(u"Norva Rezado 1.0"_s, u"Seçili firma başarıyla silindi."_s, Desktop::Icon::Information);
        QCOMPARE(listed(dialog), QStringList{u"İkinci"_s});
        QCOMPARE(child<QLabel>(dialog, "firmaAdi")->text(), u"İkinci"_s);
        QVERIFY(child<QPushButton>(dialog, "sil")->isEnabled());

        // The last company: the list empties, the buttons stay off, the details stay.
        m_desktop->answer(Desktop::Answer::Yes);
        QTest::mouseClick(child<QPushButton>(dialog, "sil"), Qt::LeftButton);
        m_desktop->takeBox();
        expectBox(u"Norva Rezado 1.0"_s, u"Seçili firma başarıyla silindi."_s, Desktop::Icon::Information);
        QVERIFY(listed(dialog).isEmpty());
        QCOMPARE(child<QLabel>(dialog, "toplam")->text(), u"Toplam 0 adet kayıtlı firma bulundu."_s);
        QCOMPARE(child<QLabel>(dialog, "firmaAdi")->text(), u"İkinci"_s);
        QVERIFY(!child<QPushButton>(dialog, "sil")->isEnabled());
        QVERIFY(!child<QPushButton>(dialog, "kaydet")->isEnabled());
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
        QTest::mouseClick(child<QPushButton>(dialog, "bul"), Qt::LeftButton);
        QCOMPARE(child<QLabel>(dialog, "firmaAdi")->text(), u"-"_s);   // a NULL column stops the load
        expectBox(u"Norva Rezado 1.0"_s, QString(), Desktop::Icon::None);
        QVERIFY(!child<QPushButton>(dialog, "kaydet")->isEnabled());
        QVERIFY(!child<QPushButton>(dialog, "sil")->isEnabled());

        auto *list = child<QListView>(dialog, "firmaListesi");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, 0)).center());
        QCOMPARE(child<QLabel>(dialog, "firmaAdi")->text(), u"Okunur"_s);
        QVERIFY(child<QPushButton>(dialog, "kaydet")->isEnabled());

        // Deleted meanwhile: an error, not a success, and a fresh list.
        rawExec("DELETE FROM Firmalar WHERE FirmaAdi = 'Okunur'");
        m_desktop->answer(Desktop::Answer::Yes);
        QTest::mouseClick(child<QPushButton>(dialog, "sil"), Qt::LeftButton);
        m_desktop->takeBox();
        QVERIFY(m_desktop->takeBox().text.contains(u"artık kayıtlı değil"_s));
        expectBox(u"Norva Rezado 1.0"_s, QString(), Desktop::Icon::None); // the other row still cannot be read
        QCOMPARE(listed(dialog), QStringList{u"Başka yerde yapılmış"_s});

        QTest::mouseClick(child<QPushButton>(dialog, "kapat"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }

    void mailAndWebButtonsOpenOnlyMailAndWebAddresses()
    {
        addCompany(u"Firma"_s, u"Müşteri"_s, u"ornek.com.tr"_s);
        KayitliFirmalar dialog;
        dialog.show();
        QTest::mouseClick(child<QPushButton>(dialog, "bul"), Qt::LeftButton);
        child<QLineEdit>(dialog, "mail")->setText(u"satis@ornek.com"_s); // the field's text, not the stored one
        QTest::mouseClick(child<QPushButton>(dialog, "mailGonder"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(dialog, "webAc"), Qt::LeftButton);
        QCOMPARE(m_desktop->opened, (QStringList{u"mailto:satis@ornek.com"_s, u"https://ornek.com.tr"_s}));

        child<QLineEdit>(dialog, "web")->setText(u"file:///etc/http"_s);
        QTest::mouseClick(child<QPushButton>(dialog, "webAc"), Qt::LeftButton);
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
        QCOMPARE(addresses::mailto(u"a@b.c"_s).value_or(QString()), u"mailto:a@b.c"_s);
    }
};

QTEST_MAIN(TestCompanies)
#include "tst_companies.moc"
