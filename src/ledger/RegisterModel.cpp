#include "ledger/RegisterModel.h"

#include <QColor>

using Column = analysis::Register::Column;

int RegisterModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.rowCount();
}

int RegisterModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : analysis::Register::ColumnCount;
}

QVariant RegisterModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.rowCount())
        return {};
    const auto column = Column(index.column());
    const bool money = column == Column::Amount || column == Column::Lira || column == Column::Balance;
    switch (role) {
    case Qt::DisplayRole: return m_rows.text(index.row(), column);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(money ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (m_rows.isNegative(index.row(), column))
            return QColor(0xd0, 0x10, 0x10);
        return {};
    case Qt::UserRole: return m_rows.rowId(index.row());
    default: return {};
    }
}

QVariant RegisterModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return analysis::Register::captions().value(section);
}

void RegisterModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= analysis::Register::ColumnCount)
        return;
    m_sortColumn = column;
    m_order = order;
    beginResetModel(); // no row keeps its place
    m_rows.sort(Column(column), order == Qt::DescendingOrder);
    endResetModel();
}

void RegisterModel::show(analysis::Register rows, const analysis::RegisterFilter &filter)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_filter = filter;
    m_rows.setFilter(filter);
    m_rows.sort(Column(m_sortColumn), m_order == Qt::DescendingOrder);
    endResetModel();
}

void RegisterModel::setFilter(const analysis::RegisterFilter &filter)
{
    beginResetModel();
    m_filter = filter;
    m_rows.setFilter(filter); // keeps the order
    endResetModel();
}
