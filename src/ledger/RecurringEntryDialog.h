#pragma once

#include "data/RecurringStore.h"

#include <QDialog>

#include <memory>
#include <optional>

namespace Ui {
class RecurringEntryDialog;
}

// One recurring entry's template: the fields of an entry and its rule, with the rule's next five
// days shown as it is typed. New, or `shown` corrected.
class RecurringEntryDialog : public QDialog
{
    Q_OBJECT
public:
    explicit RecurringEntryDialog(QWidget *parent = nullptr,
                                  const std::optional<RecurringTemplate> &shown = std::nullopt);
    ~RecurringEntryDialog() override;

    void OnKaydet();

private:
    void loadChoices(); // the kind's companies and categories
    void showRuleFields();
    void showNextDates();
    RecurringTemplate typed() const;
    Recurrence typedRule() const;

    std::unique_ptr<Ui::RecurringEntryDialog> ui;
    std::optional<RecurringTemplate> m_shown;
};
