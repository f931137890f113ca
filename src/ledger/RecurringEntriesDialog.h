#pragma once

#include "core/RecurringEntries.h"

#include <QDialog>

#include <memory>
#include <vector>

namespace Ui {
class RecurringEntriesDialog;
}

// "Tekrarlayan Hareketler": the templates of recurring entries, with "Yeni", "Düzelt" and "Sil".
// As it opens, and after a template is stored, the occurrences fallen due are offered
// ("Bekleyen Hareketler").
class RecurringEntriesDialog : public QDialog
{
    Q_OBJECT
public:
    explicit RecurringEntriesDialog(QWidget *parent = nullptr);
    ~RecurringEntriesDialog() override;

    void OnYeni();
    void OnDuzelt();
    void OnSil();

private:
    void load();
    void offerDue();
    qint32 selectedRowId() const; // -1 when none

    std::unique_ptr<Ui::RecurringEntriesDialog> ui;
    std::vector<core::ListedTemplate> m_listed;
};
