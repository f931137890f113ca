#include "DialogTest.h"
#include "DialogWidgets.h"

#include "companies/KayitliFirmalar.h"
#include "data/Database.h"
#include "data/MonthlyReport.h"
#include "ledger/HareketTablosu.h"
#include "ledger/Rapor.h"
#include "platform/TextLimit.h"
#include "records/KayitliLinkler.h"
#include "records/Parolalar.h"
#include "records/TelefonRehberi.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

// Runs `step` with files limited to `bytes`: a write past it fails half-way.
template <typename Step>
void withFileSizeLimit(rlim_t bytes, Step step)
{
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit small{bytes, saved.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    step();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
}

// The dialog over `table`, showing its records; the report viewer for any other name.
std::unique_ptr<QDialog> openOn(const QString &table)
{
    std::unique_ptr<QDialog> dialog;
    if (table == u"Kisiler"_s)
        dialog = std::make_unique<TelefonRehberi>();
    else if (table == u"Parolalar"_s)
        dialog = std::make_unique<Parolalar>();
    else if (table == u"Linkler"_s)
        dialog = std::make_unique<KayitliLinkler>();
    else if (table == u"Firmalar"_s) {
        dialog = std::make_unique<KayitliFirmalar>();
        click(*dialog, "bul");
    } else if (table == u"GelirGider"_s) {
        dialog = std::make_unique<HareketTablosu>();
        setTexts(*dialog, {"turFiltresi", "ayFiltresi", "yilFiltresi"}, u"Tümü|Tümü|Tümü"_s);
        click(*dialog, "listele");
    } else {
        dialog = std::make_unique<Rapor>(MonthlyReport{u"ŞUBAT"_s, u"2025"_s, {}, u"Rapor metni, ŞUBAT\r\n"_s, {}});
    }
    dialog->show();
    return dialog;
}

} // namespace

