#pragma once

#include "core/InvoiceImport.h"

#include <QDialog>

#include <memory>
#include <vector>

namespace Ui {
class EInvoiceDialog;
}

// What the preview says of an invoice's state: "Yeni", "Zaten kayıtlı" or "Okunamadı: ..." with why.
QString invoiceStateText(const core::InvoiceImport::Row &row);
// Why the new invoices were not recorded, for the box and the terminal.
QString invoiceRefusalText(const core::InvoiceImport::Outcome &outcome,
                           const std::vector<core::InvoiceImport::Row> &rows);
// What was recorded: "3 fatura kaydedildi, 2 yeni firma eklendi."
QString invoiceRecordedText(const core::InvoiceImport::Outcome &outcome);
// The sentence asking for our tax number when none is given.
QString taxNumberWanted();

// "e-Fatura Al": e-Fatura and e-Arşiv invoices (UBL-TR XML files, or ZIP files of them) shown
// one a row as they would be recorded, our tax number asked once and kept, a category to
// choose for each new one; "Kaydet" records the new ones and their companies in one go.
class EInvoiceDialog : public QDialog
{
    Q_OBJECT
public:
    explicit EInvoiceDialog(const QStringList &paths = {}, QWidget *parent = nullptr);
    ~EInvoiceDialog() override;

    // Opens the dialog on `paths`; with none, asks for the files first.
    static void importFiles(QWidget *owner, const QStringList &paths = {});
    // Whether a dropped file is one the dialog reads.
    static bool takesFile(const QString &path);

private:
    void addFiles();
    void showPreview();
    void onSave();

    std::unique_ptr<Ui::EInvoiceDialog> ui;
    core::InvoiceImport m_import;
    std::vector<core::InvoiceImport::Row> m_rows;
    QString m_shownFor; // the tax number the preview was made for
};
