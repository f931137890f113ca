#include "ledger/ChartsDialog.h"

#include "analysis/MoneyText.h"
#include "core/Analysis.h"
#include "data/Files.h"
#include "ledger/EntryFields.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "platform/FileTransfer.h"
#include "ui_ChartsDialog.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QDate>
#include <QLineSeries>
#include <QPainter>
#include <QPieSeries>
#include <QPieSlice>
#include <QSvgGenerator>
#include <QValueAxis>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString kMonths[] = {u"Oca"_s, u"Şub"_s, u"Mar"_s, u"Nis"_s, u"May"_s, u"Haz"_s,
                           u"Tem"_s, u"Ağu"_s, u"Eyl"_s, u"Eki"_s, u"Kas"_s, u"Ara"_s};

// Lira for drawing only: the figures themselves stay in kuruş.
double lira(ledger::WideKurus kurus)
{
    return double(kurus) / 100.0;
}

QChartView *addView(QLayout *layout)
{
    auto *view = new QChartView;
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(420, 360);
    layout->addWidget(view);
    return view;
}

// The view takes the new chart and lets the one it showed go: that one is deleted here.
void showChart(QChartView *view, QChart *chart)
{
    QChart *shown = view->chart();
    view->setChart(chart);
    delete shown;
}

QString leftOutNote(int leftOut)
{
    return leftOut == 0 ? QString() : u"%1 hareket kur bilgisi olmadığı için grafiğe katılmadı."_s.arg(leftOut);
}

} // namespace

ChartsDialog::ChartsDialog(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::ChartsDialog>())
{
    ui->setupUi(this);
    m_months = addView(ui->aylikGrafik);
    m_expenses = addView(ui->giderGrafik);
    m_incomes = addView(ui->gelirGrafik);
    ledger::addNumbers(ui->yil, 2020, 2050);
    ui->ay->addItem(u"Tümü"_s);
    ledger::addNumbers(ui->ay, 1, 12);
    const QDate today = QDate::currentDate();
    ui->yil->setCurrentIndex(std::max(0, ui->yil->findText(QString::number(today.year()), Qt::MatchExactly)));
    ui->ay->setCurrentIndex(0);
    ui->kurEksik->hide();

    connect(ui->yil, &QComboBox::currentIndexChanged, this, [this] {
        showYear();
        showCategories();
    });
    connect(ui->ay, &QComboBox::currentIndexChanged, this, &ChartsDialog::showCategories);
    connect(ui->resimKaydet, &QPushButton::clicked, this, &ChartsDialog::saveImage);
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::accept);

    showYear();
    showCategories();
}

ChartsDialog::~ChartsDialog() = default;

QChart *ChartsDialog::newChart(const QString &title) const
{
    auto *chart = new QChart;
    // The chart's own theme for the lines and bars, the window's colours around them.
    const QPalette colours = palette();
    const bool dark = colours.color(QPalette::Window).lightness() < 128;
    chart->setTheme(dark ? QChart::ChartThemeDark : QChart::ChartThemeLight);
    chart->setBackgroundBrush(colours.color(QPalette::Base));
    chart->setTitleBrush(colours.color(QPalette::Text));
    chart->legend()->setLabelColor(colours.color(QPalette::Text));
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    return chart;
}

