#include "DialogTest.h"
#include "DialogWidgets.h"

#include "data/Backup.h"
#include "data/ContactStore.h"
#include "data/Database.h"
#include "data/LinkStore.h"
#include "data/MembershipStore.h"
#include "exchange/Bookmarks.h"
#include "platform/QtDesktop.h"
#include "records/KayitliLinkler.h"
#include "records/Parolalar.h"
#include "records/TelefonRehberi.h"
#include "vault/Session.h"

#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The names of the enabled widgets among `names`, in their order.
QStringList enabled(QWidget &dialog, const QStringList &names)
{
    QStringList on;
    for (const QString &name : names)
        if (widget(dialog, name.toLatin1().constData())->isEnabled())
            on << name;
    return on;
}
// Education, blood group and relative: "Lise|0 Rh-|EVET".
void addContact(const QString &name, const QString &memleket, const QString &meslek = {},
                const QString &tahsilKanAkrabalik = u"Lise|0 Rh-|EVET"_s)
{
    const QStringList f = tahsilKanAkrabalik.split(u'|');
    db::Connection().execute(
        "INSERT INTO Kisiler (AdSoyad, Meslek, Memleket, Tahsil, KanGurubu, Akrabalik) VALUES (?, ?, ?, ?, ?, ?)",
        {name, meslek, memleket, f[0], f[1], f[2]});
}
// The occupation of the contact shown, then its four lists: each shown entry and how many entries it holds.
QString choices(QWidget &dialog)
{
    QStringList shown{textOf(dialog, "meslek")};
    for (const char *name : {"memleket", "tahsil", "kanGurubu", "akrabalik"})
        shown << textOf(dialog, name) + u'/' + QString::number(rowsOf(dialog, name).size());
    return shown.join(u' ');
}
// The password box, the master password bar's text, the buttons it offers, and "dots" when the box hides its text.
QString vaultState(QWidget &dialog)
{
    QStringList state{textOf(dialog, "parola"), textOf(dialog, "vaultDurumu")};
    for (const char *name :
         {"anaParolaBelirle", "kilitle", "kilidiAc", "anaParolaDegistir", "sifrelemeyiKaldir", "parolaGoster"})
        if (widget(dialog, name)->isVisibleTo(&dialog) && widget(dialog, name)->isEnabled())
            state << QString::fromLatin1(name);
    if (static_cast<QLineEdit *>(widget(dialog, "parola"))->echoMode() == QLineEdit::Password)
        state << u"dots"_s;
    return state.join(u'|');
}
void addMemberships()
{
    rawExec("INSERT INTO Parolalar (UyelikYeri, KullaniciAdi, Parola, Mail, Web) VALUES "
            "('Birinci', 'kullanici', 'p1', 'm@ornek.com', 'ornek.com'), "
            "('İkinci', 'kullanici', 'p2', 'm@ornek.com', 'ornek.com')");
}
// A master password set on the file; the key kept in the session when `unlocked`.
void setMasterPassword(bool unlocked)
{
    db::Connection c;
    vault::Key key = vault::setMasterPassword(c, u"ana parola"_s);
    if (unlocked)
        vault::Session::current().keep(std::move(key));
}

const QStringList kUyelikButtons = {u"yeniKayit"_s, u"kaydet"_s, u"duzelt"_s, u"sil"_s, u"uyelikYeri"_s};
const QString kBrokenCard = u"BEGIN:VCARD\r\nVERSION:3.0\r\niki nokta yok\r\nEND:VCARD\r\n"_s;

} // namespace

class TestRecords : public DialogTest
{
    Q_OBJECT

private slots:
    void initTestCase() { vault::KeyParameters::useCheapestForTests(); }
    void init() { startCase(); }
    void cleanup()
    {
        vault::Session::current().lock();
        endCase();
    }

