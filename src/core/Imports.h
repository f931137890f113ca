#pragma once

#include "core/Result.h"
#include "data/Database.h"
#include "exchange/AccessImport.h"
#include "vault/SealedMemberships.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace core {

// Bringing the earlier program's Access file into Norva.db, for the window and the terminal
// alike: the file is read whole first, then every row is written in one transaction, a copy
// of Norva.db kept first when its records are replaced.
class Imports
{
public:
    enum class Refusal {
        NotReady,  // Norva.db could not be made or brought up to date
        ReadOnly,  // Norva.db cannot be written
        Locked,    // memberships come in sealed, and there was no key, or it was locked meanwhile
        Cancelled, // stopped while writing
    };
    using Mode = exchange::AccessImport::Mode;
    // Called as rows are written with the number so far and the total; returning false cancels.
    using Progress = exchange::AccessImport::Progress;
    // The master password's key as each membership is sealed; nothing once it is locked.
    using KeySource = std::function<const vault::Key *()>;

    // Reads the file whole and closes it; throws exchange::AccessError.
    explicit Imports(const QString &path);
    ~Imports();

    const exchange::AccessImport &file() const { return *m_import; }

    // Whether Norva.db holds records, and so whether adding to them differs from replacing them.
    static bool databaseHasRecords();

    // Norva.db made, or brought up to date, and writable. `why` gets the file's fault when
    // it could not be made, where there is one (a file of a newer build).
    static Result<Refusal> prepareFile(db::FileFault *why = nullptr);

    // The master password the file's memberships are sealed with as they come in; nothing when
    // the file brings none or no master password is set. Throws db::Error and vault::Error.
    std::optional<vault::MasterPassword> sealingPassword() const;

    struct Outcome
    {
        Result<Refusal> result;
        exchange::ImportResult counts; // what became of each table, when done
    };
    // Writes every row in one transaction: a refusal, a failure or a cancel leave Norva.db as it
    // was. `key` is needed while sealingPassword() is set. Throws db::Error, exchange::AccessError
    // and vault::Error.
    Outcome run(Mode mode, const Progress &progress = {}, const KeySource &key = {});

private:
    std::unique_ptr<exchange::AccessImport> m_import;
};

} // namespace core
