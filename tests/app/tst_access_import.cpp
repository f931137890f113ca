#include "DialogTest.h"
#include "DialogWidgets.h"

#include "app/AccessImportDialog.h"
#include "app/CommandLine.h"
#include "data/Database.h"
#include "exchange/AccessImport.h"
#include "vault/SealedMemberships.h"
#include "vault/Session.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRadioButton>
#include <QTemporaryFile>
#include <QTextStream>
#include <QtTest>

#include <cstdio>
#include <sqlite3.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString caption = u"Access Verisini Aktar"_s;

QString fixture(const QString &name)
{
    return testDataPath(u"exchange/data/"_s + name);
}

// What Norva.db must hold, table by table, after the file came in whole: each
// row as rawRows gives it, RowId first, a NULL cell as ''.
QMap<QString, QStringList> expectedTables(const QString &json)
{
    QMap<QString, QStringList> tables;
    const QJsonObject all =
        QJsonDocument::fromJson(testData(u"exchange/data/"_s + json)).object().value("tables"_L1).toObject();
    for (const QString &table : all.keys()) {
        const QJsonObject object = all.value(table).toObject();
        for (const QJsonValue &row : object.value("rows"_L1).toArray()) {
            QStringList cells;
            for (const QJsonValue &column : object.value("columns"_L1).toArray()) {
                const QJsonValue cell = row.toObject().value(column.toObject().value("name"_L1).toString());
                cells.append(cell.isDouble() ? QString::number(cell.toInteger()) : cell.toString());
            }
            tables[table].append(cells.join(u'|'));
        }
    }
    return tables;
}

QStringList tableRows(const QString &table)
{
    return rawRows(u"SELECT * FROM %1 ORDER BY RowId"_s.arg(table));
}

// Every table the import writes, as expectedTables gives them (a table with no rows left out).
QMap<QString, QStringList> storedTables()
{
    QMap<QString, QStringList> tables;
    for (const QString &name :
         {u"Firmalar"_s, u"GelirGider"_s, u"GGKategori"_s, u"Kisiler"_s, u"Linkler"_s, u"Parolalar"_s})
        if (const QStringList rows = tableRows(name); !rows.isEmpty())
            tables.insert(name, rows);
    return tables;
}

struct CommandLineRun
{
    int exitCode;
    QString out;
    QString err;
};

CommandLineRun runCommandLine(const QStringList &arguments, QString typed = {})
{
    CommandLineRun run{0, {}, {}};
    QTextStream inStream(&typed), outStream(&run.out), errStream(&run.err);
    run.exitCode = commandline::run(QStringList{u"norva-rezado"_s} + arguments, inStream, outStream, errStream);
    return run;
}

// A copy of Norva.mdb with some bytes changed, in the working folder.
QString changedCopy(const std::function<void(QByteArray &)> &change)
{
    QByteArray bytes = testData(u"exchange/data/Norva.mdb"_s);
    change(bytes);
    writeFile(u"Eski.mdb"_s, bytes);
    return QFileInfo(u"Eski.mdb"_s).absoluteFilePath();
}

// What the process itself writes on its standard output and error while `work` runs.
QByteArray writtenToTheTerminal(const std::function<void()> &work)
{
    QTemporaryFile file;
    if (!file.open())
        return "no temporary file";
    std::fflush(stdout);
    std::fflush(stderr);
    const int out = ::dup(STDOUT_FILENO), err = ::dup(STDERR_FILENO);
    ::dup2(file.handle(), STDOUT_FILENO);
    ::dup2(file.handle(), STDERR_FILENO);
    work();
    std::fflush(stdout);
    std::fflush(stderr);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    ::close(out);
    ::close(err);
    return readFile(file.fileName());
}

void renameInFile(QByteArray &bytes, const QString &from, const QString &to)
{
    const QByteArray before(reinterpret_cast<const char *>(from.utf16()), from.size() * 2);
    bytes.replace(before, QByteArray(reinterpret_cast<const char *>(to.utf16()), to.size() * 2));
}

} // namespace

class TestAccessImport : public DialogTest
{
    Q_OBJECT

