#include "Workspace.h"

#include "data/CompanyStore.h"
#include "data/ContactStore.h"
#include "data/EntryStore.h"
#include "data/Files.h"
#include "data/LinkStore.h"
#include "exchange/Bookmarks.h"
#include "exchange/CsvFile.h"
#include "exchange/VCard.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

// Items as one text each, the fields `fields` gives joined by '|'.
template <typename Items, typename Fields>
QStringList joined(const Items &items, Fields fields)
{
    QStringList out;
    for (const auto &item : items)
        out.append(QStringList(fields(item)).join(u'|'));
    return out;
}

// Contacts with their fields in the order of the directory.
QStringList described(const std::vector<Contact> &contacts)
{
    return joined(contacts, [](const Contact &c) {
        return QStringList{c.name,      c.mobile,     c.homePhone, c.workPhone, c.occupation, c.hometown,
                           c.education, c.bloodGroup, c.relative,  c.mail,      c.web,        c.about};
    });
}

Contact contactNamed(const QString &name)
{
    Contact contact;
    contact.name = name;
    return contact;
}

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

    // A text a spreadsheet would run as a formula goes out after an apostrophe; a plain number stays bare.
    void csvTextsASpreadsheetWouldRunAreGuarded_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("sum") << u"=7*6"_s << QByteArray("'=7*6");
        QTest::newRow("link, quoted") << u"=HYPERLINK(\"http://x\",\"y\")"_s
                                      << QByteArray("\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"");
        QTest::newRow("command") << u"=cmd|' /C calc'!A0"_s << QByteArray("'=cmd|' /C calc'!A0");
        QTest::newRow("plus") << u"+1+2"_s << QByteArray("'+1+2");
        QTest::newRow("minus") << u"-2+3"_s << QByteArray("'-2+3");
        QTest::newRow("at") << u"@SUM(A1)"_s << QByteArray("'@SUM(A1)");
        QTest::newRow("tab") << u"\t=1+2"_s << QByteArray("'\t=1+2");
        QTest::newRow("CR, quoted") << u"\r=1+2"_s << QByteArray("\"'\r=1+2\"");
        QTest::newRow("telephone with blanks") << u"+90 532 111 22 33"_s << QByteArray("'+90 532 111 22 33");
        QTest::newRow("sign alone") << u"-"_s << QByteArray("'-");
        QTest::newRow("decimal comma") << u"-5,00"_s << QByteArray("'-5,00");
        QTest::newRow("no decimals after the dot") << u"-5."_s << QByteArray("'-5.");
        QTest::newRow("amount of the add-entry dialog") << u"-5.00"_s << QByteArray("-5.00");
        QTest::newRow("amount of the entry edit") << u"-12.500000"_s << QByteArray("-12.500000");
        QTest::newRow("signed whole number") << u"+5"_s << QByteArray("+5");
        QTest::newRow("equals inside") << u"a=1+2"_s << QByteArray("a=1+2");
    }
    void csvTextsASpreadsheetWouldRunAreGuarded()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, written);
        QCOMPARE(exchange::csvBytes({{value}}), kBom + written + "\r\n");
    }

    // LibreOffice Calc, reading the file as Turkish users do (';', UTF-8), runs nothing in it.
    void calcFindsNoFormulaInAWrittenFile()
    {
        const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
        if (soffice.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        Workspace workspace;
        std::vector<Company> companies;
        for (const QString &v :
             u"=7*6\n=HYPERLINK(\"http://x\",\"y\")\n=cmd|' /C calc'!A0\n+1+2\n-2+3\n@SUM(A1)\n\t=1+2\n\r=1+2\n-5.00"_s
                 .split(u'\n'))
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

    void vcardsOfPhonesAndMailProgramsAreRead_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("phone, vCard 2.1") << u"phone-2.1"_s;
        QTest::newRow("mail program, vCard 4.0 and 3.0") << u"contacts-4.0"_s;
    }
    // Each contact a line of the .expected.txt beside the file (a line break in a value written "\n").
    void vcardsOfPhonesAndMailProgramsAreRead()
    {
        QFETCH(QString, file);
        const exchange::VCardRead read = exchange::readVCards(testData(u"exchange/data/"_s + file + u".vcf"_s));
        QCOMPARE(read.error, QString());
        QStringList lines = described(read.contacts).replaceInStrings(u"\n"_s, u"\\n"_s);
        QCOMPARE((lines << u"%1 kart atlandı\n"_s.arg(read.skipped)).join(u'\n'),
                 QString::fromUtf8(testData(u"exchange/data/"_s + file + u".expected.txt"_s)));
    }

    void vcardsWrittenReadBackTheSame_data()
    {
        QTest::addColumn<QString>("text"); // in every field but the relation
        QTest::newRow("plain") << u"Ahmet"_s;
        QTest::newRow("escaped characters") << u"a,b;c\\d: e"_s;
        QTest::newRow("line breaks") << u"bir\niki\n\nüç"_s;
        QTest::newRow("long Turkish text, folded")
            << u"Çığ düştü, ağaçlar şişti; İstanbul'dan Ödemiş'e giden yolda üç gün kaldık ğğğğğğğğğğğğğğğğğğğğ"_s;
    }
    void vcardsWrittenReadBackTheSame()
    {
        QFETCH(QString, text);
        const std::vector<Contact> contacts = {
            {-1, u"Ad "_s + text, text, text, text, text, text, text, text, u"EVET"_s, text, text, text},
            contactNamed(u"Yalnız Ad"_s)};
        const QByteArray bytes = exchange::vcardBytes(contacts);
        for (const QByteArray &line : bytes.split('\n')) // 75 octets and the CR, never half a letter
            QVERIFY2(line.size() <= 76 && !QString::fromUtf8(line).contains(QChar::ReplacementCharacter), line);
        QVERIFY(bytes.contains("VERSION:4.0\r\n"));
        const exchange::VCardRead read = exchange::readVCards(bytes);
        QCOMPARE(QString::number(read.skipped) + described(read.contacts).join(u'/'),
                 u'0' + described(contacts).join(u'/'));
    }

    void filesOfAnotherKindAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("asBookmarks");
        QTest::newRow("CSV as vCard") << exchange::csvBytes({{u"a"_s}}) << false;
        QTest::newRow("empty as vCard") << QByteArray() << false;
        QTest::newRow("vCard as bookmarks") << exchange::vcardBytes({contactNamed(u"Ad"_s)}) << true;
        QTest::newRow("web page as bookmarks")
            << QByteArray("<!DOCTYPE html><html><a href=\"https://a.tr\">a</a></html>") << true;
        QTest::newRow("empty as bookmarks") << QByteArray() << true;
    }
    void filesOfAnotherKindAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, asBookmarks);
        const exchange::BookmarksRead links = exchange::readBookmarks(bytes);
        const exchange::VCardRead cards = exchange::readVCards(bytes);
        if (asBookmarks)
            QVERIFY(links.error.contains(u"yer imi dosyası değil"_s) && links.links.empty());
        else
            QVERIFY(cards.error.contains(u"vCard"_s) && cards.contacts.empty());
    }

    void bookmarksAreReadAsBrowsersWriteThem_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("links"); // title|address|notes
        QTest::newRow("written here")
            << exchange::bookmarksHtml({{-1, u"Gelir İdaresi <GİB> & \"e-Devlet\""_s,
                                         u"https://gib.gov.tr/?a=1&b=\"2\""_s, u"not\nikinci satır"_s},
                                        {-1, u"Boş notlu"_s, u"http://örnek.tr/"_s, {}}},
                                       1700000000)
            << QStringList{u"Gelir İdaresi <GİB> & \"e-Devlet\"|https://gib.gov.tr/?a=1&b=\"2\"|"
                           u"not\nikinci satır"_s,
                           u"Boş notlu|http://örnek.tr/|"_s};
        QTest::newRow("browser export with folders")
            << testData(u"exchange/data/browser-folders.html"_s)
            << QStringList{u"Banka İşlemleri|https://a.tr/x?y=1&z=2|Hesap <1> 'vadeli'"_s,
                           u"Kalın başlık|https://b.tr|"_s, u"|https://c.tr|"_s};
        QTest::newRow("markup in descriptions, raw '<' and '>' in addresses")
            << testData(u"exchange/data/markup-in-descriptions.html"_s)
            << QStringList{u"A|https://a.tr/?q=<b>&x=1|desc with html & \"quotes\""_s,
                           u"B italik|https://b.tr/?q=a>b|Bkz. C, 1 < 2"_s, u"D|https://d.tr/|"_s};
    }
    void bookmarksAreReadAsBrowsersWriteThem()
    {
        QFETCH(QByteArray, bytes);
        const exchange::BookmarksRead read = exchange::readBookmarks(bytes);
        QCOMPARE(read.error, QString());
        QTEST(joined(read.links, [](const Link &l) { return QStringList{l.title, l.address, l.notes}; }), "links");
    }

    // Into a folder nobody may write, too (root may: the write is tried without it).
    void aFailedWriteLeavesTheOldFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("missing folder") << u"yok/liste.csv"_s;
        QTest::newRow("a folder in the way") << u"klasor"_s;
        QTest::newRow("folder nobody may write") << u"salt/liste.csv"_s;
    }
    void aFailedWriteLeavesTheOldFile()
    {
        QFETCH(QString, target);
        Workspace workspace(false);
        QVERIFY(QDir().mkpath(u"klasor"_s) && QDir().mkpath(u"salt"_s));
        writeFile(u"salt/liste.csv"_s, "eski");
        const bool readOnly = target.startsWith(u"salt"_s);
        const auto readable = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(u"salt"_s, readOnly ? readable : readable | QFile::WriteOwner));
        const auto refused = [&] {
            const std::optional<QString> error = files::writeWhole(target, "yeni");
            return error && error->contains(QDir::toNativeSeparators(target)) ? 0 : 11;
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
        QVERIFY(::mkfifo("boru", 0600) == 0);
        QVERIFY(QDir().mkpath(u"klasor"_s));
        writeFile(u"buyuk.vcf"_s, QByteArray(17, 'x'));
        writeFile(u"tam.vcf"_s, QByteArray(16, 'x'));
        const files::ReadFile read = files::readWhole(path, 16);
        if (reason.isEmpty()) {
            QCOMPARE(read.failure, std::nullopt);
            QCOMPARE(read.bytes, QByteArray(16, 'x'));
        } else {
            QVERIFY2(read.failure && read.failure->contains(reason), qPrintable(read.failure.value_or(QString())));
            QVERIFY(read.bytes.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
