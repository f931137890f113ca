#pragma once

#include "vault/SealedMemberships.h"

#include <QDialog>

#include <memory>
#include <optional>

namespace Ui {
class MasterPasswordDialog;
}

// Asks for the master password: a new one twice, with how strong it is (at
// least eight characters, and a weak one only if the user insists), or the
// one set, checked before the dialog closes.
class MasterPasswordDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Purpose { Set, Change, Unlock };

    // `stored` is what Unlock checks against.
    explicit MasterPasswordDialog(Purpose purpose, std::optional<vault::MasterPassword> stored = std::nullopt,
                                  QWidget *parent = nullptr);
    ~MasterPasswordDialog() override;

    QString password() const;            // Set and Change: the new password
    std::optional<vault::Key> takeKey(); // Unlock: the key of the right password

    // "Parola gücü: Zayıf" and so on; empty for an empty password.
    static QString strength(const QString &password);

    // The key of `stored`: the session's when it is that, or asked for (a wrong password is
    // said in the dialog, which stays open). Nothing when the user gives up.
    static const vault::Key *unlockedKey(const vault::MasterPassword &stored, QWidget *owner);

private:
    void onOk();

    std::unique_ptr<Ui::MasterPasswordDialog> ui;
    Purpose m_purpose;
    std::optional<vault::MasterPassword> m_stored;
    std::optional<vault::Key> m_key;
};
