#include "ledger/GGTurEkle.h"

#include "core/Categories.h"
#include "data/Kinds.h"
#include "data/RowListModel.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "platform/ServerChanges.h"
#include "platform/StoredValues.h"
#include "ui_GGTurEkle.h"

using namespace Qt::StringLiterals;

GGTurEkle::GGTurEkle(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::GGTurEkle>())
{
    ui->setupUi(this);
    m_gelir = {ledger::income(),    ui->gelirListesi, new RowListModel(false, this),
               ui->gelirOkunamayan, ui->yeniGelir,    ui->gelirSil};
    m_gider = {ledger::expense(),   ui->giderListesi, new RowListModel(false, this),
               ui->giderOkunamayan, ui->yeniGider,    ui->giderSil};
    for (Column *column : {&m_gelir, &m_gider}) {
        column->list->setModel(column->model);
        elideStoredValues(column->list);
        column->unreadable->hide();
    }

    connect(ui->gelirEkle, &QPushButton::clicked, this, &GGTurEkle::OnGelirEkle);
    connect(ui->yeniGelir, &QLineEdit::returnPressed, this, &GGTurEkle::OnGelirEkle);
    connect(ui->giderEkle, &QPushButton::clicked, this, &GGTurEkle::OnGiderEkle);
    connect(ui->yeniGider, &QLineEdit::returnPressed, this, &GGTurEkle::OnGiderEkle);
    // A click counts even on the item already selected: it makes that list's delete button the live one.
    connect(ui->gelirListesi->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &GGTurEkle::OnGelirSecildi);
    connect(ui->gelirListesi, &QListView::clicked, this, &GGTurEkle::OnGelirSecildi);
    connect(ui->giderListesi->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &GGTurEkle::OnGiderSecildi);
    connect(ui->giderListesi, &QListView::clicked, this, &GGTurEkle::OnGiderSecildi);
    connect(ui->gelirSil, &QPushButton::clicked, this, &GGTurEkle::OnGelirSil);
    connect(ui->giderSil, &QPushButton::clicked, this, &GGTurEkle::OnGiderSil);
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::reject);

    load(m_gelir);
    load(m_gider);
    // What another desk adds or deletes is listed too, the chosen category kept chosen.
    for (Column *column : {&m_gelir, &m_gider}) {
        followList(
            this, {u"GGKategori"_s}, column->list, column->model,
            [column] { return std::optional(core::Categories::list(column->kind)); },
            [this, column] {
                column->selectedRowId = -1;
                column->deleteButton->setEnabled(false);
                load(*column);
            },
            [column] {
                column->unreadable->setText(db::unreadableNote(column->model->unreadable()));
                column->unreadable->setVisible(column->model->unreadable() > 0);
            });
    }
}

GGTurEkle::~GGTurEkle() = default;

void GGTurEkle::OnGelirEkle()
{
    add(m_gelir);
}
void GGTurEkle::OnGiderEkle()
{
    add(m_gider);
}
void GGTurEkle::OnGelirSecildi()
{
    selected(m_gelir, m_gider);
}
void GGTurEkle::OnGiderSecildi()
{
    selected(m_gider, m_gelir);
}
void GGTurEkle::OnGelirSil()
{
    remove(m_gelir);
}
void GGTurEkle::OnGiderSil()
{
    remove(m_gider);
}

void GGTurEkle::load(Column &column)
{
    try {
        column.model->load(core::Categories::list(column.kind));
    } catch (const db::Error &error) {
        db::showError(error);
    }
    // Also when the walk failed half-way: the list shows the rows read before.
    column.unreadable->setText(db::unreadableNote(column.model->unreadable()));
    column.unreadable->setVisible(column.model->unreadable() > 0);
}

void GGTurEkle::add(Column &column)
{
    Desktop &desktop = Desktop::current();
    bool added = false;
    try {
        // Only an empty name can be refused here: the column fixes the kind.
        if (core::Categories().add(column.kind, column.newName->text()).isRefused()) {
            desktop.messageBox(
                this, u"HATA - %1 Kategorisi"_s.arg(column.kind),
                u"%1 kategorisi boş bırakılamaz, lütfen bir kategori yazıp tekrar kaydetmeyi deneyin."_s.arg(
                    column.kind),
                Desktop::Icon::Error, Desktop::Buttons::Ok);
            return;
        }
        added = true;
    } catch (const db::Error &error) {
        db::showError(error);
    }
    if (added) {
        desktop.messageBox(this, u"%1 Kategorisi"_s.arg(column.kind),
                           u"%1 kategorisinde ekleme başarıyla tamamlandı."_s.arg(column.kind),
                           Desktop::Icon::Information, Desktop::Buttons::Ok);
    }
    ui->yeniGelir->clear();
    ui->yeniGider->clear();
    load(column);
}

void GGTurEkle::selected(Column &column, Column &other)
{
    // Only a selected item counts: the list makes an item current, unselected, when it takes the focus.
    const QModelIndexList chosen = column.list->selectionModel()->selectedIndexes();
    if (chosen.isEmpty())
        return;
    column.selectedRowId = column.model->rowId(chosen.constFirst().row());
    column.deleteButton->setEnabled(true);
    other.deleteButton->setEnabled(false);
}

void GGTurEkle::remove(Column &column)
{
    Desktop &desktop = Desktop::current();
    if (desktop.applicationBox(u"Bu kategoriyi silmek istediğinize emin misiniz?"_s, Desktop::Icon::Question,
                               Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
        return;
    core::Change change;
    try {
        change = core::Categories().remove(column.selectedRowId, column.kind);
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    if (change.isGone()) {
        db::showGone(u"Bu kategori artık kayıtlı değil"_s);
    } else {
        desktop.applicationBox(u"Seçili kategori başarıyla silindi."_s, Desktop::Icon::Information);
    }
    load(column);
    m_gelir.deleteButton->setEnabled(false);
    m_gider.deleteButton->setEnabled(false);
}
