#include "DialogTest.h"
#include "DialogWidgets.h"

#include "data/Backup.h"
#include "data/ContactStore.h"
#include "data/LinkStore.h"
#include "data/MembershipStore.h"
#include "exchange/Bookmarks.h"
#include "platform/QtDesktop.h"
#include "records/KayitliLinkler.h"
#include "records/Parolalar.h"
#include "records/TelefonRehberi.h"
#include "vault/Session.h"

#include <QClipboard>
#include <QLineEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The widgets among the space-separated `names` that are shown and enabled.
QString enabledOf(QWidget &dialog, const QString &names)
{
    QStringList on;
    for (const QString &name : names.split(u' '))
        if (widget(dialog, qPrintable(name))->isVisibleTo(&dialog) && enabled(dialog, qPrintable(name)))
            on << name;
    return on.join(u' ');
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
    const bool dots = static_cast<QLineEdit *>(widget(dialog, "parola"))->echoMode() == QLineEdit::Password;
    return textsOf(dialog, {"parola", "vaultDurumu"}) + u'|' +
           enabledOf(dialog, u"anaParolaBelirle kilitle kilidiAc anaParolaDegistir sifrelemeyiKaldir parolaGoster"_s) +
           (dots ? u"|dots"_s : QString());
}

const QString kBrokenCard = u"BEGIN:VCARD\r\nVERSION:3.0\r\niki nokta yok\r\nEND:VCARD\r\n"_s;

} // namespace

// Each case notes what the user saw, in order (the boxes, and the lists, buttons and rows it looks at), and
// compares it at the end with records/<name>.txt, a line ending "\n" written "\\n".
class TestRecords : public DialogTest
{
    Q_OBJECT

    QStringList m_seen;
    // Every box shown since the last look, as "[i]", "[?]", "[!]" or "[ ]" for its icon, then its caption
    // when it is not the program's, and its text; then `line`.
    void note(const QString &line = {})
    {
        for (const FakeDesktop::Box &box : std::exchange(m_desktop->boxes, {}))
            m_seen << u"[%1] "_s.arg(u" i?!"_s[int(box.icon)]) +
                          (box.caption == kProgramCaption ? QString() : box.caption + u": "_s) +
                          QString(box.text).replace(u'\n', u"\\n"_s);
        if (!line.isEmpty())
            m_seen << QString(line).replace(u'\n', u"\\n"_s);
    }
    void compareSeen(const QString &name)
    {
        note();
        QString expected = QString::fromUtf8(testData(u"records/"_s + name + u".txt"_s));
        // The transcripts give SQLite's words for a missing table.
        static const QRegularExpression missing(u"no such table: (\\w+)"_s);
        for (QRegularExpressionMatch found; onServer() && (found = missing.match(expected)).hasMatch();)
            expected.replace(found.capturedStart(), found.capturedLength(), noSuchTable(found.captured(1)));
        QCOMPARE(m_seen, expected.split(u'\n', Qt::SkipEmptyParts));
    }

private slots:
    void initTestCase() { vault::KeyParameters::useCheapestForTests(); }
    void init()
    {
        startCase();
        m_seen.clear();
    }
    void cleanup()
    {
        vault::Session::current().lock();
        endCase();
    }

