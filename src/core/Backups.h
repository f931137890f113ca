#pragma once

#include "core/Result.h"
#include "data/Backup.h"
#include "data/Database.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace core {

// The copies of Norva.db in Yedekler/: listing them, backing up, putting one back.
// Every step throws db::Error, except where said.
class Backups
{
public:
    // A copy as its list shows it: what it holds, or nothing when it cannot be read.
    struct Listed
    {
        db::BackupCopy copy;
        std::optional<db::CopyContents> contents;
    };
    static QList<Listed> list(); // newest first; throws nothing

    // Why the last backup failed; nothing since one succeeded.
    static std::optional<db::BackupFailure> lastFailure();

    // A copy made now; its path.
    static QString backUpNow();
    // The first start of a day backs up; true when it did.
    static bool backUpIfDue(const QDateTime &now);

    // Norva.db's records replaced by those of `copy`, Norva.db backed up first. Gone when the
    // copy is no longer there; a copy that fails the check is thrown with the reason. A restore
    // locks the master password's session.
    static Change restore(const QString &copy);
};

} // namespace core
