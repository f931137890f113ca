#include "Workspace.h"

#include "data/CompanyStore.h"
#include "data/ContactStore.h"
#include "data/EntryStore.h"
#include "data/Files.h"
#include "data/LinkStore.h"
#include "exchange/Bookmarks.h"
#include "exchange/CsvFile.h"
#include "exchange/VCard.h"
#include "platform/FileTransfer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// Contacts with their fields in the order of the directory, joined by '|'.
QStringList described(const std::vector<Contact> &contacts)
{
    QStringList out;
    for (const Contact &c : contacts)
        out << QStringList{c.name,      c.mobile,     c.homePhone, c.workPhone, c.occupation, c.hometown,
                           c.education, c.bloodGroup, c.relative,  c.mail,      c.web,        c.about}
                   .join(u'|');
    return out;
}

// What a spreadsheet would run as a formula, and numbers it must still read as numbers.
const QStringList kSpreadsheetTexts =
    u"=7*6\n=HYPERLINK(\"http://x\",\"y\")\n=cmd|' /C calc'!A0\n+1+2\n-2+3\n@SUM(A1)\n\t=1+2\n\r=1+2\n"
    u"+90 532 111 22 33\n-\n-5,00\n-5.\n-5.00\n-12.500000\n+5\na=1+2"_s.split(u'\n');

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

