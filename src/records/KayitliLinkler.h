#pragma once

#include <QDialog>

#include <memory>

class RecordList;

namespace db {
class Connection;
}

namespace Ui {
class KayitliLinkler;
}

// Saved web links: lists them by title, shows the selected one, adds a new
// one or deletes the selected one, and opens the address in the browser. The
// links go to and come from the bookmarks file every browser reads.
class KayitliLinkler : public QDialog
{
    Q_OBJECT
public:
    explicit KayitliLinkler(QWidget *parent = nullptr);
    ~KayitliLinkler() override;

    void LoadLinkler();
    void chooseRow(qint32 rowId); // shows that record, for a window that opens it here
    void showCount();             // the count and the note of rows left out
    void OnSelChangeLinkler();
    // False after the error box. `listed`: the list's connection, as the dialog opens.
    bool LoadLinkDetay(qint32 rowId, db::Connection *listed = nullptr);
    void OnYeniLink();
    void OnLinkKaydet();
    void OnLinkSil();
    void OnLinkAc();
    void OnYerImleriniAktar();
    void OnYerImleriniAl();

    qint32 selectedRowId() const { return m_nSelectedRowId; }

private:
    void setButtons(bool yeni, bool kaydet, bool sil);
    void showSelected(db::Connection *listed = nullptr);

    std::unique_ptr<Ui::KayitliLinkler> ui;
    RecordList *m_list;
    qint32 m_nSelectedRowId = -1;
};
