#include "tools/KdvHesaplaDlg.h"

#include "tools/Vat.h"
#include "ui_KdvHesaplaDlg.h"

#include <algorithm>

using namespace Qt::StringLiterals;

KdvHesaplaDlg::KdvHesaplaDlg(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::KdvHesaplaDlg>())
{
    ui->setupUi(this);
    ui->tutar->setText(u"0"_s);
    ui->oran->setText(u"20"_s);
    ui->islem->addItems({u"Tutarin KDV'sini bul"_s, u"Tutardan KDV'yi çıkar"_s});
    ui->islem->setCurrentIndex(0);

    // The labels change with the mode; the column is wide enough for every
    // text they take, so the window keeps its size.
    int labelWidth = 0;
    for (const QString &text : {u"Toplam Tutar:"_s, u"Tutar + KDV: "_s, u"KDV % Oranı:"_s})
        labelWidth = std::max(labelWidth, ui->toplamLabel->fontMetrics().horizontalAdvance(text));
    ui->fields->setColumnMinimumWidth(0, labelWidth + 4);
    ui->fields->setColumnMinimumWidth(1, 190);
    setFixedSize(std::max(sizeHint().width(), 400), sizeHint().height());

    connect(ui->hesapla, &QPushButton::clicked, this, &KdvHesaplaDlg::OnHesapla);
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::reject);
    ui->hesapla->setFocus();
}

KdvHesaplaDlg::~KdvHesaplaDlg() = default;

void KdvHesaplaDlg::OnHesapla()
{
    const double amount = vat::parseNumber(ui->tutar->text());
    const double rate = vat::parseNumber(ui->oran->text());
    const vat::Mode mode = ui->islem->currentIndex() == 0 ? vat::Mode::AddVat : vat::Mode::RemoveVat;
    const vat::Result result = vat::compute(mode, amount, rate);

    ui->toplamTutar->setText(vat::formatTl(result.other));
    ui->kdvTutari->setText(vat::formatTl(result.vat));
    if (mode == vat::Mode::AddVat) {
        ui->tutarLabel->setText(u"Ham Tutar: "_s);
        ui->toplamLabel->setText(u"Tutar + KDV: "_s);
        ui->isaret->setText(u"+"_s);
    } else {
        ui->toplamLabel->setText(u"Ham Tutar: "_s);
        ui->tutarLabel->setText(u"Tutar: "_s);
        ui->isaret->setText(u"-"_s);
    }
}
