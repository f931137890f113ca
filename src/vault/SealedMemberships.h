#pragma once

#include "data/MembershipStore.h"
#include "vault/Vault.h"

#include <QString>

#include <optional>

namespace db {
class Connection;
}

// Memberships behind the master password. While one is set, every column of
// Parolalar but the place ("Üyelik Yeri") holds a sealed value, and so do the
// memberships in the trash; the settings live in the table MasterPassword.
namespace vault {

// Why sealing or opening could not be done, in Turkish; nothing was changed.
struct Error
{
    QString message;
};

struct MasterPassword
{
    KeyParameters parameters;
    QString check;
};

// The master password's settings; nothing while none is set. Throws db::Error.
std::optional<MasterPassword> storedMasterPassword(db::Connection &connection);

// The key when `password` is the master password; nothing otherwise.
std::optional<Key> unlock(const MasterPassword &stored, const QString &password);

// A membership with its sealed columns sealed, or opened. A value that is not
// sealed (written before the master password was set) opens as itself.
Membership sealed(const Key &key, Membership membership);
std::optional<Membership> opened(const Key &key, Membership membership); // nothing when a value will not open

// Each in one transaction over the memberships and the trash: a failure leaves
// everything as it was. They throw db::Error, or Error naming a membership
// whose values will not open with `current`.
Key setMasterPassword(db::Connection &connection, const QString &password,
                      const KeyParameters &parameters = KeyParameters::fresh());
Key changeMasterPassword(db::Connection &connection, const Key &current, const QString &password,
                         const KeyParameters &parameters = KeyParameters::fresh());
void removeMasterPassword(db::Connection &connection, const Key &current);

} // namespace vault
