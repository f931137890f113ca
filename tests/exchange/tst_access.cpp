#include "Workspace.h"

#include "exchange/AccessFile.h"
#include "exchange/AccessImport.h"
#include "exchange/StoredValue.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using exchange::AccessError;
using exchange::AccessFile;

namespace {

QString dataFile(const QString &name)
{
    return testDataPath(u"exchange/data/"_s + name);
}

} // namespace

class TestAccess : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryCellAsStored_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("format");
        QTest::newRow("Access 2000 file") << u"Norva.mdb"_s << u"Norva.expected.json"_s << u"Access 2000–2003"_s;
        QTest::newRow("Access 2007 file") << u"Norva.accdb"_s << u"Norva.expected.json"_s << u"Access 2007 veya üstü"_s;
        QTest::newRow("2000, NULL beside ''")
            << u"Norva-nulls.mdb"_s << u"Norva-nulls.expected.json"_s << u"Access 2000–2003"_s;
        QTest::newRow("2007, NULL beside ''")
            << u"Norva-nulls.accdb"_s << u"Norva-nulls.expected.json"_s << u"Access 2007 veya üstü"_s;
    }
    // Every cell as the file holds it: Turkish letters stored compressed or
    // not, CR LF, characters outside the BMP, NULL apart from ''. Tables and
    // columns are asked for in other cases than the file spells them.
    void readsEveryCellAsStored()
    {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        QFETCH(QString, format);
        const QJsonObject tables =
            QJsonDocument::fromJson(readFile(dataFile(expected))).object().value("tables"_L1).toObject();
        QCOMPARE(tables.size(), 6);
        const QByteArray before = readFile(dataFile(file));
        try {
            AccessFile access(dataFile(file));
            QCOMPARE(AccessFile::formatName(access.format()), format);
            QStringList names = access.tables();
            names.sort();
            QCOMPARE(names, tables.keys());
            for (const QString &table : tables.keys()) {
                const QJsonObject expectedTable = tables.value(table).toObject();
                QStringList columns;
                QStringList askedFor;
                for (const QJsonValue &column : expectedTable.value("columns"_L1).toArray()) {
                    columns.append(column.toObject().value("name"_L1).toString());
                    askedFor.append(columns.last().toUpper());
                }
                QCOMPARE(access.findTable(table.toLower()), table);
                QCOMPARE(access.columns(table), columns);

                // Each row's cells joined by '|', a NULL as "<NULL>".
                QStringList got, want;
                for (const exchange::Row &row : access.rows(table.toLower(), askedFor)) {
                    QStringList cells;
                    for (const exchange::Cell &cell : row)
                        cells << cell.value_or(u"<NULL>"_s);
                    got << cells.join(u'|');
                }
                for (const QJsonValue &row : expectedTable.value("rows"_L1).toArray()) {
                    QStringList cells;
                    for (const QString &column : columns) {
                        const QJsonValue cell = row.toObject().value(column);
                        cells << (cell.isNull()     ? u"<NULL>"_s
                                  : cell.isDouble() ? QString::number(cell.toInteger())
                                                    : cell.toString());
                    }
                    want << cells.join(u'|');
                }
                QCOMPARE(got, want);
            }
        } catch (const AccessError &e) {
            QFAIL(qPrintable(e.message + u' ' + e.detail));
        }
        QVERIFY(readFile(dataFile(file)) == before);
    }

    void namesWhatIsMissing_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QString>("message");
        QTest::newRow("table") << u"Hatirlatmalar"_s << QStringList{u"RowId"_s}
                               << u"Dosyada \"Hatirlatmalar\" tablosu yok."_s;
        QTest::newRow("column") << u"firmalar"_s << QStringList{u"RowId"_s, u"Faks"_s}
                                << u"\"Firmalar\" tablosunda \"Faks\" sütunu yok."_s;
    }
    void namesWhatIsMissing()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        QFETCH(QString, message);
        AccessFile access(dataFile(u"Norva-nulls.mdb"_s));
        try {
            access.rows(table, columns);
            QFAIL("read");
        } catch (const AccessError &e) {
            QCOMPARE(e.message, message);
        }
        QCOMPARE(access.findTable(table).isEmpty(), table != "firmalar"_L1);
    }

    // A file on a place this user cannot write opens all the same.
    void readsAReadOnlyFileInAReadOnlyFolder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Norva.accdb"_s);
        QVERIFY(QFile::copy(dataFile(u"Norva.accdb"_s), path));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        {
            AccessFile access(path);
            QCOMPARE(access.rows(u"GelirGider"_s, {u"IslemTutari"_s}).size(), 300);
        }
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(readFile(path) == readFile(dataFile(u"Norva.accdb"_s)));
    }

    void refusesWhatIsNotAWholeAccessFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const QString broken = u"Bu dosya bir Access veritabanı değil ya da bozuk."_s;
        const QByteArray whole = testData(u"exchange/data/Norva.mdb"_s);
        const QByteArray whole2007 = testData(u"exchange/data/Norva.accdb"_s);
        QTest::newRow("text file named .mdb") << u"Firma;Adres\r\nŞahin;İzmir\r\n"_s.toUtf8() << broken;
        QTest::newRow("empty file") << QByteArray() << broken;
        QTest::newRow("first page only") << whole.left(4096) << broken;
        QTest::newRow("cut mid-page") << whole.left(whole.size() / 2 + 1000) << broken;
        QTest::newRow("2007, cut mid-page") << whole2007.left(whole2007.size() - 100) << broken;
        QTest::newRow("cut at a page") << whole.left(whole.size() / 4096 * 4096 - 8 * 4096) << broken;
        QTest::newRow("2007, cut at a page") << whole2007.left(whole2007.size() - 16 * 4096) << broken;
        QTest::newRow("no such file") << QByteArray("-") << u"Norva.mdb\" dosyası açılamadı."_s;
        QTest::newRow("a FIFO") << QByteArray("fifo") << u"Norva.mdb\" bir dosya değil (bir aygıt ya da boru)"_s;
        QTest::newRow("a folder") << QByteArray("folder") << u"Norva.mdb\" bir klasör; bir dosya seçin."_s;
        QTest::newRow("no permission to read")
            << QByteArray("unreadable") << u"Norva.mdb\" dosyasını okuma izniniz yok."_s;
        // A database password is kept masked at 0x42; the fixtures have none, so
        // the stored bytes are the mask itself and a password is laid over them.
        const QString refused = u"Bu Access dosyası parola korumalı ya da şifrelenmiş; okunamıyor. Dosyayı Access'te "
                                u"açıp parolasını kaldırdıktan sonra yeniden deneyin."_s;
        const auto withPassword = [](QByteArray file) {
            const QString password = u"gizli"_s;
            for (qsizetype i = 0; i < password.size(); ++i)
                file[0x42 + 2 * i] = char(file.at(0x42 + 2 * i) ^ password.at(i).unicode());
            return file;
        };
        QTest::newRow("2000 with a password") << withPassword(whole) << refused;
        QTest::newRow("2007 with a password") << withPassword(whole2007) << refused;
        QByteArray encoded = whole;
        encoded[0x3e] = char(encoded.at(0x3e) ^ 0x5a);
        QTest::newRow("2000, encoded") << encoded << refused;
    }
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
        // Refused on opening, or at the latest on reading a table.
        const auto refusal = [&]() -> QString {
            try {
                AccessFile access(path);
                for (const QString &table : access.tables())
                    access.rows(table, access.columns(table));
                return u"read"_s;
            } catch (const AccessError &e) {
                return e.message;
            }
        };
        const auto refused = [&](const QString &said) {
            return said.contains(message) || said.endsWith(u"tablosu okunamadı; dosya bozuk olabilir."_s);
        };
        if (content == "unreadable") {
            // Root reads anything: the file is opened by a child that gives up root first.
            QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
            QVERIFY(QFile::setPermissions(dir.path(),
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther));
            QCOMPARE(inChildWithoutRoot([&] { return refused(refusal()) ? 0 : 11; }), 0);
        } else {
            const QString said = refusal();
            QVERIFY2(refused(said), qPrintable(said));
        }
    }

    void storedValuesBecomeText_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        using exchange::StoredType;
        const auto bytesOf = [](auto value) {
            return QByteArray(reinterpret_cast<const char *>(&value), sizeof value);
        };
        QTest::newRow("byte") << int(StoredType::Byte) << bytesOf(quint8(200)) << u"200"_s;
        QTest::newRow("integer") << int(StoredType::Integer) << bytesOf(qint16(-7)) << u"-7"_s;
        QTest::newRow("long integer") << int(StoredType::LongInteger) << bytesOf(qint32(2025)) << u"2025"_s;
        QTest::newRow("currency") << int(StoredType::Currency) << bytesOf(qint64(12505000)) << u"1250.5"_s;
        QTest::newRow("currency, negative") << int(StoredType::Currency) << bytesOf(qint64(-10001)) << u"-1.0001"_s;
        QTest::newRow("currency, whole") << int(StoredType::Currency) << bytesOf(qint64(150000000)) << u"15000"_s;
        QTest::newRow("single") << int(StoredType::Single) << bytesOf(36.45f) << u"36.45"_s;
        QTest::newRow("double") << int(StoredType::Double) << bytesOf(1233.570543) << u"1233.570543"_s;
        QTest::newRow("double, large") << int(StoredType::Double) << bytesOf(1e15) << u"1000000000000000"_s;
        QTest::newRow("date") << int(StoredType::Date) << bytesOf(45731.0) << u"2025-03-15T00:00:00"_s;
        QTest::newRow("date and time") << int(StoredType::Date) << bytesOf(45731.75) << u"2025-03-15T18:00:00"_s;
        QTest::newRow("date before 1900") << int(StoredType::Date) << bytesOf(-1.25) << u"1899-12-29T06:00:00"_s;
        QTest::newRow("wrong size") << int(StoredType::Double) << QByteArray(4, '\0') << QString();
    }
    void storedValuesBecomeText()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, bytes);
        QTEST(exchange::storedText(exchange::StoredType(type), bytes).value_or(QString()), "text");
    }

    // A number or a date becomes what the entry dialog writes; a text stays as stored.
    void valuesBecomeWhatTheProgramWrites_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("imported");
        using exchange::ColumnRole;
        using exchange::Kind;
        const auto row = [](const char *name, ColumnRole role, Kind kind, const QString &stored,
                            const QString &imported) {
            QTest::newRow(name) << int(role) << int(kind) << stored << imported;
        };
        row("amount, whole", ColumnRole::Amount, Kind::Number, u"15000"_s, u"15000.00"_s);
        row("amount, one decimal", ColumnRole::Amount, Kind::Number, u"1250.5"_s, u"1250.50"_s);
        row("amount, negative", ColumnRole::Amount, Kind::Number, u"-3.75"_s, u"-3.75"_s);
        row("amount, more decimals kept", ColumnRole::Amount, Kind::Number, u"1233.570543"_s, u"1233.570543"_s);
        row("amount as text", ColumnRole::Amount, Kind::Text, u"3750.500000"_s, u"3750.500000"_s);
        row("day of a date", ColumnRole::Day, Kind::Date, u"2025-03-05T00:00:00"_s, u"5"_s);
        row("month of a date", ColumnRole::Month, Kind::Date, u"2025-03-05T00:00:00"_s, u"3"_s);
        row("year of a date", ColumnRole::Year, Kind::Date, u"2025-03-05T00:00:00"_s, u"2025"_s);
        row("day as a number", ColumnRole::Day, Kind::Number, u"7"_s, u"7"_s);
        row("day as text, kept", ColumnRole::Day, Kind::Text, u"07"_s, u"07"_s);
        row("other date", ColumnRole::Plain, Kind::Date, u"2024-11-14T00:00:00"_s, u"14.11.2024"_s);
        row("other date and time", ColumnRole::Plain, Kind::Date, u"2024-11-14T09:05:00"_s, u"14.11.2024 9:05:00"_s);
        row("rate", ColumnRole::Plain, Kind::Number, u"36.45"_s, u"36.45"_s);
        row("yes/no", ColumnRole::Plain, Kind::YesNo, u"1"_s, u"1"_s);
    }
    void valuesBecomeWhatTheProgramWrites()
    {
        QFETCH(int, role);
        QFETCH(int, kind);
        QFETCH(QString, stored);
        QTEST(exchange::importedText(exchange::ColumnRole(role), exchange::Kind(kind), stored), "imported");
    }
};

QTEST_GUILESS_MAIN(TestAccess)
#include "tst_access.moc"
