#include "companies/FirmaEkleDialog.h"

#include "core/Companies.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"
#include "platform/Images.h"
#include "ui_FirmaEkleDialog.h"

#include <QKeyEvent>

using namespace Qt::StringLiterals;

FirmaEkleDialog::FirmaEkleDialog(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::FirmaEkleDialog>())
{
    ui->setupUi(this);
    ui->sidePicture->setPixmap(sidePicture(QSize(98, 470)));
    ui->sidePicture->setAlignment(Qt::AlignTop);
    ui->adres->setMaxLength(300);
    ui->calismaTuru->addItems(core::relationTexts());
    ui->calismaTuru->setCurrentIndex(0);
    connect(ui->kaydet, &QPushButton::clicked, this, &FirmaEkleDialog::OnKaydet);
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::reject);
    ui->firmaAdi->setFocus();
}

FirmaEkleDialog::~FirmaEkleDialog() = default;

void FirmaEkleDialog::OnKaydet()
{
    const Company company{-1,
                          ui->firmaAdi->text(),
                          ui->adres->toPlainText(),
                          ui->vergiDairesi->text(),
                          ui->vergiNumarasi->text(),
                          ui->telefon->text(),
                          ui->mail->text(),
                          ui->calismaTuru->currentText(),
                          ui->web->text()};
    try {
        // The choice offers only the relations the program knows: nothing here is refused.
        core::Companies().add(company);
    } catch (const db::Error &error) {
        db::showError(error);
        return; // nothing typed is lost: the dialog stays open as it was
    }
    Desktop::current().messageBox(this, u"Firma Ekleme İşlemi"_s, u"Firma başarılı bir şekilde eklenmiştir."_s,
                                  Desktop::Icon::Information, Desktop::Buttons::Ok);
    if (ui->keepOpen->isChecked())
        clearFields();
    else
        accept();
}

void FirmaEkleDialog::clearFields()
{
    ui->calismaTuru->setCurrentIndex(0);
    for (QLineEdit *edit : {ui->firmaAdi, ui->vergiDairesi, ui->vergiNumarasi, ui->telefon, ui->mail, ui->web})
        edit->clear();
    ui->adres->clear();
    ui->firmaAdi->setFocus();
}

void FirmaEkleDialog::keyPressEvent(QKeyEvent *event)
{
    // Enter never presses a button or closes the dialog; the address box
    // takes it as a new line before it gets here.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
