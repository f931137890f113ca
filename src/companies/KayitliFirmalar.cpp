#include "companies/KayitliFirmalar.h"

#include "core/Companies.h"
#include "data/Files.h"
#include "data/RowListModel.h"
#include "exchange/CsvFile.h"
#include "platform/Addresses.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "platform/FileTransfer.h"
#include "platform/Images.h"
#include "platform/ServerChanges.h"
#include "platform/StoredValues.h"
#include "platform/TextLimit.h"
#include "ui_KayitliFirmalar.h"

#include <functional>
#include <iterator>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The filter's items, in the order shown: all companies, then each relation.
constexpr std::optional<core::Relation> kFilters[] = {std::nullopt, core::Relation::Supplier, core::Relation::Customer,
                                                      core::Relation::SupplierAndCustomer};

std::optional<core::Relation> filterAt(int index)
{
    return kFilters[index >= 0 && index < int(std::size(kFilters)) ? index : 0];
}

// A change, or nothing after the error box has shown why it failed.
std::optional<core::Change> changeOrShowError(const std::function<core::Change()> &change)
{
    try {
        return change();
    } catch (const db::Error &error) {
        db::showError(error);
        return std::nullopt;
    }
}

} // namespace

KayitliFirmalar::KayitliFirmalar(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::KayitliFirmalar>()), m_model(new RowListModel(true, this))
{
    ui->setupUi(this);
    fitStoredValue(ui->firmaAdi);
    fitStoredValue(ui->calismaTuru);
    ui->firmaListesi->setModel(m_model);
    elideStoredValues(ui->firmaListesi);
    ui->bul->setCell(cell::Bul);
    ui->adres->setMaxLength(250);
    ui->okunamayan->hide();
    for (const std::optional<core::Relation> relation : kFilters)
        ui->filtre->addItem(relation ? core::relationText(*relation) : u"Tümünü Listele"_s);
    ui->filtre->setCurrentIndex(0);

    connect(ui->bul, &QPushButton::clicked, this, &KayitliFirmalar::OnBul);
    connect(ui->firmaListesi->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &KayitliFirmalar::OnFirmaSecildi);
    connect(ui->kaydet, &QPushButton::clicked, this, &KayitliFirmalar::OnKaydet);
    connect(ui->sil, &QPushButton::clicked, this, &KayitliFirmalar::OnSil);
    connect(ui->mailGonder, &QPushButton::clicked, this, &KayitliFirmalar::OnMailGonder);
    connect(ui->webAc, &QPushButton::clicked, this, &KayitliFirmalar::OnWebAc);
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->csvAktar, &QPushButton::clicked, this, &KayitliFirmalar::OnCsvAktar);
    // Once listed, what another desk changes is listed too, with the filter that listed it.
    followList(
        this, {u"Firmalar"_s}, ui->firmaListesi, m_model,
        [this] { return m_listed ? std::optional(core::Companies::list(filterAt(*m_listed))) : std::nullopt; },
        [this] { refreshList(); }, [this] { showCount(); });
}

KayitliFirmalar::~KayitliFirmalar() = default;

void KayitliFirmalar::OnBul()
{
    m_listed = ui->filtre->currentIndex();
    try {
        m_model->load(core::Companies::list(filterAt(*m_listed)));
        selectFirst();
    } catch (const db::Error &error) {
        db::showError(error);
    }
    showCount();
}

void KayitliFirmalar::showCount()
{
    // Counts what the list shows, also when the walk failed half-way.
    ui->toplam->setText(u"Toplam %1 adet kayıtlı firma bulundu."_s.arg(m_model->rowCount()));
    ui->okunamayan->setText(db::unreadableNote(m_model->unreadable()));
    ui->okunamayan->setVisible(m_model->unreadable() > 0);
}

void KayitliFirmalar::selectFirst()
{
    // Selecting in code runs the handler once, here, not through the signal.
    {
        const QSignalBlocker blocker(ui->firmaListesi->selectionModel());
        ui->firmaListesi->setCurrentIndex(m_model->index(0, 0));
    }
    OnFirmaSecildi();
}

void KayitliFirmalar::OnFirmaSecildi()
{
    const QModelIndex current = ui->firmaListesi->currentIndex();
    if (!current.isValid())
        return;
    m_nSelectedRowId = m_model->rowId(current.row());
    if (!loadDetails()) {
        // The controls may still show another company: nothing may be saved
        // over the selected one, nor should it be deleted unseen.
        m_nSelectedRowId = -1;
        setRecordButtonsEnabled(false);
        return;
    }
    setRecordButtonsEnabled(true);
}