    void aNewContactKeepsWhatWasTypedThroughAFailedSave()
    {
        addContact(u"Ayşe Yılmaz"_s, u"İzmir"_s);
        TelefonRehberi dialog;
        dialog.show();
        const QStringList buttons = {u"yeniKisi"_s, u"kaydet"_s, u"sil"_s, u"adSoyad"_s};
        m_desktop->answer(Desktop::Answer::No);
        click(dialog, "yeniKisi");
        expectBox(u"Yeni bir kayıt oluşturulsun mu?"_s, Desktop::Icon::Question);
        QCOMPARE(enabled(dialog, buttons), (QStringList{u"yeniKisi"_s, u"sil"_s}));

        clickAndAnswer(dialog, "yeniKisi");
        QCOMPARE(enabled(dialog, buttons), (QStringList{u"kaydet"_s, u"adSoyad"_s}));
        QVERIFY(!widget(dialog, "ipucu")->isVisible());
        const QString name = u"Ali'nin Oğlu Çağrı Yılmazoğulları"_s;
        typeText(widget(dialog, "adSoyad"), name); // stops at 25 characters
        typeText(widget(dialog, "hakkinda"), u"O'nun\nnotu"_s);
        rawExec("ALTER TABLE Kisiler RENAME TO Eski");
        click(dialog, "kaydet");
        expectBox(u"no such table: Kisiler"_s, Desktop::Icon::None);
        QVERIFY(dialog.isVisible());

        rawExec("ALTER TABLE Eski RENAME TO Kisiler");
        click(dialog, "kaydet"); // the untouched fields store their defaults
        expectBox(u"Kayıtlı kişiler listesine başarıyla kaydedildi"_s, Desktop::Icon::Information, u"Kişi Ekleme"_s);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(rawRows(u"SELECT * FROM Kisiler"_s).constLast(),
                 u"2|"_s + name.left(25) + u"|||||BİLİNMİYOR|BİLİNMİYOR|BİLİNMİYOR|HAYIR||https://www.|O'nun\nnotu"_s);
    }

    // Each contact shows what is stored, never what the one before had: a value no entry names as one
    // extra entry, which goes with the next contact. Of two of one name, only the selected one is deleted.
    void contactsShowTheirOwnDetails()
    {
        addContact(u"Deniz Kaya"_s, u"Ankara"_s, u"Öğretmen"_s);
        addContact(u"Deniz Kaya"_s, u"Kahramanmaraş"_s, u"Doktor"_s);
        // Written by another program: values no entry names, and names in other cases.
        addContact(u"Başka Programdan"_s, u"Kırım"_s, {}, u"|0|evet"_s);
        addContact(u"Küçük Harfle"_s, u"istanbul"_s, {}, u"lise|Doktora|"_s);
        addContact(u"Kısaltılmış"_s, u"kar"_s);
        TelefonRehberi dialog;
        dialog.show();
        QStringList shown{choices(dialog)};
        for (int row = 1; row < 5; ++row) {
            clickRow(dialog, "kisiListesi", row);
            shown << choices(dialog);
        }
        clickAndAnswer(dialog, "yeniKisi"); // a new contact starts from the fixed entries
        shown << choices(dialog);
        QCOMPARE(shown, (QStringList{u"Öğretmen Ankara/82 Lise/5 0 Rh-/9 EVET/2"_s,
                                     u"Doktor Kahramanmaraş/82 Lise/5 0 Rh-/9 EVET/2"_s, u" Kırım/83 /6 0/10 EVET/2"_s,
                                     u" İstanbul/82 Lise/5 Doktora/10 /3"_s, u" kar/83 Lise/5 0 Rh-/9 EVET/2"_s,
                                     u" BİLİNMİYOR/82 BİLİNMİYOR/5 BİLİNMİYOR/9 HAYIR/2"_s}));
        clickRow(dialog, "kisiListesi", 1);
        clickAndAnswer(dialog, "sil");
        expectBox(u"Seçili kişi başarıyla silindi."_s, Desktop::Icon::Information);
        QCOMPARE(rawRows(u"SELECT Meslek FROM Kisiler WHERE Meslek > ''"_s), QStringList{u"Öğretmen"_s});
    }

    // A password is marked for clipboard managers and leaves the clipboard after a while,
    // unless something else was copied meanwhile.
    void aCopiedPasswordLeavesTheClipboard()
    {
        QtDesktop desktop;
        desktop.secretLifetimeMs = 50;
        QClipboard *clipboard = QApplication::clipboard();
        desktop.setSecretClipboardText(u"Kedi'm2024!"_s);
        QCOMPARE(clipboard->mimeData()->data(u"x-kde-passwordManagerHint"_s), QByteArray("secret"));
        QCOMPARE(clipboard->text(), u"Kedi'm2024!"_s);
        QTRY_COMPARE(clipboard->text(), QString());

        desktop.setSecretClipboardText(u"Şifrem_Güçlü9ğ"_s);
        desktop.setClipboardText(u"kullanici"_s);
        QTest::qWait(150);
        QCOMPARE(clipboard->text(), u"kullanici"_s);
    }

