#include "data/Backup.h"

#include "data/Database.h"
#include "data/Schema.h"
#include "data/SqliteEngine.h"
#include "data/SqliteSql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <map>
#include <numeric>
#include <optional>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace db {

namespace {

bool syncFile(const QByteArray &path, int flags)
{
    const int fd = ::open(path.constData(), flags | O_CLOEXEC);
    const bool ok = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok;
}

} // namespace

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
        return Error{u"Veritabanının kopyası alınamadı (%1): %2"_s.arg(target, reason), step, kind};
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

    std::optional<engine::Handle> reading;
    std::optional<engine::Handle> writing;
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

QString backupFolder()
{
    return QFileInfo(fileName()).absoluteDir().filePath(u"Yedekler"_s);
}

QString copyName(const QString &reason, const QDateTime &when)
{
    const QString stamp = when.toString(u"yyyy-MM-dd-HH-mm-ss"_s);
    return reason.isEmpty() ? u"Norva-%1.db"_s.arg(stamp) : u"Norva-%1-%2.db"_s.arg(reason, stamp);
}

namespace {

constexpr int kDailyKept = 7;
constexpr int kWeeklyKept = 4;
constexpr int kMonthlyKept = 12;
constexpr int kPagesPerStep = 256; // a restore reports its progress this often

QMutex failureLock; // backups are also made on a thread of their own
std::optional<BackupFailure> failure;

void noteFailure(const std::optional<BackupFailure> &what)
{
    const QMutexLocker locker(&failureLock);
    failure = what;
}

// Yedekler/, made owner-only: the copies hold passwords.
void makeBackupFolder()
{
    const QByteArray folder = QFile::encodeName(backupFolder());
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST) {
        const int reason = errno;
        throw Error{
            u"Yedek klasörü oluşturulamadı (%1): %2"_s.arg(backupFolder(), QString::fromLocal8Bit(strerror(reason))),
            u"mkdir"_s, reason == ENOSPC ? ErrorKind::Full : ErrorKind::CannotOpen};
    }
    struct stat info;
    if (::stat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        throw Error{u"Yedek klasörü kullanılamıyor: %1 bir klasör değil."_s.arg(backupFolder()), u"mkdir"_s};
    // A folder its owner closed to writing stays closed, even to a program that could write
    // anyway; one others may read is closed to them, the owner's own mode kept.
    if (!(info.st_mode & S_IWUSR))
        throw Error{u"Yedek klasörü kullanılamıyor: %1 yalnızca okunabilir."_s.arg(backupFolder()), u"mkdir"_s};
    if (info.st_mode & 077)
        ::chmod(folder.constData(), info.st_mode & 0700);
}

// A copy cut short by a crash or a power cut leaves its unfinished file,
// named after the process that wrote it: it goes once that process is gone.
void removeUnfinishedCopies()
{
    static const QRegularExpression unfinished(u"^Norva-.*\\.db\\.(\\d+)\\.part$"_s);
    for (const QFileInfo &file : QDir(backupFolder()).entryInfoList({u"Norva-*.part"_s}, QDir::Files)) {
        const QRegularExpressionMatch match = unfinished.match(file.fileName());
        if (match.hasMatch() && ::kill(pid_t(match.captured(1).toLongLong()), 0) != 0 && errno == ESRCH)
            QFile::remove(file.absoluteFilePath());
    }
}

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
        noteFailure(BackupFailure{error.kind == ErrorKind::Full, error.description});
        throw;
    }
}

// The first column of each row of one statement, on a connection of its own.
QStringList firstColumn(Connection &connection, const QString &statement)
{
    QStringList values;
    for (Rows rows = connection.query(statement); !rows.atEnd(); rows.moveNext())
        values << QString::fromUtf8(rows.utf8(0));
    return values;
}

// The tables the steps make and the columns a file of `version` has in them. A column a
// later step adds is not expected yet: the file gets it at start.
std::map<QString, QStringList> expectedColumns(std::span<const schema::Step> steps, int version)
{
    std::map<QString, QStringList> tables;
    for (const schema::Step &step : steps) {
        for (const schema::Table &table : step.tables)
            for (const schema::Column &column : table.columns)
                tables[QString::fromUtf8(table.name)] << QString::fromUtf8(column.name);
        for (const schema::AddedColumn &added : step.added)
            if (version >= step.version)
                tables[QString::fromUtf8(added.table)] << QString::fromUtf8(added.name);
    }
    return tables;
}

bool syncFolder(const QString &path)
{
    return syncFile(QFile::encodeName(QFileInfo(path).absolutePath()), O_RDONLY | O_DIRECTORY);
}

