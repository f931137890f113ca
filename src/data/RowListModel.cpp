#include "data/RowListModel.h"

#include "data/Database.h"
#include "data/TurkishOrder.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

using namespace Qt::StringLiterals;

void RowListModel::Rows::append(QByteArrayView text, qint32 rowId)
{
    // Offsets are 32 bits: a list of more than 4 GB of text would not be shown anyway.
    if (texts.size() + size_t(text.size()) > std::numeric_limits<quint32>::max())
        throw std::length_error("list too long");
    entries.push_back({quint32(texts.size()), rowId});
    texts.append(text.data(), size_t(text.size()));
}

QByteArrayView RowListModel::Rows::text(size_t index) const
{
    const quint32 begin = entries[index].begin;
    const quint32 end = index + 1 < entries.size() ? entries[index + 1].begin : quint32(texts.size());
    return QByteArrayView(texts.data() + begin, end - begin);
}

RowListModel::Rows RowListModel::Rows::inTurkishOrder() const
{
    Rows sorted;
    sorted.texts.reserve(texts.size());
    sorted.entries.reserve(entries.size());
    for (const quint32 i : turkishOrder(entries.size(), [this](size_t i) { return text(i); }))
        sorted.append(text(i), entries[i].rowId);
    return sorted;
}

RowListModel::RowListModel(bool sorted, QObject *parent) : QAbstractListModel(parent), m_sorted(sorted)
{}

int RowListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.entries.size());
}

QVariant RowListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return text(index.row());
    if (role == Qt::UserRole)
        return rowId(index.row());
    return {};
}

QString RowListModel::text(int index) const
{
    return QString::fromUtf8(m_rows.text(size_t(index)));
}

int RowListModel::indexOf(qint32 rowId) const
{
    const auto found = std::find_if(m_rows.entries.begin(), m_rows.entries.end(),
                                    [rowId](const Entry &entry) { return entry.rowId == rowId; });
    return found == m_rows.entries.end() ? -1 : int(found - m_rows.entries.begin());
}

qsizetype RowListModel::bytesHeld() const
{
    return qsizetype(m_rows.texts.capacity() + m_rows.entries.capacity() * sizeof(Entry));
}

void RowListModel::setRows(const std::vector<Row> &rows)
{
    Rows encoded;
    for (const Row &row : rows)
        encoded.append(row.text.toUtf8(), row.rowId);
    show(std::move(encoded), 0);
}

void RowListModel::show(Rows rows, int unreadable)
{
    if (m_sorted)
        rows = rows.inTurkishOrder();
    // Room the walk grew beyond its rows goes back when it is much; copying the
    // buffer again costs about as much as filling it.
    if (rows.texts.capacity() - rows.texts.size() > rows.texts.capacity() / 4)
        rows.texts.shrink_to_fit();
    if (rows.entries.capacity() - rows.entries.size() > rows.entries.capacity() / 4)
        rows.entries.shrink_to_fit();
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
    // A list read again is mostly as long as before: room for that at once
    // spares the buffer's growing.
    Rows read;
    read.texts.reserve(m_rows.texts.size());
    read.entries.reserve(m_rows.entries.size());
    int unreadable = 0;
    try {
        for (; !rows.atEnd(); rows.moveNext()) {
            try {
                const QByteArrayView text = rows.listedUtf8(query.textColumn);
                read.append(text, rows.rowId());
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

void sortTurkish(std::vector<RowListModel::Row> &rows)
{
    std::vector<RowListModel::Row> sorted;
    sorted.reserve(rows.size());
    for (const quint32 i : turkishOrder(rows.size(), [&rows](size_t i) { return QStringView(rows[i].text); }))
        sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
}

void sortTurkish(QStringList &texts)
{
    QStringList sorted;
    sorted.reserve(texts.size());
    for (const quint32 i : turkishOrder(size_t(texts.size()), [&texts](size_t i) { return QStringView(texts[i]); }))
        sorted.append(std::move(texts[i]));
    texts = std::move(sorted);
}
