#pragma once

#include <QDialog>

#include <memory>

class RecordList;
class QComboBox;

namespace db {
class Connection;
}

namespace Ui {
class TelefonRehberi;
}

// The contact directory: lists the contacts, shows the selected one, adds a
// new one or deletes the selected one. Shown contacts are never changed. The
// contacts go to and come from .vcf files as well.
class TelefonRehberi : public QDialog
{
    Q_OBJECT
public:
    explicit TelefonRehberi(QWidget *parent = nullptr);
    ~TelefonRehberi() override;

    void LoadKisiler();
    void chooseRow(qint32 rowId); // shows that record, for a window that opens it here
    void showCount();             // the count and the note of rows left out
    void OnSelChangeKisiler();
    // False after the error box. `listed`: the list's connection, as the dialog opens.
    bool LoadKisiDetay(qint32 rowId, db::Connection *listed = nullptr);
    void OnYeniKisi();
    void OnKisiKaydet();
    void OnKisiSil();
    void OnVCardAktar();
    void OnVCardAl();

    qint32 selectedRowId() const { return m_nSelectedRowId; }

    // The fixed entries of the four lists, in the order shown.
    static const QStringList &memleketler();
    static const QStringList &tahsiller();
    static const QStringList &kanGuruplari();
    static const QStringList &akrabaliklar();

private:
    void FillMemleketList();
    void showSelected(db::Connection *listed = nullptr);
    void showDefaults();
    void setButtons(bool yeni, bool kaydet, bool sil);

    std::unique_ptr<Ui::TelefonRehberi> ui;
    RecordList *m_list;
    qint32 m_nSelectedRowId = -1;
};