    // From each state of the master password, a button of the bar. A new master password shows its strength
    // as it is typed; short or typed twice differently it is refused, and a weak one is used only when the
    // user says so; refused, the dialog keeps what was typed and nothing is stored. Then what the bar and
    // the password box show, which password opens the file; and whatever the bar says, on one line or two,
    // the list ends above the line under it.
    void theMasterPasswordBar_data()
    {
        QTest::addColumn<QString>("state");     // before: plain, locked or unlocked
        QTest::addColumn<QByteArray>("button"); // empty: none clicked
        QTest::addColumn<QStringList>("typed"); // into the master password dialog, "password|again", each then "Tamam"
        QTest::addColumn<int>("answer");        // to every question
        // Said by that dialog after each refused "Tamam", its strength, what a refused one keeps; then the
        // boxes, with their caption when it is not the program's.
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("master"); // the password that opens the file now
        const QString plain = u"|Parolalarınız şifrelenmeden saklanıyor.|anaParolaBelirle"_s;
        const QString unlocked =
            u"p1|Parolalarınız ana parolayla şifreli. Ana parolanızı unutursanız şifreli bilgilere "
            u"ulaşmanın hiçbir yolu yoktur.|kilitle|anaParolaDegistir|sifrelemeyiKaldir|"
            u"parolaGoster|dots"_s;
        const QString locked = u"|Kilitli|kilidiAc|anaParolaDegistir|sifrelemeyiKaldir|parolaGoster|dots"_s;
        const QString weak = u"Bu ana parola zayıf: tek tür karakterden oluşuyor (örneğin yalnızca küçük harf ya da "
                             u"yalnızca rakam) ve kolayca tahmin edilebilir. Harfleri, rakamları ve işaretleri "
                             u"karıştıran bir parola daha güvenlidir. Bu parola yine de kullanılsın mı?"_s;
        const QString set = u"Ana parola belirlendi; bütün üyelik bilgileri şifrelendi."_s;
        const QString backups = u"Yedekler klasöründeki 1 yedek, ana parola belirlenmeden önce alındı: onlarda "
                                u"parolalarınız şifrelenmemiş olarak duruyor ve dosyayı eline geçiren herkes "
                                u"okuyabilir. Bu eski yedekler silinsin mi?"_s;
        const QString changed = u"Ana parola değiştirildi; bütün üyelik bilgileri yeni parolayla şifrelendi."_s;
        const QString master = u"ana parola"_s, strength = u"Parola gücü: "_s;
        const QStringList none;
        const int yes = int(Desktop::Answer::Yes), no = int(Desktop::Answer::No);
        QTest::newRow("none") << u"plain"_s << QByteArray() << none << yes << none << u"p1"_s + plain << QString();
        QTest::newRow("locked") << u"locked"_s << QByteArray() << none << yes << none << locked << master;
        QTest::newRow("unlocked") << u"unlocked"_s << QByteArray() << none << yes << none << unlocked << master;
        QTest::newRow("set, seven of every kind")
            << u"plain"_s << "anaParolaBelirle"_ba << QStringList{u"Ke'm2!x"_s} << yes
            << QStringList{u"Ana parola en az 8 karakter olmalı; daha uzun bir parola yazın."_s, strength + u"Zayıf"_s,
                           u"Ke'm2!x"_s}
            << u"p1"_s + plain << QString();
        // The reason given first goes once the password passes the checks.
        QTest::newRow("set, weak, kept back")
            << u"plain"_s << "anaParolaBelirle"_ba << QStringList{u"kedikedi|başka"_s, u"kedikedi"_s} << no
            << QStringList{u"İki parola birbirini tutmuyor; yeniden yazın."_s, QString(), strength + u"Zayıf"_s,
                           u"kedikedi"_s, u"Ana Parola Belirle: "_s + weak}
            << u"p1"_s + plain << QString();
        QTest::newRow("set, weak, used, the older backups deleted")
            << u"plain"_s << "anaParolaBelirle"_ba << QStringList{u"12345678"_s} << yes
            << QStringList{strength + u"Zayıf"_s, u"Ana Parola Belirle: "_s + weak, set, backups} << unlocked
            << u"12345678"_s;
        QTest::newRow("set, eight of two kinds")
            << u"plain"_s << "anaParolaBelirle"_ba << QStringList{u"kedi1234"_s} << yes
            << QStringList{strength + u"Orta"_s, set, backups} << unlocked << u"kedi1234"_s;
        QTest::newRow("set, twelve of every kind")
            << u"plain"_s << "anaParolaBelirle"_ba << QStringList{u"Kedi'm2024!x"_s} << yes
            << QStringList{strength + u"Güçlü"_s, set, backups} << unlocked << u"Kedi'm2024!x"_s;
        QTest::newRow("change, weak, used")
            << u"unlocked"_s << "anaParolaDegistir"_ba << QStringList{u"yeniparola"_s} << yes
            << QStringList{strength + u"Zayıf"_s, u"Ana Parolayı Değiştir: "_s + weak, changed} << unlocked
            << u"yeniparola"_s;
        QTest::newRow("change, sixteen, Turkish")
            << u"unlocked"_s << "anaParolaDegistir"_ba << QStringList{u"Şifrem_Güçlü9ğ-ab"_s} << yes
            << QStringList{strength + u"Çok güçlü"_s, changed} << unlocked << u"Şifrem_Güçlü9ğ-ab"_s;
        QTest::newRow("lock") << u"unlocked"_s << "kilitle"_ba << none << yes << none << locked << master;
        QTest::newRow("unlock, a wrong password first")
            << u"locked"_s << "kilidiAc"_ba << QStringList{u"yanlış"_s, master} << yes
            << QStringList{u"Ana parola yanlış; yeniden deneyin."_s} << unlocked << master;
        QTest::newRow("remove") << u"locked"_s << "sifrelemeyiKaldir"_ba << QStringList{master} << yes
                                << QStringList{u"Şifreleme kaldırılsın mı? Üyelik bilgileriniz yeniden şifrelenmeden "
                                               u"saklanacak ve dosyayı eline geçiren herkes okuyabilecek."_s,
                                               u"Şifreleme kaldırıldı."_s}
                                << plain << QString();
    }
    void theMasterPasswordBar()
    {
        QFETCH(QString, state);
        QFETCH(QByteArray, button);
        QFETCH(QStringList, typed);
        QFETCH(int, answer);
        QFETCH(QStringList, said);
        QFETCH(QString, after);
        QFETCH(QString, master);
        addMemberships();
        db::keepCopy(u"deneme"_s); // holds the passwords plain
        if (state != u"plain"_s)
            setMasterPassword(state == u"unlocked"_s);
        Parolalar dialog; // locked: the master password is not given
        dialog.show();
        QStringList shown;
        m_desktop->onModal = [&typed, &shown](QDialog &asking) {
            for (const QString &text : typed) {
                setTexts(asking, {"parola", "tekrar"}, text.section(u'|', 0, 0) + u'|' + text.section(u'|', -1));
                click(asking, "tamam");
                if (!asking.result())
                    shown << textOf(asking, "hata");
            }
            if (widget(asking, "guc")->isVisibleTo(&asking))
                shown << textOf(asking, "guc");
            if (!asking.result())
                shown << textOf(asking, "parola");
        };
        for (const QString &text : said)
            if (text.contains(u'?'))
                m_desktop->answer(Desktop::Answer(answer));
        if (!button.isEmpty())
            click(dialog, button.constData());
        while (!m_desktop->boxes.isEmpty()) {
            const FakeDesktop::Box box = m_desktop->takeBox();
            shown << (box.caption == kProgramCaption ? QString() : box.caption + u": "_s) + box.text;
            QCOMPARE(box.icon, box.text.contains(u'?') ? Desktop::Icon::Question : Desktop::Icon::Information);
        }
        QCOMPARE(shown, said);
        QCOMPARE(vaultState(dialog), after);
        db::Connection c;
        const std::optional<vault::MasterPassword> stored = vault::storedMasterPassword(c);
        QVERIFY(stored ? bool(vault::unlock(*stored, master)) : master.isEmpty());
        QCOMPARE(db::backupCopies().isEmpty(), said.join(u' ').contains(u"Yedekler klasöründeki"_s));
        const auto area = [&dialog](const char *name) {
            QWidget *w = widget(dialog, name);
            return QRect(w->mapTo(&dialog, QPoint()), w->size());
        };
        QTRY_VERIFY2(area("uyelikListesi").bottom() < area("ustCizgi").top(),
                     qPrintable(u"%1 below %2"_s.arg(area("uyelikListesi").bottom()).arg(area("ustCizgi").top())));
    }