bool KayitliFirmalar::loadDetails()
{
    std::optional<Company> company;
    std::optional<db::Error> failure;
    try {
        company = core::Companies().find(m_nSelectedRowId);
    } catch (const db::Error &error) {
        // Emptied: the company chosen before must not show beside this one.
        failure = error;
        company = Company();
    }
    m_shown = failure ? Company() : company.value_or(Company());
    if (!company)
        return true; // the controls keep what they showed
    ui->firmaAdi->setText(company->name);
    ui->calismaTuru->setText(company->relation);
    // Whole, however long: they are saved back as they show.
    ui->adres->showStored(company->address);
    showText(ui->vergiDairesi, company->taxOffice);
    showText(ui->vergiNumarasi, company->taxNumber);
    showText(ui->telefon, company->phone);
    showText(ui->mail, company->mail);
    showText(ui->web, company->web);
    if (failure) {
        db::showError(*failure);
        return false;
    }
    return true;
}

void KayitliFirmalar::setRecordButtonsEnabled(bool enabled)
{
    ui->kaydet->setEnabled(enabled);
    ui->sil->setEnabled(enabled);
}

void KayitliFirmalar::OnKaydet()
{
    Desktop &desktop = Desktop::current();
    if (m_nSelectedRowId == -1) {
        desktop.applicationBox(u"Lütfen önce bir firma seçin."_s, Desktop::Icon::Error);
        return;
    }
    Company company;
    company.rowId = m_nSelectedRowId;
    company.address = ui->adres->text();
    company.taxOffice = ui->vergiDairesi->text();
    company.taxNumber = ui->vergiNumarasi->text();
    company.phone = ui->telefon->text();
    company.mail = ui->mail->text();
    company.web = ui->web->text();
    const std::optional<core::Change> change =
        changeOrShowError([&] { return core::Companies().update(m_shown, company); });
    if (!change)
        return;
    if (change->isGone()) {
        reportVanished();
        return;
    }
    if (change->isChanged()) {
        reportChanged();
        return;
    }
    desktop.applicationBox(u"Firma bilgileri başarıyla güncellendi."_s, Desktop::Icon::Information);
    setRecordButtonsEnabled(false);
}

void KayitliFirmalar::OnSil()
{
    Desktop &desktop = Desktop::current();
    if (desktop.applicationBox(u"Bu firmayı silmek istediğinize emin misiniz?"_s, Desktop::Icon::Question,
                               Desktop::Buttons::YesNo) != Desktop::Answer::Yes)
        return;
    const std::optional<core::Change> change =
        changeOrShowError([this] { return core::Companies().remove(m_nSelectedRowId); });
    if (!change)
        return;
    if (change->isGone()) {
        reportVanished();
        return;
    }
    desktop.applicationBox(u"Seçili firma başarıyla silindi."_s, Desktop::Icon::Information);
    refreshList();
}

// Lists again with the current filter: the first company left is shown and can
// be saved or deleted; with none left, both buttons stay off.
void KayitliFirmalar::refreshList()
{
    setRecordButtonsEnabled(false);
    OnBul();
}

// The company was deleted meanwhile (by a second copy of the program, say):
// say so rather than report a success, and show the list as it is now.
void KayitliFirmalar::reportVanished()
{
    db::showGone(u"Bu firma artık kayıtlı değil"_s);
    refreshList();
}

// Another window or desk saved the company after it was shown: nothing typed
// was written. The list and the company show as they are now.
void KayitliFirmalar::reportChanged()
{
    db::showChanged(u"Bu firma"_s);
    const qint32 shown = m_nSelectedRowId;
    refreshList();
    if (const int row = m_model->indexOf(shown); row >= 0)
        ui->firmaListesi->setCurrentIndex(m_model->index(row, 0)); // shows it, unless it is the first
}

void KayitliFirmalar::OnMailGonder()
{
    addresses::open(addresses::mailto(ui->mail->text()));
}

void KayitliFirmalar::OnWebAc()
{
    addresses::open(addresses::web(ui->web->text()));
}

// Writes the companies the list shows, in its order. Nothing listed yet: the
// search runs first with the chosen filter, so the list shows what is written.
void KayitliFirmalar::OnCsvAktar()
{
    if (m_model->rowCount() == 0)
        OnBul();
    if (m_model->rowCount() == 0) {
        Desktop::current().applicationBox(u"Listede aktarılacak firma yok."_s, Desktop::Icon::Error);
        return;
    }
    std::vector<qint32> listed;
    for (int i = 0; i < m_model->rowCount(); ++i)
        listed.push_back(m_model->rowId(i));

    SaveFileRequest request;
    request.caption = u"CSV Aktar"_s;
    request.fileName = u"Firmalar.csv"_s;
    request.filter = u"CSV Dosyası (*.csv);;Tüm Dosyalar (*.*)"_s;
    request.defaultSuffix = u"csv"_s;
    saveToFile(
        this, request,
        [&listed](const QString &path) {
            return files::writeWhole(path, exchange::companiesCsv(core::Companies().rowsOf(listed)));
        },
        u"Listelenen firmalar %1 dosyasına yazıldı."_s);
}

void KayitliFirmalar::chooseRow(qint32 rowId)
{
    ui->filtre->setCurrentIndex(0);
    OnBul();
    if (const int row = m_model->indexOf(rowId); row >= 0)
        ui->firmaListesi->setCurrentIndex(m_model->index(row, 0)); // shows it, unless it is the first
}