// What every dialog over a table does alike, whatever the table.
class TestDialogWiring : public DialogTest
{
    Q_OBJECT

private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    // Longer than any box takes when typed (longer than a one-line box takes at all), with line ends and
    // spaces that a text box would change: shown whole, and a "Kaydet" or "Düzelt" stores it back whole.
    void aLongStoredValueIsKeptWhole_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("others"); // columns the dialog needs filled, and their values
        QTest::addColumn<QString>("pairs");  // each column with the box showing it
        QTest::addColumn<QString>("saved");  // what saving it back says; empty: the dialog never saves it back
        QTest::newRow("contacts") << u"Kisiler"_s << QString()
                                  << u"AdSoyad adSoyad|CepTelefonu cepNo|EvTelefonu evNo|IsTelefonu isNo|Meslek meslek|"
                                     u"Eposta eposta|Web web|Hakkinda hakkinda"_s
                                  << QString();
        QTest::newRow("memberships") << u"Parolalar"_s << QString()
                                     << u"UyelikYeri uyelikYeri|KullaniciAdi kullaniciAdi|Parola parola|Mail mail|"
                                        u"Web web|Notlar notlar"_s
                                     << u"Üyelik bilgisi başarıyla güncellendi."_s;
        QTest::newRow("links") << u"Linkler"_s << QString() << u"Baslik baslik|Link link|Notlar notlar"_s << QString();
        QTest::newRow("companies") << u"Firmalar"_s << u"FirmaAdi, CalismaTuru|'Uzun', 'Müşteri'"_s
                                   << u"FirmaAdresi adres|VergiDairesi vergiDairesi|VergiNumarasi vergiNumarasi|"
                                      u"Telefon telefon|Mail mail|WebAdresi web"_s
                                   << u"Firma bilgileri başarıyla güncellendi."_s;
        QTest::newRow("entries") << u"GelirGider"_s
                                 << u"IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, GecerliKur, "
                                    u"KdvOrani, IslemCesidi|'Gider', '1', '1', '2024', 'Bora Ltd', '10.00', 'Lira', "
                                    u"'0', '20', 'Satış'"_s
                                 << u"FaturaNo faturaNo"_s << u"Hareket bilgileri başarıyla güncellendi."_s;
    }
    void aLongStoredValueIsKeptWhole()
    {
        QFETCH(QString, table);
        QFETCH(QString, others);
        QFETCH(QString, pairs);
        QFETCH(QString, saved);
        QStringList columns, boxes;
        for (const QString &pair : pairs.split(u'|')) {
            columns << pair.section(u' ', 0, 0);
            boxes << pair.section(u' ', 1);
        }
        const QString value = QString(32800, u'ş') + u"\r\nson\u00a0satır\u2028"_s;
        QStringList names = columns, values(columns.size(), u"'"_s + value + u"'"_s);
        if (!others.isEmpty()) {
            names << others.section(u'|', 0, 0);
            values << others.section(u'|', 1);
        }
        rawRows(u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(table, names.join(u','), values.join(u',')));

        const std::unique_ptr<QDialog> dialog = openOn(table);
        for (const QString &name : boxes) {
            QWidget *box = widget(*dialog, name.toLatin1().constData());
            auto *line = qobject_cast<QLineEdit *>(box);
            QVERIFY2((line ? line->text() : qobject_cast<LimitedTextEdit *>(box)->text()) == value, qPrintable(name));
        }
        if (saved.isEmpty())
            return;
        click(*dialog, table == u"Parolalar"_s ? "duzelt" : "kaydet");
        expectBox(saved, Desktop::Icon::Information);
        QCOMPARE(rawRows(u"SELECT %1 FROM %2"_s.arg(columns.join(u','), table)),
                 QStringList(QStringList(columns.size(), value).join(u'|')));
    }

    // Every "Kaydet" and "Aktar" that writes a file: a write failing half-way says so and leaves the
    // file that was there as it was, with nothing beside it.
    void aFailedWriteLeavesTheOldFile_data()
    {
        QTest::addColumn<QString>("button"); // the dialog's table, then the button's
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("said"); // empty: what every writer says
        QTest::newRow("contacts, vCard Aktar") << u"Kisiler vcardAktar"_s << u"rehber.vcf"_s << QString();
        QTest::newRow("links, Yer İmlerini Aktar") << u"Linkler yerImleriAktar"_s << u"yer-imleri.html"_s << QString();
        QTest::newRow("companies, CSV Aktar") << u"Firmalar csvAktar"_s << u"firmalar.csv"_s << QString();
        QTest::newRow("entries, CSV Aktar") << u"GelirGider csvAktar"_s << u"hareketler.csv"_s << QString();
        QTest::newRow("report, RTF Kaydet")
            << u"Rapor rtfKaydet"_s << u"rapor.rtf"_s << u"RTF içeriği dosyaya yazılırken bir hata oluştu."_s;
        QTest::newRow("report, PDF Kaydet") << u"Rapor pdfKaydet"_s << u"rapor.pdf"_s << QString();
    }
    void aFailedWriteLeavesTheOldFile()
    {
        QFETCH(QString, button);
        QFETCH(QString, file);
        QFETCH(QString, said);
        const QString text = u"Ayşe; \"Öztürk\", İzmir, uzun bir değer"_s;
        rawRows(u"INSERT INTO Kisiler (AdSoyad, Hakkinda) VALUES ('%1', '%1');"
                u"INSERT INTO Linkler (Baslik, Link, Notlar) VALUES ('%1', 'https://ornek.com/', '%1');"
                u"INSERT INTO Firmalar (FirmaAdi, FirmaAdresi, CalismaTuru) VALUES ('%1', '%1', 'Müşteri');"
                u"INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, GecerliKur, "
                u"KdvOrani, IslemCesidi, IslemIcerigi) VALUES ('Gider', '1', '1', '2024', '%1', '10.00', 'Lira', '0', "
                u"'20', 'Satış', '%1')"_s.arg(text));
        const QString path = m_ws->path() + u'/' + file;
        writeFile(path, "eski");
        const std::unique_ptr<QDialog> dialog = openOn(button.section(u' ', 0, 0));
        m_desktop->answerSave(path);
        const db::Connection held; // its side files are made already: only the written file meets the limit
        withFileSizeLimit(16, [&] { click(*dialog, button.section(u' ', 1).toLatin1().constData()); });
        if (said.isEmpty())
            expectBox(
                u"\"%1\" dosyasına yazılamadı; diskte yer olduğundan emin olun. Önceki dosya olduğu gibi duruyor."_s
                    .arg(path),
                Desktop::Icon::Error);
        else
            expectBox(said, Desktop::Icon::None);
        QCOMPARE(readFile(path), QByteArray("eski"));
        QCOMPARE(
            QDir(m_ws->path()).entryList(QDir::Files | QDir::Hidden).filter(QRegularExpression(u"^(?!Norva\\.db)"_s)),
            QStringList{file});
    }

    // Each dialog over another program's copy of its table, whose first record has no name: that one is
    // left out of the list and counted aside. A delete asks and "Hayır" keeps the record; one deleted
    // meanwhile by a second copy is said gone, not deleted, and the list shows what is left.
    void aDeleteAsksAndAGoneRecordIsSaid_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("texts"); // the name's column, the list, the count, the question, done, gone
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QStringList>("after"); // the buttons enabled after a delete, records left or none
        QTest::addColumn<QStringList>("empty");
        const auto row = [](const char *name, const QString &table, const QStringList &texts,
                            const QStringList &buttons, const QStringList &after, const QStringList &empty) {
            QTest::newRow(name) << table << texts.join(u'|') << buttons << after << empty;
        };
        row("contacts", u"Kisiler"_s,
            {u"AdSoyad"_s, u"kisiListesi"_s, u"Toplam %1 kişi mevcut"_s,
             u"Seçili kişiyi silmek istediğinizden emin misiniz?"_s, u"Seçili kişi başarıyla silindi."_s,
             u"Bu kayıt artık mevcut değil"_s},
            {u"yeniKisi"_s, u"kaydet"_s, u"sil"_s, u"adSoyad"_s}, {u"yeniKisi"_s}, {u"yeniKisi"_s});
        row("memberships", u"Parolalar"_s,
            {u"UyelikYeri"_s, u"uyelikListesi"_s, u"Toplam %1 üyelik kaydı mevcut"_s,
             u"Seçili üyelik bilgilerini silmek istediğinizden emin misiniz?"_s,
             u"Seçili üyelik bilgisi başarıyla silindi."_s, u"Bu kayıt artık mevcut değil"_s},
            {u"yeniKayit"_s, u"kaydet"_s, u"duzelt"_s, u"sil"_s, u"uyelikYeri"_s},
            {u"yeniKayit"_s, u"duzelt"_s, u"uyelikYeri"_s}, {u"yeniKayit"_s, u"uyelikYeri"_s});
        row("links", u"Linkler"_s,
            {u"Baslik"_s, u"linkListesi"_s, u"Toplam %1 link mevcut"_s,
             u"Seçili Link kaydını silmek istediğinizden emin misiniz?"_s, u"Seçili Link başarıyla silindi."_s,
             u"Bu kayıt artık mevcut değil"_s},
            {u"yeni"_s, u"kaydet"_s, u"sil"_s, u"baslik"_s}, {u"yeni"_s, u"baslik"_s}, {u"yeni"_s, u"baslik"_s});
        row("companies", u"Firmalar"_s,
            {u"FirmaAdi"_s, u"firmaListesi"_s, u"Toplam %1 adet kayıtlı firma bulundu."_s,
             u"Bu firmayı silmek istediğinize emin misiniz?"_s, u"Seçili firma başarıyla silindi."_s,
             u"Bu firma artık kayıtlı değil"_s},
            {u"kaydet"_s, u"sil"_s}, {u"kaydet"_s, u"sil"_s}, {});
        row("entries", u"GelirGider"_s,
            {u"IslemKaynagi"_s, u"hareketListesi"_s, u"Toplam %1 adet hareket bulundu."_s,
             u"Bu hareketi silmek istediğinize emin misiniz?"_s, u"Seçili hareket başarıyla silindi."_s,
             u"Bu hareket artık kayıtlı değil"_s},
            {u"kaydet"_s, u"sil"_s}, {u"kaydet"_s, u"sil"_s}, {});
    }
    void aDeleteAsksAndAGoneRecordIsSaid()
    {
        QFETCH(QString, table);
        QFETCH(QString, texts);
        QFETCH(QStringList, buttons);
        QFETCH(QStringList, after);
        QFETCH(QStringList, empty);
        const QStringList text = texts.split(u'|');
        const QString column = text[0];
        const QByteArray listName = text[1].toLatin1();
        rawRows(u"INSERT INTO %1 (%2) VALUES ('silinecek'), ('Birinci'), ('İkinci'), ('Üçüncü')"_s.arg(table, column));
        if (table == u"GelirGider"_s)
            rawExec("UPDATE GelirGider SET IslemTuru = 'Gider'");
        else if (table == u"Firmalar"_s)
            rawExec("UPDATE Firmalar SET CalismaTuru = 'Müşteri'");
        spoilFirstRow(table, column);
        const std::unique_ptr<QDialog> dialog = openOn(table);
        QCOMPARE(textOf(*dialog, "toplam"), text[2].arg(3));
        QCOMPARE(textOf(*dialog, "okunamayan"), u"1 kayıt okunamadı."_s);
        QVERIFY(widget(*dialog, "okunamayan")->isVisible());
        m_desktop->answer(Desktop::Answer::No); // keeps the record
        click(*dialog, "sil");
        expectBox(text[3], Desktop::Icon::Question);
        for (const QStringList &left :
             {QStringList{u"İkinci"_s, u"Üçüncü"_s}, QStringList{u"Üçüncü"_s}, QStringList()}) {
            if (left.size() == 1) {
                rawRows(u"DELETE FROM %1 WHERE %2 = 'İkinci'"_s.arg(table, column));
                clickAndAnswer(*dialog, "sil");
                expectBox(text[5] + u"; başka bir yerden silinmiş olabilir. Liste yenilendi."_s, Desktop::Icon::Error);
            } else {
                clickAndAnswer(*dialog, "sil");
                expectBox(text[4], Desktop::Icon::Information);
            }
            QCOMPARE(listed(*dialog, listName.constData()), left);
            QStringList on;
            for (const QString &name : buttons)
                if (enabled(*dialog, name.toLatin1().constData()))
                    on << name;
            QCOMPARE(on, left.isEmpty() ? empty : after);
            if (!left.isEmpty())
                clickRow(*dialog, listName.constData(), 0);
        }
        QCOMPARE(textOf(*dialog, "toplam"), text[2].arg(0));
        QCOMPARE(rawRows(u"SELECT count(*) FROM %1"_s.arg(table)), QStringList{u"1"_s}); // the unreadable one
    }

    // Another program's copy of a table: a NULL beside the name shows as empty text. Details that
    // cannot be read at all empty the boxes rather than leave the record chosen before, nor delete it unseen.
    void detailsOfAnotherProgramsRecords_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("boxes"); // the list, the name's column and box, then a note's
        QTest::newRow("contacts") << u"Kisiler"_s << u"kisiListesi|AdSoyad adSoyad|Hakkinda hakkinda"_s;
        QTest::newRow("memberships") << u"Parolalar"_s << u"uyelikListesi|UyelikYeri uyelikYeri|Notlar notlar"_s;
        QTest::newRow("links") << u"Linkler"_s << u"linkListesi|Baslik baslik|Notlar notlar"_s;
        QTest::newRow("companies") << u"Firmalar"_s << u"firmaListesi|FirmaAdi firmaAdi|Mail mail"_s;
        QTest::newRow("entries") << u"GelirGider"_s << u"hareketListesi|IslemKaynagi kaynak|IslemNotu islemNotu"_s;
    }
    void detailsOfAnotherProgramsRecords()
    {
        QFETCH(QString, table);
        QFETCH(QString, boxes);
        const QByteArray list = boxes.section(u'|', 0, 0).toLatin1();
        const QStringList name = boxes.section(u'|', 1, 1).split(u' '), note = boxes.section(u'|', 2).split(u' ');
        rawRows(
            u"INSERT INTO %1 (%2, %3) VALUES ('Birinci', 'not 1'), ('İkinci', 'not 2')"_s.arg(table, name[0], note[0]));
        rawExec("UPDATE Firmalar SET CalismaTuru = 'Müşteri'; UPDATE GelirGider SET IslemTuru = 'Gider'");
        spoilFirstRow(table, note[0]);
        const std::unique_ptr<QDialog> dialog = openOn(table);
        const auto shown = [&] {
            return textOf(*dialog, name[1].toLatin1().constData()) + u'|' +
                   textOf(*dialog, note[1].toLatin1().constData());
        };
        clickRow(*dialog, list.constData(), 1);
        QCOMPARE(shown(), u"İkinci|not 2"_s);
        clickRow(*dialog, list.constData(), 0);
        QCOMPARE(shown(), u"Birinci|"_s);
        rawRows(u"ALTER TABLE %1 RENAME COLUMN %2 TO Eski"_s.arg(table, note[0]));
        clickRow(*dialog, list.constData(), 1);
        expectBox(u"no such column: "_s + note[0], Desktop::Icon::None);
        QCOMPARE(shown(), u"|"_s);
        QVERIFY(!enabled(*dialog, "sil"));
    }
};

QTEST_MAIN(TestDialogWiring)
#include "tst_dialog_wiring.moc"
