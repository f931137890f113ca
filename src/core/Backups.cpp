#include "core/Backups.h"

#include "vault/Session.h"

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

std::optional<db::BackupFailure> Backups::lastFailure()
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
    // The key kept belongs to the records replaced: the restored ones may have another master
    // password, or none, and a membership sealed with it now would never open again.
    vault::Session::current().lock();
    return Change::done();
}

} // namespace core
