#include "DialogTest.h"
#include "DialogWidgets.h"

#include "app/AccessImportDialog.h"
#include "app/CommandLine.h"
#include "vault/SealedMemberships.h"
#include "vault/Session.h"

#include <QRadioButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// Companies, sealed memberships and safety copies.
QString stored()
{
    if (!QFile::exists(u"Norva.db"_s))
        return u"no Norva.db"_s;
    return rawRows(u"SELECT count(*) FROM Firmalar; SELECT count(*) FROM Parolalar WHERE Parola LIKE 'nrv1:%'"_s)
               .join(u'|') +
           u'|' + QString::number(QDir(u"Yedekler"_s).entryList({u"Norva-aktarim-oncesi-*.db"_s}).size());
}

// Whether `text` is `pattern` whole, a '*' standing for any text.
bool matches(const QString &text, const QString &pattern)
{
    const QString anyText = QRegularExpression::escape(pattern).replace(u"\\*"_s, u".*"_s);
    return QRegularExpression(QRegularExpression::anchoredPattern(anyText),
                              QRegularExpression::DotMatchesEverythingOption)
        .match(text)
        .hasMatch();
}

} // namespace

class TestAccessImport : public DialogTest
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

    // The file chosen in the window or named on the command line reaches the import, and what became
    // of it is told in the boxes or on the terminal.
    void theChosenFileComesInAndTheEndIsTold_data()
    {
        // before: own records, a master password (typed when asked), a failing Norva.db, Eski.mdb as a
        // text or a cut copy of Norva.mdb; run: the command line's arguments, or the file chosen in the
        // window; told: the boxes, or the exit code, the error and the output, then what stored() gives,
        // a '*' standing for any text.
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("run");
        QTest::addColumn<QString>("told");
        const auto row = [](const char *name, const QString &before, const QString &run, const QString &told) {
            QTest::newRow(name) << before << run << told;
        };
        row("help", {}, u"--help"_s, u"exit 0: Kullanım: norva-rezado [seçenekler]\n*--import-access DOSYA*"_s);
        row("an unknown option", {}, u"--import-access x --yedek"_s,
            u"exit 1: Bilinmeyen seçenek: yedek\nSeçenekler için: norva-rezado --help\n => 0|0|0"_s);
        row("no file", {}, u"--import-access"_s, u"exit 1: Eksik değer: --import-access bir dosya adı ister.\n*"_s);
        row("replace alone", {}, u"--replace"_s,
            u"exit 1: --replace yalnızca --import-access ile birlikte kullanılır.*"_s);
        row("terminal, into an empty file", {}, u"--import-access Norva.mdb"_s,
            u"exit 0: Norva.mdb (Access 2000–2003) okundu:\n  Firmalar (Firmalar): 12 kayıt\n*"
            u"Aktarım tamamlandı:\n  Firmalar: 12 kayıt eklendi.\n*  Kişiler: 6 kayıt eklendi.\n => 12|0|0"_s);
        row("box, added to one's own", u"own"_s, u"Norva.accdb"_s,
            u"info: Aktarım tamamlandı.\n\nFirmalar: 12 kayıt eklendi.\n*Kişiler: 6 kayıt eklendi.\n => 13|0|0"_s);
        row("box, replacing, Hayır", u"own, replace, Hayır"_s, u"Norva.mdb"_s,
            u"question: *Devam edilsin mi?\n => 1|0|0"_s);
        row("box, replacing, Evet", u"own, replace, Evet"_s, u"Norva.mdb"_s,
            u"question: *\ninfo: Aktarım tamamlandı.*\nÖnceki kayıtların kopyası: */Yedekler/Norva-aktarim-oncesi-*.db"
            u"\n => 12|0|1"_s);
        row("box, refused", u"own, text"_s, u"Eski.mdb"_s,
            u"error: Bu dosya bir Access veritabanı değil ya da bozuk.\n => 1|0|0"_s);
        row("box, refused with the reader's words", u"own, cut"_s, u"Eski.mdb"_s,
            u"error: \"GelirGider\" tablosu okunamadı; dosya bozuk olabilir.\n(Ayrıntı: *)\n => 1|0|0"_s);
        // Read whole before Norva.db is made: a file refused leaves the folder as it was.
        row("terminal, refused", u"no Norva.db, text"_s, u"--import-access Eski.mdb --replace"_s,
            u"exit 1: Bu dosya bir Access veritabanı değil ya da bozuk. Norva.db değiştirilmedi.\n => no Norva.db"_s);
        row("box, a database failure", u"failing"_s, u"Norva.mdb"_s,
            u"error: Kayıtlar aktarılamadı. Norva.db okunurken ya da yazılırken bir hata oluştu.\n"
            u"(Ayrıntı: stopped here)\n\nNorva.db değiştirilmedi.\n => 0|0|0"_s);
        row("terminal, a database failure", u"failing"_s, u"--import-access Norva.mdb"_s,
            u"exit 1: Norva.db okunurken ya da yazılırken bir hata oluştu.\n(Ayrıntı: stopped here)\n"
            u"Norva.db değiştirilmedi.\n* => 0|0|0"_s);
        // Memberships come in sealed while a master password is set; it is asked for first.
        row("terminal, a wrong master password", u"sealed, typed yanlış"_s, u"--import-access Norva.mdb"_s,
            u"exit 1: Ana parola: Ana parola yanlış; üyelikler şifrelenemezdi. Norva.db değiştirilmedi.\n* => 0|0|0"_s);
        row("terminal, sealed", u"sealed, typed ana parola"_s, u"--import-access Norva.mdb"_s,
            u"exit 0: Ana parola: *Üyelikler ve parolalar: 5 kayıt eklendi.\n* => 12|5|0"_s);
        row("box, sealed", u"sealed, typed ana parola"_s, u"Norva.accdb"_s,
            u"MasterPasswordDialog info: Aktarım tamamlandı.*Üyelikler ve parolalar: 5 kayıt* => 12|5|0"_s);
        row("box, locked meanwhile", u"sealed, locking, typed ana parola"_s, u"Norva.accdb"_s,
            u"MasterPasswordDialog error: Kayıtlar aktarılamadı: Ana parola kilitlendi; üyelikler şifrelenemedi.\n\n"
            u"Norva.db değiştirilmedi.\n => 0|0|0"_s);
    }
    void theChosenFileComesInAndTheEndIsTold()
    {
        QFETCH(QString, before);
        QFETCH(QString, run);
        const QString typed = before.section(u"typed "_s, 1);
        if (before.contains("own"_L1))
            rawExec("INSERT INTO Firmalar (FirmaAdi) VALUES ('Benim Firmam')");
        if (before.contains("sealed"_L1)) {
            db::Connection c;
            vault::setMasterPassword(c, u"ana parola"_s);
        }
        if (before.contains("failing"_L1))
            rawExec("CREATE TRIGGER Durdur BEFORE INSERT ON Linkler BEGIN SELECT RAISE(ABORT, 'stopped here'); END");
        const QByteArray whole = testData(u"exchange/data/Norva.mdb"_s);
        writeFile(u"Eski.mdb"_s, before.contains("cut"_L1) ? whole.first(whole.size() * 2 / 3) : "Firma;Adres");
        if (before.contains("no Norva.db"_L1))
            QVERIFY(QFile::remove(u"Norva.db"_s));
        const QStringList folder = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        const QStringList arguments =
            QString(run).replace(u"Norva"_s, testDataPath(u"exchange/data/Norva"_s)).split(u' ');
        QString said;
        if (run.startsWith("--"_L1)) {
            QVERIFY(commandline::wanted(QStringList{u"norva-rezado"_s} + arguments));
            QString in = typed + u'\n', out, err;
            QTextStream inStream(&in), outStream(&out), errStream(&err);
            const int exitCode =
                commandline::run(QStringList{u"norva-rezado"_s} + arguments, inStream, outStream, errStream);
            said = u"exit %1: "_s.arg(exitCode) + err + out;
        } else {
            m_desktop->answerOpen(arguments.constFirst());
            if (before.contains("replace"_L1))
                m_desktop->answer(before.contains("Evet"_L1) ? Desktop::Answer::Yes : Desktop::Answer::No);
            m_desktop->onModal = [&](QDialog &dialog) {
                if (QByteArrayView(dialog.metaObject()->className()) == "MasterPasswordDialog") {
                    said += u"MasterPasswordDialog "_s;
                    setText(dialog, "parola", typed);
                    click(dialog, "tamam");
                    return;
                }
                QCOMPARE(widget(dialog, "choiceGroup")->isVisibleTo(&dialog), before.contains("own"_L1));
                if (before.contains("locking"_L1))
                    connect(static_cast<AccessImportDialog *>(&dialog), &AccessImportDialog::rowsWritten, this,
                            [] { vault::Session::current().lock(); });
                if (before.contains("replace"_L1))
                    static_cast<QRadioButton *>(widget(dialog, "replaceChoice"))->setChecked(true);
                click(dialog, "importButton");
            };
            AccessImportDialog::importFile(nullptr);
            QCOMPARE(m_desktop->openRequests.constLast().filter, u"Access Veritabanı (*.mdb *.accdb)"_s);
            const QStringList icons{{}, u"info"_s, u"question"_s, u"error"_s};
            for (FakeDesktop::Box box; !(box = m_desktop->takeBox()).text.isEmpty();)
                said += icons.at(int(box.icon)) + u": "_s + box.text + u'\n';
        }
        if (before.contains("no Norva.db"_L1))
            QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), folder);
        said += u" => "_s + stored();
        QFETCH(QString, told);
        QVERIFY2(matches(said, told), qPrintable(said));
        QVERIFY(!commandline::wanted({u"norva-rezado"_s, u"-platform"_s, u"offscreen"_s}));
    }
};

QTEST_MAIN(TestAccessImport)
#include "tst_access_import.moc"