    // Behind a master password: dots, readable while "Göster" is held and a moment after; the copy buttons
    // take what the boxes show, the password as a secret; a damaged membership is named and cannot be
    // corrected over. A key kept from before a second copy changed the master password is asked for anew,
    // and "Kaydet" stores the membership sealed under the new one.
    void aSaveAsksTheMasterPasswordAndStoresSealed()
    {
        addMemberships();
        setMasterPassword(true);
        Parolalar dialog;
        dialog.show();
        dialog.passwordShownMs = 50;
        const auto echo = [&dialog] { return static_cast<QLineEdit *>(widget(dialog, "parola"))->echoMode(); };
        QTest::mousePress(widget(dialog, "parolaGoster"), Qt::LeftButton);
        QCOMPARE(echo(), QLineEdit::Normal);
        QTest::mouseRelease(widget(dialog, "parolaGoster"), Qt::LeftButton);
        QCOMPARE(echo(), QLineEdit::Normal);
        QTRY_COMPARE(echo(), QLineEdit::Password);
        click(dialog, "kopyalaParola");
        setText(dialog, "parola", u"yazılmış"_s);
        for (const char *copy : {"kopyalaParola", "kopyalaKullaniciAdi", "kopyalaMail", "kopyalaWeb"})
            click(dialog, copy);
        QCOMPARE(m_desktop->clipboard.join(u' '), u"p1 yazılmış kullanici m@ornek.com ornek.com"_s);
        QCOMPARE(m_desktop->secrets, (QStringList{u"p1"_s, u"yazılmış"_s}));

        rawExec("UPDATE Parolalar SET Mail = 'nrv1:AAAA' WHERE UyelikYeri = 'İkinci'");
        clickRow(dialog, "uyelikListesi", 1);
        expectBox(u"\"İkinci\" üyeliğinin şifreli bilgileri açılamadı; kayıt bozulmuş olabilir. Diğer üyelikleriniz "
                  u"bundan etkilenmez."_s,
                  Desktop::Icon::Error);
        QCOMPARE(textsOf(dialog, {"uyelikYeri", "parola"}), u"İkinci|"_s);
        QCOMPARE(enabled(dialog, kUyelikButtons), (QStringList{u"yeniKayit"_s, u"uyelikYeri"_s}));

        rawExec("DELETE FROM Parolalar WHERE UyelikYeri = 'İkinci'");
        db::Connection c;
        vault::changeMasterPassword(c, *vault::Session::current().key(), u"yeni parola"_s);
        int asked = 0;
        m_desktop->onModal = [&asked](QDialog &asking) {
            ++asked;
            setText(asking, "parola", u"yeni parola"_s);
            click(asking, "tamam");
        };
        clickAndAnswer(dialog, "yeniKayit");
        QCOMPARE(enabled(dialog, kUyelikButtons), (QStringList{u"kaydet"_s, u"uyelikYeri"_s}));
        setTexts(dialog, {"uyelikYeri", "parola"}, u"Ali'nin Sitesi|Şifrem_Güçlü9ğ"_s);
        click(dialog, "kaydet");
        expectBox(u"Üyelik bilgisi başarıyla kaydedildi."_s, Desktop::Icon::Information, u"Üyelik Bilgi Kaydı"_s);
        QCOMPARE(asked, 1);
        const vault::Key key = *vault::unlock(*vault::storedMasterPassword(c), u"yeni parola"_s);
        QCOMPARE(vault::opened(key, *MembershipStore(c).find(3))->password, u"Şifrem_Güçlü9ğ"_s);
    }

