#include "data/Backup.h"

#include "data/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace db {

namespace {

constexpr int kBusyTimeoutMs = 5000;

Error copyError(sqlite3 *handle, int rc, const QString &target)
{
    return Error{u"Veritabanının kopyası alınamadı (%1): %2"_s.arg(
                     target, QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc))),
                 QString::fromUtf8(sqlite3_errstr(rc)), rc & 0xff};
}

bool syncFile(const QByteArray &path, int flags)
{
    const int fd = ::open(path.constData(), flags | O_CLOEXEC);
    const bool ok = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok;
}

} // namespace

void copyDatabase(const QString &source, const QString &target)
{
    const QByteArray to = QFile::encodeName(target);
    const QByteArray made = to + '.' + QByteArray::number(::getpid()) + ".part";
    ::unlink(made.constData());
    const int fd = ::open(made.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        throw Error{u"Veritabanının kopyası alınamadı (%1): %2"_s.arg(target, QString::fromLocal8Bit(strerror(errno))),
                    u"open"_s, errno == ENOSPC ? SQLITE_FULL : SQLITE_CANTOPEN};
    ::close(fd);

    sqlite3 *from = nullptr;
    sqlite3 *copy = nullptr;
    const auto done = [&] {
        sqlite3_close_v2(from);
        sqlite3_close_v2(copy);
    };
    int rc = sqlite3_open_v2(QFile::encodeName(source).constData(), &from, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_open_v2(made.constData(), &copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(from, kBusyTimeoutMs);
        if (sqlite3_backup *backup = sqlite3_backup_init(copy, "main", from, "main")) {
            rc = sqlite3_backup_step(backup, -1);
            const int finished = sqlite3_backup_finish(backup);
            rc = rc == SQLITE_DONE ? finished : rc;
        } else {
            rc = sqlite3_errcode(copy);
        }
    }
    // A copy of a file kept in WAL mode would want a shared-memory file wherever it is
    // opened; the copy is a plain file on its own.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(copy, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const Error error = copyError(copy ? copy : from, rc, target);
        done();
        ::unlink(made.constData());
        throw error;
    }
    done();
    if (!syncFile(made, O_RDONLY) || ::rename(made.constData(), to.constData()) != 0) {
        const int reason = errno;
        ::unlink(made.constData());
        throw Error{u"Veritabanının kopyası alınamadı (%1): %2"_s.arg(target, QString::fromLocal8Bit(strerror(reason))),
                    u"rename"_s, reason == ENOSPC ? SQLITE_FULL : SQLITE_IOERR};
    }
    syncFile(QFile::encodeName(QFileInfo(target).absolutePath()), O_RDONLY | O_DIRECTORY);
}

QString copyName(const QString &reason, const QDateTime &when)
{
    return u"Norva-%1-%2.db"_s.arg(reason, when.toString(u"yyyy-MM-dd-HH-mm-ss"_s));
}

QString keepCopy(const QString &reason)
{
    const QString target = QFileInfo(fileName()).absoluteDir().filePath(copyName(reason, QDateTime::currentDateTime()));
    copyDatabase(fileName(), target);
    return target;
}

} // namespace db