Error fileError(const QString &what, int reason)
{
    return Error{u"%1: %2"_s.arg(what, QString::fromLocal8Bit(strerror(reason))), u"rename"_s,
                 reason == ENOSPC ? ErrorKind::Full : ErrorKind::InputOutput};
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
        throw fileError(u"Bozuk dosya saklanamadı (%1)"_s.arg(kept), errno);
    if (::rename((from + "-wal").constData(), (to + "-wal").constData()) != 0 && errno != ENOENT) {
        const int reason = errno;
        ::unlink(to.constData());
        throw fileError(u"Bozuk dosyanın günlüğü saklanamadı (%1)"_s.arg(kept), reason);
    }
    ::unlink((from + "-shm").constData());
    syncFolder(kept);
    return kept;
}

// Brings `made`, a copy of the backup `copy` about to be put in Norva.db's place, up to
// this version; throws Error, saying why, when it cannot be.
void bringCopyUpToDate(const QString &made, const QString &copy, const QString &which)
{
    const QString name = QFileInfo(copy).fileName();
    QString refusal;
    if (!bringUpToDate(made, name, &refusal))
        throw Error{u"%1 geri yüklenemez: %2"_s.arg(
                        which, refusal.isEmpty() ? u"%1 programın bu sürümüne getirilemedi."_s.arg(name) : refusal),
                    u"check"_s};
}

} // namespace

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

QString keepCopy(const QString &reason)
{
    return copyInto(reason, true);
}

QString backUp()
{
    return copyInto(QString(), true);
}

bool backupDue(const QDateTime &now)
{
    const QList<BackupCopy> copies = backupCopies();
    return std::none_of(copies.begin(), copies.end(),
                        [&](const BackupCopy &copy) { return copy.made.date() == now.date(); });
}

std::optional<BackupFailure> lastBackupFailure()
{
    const QMutexLocker locker(&failureLock);
    return failure;
}

QList<qsizetype> rotationRemovals(const QList<QDateTime> &made, const QDate &today)
{
    QList<qsizetype> newestFirst(made.size());
    std::iota(newestFirst.begin(), newestFirst.end(), 0);
    std::stable_sort(newestFirst.begin(), newestFirst.end(),
                     [&](qsizetype a, qsizetype b) { return made[a] > made[b]; });

    std::set<qsizetype> kept;
    // Walks the copies newest first and keeps the first one met in each of the
    // first `count` periods.
    const auto keepNewestOf = [&](int count, auto periodOf) {
        std::set<qint64> periods;
        for (const qsizetype index : newestFirst) {
            const qint64 period = periodOf(made[index].date());
            if (periods.contains(period))
                continue;
            if (int(periods.size()) == count)
                break;
            periods.insert(period);
            kept.insert(index);
        }
    };
    keepNewestOf(kDailyKept, [](const QDate &day) { return day.toJulianDay(); });
    keepNewestOf(kWeeklyKept, [](const QDate &day) {
        int year = 0;
        const int week = day.weekNumber(&year);
        return qint64(year) * 100 + week;
    });
    keepNewestOf(kMonthlyKept, [](const QDate &day) { return qint64(day.year()) * 12 + day.month(); });

    QList<qsizetype> removed;
    for (qsizetype index = 0; index < made.size(); ++index)
        if (!kept.contains(index) && made[index].date() < today)
            removed << index;
    return removed;
}

CopyContents copyContents(const QString &path)
{
    Connection copy(Database::file(path, true));
    return {firstColumn(copy, u"SELECT count(*) FROM Firmalar"_s).value(0).toInt(),
            firstColumn(copy, u"SELECT count(*) FROM GelirGider"_s).value(0).toInt()};
}

QString damage(const QString &path)
{
    return damage(path, schema::kSteps);
}

QString damage(const QString &path, std::span<const schema::Step> steps)
{
    QFile file(path);
    if (!file.exists() || file.size() == 0)
        return {};
    const QString name = QFileInfo(path).fileName();
    // A file that is not the engine's is told by its first bytes, without opening it as a database.
    if (file.open(QIODevice::ReadOnly) && file.read(16) != QByteArray("SQLite format 3", 16))
        return u"%1 bir veritabanı dosyası değil."_s.arg(name);
    file.close();
    try {
        // Read-only: closing it never writes the journal into a file that may be damaged.
        Connection handle(Database::file(path, true));
        // The first fault found is enough to tell, and stops the check early.
        const QString found = firstColumn(handle, QString::fromUtf8(sqlite::kQuickCheck)).value(0);
        if (found != u"ok"_s) {
            const QStringList lines = found.split(u'\n', Qt::SkipEmptyParts);
            return u"%1 bozulmuş; denetim bir hata buldu (%2)."_s.arg(name, lines.value(lines.size() - 1).left(200));
        }
        const int version = firstColumn(handle, QString::fromUtf8(sqlite::kVersion)).value(0).toInt();
        for (const auto &[table, columns] : expectedColumns(steps, version)) {
            const QStringList present = firstColumn(handle, QString::fromUtf8(sqlite::kColumnNames).arg(table));
            QStringList missing;
            for (const QString &column : columns)
                if (!present.isEmpty() && !present.contains(column, Qt::CaseInsensitive))
                    missing << column;
            if (!missing.isEmpty())
                return u"%1 içindeki %2 tablosunda şu sütunlar eksik: %3."_s.arg(name, table, missing.join(u", "_s));
        }
    } catch (const Error &error) {
        // A lock held by another program, or no permission to read, says nothing of the file.
        if (error.kind == ErrorKind::NotADatabase || error.kind == ErrorKind::Damaged)
            return u"%1 bozulmuş: %2"_s.arg(name, error.description);
    }
    return {};
}

