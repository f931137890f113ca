#pragma once

#include <QComboBox>
#include <QObject>

#include <functional>
#include <optional>

class QLabel;
class QListView;
class RowListModel;

namespace db {
class Connection;
struct ListQuery;
} // namespace db

// The list of a record dialog: one text per record with its RowId, in the
// order the database returns them, and the dialog's selection handler.
class RecordList : public QObject
{
    Q_OBJECT
public:
    // `onSelected` runs when the user selects an item, also by clicking the
    // highlighted item while the dialog does not show it as selected (after a
    // delete, or while a new record is typed).
    RecordList(QListView *view, std::function<void()> onSelected, QObject *parent);

    // Shows the rows of `query` and highlights the first one, which `showFirst`
    // then shows, reading it on the list's connection: a dialog opens on one. Rows that cannot be read are left out
    // (see showUnreadable). When the query fails the list stays as it was; when the walk fails half-way the rows read
    // so far are shown. Throws db::Error.
    void load(const db::ListQuery &query, const std::function<void(db::Connection &listed)> &showFirst);
    void clear();
    int count() const; // the records listed
    // Says beside the count how many records the last load could not read;
    // hidden when it read them all.
    void showUnreadable(QLabel *note) const;

    std::optional<qint32> selectedRowId() const; // none when no item is highlighted
    // Highlights item 0 without running the handler. `shown`: the dialog shows
    // it as selected; otherwise the next click on it runs the handler.
    void highlightFirst(bool shown);
    // Selects the item of `rowId` and runs the handler, unless it is the item shown already; nothing
    // when no item has it.
    void select(qint32 rowId);
    void clearSelection(); // nothing highlighted
    void markUnhandled();  // the next click on the highlighted item runs the handler

    // Reads `query` again when another desk changes one of `tables`, the chosen record kept chosen
    // and shown as it is; where it is gone, `reloadWhole` (the dialog's own load) runs. `counted`
    // refreshes the count after.
    void followChanges(const QStringList &tables, const std::function<db::ListQuery()> &query,
                       const std::function<void()> &reloadWhole, const std::function<void()> &counted);

private:
    void runHandler();

    QListView *m_view;
    RowListModel *m_model;
    std::function<void()> m_onSelected;
    bool m_handled = false;
};

// A drop-down list as wide as `minimumContentsLength` characters. Unlike a
// plain QComboBox it neither measures every entry nor builds its popup before
// the popup is first opened, which makes a dialog of long lists open faster.
// A stored value too long for it is shown elided, whole in its tooltip.
class EntryComboBox : public QComboBox
{
public:
    explicit EntryComboBox(QWidget *parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Shows a stored value: the entry it names, ignoring case the Turkish way;
    // a value that names none (empty, or written by another program) as itself,
    // in one extra entry after the fixed ones, which goes again with the next
    // value shown.
    void showStored(const QString &value);

private:
    bool m_extra = false;
};

// The box for an UPDATE or DELETE that found its record gone (deleted by a
// second copy of the program, say).
void reportVanishedRecord();
