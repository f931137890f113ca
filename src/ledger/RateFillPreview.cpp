#include "ledger/RateFillPreview.h"

#include "ledger/RateField.h"
#include "ui_RateFillPreview.h"

#include <QHeaderView>

using namespace Qt::StringLiterals;

RateFillPreview::RateFillPreview(const core::RateFillPlan &plan, RateKind kind, const QString &note, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::RateFillPreview>())
{
    ui->setupUi(this);
    ui->ozet->setText(
        u"Aşağıdaki %1 hareketin Geçerli Kur alanı, işlem tarihindeki TCMB kuruyla doldurulacak. Yazılmadan önce "
        u"kontrol edin."_s.arg(plan.fills.size()));
    QStringList missing;
    if (plan.leftOut > 0)
        missing << u"Kuru girilmemiş %1 hareket için saklanan bir kur yok ya da tarihi geçersiz; bunlar olduğu gibi "
                   u"kalacak."_s.arg(plan.leftOut);
    if (!note.isEmpty())
        missing << note;
    ui->eksikler->setText(missing.join(u'\n'));
    ui->eksikler->setVisible(!missing.isEmpty());

    QTableWidget *table = ui->hareketler;
    table->setColumnCount(6);
    table->setHorizontalHeaderLabels(
        {u"Tarih"_s, u"İşlem Kaynağı"_s, u"İşlem Tutarı"_s, u"Birim"_s, u"Geçerli Kur"_s, u"Kurun Kaynağı"_s});
    table->setRowCount(int(plan.fills.size()));
    table->verticalHeader()->hide();
    int row = 0;
    for (const core::RateFill &fill : plan.fills) {
        const Entry &entry = fill.entry;
        const QDate day(entry.year.toInt(), entry.month.toInt(), entry.day.toInt());
        const QString cells[] = {day.toString(u"dd.MM.yyyy"_s),
                                 entry.source,
                                 entry.amount,
                                 entry.currency,
                                 rateText(fill.rate.perUnit),
                                 ledger::bulletinText(fill.rate.bulletinDay, day, kind)};
        for (int column = 0; column < 6; ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            if (column == 2 || column == 4)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column, item);
        }
        ++row;
    }
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // A company's name of any length gets a width of its own, elided: it never sets the dialog's width.
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Interactive);
    table->setColumnWidth(1, fontMetrics().averageCharWidth() * 24);
    table->horizontalHeader()->setStretchLastSection(true);

    connect(ui->yaz, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->vazgec, &QPushButton::clicked, this, &QDialog::reject);
}

RateFillPreview::~RateFillPreview() = default;
