#include "app/TrashDialog.h"

#include "core/Trash.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "platform/ServerChanges.h"
#include "ui_TrashDialog.h"

#include <QAbstractTableModel>
#include <QHeaderView>

using namespace Qt::StringLiterals;

// The trash's records: kind, summary and the local time each was deleted,
// replaced in one reset.
class TrashModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setItems(std::vector<TrashItem> items)
    {
        beginResetModel();
        m_items = std::move(items);
        endResetModel();
    }
    const TrashItem &item(int row) const { return m_items[size_t(row)]; }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_items.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 3; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        const TrashItem &trashed = item(index.row());
        switch (index.column()) {
        case 0: return TrashDialog::kindName(trashed.kind);
        // A summary is one line even where a name has several.
        case 1: return role == Qt::DisplayRole ? trashed.summary.simplified() : trashed.summary;
        default: return trashed.deletedAt.toLocalTime().toString(u"d.M.yyyy HH:mm:ss"_s);
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return section == 0 ? u"Tür"_s : section == 1 ? u"Özet"_s : u"Silinme Zamanı"_s;
    }

private:
    std::vector<TrashItem> m_items;
};

TrashDialog::TrashDialog(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TrashDialog>()), m_model(new TrashModel(this))
{
    ui->setupUi(this);
    ui->copListesi->setModel(m_model);
    // Fixed widths: a long trash is never measured row by row.
    QHeaderView *header = ui->copListesi->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    ui->copListesi->setColumnWidth(0, 160);
    ui->copListesi->setColumnWidth(2, 150);

    connect(ui->copListesi->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TrashDialog::updateButtons);
    connect(ui->geriYukle, &QPushButton::clicked, this, &TrashDialog::onRestore);
    connect(ui->kaliciSil, &QPushButton::clicked, this, &TrashDialog::onDeleteForGood);
    connect(ui->bosalt, &QPushButton::clicked, this, &TrashDialog::onEmpty);
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::reject);

    load();
    // What another desk deletes, restores or empties is listed too, the chosen records kept chosen.
    followTables(this, {u"Trash"_s}, [this] {
        QSet<qint32> chosen;
        for (const QModelIndex &row : ui->copListesi->selectionModel()->selectedRows())
            chosen.insert(m_model->item(row.row()).rowId);
        load();
        for (int row = 0; row < m_model->rowCount(); ++row) {
            if (chosen.contains(m_model->item(row).rowId))
                ui->copListesi->selectionModel()->select(m_model->index(row, 0),
                                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    });
}

TrashDialog::~TrashDialog() = default;

QString TrashDialog::kindName(const QString &table)
{
    return core::Trash::recordName(table);
}

void TrashDialog::load()
{
    try {
        m_model->setItems(core::Trash::list());
    } catch (const db::Error &error) {
        db::showError(error);
    }
    ui->toplam->setText(u"Toplam %1 silinmiş kayıt mevcut"_s.arg(m_model->rowCount()));
    updateButtons();
}

void TrashDialog::reportGone()
{
    db::showGone(u"Bu kayıt artık mevcut değil"_s);
}

std::optional<qint32> TrashDialog::selectedRowId() const
{
    const QModelIndexList rows = ui->copListesi->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return m_model->item(rows.first().row()).rowId;
}

void TrashDialog::updateButtons()
{
    const bool selected = selectedRowId().has_value();
    ui->geriYukle->setEnabled(selected);
    ui->kaliciSil->setEnabled(selected);
    ui->bosalt->setEnabled(m_model->rowCount() > 0);
}

void TrashDialog::onRestore()
{
    const std::optional<qint32> rowId = selectedRowId();
    if (!rowId)
        return;
    core::Trash::Restore restored;
    try {
        restored = core::Trash::restore(*rowId);
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    if (restored.change.isGone())
        reportGone();
    else if (restored.renumbered())
        Desktop::current().applicationBox(
            u"Seçili kayıt geri yüklendi. Eski kayıt numarası (%1) bu arada başka bir "
            u"kayda verildiğinden kayıt yeni bir numarayla (%2) geri yüklendi."_s.arg(
                QString::number(restored.oldRowId), QString::number(restored.change.rowId)),
            Desktop::Icon::Information);
    else
        Desktop::current().applicationBox(u"Seçili kayıt geri yüklendi."_s, Desktop::Icon::Information);
    load();
}

void TrashDialog::onDeleteForGood()
{
    const std::optional<qint32> rowId = selectedRowId();
    Desktop &desktop = Desktop::current();
    if (!rowId || desktop.applicationBox(u"Seçili kaydı kalıcı olarak silmek istediğinizden emin misiniz? Bu kayıt "
                                         u"bir daha geri yüklenemez."_s,
                                         Desktop::Icon::Question, Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
        return;
    core::Change removed;
    try {
        removed = core::Trash::removeForever(*rowId);
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    if (removed.isGone())
        reportGone();
    else
        desktop.applicationBox(u"Seçili kayıt kalıcı olarak silindi."_s, Desktop::Icon::Information);
    load();
}

void TrashDialog::onEmpty()
{
    Desktop &desktop = Desktop::current();
    if (desktop.applicationBox(u"Çöp kutusundaki %1 kaydın tümünü kalıcı olarak silmek istediğinizden emin "
                               u"misiniz? Bu kayıtlar bir daha geri yüklenemez."_s.arg(m_model->rowCount()),
                               Desktop::Icon::Question, Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
        return;
    try {
        core::Trash::empty();
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    desktop.applicationBox(u"Çöp kutusu boşaltıldı."_s, Desktop::Icon::Information);
    load();
}
