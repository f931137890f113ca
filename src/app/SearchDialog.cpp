#include "app/SearchDialog.h"

#include "companies/KayitliFirmalar.h"
#include "core/Analysis.h"
#include "ledger/HareketTablosu.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "records/KayitliLinkler.h"
#include "records/Parolalar.h"
#include "records/TelefonRehberi.h"
#include "ui_SearchDialog.h"

#include <QTimer>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

using analysis::RecordKind;

constexpr int kKindRole = Qt::UserRole + 1;

QString groupTitle(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Company: return u"Firmalar"_s;
    case RecordKind::Entry: return u"Gelir/Gider hareketleri"_s;
    case RecordKind::Contact: return u"Kişiler"_s;
    case RecordKind::Link: return u"Kayıtlı linkler"_s;
    case RecordKind::Membership: return u"Üyelikler"_s;
    }
    return {};
}

template <typename Dialog>
void openChosen(QWidget *owner, qint32 rowId)
{
    Dialog dialog(owner);
    dialog.chooseRow(rowId);
    Desktop::current().runModal(dialog);
}

} // namespace

SearchDialog::SearchDialog(const QString &text, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::SearchDialog>()), m_typing(new QTimer(this))
{
    ui->setupUi(this);
    m_pool.setMaxThreadCount(1);
    m_typing->setSingleShot(true);
    m_typing->setInterval(150);
    ui->aranan->setText(text);

    connect(ui->aranan, &QLineEdit::textChanged, m_typing, qOverload<>(&QTimer::start));
    connect(m_typing, &QTimer::timeout, this, &SearchDialog::search);
    // Enter in the box looks at once and moves to the first hit; Enter there opens it.
    connect(ui->aranan, &QLineEdit::returnPressed, this, [this] {
        search();
        ui->sonuclar->setFocus();
    });
    connect(ui->sonuclar, &QTreeWidget::itemActivated, this, &SearchDialog::openHit);
    connect(ui->ac, &QPushButton::clicked, this, [this] { openHit(ui->sonuclar->currentItem()); });
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::accept);
    search();
}

SearchDialog::~SearchDialog()
{
    m_pool.waitForDone(); // its results are for this window
}

void SearchDialog::search()
{
    m_typing->stop();
    const int generation = ++m_generation;
    const QString text = ui->aranan->text();
    if (text.trimmed().isEmpty()) {
        showResults(generation, {});
        return;
    }
    ++m_running;
    ui->durum->setText(u"Aranıyor..."_s);
    m_pool.start([this, generation, text] {
        std::optional<analysis::SearchResults> results;
        std::optional<db::Error> failure;
        try {
            results = core::Search().find(text);
        } catch (const db::Error &error) {
            failure = error;
        }
        QMetaObject::invokeMethod(
            this,
            [this, generation, results = std::move(results), failure = std::move(failure)] {
                --m_running;
                if (failure) {
                    if (generation == m_generation) {
                        ui->durum->clear();
                        db::showError(*failure);
                    }
                    return;
                }
                showResults(generation, *results);
            },
            Qt::QueuedConnection);
    });
}

void SearchDialog::showResults(int generation, const analysis::SearchResults &results)
{
    if (generation != m_generation)
        return; // the text changed meanwhile
    ui->sonuclar->clear();
    QTreeWidgetItem *first = nullptr;
    QTreeWidgetItem *group = nullptr;
    std::optional<RecordKind> groupKind;
    for (const analysis::SearchHit &hit : results.hits) {
        if (groupKind != hit.kind) {
            groupKind = hit.kind;
            const int found = results.found[size_t(hit.kind)];
            const int shown = int(std::count_if(results.hits.begin(), results.hits.end(),
                                                [&](const analysis::SearchHit &h) { return h.kind == hit.kind; }));
            group = new QTreeWidgetItem(ui->sonuclar);
            group->setText(0, found > shown ? u"%1 (%2, ilk %3)"_s.arg(groupTitle(hit.kind)).arg(found).arg(shown)
                                            : u"%1 (%2)"_s.arg(groupTitle(hit.kind)).arg(found));
            QFont bold = group->font(0);
            bold.setBold(true);
            group->setFont(0, bold);
            group->setFlags(Qt::ItemIsEnabled);
            group->setExpanded(true);
        }
        auto *item = new QTreeWidgetItem(group);
        item->setText(0, hit.summary);
        item->setToolTip(0, hit.summary);
        item->setData(0, Qt::UserRole, hit.rowId);
        item->setData(0, kKindRole, int(hit.kind));
        if (!first)
            first = item;
    }
    ui->sonuclar->expandAll();
    if (first)
        ui->sonuclar->setCurrentItem(first);
    int total = 0;
    for (const int found : results.found)
        total += found;
    ui->durum->setText(ui->aranan->text().trimmed().isEmpty() ? QString()
                       : total == 0                           ? u"Bulunamadı."_s
                                                              : u"%1 kayıt bulundu."_s.arg(total));
    ui->ac->setEnabled(first != nullptr);
}

void SearchDialog::openHit(QTreeWidgetItem *item)
{
    if (!item || !item->data(0, kKindRole).isValid())
        return; // a group's title
    const qint32 rowId = item->data(0, Qt::UserRole).toInt();
    switch (RecordKind(item->data(0, kKindRole).toInt())) {
    case RecordKind::Company: openChosen<KayitliFirmalar>(this, rowId); break;
    case RecordKind::Entry: openChosen<HareketTablosu>(this, rowId); break;
    case RecordKind::Contact: openChosen<TelefonRehberi>(this, rowId); break;
    case RecordKind::Link: openChosen<KayitliLinkler>(this, rowId); break;
    case RecordKind::Membership: openChosen<Parolalar>(this, rowId); break;
    }
    search(); // what was changed or deleted there shows here
}
