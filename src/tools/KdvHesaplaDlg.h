#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class KdvHesaplaDlg;
}

// Adds VAT to a net amount or takes it out of a gross one. Enter computes;
// only Escape closes.
class KdvHesaplaDlg : public QDialog
{
    Q_OBJECT
public:
    explicit KdvHesaplaDlg(QWidget *parent = nullptr);
    ~KdvHesaplaDlg() override;

    void OnHesapla();

private:
    std::unique_ptr<Ui::KdvHesaplaDlg> ui;
};
