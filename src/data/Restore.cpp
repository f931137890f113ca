#include "data/Backup.h"

#include "data/BackupInternal.h"
#include "data/Database.h"
#include "data/SqliteEngine.h"
#include "data/SqliteSql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace db {
namespace {

constexpr int kPagesPerStep = 256; // a restore reports its progress this often

} // namespace

void bringCopyUpToDate(const QString &made, const QString &copy, Failure refused)
{
    const QString name = QFileInfo(copy).fileName();
    FileFault refusal;
    if (bringUpToDate(made, name, &refusal))
        return;
    if (!refusal)
        refusal = {FileFault::Kind::NotUpgraded, name};
    throw Error{{}, u"check"_s, ErrorKind::Other, refused, copy, refusal};
}

void restoreFrom(const QString &copy, const std::function<void(RestoreStep)> &progress)
{
    const auto report = [&](RestoreStep step) {
        if (progress)
            progress(step);
    };
    const FileFault problem =
        QFileInfo(copy).size() > 0 ? damage(copy) : FileFault{FileFault::Kind::Empty, QFileInfo(copy).fileName()};
    if (problem)
        throw Error{{}, u"check"_s, ErrorKind::Other, Failure::ChosenCopyRefused, copy, problem};
    // What is put in place is a copy brought up to this version first, so a copy that cannot
    // be is refused before anything changes. One a crash leaves behind goes with the
    // unfinished copies.
    makeBackupFolder();
    const QString upToDate = QDir(backupFolder()).filePath(u"Norva-geri-yukleme.db.%1.part"_s.arg(::getpid()));
    copyDatabase(copy, upToDate);
    const auto removeUpToDate = qScopeGuard([&upToDate] { QFile::remove(upToDate); });
    bringCopyUpToDate(upToDate, copy, Failure::ChosenCopyRefused);
    report(RestoreStep::CheckedCopy);

    // Not rotated now: the copy being restored must not go meanwhile.
    copyInto(u"geri-yukleme-oncesi"_s, false);
    report(RestoreStep::BackedUp);

    // Into the live file through the engine: every page is written in one
    // transaction of its journal, which either commits whole or is never seen.
    const std::unique_ptr<sqlite::File> source = sqlite::openFile(Database::file(upToDate));
    const std::unique_ptr<sqlite::File> target = sqlite::openFile(Database::file(fileName()));
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

} // namespace db
