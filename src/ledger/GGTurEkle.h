#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class RowListModel;

namespace Ui {
class GGTurEkle;
}

// Keeps the income and the expense categories: both lists, adding and deleting.
// Every change is written at once.
class GGTurEkle : public QDialog
{
    Q_OBJECT
public:
    explicit GGTurEkle(QWidget *parent = nullptr);
    ~GGTurEkle() override;

    void OnGelirEkle();
    void OnGiderEkle();
    void OnGelirSecildi();
    void OnGiderSecildi();
    void OnGelirSil();
    void OnGiderSil();

private:
    // What differs between the two columns of the dialog.
    struct Column
    {
        QString kind; // "Gelir" or "Gider"
        QListView *list;
        RowListModel *model;
        QLabel *unreadable; // says how many rows the list left out
        QLineEdit *newName;
        QPushButton *deleteButton;
        qint32 selectedRowId = -1;
    };

    void load(Column &column);
    void add(Column &column);
    void selected(Column &column, Column &other);
    void remove(Column &column);

    std::unique_ptr<Ui::GGTurEkle> ui;
    Column m_gelir;
    Column m_gider;
};
