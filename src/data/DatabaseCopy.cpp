#include "data/Backup.h"

#include "data/BackupInternal.h"
#include "data/Database.h"
#include "data/SqliteEngine.h"
#include "data/SqliteSql.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace db {

bool syncFile(const QByteArray &path, int flags)
{
    const int fd = ::open(path.constData(), flags | O_CLOEXEC);
    const bool ok = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok;
}

namespace {

// Files up to this size are copied through memory (see copyDatabase).
constexpr qint64 kCopiedInMemoryUpTo = qint64(256) << 20;

int backUpWhole(sqlite3 *from, sqlite3 *to)
{
    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup)
        return sqlite3_errcode(to);
    const int rc = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    return rc == SQLITE_DONE ? finished : rc;
}

bool writeAll(int fd, const unsigned char *data, qint64 size)
{
    for (qint64 at = 0; at < size;) {
        const ssize_t written = ::write(fd, data + at, size_t(std::min<qint64>(size - at, qint64(1) << 20)));
        if (written < 0 && errno != EINTR)
            return false;
        at += std::max<ssize_t>(written, 0);
    }
    return true;
}

} // namespace

void copyDatabase(const QString &source, const QString &target)
{
    const QByteArray to = QFile::encodeName(target);
    const QByteArray made = to + '.' + QByteArray::number(::getpid()) + ".part";
    const auto fail = [&](const QString &reason, const QString &step, ErrorKind kind) {
        ::unlink(made.constData());
        return Error{reason, step, kind, Failure::CopyNotMade, target};
    };
    const auto systemError = [&](const QString &step) {
        const int reason = errno;
        return fail(QString::fromLocal8Bit(strerror(reason)), step,
                    reason == ENOSPC ? ErrorKind::Full : ErrorKind::InputOutput);
    };
    ::unlink(made.constData());
    const int fd = ::open(made.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        throw systemError(u"open"_s);

    std::optional<sqlite::File> reading;
    std::optional<sqlite::File> writing;
    const auto done = [&] {
        reading.reset();
        writing.reset();
        ::close(fd);
    };
    // The engine writes a file a page at a time, which on a slow disk costs more than the
    // copy itself: a ledger-sized file is copied into memory and written out whole.
    const bool inMemory = QFileInfo(source).size() <= kCopiedInMemoryUpTo;
    int rc = reading.emplace(QFile::encodeName(source), SQLITE_OPEN_READONLY).opened;
    if (rc == SQLITE_OK)
        rc = inMemory
                 ? writing.emplace("file:kopya?vfs=memdb", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI)
                       .opened
                 : writing.emplace(made, SQLITE_OPEN_READWRITE).opened;
    sqlite3 *from = reading->db;
    sqlite3 *copy = writing ? writing->db : nullptr;
    if (rc == SQLITE_OK) {
        // The copy is not in place until it is whole and synced (below): it needs no journal.
        // The file is read through a mapping rather than a read call per page.
        sqlite3_exec(copy, sqlite::kNoJournalNoSync, nullptr, nullptr, nullptr);
        sqlite3_exec(from, sqlite::kMappedReads, nullptr, nullptr, nullptr);
        rc = backUpWhole(from, copy);
    }
    bool written = true;
    if (rc == SQLITE_OK && inMemory) {
        sqlite3_int64 size = 0;
        if (unsigned char *image = sqlite3_serialize(copy, "main", &size, SQLITE_SERIALIZE_NOCOPY)) {
            // A copy of a file kept in WAL mode would want a journal and a shared-memory file
            // wherever it is opened: its header marks it a plain file on its own (bytes 18
            // and 19, the file format's write and read versions).
            if (size > 19)
                image[18] = image[19] = 1;
            written = writeAll(fd, image, size);
        } else {
            rc = SQLITE_NOMEM;
        }
    } else if (rc == SQLITE_OK) {
        rc = sqlite3_exec(copy, sqlite::kPlainJournal, nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) {
        // The backup's failures are told on the copy's connection.
        sqlite3 *handle = copy ? copy : from;
        const QString reason = QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc));
        done();
        throw fail(reason, QString::fromUtf8(sqlite3_errstr(rc)), sqlite::errorKind(rc));
    }
    if (!written || ::fsync(fd) != 0) {
        const Error error = systemError(u"write"_s);
        done();
        throw error;
    }
    done();
    if (::rename(made.constData(), to.constData()) != 0)
        throw systemError(u"rename"_s);
    syncFile(QFile::encodeName(QFileInfo(target).absolutePath()), O_RDONLY | O_DIRECTORY);
}

} // namespace db
