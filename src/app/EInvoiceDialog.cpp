#include "app/EInvoiceDialog.h"

#include "data/Database.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "ui_EInvoiceDialog.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidgetItem>

using namespace Qt::StringLiterals;

using Row = core::InvoiceImport::Row;
using Problem = core::InvoiceImport::Problem;

namespace {

const QString kCaption = u"e-Fatura Al"_s;

enum Column { Date, Number, Party, TaxNumber, Kind, Amount, Currency, Vat, Category, State };

QString problemText(const Row &row)
{
    switch (row.problem) {
    case Problem::CannotOpen: return u"dosya açılamadı"_s;
    case Problem::TooLarge: return u"dosya 20 MB'tan büyük"_s;
    case Problem::BrokenArchive: return u"ZIP dosyası bozuk ya da içindekiler söylediği gibi değil"_s;
    case Problem::ArchiveTooLarge: return u"ZIP dosyası çok büyük (açılınca 200 MB'ı ya da 10.000 dosyayı aşıyor)"_s;
    case Problem::BrokenXml: return u"XML bozuk (%1. satır)"_s.arg(row.detail);
    case Problem::Doctype: return u"DOCTYPE içeriyor; güvenlik için okunmadı"_s;
    case Problem::NotInvoice: return u"bir UBL faturası değil (%1)"_s.arg(row.detail);
    case Problem::MissingField: return u"%1 alanı yok"_s.arg(row.detail);
    case Problem::NotOurs: return u"vergi numaranız ne satıcıda ne alıcıda"_s;
    case Problem::BothOurs: return u"vergi numaranız hem satıcıda hem alıcıda"_s;
    case Problem::Currency: return u"para birimi alınmıyor (%1); yalnızca TRY, USD ve EUR"_s.arg(row.detail);
    case Problem::Date: return u"fatura tarihi okunamadı (%1)"_s.arg(row.detail);
    case Problem::Amount: return u"ödenecek tutar geçerli bir tutar değil (%1)"_s.arg(row.detail);
    case Problem::Rate: return u"döviz kuru yok ya da geçersiz (%1)"_s.arg(row.detail);
    case Problem::VatRate: return u"KDV oranı 0 ile 100 arasında tam sayı değil (%1)"_s.arg(row.detail);
    }
    return {};
}

QString entryRefusalText(core::EntryRefusal refusal)
{
    switch (refusal) {
    case core::EntryRefusal::Source: return u"firması artık yok"_s;
    case core::EntryRefusal::Category: return u"seçilen tür artık yok"_s;
    case core::EntryRefusal::Rate: return u"döviz kuru geçersiz"_s;
    case core::EntryRefusal::VatRate: return u"KDV oranı geçersiz"_s;
    case core::EntryRefusal::Kind: return u"türü geçersiz"_s;
    case core::EntryRefusal::Amount: return u"tutarı geçersiz"_s;
    }
    return {};
}

} // namespace

QString invoiceStateText(const Row &row)
{
    switch (row.state) {
    case core::InvoiceImport::State::New: return u"Yeni"_s;
    case core::InvoiceImport::State::Recorded: return u"Zaten kayıtlı"_s;
    case core::InvoiceImport::State::Unreadable: break;
    }
    return u"Okunamadı: "_s + problemText(row);
}

QString invoiceRefusalText(const core::InvoiceImport::Outcome &outcome, const std::vector<Row> &rows)
{
    if (outcome.result.refusal == core::InvoiceImport::Refusal::TaxNumber)
        return taxNumberWanted();
    const Row &row = rows.at(size_t(outcome.row));
    return u"%1 faturası kaydedilemedi: %2. Hiçbir fatura kaydedilmedi; listeyi yenileyip yeniden deneyin."_s.arg(
        row.entry.invoice, entryRefusalText(outcome.entryRefusal));
}

QString invoiceRecordedText(const core::InvoiceImport::Outcome &outcome)
{
    QString text = u"%1 fatura kaydedildi"_s.arg(outcome.entries);
    if (outcome.companies > 0)
        text += u", %1 yeni firma eklendi"_s.arg(outcome.companies);
    if (outcome.recordedMeanwhile > 0)
        text += u"; %1 fatura bu arada başka bir yerden kaydedilmiş, atlandı"_s.arg(outcome.recordedMeanwhile);
    return text + u'.';
}

QString taxNumberWanted()
{
    return u"Faturaların hangisinin gelir, hangisinin gider olduğu vergi numaranızdan anlaşılır. Lütfen vergi "
           u"numaranızı (10 haneli VKN ya da 11 haneli TCKN) yazın."_s;
}

EInvoiceDialog::EInvoiceDialog(const QStringList &paths, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::EInvoiceDialog>()), m_import(paths)
{
    ui->setupUi(this);
    ui->faturalar->setMinimumSize(900, 320);
    try {
        ui->vergiNumarasi->setText(core::InvoiceImport::ownTaxNumber());
    } catch (const db::Error &e) {
        db::showError(e);
    }
    connect(ui->vergiNumarasi, &QLineEdit::textChanged, this, [this] {
        if (core::isTaxNumber(ui->vergiNumarasi->text()) || !m_shownFor.isEmpty())
            showPreview();
    });
    connect(ui->dosyaEkle, &QPushButton::clicked, this, &EInvoiceDialog::addFiles);
    connect(ui->kaydet, &QPushButton::clicked, this, &EInvoiceDialog::onSave);
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::reject);
    showPreview();
}

EInvoiceDialog::~EInvoiceDialog() = default;

bool EInvoiceDialog::takesFile(const QString &path)
{
    return path.endsWith(u".xml"_s, Qt::CaseInsensitive) || path.endsWith(u".zip"_s, Qt::CaseInsensitive);
}

