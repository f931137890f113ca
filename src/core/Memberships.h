#pragma once

#include "core/Result.h"
#include "data/MembershipStore.h"
#include "vault/SealedMemberships.h"

#include <optional>

// Memberships and the master password that seals them. While a master
// password is set nothing is written plain: each write seals with the key it
// is given, else with the session's, and is refused without one. Every step
// throws db::Error, and vault::Error when the master password cannot be read
// or its step cannot be done.
namespace core {

class Memberships
{
public:
    enum class Refusal {
        Locked,           // a master password is set and no key was given or kept
        WrongKey,         // the key is not the master password's (changed meanwhile elsewhere)
        AlreadySet,       // a master password is set already
        NoMasterPassword, // none is set to change or remove
    };
    using Result = core::Result<Refusal>;

    static db::ListQuery list(); // the places with their RowId, in the order stored

    // The master password's settings; nothing while none is set.
    static std::optional<vault::MasterPassword> masterPassword();

    // The membership as stored, sealed while a master password is set
    // (vault::opened opens it); nothing when gone meanwhile.
    static std::optional<Membership> find(qint32 rowId);
    static std::optional<Membership> find(db::Connection &listed, qint32 rowId); // on the list's connection

    // `plain` as the user typed it; sealed with `key`, or when none is given
    // with the session's, while a master password is set.
    static Result add(const Membership &plain, const vault::Key *key = nullptr);
    // Gone: deleted meanwhile. Changed, writing nothing: the stored row is no longer `original`,
    // the membership as find() gave it to the window (sealed or not).
    static Result update(const Membership &original, const Membership &plain, const vault::Key *key = nullptr);
    static Change remove(qint32 rowId); // into the trash

    // Each seals or opens every membership, and those in the trash, in one
    // transaction. Set and change keep the new key in the session; removal locks it.
    static Result setMasterPassword(const QString &password);
    static Result changeMasterPassword(const vault::Key &current, const QString &password);
    static Result removeMasterPassword(const vault::Key &current);
};

} // namespace core
