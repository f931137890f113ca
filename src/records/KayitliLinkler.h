#pragma once

#include <QDialog>

#include <memory>

class RecordList;

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
    void OnSelChangeLinkler();
    bool LoadLinkDetay(qint32 rowId); // false after the error box
    void OnYeniLink();
    void OnLinkKaydet();
    void OnLinkSil();
    void OnLinkAc();
    void OnYerImleriniAktar();
    void OnYerImleriniAl();

    qint32 selectedRowId() const { return m_nSelectedRowId; }

private:
    void setButtons(bool yeni, bool kaydet, bool sil);
    void showSelected();

    std::unique_ptr<Ui::KayitliLinkler> ui;
    RecordList *m_list;
    qint32 m_nSelectedRowId = -1;
};