    // Each contact shows what is stored, never what the one before had: a value no entry names (another
    // program's, or in other cases) as one extra entry, which goes with the next contact. Of two of one
    // name, only the selected one is deleted. A new contact starts from the fixed entries, stops its name
    // at 25 characters and keeps what was typed through a failed save; untouched fields store defaults.
    void aContactIsShownDeletedAndAdded()
    {
        rawExec("INSERT INTO Kisiler (AdSoyad, Memleket, Meslek, Tahsil, KanGurubu, Akrabalik) VALUES "
                "('Deniz', 'Ankara', 'Öğretmen', 'Lise', '0 Rh-', 'EVET'), ('Deniz', 'Kahramanmaraş', "
                "'Doktor', 'Lise', '0 Rh-', 'EVET'), ('Başka', 'Kırım', '', '', '0', 'evet'), ('Küçük', "
                "'istanbul', '', 'lise', 'Doktora', ''), ('Kısa', 'kar', '', 'Lise', '0 Rh-', 'EVET')");
        TelefonRehberi dialog;
        dialog.show();
        for (int row = 0; row < 5; ++row) {
            clickRow(dialog, "kisiListesi", row);
            note(choices(dialog));
        }
        clickRow(dialog, "kisiListesi", 1);
        clickAndAnswer(dialog, "sil");
        note(rawRows(u"SELECT Meslek FROM Kisiler WHERE Meslek > ''"_s).join(u','));
        m_desktop->answer(Desktop::Answer::Yes);
        click(dialog, "yeniKisi");
        note(choices(dialog) + u' ' + enabledOf(dialog, u"yeniKisi kaydet sil adSoyad ipucu"_s)); // the hint hides
        typeText(widget(dialog, "adSoyad"), u"Ali'nin Oğlu Çağrı Yılmazoğulları"_s);
        typeText(widget(dialog, "hakkinda"), u"O'nun\nnotu"_s);
        rawExec("ALTER TABLE Kisiler RENAME TO Eski");
        click(dialog, "kaydet");
        QVERIFY(dialog.isVisible());
        rawExec("ALTER TABLE Eski RENAME TO Kisiler");
        click(dialog, "kaydet");
        note(rawRows(u"SELECT * FROM Kisiler ORDER BY RowId"_s).constLast() +
             u" / accepted: %1"_s.arg(dialog.result()));
        compareSeen(u"contact"_s);
    }