private slots:
    // The entries go out as stored, in stored order, by a writer of their own: a value holding ';',
    // '"' or a line end in quotes, a formula after an apostrophe, amounts never rounded, a NULL empty
    // (entries.sql makes them, entries.csv is what "CSV Aktar" of the entries table writes of them).
    void entriesCsvIsWrittenAsTheGoldenFile()
    {
        Workspace workspace;
        rawRows(QString::fromUtf8(testData(u"exchange/golden/entries.sql"_s)));
        db::Connection connection;
        QCOMPARE(exchange::listedEntriesCsv(connection, EntryStore::list(u"Tümü"_s, 0, 0)),
                 testData(u"exchange/golden/entries.csv"_s));
    }

    // A text a spreadsheet would run as a formula goes out after an apostrophe (formula guard);
    // an amount as the dialogs write it, a signed whole number, '=' inside a text stay bare.
    void csvTextsASpreadsheetWouldRunAreGuarded()
    {
        QList<QStringList> rows;
        for (const QString &text : kSpreadsheetTexts)
            rows.append({text});
        QCOMPARE(exchange::csvBytes(rows), testData(u"exchange/golden/formula-guard.csv"_s));
    }

    // LibreOffice Calc, reading the file as Turkish users do (';', UTF-8), runs nothing in it.
    void calcFindsNoFormulaInAWrittenFile()
    {
        const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
        if (soffice.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        Workspace workspace;
        std::vector<Company> companies;
        for (const QString &v : kSpreadsheetTexts.first(13))
            companies.push_back({-1, v, v, v, v, v, v, v, v});
        QVERIFY(files::writeWhole(u"firmalar.csv"_s, exchange::companiesCsv(companies)) == std::nullopt);

        QTemporaryDir profile;
        QProcess calc;
        calc.start(soffice, {u"-env:UserInstallation="_s + QUrl::fromLocalFile(profile.path()).toString(),
                             u"--headless"_s, u"--infilter=Text - txt - csv (StarCalc):59,34,76,1"_s, u"--convert-to"_s,
                             u"xlsx"_s, u"--outdir"_s, workspace.path(), u"firmalar.csv"_s});
        QVERIFY(calc.waitForFinished(180000));
        QProcess unzip;
        unzip.start(u"unzip"_s, {u"-p"_s, u"firmalar.xlsx"_s, u"xl/worksheets/sheet1.xml"_s});
        QVERIFY(unzip.waitForFinished());
        const QByteArray sheet = unzip.readAllStandardOutput();
        QVERIFY2(sheet.contains("<sheetData>"), calc.readAllStandardError().constData());
        QVERIFY2(!sheet.contains("<f>") && !sheet.contains("<f "), sheet.constData());
        QVERIFY2(sheet.contains("<v>-5</v>"), sheet.constData()); // the amount a number still
    }

    // A phone's vCard 2.1, a mail program's 4.0 and 3.0: each contact a line of the .expected.txt beside
    // the file (a line break in a value written "\n").
    void vcardsOfPhonesAndMailProgramsAreRead()
    {
        for (const QString &file : {u"exchange/data/phone-2.1"_s, u"exchange/data/contacts-4.0"_s}) {
            const exchange::VCardRead read = exchange::readVCards(testData(file + u".vcf"_s));
            QCOMPARE(read.error, QString());
            QStringList lines = described(read.contacts).replaceInStrings(u"\n"_s, u"\\n"_s);
            QCOMPARE((lines << u"%1 kart atlandı\n"_s.arg(read.skipped)).join(u'\n'),
                     QString::fromUtf8(testData(file + u".expected.txt"_s)));
        }
    }

    // Each text in every field but the relation: plain, escaped characters, line breaks, a long one folded.
    void vcardsWrittenReadBackTheSame()
    {
        std::vector<Contact> contacts = {{-1, u"Yalnız Ad"_s, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}}};
        for (const QString &t :
             {u"Ahmet"_s, u"a,b;c\\d: e"_s, u"bir\niki\n\nüç"_s,
              u"Çığ düştü, ağaçlar şişti; İstanbul'dan Ödemiş'e giden yolda üç gün kaldık ğğğğğğğğğğğğğğğğğğğğ"_s})
            contacts.push_back({-1, u"Ad "_s + t, t, t, t, t, t, t, t, u"EVET"_s, t, t, t});
        const QByteArray bytes = exchange::vcardBytes(contacts);
        for (const QByteArray &line : bytes.split('\n')) // 75 octets and the CR, never half a letter
            QVERIFY2(line.size() <= 76 && !QString::fromUtf8(line).contains(QChar::ReplacementCharacter), line);
        QVERIFY(bytes.contains("VERSION:4.0\r\n"));
        const exchange::VCardRead read = exchange::readVCards(bytes);
        QCOMPARE(QString::number(read.skipped) + described(read.contacts).join(u'/'),
                 u'0' + described(contacts).join(u'/'));
    }

    void filesOfAnotherKindAreRefused()
    {
        for (const QByteArray &bytes : {exchange::csvBytes({{u"a"_s}}), QByteArray()})
            QVERIFY(exchange::readVCards(bytes).error.contains(u"vCard"_s) &&
                    exchange::readVCards(bytes).contacts.empty());
        for (const QByteArray &bytes :
             {QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ad\r\nEND:VCARD\r\n"), QByteArray(),
              QByteArray("<!DOCTYPE html><html><a href=\"https://a.tr\">a</a></html>")}) {
            const exchange::BookmarksRead read = exchange::readBookmarks(bytes);
            QVERIFY(read.error.contains(u"yer imi dosyası değil"_s) && read.links.empty());
        }
    }

    // Bookmarks written here, a browser's export with folders, markup in descriptions and raw '<' and '>'
    // in addresses: the reader's error (none) on the first line, then each link's title|address|notes.
    void bookmarksAreReadAsBrowsersWriteThem()
    {
        const auto read = [](const QByteArray &bytes) {
            const exchange::BookmarksRead r = exchange::readBookmarks(bytes);
            QString out = r.error + u'\n';
            for (const Link &l : r.links)
                out += l.title + u'|' + l.address + u'|' + l.notes + u'\n';
            return out;
        };
        QCOMPARE(read(exchange::bookmarksHtml({{-1, u"Gelir İdaresi <GİB> & \"e-Devlet\""_s,
                                                u"https://gib.gov.tr/?a=1&b=\"2\""_s, u"not\nikinci satır"_s},
                                               {-1, u"Boş notlu"_s, u"http://örnek.tr/"_s, {}}},
                                              1700000000)),
                 u"\nGelir İdaresi <GİB> & \"e-Devlet\"|https://gib.gov.tr/?a=1&b=\"2\"|not\nikinci satır\n"
                 u"Boş notlu|http://örnek.tr/|\n"_s);
        for (const QString &file : {u"exchange/data/browser-folders"_s, u"exchange/data/markup-in-descriptions"_s})
            QCOMPARE(read(testData(file + u".html"_s)), QString::fromUtf8(testData(file + u".expected.txt"_s)));
    }

    // Into a folder nobody may write, too (root may: the write is tried without it).
    void aFailedWriteLeavesTheOldFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("said"); // empty: any text naming the file
        QTest::newRow("missing folder") << u"yok/liste.csv"_s
                                        << u"\"yok/liste.csv\" dosyası oluşturulamadı. Klasörün var olduğundan ve "
                                           u"yazma izniniz olduğundan emin olun."_s;
        QTest::newRow("a folder in the way") << u"klasor"_s << QString();
        QTest::newRow("folder nobody may write") << u"salt/liste.csv"_s << QString();
    }
    void aFailedWriteLeavesTheOldFile()
    {
        QFETCH(QString, target);
        QFETCH(QString, said);
        Workspace workspace(false);
        QVERIFY(QDir().mkpath(u"klasor"_s) && QDir().mkpath(u"salt"_s));
        writeFile(u"salt/liste.csv"_s, "eski");
        const bool readOnly = target.startsWith(u"salt"_s);
        const auto readable = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(u"salt"_s, readOnly ? readable : readable | QFile::WriteOwner));
        const auto refused = [&] {
            const std::optional<files::Failure> failure = files::writeWhole(target, "yeni");
            const QString error = failure ? fileFailureText(*failure) : QString();
            return failure && (said.isEmpty() ? error.contains(target) : error == said) ? 0 : 11;
        };
        const int failed = readOnly ? inChildWithoutRoot(refused) : refused();
        QVERIFY(QFile::setPermissions(u"salt"_s, readable | QFile::WriteOwner));
        QCOMPARE(failed, 0);
        QCOMPARE(readFile(u"salt/liste.csv"_s), QByteArray("eski"));
        QCOMPARE(QDir(u"salt"_s).entryList(QDir::Files), QStringList{u"liste.csv"_s});
    }

    // A device, a FIFO or a folder is refused without being opened for a blocking read,
    // and a read stops at the cap whatever size the file system reports.
    void onlyRegularFilesAreReadAndNeverPastTheCap_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("endless device") << u"/dev/zero"_s << u"bir dosya değil"_s;
        QTest::newRow("fifo") << u"boru"_s << u"bir dosya değil"_s;
        QTest::newRow("folder") << u"klasor"_s << u"bir klasör"_s;
        QTest::newRow("missing") << u"yok.vcf"_s << u"açılamadı"_s;
        QTest::newRow("past the cap") << u"buyuk.vcf"_s << u"fazla büyük"_s;
        QTest::newRow("at the cap") << u"tam.vcf"_s << QString();
    }
    void onlyRegularFilesAreReadAndNeverPastTheCap()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        Workspace workspace(false);
        QVERIFY(::mkfifo("boru", 0600) == 0 && QDir().mkpath(u"klasor"_s));
        writeFile(u"buyuk.vcf"_s, QByteArray(17, 'x'));
        writeFile(u"tam.vcf"_s, QByteArray(16, 'x'));
        const files::ReadFile read = files::readWhole(path, 16);
        QCOMPARE(read.failure.has_value(), !reason.isEmpty());
        const QString told = read.failure ? fileFailureText(*read.failure) : QString();
        QVERIFY2(told.contains(reason), qPrintable(told));
        QCOMPARE(read.bytes, reason.isEmpty() ? QByteArray(16, 'x') : QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
