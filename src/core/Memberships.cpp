#include "core/Memberships.h"

#include "data/Database.h"
#include "vault/Session.h"

namespace core {

namespace {

using Refusal = Memberships::Refusal;
using Result = Memberships::Result;

// Writes `plain` through `write` as the file wants it now: sealed while a
// master password is set, plain otherwise. Read in the write's transaction,
// so that a master password set meanwhile by another copy is seen. `write`
// gives the result; only a Done one is committed.
template <typename Write>
Result writeSealed(Membership plain, const vault::Key *key, Write write)
{
    db::Connection connection;
    db::Transaction transaction(connection);
    if (const std::optional<vault::MasterPassword> master = vault::storedMasterPassword(connection)) {
        if (!key)
            key = vault::Session::current().key();
        if (!key)
            return Result::refused(Refusal::Locked);
        if (!key->matchesCheck(master->check))
            return Result::refused(Refusal::WrongKey);
        plain = vault::sealed(*key, std::move(plain));
    }
    const Result result = write(MembershipStore(connection), plain);
    if (result.isDone())
        transaction.commit();
    return result;
}

// The master password's settings, refused when the wish does not fit them.
std::optional<Refusal> misfit(const std::optional<vault::MasterPassword> &master, const vault::Key *current)
{
    if (!current)
        return master ? std::optional(Refusal::AlreadySet) : std::nullopt;
    if (!master)
        return Refusal::NoMasterPassword;
    if (!current->matchesCheck(master->check))
        return Refusal::WrongKey;
    return std::nullopt;
}

} // namespace

db::ListQuery Memberships::list()
{
    return MembershipStore::places();
}

std::optional<vault::MasterPassword> Memberships::masterPassword()
{
    db::Connection connection;
    return vault::storedMasterPassword(connection);
}

std::optional<Membership> Memberships::find(qint32 rowId)
{
    db::Connection connection;
    return find(connection, rowId);
}

std::optional<Membership> Memberships::find(db::Connection &listed, qint32 rowId)
{
    return MembershipStore(listed).find(rowId);
}

Memberships::Result Memberships::add(const Membership &plain, const vault::Key *key)
{
    return writeSealed(plain, key, [](MembershipStore store, const Membership &m) {
        store.add(m);
        return Result::done(m.rowId);
    });
}

Memberships::Result Memberships::update(const Membership &original, const Membership &plain, const vault::Key *key)
{
    return writeSealed(plain, key, [&original](MembershipStore store, const Membership &m) {
        // Compared as stored: a sealed value is compared sealed.
        const std::optional<Membership> stored = store.find(m.rowId, true);
        if (!stored)
            return Result::gone();
        if (*stored != original)
            return Result::changed();
        store.update(m);
        return Result::done(m.rowId);
    });
}

Change Memberships::remove(qint32 rowId)
{
    db::Connection connection;
    return changeOf(MembershipStore(connection).remove(rowId), rowId);
}

Memberships::Result Memberships::setMasterPassword(const QString &password)
{
    db::Connection connection;
    if (const std::optional<Refusal> why = misfit(vault::storedMasterPassword(connection), nullptr))
        return Result::refused(*why);
    vault::Session::current().keep(vault::setMasterPassword(connection, password));
    return Result::done();
}

Memberships::Result Memberships::changeMasterPassword(const vault::Key &current, const QString &password)
{
    db::Connection connection;
    if (const std::optional<Refusal> why = misfit(vault::storedMasterPassword(connection), &current))
        return Result::refused(*why);
    vault::Session::current().keep(vault::changeMasterPassword(connection, current, password));
    return Result::done();
}

Memberships::Result Memberships::removeMasterPassword(const vault::Key &current)
{
    db::Connection connection;
    if (const std::optional<Refusal> why = misfit(vault::storedMasterPassword(connection), &current))
        return Result::refused(*why);
    vault::removeMasterPassword(connection, current);
    vault::Session::current().lock();
    return Result::done();
}

} // namespace core
