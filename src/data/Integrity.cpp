#include "data/Backup.h"

#include "data/BackupInternal.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/SqliteSql.h"

#include <QFile>
#include <QFileInfo>

#include <map>

using namespace Qt::StringLiterals;

namespace db {

QStringList firstColumn(Connection &connection, const QString &statement)
{
    QStringList values;
    for (Rows rows = connection.query(statement); !rows.atEnd(); rows.moveNext())
        values << QString::fromUtf8(rows.utf8(0));
    return values;
}

namespace {

// The tables the steps make and the columns a file of `version` has in them. A column a
// later step adds is not expected yet: the file gets it at start.
std::map<QString, QStringList> expectedColumns(std::span<const schema::Step> steps, int version)
{
    std::map<QString, QStringList> tables;
    for (const schema::Step &step : steps) {
        for (const schema::Table &table : step.tables)
            for (const schema::Column &column : table.columns)
                tables[QString::fromUtf8(table.name)] << QString::fromUtf8(column.name);
        for (const schema::AddedColumn &added : step.added)
            if (version >= step.version)
                tables[QString::fromUtf8(added.table)] << QString::fromUtf8(added.name);
    }
    return tables;
}

} // namespace

FileFault damage(const QString &path)
{
    return damage(path, schema::kSteps);
}

FileFault damage(const QString &path, std::span<const schema::Step> steps)
{
    QFile file(path);
    if (!file.exists() || file.size() == 0)
        return {};
    const QString name = QFileInfo(path).fileName();
    // A file that is not the engine's is told by its first bytes, without opening it as a database.
    if (file.open(QIODevice::ReadOnly) && file.read(16) != QByteArray("SQLite format 3", 16))
        return {FileFault::Kind::NotADatabase, name};
    file.close();
    try {
        // Read-only: closing it never writes the journal into a file that may be damaged.
        Connection handle(Database::file(path, true));
        // The first fault found is enough to tell, and stops the check early.
        const QString found = firstColumn(handle, QString::fromUtf8(sqlite::kQuickCheck)).value(0);
        if (found != u"ok"_s) {
            const QStringList lines = found.split(u'\n', Qt::SkipEmptyParts);
            return {FileFault::Kind::CheckFailed, name, lines.value(lines.size() - 1).left(200)};
        }
        const int version = firstColumn(handle, QString::fromUtf8(sqlite::kVersion)).value(0).toInt();
        for (const auto &[table, columns] : expectedColumns(steps, version)) {
            const QStringList present = firstColumn(handle, QString::fromUtf8(sqlite::kColumnNames).arg(table));
            QStringList missing;
            for (const QString &column : columns)
                if (!present.isEmpty() && !present.contains(column, Qt::CaseInsensitive))
                    missing << column;
            if (!missing.isEmpty())
                return {FileFault::Kind::MissingColumns, name, {}, table, missing};
        }
    } catch (const Error &error) {
        // A lock held by another program, or no permission to read, says nothing of the file.
        if (error.kind == ErrorKind::NotADatabase || error.kind == ErrorKind::Damaged)
            return {FileFault::Kind::Damaged, name, error.description};
    }
    return {};
}

} // namespace db