void EInvoiceDialog::importFiles(QWidget *owner, const QStringList &paths)
{
    QStringList chosen = paths;
    if (chosen.isEmpty())
        chosen = Desktop::current().openFileNames(
            owner, {kCaption, {}, u"e-Fatura dosyaları (*.xml *.XML *.zip *.ZIP);;Tüm dosyalar (*)"_s});
    if (chosen.isEmpty())
        return;
    EInvoiceDialog dialog(chosen, owner);
    Desktop::current().runModal(dialog);
}

void EInvoiceDialog::addFiles()
{
    const QStringList chosen = Desktop::current().openFileNames(
        this, {kCaption, {}, u"e-Fatura dosyaları (*.xml *.XML *.zip *.ZIP);;Tüm dosyalar (*)"_s});
    if (chosen.isEmpty())
        return;
    m_import.addFiles(chosen);
    showPreview();
}

void EInvoiceDialog::showPreview()
{
    const QString own = ui->vergiNumarasi->text().trimmed();
    m_shownFor = core::isTaxNumber(own) ? own : QString();
    try {
        m_rows = m_import.preview(m_shownFor);
    } catch (const db::Error &e) {
        db::showError(e);
        m_rows.clear();
    }
    QTableWidget &table = *ui->faturalar;
    table.clearContents();
    table.setRowCount(int(m_rows.size()));
    int fresh = 0, recorded = 0, unreadable = 0;
    QHash<QString, QStringList> categories;
    for (int r = 0; r < int(m_rows.size()); ++r) {
        const Row &row = m_rows[size_t(r)];
        const bool read = row.state != core::InvoiceImport::State::Unreadable || !row.uuid.isEmpty();
        const auto set = [&](int column, const QString &text, Qt::Alignment align = Qt::AlignLeft) {
            auto *item = new QTableWidgetItem(text);
            item->setTextAlignment(align | Qt::AlignVCenter);
            item->setToolTip(text);
            table.setItem(r, column, item);
        };
        set(Date, row.date);
        set(Number, read ? row.entry.invoice : row.source);
        set(Party, row.party.name);
        set(TaxNumber, row.party.taxNumber);
        set(Kind, m_shownFor.isEmpty() || !read ? QString() : row.entry.kind);
        set(Amount, row.entry.amount, Qt::AlignRight);
        set(Currency, row.entry.currency);
        set(Vat, row.vatRates.join(u", "_s), Qt::AlignRight);
        // Without our tax number no invoice is ours yet: it is waited for, not held against them.
        set(State, m_shownFor.isEmpty() && row.problem == Problem::NotOurs ? u"Vergi numaranız bekleniyor"_s
                                                                           : invoiceStateText(row));
        table.item(r, Number)->setToolTip(row.source);
        switch (row.state) {
        case core::InvoiceImport::State::New: ++fresh; break;
        case core::InvoiceImport::State::Recorded: ++recorded; break;
        case core::InvoiceImport::State::Unreadable: ++unreadable; break;
        }
        if (row.state != core::InvoiceImport::State::New) {
            set(Category, row.state == core::InvoiceImport::State::Recorded ? row.entry.category : QString());
            continue;
        }
        if (!categories.contains(row.entry.kind)) {
            try {
                categories.insert(row.entry.kind, core::InvoiceImport::categories(row.entry.kind));
            } catch (const db::Error &e) {
                db::showError(e);
                categories.insert(row.entry.kind, {});
            }
        }
        auto *combo = new QComboBox(&table);
        combo->setObjectName(u"kategori%1"_s.arg(r));
        combo->addItems(categories.value(row.entry.kind));
        combo->setCurrentText(row.entry.category);
        connect(combo, &QComboBox::currentTextChanged, this,
                [this, r](const QString &text) { m_rows[size_t(r)].entry.category = text; });
        table.setCellWidget(r, Category, combo);
    }
    table.resizeColumnsToContents();
    table.horizontalHeader()->setStretchLastSection(true);
    if (m_rows.empty())
        ui->ozet->setText(u"Fatura yok: \"Dosya Ekle...\" ile XML ya da ZIP dosyalarını seçin."_s);
    else if (m_shownFor.isEmpty())
        ui->ozet->setText(taxNumberWanted());
    else
        ui->ozet->setText(u"%1 fatura: %2 yeni, %3 zaten kayıtlı, %4 okunamadı."_s.arg(m_rows.size())
                              .arg(fresh)
                              .arg(recorded)
                              .arg(unreadable));
    ui->kaydet->setEnabled(fresh > 0);
}

void EInvoiceDialog::onSave()
{
    const QString own = ui->vergiNumarasi->text().trimmed();
    if (!core::isTaxNumber(own)) {
        Desktop::current().messageBox(this, kCaption, taxNumberWanted(), Desktop::Icon::Error, Desktop::Buttons::Ok);
        ui->vergiNumarasi->setFocus();
        return;
    }
    if (own != m_shownFor)
        showPreview();
    try {
        const core::InvoiceImport::Outcome outcome = core::InvoiceImport::record(m_rows, own);
        if (outcome.result.isRefused()) {
            Desktop::current().messageBox(this, kCaption, invoiceRefusalText(outcome, m_rows), Desktop::Icon::Error,
                                          Desktop::Buttons::Ok);
            return;
        }
        Desktop::current().messageBox(this, kCaption, invoiceRecordedText(outcome), Desktop::Icon::Information,
                                      Desktop::Buttons::Ok);
    } catch (const db::Error &e) {
        db::showError(e);
    }
    showPreview();
}
