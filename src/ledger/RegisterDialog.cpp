#include "ledger/RegisterDialog.h"

#include "analysis/MoneyText.h"
#include "core/Analysis.h"
#include "data/Files.h"
#include "data/Kinds.h"
#include "ledger/HareketTablosu.h"
#include "ledger/RegisterModel.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "platform/FileTransfer.h"
#include "platform/ServerChanges.h"
#include "ui_RegisterDialog.h"

#include <QDate>
#include <QHeaderView>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString kTumu = u"Tümü"_s;

int dateKey(const QDate &date)
{
    return date.year() * 10000 + date.month() * 100 + date.day();
}

// Keeps the chosen text when it is still offered.
void refill(QComboBox *combo, const QStringList &texts)
{
    const QString chosen = combo->currentText();
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->addItem(kTumu);
    combo->addItems(texts);
    combo->setCurrentIndex(std::max(0, combo->findText(chosen, Qt::MatchExactly)));
}

} // namespace

RegisterDialog::RegisterDialog(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::RegisterDialog>()), m_model(new RegisterModel(this)),
      m_typing(new QTimer(this))
{
    ui->setupUi(this);
    ui->tablo->setModel(m_model);
    ui->tablo->verticalHeader()->hide();
    // Rows of one height: the view lays out only what it shows.
    ui->tablo->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ui->tablo->verticalHeader()->setDefaultSectionSize(ui->tablo->fontMetrics().height() + 6);
    ui->tablo->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ui->tablo->horizontalHeader()->setStretchLastSection(true);
    ui->tablo->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    ui->tablo->setSortingEnabled(true);
    const int widths[] = {80, 75, 160, 110, 150, 70, 110, 110, 110};
    for (int column = 0; column < int(std::size(widths)); ++column)
        ui->tablo->setColumnWidth(column, widths[column]);
    ui->tur->addItems({kTumu, ledger::income(), ledger::expense()});
    const QDate today = QDate::currentDate();
    ui->baslangic->setDate(QDate(today.year(), 1, 1));
    ui->bitis->setDate(today);
    ui->baslangic->setEnabled(false);
    ui->bitis->setEnabled(false);
    ui->kurEksik->hide();
    m_typing->setSingleShot(true);
    m_typing->setInterval(200);

    connect(ui->tarihAraligi, &QCheckBox::toggled, this, [this](bool on) {
        ui->baslangic->setEnabled(on);
        ui->bitis->setEnabled(on);
        applyFilters();
    });
    connect(ui->baslangic, &QDateEdit::dateChanged, this, &RegisterDialog::applyFilters);
    connect(ui->bitis, &QDateEdit::dateChanged, this, &RegisterDialog::applyFilters);
    for (QComboBox *combo : {ui->tur, ui->firma, ui->kategori})
        connect(combo, &QComboBox::currentIndexChanged, this, &RegisterDialog::applyFilters);
    connect(ui->metin, &QLineEdit::textEdited, m_typing, qOverload<>(&QTimer::start));
    connect(ui->metin, &QLineEdit::returnPressed, this, &RegisterDialog::applyFilters);
    connect(m_typing, &QTimer::timeout, this, &RegisterDialog::applyFilters);
    connect(ui->tablo, &QTableView::doubleClicked, this, &RegisterDialog::openEntry);
    connect(ui->csvAktar, &QPushButton::clicked, this, &RegisterDialog::exportCsv);
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::accept);
    // What another desk records shows here too.
    followTables(this, {u"GelirGider"_s}, [this] { reload(); });

    reload();
}

RegisterDialog::~RegisterDialog() = default;

void RegisterDialog::reload()
{
    analysis::Register rows;
    try {
        rows = core::Register().read();
    } catch (const db::Error &error) {
        db::showError(error);
    }
    // The companies and categories the entries name; a choice no longer offered goes back to "Tümü".
    refill(ui->firma, rows.companies());
    refill(ui->kategori, rows.categories());
    m_model->show(std::move(rows), filters());
    showCount();
}

void RegisterDialog::applyFilters()
{
    m_typing->stop();
    m_model->setFilter(filters());
    showCount();
}

analysis::RegisterFilter RegisterDialog::filters() const
{
    analysis::RegisterFilter filter;
    if (ui->tarihAraligi->isChecked()) {
        filter.from = dateKey(ui->baslangic->date());
        filter.to = dateKey(ui->bitis->date());
    }
    filter.kind = ui->tur->currentIndex() > 0 ? ui->tur->currentText() : QString();
    filter.company = ui->firma->currentIndex() > 0 ? ui->firma->currentText() : QString();
    filter.category = ui->kategori->currentIndex() > 0 ? ui->kategori->currentText() : QString();
    filter.text = ui->metin->text();
    return filter;
}

void RegisterDialog::showCount()
{
    const analysis::Register &rows = m_model->rows();
    ui->toplam->setText(
        u"Toplam %1 hareket · Bakiye: %2"_s.arg(rows.rowCount()).arg(analysis::turkishMoney(rows.finalBalance())));
    QStringList notes;
    if (rows.withoutRate() > 0)
        notes << u"%1 hareket kur bilgisi olmadığı için bakiyeye katılmadı."_s.arg(rows.withoutRate());
    if (rows.unreadable() > 0)
        notes << u"%1 hareketin tutarı okunamadığı için bakiyeye katılmadı."_s.arg(rows.unreadable());
    ui->kurEksik->setText(notes.join(u' '));
    ui->kurEksik->setVisible(!notes.isEmpty());
}

void RegisterDialog::openEntry(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    HareketTablosu entries(this);
    entries.chooseRow(m_model->rows().rowId(index.row()));
    Desktop::current().runModal(entries);
    reload(); // a correction or a delete shows here at once
}

void RegisterDialog::exportCsv()
{
    SaveFileRequest request;
    request.caption = u"CSV Aktar"_s;
    request.fileName = u"Hesap Dökümü.csv"_s;
    request.filter = u"CSV Dosyası (*.csv);;Tüm Dosyalar (*.*)"_s;
    request.defaultSuffix = u"csv"_s;
    saveToFile(
        this, request,
        [this](const QString &path) { return files::writeWhole(path, core::Register::csv(m_model->rows())); },
        u"Hesap dökümü %1 dosyasına yazıldı."_s);
}