void restoreFrom(const QString &copy, const std::function<void(RestoreStep)> &progress)
{
    const auto report = [&](RestoreStep step) {
        if (progress)
            progress(step);
    };
    const QString problem = QFileInfo(copy).size() > 0 ? damage(copy) : u"Yedek dosyası boş ya da yok."_s;
    if (!problem.isEmpty())
        throw Error{u"Seçilen yedek geri yüklenemez: %1"_s.arg(problem), u"check"_s};
    // What is put in place is a copy brought up to this version first, so a copy that cannot
    // be is refused before anything changes. One a crash leaves behind goes with the
    // unfinished copies.
    makeBackupFolder();
    const QString upToDate = QDir(backupFolder()).filePath(u"Norva-geri-yukleme.db.%1.part"_s.arg(::getpid()));
    copyDatabase(copy, upToDate);
    const auto removeUpToDate = qScopeGuard([&upToDate] { QFile::remove(upToDate); });
    bringCopyUpToDate(upToDate, copy, u"Seçilen yedek"_s);
    report(RestoreStep::CheckedCopy);

    // Not rotated now: the copy being restored must not go meanwhile.
    copyInto(u"geri-yukleme-oncesi"_s, false);
    report(RestoreStep::BackedUp);

    // Into the live file through the engine: every page is written in one
    // transaction of its journal, which either commits whole or is never seen.
    const std::unique_ptr<engine::Handle> source = engine::open(Database::file(upToDate));
    const std::unique_ptr<engine::Handle> target = engine::open(Database::file(fileName()));
    sqlite3_exec(target->db, sqlite::kFullSync, nullptr, nullptr, nullptr);
    sqlite3_backup *backup = sqlite3_backup_init(target->db, "main", source->db, "main");
    if (!backup)
        throw target->error(sqlite3_errcode(target->db));
    // A step that fails on a lock has already waited for it as long as any statement does.
    int rc;
    while ((rc = sqlite3_backup_step(backup, kPagesPerStep)) == SQLITE_OK)
        report(RestoreStep::CopyingPages);
    const int finished = sqlite3_backup_finish(backup);
    rc = rc == SQLITE_DONE ? finished : rc;
    if (rc != SQLITE_OK)
        throw target->error(rc);
    report(RestoreStep::Replaced);
}

QString newestSoundCopy()
{
    for (const BackupCopy &copy : backupCopies())
        if (copy.size > 0 && damage(copy.path).isEmpty())
            return copy.path;
    return {};
}

QString startNewFile()
{
    const QString kept = keepDamaged();
    if (::unlink(QFile::encodeName(fileName()).constData()) != 0)
        throw fileError(u"%1 kaldırılamadı"_s.arg(fileName()), errno);
    syncFolder(fileName());
    if (!ensureSchema())
        throw Error{u"Yeni %1 oluşturulamadı."_s.arg(fileName()), u"create"_s, ErrorKind::CannotOpen};
    return kept;
}

QString restoreNewestSound(QString *from)
{
    const QString copy = newestSoundCopy();
    if (copy.isEmpty())
        throw Error{u"Sağlam bir yedek bulunamadı."_s, u"check"_s};
    // Made whole under a name of its own first, then put in place in one rename.
    const QString made = fileName() + u"."_s + QString::number(::getpid()) + u".geri"_s;
    copyDatabase(copy, made);
    QString kept;
    try {
        bringCopyUpToDate(made, copy, u"En yeni sağlam yedek"_s);
        // The copy is a plain file; in its place it keeps the live file's journal.
        {
            const std::unique_ptr<engine::Handle> restored = engine::open(Database::file(made));
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
        throw fileError(u"%1 yerine konamadı"_s.arg(fileName()), reason);
    }
    syncFolder(fileName());
    if (from)
        *from = copy;
    return kept;
}

} // namespace db
