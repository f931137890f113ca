#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class FirmaEkleDialog;
}

// Adds one company at a time; with the keep-open box checked it stays open
// for the next one.
class FirmaEkleDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FirmaEkleDialog(QWidget *parent = nullptr);
    ~FirmaEkleDialog() override;

    void OnKaydet();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void clearFields();

    std::unique_ptr<Ui::FirmaEkleDialog> ui;
};
