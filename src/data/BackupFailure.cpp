#include "data/Backup.h"

#include "data/BackupInternal.h"

#include <QMutex>

namespace db {
namespace {

QMutex failureLock; // backups are also made on a thread of their own
std::optional<BackupFailure> failure;

} // namespace

void noteFailure(const std::optional<BackupFailure> &what)
{
    const QMutexLocker locker(&failureLock);
    failure = what;
}

std::optional<BackupFailure> lastBackupFailure()
{
    const QMutexLocker locker(&failureLock);
    return failure;
}

} // namespace db
