#pragma once

#include "analysis/Register.h"

#include <QAbstractTableModel>

// The register's rows for a table view: a cell becomes text only when the view shows it; a click on
// a column's header sorts by it; negative amounts and balances are red.
class RegisterModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit RegisterModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    void show(analysis::Register rows, const analysis::RegisterFilter &filter); // in the order shown before
    void setFilter(const analysis::RegisterFilter &filter);
    const analysis::Register &rows() const { return m_rows; }

private:
    analysis::Register m_rows;
    analysis::RegisterFilter m_filter;
    int m_sortColumn = analysis::Register::Date;
    Qt::SortOrder m_order = Qt::AscendingOrder;
};
