#pragma once

#include "data/Database.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <span>

namespace schema {
struct Step;
}

// Copies of the database file: the backups in Yedekler/, how long they are
// kept, and putting one back.
namespace db {

// Copies the database at `source` whole through the engine's own backup: a
// consistent copy even while another program writes to it. The copy is made
// owner-only under a name of its own, synced, and then renamed to `target`,
// so `target` is either the whole copy or as it was. Throws Error.
void copyDatabase(const QString &source, const QString &target);

// "Yedekler", beside Norva.db (an absolute path).
QString backupFolder();

// The name of a backup: "Norva-2026-12-07-14-05-09.db", or with the reason it
// was made, "Norva-aktarim-oncesi-2026-12-07-14-05-09.db".
QString copyName(const QString &reason, const QDateTime &when);

// A backup in Yedekler/, as its name tells.
struct BackupCopy
{
    QString path;
    QString reason; // empty for the daily and the ones the user asked for
    QDateTime made;
    qint64 size = 0;
    QDateTime written; // orders copies made in the same second
};
// The backups, newest first. Files of other names are not the program's and are left out.
QList<BackupCopy> backupCopies();

// Backs Norva.db up into Yedekler/ (the folder owner-only, the copy too), then
// removes the copies the rotation no longer keeps. Returns the copy's path.
// A folder its owner made read-only is left so, and no copy is made.
// A failure is remembered (see lastBackupFailure) and thrown as Error.
// keepCopy, the copy taken before a step that removes records, makes none (and returns
// nothing) while a server keeps them.
QString keepCopy(const QString &reason);
QString backUp(); // a copy named by date and time only

// True when no backup has been made on the day of `now`: the first start of a day makes one.
// Never while a server keeps the records: its own tools back them up.
bool backupDue(const QDateTime &now);

// Why a backup failed: a full disk, or the engine's or the system's own words, and the
// step of the program's own that failed, with what it names, where it was one.
struct BackupFailure
{
    bool diskFull = false;
    QString description;
    Failure failure = Failure::None;
    QString path = {};
};
// Why the last backup failed; nothing since one succeeded.
std::optional<BackupFailure> lastBackupFailure();

// The copies rotation removes, as indexes into `made`: of the days, weeks and
// months that have copies, the newest copy of each of the last 7 days, 4 weeks
// and 12 months stays, and so does every copy made on `today` (a restore after
// a restore must not lose the file the first one replaced).
QList<qsizetype> rotationRemovals(const QList<QDateTime> &made, const QDate &today);

// What a copy holds, for the list of backups. Throws Error.
struct CopyContents
{
    int companies = 0;
    int entries = 0;
};
CopyContents copyContents(const QString &path);

// Why the database at `path` cannot be used: not a database, damaged, or one
// of its tables lacking columns that its version has. None when it is sound,
// is missing or is an empty file (that one gets the tables at start).
FileFault damage(const QString &path);
FileFault damage(const QString &path, std::span<const schema::Step> steps); // as the steps describe the versions

// The steps of a restore, reported as each one is done.
enum class RestoreStep { CheckedCopy, BackedUp, CopyingPages, Replaced };

// Replaces the contents of Norva.db with those of the backup at `copy`: the
// copy is checked, Norva.db backed up first, and its pages replaced in one
// transaction, so after a crash at any moment Norva.db is either as it was or
// the restored one. A copy of an earlier version is brought up to this one
// first. Throws Error, leaving Norva.db as it was.
void restoreFrom(const QString &copy, const std::function<void(RestoreStep)> &progress = {});

// A damaged Norva.db is set aside beside it as "Norva-bozuk-<date-time>.db",
// never overwritten, its journal with it; then a new, empty file is made in
// its place (startNewFile), or the newest backup that passes the check is put
// there (restoreNewestSound; `from` tells which). Both return where the damaged
// file is kept, and throw Error, leaving Norva.db as it was.
QString startNewFile();
QString restoreNewestSound(QString *from = nullptr);
QString newestSoundCopy(); // empty when no backup passes the check

} // namespace db
