#include "exchange/AccessFile.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using exchange::AccessError;
using exchange::AccessFile;

namespace {

QString dataFile(const QString &name)
{
    return QStringLiteral(NORVA_ACCESS_DATA) + u'/' + name;
}

QByteArray hashOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                          : QByteArray();
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
        QFile json(dataFile(expected));
        QVERIFY(json.open(QIODevice::ReadOnly));
        const QJsonObject tables = QJsonDocument::fromJson(json.readAll()).object().value("tables"_L1).toObject();
        QCOMPARE(tables.size(), 6);

        const QByteArray before = hashOf(dataFile(file));
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
                QCOMPARE(access.rowCount(table.toUpper()), expectedTable.value("rowCount"_L1).toInt());

                const QList<exchange::Row> rows = access.rows(table.toLower(), askedFor);
                const QJsonArray expectedRows = expectedTable.value("rows"_L1).toArray();
                QCOMPARE(rows.size(), expectedRows.size());
                for (qsizetype r = 0; r < rows.size(); ++r) {
                    const QJsonObject expectedRow = expectedRows.at(r).toObject();
                    for (qsizetype c = 0; c < columns.size(); ++c) {
                        const QJsonValue want = expectedRow.value(columns.at(c));
                        const exchange::Cell &got = rows.at(r).at(c);
                        const QString where = u"%1 row %2 %3"_s.arg(table).arg(r + 1).arg(columns.at(c));
                        if (want.isNull()) {
                            QVERIFY2(!got.has_value(), qPrintable(where + u": not NULL"_s));
                        } else {
                            QVERIFY2(got.has_value(), qPrintable(where + u": NULL"_s));
                            const QString text = want.isDouble() ? QString::number(want.toInteger()) : want.toString();
                            QVERIFY2(*got == text, qPrintable(where + u": "_s + *got + u" != "_s + text));
                        }
                    }
                }
            }
        } catch (const AccessError &e) {
            QFAIL(qPrintable(e.message + u' ' + e.detail));
        }
        QCOMPARE(hashOf(dataFile(file)), before);
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
        QCOMPARE(access.rowCount(table), table == "firmalar"_L1 ? 3 : -1);
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
            QCOMPARE(access.rowCount(u"GelirGider"_s), 300);
            QCOMPARE(access.rows(u"GelirGider"_s, {u"IslemTutari"_s}).size(), 300);
        }
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(hashOf(path), hashOf(dataFile(u"Norva.accdb"_s)));
    }

    void refusesWhatIsNotAWholeAccessFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const QString broken = u"Bu dosya bir Access veritabanı değil ya da bozuk."_s;
        QFile mdb(dataFile(u"Norva.mdb"_s));
        QVERIFY(mdb.open(QIODevice::ReadOnly));
        const QByteArray whole = mdb.readAll();
        QFile accdb(dataFile(u"Norva.accdb"_s));
        QVERIFY(accdb.open(QIODevice::ReadOnly));
        const QByteArray whole2007 = accdb.readAll();
        QTest::newRow("text file named .mdb") << u"Firma;Adres\r\nŞahin;İzmir\r\n"_s.toUtf8() << broken;
        QTest::newRow("empty file") << QByteArray() << broken;
        QTest::newRow("first page only") << whole.left(4096) << broken;
        QTest::newRow("cut mid-page") << whole.left(whole.size() / 2 + 1000) << broken;
        QTest::newRow("2007, cut mid-page") << whole2007.left(whole2007.size() - 100) << broken;
        QTest::newRow("cut at a page") << whole.left(whole.size() / 4096 * 4096 - 8 * 4096) << broken;
        QTest::newRow("2007, cut at a page") << whole2007.left(whole2007.size() - 16 * 4096) << broken;
        QTest::newRow("no such file") << QByteArray("-") << u"Dosya okunamadı: Norva.mdb"_s;
    }
    void refusesWhatIsNotAWholeAccessFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Norva.mdb"_s);
        if (content != "-") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        // Refused on opening, or at the latest on reading a table.
        try {
            AccessFile access(path);
            for (const QString &table : access.tables())
                access.rows(table, access.columns(table));
            QFAIL("read");
        } catch (const AccessError &e) {
            QVERIFY2(e.message == message || e.message.endsWith(u"tablosu okunamadı; dosya bozuk olabilir."_s),
                     qPrintable(e.message));
        }
    }
};

QTEST_GUILESS_MAIN(TestAccess)
#include "tst_access.moc"
