#include "data/RowListModel.h"

#include "data/Database.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

RowListModel::RowListModel(bool sorted, QObject *parent) : QAbstractListModel(parent), m_sorted(sorted) {}

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
    if (m_sorted)
        sortTurkish(rows);
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void RowListModel::clear()
{
    setRows({});
}

void RowListModel::load(const QString &statement, const char *textColumn)
{
    db::Connection connection;
    db::Rows rows = connection.query(statement);
    std::vector<Row> read;
    try {
        for (; !rows.atEnd(); rows.moveNext())
            read.push_back({rows.text(textColumn), rows.rowId()});
    } catch (const db::Error &) {
        setRows(std::move(read));
        throw;
    }
    setRows(std::move(read));
}

void sortTurkish(std::vector<RowListModel::Row> &rows)
{
    QCollator collator{QLocale(QLocale::Turkish, QLocale::Turkey)};
    // One sort key per row, then plain byte comparisons: far cheaper than
    // asking the collator for every comparison of the sort.
    struct Keyed
    {
        QCollatorSortKey key;
        size_t index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        keyed.push_back({collator.sortKey(rows[i].text), i});
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const Keyed &a, const Keyed &b) { return a.key.compare(b.key) < 0; });
    std::vector<RowListModel::Row> sorted;
    sorted.reserve(rows.size());
    for (const Keyed &k : keyed)
        sorted.push_back(std::move(rows[k.index]));
    rows = std::move(sorted);
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
