#include "Workspace.h"

#include "exchange/AccessFile.h"
#include "exchange/AccessImport.h"
#include "exchange/StoredValue.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace exchange;

namespace {

QString dataFile(const QString &name)
{
    return testDataPath(u"exchange/data/"_s + name);
}

// What the process itself writes on its standard output and error while `work` runs.
QByteArray writtenToTheTerminal(const std::function<void()> &work)
{
    QTemporaryFile file;
    if (!file.open())
        return "no temporary file";
    std::fflush(nullptr);
    const int saved[] = {::dup(STDOUT_FILENO), ::dup(STDERR_FILENO)};
    for (const int stream : {STDOUT_FILENO, STDERR_FILENO})
        ::dup2(file.handle(), stream);
    work();
    std::fflush(nullptr);
    for (const int stream : {STDOUT_FILENO, STDERR_FILENO})
        ::dup2(saved[stream - STDOUT_FILENO], stream), ::close(saved[stream - STDOUT_FILENO]);
    return readFile(file.fileName());
}

} // namespace

class TestAccess : public QObject
{
    Q_OBJECT

private slots:
    void readsAndImportsEveryCellAsStored_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("format");
        QTest::newRow("Access 2000 file") << u"Norva.mdb"_s << u"Access 2000–2003"_s;
        QTest::newRow("Access 2007 file") << u"Norva.accdb"_s << u"Access 2007 veya üstü"_s;
        QTest::newRow("2000, NULL beside ''") << u"Norva-nulls.mdb"_s << u"Access 2000–2003"_s;
        QTest::newRow("2007, NULL beside ''") << u"Norva-nulls.accdb"_s << u"Access 2007 veya üstü"_s;
    }
    // Every cell as the file holds it: Turkish letters stored compressed or not, CR LF, characters
    // outside the BMP, NULL apart from ''. Tables and columns are asked for in other cases than the
    // file spells them, from a read-only file in a read-only folder. Imported into an empty Norva.db,
    // every row keeps its RowId.
    void readsAndImportsEveryCellAsStored()
    {
        QFETCH(QString, file);
        const QJsonObject tables =
            QJsonDocument::fromJson(readFile(dataFile(file.section(u'.', 0, 0) + u".expected.json"_s)))
                .object()["tables"_L1]
                .toObject();
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        QVERIFY(QFile::copy(dataFile(file), path) && QFile::setPermissions(path, QFile::ReadOwner));
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        Workspace workspace;
        exchange::AccessImport(path).run(exchange::AccessImport::Mode::Add);
        QStringList want, read, imported; // "table|cell|cell...", a NULL as "<NULL>"
        AccessFile access(path);
        QTEST(AccessFile::formatName(access.format()), "format");
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
                    cells << (row[column].isNull()     ? u"<NULL>"_s
                              : row[column].isDouble() ? QString::number(row[column].toInteger())
                                                       : row[column].toString());
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
        QVERIFY(readFile(path) == readFile(dataFile(file)));
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
        QTest::newRow("empty file") << QByteArray() << broken;
        QTest::newRow("first page only") << whole.left(4096) << broken;
        QTest::newRow("cut mid-page") << whole.left(whole.size() / 2 + 1000) << broken;
        QTest::newRow("2007, cut mid-page") << whole2007.left(whole2007.size() - 100) << broken;
        QTest::newRow("cut at a page") << whole.left(whole.size() / 4096 * 4096 - 8 * 4096) << broken;
        QTest::newRow("2007, cut at a page") << whole2007.left(whole2007.size() - 16 * 4096) << broken;
        QTest::newRow("the table list's page zeroed") << zeroed(6) << broken;
        QTest::newRow("the table list's map zeroed") << zeroed(14) << broken;
        // libmdb may complain in English of the damaged page; the terminal stays silent all the same.
        QTest::newRow("long values of the tables' properties zeroed") << zeroed(23) << QString();
        const auto utf16 = [](const QString &text) {
            return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        };
        QTest::newRow("a column the import needs missing")
            << QByteArray(whole).replace(utf16(u"Baslik"_s), utf16(u"Baslxk"_s))
            << u"\"Linkler\" tablosunda \"Baslik\" sütunu yok."_s;
        QTest::newRow("no such file") << QByteArray("-") << u"Norva.mdb\" dosyası açılamadı."_s;
        QTest::newRow("a FIFO") << QByteArray("fifo") << u"Norva.mdb\" bir dosya değil (bir aygıt ya da boru)"_s;
        QTest::newRow("a folder") << QByteArray("folder") << u"Norva.mdb\" bir klasör; bir dosya seçin."_s;
        QTest::newRow("no permission to read")
            << QByteArray("unreadable") << u"Norva.mdb\" dosyasını okuma izniniz yok."_s;
        // A database password is kept masked at 0x42; the fixtures have none, so the stored bytes
        // are the mask itself and a password laid over them changes them.
        const QString refused = u"Bu Access dosyası parola korumalı ya da şifrelenmiş; okunamıyor. Dosyayı Access'te "
                                u"açıp parolasını kaldırdıktan sonra yeniden deneyin."_s;
        const auto flipped = [](QByteArray file, int at, char by) {
            return file.replace(at, 1, QByteArray(1, char(file.at(at) ^ by)));
        };
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
        std::optional<std::jthread> writer;
        if (content == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            // Lets a reader that waits in open() go on (to read nothing) rather than hang the test.
            writer.emplace([fifo = QFile::encodeName(path)](std::stop_token stop) {
                for (int fd = -1; fd < 0 && !stop.stop_requested(); std::this_thread::sleep_for(10ms))
                    if ((fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK)) >= 0)
                        ::close(fd);
            });
        } else if (content == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (content != "-") {
            writeFile(path, content == "unreadable" ? testData(u"exchange/data/Norva.mdb"_s) : content);
        }
        const auto refused = [&] {
            try {
                AccessFile access(path);
                for (const QString &table : access.tables())
                    access.rows(table, access.columns(table));
                exchange::AccessImport{path};
                return message.isEmpty() ? 0 : 11;
            } catch (const AccessError &e) {
                const bool cut = e.message.endsWith(u"tablosu okunamadı; dosya bozuk olabilir."_s);
                return !message.isEmpty() && (e.message.contains(message) || cut) ? 0 : 11;
            }
        };
        if (content == "unreadable") { // root reads anything: the file is opened by a child that gives up root
            QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
            QVERIFY(QFile::setPermissions(dir.path(),
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther));
        }
        int code = -1;
        QCOMPARE(
            writtenToTheTerminal([&] { code = content == "unreadable" ? inChildWithoutRoot(refused) : refused(); }),
            QByteArray());
        QCOMPARE(code, 0);
    }

    // A number or a date as the file stores it becomes text, and that text what the entry dialog writes.
    void valuesBecomeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const auto stored = [](const char *name, StoredType type, auto value, const QString &expected) {
            const QByteArrayView bytes(reinterpret_cast<const char *>(&value), sizeof value);
            QTest::newRow(name) << exchange::storedText(type, bytes).value_or(QString()) << expected;
        };
        const auto imported = [](const char *name, ColumnRole role, Kind kind, const QString &text,
                                 const QString &expected) {
            QTest::newRow(name) << exchange::importedText(role, kind, text) << expected;
        };
        stored("byte", StoredType::Byte, quint8(200), u"200"_s);
        stored("integer", StoredType::Integer, qint16(-7), u"-7"_s);
        stored("long integer", StoredType::LongInteger, qint32(2025), u"2025"_s);
        stored("currency", StoredType::Currency, qint64(12505000), u"1250.5"_s);
        stored("currency, negative", StoredType::Currency, qint64(-10001), u"-1.0001"_s);
        stored("currency, whole", StoredType::Currency, qint64(150000000), u"15000"_s);
        stored("single", StoredType::Single, 36.45f, u"36.45"_s);
        stored("double", StoredType::Double, 1233.570543, u"1233.570543"_s);
        stored("double, large", StoredType::Double, 1e15, u"1000000000000000"_s);
        stored("date", StoredType::Date, 45731.0, u"2025-03-15T00:00:00"_s);
        stored("date and time", StoredType::Date, 45731.75, u"2025-03-15T18:00:00"_s);
        stored("date before 1900", StoredType::Date, -1.25, u"1899-12-29T06:00:00"_s);
        stored("wrong size", StoredType::Double, 0.0f, QString());
        imported("amount, whole", ColumnRole::Amount, Kind::Number, u"15000"_s, u"15000.00"_s);
        imported("amount, one decimal", ColumnRole::Amount, Kind::Number, u"1250.5"_s, u"1250.50"_s);
        imported("amount, negative", ColumnRole::Amount, Kind::Number, u"-3.75"_s, u"-3.75"_s);
        imported("amount, more decimals kept", ColumnRole::Amount, Kind::Number, u"1233.570543"_s, u"1233.570543"_s);
        imported("amount as text", ColumnRole::Amount, Kind::Text, u"3750.500000"_s, u"3750.500000"_s);
        imported("day of a date", ColumnRole::Day, Kind::Date, u"2025-03-05T00:00:00"_s, u"5"_s);
        imported("month of a date", ColumnRole::Month, Kind::Date, u"2025-03-05T00:00:00"_s, u"3"_s);
        imported("year of a date", ColumnRole::Year, Kind::Date, u"2025-03-05T00:00:00"_s, u"2025"_s);
        imported("day as a number", ColumnRole::Day, Kind::Number, u"7"_s, u"7"_s);
        imported("day as text, kept", ColumnRole::Day, Kind::Text, u"07"_s, u"07"_s);
        imported("other date", ColumnRole::Plain, Kind::Date, u"2024-11-14T00:00:00"_s, u"14.11.2024"_s);
        imported("other date and time", ColumnRole::Plain, Kind::Date, u"2024-11-14T09:05:00"_s,
                 u"14.11.2024 9:05:00"_s);
    }
    void valuesBecomeText()
    {
        QFETCH(QString, text);
        QTEST(text, "expected");
    }
};

QTEST_GUILESS_MAIN(TestAccess)
#include "tst_access.moc"