    // No file: each box leads with what the user can do about it.
    void aMissingFileIsSaidPlainly()
    {
        QVERIFY(QFile::remove(u"Norva.db"_s));
        const QString reason =
            u"Veritabanına erişilemiyor: dosyaya ya da klasörüne erişim izniniz yok veya dosya yerinde değil.\n\n"_s;
        const QString description = u"Veritabanı dosyası açılamadı (Norva.db): unable to open database file"_s;
        Parolalar parolalar;
        expectBox(reason + u"OLEDB Bağlantı Hatası:\nHata: unable to open database file\nAçıklama: "_s + description,
                  Desktop::Icon::None);
        QCOMPARE(textOf(parolalar, "toplam"), u"Toplam 0 üyelik kaydı mevcut"_s);
        TelefonRehberi kisiler;
        expectBox(reason + description, Desktop::Icon::None);
    }

    // "Aktar" writes every record to a file other programs read; "Al" takes it in again: its question counts
    // the new records and the saved ones, the new come back whole, the list reloads, and a second time adds
    // nothing. Other files add nothing either, and say why.
    void aFileIsWrittenAndTakenIn_data()
    {
        QTest::addColumn<QString>("table");      // then the columns compared, both buttons, the list
        QTest::addColumn<QString>("file");       // the file written, the name offered, the open dialog's filter
        QTest::addColumn<QStringList>("said");   // written, asked, added, the second time
        QTest::addColumn<QStringList>("others"); // "file|content|said"; a question answered "Hayır"
        QTest::newRow("contacts")
            << u"Kisiler|AdSoyad, CepTelefonu, EvTelefonu, IsTelefonu, Meslek, Memleket, Tahsil, KanGurubu, Akrabalik, "
               u"Eposta, Web, Hakkinda|vcardAktar|vcardAl|kisiListesi"_s
            << u"rehber %2.vcf|Rehber.vcf|vCard Dosyası (*.vcf);;Tüm Dosyalar (*.*)"_s
            << QStringList{u"Rehberdeki kişiler rehber %2.vcf dosyasına yazıldı."_s,
                           u"rehber %2.vcf dosyasında 2 kişi bulundu: 1 tanesi yeni, 1 tanesi zaten kayıtlı. Bozuk "
                           u"olduğu için okunamayan 1 kart atlandı. Rehbere yalnızca yeni olan 1 kişi eklensin mi?"_s,
                           u"1 kişi rehbere eklendi. Kayıtlı bir kişiyle her alanı aynı olan 1 kişi atlandı."_s,
                           u"rehber %2.vcf dosyasında bulunan 2 kişi zaten kayıtlı. Bozuk olduğu için okunamayan 1 "
                           u"kart atlandı. Eklenecek yeni kişi yok."_s}
            << QStringList{u"notlar.vcf|Merhaba\r\n|notlar.vcf: Bu dosya bir vCard (.vcf) dosyası değil; içinde hiç "
                           u"kişi kartı yok. Hiçbir kişi eklenmedi."_s,
                           u"bozuk.vcf|"_s + kBrokenCard +
                               u"|bozuk.vcf dosyasında eklenebilecek kişi bulunamadı. Bozuk olduğu için okunamayan 1 "
                               u"kart atlandı."_s};
        QTest::newRow("links")
            << u"Linkler|Baslik, Link, Notlar|yerImleriAktar|yerImleriAl|linkListesi"_s
            << u"yer-imleri.html|Yer-Imleri.html|Yer İmi Dosyası (*.html *.htm);;Tüm Dosyalar (*.*)"_s
            << QStringList{u"Kayıtlı linkler yer-imleri.html dosyasına yazıldı."_s,
                           u"yer-imleri.html dosyasında 2 link bulundu: 1 tanesi yeni, 1 tanesi zaten kayıtlı. Kayıtlı "
                           u"linklere yalnızca yeni olan 1 link eklensin mi?"_s,
                           u"1 link eklendi. Kayıtlı bir linkle aynı başlık ve adreste olan 1 link atlandı."_s,
                           u"yer-imleri.html dosyasında bulunan 2 link zaten kayıtlı. Eklenecek yeni link yok."_s}
            << QStringList{
                   u"sayfa.html|<html><a href=\"https://d.com/\">D</a></html>|sayfa.html: Bu dosya bir yer imi "
                   u"dosyası değil. Tarayıcınızın yer imlerini HTML olarak dışa aktardığı dosyayı seçin. "
                   u"Hiçbir link eklenmedi."_s,
                   u"yok.html||\"yok.html\" dosyası açılamadı. Dosyanın var olduğundan ve okuma izniniz "
                   u"olduğundan emin olun."_s,
                   u"yeni.html|"_s +
                       QString::fromUtf8(exchange::bookmarksHtml({{-1, u"Yeni"_s, u"https://yeni.com/"_s, {}}}, 0)) +
                       u"|yeni.html dosyasında 1 link bulundu. Kayıtlı linklere eklensin mi?"_s};
    }
    void aFileIsWrittenAndTakenIn()
    {
        QFETCH(QString, table);
        QFETCH(QString, file);
        QFETCH(QStringList, said);
        QFETCH(QStringList, others);
        const QStringList t = table.split(u'|'), f = file.split(u'|');
        const QByteArray aktar = t[2].toLatin1(), al = t[3].toLatin1(), list = t[4].toLatin1();
        {
            db::Connection c;
            for (const QString &text : {u"Ayşe; \"Öztürk\", İzmir"_s, u"<b>&amp;</b>\nikinci satır"_s}) {
                ContactStore(c).add({-1, text, text, text, text, text, text, text, text, u"EVET"_s, text, text, text});
                LinkStore(c).add({-1, text, u"https://ornek.com/?a=1&b=\"2\""_s, text});
            }
        }
        const QString stored = u"SELECT %1 FROM %2 ORDER BY RowId"_s.arg(t[1], t[0]);
        const QStringList before = rawRows(stored);
        const std::unique_ptr<QDialog> dialog(t[0] == u"Kisiler"_s ? static_cast<QDialog *>(new TelefonRehberi)
                                                                   : new KayitliLinkler);
        m_desktop->answerSave(f[0]);
        click(*dialog, aktar.constData());
        expectBox(said[0], Desktop::Icon::Information);
        QCOMPARE(m_desktop->saveRequests.value(0).fileName, f[1]);

        // The second record is new again; a card that cannot be read is counted aside.
        rawRows(u"DELETE FROM %1 WHERE RowId = 2"_s.arg(t[0]));
        if (t[0] == u"Kisiler"_s)
            writeFile(f[0], readFile(f[0]) + kBrokenCard.toUtf8());
        m_desktop->answerOpen(f[0]);
        m_desktop->answer(Desktop::Answer::Yes);
        click(*dialog, al.constData());
        QCOMPARE(m_desktop->openRequests.value(0).filter, f[2]);
        expectBox(said[1], Desktop::Icon::Question);
        expectBox(said[2], Desktop::Icon::Information);
        QCOMPARE(listed(*dialog, list.constData()).size(), 2);
        m_desktop->answerOpen(f[0]);
        click(*dialog, al.constData());
        expectBox(said[3], Desktop::Icon::Information);

        for (const QString &other : others) {
            const QStringList o = other.split(u'|');
            if (!o[1].isEmpty())
                writeFile(o[0], o[1].toUtf8());
            const bool asked = o[2].endsWith(u"mi?"_s);
            if (asked)
                m_desktop->answer(Desktop::Answer::No);
            m_desktop->answerOpen(o[0]);
            click(*dialog, al.constData());
            expectBox(o[2], asked ? Desktop::Icon::Question : Desktop::Icon::Error);
        }
        QCOMPARE(rawRows(stored), before);
    }

