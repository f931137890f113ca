#include "core/Backups.h"

#include <QFileInfo>

namespace core {

QList<Backups::Listed> Backups::list()
{
    QList<Listed> listed;
    for (const db::BackupCopy &copy : db::backupCopies()) {
        std::optional<db::CopyContents> contents;
        try {
            contents = db::copyContents(copy.path);
        } catch (const db::Error &) {
            // Listed as unreadable; restoring it is refused with the reason.
        }
        listed.append({copy, contents});
    }
    return listed;
}

QString Backups::lastFailure()
{
    return db::lastBackupFailure();
}

QString Backups::backUpNow()
{
    return db::backUp();
}

bool Backups::backUpIfDue(const QDateTime &now)
{
    if (!db::backupDue(now))
        return false;
    db::backUp();
    return true;
}

Change Backups::restore(const QString &copy)
{
    if (!QFileInfo::exists(copy))
        return Change::gone();
    db::restoreFrom(copy);
    return Change::done();
}

} // namespace core
