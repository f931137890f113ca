#include "data/Backup.h"

#include "data/BackupInternal.h"
#include "data/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace db {

QString backupFolder()
{
    return QFileInfo(fileName()).absoluteDir().filePath(u"Yedekler"_s);
}

QString copyName(const QString &reason, const QDateTime &when)
{
    const QString stamp = when.toString(u"yyyy-MM-dd-HH-mm-ss"_s);
    return reason.isEmpty() ? u"Norva-%1.db"_s.arg(stamp) : u"Norva-%1-%2.db"_s.arg(reason, stamp);
}

void makeBackupFolder()
{
    const QByteArray folder = QFile::encodeName(backupFolder());
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST) {
        const int reason = errno;
        throw Error{QString::fromLocal8Bit(strerror(reason)), u"mkdir"_s,
                    reason == ENOSPC ? ErrorKind::Full : ErrorKind::CannotOpen, Failure::BackupFolderNotMade,
                    backupFolder()};
    }
    struct stat info;
    if (::stat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        throw Error{{}, u"mkdir"_s, ErrorKind::Other, Failure::BackupFolderNotAFolder, backupFolder()};
    // A folder its owner closed to writing stays closed, even to a program that could write
    // anyway; one others may read is closed to them, the owner's own mode kept.
    if (!(info.st_mode & S_IWUSR))
        throw Error{{}, u"mkdir"_s, ErrorKind::Other, Failure::BackupFolderReadOnly, backupFolder()};
    if (info.st_mode & 077)
        ::chmod(folder.constData(), info.st_mode & 0700);
}

void removeUnfinishedCopies()
{
    static const QRegularExpression unfinished(u"^Norva-.*\\.db\\.(\\d+)\\.part$"_s);
    for (const QFileInfo &file : QDir(backupFolder()).entryInfoList({u"Norva-*.part"_s}, QDir::Files)) {
        const QRegularExpressionMatch match = unfinished.match(file.fileName());
        if (match.hasMatch() && ::kill(pid_t(match.captured(1).toLongLong()), 0) != 0 && errno == ESRCH)
            QFile::remove(file.absoluteFilePath());
    }
}

QList<BackupCopy> backupCopies()
{
    static const QRegularExpression name(
        u"^Norva-(?:(.+)-)?(\\d{4}-\\d\\d-\\d\\d-\\d\\d-\\d\\d-\\d\\d)(?:\\.(\\d+))?\\.db$"_s);
    QList<BackupCopy> copies;
    const QDir folder(backupFolder());
    for (const QFileInfo &file : folder.entryInfoList({u"Norva-*.db"_s}, QDir::Files)) {
        const QRegularExpressionMatch match = name.match(file.fileName());
        const QDateTime made = QDateTime::fromString(match.captured(2), u"yyyy-MM-dd-HH-mm-ss"_s);
        if (match.hasMatch() && made.isValid())
            copies.append({file.absoluteFilePath(), match.captured(1), made, file.size(), file.lastModified()});
    }
    // Copies of one second are ordered as they were written.
    std::stable_sort(copies.begin(), copies.end(), [](const BackupCopy &a, const BackupCopy &b) {
        return a.made != b.made ? a.made > b.made : a.written > b.written;
    });
    return copies;
}

bool backupDue(const QDateTime &now)
{
    if (Database::current().isServer())
        return false;
    const QList<BackupCopy> copies = backupCopies();
    return std::none_of(copies.begin(), copies.end(),
                        [&](const BackupCopy &copy) { return copy.made.date() == now.date(); });
}

CopyContents copyContents(const QString &path)
{
    Connection copy(Database::file(path, true));
    return {firstColumn(copy, u"SELECT count(*) FROM Firmalar"_s).value(0).toInt(),
            firstColumn(copy, u"SELECT count(*) FROM GelirGider"_s).value(0).toInt()};
}

} // namespace db