    // "Aç" opens what the box shows, through the rules of web addresses tabled with the companies; a new
    // link starts empty and is stored as typed.
    void aLinkIsOpenedAndAdded()
    {
        rawExec("INSERT INTO Linkler (Baslik, Link, Notlar) VALUES ('Birinci', 'a.com', 'notlar')");
        KayitliLinkler dialog;
        dialog.show();
        setText(dialog, "link", u"/home/ali/http.txt"_s);
        click(dialog, "linkAc");
        expectBox(u"Bu adres bir web adresi değil: /home/ali/http.txt"_s, Desktop::Icon::Error);
        QVERIFY(m_desktop->opened.isEmpty());

        clickAndAnswer(dialog, "yeni");
        QCOMPARE(enabled(dialog, {u"yeni"_s, u"kaydet"_s, u"sil"_s, u"baslik"_s}),
                 (QStringList{u"kaydet"_s, u"baslik"_s}));
        setTexts(dialog, {"baslik", "link"}, u"Ali'nin Günlüğü|ali.com.tr"_s);
        click(dialog, "kaydet");
        expectBox(u"Link başarıyla kaydedildi"_s, Desktop::Icon::Information, u"Link Kaydı...."_s);
        QCOMPARE(rawRows(u"SELECT Baslik, Link, Notlar FROM Linkler"_s),
                 (QStringList{u"Birinci|a.com|notlar"_s, u"Ali'nin Günlüğü|ali.com.tr|"_s}));
    }
};

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
