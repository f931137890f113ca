#include "ledger/PendingEntriesDialog.h"

#include "data/Money.h"
#include "ledger/EntryFields.h"
#include "ledger/RecurringEntryDialog.h"
#include "ledger/RecurringTexts.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "ui_PendingEntriesDialog.h"

#include <QStyle>

using namespace Qt::StringLiterals;

namespace {

enum Column { Date, Kind, Source, Amount, Category, Warning };

} // namespace

PendingEntriesDialog::PendingEntriesDialog(core::DueList due, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::PendingEntriesDialog>()), m_due(std::move(due))
{
    ui->setupUi(this);
    showDue();
    connect(ui->kaydet, &QPushButton::clicked, this, &PendingEntriesDialog::OnKaydet);
    connect(ui->atla, &QPushButton::clicked, this, &PendingEntriesDialog::OnAtla);
    connect(ui->duzelt, &QPushButton::clicked, this, &PendingEntriesDialog::OnDuzelt);
    connect(ui->sonra, &QPushButton::clicked, this, &QDialog::reject);
}

PendingEntriesDialog::~PendingEntriesDialog() = default;

void PendingEntriesDialog::offerDue(QWidget *parent)
{
    core::DueList due;
    try {
        due = core::RecurringEntries().due(QDate::currentDate());
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    if (due.occurrences.empty())
        return;
    PendingEntriesDialog dialog(std::move(due), parent);
    Desktop::current().runModal(dialog);
}

void PendingEntriesDialog::showDue()
{
    ui->hareketler->clear();
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    QList<QTreeWidgetItem *> items;
    for (qsizetype i = 0; i < qsizetype(m_due.occurrences.size()); ++i) {
        const core::DueList::Due &due = m_due.occurrences[size_t(i)];
        const core::ListedTemplate &listed = m_due.templates[size_t(due.index)];
        const Entry &entry = listed.recurring.entry;
        auto *item = new QTreeWidgetItem(QStringList{recurring::dateText(due.date), entry.kind, entry.source,
                                                     entry.amount + u' ' + entry.currency, entry.category});
        item->setData(Date, Qt::UserRole, i);
        item->setTextAlignment(Amount, Qt::AlignRight | Qt::AlignVCenter);
        if (listed.problem) {
            // Recorded only once the user chose another company or category (Düzelt).
            item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
            item->setIcon(Warning, warning);
            item->setText(Warning, recurring::problemText(*listed.problem));
            item->setToolTip(Warning, item->text(Warning));
        } else {
            item->setCheckState(Date, Qt::Checked);
        }
        items << item;
    }
    ui->hareketler->addTopLevelItems(items);
    for (int c = 0; c < Warning; ++c)
        ui->hareketler->resizeColumnToContents(c);
    if (!items.isEmpty())
        ui->hareketler->setCurrentItem(items.first());
}

void PendingEntriesDialog::reload()
{
    try {
        m_due = core::RecurringEntries().due(QDate::currentDate());
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    if (m_due.occurrences.empty()) {
        accept();
        return;
    }
    showDue();
}

const core::ListedTemplate *PendingEntriesDialog::selectedTemplate(QDate *date) const
{
    const QTreeWidgetItem *item = ui->hareketler->currentItem();
    if (!item)
        return nullptr;
    const core::DueList::Due &due = m_due.occurrences[size_t(item->data(Date, Qt::UserRole).toLongLong())];
    if (date)
        *date = due.date;
    return &m_due.templates[size_t(due.index)];
}

void PendingEntriesDialog::OnKaydet()
{
    std::vector<core::TickedOccurrence> ticked;
    for (int i = 0; i < ui->hareketler->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = ui->hareketler->topLevelItem(i);
        if (item->checkState(Date) != Qt::Checked)
            continue;
        const core::DueList::Due &due = m_due.occurrences[size_t(item->data(Date, Qt::UserRole).toLongLong())];
        ticked.push_back({m_due.templates[size_t(due.index)].recurring, due.date});
    }
    Desktop &desktop = Desktop::current();
    if (ticked.empty()) {
        desktop.applicationBox(u"Kaydedilecek hareket işaretlenmedi."_s, Desktop::Icon::Information);
        return;
    }
    core::Confirmation done;
    try {
        done = core::RecurringEntries().confirm(ticked);
    } catch (const db::Error &error) {
        db::showError(error); // nothing was recorded; the list stays as it was
        return;
    }
    if (done.result.isGone()) {
        db::showGone(u"Tekrarlayan hareketlerden biri artık kayıtlı değil"_s);
        reload();
        return;
    }
    if (done.result.isChanged()) {
        db::showChanged(u"Tekrarlayan hareketlerden biri"_s);
        reload();
        return;
    }
    if (done.result.isRefused()) {
        ledger::showRefusal(done.result.refusal);
        reload();
        return;
    }
    QString text = u"%1 hareket kaydedildi."_s.arg(done.recorded);
    if (done.already > 0)
        text += u" %1 hareket başka bir yerden kaydedilmiş ya da atlanmıştı; yeniden kaydedilmedi."_s.arg(done.already);
    desktop.messageBox(this, u"Bekleyen Hareketler"_s, text, Desktop::Icon::Information, Desktop::Buttons::Ok);
    accept(); // those left unticked come again next time
}

void PendingEntriesDialog::OnAtla()
{
    QDate date;
    const core::ListedTemplate *listed = selectedTemplate(&date);
    if (!listed)
        return;
    Desktop &desktop = Desktop::current();
    if (desktop.applicationBox(
            u"%1 tarihli hareket atlansın mı? Kaydedilmez ve bir daha sorulmaz."_s.arg(recurring::dateText(date)),
            Desktop::Icon::Question, Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
        return;
    core::Change skipped;
    try {
        skipped = core::RecurringEntries().skip(listed->recurring.rowId, date);
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    if (skipped.isGone())
        db::showGone(u"Bu tekrarlayan hareket artık kayıtlı değil"_s);
    reload();
}

void PendingEntriesDialog::OnDuzelt()
{
    const core::ListedTemplate *listed = selectedTemplate();
    if (!listed)
        return;
    RecurringEntryDialog dialog(this, listed->recurring);
    if (Desktop::current().runModal(dialog) == QDialog::Accepted)
        reload();
}
