#include "core/Imports.h"

#include "data/Database.h"
#include "vault/Vault.h"

namespace core {

namespace {

// Thrown from inside the import's transaction when the key is locked meanwhile: nothing is written.
struct KeyGone
{
};

exchange::ValueSealing sealingWith(const Imports::KeySource &key)
{
    const auto keyOrStop = [key] {
        const vault::Key *current = key();
        if (!current)
            throw KeyGone{};
        return current;
    };
    return {[keyOrStop](const QString &value, const char *column) { return keyOrStop()->seal(value, column); },
            [keyOrStop](const QString &stored, const char *column) -> std::optional<QString> {
                return vault::isSealed(stored) ? keyOrStop()->open(stored, column) : stored;
            }};
}

} // namespace

Imports::Imports(const QString &path) : m_import(std::make_unique<exchange::AccessImport>(path))
{}

Imports::~Imports() = default;

bool Imports::databaseHasRecords()
{
    return exchange::AccessImport::databaseHasRecords();
}

Result<Imports::Refusal> Imports::prepareFile(db::FileFault *why)
{
    if (!db::ensureSchema(why))
        return Result<Refusal>::refused(Refusal::NotReady);
    if (db::isReadOnly())
        return Result<Refusal>::refused(Refusal::ReadOnly);
    return Result<Refusal>::done();
}

std::optional<vault::MasterPassword> Imports::sealingPassword() const
{
    if (!m_import->hasMemberships())
        return std::nullopt;
    db::Connection connection;
    return vault::storedMasterPassword(connection);
}

Imports::Outcome Imports::run(Mode mode, const Progress &progress, const KeySource &key)
{
    std::optional<exchange::ValueSealing> sealing;
    if (sealingPassword()) {
        // Memberships never come in unsealed while a master password is set.
        if (!key || !key())
            return {Result<Refusal>::refused(Refusal::Locked), {}};
        sealing = sealingWith(key);
    }
    exchange::ImportResult counts;
    try {
        counts = m_import->run(mode, progress, sealing ? &*sealing : nullptr);
    } catch (const KeyGone &) {
        return {Result<Refusal>::refused(Refusal::Locked), {}};
    }
    if (counts.cancelled)
        return {Result<Refusal>::refused(Refusal::Cancelled), counts};
    return {Result<Refusal>::done(), counts};
}

} // namespace core
