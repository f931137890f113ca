#pragma once

#include <QDialog>

#include <memory>
#include <optional>

class TrashModel;

namespace Ui {
class TrashDialog;
}

// "Çöp Kutusu": the records deleted in the last 30 days, newest first. One
// is put back where it was, or removed for good; the whole trash can be
// emptied. Removing for good asks first.
class TrashDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TrashDialog(QWidget *parent = nullptr);
    ~TrashDialog() override;

    void load();
    void onRestore();
    void onDeleteForGood();
    void onEmpty();

    // What the list calls each table's records ("Firma", "Kişi", ...).
    static QString kindName(const QString &table);

private:
    std::optional<qint32> selectedRowId() const;
    void updateButtons();
    void reportGone();

    std::unique_ptr<Ui::TrashDialog> ui;
    TrashModel *m_model;
};
