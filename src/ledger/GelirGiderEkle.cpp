#include "ledger/GelirGiderEkle.h"

#include "core/Categories.h"
#include "core/Entries.h"
#include "data/Kinds.h"
#include "data/RowListModel.h"
#include "ledger/EntryFields.h"
#include "ledger/ProcessValues.h"
#include "ledger/RateField.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "platform/Images.h"
#include "platform/StoredValues.h"
#include "platform/TextLimit.h"
#include "ui_GelirGiderEkle.h"

#include <QDate>

using namespace Qt::StringLiterals;

GelirGiderEkle::GelirGiderEkle(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::GelirGiderEkle>()), m_categories(new RowListModel(false, this))
{
    ui->setupUi(this);
    ui->sidePicture->setPixmap(sidePicture(QSize(98, 470)));
    ui->sidePicture->setAlignment(Qt::AlignTop);
    ui->icerik->setMaxLength(255);
    ui->islemNotu->setMaxLength(255);
    fitDigits(ui->tutar, 16);
    ui->kategori->setModel(m_categories);
    fitStoredValues(ui->kaynak);
    fitStoredValues(ui->kategori);

    ledger::addNumbers(ui->gun, 1, 31);
    ledger::addNumbers(ui->ay, 1, 12);
    ledger::addNumbers(ui->yil, 2020, 2050);
    selectToday();
    ui->islemTuru->addItem(g_strIslemTuru);
    ui->islemTuru->setCurrentIndex(0);
    ledger::addCurrencies(ui->birim);
    ui->birim->setCurrentIndex(0);
    resetFields();

    loadChoices();
    ui->faturaNo->setEnabled(g_strIslemTuru != ledger::income());

    // The central bank's rate of the entry's date, proposed as Dolar or Euro or a date is chosen.
    m_rate = new ledger::RateField(
        ui->kur, ui->kurNotu, ui->kuruGetir,
        [this] {
            return QDate(ui->yil->currentText().toInt(), ui->ay->currentText().toInt(), ui->gun->currentText().toInt());
        },
        [this] { return ui->birim->currentText(); }, this);
    for (QComboBox *choice : {ui->birim, ui->gun, ui->ay, ui->yil})
        connect(choice, &QComboBox::activated, m_rate, &ledger::RateField::propose);

    connect(ui->kaydet, &QPushButton::clicked, this, &GelirGiderEkle::OnKaydet);
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::reject);
}

GelirGiderEkle::~GelirGiderEkle() = default;

void GelirGiderEkle::selectToday()
{
    const QDate today = QDate::currentDate();
    if (!today.isValid())
        return;
    ui->gun->setCurrentIndex(ui->gun->findText(QString::number(today.day()), Qt::MatchExactly));
    ui->ay->setCurrentIndex(today.month() - 1);
    // Outside 2020-2050 no year is chosen until the user picks one.
    ui->yil->setCurrentIndex(ui->yil->findText(QString::number(today.year()), Qt::MatchExactly));
}

// The kind's categories, and the companies that can stand on the other side of it in Turkish order.
void GelirGiderEkle::loadChoices()
{
    try {
        m_categories->load(core::Categories::list(g_strIslemTuru));
    } catch (const db::Error &error) {
        db::showError(error);
    }
    ui->kategori->setCurrentIndex(0);
    QStringList names;
    try {
        names = core::Entries().sources(g_strIslemTuru);
    } catch (const db::Error &error) {
        db::showError(error);
        return;
    }
    ui->kaynak->clear();
    ui->kaynak->addItems(names);
    ui->kaynak->setCurrentIndex(0);
}

void GelirGiderEkle::resetFields()
{
    ui->tutar->setText(u"0"_s);
    ui->kur->setText(u"0"_s);
    ui->kdv->setText(u"20"_s);
    ui->faturaNo->setText(u"0"_s);
}

void GelirGiderEkle::OnKaydet()
{
    const QString kind = g_strIslemTuru;
    Entry entry = ledger::typedEntry(*ui, kind);
    entry.day = ui->gun->currentText();
    entry.month = ui->ay->currentText();
    entry.year = ui->yil->currentText();
    core::Result<core::EntryRefusal> result;
    try {
        result = core::Entries().add(entry);
    } catch (const db::Error &error) {
        db::showError(error);
        return; // the dialog stays open with everything typed
    }
    if (result.isRefused()) {
        ledger::showRefusal(result.refusal);
        // A company or category gone meanwhile: the lists as they are now.
        if (result.refusal == core::EntryRefusal::Source || result.refusal == core::EntryRefusal::Category)
            loadChoices();
        return;
    }
    Desktop::current().messageBox(this, kind + u" Ekleme İşlemi"_s,
                                  kind + u" işlemi kaydınız başarı ile gerçekleştirilmiştir"_s,
                                  Desktop::Icon::Information, Desktop::Buttons::Ok);
    if (!ui->keepOpen->isChecked()) {
        accept();
        return;
    }
    // Ready for the next entry: date, company, currency and category stay; a proposed rate is proposed again.
    const bool proposed = m_rate->holdsProposal();
    resetFields();
    m_rate->reset();
    if (proposed)
        m_rate->propose();
    ui->icerik->clear();
    ui->islemNotu->clear();
    ui->tutar->setFocus();
}
