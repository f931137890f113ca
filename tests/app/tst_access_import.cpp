#include "DialogTest.h"
#include "DialogWidgets.h"

#include "app/AccessImportDialog.h"
#include "app/CommandLine.h"
#include "vault/SealedMemberships.h"
#include "vault/Session.h"

#include <QProgressDialog>
#include <QRadioButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// Companies, sealed memberships and safety copies.
QString stored()
{
    if (!onServer() && !QFile::exists(u"Norva.db"_s))
        return u"no Norva.db"_s;
    return rawRows(u"SELECT count(*) FROM Firmalar; SELECT count(*) FROM Parolalar WHERE Parola LIKE 'nrv1:%'"_s)
               .join(u'|') +
           u'|' + QString::number(QDir(u"Yedekler"_s).entryList({u"Norva-aktarim-oncesi-*.db"_s}).size());
}

// Whether `text` is `pattern` whole, a '*' standing for any text.
bool matches(const QString &text, const QString &pattern)
{
    const QString anyText = QRegularExpression::escape(pattern).replace(u"\\*"_s, u".*"_s);
    return QRegularExpression(u"(?s)\\A"_s + anyText + u"\\z"_s).match(text).hasMatch();
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
    // of it is told in the boxes or on the terminal: the cases in access-import-cases.tsv.
    void theChosenFileComesInAndTheEndIsTold_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("run");
        QTest::addColumn<QString>("told");
        for (const QStringList &row : caseRows(u"app/access-import-cases.tsv"_s))
            QTest::newRow(qPrintable(row[0])) << row[1] << row[2] << row[3];
    }
    void theChosenFileComesInAndTheEndIsTold()
    {
        QFETCH(QString, before);
        QFETCH(QString, run);
        QFETCH(QString, told);
        // A server's records are not in Norva.db, and no copy of them is kept in Yedekler/.
        if (before.contains("no Norva.db"_L1) || told.contains("Yedekler/"_L1))
            SKIP_ON_SERVER();
        const QString typed = before.section(u"typed "_s, 1);
        if (before.contains("own"_L1))
            rawExec("INSERT INTO Firmalar (FirmaAdi) VALUES ('Benim Firmam')");
        if (before.contains("sealed"_L1)) {
            db::Connection c;
            vault::setMasterPassword(c, u"ana parola"_s);
        }
        if (before.contains("failing"_L1))
            rawExec(refusal(u"Durdur"_s, u"Linkler"_s, u"INSERT"_s, u"stopped here"_s));
        const QByteArray whole = testData(u"exchange/data/Norva.mdb"_s);
        writeFile(u"Eski.mdb"_s, before.contains("cut"_L1) ? whole.first(whole.size() * 2 / 3) : "Firma;Adres");
        if (before.contains("no Norva.db"_L1))
            QVERIFY(QFile::remove(u"Norva.db"_s));
        const QStringList folder = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        const QStringList arguments =
            QString(u"norva-rezado "_s + run).replace(u"Norva"_s, testDataPath(u"exchange/data/Norva"_s)).split(u' ');
        QString said;
        if (run.startsWith("--"_L1)) {
            QVERIFY(commandline::wanted(arguments));
            QString in = typed + u'\n', out, err;
            QTextStream inStream(&in), outStream(&out), errStream(&err);
            said = u"exit %1: "_s.arg(commandline::run(arguments, inStream, outStream, errStream));
            said += err + out;
        } else {
            m_desktop->answerOpen(arguments.at(1));
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
                if (before.contains("cancelling"_L1))
                    connect(static_cast<AccessImportDialog *>(&dialog), &AccessImportDialog::rowsWritten, this,
                            [&dialog] { dialog.findChild<QProgressDialog *>()->cancel(); });
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
        // The boxes name the database in use: on a server, the server.
        said.replace(db::Database::current().shownName(), db::fileName());
        QVERIFY2(matches(said, told), qPrintable(said));
        QVERIFY(!commandline::wanted({u"norva-rezado"_s, u"-platform"_s, u"offscreen"_s}));
    }

    // The folder the books are kept in: named, or the desktop's own; made for its owner alone; the
    // option taken out before either face reads the rest.
    void theDataFolderIsMadeForItsOwnerAndUsed_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("used");
        QTest::addColumn<QString>("told");
        QTest::newRow("named, new") << u"--data-dir kitap/defter --server"_s << u"kitap/defter"_s << QString();
        QTest::newRow("named with =") << u"--data-dir=defter"_s << u"defter"_s << QString();
        QTest::newRow("the desktop's") << u"--data-dir --server"_s << u"xdg/norva-rezado"_s << QString();
        QTest::newRow("a file") << u"--data-dir dosya"_s << QString()
                                << u"dosya bir klasör değil; kayıtlar orada tutulamaz."_s;
    }
    void theDataFolderIsMadeForItsOwnerAndUsed()
    {
        QFETCH(QString, given);
        QFETCH(QString, used);
        QFETCH(QString, told);
        writeFile(u"dosya"_s, "");
        const QString here = QDir::currentPath();
        qputenv("XDG_DATA_HOME", (here + u"/xdg"_s).toUtf8());
        QStringList arguments = (u"norva-rezado "_s + given).split(u' ');
        const QString failure = commandline::useDataFolder(arguments);
        qunsetenv("XDG_DATA_HOME");
        const QString now = QDir::currentPath();
        QDir::setCurrent(here);
        QVERIFY2(matches(failure, told), qPrintable(failure));
        if (used.isEmpty()) {
            QCOMPARE(now, here);
            return;
        }
        QCOMPARE(now, QFileInfo(here + u'/' + used).canonicalFilePath());
        QCOMPARE(QFileInfo(now).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(arguments.join(u' '), given.contains("server"_L1) ? u"norva-rezado --server"_s : u"norva-rezado"_s);
    }
};

QTEST_MAIN(TestAccessImport)
#include "tst_access_import.moc"
