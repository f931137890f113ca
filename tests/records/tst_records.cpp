#include "DialogTest.h"
#include "DialogWidgets.h"

#include "data/Backup.h"
#include "data/ContactStore.h"
#include "data/Database.h"
#include "data/LinkStore.h"
#include "data/MembershipStore.h"
#include "exchange/Bookmarks.h"
#include "exchange/VCard.h"
#include "platform/QtDesktop.h"
#include "records/KayitliLinkler.h"
#include "records/MasterPasswordDialog.h"
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
// The four lists of the contact shown, and how many entries each holds.
QStringList choices(QWidget &dialog)
{
    QStringList shown;
    for (const char *name : {"memleket", "tahsil", "kanGurubu", "akrabalik"})
        shown << textOf(dialog, name) + u'/' + QString::number(rowsOf(dialog, name).size());
    return shown;
}
// The master password bar's text, the buttons it offers, and "dots" when the password box hides its text.
QString vaultState(QWidget &dialog)
{
    QStringList state{textOf(dialog, "vaultDurumu")};
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

const QStringList kKisiButtons = {u"yeniKisi"_s, u"kaydet"_s, u"sil"_s, u"adSoyad"_s};
const QStringList kUyelikButtons = {u"yeniKayit"_s, u"kaydet"_s, u"duzelt"_s, u"sil"_s, u"uyelikYeri"_s};
const QStringList kLinkButtons = {u"yeni"_s, u"kaydet"_s, u"sil"_s, u"baslik"_s};

// A table's dialog, opened.
std::unique_ptr<QDialog> open(const QString &table)
{
    if (table == u"Kisiler"_s)
        return std::make_unique<TelefonRehberi>();
    if (table == u"Parolalar"_s)
        return std::make_unique<Parolalar>();
    return std::make_unique<KayitliLinkler>();
}

const QString kGone = u"Bu kayıt artık mevcut değil; başka bir yerden silinmiş olabilir. Liste yenilendi."_s;
const QString kContactColumns =
    u"AdSoyad, CepTelefonu, EvTelefonu, IsTelefonu, Meslek, Memleket, Tahsil, KanGurubu, Akrabalik, Eposta, Web, "
    u"Hakkinda"_s;
QString fieldsOf(const Contact &c)
{
    return QStringList{c.name,      c.mobile,     c.homePhone, c.workPhone, c.occupation, c.hometown,
                       c.education, c.bloodGroup, c.relative,  c.mail,      c.web,        c.about}
        .join(u'|');
}

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
        m_desktop->answer(Desktop::Answer::No);
        click(dialog, "yeniKisi");
        expectBox(u"Yeni bir kayıt oluşturulsun mu?"_s, Desktop::Icon::Question);
        QCOMPARE(enabled(dialog, kKisiButtons), (QStringList{u"yeniKisi"_s, u"sil"_s}));

        clickAndAnswer(dialog, "yeniKisi");
        QCOMPARE(enabled(dialog, kKisiButtons), (QStringList{u"kaydet"_s, u"adSoyad"_s}));
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
        QCOMPARE(textOf(dialog, "meslek"), u"Öğretmen"_s);
        QCOMPARE(choices(dialog), (QStringList{u"Ankara/82"_s, u"Lise/5"_s, u"0 Rh-/9"_s, u"EVET/2"_s}));
        QCOMPARE(dialog.selectedRowId(), 1);
        // Each shows what is stored, never what the contact before had; an
        // unknown value as one extra entry, which goes with the next contact.
        const QList<QStringList> shown = {
            {u"Kahramanmaraş/82"_s, u"Lise/5"_s, u"0 Rh-/9"_s, u"EVET/2"_s},
            {u"Kırım/83"_s, u"/6"_s, u"0/10"_s, u"EVET/2"_s},
            {u"İstanbul/82"_s, u"Lise/5"_s, u"Doktora/10"_s, u"/3"_s},
            {u"kar/83"_s, u"Lise/5"_s, u"0 Rh-/9"_s, u"EVET/2"_s},
        };
        for (int row = 1; row < 5; ++row) {
            clickRow(dialog, "kisiListesi", row);
            QCOMPARE(dialog.selectedRowId(), row + 1);
            QCOMPARE(choices(dialog), shown[row - 1]);
        }
        clickAndAnswer(dialog, "yeniKisi"); // a new contact starts from the fixed entries
        QCOMPARE(choices(dialog),
                 (QStringList{u"BİLİNMİYOR/82"_s, u"BİLİNMİYOR/5"_s, u"BİLİNMİYOR/9"_s, u"HAYIR/2"_s}));

        // Of two of one name, only the selected one is deleted.
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

    // The master password from the dialog's bar: set, lock, unlock (a wrong one first),
    // a damaged record, change and removal; the places stay listed throughout.
    void aMasterPasswordSealsTheMemberships()
    {
        addMemberships();
        db::keepCopy(u"deneme"_s); // taken before: it holds the passwords plain
        // Answers a master password dialog: `typed` in turn, each followed by "Tamam".
        const auto answerPassword = [this](QStringList typed, QString *said = nullptr) {
            m_desktop->onModal = [typed, said](QDialog &dialog) mutable {
                QCOMPARE(dialog.metaObject()->className(), "MasterPasswordDialog");
                for (const QString &text : typed) {
                    setText(dialog, "parola", text.section(u'|', 0, 0));
                    setText(dialog, "tekrar", text.section(u'|', -1));
                    click(dialog, "tamam");
                    if (said && !dialog.result())
                        *said = textOf(dialog, "hata");
                }
            };
        };
        Parolalar dialog;
        dialog.show();
        const QString plain = u"Parolalarınız şifrelenmeden saklanıyor.|anaParolaBelirle"_s;
        const QString unlocked = u"Parolalarınız ana parolayla şifreli. Ana parolanızı unutursanız şifreli bilgilere "
                                 u"ulaşmanın hiçbir yolu yoktur.|kilitle|anaParolaDegistir|sifrelemeyiKaldir|"
                                 u"parolaGoster|dots"_s;
        const QString locked = u"Kilitli|kilidiAc|anaParolaDegistir|sifrelemeyiKaldir|parolaGoster|dots"_s;
        QCOMPARE(vaultState(dialog), plain);
        QString said;
        answerPassword({u"ana parola|ana Parola"_s, u"ana parola|ana parola"_s}, &said);
        m_desktop->answer(Desktop::Answer::Yes); // the older backups go
        click(dialog, "anaParolaBelirle");
        QCOMPARE(said, u"İki parola birbirini tutmuyor; yeniden yazın."_s);
        expectBox(u"Ana parola belirlendi; bütün üyelik bilgileri şifrelendi."_s, Desktop::Icon::Information);
        QVERIFY(m_desktop->takeBox().text.startsWith(u"Yedekler klasöründeki 1 yedek"_s));
        QCOMPARE(db::backupCopies().size(), 0);
        QCOMPARE(rawRows(u"SELECT UyelikYeri, substr(Parola, 1, 5) FROM Parolalar"_s),
                 (QStringList{u"Birinci|nrv1:"_s, u"İkinci|nrv1:"_s}));
        QCOMPARE(vaultState(dialog), unlocked);

        // Dots, readable while "Göster" is held and a moment after; copied either way.
        clickRow(dialog, "uyelikListesi", 1);
        QCOMPARE(textOf(dialog, "parola"), u"p2"_s);
        click(dialog, "kopyalaParola");
        QCOMPARE(m_desktop->secrets, QStringList{u"p2"_s});
        dialog.passwordShownMs = 50;
        QTest::mousePress(widget(dialog, "parolaGoster"), Qt::LeftButton);
        QVERIFY(!vaultState(dialog).endsWith(u"dots"_s));
        QTest::mouseRelease(widget(dialog, "parolaGoster"), Qt::LeftButton);
        QVERIFY(!vaultState(dialog).endsWith(u"dots"_s));
        QTRY_COMPARE(vaultState(dialog), unlocked);

        // Locked: the boxes forget and the bar says so; "Kilidi Aç" asks, a wrong password first.
        click(dialog, "kilitle");
        QCOMPARE(textOf(dialog, "parola"), QString());
        QCOMPARE(vaultState(dialog), locked);
        answerPassword({u"yanlış"_s, u"ana parola"_s}, &said);
        click(dialog, "kilidiAc");
        QCOMPARE(said, u"Ana parola yanlış; yeniden deneyin."_s);
        QCOMPARE(textsOf(dialog, {"uyelikYeri", "parola"}), u"Birinci|p1"_s);
        QCOMPARE(vaultState(dialog), unlocked);

        // A corrected membership is stored sealed; a damaged one is named, the others still open.
        setText(dialog, "parola", u"Şifrem_Güçlü9ğ"_s);
        Parolalar again;
        rawExec("UPDATE Parolalar SET Mail = 'nrv1:AAAA' WHERE UyelikYeri = 'İkinci'");
        m_desktop->onModal = nullptr;
        clickRow(again, "uyelikListesi", 1);
        expectBox(u"\"İkinci\" üyeliğinin şifreli bilgileri açılamadı; kayıt bozulmuş olabilir. Diğer üyelikleriniz "
                  u"bundan etkilenmez."_s,
                  Desktop::Icon::Error);
        QCOMPARE(textsOf(again, {"uyelikYeri", "parola"}), u"İkinci|"_s);
        rawExec("DELETE FROM Parolalar WHERE UyelikYeri = 'İkinci'");
        click(dialog, "duzelt");
        expectBox(u"Üyelik bilgisi başarıyla güncellendi."_s, Desktop::Icon::Information);
        QVERIFY(!rawRows(u"SELECT Parola FROM Parolalar"_s).join(u' ').contains(u"Şifrem"_s));

        // Changed, then removed: everything plain again.
        Parolalar third;
        answerPassword({u"yeni parola|yeni parola"_s});
        click(third, "anaParolaDegistir");
        expectBox(u"Ana parola değiştirildi; bütün üyelik bilgileri yeni parolayla şifrelendi."_s,
                  Desktop::Icon::Information);
        vault::Session::current().lock(); // five minutes without use
        QCOMPARE(vaultState(third), locked);
        answerPassword({u"yeni parola"_s});
        clickAndAnswer(third, "sifrelemeyiKaldir");
        expectBox(u"Şifreleme kaldırıldı."_s, Desktop::Icon::Information);
        QCOMPARE(rawRows(u"SELECT UyelikYeri, Parola FROM Parolalar"_s), QStringList{u"Birinci|Şifrem_Güçlü9ğ"_s});
        QCOMPARE(vaultState(third), plain);
    }

    // The master password changed by a second copy: the key kept from before is asked for anew, and
    // nothing is sealed under it.
    void aKeyKeptFromBeforeAChangeIsAskedForAnew()
    {
        addMemberships();
        db::Connection c;
        vault::Session::current().keep(vault::setMasterPassword(c, u"ana parola"_s));
        Parolalar dialog;
        dialog.show();
        vault::changeMasterPassword(c, *vault::Session::current().key(), u"yeni parola"_s);
        int asked = 0;
        m_desktop->onModal = [&asked](QDialog &asking) {
            ++asked;
            setText(asking, "parola", u"yeni parola"_s);
            click(asking, "tamam");
        };
        setText(dialog, "parola", u"Şifrem_Güçlü9ğ"_s);
        click(dialog, "duzelt");
        expectBox(u"Üyelik bilgisi başarıyla güncellendi."_s, Desktop::Icon::Information);
        QCOMPARE(asked, 1);
        const vault::Key key = *vault::unlock(*vault::storedMasterPassword(c), u"yeni parola"_s);
        const std::optional<Membership> stored = vault::opened(key, *MembershipStore(c).find(1));
        QVERIFY(stored);
        QCOMPARE(stored->password, u"Şifrem_Güçlü9ğ"_s);
    }

    // Whatever the master password bar says, on one line or two, the list ends above the line under it.
    void theListEndsAboveTheLine_data()
    {
        QTest::addColumn<QString>("state");
        QTest::newRow("no master password") << u"plain"_s;
        QTest::newRow("locked") << u"locked"_s;
        QTest::newRow("unlocked") << u"unlocked"_s;
        QTest::newRow("set while open") << u"set"_s;
    }
    void theListEndsAboveTheLine()
    {
        QFETCH(QString, state);
        addMemberships();
        if (state == u"locked"_s || state == u"unlocked"_s) {
            db::Connection c;
            vault::Key key = vault::setMasterPassword(c, u"ana parola"_s);
            if (state == u"unlocked"_s)
                vault::Session::current().keep(std::move(key));
        }
        Parolalar dialog; // locked: the master password is not given
        dialog.show();
        if (state == u"set"_s) {
            m_desktop->onModal = [](QDialog &asking) {
                setTexts(asking, {"parola", "tekrar"}, u"ana parola|ana parola"_s);
                click(asking, "tamam");
            };
            click(dialog, "anaParolaBelirle");
            expectBox(u"Ana parola belirlendi; bütün üyelik bilgileri şifrelendi."_s, Desktop::Icon::Information);
        }
        const auto area = [&dialog](const char *name) {
            QWidget *w = widget(dialog, name);
            return QRect(w->mapTo(&dialog, QPoint()), w->size());
        };
        QTRY_VERIFY2(area("uyelikListesi").bottom() < area("ustCizgi").top(),
                     qPrintable(u"%1 below %2"_s.arg(area("uyelikListesi").bottom()).arg(area("ustCizgi").top())));
    }

    // A new master password, set or changed: under eight characters it is refused, a weak one is
    // used only when the user says so; refused, the dialog stays open with what was typed.
    void aWeakMasterPasswordIsRefusedOrConfirmed_data()
    {
        QTest::addColumn<bool>("change");
        QTest::addColumn<QString>("typed"); // twice
        QTest::addColumn<int>("answer");    // to the question about a weak one; -1: none asked
        QTest::addColumn<QString>("said");
        const QString shortOne = u"Ana parola en az 8 karakter olmalı; daha uzun bir parola yazın."_s;
        const int yes = int(Desktop::Answer::Yes), no = int(Desktop::Answer::No);
        QTest::newRow("set, three characters") << false << u"abc"_s << -1 << shortOne;
        QTest::newRow("set, seven of every kind") << false << u"Ke'm2!x"_s << -1 << shortOne;
        QTest::newRow("set, weak, kept back") << false << u"kedikedi"_s << no << QString();
        QTest::newRow("set, weak, used") << false << u"12345678"_s << yes << QString();
        QTest::newRow("set, medium") << false << u"kedi1234"_s << -1 << QString();
        QTest::newRow("change, seven characters") << true << u"yeni123"_s << -1 << shortOne;
        QTest::newRow("change, weak, used") << true << u"yeniparola"_s << yes << QString();
    }
    void aWeakMasterPasswordIsRefusedOrConfirmed()
    {
        QFETCH(bool, change);
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(QString, said);
        addMemberships();
        if (change) {
            db::Connection c;
            vault::Session::current().keep(vault::setMasterPassword(c, u"ana parola"_s));
        }
        const QString stored = u"SELECT Parola FROM Parolalar; SELECT * FROM MasterPassword"_s;
        const QStringList before = rawRows(stored);
        Parolalar dialog;
        bool used = false;
        QString shown, kept;
        m_desktop->onModal = [&](QDialog &asking) {
            setTexts(asking, {"parola", "tekrar"}, typed + u"|başka"_s); // a reason that goes once mended
            click(asking, "tamam");
            setText(asking, "tekrar", typed);
            if (answer >= 0)
                m_desktop->answer(Desktop::Answer(answer));
            click(asking, "tamam");
            used = asking.result() == QDialog::Accepted;
            shown = textOf(asking, "hata");
            kept = textOf(asking, "parola");
        };
        click(dialog, change ? "anaParolaDegistir" : "anaParolaBelirle");
        if (answer >= 0)
            expectBox(u"Bu ana parola zayıf: tek tür karakterden oluşuyor (örneğin yalnızca küçük harf ya da yalnızca "
                      u"rakam) ve kolayca tahmin edilebilir. Harfleri, rakamları ve işaretleri karıştıran bir parola "
                      u"daha güvenlidir. Bu parola yine de kullanılsın mı?"_s,
                      Desktop::Icon::Question, change ? u"Ana Parolayı Değiştir"_s : u"Ana Parola Belirle"_s);
        QCOMPARE(shown, said);
        QCOMPARE(used, said.isEmpty() && answer != int(Desktop::Answer::No));
        if (!used) {
            QCOMPARE(kept, typed);
            QCOMPARE(rawRows(stored), before);
            return;
        }
        m_desktop->takeBox(); // set or changed
        db::Connection c;
        QVERIFY(vault::unlock(*vault::storedMasterPassword(c), typed));
    }

    void strengthIsShown_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("strength");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("short") << u"kedi12"_s << u"Parola gücü: Zayıf"_s;
        QTest::newRow("one kind") << u"kedikedikedi"_s << u"Parola gücü: Zayıf"_s;
        QTest::newRow("eight, two kinds") << u"kedi1234"_s << u"Parola gücü: Orta"_s;
        QTest::newRow("twelve, three kinds") << u"Kedi'm2024!x"_s << u"Parola gücü: Güçlü"_s;
        QTest::newRow("sixteen, Turkish") << u"Şifrem_Güçlü9ğ-ab"_s << u"Parola gücü: Çok güçlü"_s;
    }
    void strengthIsShown()
    {
        QFETCH(QString, password);
        QFETCH(QString, strength);
        QCOMPARE(MasterPasswordDialog::strength(password), strength);
    }

    // Copied, corrected and added: the buttons take what the boxes show, stored or not.
    void membershipsAreCopiedCorrectedAndAdded()
    {
        addMemberships();
        Parolalar dialog;
        dialog.show();
        clickRow(dialog, "uyelikListesi", 1);
        click(dialog, "kopyalaParola");
        setText(dialog, "parola", u"yazılmış ama kaydedilmemiş"_s);
        click(dialog, "kopyalaParola");
        setText(dialog, "mail", QString());
        click(dialog, "kopyalaMail");
        click(dialog, "kopyalaKullaniciAdi");
        click(dialog, "kopyalaWeb");
        QCOMPARE(m_desktop->clipboard,
                 (QStringList{u"p2"_s, u"yazılmış ama kaydedilmemiş"_s, QString(), u"kullanici"_s, u"ornek.com"_s}));
        QCOMPARE(m_desktop->secrets, (QStringList{u"p2"_s, u"yazılmış ama kaydedilmemiş"_s}));

        // Deleted meanwhile by a second copy: an error, not a success, and the list as it is now.
        rawExec("DELETE FROM Parolalar WHERE RowId = 2");
        click(dialog, "duzelt");
        expectBox(kGone, Desktop::Icon::Error);
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 1 üyelik kaydı mevcut"_s);
        QCOMPARE(enabled(dialog, kUyelikButtons),
                 (QStringList{u"yeniKayit"_s, u"duzelt"_s, u"sil"_s, u"uyelikYeri"_s}));
        setText(dialog, "parola", u"Gizli'Parola"_s);
        click(dialog, "duzelt");
        expectBox(u"Üyelik bilgisi başarıyla güncellendi."_s, Desktop::Icon::Information);

        clickAndAnswer(dialog, "yeniKayit");
        QCOMPARE(enabled(dialog, kUyelikButtons), (QStringList{u"kaydet"_s, u"uyelikYeri"_s}));
        setText(dialog, "uyelikYeri", u"Ali'nin Sitesi"_s);
        click(dialog, "kaydet");
        expectBox(u"Üyelik bilgisi başarıyla kaydedildi."_s, Desktop::Icon::Information, u"Üyelik Bilgi Kaydı"_s);
        QCOMPARE(rawRows(u"SELECT UyelikYeri, Parola FROM Parolalar"_s),
                 (QStringList{u"Birinci|Gizli'Parola"_s, u"Ali'nin Sitesi|"_s}));
    }

    void unreadableRecordsAreReported()
    {
        QVERIFY(QFile::remove(u"Norva.db"_s));
        // No file: each box leads with what the user can do about it; an empty list enables only what can be used.
        const QString reason =
            u"Veritabanına erişilemiyor: dosyaya ya da klasörüne erişim izniniz yok veya dosya yerinde değil.\n\n"_s;
        const QString description = u"Veritabanı dosyası açılamadı (Norva.db): unable to open database file"_s;
        Parolalar parolalar;
        expectBox(reason + u"OLEDB Bağlantı Hatası:\nHata: unable to open database file\nAçıklama: "_s + description,
                  Desktop::Icon::None);
        QCOMPARE(textOf(parolalar, "toplam"), u"Toplam 0 üyelik kaydı mevcut"_s);
        QCOMPARE(enabled(parolalar, kUyelikButtons + QStringList{u"kopyalaParola"_s, u"kopyalaWeb"_s}),
                 (QStringList{u"yeniKayit"_s, u"kopyalaParola"_s, u"kopyalaWeb"_s}));
        TelefonRehberi kisiler;
        expectBox(reason + description, Desktop::Icon::None);
        QCOMPARE(enabled(kisiler, kKisiButtons), QStringList{u"yeniKisi"_s});
        KayitliLinkler linkler;
        expectBox(reason + description, Desktop::Icon::None);
        QCOMPARE(textOf(linkler, "toplam"), u"Toplam 0 link mevcut"_s); // what the list shows
        QCOMPARE(enabled(linkler, kLinkButtons + QStringList{u"link"_s, u"linkAc"_s}),
                 (QStringList{u"yeni"_s, u"link"_s, u"linkAc"_s}));
    }

    // Every contact and every link leaves in the file the other programs read, and comes back the same.
    void exportsReadBackAsTheRecords_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("contacts") << u"Kisiler"_s;
        QTest::newRow("links") << u"Linkler"_s;
    }
    void exportsReadBackAsTheRecords()
    {
        QFETCH(QString, table);
        const bool contacts = table == u"Kisiler"_s;
        const QString path = contacts ? u"rehber.vcf"_s : u"yer-imleri.html"_s;
        {
            db::Connection c;
            for (const QString &text : {u"Ayşe; \"Öztürk\", İzmir"_s, u"<b>&amp;</b>\nikinci satır"_s}) {
                ContactStore(c).add({-1, text, text, text, text, text, text, text, text, u"EVET"_s, text, text, text});
                LinkStore(c).add({-1, text, u"https://ornek.com/?a=1&b=\"2\""_s, text});
            }
        }
        const std::unique_ptr<QDialog> dialog = open(table);
        m_desktop->answerSave(path);
        click(*dialog, contacts ? "vcardAktar" : "yerImleriAktar");
        QStringList read;
        if (contacts) {
            expectBox(u"Rehberdeki kişiler rehber.vcf dosyasına yazıldı."_s, Desktop::Icon::Information);
            for (const Contact &contact : exchange::readVCards(readFile(path)).contacts)
                read << fieldsOf(contact);
        } else {
            expectBox(u"Kayıtlı linkler yer-imleri.html dosyasına yazıldı."_s, Desktop::Icon::Information);
            for (const Link &link : exchange::readBookmarks(readFile(path)).links)
                read << QStringList{link.title, link.address, link.notes}.join(u'|');
        }
        QCOMPARE(m_desktop->saveRequests.value(0).fileName, contacts ? u"Rehber.vcf"_s : u"Yer-Imleri.html"_s);
        const QStringList stored = rawRows(
            u"SELECT %1 FROM %2 ORDER BY RowId"_s.arg(contacts ? kContactColumns : u"Baslik, Link, Notlar"_s, table));
        QCOMPARE(read, stored);

        // Taken in again, the file adds nothing, and nothing is asked.
        m_desktop->answerOpen(path);
        click(*dialog, contacts ? "vcardAl" : "yerImleriAl");
        expectBox(u"%1 dosyasında bulunan 2 %2 zaten kayıtlı. Eklenecek yeni %2 yok."_s.arg(path, contacts ? u"kişi"_s
                                                                                                           : u"link"_s),
                  Desktop::Icon::Information);
        QCOMPARE(rawRows(u"SELECT %1 FROM %2 ORDER BY RowId"_s.arg(
                     contacts ? kContactColumns : u"Baslik, Link, Notlar"_s, table)),
                 stored);
    }

    // "vCard Al" adds every whole card of a file in one go, or none.
    void vcardAlAddsTheWholeCards_data()
    {
        // A file of tests/exchange/data, saved as "name=file"; or "name|content" written here.
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("question"); // answered "Evet"; empty: none asked
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QStringList>("added"); // name, home town and relative of each contact added
        const auto row = [](const char *name, const QString &file, const QString &question, const QString &outcome,
                            Desktop::Icon icon, const QStringList &added = {}) {
            QTest::newRow(name) << file << question << outcome << int(icon) << added;
        };
        const QString phone = u"kişiler %2.vcf dosyasında 3 kişi bulundu. Bozuk olduğu için okunamayan 2 kart atlandı. "
                              u"Rehbere eklensin mi?"_s;
        const auto info = Desktop::Icon::Information, error = Desktop::Icon::Error;
        row("phone, vCard 2.1, two broken cards", u"kişiler %2.vcf=phone-2.1.vcf"_s, phone,
            u"3 kişi rehbere eklendi."_s, info,
            {u"Ayşe Öztürk|BİLİNMİYOR|HAYIR"_s, u"Mehmet Çelik|BİLİNMİYOR|HAYIR"_s, u"Şule Yalçın|BİLİNMİYOR|HAYIR"_s});
        row("not a vCard", u"notlar.vcf|Merhaba\r\n"_s, {},
            u"notlar.vcf: Bu dosya bir vCard (.vcf) dosyası değil; içinde hiç kişi kartı yok. Hiçbir kişi eklenmedi."_s,
            error);
        row("only broken cards", u"bozuk.vcf|BEGIN:VCARD\r\nVERSION:3.0\r\niki nokta yok\r\nEND:VCARD\r\n"_s, {},
            u"bozuk.vcf dosyasında eklenebilecek kişi bulunamadı. Bozuk olduğu için okunamayan 1 kart atlandı."_s,
            error);
        row("no such file", u"yok.vcf"_s, {},
            u"\"yok.vcf\" dosyası açılamadı. Dosyanın var olduğundan ve okuma izniniz olduğundan emin olun."_s, error);
    }
    void vcardAlAddsTheWholeCards()
    {
        QFETCH(QString, file);
        QFETCH(QString, question);
        QFETCH(QString, outcome);
        QFETCH(int, icon);
        QFETCH(QStringList, added);
        addContact(u"Var Olan"_s, u"İzmir"_s);
        const QString name = file.section(u'|', 0, 0).section(u'=', 0, 0);
        if (file.contains(u'|'))
            writeFile(name, file.section(u'|', 1).toUtf8());
        else if (file.contains(u'='))
            writeFile(name, testData(u"exchange/data/"_s + file.section(u'=', -1)));

        TelefonRehberi dialog;
        dialog.show();
        m_desktop->answerOpen(name);
        if (!question.isEmpty())
            m_desktop->answer(Desktop::Answer::Yes);
        click(dialog, "vcardAl");
        QCOMPARE(m_desktop->openRequests.value(0).filter, u"vCard Dosyası (*.vcf);;Tüm Dosyalar (*.*)"_s);
        if (!question.isEmpty())
            expectBox(question, Desktop::Icon::Question);
        expectBox(outcome, Desktop::Icon(icon));
        const QStringList stored = QStringList{u"Var Olan|İzmir|EVET"_s} + added;
        QCOMPARE(rawRows(u"SELECT AdSoyad, Memleket, Akrabalik FROM Kisiler ORDER BY RowId"_s), stored);
        QCOMPARE(listed(dialog, "kisiListesi").size(), stored.size());
    }

    // "Yer İmlerini Al" counts what is saved already in its question and adds the rest; a page that is no
    // bookmarks file adds nothing.
    void bookmarksAreAddedOnce()
    {
        rawExec("INSERT INTO Linkler (Baslik, Link, Notlar) VALUES ('Birinci', 'https://a.com/', 'notlar')");
        const std::vector<Link> links = {{-1, u"Birinci"_s, u"https://a.com/"_s, u"başka not"_s},
                                         {-1, u"İkinci"_s, u"https://b.com/"_s, {}}};
        writeFile(u"yer %2 imleri.html"_s, exchange::bookmarksHtml(links, 0));
        writeFile(u"sayfa.html"_s, "<html><body><a href=\"https://d.com/\">D</a></body></html>");
        KayitliLinkler dialog;
        dialog.show();
        m_desktop->answerOpen(u"yer %2 imleri.html"_s);
        m_desktop->answer(Desktop::Answer::Yes);
        click(dialog, "yerImleriAl");
        expectBox(u"yer %2 imleri.html dosyasında 2 link bulundu: 1 tanesi yeni, 1 tanesi zaten kayıtlı. Kayıtlı "
                  u"linklere yalnızca yeni olan 1 link eklensin mi?"_s,
                  Desktop::Icon::Question);
        expectBox(u"1 link eklendi. Kayıtlı bir linkle aynı başlık ve adreste olan 1 link atlandı."_s,
                  Desktop::Icon::Information);
        QCOMPARE(listed(dialog, "linkListesi"), (QStringList{u"Birinci"_s, u"İkinci"_s}));
        m_desktop->answerOpen(u"sayfa.html"_s);
        click(dialog, "yerImleriAl");
        expectBox(
            u"sayfa.html: Bu dosya bir yer imi dosyası değil. Tarayıcınızın yer imlerini HTML olarak dışa aktardığı "
            u"dosyayı seçin. Hiçbir link eklenmedi."_s,
            Desktop::Icon::Error);
        QCOMPARE(rawRows(u"SELECT Baslik, Link, Notlar FROM Linkler ORDER BY RowId"_s),
                 (QStringList{u"Birinci|https://a.com/|notlar"_s, u"İkinci|https://b.com/|"_s}));
    }

    void linksAreShownAndAdded()
    {
        rawExec("INSERT INTO Linkler (Baslik, Link, Notlar) VALUES ('Birinci', 'a.com', 'notlar'), "
                "('İkinci', 'b.com', 'notlar')");
        KayitliLinkler dialog;
        dialog.show();
        QCOMPARE(textOf(dialog, "link"), u"a.com"_s);
        QCOMPARE(enabled(dialog, kLinkButtons), (QStringList{u"yeni"_s, u"sil"_s, u"baslik"_s}));

        clickAndAnswer(dialog, "yeni");
        QCOMPARE(enabled(dialog, kLinkButtons), (QStringList{u"kaydet"_s, u"baslik"_s}));
        QVERIFY(textOf(dialog, "link").isEmpty());
        clickRow(dialog, "linkListesi", 1);
        QCOMPARE(textOf(dialog, "baslik"), u"İkinci"_s);
        QCOMPARE(enabled(dialog, kLinkButtons), (QStringList{u"yeni"_s, u"sil"_s, u"baslik"_s}));
        // The button opens what the box shows, through the rules of web addresses tabled with the companies.
        setText(dialog, "link", u"/home/ali/http.txt"_s);
        click(dialog, "linkAc");
        expectBox(u"Bu adres bir web adresi değil: /home/ali/http.txt"_s, Desktop::Icon::Error);
        QVERIFY(m_desktop->opened.isEmpty());

        clickAndAnswer(dialog, "yeni");
        setTexts(dialog, {"baslik", "link"}, u"Ali'nin Günlüğü|ali.com.tr"_s);
        click(dialog, "kaydet");
        expectBox(u"Link başarıyla kaydedildi"_s, Desktop::Icon::Information, u"Link Kaydı...."_s);
        QCOMPARE(rawRows(u"SELECT Baslik, Link, Notlar FROM Linkler"_s),
                 (QStringList{u"Birinci|a.com|notlar"_s, u"İkinci|b.com|notlar"_s, u"Ali'nin Günlüğü|ali.com.tr|"_s}));
    }
};

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
