#pragma once

#include <QAbstractListModel>

#include <functional>
#include <string>
#include <vector>

namespace db {
class Connection;
struct ListQuery;
} // namespace db

// The rows of a list or combo box filled from the database: one text per row
// and the row's RowId (in Qt::UserRole). Filled in one reset after the walk.
// The texts are kept as the database gave them, in UTF-8 one after another in
// one buffer, and decoded only for the rows a view asks for: a list of a
// hundred thousand rows costs little more than the walk.
class RowListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    struct Row
    {
        QString text;
        qint32 rowId = -1;
    };

    explicit RowListModel(bool sorted, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    void setRows(const std::vector<Row> &rows); // sorted in Turkish order where the list is sorted
    Row row(int index) const { return {text(index), rowId(index)}; }
    QString text(int index) const;
    qint32 rowId(int index) const { return m_rows.entries[size_t(index)].rowId; }
    // The row of `rowId`, or -1 when none has it.
    int indexOf(qint32 rowId) const;

    // Runs the query with its values and shows the text of its column for
    // every row, with its RowId. A row whose text or RowId cannot be read (a
    // NULL left by another program) is left out and counted in unreadable().
    // When the query itself fails the list stays as it was; when the walk
    // fails half-way the rows read so far are shown. Throws db::Error.
    void load(const db::ListQuery &query);
    // The same on a connection that is open already.
    void load(db::Connection &connection, const db::ListQuery &query);
    // The same, then `then` runs on the list's connection before it closes (a
    // dialog reads there the record it shows first). Not run when the load fails.
    void load(const db::ListQuery &query, const std::function<void(db::Connection &)> &then);

    // The rows the last load left out; setRows() sets it back to 0.
    int unreadable() const { return m_unreadable; }
    // The bytes the rows take in memory, texts and RowIds.
    qsizetype bytesHeld() const;

private:
    struct Entry
    {
        quint32 begin; // of its text in the buffer, which ends where the next row's begins
        qint32 rowId;
    };
    struct Rows
    {
        std::string texts;
        std::vector<Entry> entries;

        void append(QByteArrayView text, qint32 rowId);
        QByteArrayView text(size_t index) const;
        Rows inTurkishOrder() const;
    };

    void show(Rows rows, int unreadable);

    bool m_sorted;
    Rows m_rows;
    int m_unreadable = 0;
};

// Sorts texts the way a Turkish reader expects (Ç after C, I before İ, ...).
void sortTurkish(std::vector<RowListModel::Row> &rows);
void sortTurkish(QStringList &texts);
