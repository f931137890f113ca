#include "records/RecordList.h"

#include "data/RowListModel.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "platform/ServerChanges.h"
#include "platform/StoredValues.h"

#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QStyleOptionComboBox>

using namespace Qt::StringLiterals;

RecordList::RecordList(QListView *view, std::function<void()> onSelected, QObject *parent)
    : QObject(parent), m_view(view), m_model(new RowListModel(false, this)), m_onSelected(std::move(onSelected))
{
    m_view->setModel(m_model);
    elideStoredValues(m_view);
    // A long list is laid out a screenful at a time, so it shows at once.
    m_view->setLayoutMode(QListView::Batched);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (current.isValid())
            runHandler();
    });
    // A click on the item that is already current changes nothing in the
    // view, yet the user means to select it.
    connect(m_view, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (!m_handled && index == m_view->currentIndex())
            runHandler();
    });
}

void RecordList::load(const db::ListQuery &query, const std::function<void(db::Connection &listed)> &showFirst)
{
    m_model->load(query, [&](db::Connection &listed) {
        if (count() > 0) {
            highlightFirst(true);
            showFirst(listed);
        }
    });
}

void RecordList::clear()
{
    m_model->setRows({});
}

int RecordList::count() const
{
    return m_model->rowCount();
}

void RecordList::showUnreadable(QLabel *note) const
{
    note->setText(db::unreadableNote(m_model->unreadable()));
    note->setVisible(m_model->unreadable() > 0);
}

std::optional<qint32> RecordList::selectedRowId() const
{
    // A click makes the item current before it selects it, and the handler
    // runs in between: the current item is the one meant.
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid())
        return std::nullopt;
    return m_model->rowId(current.row());
}

void RecordList::highlightFirst(bool shown)
{
    const QSignalBlocker blocker(m_view->selectionModel());
    m_view->setCurrentIndex(m_model->index(0, 0));
    m_view->viewport()->update(); // the blocked signals would have repainted it
    m_handled = shown;
}

void RecordList::select(qint32 rowId)
{
    if (const int row = m_model->indexOf(rowId); row >= 0)
        m_view->setCurrentIndex(m_model->index(row, 0));
}

void RecordList::clearSelection()
{
    const QSignalBlocker blocker(m_view->selectionModel());
    m_view->selectionModel()->clear();
    m_view->viewport()->update(); // the blocked signals would have repainted it
}

void RecordList::markUnhandled()
{
    m_handled = false;
}

void RecordList::runHandler()
{
    m_handled = true;
    m_onSelected();
}

EntryComboBox::EntryComboBox(QWidget *parent) : QComboBox(parent)
{
    elideStoredValues(this);
}

QSize EntryComboBox::sizeHint() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QFontMetrics metrics = fontMetrics();
    const QSize text(metrics.horizontalAdvance(u'x') * minimumContentsLength(), metrics.height());
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, this);
}

void EntryComboBox::showStored(const QString &value)
{
    static const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    const int fixed = count() - (m_extra ? 1 : 0);
    const QString wanted = turkish.toUpper(value);
    for (int i = 0; i < fixed; ++i) {
        if (turkish.toUpper(itemText(i)) == wanted) {
            setCurrentIndex(i);
            if (m_extra)
                removeItem(fixed);
            m_extra = false;
            return;
        }
    }
    if (m_extra)
        setItemText(fixed, value);
    else
        addItem(value);
    m_extra = true;
    setCurrentIndex(fixed);
}

void reportVanishedRecord()
{
    db::showGone(u"Bu kayıt artık mevcut değil"_s);
}

void RecordList::followChanges(const QStringList &tables, const std::function<db::ListQuery()> &query,
                               const std::function<void()> &reloadWhole, const std::function<void()> &counted)
{
    followList(
        parent(), tables, m_view, m_model, [query] { return std::optional(query()); }, reloadWhole, counted);
}
