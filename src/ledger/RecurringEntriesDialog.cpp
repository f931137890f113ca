#include "ledger/RecurringEntriesDialog.h"

#include "ledger/PendingEntriesDialog.h"
#include "ledger/RecurringEntryDialog.h"
#include "ledger/RecurringTexts.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "ui_RecurringEntriesDialog.h"

#include <QStyle>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

enum Column { Kind, Source, Amount, Rule, Next };

} // namespace

RecurringEntriesDialog::RecurringEntriesDialog(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::RecurringEntriesDialog>())
{
    ui->setupUi(this);
    load();
    connect(ui->yeni, &QPushButton::clicked, this, &RecurringEntriesDialog::OnYeni);
    connect(ui->duzelt, &QPushButton::clicked, this, &RecurringEntriesDialog::OnDuzelt);
    connect(ui->sil, &QPushButton::clicked, this, &RecurringEntriesDialog::OnSil);
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->sablonlar, &QTreeWidget::itemDoubleClicked, this, &RecurringEntriesDialog::OnDuzelt);
    // Once the list is up, what has fallen due is offered over it.
    QTimer::singleShot(0, this, &RecurringEntriesDialog::offerDue);
}

RecurringEntriesDialog::~RecurringEntriesDialog() = default;

void RecurringEntriesDialog::load()
{
    ui->sablonlar->clear();
    try {
        m_listed = core::RecurringEntries().list();
    } catch (const db::Error &error) {
        m_listed.clear();
        db::showError(error);
    }
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    QList<QTreeWidgetItem *> items;
    for (const core::ListedTemplate &listed : m_listed) {
        const Entry &entry = listed.recurring.entry;
        auto *item = new QTreeWidgetItem(QStringList{
            entry.kind, entry.source, entry.amount + u' ' + entry.currency, recurring::ruleText(listed.recurring.rule),
            listed.next.isValid() ? recurring::dateText(listed.next) : u"Bitti"_s});
        item->setData(Kind, Qt::UserRole, listed.recurring.rowId);
        item->setTextAlignment(Amount, Qt::AlignRight | Qt::AlignVCenter);
        if (listed.problem) {
            item->setIcon(Kind, warning);
            for (int c = Kind; c <= Next; ++c)
                item->setToolTip(c, recurring::problemText(*listed.problem));
        }
        items << item;
    }
    ui->sablonlar->addTopLevelItems(items);
    for (int c = Kind; c < Next; ++c)
        ui->sablonlar->resizeColumnToContents(c);
    if (!items.isEmpty())
        ui->sablonlar->setCurrentItem(items.first());
}

void RecurringEntriesDialog::offerDue()
{
    PendingEntriesDialog::offerDue(this);
    load(); // the next dates moved on
}

qint32 RecurringEntriesDialog::selectedRowId() const
{
    const QTreeWidgetItem *item = ui->sablonlar->currentItem();
    return item ? item->data(Kind, Qt::UserRole).toInt() : -1;
}

void RecurringEntriesDialog::OnYeni()
{
    RecurringEntryDialog dialog(this);
    if (Desktop::current().runModal(dialog) != QDialog::Accepted)
        return;
    load();
    offerDue();
}

void RecurringEntriesDialog::OnDuzelt()
{
    const qint32 rowId = selectedRowId();
    if (rowId < 0)
        return;
    std::optional<RecurringTemplate> shown;
    try {
        shown = core::RecurringEntries().find(rowId);
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    if (!shown) {
        db::showGone(u"Bu tekrarlayan hareket artık kayıtlı değil"_s);
        load();
        return;
    }
    RecurringEntryDialog dialog(this, shown);
    const int result = Desktop::current().runModal(dialog);
    load();
    if (result == QDialog::Accepted)
        offerDue();
}

void RecurringEntriesDialog::OnSil()
{
    const qint32 rowId = selectedRowId();
    if (rowId < 0)
        return;
    Desktop &desktop = Desktop::current();
    if (desktop.applicationBox(u"Seçili tekrarlayan hareketi silmek istediğinizden emin misiniz? Kaydedilmiş "
                               u"hareketler silinmez."_s,
                               Desktop::Icon::Question, Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
        return;
    core::Change deleted;
    try {
        deleted = core::RecurringEntries().remove(rowId);
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    if (deleted.isGone())
        db::showGone(u"Bu tekrarlayan hareket artık kayıtlı değil"_s);
    else
        desktop.applicationBox(u"Seçili tekrarlayan hareket silindi; Çöp Kutusu'ndan geri alınabilir."_s,
                               Desktop::Icon::Information);
    load();
}
