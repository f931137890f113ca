#pragma once

#include <QDialog>

#include <memory>

class QColor;
struct MonthlyReport;

namespace Ui {
class Rapor;
}

// Shows a monthly report's text with its section banners coloured, lets the
// user restyle it, saves it as an RTF or PDF file and prints it.
class Rapor : public QDialog
{
    Q_OBJECT
public:
    enum class Effect { Bold, Underline, StrikeOut, Italic };

    explicit Rapor(const MonthlyReport &report, QWidget *parent = nullptr);
    ~Rapor() override;

    void OnRtfKaydet();
    void OnPdfKaydet();
    void OnYazdir();
    // Switches one effect of the selection (or of what is typed next) on or
    // off, leaving every other attribute as it is.
    void ToggleSelectionEffect(Effect effect);
    // Colours the selection, or the word at the caret when nothing is selected.
    void SetWordTextColor(const QColor &colour);

private:
    void createToolBar();

    std::unique_ptr<Ui::Rapor> ui;
    // What the PDF's properties and the print job are called: the window's
    // title, and the report's month when it has one.
    QString m_title;
    // The report's month and year as its title line shows them ("MART 2032");
    // empty for a text of no month.
    QString m_month;
};
