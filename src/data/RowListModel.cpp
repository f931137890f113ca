#include "data/RowListModel.h"

#include "data/Database.h"
#include "data/TurkishOrder.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <string>
#include <string_view>

using namespace Qt::StringLiterals;

RowListModel::RowListModel(bool sorted, QObject *parent) : QAbstractListModel(parent), m_sorted(sorted)
{}

int RowListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant RowListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const Row &r = m_rows[size_t(index.row())];
    if (role == Qt::DisplayRole)
        return r.text;
    if (role == Qt::UserRole)
        return r.rowId;
    return {};
}

void RowListModel::setRows(std::vector<Row> rows)
{
    show(std::move(rows), 0);
}

void RowListModel::show(std::vector<Row> rows, int unreadable)
{
    if (m_sorted)
        sortTurkish(rows);
    beginResetModel();
    m_rows = std::move(rows);
    m_unreadable = unreadable;
    endResetModel();
}

void RowListModel::load(const db::ListQuery &query)
{
    db::Connection connection;
    load(connection, query);
}

void RowListModel::load(const db::ListQuery &query, const std::function<void(db::Connection &)> &then)
{
    db::Connection connection;
    load(connection, query);
    then(connection);
}

void RowListModel::load(db::Connection &connection, const db::ListQuery &query)
{
    const QString statement =
        query.order ? query.statement + u" ORDER BY "_s + QLatin1StringView(query.order) : query.statement;
    db::Rows rows = connection.query(statement, query.values);
    std::vector<Row> read;
    int unreadable = 0;
    try {
        for (; !rows.atEnd(); rows.moveNext()) {
            try {
                read.push_back({rows.listedText(query.textColumn), rows.rowId()});
            } catch (const db::Error &error) {
                // Only a value that could not be converted is left out; anything
                // else ends the walk.
                if (error.failure != db::Failure::ValueNotRead)
                    throw;
                ++unreadable;
            }
        }
    } catch (const db::Error &) {
        show(std::move(read), unreadable);
        throw;
    }
    show(std::move(read), unreadable);
}

namespace {

// Puts the rows in the order of their keys, equal keys keeping their order.
template <typename Less>
void sortByKeys(std::vector<RowListModel::Row> &rows, Less less)
{
    std::vector<size_t> index(rows.size());
    for (size_t i = 0; i < index.size(); ++i)
        index[i] = i;
    std::stable_sort(index.begin(), index.end(), less);
    std::vector<RowListModel::Row> sorted;
    sorted.reserve(rows.size());
    for (size_t i : index)
        sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
}

} // namespace

void sortTurkish(std::vector<RowListModel::Row> &rows)
{
    // One key per row, then plain comparisons of keys: far cheaper than asking
    // the collator for every comparison of the sort. The table's keys share
    // one buffer.
    const TurkishOrder &order = TurkishOrder::instance();
    std::string buffer;
    std::vector<size_t> ends;
    ends.reserve(rows.size());
    for (const RowListModel::Row &row : rows) {
        if (!order.appendKey(row.text, buffer))
            break;
        ends.push_back(buffer.size());
    }
    if (ends.size() == rows.size()) {
        std::vector<std::string_view> keys(rows.size());
        for (size_t i = 0, begin = 0; i < rows.size(); begin = ends[i++])
            keys[i] = std::string_view(buffer).substr(begin, ends[i] - begin);
        sortByKeys(rows, [&](size_t a, size_t b) { return keys[a] < keys[b]; });
        return;
    }
    // A character outside the table: the collator keys every row.
    QCollator collator{QLocale(QLocale::Turkish, QLocale::Turkey)};
    std::vector<QCollatorSortKey> keys;
    keys.reserve(rows.size());
    for (const RowListModel::Row &row : rows)
        keys.push_back(collator.sortKey(row.text));
    sortByKeys(rows, [&](size_t a, size_t b) { return keys[a].compare(keys[b]) < 0; });
}

void sortTurkish(QStringList &texts)
{
    std::vector<RowListModel::Row> rows;
    rows.reserve(size_t(texts.size()));
    for (const QString &text : texts)
        rows.push_back({text, -1});
    sortTurkish(rows);
    for (qsizetype i = 0; i < texts.size(); ++i)
        texts[i] = rows[size_t(i)].text;
}
