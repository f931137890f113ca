#include "data/Backup.h"

#include "data/BackupInternal.h"
#include "data/Database.h"
#include "data/SqliteEngine.h"
#include "data/SqliteSql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace db {
namespace {

bool syncFolder(const QString &path)
{
    return syncFile(QFile::encodeName(QFileInfo(path).absolutePath()), O_RDONLY | O_DIRECTORY);
}

Error fileError(Failure what, const QString &path, int reason)
{
    return Error{QString::fromLocal8Bit(strerror(reason)), u"rename"_s,
                 reason == ENOSPC ? ErrorKind::Full : ErrorKind::InputOutput, what, path};
}

// Keeps the damaged Norva.db under a dated name beside it (a second name for
// the same file: Norva.db itself is still there) and moves its journal along,
// so that no new file ever replays it. Returns the name it is kept under.
QString keepDamaged()
{
    const QString kept =
        QFileInfo(fileName()).absoluteDir().filePath(copyName(u"bozuk"_s, QDateTime::currentDateTime()));
    const QByteArray from = QFile::encodeName(fileName());
    const QByteArray to = QFile::encodeName(kept);
    if (::link(from.constData(), to.constData()) != 0)
        throw fileError(Failure::DamagedNotKept, kept, errno);
    if (::rename((from + "-wal").constData(), (to + "-wal").constData()) != 0 && errno != ENOENT) {
        const int reason = errno;
        ::unlink(to.constData());
        throw fileError(Failure::DamagedJournalNotKept, kept, reason);
    }
    ::unlink((from + "-shm").constData());
    syncFolder(kept);
    return kept;
}

} // namespace

QString newestSoundCopy()
{
    for (const BackupCopy &copy : backupCopies())
        if (copy.size > 0 && !damage(copy.path))
            return copy.path;
    return {};
}

QString startNewFile()
{
    const QString kept = keepDamaged();
    if (::unlink(QFile::encodeName(fileName()).constData()) != 0)
        throw fileError(Failure::NotRemoved, fileName(), errno);
    syncFolder(fileName());
    if (!ensureSchema())
        throw Error{{}, u"create"_s, ErrorKind::CannotOpen, Failure::NewFileNotMade, fileName()};
    return kept;
}

QString restoreNewestSound(QString *from)
{
    const QString copy = newestSoundCopy();
    if (copy.isEmpty())
        throw Error{{}, u"check"_s, ErrorKind::Other, Failure::NoSoundCopy};
    // Made whole under a name of its own first, then put in place in one rename.
    const QString made = fileName() + u"."_s + QString::number(::getpid()) + u".geri"_s;
    copyDatabase(copy, made);
    QString kept;
    try {
        bringCopyUpToDate(made, copy, Failure::NewestCopyRefused);
        // The copy is a plain file; in its place it keeps the live file's journal.
        {
            const std::unique_ptr<sqlite::File> restored = sqlite::openFile(Database::file(made));
            if (const int rc = sqlite3_exec(restored->db, sqlite::kWriteAheadLog, nullptr, nullptr, nullptr))
                throw restored->error(rc);
        }
        kept = keepDamaged();
    } catch (const Error &) {
        QFile::remove(made);
        throw;
    }
    if (::rename(QFile::encodeName(made).constData(), QFile::encodeName(fileName()).constData()) != 0) {
        const int reason = errno;
        QFile::remove(made);
        throw fileError(Failure::NotReplaced, fileName(), reason);
    }
    syncFolder(fileName());
    if (from)
        *from = copy;
    return kept;
}

} // namespace db
