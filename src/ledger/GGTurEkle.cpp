#include "ledger/GGTurEkle.h"

#include "data/CategoryStore.h"
#include "data/RowListModel.h"
#include "ledger/EntryFields.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "platform/StoredValues.h"
#include "ui_GGTurEkle.h"

using namespace Qt::StringLiterals;

GGTurEkle::GGTurEkle(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::GGTurEkle>())
{
    ui->setupUi(this);
    m_gelir = {ledger::gelir(),     ui->gelirListesi, new RowListModel(false, this),
               ui->gelirOkunamayan, ui->yeniGelir,    ui->gelirSil};
    m_gider = {ledger::gider(),     ui->giderListesi, new RowListModel(false, this),
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
        column.model->load(CategoryStore::list(column.kind));
    } catch (const db::Error &error) {
        db::showError(error);
    }
    // Also when the walk failed half-way: the list shows the rows read before.
    column.unreadable->setText(column.model->unreadableNote());
    column.unreadable->setVisible(column.model->unreadable() > 0);
}

void GGTurEkle::add(Column &column)
{
    Desktop &desktop = Desktop::current();
    const QString name = column.newName->text();
    // Blanks are a name like any other; only an empty box is refused.
    if (name.isEmpty()) {
        desktop.messageBox(
            this, u"HATA - %1 Kategorisi"_s.arg(column.kind),
            u"%1 kategorisi boş bırakılamaz, lütfen bir kategori yazıp tekrar kaydetmeyi deneyin."_s.arg(column.kind),
            Desktop::Icon::Error, Desktop::Buttons::Ok);
        return;
    }
    const int added = db::changeOrShowError<CategoryStore>([&](CategoryStore &store) {
        return store.add({-1, column.kind, name});
    });
    if (added >= 0) {
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
    column.selectedRowId = column.model->row(chosen.constFirst().row()).rowId;
    column.deleteButton->setEnabled(true);
    other.deleteButton->setEnabled(false);
}

void GGTurEkle::remove(Column &column)
{
    Desktop &desktop = Desktop::current();
    if (desktop.applicationBox(u"Bu kategoriyi silmek istediğinize emin misiniz?"_s, Desktop::Icon::Question,
                               Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
        return;
    const int changed = db::changeOrShowError<CategoryStore>(
        [&](CategoryStore &store) { return store.remove(column.selectedRowId, column.kind); });
    if (changed < 0)
        return;
    if (changed == 0) {
        db::showGone(u"Bu kategori artık kayıtlı değil"_s);
    } else {
        desktop.applicationBox(u"Seçili kategori başarıyla silindi."_s, Desktop::Icon::Information);
    }
    load(column);
    m_gelir.deleteButton->setEnabled(false);
    m_gider.deleteButton->setEnabled(false);
}
