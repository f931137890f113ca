#include "data/TableStatements.h"

#include "data/Dialect.h"

#include <QByteArrayList>

namespace sql {

namespace {

QByteArray fieldList(const schema::Table &table)
{
    QByteArrayList names;
    for (const schema::Column &column : table.columns.subspan(1))
        names.append(column.name);
    return names.join(", ");
}

} // namespace

QByteArray selectFields(const schema::Table &table)
{
    return "SELECT " + fieldList(table) + " FROM " + table.name;
}

QByteArray selectRows(const schema::Table &table)
{
    return "SELECT RowId, " + fieldList(table) + " FROM " + table.name + " ORDER BY RowId";
}

QByteArray deleteAll(const schema::Table &table)
{
    return QByteArray("DELETE FROM ") + table.name;
}

QByteArray insertRows(const schema::Table &table, qsizetype rows, bool withRowIds)
{
    const qsizetype width = qsizetype(table.columns.size()) - (withRowIds ? 0 : 1);
    const QByteArray row = '(' + QByteArrayList(width, "?").join(", ") + ')';
    return "INSERT INTO " + QByteArray(table.name) + " (" + (withRowIds ? "RowId, " : "") + fieldList(table) +
           ") VALUES " + QByteArrayList(rows, row).join(", ");
}

QByteArray updateSealed(const schema::Table &table)
{
    QByteArrayList sets;
    for (const schema::Column &column : table.columns)
        if (column.sealed)
            sets.append(QByteArray(column.name) + "=?");
    return "UPDATE " + QByteArray(table.name) + " SET " + sets.join(", ") + " WHERE RowId=?";
}

QByteArray copyToTrash(db::Database::Engine engine, const schema::Table &table, const char *remove)
{
    constexpr QByteArrayView kDelete("DELETE FROM ");
    const QByteArrayView rows = QByteArrayView(remove).sliced(kDelete.size()); // "<table> WHERE ..."
    Q_ASSERT(QByteArrayView(remove).startsWith(kDelete) && rows.startsWith(table.name));
    QByteArrayList record;
    for (const schema::Column &column : table.columns.subspan(1))
        record.append('\'' + QByteArray(column.name) + "', " + column.name);
    return "INSERT INTO Trash (Kind, OriginalRowId, Record, Summary, DeletedAt) SELECT '" + QByteArray(table.name) +
           "', RowId, " + db::dialect::recordObject(engine, record.join(", ")) + ", " + table.summary + ", " +
           db::dialect::nowUtc(engine) + " FROM " + rows.toByteArray();
}

QByteArray restoreFromTrash(db::Database::Engine engine, const schema::Table &table)
{
    const QByteArray name(table.name);
    QByteArrayList values;
    for (const schema::Column &column : table.columns.subspan(1))
        values.append(db::dialect::recordField(engine, "Record", column.name));
    return "INSERT INTO " + name + " (RowId, " + fieldList(table) + ") SELECT CASE WHEN EXISTS (SELECT 1 FROM " + name +
           " AS Taken WHERE Taken.RowId = Item.OriginalRowId) THEN " + db::dialect::newRowId(engine, table.name) +
           " ELSE Item.OriginalRowId END, " + values.join(", ") +
           " FROM Trash AS Item WHERE Item.RowId = ? RETURNING RowId";
}

QByteArray anyRecords(std::span<const schema::Table> tables)
{
    QByteArrayList any;
    for (const schema::Table &table : tables)
        any.append("EXISTS (SELECT 1 FROM " + QByteArray(table.name) + ')');
    return "SELECT CASE WHEN " + any.join(" OR ") + " THEN 1 ELSE 0 END AS Records";
}

} // namespace sql