void ChartsDialog::showYear()
{
    const int year = ui->yil->currentText().toInt();
    std::optional<analysis::YearFigures> figures;
    try {
        figures = core::Figures().year(year);
        if (!figures)
            throw db::Error{QString(), u"Sütun değeri dönüştürülemedi: IslemTutari"_s};
    } catch (const db::Error &error) {
        showChart(m_months, newChart({}));
        ui->yilToplami->clear();
        db::showError(error);
        return;
    }
    QChart *chart = newChart(u"%1 yılı aylık gelir ve gider"_s.arg(year));
    auto *income = new QBarSet(u"Gelir"_s);
    auto *expense = new QBarSet(u"Gider"_s);
    income->setColor(QColor(0x2e, 0x9d, 0x4f));
    expense->setColor(QColor(0xd0, 0x45, 0x35));
    auto *result = new QLineSeries;
    result->setName(u"Kâr / Zarar"_s);
    double lowest = 0, highest = 1; // an empty year still gets a scale
    for (int month = 0; month < 12; ++month) {
        const analysis::MonthFigures &m = figures->months[size_t(month)];
        *income << lira(m.income);
        *expense << lira(m.expense);
        result->append(month, lira(m.income - m.expense));
        lowest = std::min({lowest, lira(m.income - m.expense), lira(m.income), lira(m.expense)});
        highest = std::max({highest, lira(m.income), lira(m.expense), lira(m.income - m.expense)});
    }
    auto *bars = new QBarSeries;
    bars->append(income);
    bars->append(expense);
    chart->addSeries(bars);
    chart->addSeries(result);
    auto *months = new QBarCategoryAxis;
    for (const QString &name : kMonths)
        months->append(name);
    auto *amounts = new QValueAxis;
    amounts->setLabelFormat(u"%.0f"_s);
    chart->addAxis(months, Qt::AlignBottom);
    chart->addAxis(amounts, Qt::AlignLeft);
    for (QAbstractSeries *series : chart->series()) {
        series->attachAxis(months);
        series->attachAxis(amounts);
    }
    amounts->setRange(lowest, highest);
    amounts->applyNiceNumbers();
    showChart(m_months, chart);

    const ledger::Totals &totals = figures->year;
    QStringList lines{u"%1 yılı"_s.arg(year),
                      QString(),
                      u"Toplam Gelir:"_s,
                      analysis::turkishMoney(totals.income),
                      QString(),
                      u"Toplam Gider:"_s,
                      analysis::turkishMoney(totals.expense),
                      QString()};
    const ledger::WideKurus difference = totals.income - totals.expense;
    lines << (difference > 0 ? u"Kâr:"_s : u"Zarar:"_s)
          << analysis::turkishMoney(difference > 0 ? difference : -difference);
    ui->yilToplami->setText(lines.join(u'\n'));
    const QString note = leftOutNote(totals.leftOut);
    ui->kurEksik->setText(note);
    ui->kurEksik->setVisible(!note.isEmpty());
}

void ChartsDialog::showCategories()
{
    const int year = ui->yil->currentText().toInt();
    const int month = ui->ay->currentIndex();
    std::optional<analysis::CategoryFigures> figures;
    try {
        figures = core::Figures().categories(year, month);
        if (!figures)
            throw db::Error{QString(), u"Sütun değeri dönüştürülemedi: IslemTutari"_s};
    } catch (const db::Error &error) {
        showChart(m_expenses, newChart({}));
        showChart(m_incomes, newChart({}));
        db::showError(error);
        return;
    }
    const QString period = month > 0 ? u"%1 %2"_s.arg(kMonths[month - 1]).arg(year) : QString::number(year);
    const auto pie = [&](const QString &title, const std::vector<analysis::CategoryAmount> &list,
                         ledger::WideKurus total) {
        QChart *chart = newChart(u"%1 — %2\nToplam %3"_s.arg(title, period, analysis::turkishMoney(total)));
        auto *series = new QPieSeries;
        for (const analysis::CategoryAmount &c : list) {
            QPieSlice *slice = series->append(u"%1: %2 (%3)"_s.arg(c.category, analysis::turkishMoney(c.amount),
                                                                   analysis::shareText(c.amount, total)),
                                              lira(c.amount));
            slice->setLabelVisible(list.size() <= 8);
        }
        chart->addSeries(series);
        chart->legend()->setAlignment(Qt::AlignBottom);
        return chart;
    };
    showChart(m_expenses, pie(u"Kategorilere göre gider"_s, figures->expense, figures->totals.expense));
    showChart(m_incomes, pie(u"Kategorilere göre gelir"_s, figures->income, figures->totals.income));
}

void ChartsDialog::saveImage()
{
    QWidget *page = ui->sekmeler->currentWidget();
    SaveFileRequest request;
    request.caption = u"Resim Olarak Kaydet"_s;
    request.fileName = u"Grafik %1.png"_s.arg(ui->yil->currentText());
    request.filter = u"PNG Resmi (*.png);;SVG Çizimi (*.svg)"_s;
    request.defaultSuffix = u"png"_s;
    saveToFile(
        this, request,
        [page](const QString &path) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            if (path.endsWith(u".svg"_s, Qt::CaseInsensitive)) {
                QSvgGenerator svg;
                svg.setOutputDevice(&buffer);
                svg.setSize(page->size());
                svg.setViewBox(page->rect());
                svg.setTitle(u"Norva Rezado"_s);
                QPainter painter(&svg);
                page->render(&painter);
            } else {
                page->grab().save(&buffer, "PNG");
            }
            return files::writeWhole(path, bytes);
        },
        u"Grafik %1 dosyasına kaydedildi."_s);
}
