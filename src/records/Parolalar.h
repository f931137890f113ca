#pragma once

#include "core/Memberships.h"
#include "vault/SealedMemberships.h"

#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QLineEdit;
class RecordList;

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
    void chooseRow(qint32 rowId); // shows that record, for a window that opens it here
    void showCount();             // the count and the note of rows left out
    void OnSelChangeUyelikler();
    // False after the error box. While the list loads nothing is asked: the
    // details stay closed unless the session holds the key; `listed` is the
    // list's connection, which the details are read on.
    bool LoadUyelikDetay(qint32 rowId, bool listing = false, db::Connection *listed = nullptr);
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
    // Runs an add or update with the master password's key while one is set,
    // asked for when the session has none. Nothing when the user did not give
    // it, or after the error box.
    std::optional<core::Memberships::Result>
    write(const std::function<core::Memberships::Result(const vault::Key *key)> &step);
    // The master password's key, asked for when the session has none; nullptr when not given.
    const vault::Key *unlockedKey();
    void showVaultState();
    void clearDetails(); // every box but the place
    // Runs a step on the master password and looks at its state again; false
    // after the error box.
    bool vaultStep(const std::function<core::Memberships::Result()> &step);
    void copy(const QLineEdit *box);
    void showSelected(db::Connection *listed); // while the list loads; else null
    void setButtons(bool yeni, bool kaydet, bool duzelt, bool sil);

    std::unique_ptr<Ui::Parolalar> ui;
    RecordList *m_list;
    qint32 m_nSelectedRowId = -1;
    Membership m_shown; // as last read, sealed or not: "Düzelt" writes nothing when it is stored otherwise now
    std::optional<vault::MasterPassword> m_master; // set: memberships are sealed
    QTimer m_hidePassword;
};
