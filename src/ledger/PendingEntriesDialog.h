#pragma once

#include "core/RecurringEntries.h"

#include <QDialog>

#include <memory>

namespace Ui {
class PendingEntriesDialog;
}

// "Bekleyen Hareketler": the occurrences of recurring entries fallen due, each on its date and
// ticked. "Kaydet" records the ticked ones, "Atla" drops the selected one for good, "Sonra" leaves
// them all for next time. Nothing is recorded without "Kaydet".
class PendingEntriesDialog : public QDialog
{
    Q_OBJECT
public:
    PendingEntriesDialog(core::DueList due, QWidget *parent = nullptr);
    ~PendingEntriesDialog() override;

    // Shows the dialog over `parent` when an occurrence has fallen due by today; nothing otherwise.
    static void offerDue(QWidget *parent);

    void OnKaydet();
    void OnAtla();
    void OnDuzelt();

private:
    void showDue();
    // The due list again after a change; closes the dialog when nothing is left.
    void reload();
    const core::ListedTemplate *selectedTemplate(QDate *date = nullptr) const;

    std::unique_ptr<Ui::PendingEntriesDialog> ui;
    core::DueList m_due;
};
