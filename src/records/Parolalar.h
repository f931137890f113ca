#pragma once

#include "vault/SealedMemberships.h"

#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QLineEdit;
class RecordList;
struct Membership;

namespace db {
class Connection;
}

namespace Ui {
class Parolalar;
}

// Memberships with their user names and passwords: lists them, shows the
// selected one, adds, corrects or deletes one, and copies its fields.
class Parolalar : public QDialog
{
    Q_OBJECT
public:
    explicit Parolalar(QWidget *parent = nullptr);
    ~Parolalar() override;

    void LoadUyelikler();
    void OnSelChangeUyelikler();
    // Over `open` when given, else over a connection of its own; false after the error box.
    bool LoadUyelikDetay(qint32 rowId, db::Connection *open = nullptr);
    void OnYeniKayit();
    void OnUyelikKaydet();
    void OnUyelikDuzelt();
    void OnUyelikSil();
    void OnKopyalaKullaniciAdi();
    void OnKopyalaParola();
    void OnKopyalaMail();
    void OnKopyalaWeb();
    void OnAnaParolaBelirle();
    void OnAnaParolaDegistir();
    void OnSifrelemeyiKaldir();
    void OnKilitle();
    void OnKilidiAc();

    qint32 selectedRowId() const { return m_nSelectedRowId; }

    // How long "Göster" leaves the password readable once let go.
    int passwordShownMs = 3000;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void keepRoomForTheBar();
    Membership typed() const; // what the boxes hold, for the selected RowId
    // What the boxes hold as it is stored: sealed while a master password is set.
    // Nothing when the user did not give the master password.
    std::optional<Membership> toStore();
    // The master password's key, asked for when the session has none; nullptr when not given.
    const vault::Key *unlockedKey();
    void showVaultState();
    void clearDetails(); // every box but the place
    // Runs a step on the master password over a connection of its own; false after the error box.
    bool vaultStep(const std::function<void(db::Connection &)> &step);
    void copy(const QLineEdit *box);
    void showSelected(db::Connection *open);
    void setButtons(bool yeni, bool kaydet, bool duzelt, bool sil);

    std::unique_ptr<Ui::Parolalar> ui;
    RecordList *m_list;
    qint32 m_nSelectedRowId = -1;
    std::optional<vault::MasterPassword> m_master; // set: memberships are sealed
    QTimer m_hidePassword;
};
