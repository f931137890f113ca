#pragma once

#include <QDialog>

#include <memory>

class QChart;
class QChartView;

namespace Ui {
class ChartsDialog;
}

// "Grafikler": a year's income and expense month by month with the profit or loss, and a year's or a
// month's income and expense by category. The figures come from core::Figures; the chart only draws.
class ChartsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ChartsDialog(QWidget *parent = nullptr);
    ~ChartsDialog() override;

    void showYear();       // the monthly chart of the chosen year
    void showCategories(); // the category charts of the chosen year and month
    void saveImage();      // the page on show, as PNG or SVG

private:
    QChart *newChart(const QString &title) const; // in the colours of the visual theme

    std::unique_ptr<Ui::ChartsDialog> ui;
    QChartView *m_months;
    QChartView *m_expenses;
    QChartView *m_incomes;
};