    // No file: each box leads with what the user can do about it.
    void noFileIsSaidWithWhatToDo()
    {
        SKIP_ON_SERVER();
        QVERIFY(QFile::remove(u"Norva.db"_s));
        Parolalar parolalar;
        note(textOf(parolalar, "toplam"));
        TelefonRehberi kisiler;
        compareSeen(u"no-file"_s);
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

    // The bar walked through every state on a file whose older backup holds the passwords plain: each button,
    // what the master password dialog says after each "Tamam" (its reason, the strength shown as typed, what a
    // refused one keeps) and the boxes; then the bar and the password box, the password that opens the file
    // and the backups left. Whatever the bar says, on one line or two, the list ends above the line under it.
    void theMasterPasswordBar()
    {
        SKIP_ON_SERVER(); // it asks about the copies in Yedekler/, which a server has none of
        // The answers to its questions (none before a leading blank), the button, then each text typed into
        // the master password dialog ("password|again") and "Tamam"; "*" is a second copy setting or changing
        // the master password.
        const QStringList steps = (u" anaParolaBelirle;Ke'm2!x;Kedi'm2024!x|başka,NYY anaParolaBelirle;kedikedi;"
                                   u"12345678, anaParolaDegistir;*;Şifrem_Güçlü9ğ-ab, kilitle, kilidiAc;yanlış;başka "
                                   u"parola,Y anaParolaDegistir;yeniparola, kilitle,Y sifrelemeyiKaldir;yeniparola, "
                                   u"anaParolaBelirle;*;kedi1234, kilidiAc;ana parola"_s)
                                      .split(u',');
        rawExec("INSERT INTO Parolalar (UyelikYeri, KullaniciAdi, Parola, Mail, Web) VALUES ('Birinci', 'kullanici', "
                "'p1', 'm@ornek.com', 'ornek.com'), ('İkinci', 'kullanici', 'p2', 'm@ornek.com', 'ornek.com')");
        db::keepCopy(u"deneme"_s);
        Parolalar dialog;
        dialog.show();
        QStringList typed;
        m_desktop->onModal = [this, &typed](QDialog &asking) {
            note(u"  asked: "_s + asking.windowTitle());
            for (const QString &text : typed) {
                db::Connection c;
                if (text == u"*"_s && vault::Session::current().key())
                    vault::changeMasterPassword(c, *vault::Session::current().key(), u"başka parola"_s);
                else if (text == u"*"_s)
                    vault::setMasterPassword(c, u"ana parola"_s);
                if (text == u"*"_s)
                    continue;
                setTexts(asking, {"parola", "tekrar"}, text.section(u'|', 0, 0) + u'|' + text.section(u'|', -1));
                click(asking, "tamam");
                if (!asking.result())
                    note(u"  hata: \"%1\""_s.arg(textOf(asking, "hata")));
            }
            if (widget(asking, "guc")->isVisibleTo(&asking))
                note(u"  "_s + textOf(asking, "guc"));
            if (!asking.result())
                note(u"  kept: \"%1\""_s.arg(textOf(asking, "parola")));
        };
        db::Connection c;
        for (const QString &step : steps) {
            note(u"> "_s + step.trimmed());
            for (const QChar answer : step.section(u' ', 0, 0))
                m_desktop->answer(answer == u'Y' ? Desktop::Answer::Yes : Desktop::Answer::No);
            typed = step.section(u' ', 1).split(u';').mid(1);
            click(dialog, qPrintable(step.section(u' ', 1).section(u';', 0, 0)));
            QString opens = u"none"_s;
            for (const QString &master : {u"12345678"_s, u"başka parola"_s, u"yeniparola"_s, u"ana parola"_s})
                if (const auto stored = vault::storedMasterPassword(c); stored && vault::unlock(*stored, master))
                    opens = master;
            note(u"= %1 | opens: %2 | backups: %3"_s.arg(vaultState(dialog), opens).arg(db::backupCopies().size()));
            QWidget *list = widget(dialog, "uyelikListesi");
            QTRY_VERIFY(list->mapTo(&dialog, QPoint(0, list->height())).y() <=
                        widget(dialog, "ustCizgi")->mapTo(&dialog, QPoint()).y());
        }
        // Unlocked: dots, readable while "Göster" is held and a moment after; the copy buttons take what the
        // boxes show, the password as a secret; a damaged membership is named and cannot be corrected over.
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
        note(m_desktop->clipboard.join(u' ') + u" / secret: "_s + m_desktop->secrets.join(u' '));

        rawExec("UPDATE Parolalar SET Mail = 'nrv1:AAAA' WHERE UyelikYeri = 'İkinci'");
        clickRow(dialog, "uyelikListesi", 1);
        const QString buttons = u"yeniKayit kaydet duzelt sil uyelikYeri"_s;
        note(textsOf(dialog, {"uyelikYeri", "parola"}) + u' ' + enabledOf(dialog, buttons));
        // A key kept from before a second copy changed the master password is asked for anew, and "Kaydet"
        // stores the membership sealed under the new one.
        rawExec("DELETE FROM Parolalar WHERE UyelikYeri = 'İkinci'");
        vault::changeMasterPassword(c, *vault::Session::current().key(), u"yeni parola"_s);
        typed = {u"yeni parola"_s};
        clickAndAnswer(dialog, "yeniKayit");
        note(enabledOf(dialog, buttons));
        setTexts(dialog, {"uyelikYeri", "parola"}, u"Ali'nin Sitesi|Şifrem_Güçlü9ğ"_s);
        click(dialog, "kaydet");
        const vault::Key key = *vault::unlock(*vault::storedMasterPassword(c), u"yeni parola"_s);
        QCOMPARE(vault::opened(key, *MembershipStore(c).find(3))->password, u"Şifrem_Güçlü9ğ"_s);
        compareSeen(u"master-password"_s);
    }

    // "Aktar" writes every record to a file other programs read; "Al" takes it in again: its question counts
    // the new records and the saved ones, the new come back whole, the list reloads, and a second time adds
    // nothing. Other files add nothing either (a question is answered "Hayır"), and say why.
    // A change asked for after a second copy removed the master password is refused, in so many words.
    void aMasterPasswordRemovedElsewhereIsSaid()
    {
        db::Connection c;
        vault::Session::current().keep(vault::setMasterPassword(c, u"ana parola"_s));
        Parolalar dialog;
        dialog.show();
        vault::removeMasterPassword(c, *vault::Session::current().key());
        m_desktop->onModal = [](QDialog &asking) {
            setTexts(asking, {"parola", "tekrar"}, u"Yeni_Parola9x|Yeni_Parola9x"_s);
            click(asking, "tamam");
        };
        click(dialog, "anaParolaDegistir");
        expectBox(u"Ana parola başka bir yerden kaldırılmış; üyelik bilgileriniz şifrelenmeden saklanıyor. Hiçbir "
                  u"şey değiştirilmedi."_s,
                  Desktop::Icon::Error);
    }

    void aFileIsWrittenAndTakenIn_data()
    {
        QTest::addColumn<QString>("table");      // then the columns compared, both buttons, the list, the file
        QTest::addColumn<QStringList>("others"); // "file|content"
        QTest::newRow("contacts")
            << u"Kisiler|AdSoyad, CepTelefonu, EvTelefonu, IsTelefonu, Meslek, Memleket, Tahsil, KanGurubu, Akrabalik, "
               u"Eposta, Web, Hakkinda|vcardAktar|vcardAl|kisiListesi|rehber %2.vcf"_s
            << QStringList{u"notlar.vcf|Merhaba\r\n"_s, u"bozuk.vcf|"_s + kBrokenCard};
        QTest::newRow("links")
            << u"Linkler|Baslik, Link, Notlar|yerImleriAktar|yerImleriAl|linkListesi|yer-imleri.html"_s
            << QStringList{u"sayfa.html|<html><a href=\"https://d.com/\">D</a></html>"_s, u"yok.html|"_s,
                           u"yeni.html|"_s + QString::fromUtf8(exchange::bookmarksHtml(
                                                 {{-1, u"Yeni"_s, u"https://yeni.com/"_s, {}}}, 0))};
    }
    void aFileIsWrittenAndTakenIn()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, others);
        const QStringList t = table.split(u'|');
        for (const QString &text : {u"Ayşe; \"Öztürk\", İzmir"_s, u"<b>&amp;</b>\nikinci satır"_s}) {
            db::Connection c;
            ContactStore(c).add({-1, text, text, text, text, text, text, text, text, u"EVET"_s, text, text, text});
            LinkStore(c).add({-1, text, u"https://ornek.com/?a=1&b=\"2\""_s, text});
        }
        const QString stored = u"SELECT %1 FROM %2 ORDER BY RowId"_s.arg(t[1], t[0]);
        const QStringList before = rawRows(stored);
        const std::unique_ptr<QDialog> dialog(t[0] == u"Kisiler"_s ? static_cast<QDialog *>(new TelefonRehberi)
                                                                   : new KayitliLinkler);
        m_desktop->answerSave(t[5]);
        click(*dialog, qPrintable(t[2]));
        note(u"offered: "_s + m_desktop->saveRequests.value(0).fileName);
        // The second record is new again; a card that cannot be read is counted aside.
        rawRows(u"DELETE FROM %1 WHERE RowId = 2"_s.arg(t[0]));
        if (t[0] == u"Kisiler"_s)
            writeFile(t[5], readFile(t[5]) + kBrokenCard.toUtf8());
        m_desktop->answer(Desktop::Answer::Yes);
        for (const QString &other : QStringList{t[5] + u'|', t[5] + u'|'} + others) {
            if (!other.section(u'|', 1).isEmpty())
                writeFile(other.section(u'|', 0, 0), other.section(u'|', 1).toUtf8());
            m_desktop->answer(Desktop::Answer::No);
            m_desktop->answerOpen(other.section(u'|', 0, 0));
            click(*dialog, qPrintable(t[3]));
            note(u"listed: %1"_s.arg(listed(*dialog, qPrintable(t[4])).size()));
        }
        const OpenFileRequest asked = m_desktop->openRequests.value(0);
        note(u"asked: "_s + asked.caption + u", "_s + asked.filter);
        QCOMPARE(rawRows(stored), before);
        compareSeen(QString::fromLatin1(QTest::currentDataTag()));
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
        note(u"opened: %1"_s.arg(m_desktop->opened.size()));
        clickAndAnswer(dialog, "yeni");
        note(enabledOf(dialog, u"yeni kaydet sil baslik"_s));
        setTexts(dialog, {"baslik", "link"}, u"Ali'nin Günlüğü|ali.com.tr"_s);
        click(dialog, "kaydet");
        note(rawRows(u"SELECT Baslik, Link, Notlar FROM Linkler"_s).join(u" / "_s));
        compareSeen(u"link"_s);
    }
};

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
