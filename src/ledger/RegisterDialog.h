#pragma once

#include "analysis/Register.h"

#include <QDialog>

#include <memory>

class QTimer;
class RegisterModel;

namespace Ui {
class RegisterDialog;
}

// "Hesap Dökümü": every entry in a sortable table with its lira value and the running balance,
// filtered by date, kind, company, category and any text. A double-click opens the entry in
// "Hareket Tablosu".
class RegisterDialog : public QDialog
{
    Q_OBJECT
public:
    explicit RegisterDialog(QWidget *parent = nullptr);
    ~RegisterDialog() override;

    void reload(); // reads the entries again, keeping the filters and the order
    void applyFilters();
    void openEntry(const QModelIndex &index);
    void exportCsv();

private:
    analysis::RegisterFilter filters() const; // as the filters are set
    void showCount();

    std::unique_ptr<Ui::RegisterDialog> ui;
    RegisterModel *m_model;
    QTimer *m_typing; // the text filter waits for a pause in typing
};
