#pragma once

#include "data/CompanyStore.h"

#include <QDialog>

#include <memory>
#include <optional>

class RowListModel;

namespace Ui {
class KayitliFirmalar;
}

// Lists the companies of one working relation, shows the chosen one, and
// saves, deletes, mails or visits it; writes the listed ones to a CSV file.
class KayitliFirmalar : public QDialog
{
    Q_OBJECT
public:
    explicit KayitliFirmalar(QWidget *parent = nullptr);
    ~KayitliFirmalar() override;

    void OnBul();
    void chooseRow(qint32 rowId); // lists every company and shows that one, for a window that opens it here
    void OnFirmaSecildi();
    void OnKaydet();
    void OnSil();
    void OnMailGonder();
    void OnWebAc();
    void OnCsvAktar();

    qint32 selectedRowId() const { return m_nSelectedRowId; }

private:
    bool loadDetails(); // false after the error box
    void setRecordButtonsEnabled(bool enabled);
    void selectFirst();
    void reportVanished();
    void reportChanged();
    void refreshList();
    void showCount(); // the count and the note of rows left out, of the list as it is

    std::unique_ptr<Ui::KayitliFirmalar> ui;
    RowListModel *m_model;
    qint32 m_nSelectedRowId = -1;
    std::optional<int> m_listed; // the filter the list was last found with, once it was
    Company m_shown;             // as last read: a save writes nothing when it is stored otherwise now
};
