#include "Workspace.h"

#include "exchange/AccessFile.h"
#include "exchange/AccessImport.h"
#include "exchange/StoredValue.h"
#include "platform/FileTransfer.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <thread>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace exchange;

namespace {

// What the process itself writes on its standard output and error while `work` runs.
QByteArray writtenToTheTerminal(const std::function<void()> &work)
{
    QTemporaryFile file;
    std::fflush(nullptr);
    const int saved[] = {::dup(STDOUT_FILENO), ::dup(STDERR_FILENO)};
    if (!file.open() || ::dup2(file.handle(), STDOUT_FILENO) < 0 || ::dup2(file.handle(), STDERR_FILENO) < 0)
        return "no temporary file";
    work(), std::fflush(nullptr);
    ::dup2(saved[0], STDOUT_FILENO), ::dup2(saved[1], STDERR_FILENO), ::close(saved[0]), ::close(saved[1]);
    return readFile(file.fileName());
}

} // namespace

class TestAccess : public QObject
{
    Q_OBJECT

private slots:
    // Every cell as the file holds it (an Access 2000 and a 2007 file, each also with NULL beside ''):
    // Turkish letters stored compressed or not, CR LF, characters outside the BMP, NULL apart from ''. Tables and
    // columns are asked for in other cases than the file spells them, from a read-only file in a read-only folder.
    // Imported into an empty Norva.db, every row keeps its RowId.
    void readsAndImportsEveryCellAsStored()
    {
        for (const QString &file : {u"Norva.mdb"_s, u"Norva.accdb"_s, u"Norva-nulls.mdb"_s, u"Norva-nulls.accdb"_s})
            readsAndImportsEveryCellOf(file);
    }
    void readsAndImportsEveryCellOf(const QString &file)
    {
        const QString source = testDataPath(u"exchange/data/"_s + file);
        const QString json = u"exchange/data/"_s + file.section(u'.', 0, 0) + u".expected.json"_s;
        const QJsonObject tables = QJsonDocument::fromJson(testData(json))["tables"_L1].toObject();
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        QVERIFY(QFile::copy(source, path) && QFile::setPermissions(path, QFile::ReadOwner));
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        Workspace workspace;
        exchange::AccessImport(path).run(exchange::AccessImport::Mode::Add);
        QStringList want, read, imported; // "table|cell|cell...", a NULL as "<NULL>"
        AccessFile access(path);
        QCOMPARE(AccessFile::formatName(access.format()),
                 file.endsWith(u".mdb"_s) ? u"Access 2000–2003"_s : u"Access 2007 veya üstü"_s);
        QStringList names = access.tables();
        names.sort();
        QCOMPARE(names, tables.keys());
        for (const QString &table : tables.keys()) {
            QStringList columns;
            for (const QJsonValue &column : tables[table]["columns"_L1].toArray())
                columns << column["name"_L1].toString();
            QCOMPARE(access.findTable(table.toLower()), table);
            QCOMPARE(access.columns(table), columns);
            for (const QJsonValue &row : tables[table]["rows"_L1].toArray()) {
                QStringList cells{table};
                for (const QString &column : columns)
                    cells << (row[column].isNull() ? u"<NULL>"_s : row[column].toVariant().toString());
                want << cells.join(u'|');
            }
            for (const exchange::Row &row : access.rows(table.toLower(), columns.join(u',').toUpper().split(u','))) {
                QStringList cells{table};
                for (const exchange::Cell &cell : row)
                    cells << cell.value_or(u"<NULL>"_s);
                read << cells.join(u'|');
            }
            for (const QString &row : rawRows(u"SELECT * FROM %1 ORDER BY RowId"_s.arg(table)))
                imported << table + u'|' + row;
        }
        QCOMPARE(read, want);
        QCOMPARE(imported, want.replaceInStrings(u"<NULL>"_s, QString())); // a NULL comes in as ''
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(readFile(path) == readFile(source));
    }

    void refusesWhatIsNotAWholeAccessFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message"); // empty: read whole
        const QString broken = u"Bu dosya bir Access veritabanı değil ya da bozuk."_s;
        const QByteArray whole = testData(u"exchange/data/Norva.mdb"_s);
        const QByteArray whole2007 = testData(u"exchange/data/Norva.accdb"_s);
        const auto zeroed = [&](int page) { return QByteArray(whole).replace(page * 4096, 4096, QByteArray(4096, 0)); };
        QTest::newRow("text file named .mdb") << u"Firma;Adres\r\nŞahin;İzmir\r\n"_s.toUtf8() << broken;
        QTest::newRow("first page only") << whole.left(4096) << broken;
        QTest::newRow("cut mid-page") << whole.left(whole.size() / 2 + 1000) << broken;
        QTest::newRow("cut at a page") << whole.left(whole.size() / 4096 * 4096 - 8 * 4096) << broken;
        QTest::newRow("2007, cut at a page") << whole2007.left(whole2007.size() - 16 * 4096) << broken;
        QTest::newRow("the table list's page zeroed") << zeroed(6) << broken;
        QTest::newRow("the table list's map zeroed") << zeroed(14) << broken;
        // libmdb may complain in English of the damaged page; the terminal stays silent all the same.
        QTest::newRow("long values of the tables' properties zeroed") << zeroed(23) << QString();
        QTest::newRow("a column the import needs missing") // the name as stored, in UTF-16
            << QByteArray(whole).replace(QByteArray("B\0a\0s\0l\0i\0k\0", 12), QByteArray("B\0a\0s\0l\0x\0k\0", 12))
            << u"\"Linkler\" tablosunda \"Baslik\" sütunu yok."_s;
        QTest::newRow("a FIFO") << QByteArray("fifo") << u"Norva.mdb\" bir dosya değil (bir aygıt ya da boru)"_s;
        QTest::newRow("no permission to read")
            << QByteArray("unreadable") << u"Norva.mdb\" dosyasını okuma izniniz yok."_s;
        // A database password is kept masked at 0x42; the fixtures have none, so the stored bytes
        // are the mask itself and a password laid over them changes them.
        const QString refused = u"Bu Access dosyası parola korumalı ya da şifrelenmiş; okunamıyor. Dosyayı Access'te "
                                u"açıp parolasını kaldırdıktan sonra yeniden deneyin."_s;
        const auto flipped = [](QByteArray file, int at, char by) { return file[at] = char(file[at] ^ by), file; };
        QTest::newRow("2000 with a password") << flipped(whole, 0x42, 'g') << refused;
        QTest::newRow("2007 with a password") << flipped(whole2007, 0x42, 'g') << refused;
        QTest::newRow("2000, encoded") << flipped(whole, 0x3e, 0x5a) << refused;
    }
    // Refused on opening, at the latest on reading a table or on taking the six tables for the import,
    // and never a word on the terminal.
    void refusesWhatIsNotAWholeAccessFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Norva.mdb"_s);
        // A missing file or a folder meets the same check as the FIFO (files' own table has them).
        std::optional<std::jthread> writer;
        if (content == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            // Lets a reader that waits in open() go on (to read nothing) rather than hang the test.
            writer.emplace([fifo = QFile::encodeName(path)](std::stop_token stop) {
                for (int fd = -1; fd < 0 && !stop.stop_requested(); std::this_thread::sleep_for(10ms))
                    if ((fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK)) >= 0)
                        ::close(fd);
            });
        } else
            writeFile(path, content == "unreadable" ? testData(u"exchange/data/Norva.mdb"_s) : content);
        const auto refused = [&] {
            try {
                AccessFile access(path);
                for (const QString &table : access.tables())
                    access.rows(table, access.columns(table));
                exchange::AccessImport{path};
                return message.isEmpty() ? 0 : 11;
            } catch (const AccessError &e) {
                const bool cut = e.message.endsWith(u"tablosu okunamadı; dosya bozuk olabilir."_s);
                const QString told = e.file ? fileFailureText(*e.file) : e.message;
                return !message.isEmpty() && (told.contains(message) || cut) ? 0 : 11;
            }
        };
        // Root reads anything: an unreadable file is opened by a child that gives up root.
        const auto reachable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther;
        if (content == "unreadable")
            QVERIFY(QFile::setPermissions(path, {}) && QFile::setPermissions(dir.path(), reachable));
        int code = -1;
        QCOMPARE(
            writtenToTheTerminal([&] { code = content == "unreadable" ? inChildWithoutRoot(refused) : refused(); }),
            QByteArray());
        QCOMPARE(code, 0);
    }

    // A number or a date as the file stores it becomes text ("?": bytes not of the type's size).
    void storedValuesBecomeText()
    {
        using enum StoredType;
        const auto stored = [](StoredType type, auto value) {
            return storedText(type, QByteArrayView(reinterpret_cast<const char *>(&value), sizeof value))
                .value_or(u"?"_s);
        };
        QCOMPARE(
            QStringList({stored(Byte, quint8(200)), stored(Integer, qint16(-7)), stored(Currency, qint64(12505000)),
                         stored(Currency, qint64(-10001)), stored(Currency, qint64(150000000)), stored(Single, 36.45f),
                         stored(Double, 1233.570543), stored(Double, 1e15), stored(Date, 45731.0),
                         stored(Date, 45731.75), stored(Date, -1.25), stored(Double, 0.0f)})
                .join(u' '),
            u"200 -7 1250.5 -1.0001 15000 36.45 1233.570543 1000000000000000 2025-03-15T00:00:00 "
            u"2025-03-15T18:00:00 1899-12-29T06:00:00 ?"_s);
    }

    // That text becomes what the entry dialog writes: amounts with two decimals at least, a date's day,
    // month and year as numbers, any other date as shown; a text is kept.
    void importedTextIsWhatTheEntryDialogWrites()
    {
        using enum ColumnRole;
        using enum Kind;
        const QString date = u"2025-03-05T00:00:00"_s;
        QCOMPARE(QStringList({importedText(Amount, Number, u"15000"_s), importedText(Amount, Number, u"1250.5"_s),
                              importedText(Amount, Number, u"-3.75"_s), importedText(Amount, Number, u"1233.570543"_s),
                              importedText(Amount, Text, u"3750.500000"_s), importedText(Day, Date, date),
                              importedText(Month, Date, date), importedText(Year, Date, date),
                              importedText(Day, Number, u"7"_s), importedText(Day, Text, u"07"_s),
                              importedText(Plain, Date, u"2024-11-14T00:00:00"_s),
                              importedText(Plain, Date, u"2024-11-14T09:05:00"_s)})
                     .join(u'|'),
                 u"15000.00|1250.50|-3.75|1233.570543|3750.500000|5|3|2025|7|07|14.11.2024|14.11.2024 9:05:00"_s);
    }
};

QTEST_GUILESS_MAIN(TestAccess)
#include "tst_access.moc"
