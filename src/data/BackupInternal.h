#pragma once

// Private to the backups' own files: the steps they share.
#include "data/Backup.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace db {

class Connection;

bool syncFile(const QByteArray &path, int flags); // true once `path` is on the disk

// Remembers why the last backup failed, or that it did not (see lastBackupFailure).
void noteFailure(const std::optional<BackupFailure> &what);

// Yedekler/, made owner-only: the copies hold passwords.
void makeBackupFolder();

// A copy cut short by a crash or a power cut leaves its unfinished file,
// named after the process that wrote it: it goes once that process is gone.
void removeUnfinishedCopies();

// Copies Norva.db into Yedekler/ under a name of its own made from `reason`, then
// removes what the rotation no longer keeps when `rotate`. Returns the copy's path.
QString copyInto(const QString &reason, bool rotate);

// The first column of each row of one statement, on a connection of its own.
QStringList firstColumn(Connection &connection, const QString &statement);

// Brings `made`, a copy of the backup `copy` about to be put in Norva.db's place, up to
// this version; throws Error of `refused` (which copy it was), saying why, when it cannot be.
void bringCopyUpToDate(const QString &made, const QString &copy, Failure refused);

} // namespace db
