#pragma once

#include <QAbstractListModel>

#include <functional>
#include <vector>

namespace db {
class Connection;
struct ListQuery;
} // namespace db

// The rows of a list or combo box filled from the database: one text per row
// and the row's RowId (in Qt::UserRole). Filled in one reset after the walk.
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

    void setRows(std::vector<Row> rows); // sorted in Turkish order where the list is sorted
    const Row &row(int index) const { return m_rows[size_t(index)]; }

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

private:
    void show(std::vector<Row> rows, int unreadable);

    bool m_sorted;
    std::vector<Row> m_rows;
    int m_unreadable = 0;
};

// Sorts texts the way a Turkish reader expects (Ç after C, I before İ, ...).
void sortTurkish(std::vector<RowListModel::Row> &rows);
void sortTurkish(QStringList &texts);