    // Runs the import dialog on `path`: `choice` is clicked when Norva.db has
    // records (nothing when empty), then "Aktar"; a replace is answered "Evet".
    void importThroughDialog(const QString &path, const char *choice = nullptr)
    {
        m_desktop->answerOpen(path);
        m_desktop->onModal = [&](QDialog &dialog) {
            QCOMPARE(widget(dialog, "choiceGroup")->isVisibleTo(&dialog), choice != nullptr);
            if (choice) {
                static_cast<QRadioButton *>(widget(dialog, choice))->setChecked(true);
                if (QByteArrayView(choice) == "replaceChoice")
                    m_desktop->answer(Desktop::Answer::Yes);
            }
            click(dialog, "importButton");
        };
        AccessImportDialog::importFile(nullptr);
        QCOMPARE(m_desktop->openRequests.constLast().filter, u"Access Veritabanı (*.mdb *.accdb)"_s);
    }

private slots:
    void initTestCase() { vault::KeyParameters::useCheapestForTests(); }
    void init() { startCase(); }
    void cleanup()
    {
        vault::Session::current().lock();
        endCase();
    }

    void everyCellComesOverWithItsRowId_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("commandLine");
        // Each file once, through one face or the other: both run the same import.
        QTest::newRow("dialog, Norva.mdb") << u"Norva.mdb"_s << false;
        QTest::newRow("dialog, Norva-nulls.accdb") << u"Norva-nulls.accdb"_s << false;
        QTest::newRow("command line, Norva.accdb") << u"Norva.accdb"_s << true;
        QTest::newRow("command line, Norva-nulls.mdb") << u"Norva-nulls.mdb"_s << true;
    }
    void everyCellComesOverWithItsRowId()
    {
        QFETCH(QString, file);
        QFETCH(bool, commandLine);
        if (commandLine) {
            const CommandLineRun run = runCommandLine({u"--import-access"_s, fixture(file)});
            QCOMPARE(run.err, QString());
            QCOMPARE(run.exitCode, 0);
            QVERIFY(run.out.contains(u"Aktarım tamamlandı"_s));
        } else {
            importThroughDialog(fixture(file));
            QVERIFY(m_desktop->takeBox().text.startsWith(u"Aktarım tamamlandı."_s));
        }
        QCOMPARE(storedTables(), expectedTables(file.section(u'.', 0, 0) + u".expected.json"_s));
        // The file was only read: no copy of Norva.db was needed either.
        QCOMPARE(QDir(u"Yedekler"_s).entryList({u"Norva-*"_s}), QStringList());
    }

    // Added twice to records of its own: new RowIds the first time, nothing the second.
    void addingTheSameFileTwiceAddsNothingTheSecondTime()
    {
        rawExec("INSERT INTO Linkler (Baslik, Link, Notlar) VALUES ('Kendi linkim', 'https://ornek.org', '')");
        const QList<std::pair<QString, int>> counts{
            {u"Firmalar"_s, 12},       {u"Gelir/Gider hareketleri"_s, 300}, {u"Gelir/Gider türleri"_s, 9},
            {u"Kayıtlı linkler"_s, 5}, {u"Üyelikler ve parolalar"_s, 5},    {u"Kişiler"_s, 6}};
        for (const bool again : {false, true}) {
            importThroughDialog(fixture(u"Norva.accdb"_s), "addChoice");
            QStringList said;
            for (const auto &[what, count] : counts)
                said << (again ? u"%1: 0 kayıt eklendi, %2 kayıt zaten bulunduğu için atlandı."_s
                               : u"%1: %2 kayıt eklendi."_s)
                            .arg(what)
                            .arg(count);
            expectBox(u"Aktarım tamamlandı.\n\n"_s + said.join(u'\n'), Desktop::Icon::Information, caption);
        }
        QStringList links = expectedTables(u"Norva.expected.json"_s).value(u"Linkler"_s);
        for (qsizetype i = 0; i < links.size(); ++i) // numbered after the link that was there
            links[i] = QString::number(i + 2) + links.at(i).mid(links.at(i).indexOf(u'|'));
        QCOMPARE(tableRows(u"Linkler"_s), QStringList{u"1|Kendi linkim|https://ornek.org|"_s} + links);
        QCOMPARE(rawRows(u"SELECT count(*) FROM GelirGider"_s), QStringList{u"300"_s});
    }

    // Replacing asks first; "Hayır" leaves everything, "Evet" keeps a private copy and takes the file's RowIds.
    void replacingAsksAndKeepsACopyFirst()
    {
        rawExec("INSERT INTO Firmalar (FirmaAdi) VALUES ('Eski Firma'); INSERT INTO Firmalar (FirmaAdi) VALUES ('X')");
        rawExec("DELETE FROM Firmalar WHERE FirmaAdi = 'Eski Firma'"); // RowId 2 is left: the file's own 2 takes it
        const QStringList before = tableRows(u"Firmalar"_s);

        m_desktop->answerOpen(fixture(u"Norva.mdb"_s));
        m_desktop->onModal = [&](QDialog &dialog) {
            static_cast<QRadioButton *>(widget(dialog, "replaceChoice"))->setChecked(true);
            clickAndAnswer(dialog, "importButton", Desktop::Answer::No);
            QVERIFY(!dialog.result());
            QCOMPARE(tableRows(u"Firmalar"_s), before);
        };
        AccessImportDialog::importFile(nullptr);
        QCOMPARE(QDir(u"Yedekler"_s).entryList({u"Norva-*"_s}), QStringList());

        importThroughDialog(fixture(u"Norva.mdb"_s), "replaceChoice");
        QCOMPARE(m_desktop->takeBox().icon, Desktop::Icon::Question);
        const QString end = m_desktop->takeBox().text;
        QCOMPARE(storedTables(), expectedTables(u"Norva.expected.json"_s));
        const QStringList copies = QDir(u"Yedekler"_s).entryList({u"Norva-aktarim-oncesi-*.db"_s});
        QCOMPARE(copies.size(), 1);
        const QString copy = QDir(u"Yedekler"_s).absoluteFilePath(copies.constFirst());
        QVERIFY(end.endsWith(u"Önceki kayıtların kopyası: "_s + copy));
        QCOMPARE(QFile::permissions(copy) & 0x0077, QFileDevice::Permissions());
        // The copy holds the records as they were.
        QVERIFY(QFile::remove(u"Norva.db"_s) && QFile::rename(copy, u"Norva.db"_s));
        QCOMPARE(tableRows(u"Firmalar"_s), before);
    }

    // What cannot come in whole, whether refused on opening or part-way, is refused with its reason
    // and nothing is written (the reader's cases hold the other reasons). A missing table alone is
    // said and skipped; the others come over.
    void whatCannotBeImportedLeavesNothing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason"); // empty: imported
        QTest::addColumn<bool>("detailed");  // the box adds the reader's own words, for support
        const QString broken = u"Bu dosya bir Access veritabanı değil ya da bozuk."_s;
        QTest::newRow("text file named .mdb") << u"text"_s << broken << false;
        QTest::newRow("truncated copy") << u"truncated"_s
                                        << u"\"GelirGider\" tablosu okunamadı; dosya bozuk olabilir."_s << true;
        QTest::newRow("a needed column missing")
            << u"no column"_s << u"\"Linkler\" tablosunda \"Baslik\" sütunu yok."_s << false;
        QTest::newRow("the table list's page zeroed") << u"page 6"_s << broken << false;
        QTest::newRow("the table list's map zeroed") << u"page 14"_s << broken << true;
        QTest::newRow("a table missing") << u"no table"_s << QString() << false;
    }
    void whatCannotBeImportedLeavesNothing()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        QFETCH(bool, detailed);
        const QString path = changedCopy([&](QByteArray &bytes) {
            if (file == "text"_L1)
                bytes = "Firma;Adres\r\nŞahin;İzmir\r\n";
            else if (file == "truncated"_L1)
                bytes.chop(bytes.size() / 3); // whole pages
            else if (file.startsWith("page "_L1))
                bytes.replace(file.mid(5).toInt() * 4096, 4096, QByteArray(4096, '\0'));
            else if (file == "no column"_L1)
                renameInFile(bytes, u"Baslik"_s, u"Baslxk"_s);
            else
                renameInFile(bytes, u"Linkler"_s, u"Linkxer"_s);
        });
        if (reason.isEmpty()) {
            const CommandLineRun run = runCommandLine({u"--import-access"_s, path});
            QCOMPARE(run.exitCode, 0);
            QVERIFY(run.out.contains(u"Linkler (Kayıtlı linkler): dosyada bu tablo yok, atlanacak."_s));
            QVERIFY(run.out.contains(u"Kayıtlı linkler: dosyada bu tablo yok, atlandı."_s));
            QMap<QString, QStringList> expected = expectedTables(u"Norva.expected.json"_s);
            expected.remove(u"Linkler"_s);
            QCOMPARE(storedTables(), expected);
            return;
        }
        // Refused in a folder without Norva.db, it leaves none behind.
        QVERIFY(QFile::remove(u"Norva.db"_s));
        const QStringList folder = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        QCOMPARE(runCommandLine({u"--import-access"_s, path}).err, reason + u" Norva.db değiştirilmedi.\n"_s);
        QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), folder);
        QVERIFY(db::ensureSchema());

        rawExec("INSERT INTO Firmalar (FirmaAdi) VALUES ('Benim Firmam')");
        const QMap<QString, QStringList> before = storedTables();
        const CommandLineRun run = runCommandLine({u"--import-access"_s, path, u"--replace"_s});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, reason + u" Norva.db değiştirilmedi.\n"_s);

        m_desktop->answerOpen(path);
        m_desktop->onModal = [](QDialog &dialog) { click(dialog, "importButton"); };
        AccessImportDialog::importFile(nullptr);
        const FakeDesktop::Box box = m_desktop->takeBox();
        QVERIFY2(box.text.startsWith(reason), qPrintable(box.text));
        QCOMPARE(box.text.contains(u"\n(Ayrıntı: "_s), detailed);
        QCOMPARE(box.icon, Desktop::Icon::Error);
        QCOMPARE(storedTables(), before);
        QCOMPARE(QDir(u"Yedekler"_s).entryList({u"Norva-*"_s}), QStringList());
    }

    // Entries the totals cannot take come in as they are, and are counted at the end.
    void entriesTheTotalsCannotTakeAreCounted_data()
    {
        QTest::addColumn<bool>("commandLine");
        QTest::newRow("dialog") << false;
        QTest::newRow("command line") << true;
    }
    void entriesTheTotalsCannotTakeAreCounted()
    {
        QFETCH(bool, commandLine);
        const QString path = changedCopy([](QByteArray &bytes) {
            bytes.replace("\xff\xfe"
                          "17581.60",
                          "\xff\xfe"
                          "17581,60"); // compressed texts
            bytes.replace("\xff\xfe"
                          "Euro",
                          "\xff\xfe"
                          "Avro");
        });
        const QStringList counted{u"1 hareketin tutarı sayı değil; bu hareketlerin aylarında toplamlar hesaplanamaz. "
                                  u"Tutarları Hareket Tablosu'nda düzeltin."_s,
                                  u"14 hareketin para birimi Lira, Dolar ya da Euro değil; bu hareketler toplamlara "
                                  u"katılmaz. Para birimlerini Hareket Tablosu'nda düzeltin."_s};
        if (commandLine) {
            const CommandLineRun run = runCommandLine({u"--import-access"_s, path});
            QCOMPARE(run.exitCode, 0);
            QVERIFY2(run.out.endsWith(u"  "_s + counted.join(u"\n  "_s) + u'\n'), qPrintable(run.out));
        } else {
            importThroughDialog(path);
            const QString box = m_desktop->takeBox().text;
            QVERIFY2(box.endsWith(u"\n"_s + counted.join(u'\n')), qPrintable(box));
        }
        QCOMPARE(rawRows(u"SELECT count(*) FROM GelirGider WHERE IslemTutari = '17581,60' OR TutarBirimi = 'Avro'"_s),
                 QStringList{u"15"_s});
    }

    // What libmdb says in English of a damaged part stays off the terminal; the user is told in Turkish.
    void aDamagedPartIsToldInTurkish()
    {
        const QString path = changedCopy([](QByteArray &bytes) {
            bytes.replace(23 * 4096, 4096, QByteArray(4096, '\0')); // long values of the tables' properties
        });
        CommandLineRun run{};
        QCOMPARE(writtenToTheTerminal([&] { run = runCommandLine({u"--import-access"_s, path}); }), QByteArray());
        QCOMPARE(run.exitCode, 0);
        // Whether libmdb complains of a damaged page varies from run to run (it reads what its
        // buffers held before); when it does, the end says so in Turkish.
        const QString told = u"Dosyanın bazı bölümleri bozuk görünüyor; aktarılan kayıtları gözden geçirin."_s;
        exchange::ImportResult damaged;
        damaged.damageNoticed = true;
        QCOMPARE(exchange::resultLines(damaged).constLast(), told);
        QVERIFY(!run.out.contains(u"Unrecognized"_s));
        importThroughDialog(path, "addChoice");
        QVERIFY(!m_desktop->takeBox().text.contains(u"Unrecognized"_s));
    }

    // A failure the database engine names in English is told in Turkish, its words kept as a detail.
    void aDatabaseFailureIsToldInTurkish()
    {
        rawExec("CREATE TRIGGER Durdur BEFORE INSERT ON Linkler BEGIN SELECT RAISE(ABORT, 'stopped here'); END");
        const QString reason = u"Norva.db okunurken ya da yazılırken bir hata oluştu.\n(Ayrıntı: stopped here)"_s;
        const CommandLineRun run = runCommandLine({u"--import-access"_s, fixture(u"Norva.mdb"_s)});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, reason + u"\nNorva.db değiştirilmedi.\n"_s);
        importThroughDialog(fixture(u"Norva.mdb"_s));
        expectBox(u"Kayıtlar aktarılamadı. "_s + reason + u"\n\nNorva.db değiştirilmedi."_s, Desktop::Icon::Error,
                  caption);
        QCOMPARE(storedTables(), (QMap<QString, QStringList>()));
    }

    // Another program holding the write lock past the wait: the reason, and nothing written.
    void aLockHeldByAnotherProgramLeavesNothing()
    {
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open("Norva.db", &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        const CommandLineRun run = runCommandLine({u"--import-access"_s, fixture(u"Norva-nulls.mdb"_s)});
        sqlite3_close(other); // rolls back
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(u"kilitli"_s) && run.err.endsWith(u"Norva.db değiştirilmedi.\n"_s),
                 qPrintable(run.err));
        QCOMPARE(storedTables(), (QMap<QString, QStringList>()));
    }

    // Into a file whose memberships are sealed: the master password is asked for, the
    // memberships come in sealed, and a second import finds them already there.
    void membershipsComeInSealedBehindTheMasterPassword()
    {
        {
            db::Connection c;
            vault::setMasterPassword(c, u"ana parola"_s);
        }
        const CommandLineRun wrong = runCommandLine({u"--import-access"_s, fixture(u"Norva.mdb"_s)}, u"yanlış\n"_s);
        QCOMPARE(wrong.exitCode, 1);
        QVERIFY(wrong.err.endsWith(u"Ana parola yanlış; üyelikler şifrelenemezdi. Norva.db değiştirilmedi.\n"_s));
        QCOMPARE(storedTables(), (QMap<QString, QStringList>()));

        QCOMPARE(runCommandLine({u"--import-access"_s, fixture(u"Norva.mdb"_s)}, u"ana parola\n"_s).exitCode, 0);
        const QStringList expected = expectedTables(u"Norva.expected.json"_s).value(u"Parolalar"_s);
        QCOMPARE(rawRows(u"SELECT count(*) FROM Parolalar WHERE Parola LIKE 'nrv1:%' AND Notlar LIKE 'nrv1:%'"_s),
                 QStringList{QString::number(expected.size())});

        // Through the dialog: the master password is asked once, and nothing new comes in.
        m_desktop->answerOpen(fixture(u"Norva.accdb"_s));
        m_desktop->onModal = [this](QDialog &dialog) {
            if (QByteArrayView(dialog.metaObject()->className()) == "MasterPasswordDialog") {
                setText(dialog, "parola", u"ana parola"_s);
                click(dialog, "tamam");
                return;
            }
            click(dialog, "importButton");
        };
        AccessImportDialog::importFile(nullptr);
        QVERIFY(m_desktop->takeBox().text.contains(u"Üyelikler ve parolalar: 0 kayıt eklendi, 5 kayıt zaten"_s));
        QCOMPARE(m_desktop->modalDialogs, (QStringList{u"AccessImportDialog"_s, u"MasterPasswordDialog"_s}));
    }

    void theCommandLineSaysWhatItTakes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        QTest::newRow("help") << QStringList{u"--help"_s} << 0 << u"--import-access DOSYA"_s;
        QTest::newRow("unknown") << QStringList{u"--import-access"_s, u"x"_s, u"--yedek"_s} << 1
                                 << u"Bilinmeyen seçenek: yedek"_s;
        QTest::newRow("no file") << QStringList{u"--import-access"_s} << 1 << u"bir dosya adı ister"_s;
        QTest::newRow("replace alone") << QStringList{u"--replace"_s} << 1 << u"yalnızca --import-access ile"_s;
        QTest::newRow("no such file")
            << QStringList{u"--import-access"_s, u"yok.mdb"_s} << 1
            << u"\"yok.mdb\" dosyası açılamadı. Dosyanın var olduğundan ve okuma izniniz olduğundan emin "
               u"olun. Norva.db değiştirilmedi."_s;
    }
    void theCommandLineSaysWhatItTakes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        QVERIFY(commandline::wanted(QStringList{u"norva-rezado"_s} + arguments));
        const CommandLineRun run = runCommandLine(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2((exitCode == 0 ? run.out : run.err).contains(said), qPrintable(run.out + run.err));
        QVERIFY(!commandline::wanted({u"norva-rezado"_s, u"-platform"_s, u"offscreen"_s}));
    }
};

QTEST_MAIN(TestAccessImport)
#include "tst_access_import.moc"
