#pragma once

#include <QDialog>

#include <memory>

class RowListModel;

namespace ledger {
class RateField;
}

namespace Ui {
class GelirGiderEkle;
}

// Records one income or expense entry; the kind comes from g_strIslemTuru.
class GelirGiderEkle : public QDialog
{
    Q_OBJECT
public:
    explicit GelirGiderEkle(QWidget *parent = nullptr);
    ~GelirGiderEkle() override;

    void OnKaydet();

private:
    void selectToday();
    void loadChoices();
    void resetFields();

    std::unique_ptr<Ui::GelirGiderEkle> ui;
    RowListModel *m_categories;
    ledger::RateField *m_rate = nullptr;
};
