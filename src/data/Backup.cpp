#include "data/Backup.h"

#include "data/BackupInternal.h"
#include "data/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace db {

QString copyInto(const QString &reason, bool rotate)
{
    try {
        makeBackupFolder();
        // Two copies in one second get names of their own: a copy never replaces another.
        const QString name = copyName(reason, QDateTime::currentDateTime());
        QString target = QDir(backupFolder()).filePath(name);
        for (int count = 2; QFileInfo::exists(target); ++count)
            target = QDir(backupFolder()).filePath(name.chopped(3) + u".%1.db"_s.arg(count));
        copyDatabase(fileName(), target);
        noteFailure(std::nullopt);
        if (rotate) {
            const QList<BackupCopy> copies = backupCopies();
            QList<QDateTime> made;
            for (const BackupCopy &copy : copies)
                made << copy.made;
            // A copy that cannot be removed now goes at the next backup.
            for (const qsizetype index : rotationRemovals(made, QDate::currentDate()))
                QFile::remove(copies[index].path);
            removeUnfinishedCopies();
        }
        return target;
    } catch (const Error &error) {
        noteFailure(BackupFailure{error.kind == ErrorKind::Full, error.description, error.failure, error.subject});
        throw;
    }
}

QString keepCopy(const QString &reason)
{
    // A server's records are backed up by the server's own tools, not copied here.
    if (Database::current().isServer())
        return {};
    return copyInto(reason, true);
}

QString backUp()
{
    return copyInto(QString(), true);
}

} // namespace db
