#include "data/Migration.h"

#include "data/Database.h"
#include "data/Schema.h"
#include "data/SqliteEngine.h"
#include "data/SqliteSql.h"

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace db {

std::atomic<bool> newerFile = false;

namespace {

// Whether every table the steps make is there.
bool hasTables(sqlite3 *handle, std::span<const schema::Step> steps)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(handle, sqlite::kHasTable, -1, &statement, nullptr) != SQLITE_OK)
        return false;
    bool every = true;
    for (const schema::Step &step : steps) {
        for (const schema::Table &table : step.tables) {
            sqlite3_bind_text(statement, 1, table.name, -1, SQLITE_STATIC);
            every = every && sqlite3_step(statement) == SQLITE_ROW;
            sqlite3_reset(statement);
        }
    }
    sqlite3_finalize(statement);
    return every;
}

// Whether `table` has `column`; -1 when that cannot be read.
int hasColumn(sqlite3 *handle, const char *table, const char *column)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(handle, sqlite::kHasColumn, -1, &statement, nullptr) != SQLITE_OK)
        return -1;
    sqlite3_bind_text(statement, 1, table, -1, SQLITE_STATIC);
    sqlite3_bind_text(statement, 2, column, -1, SQLITE_STATIC);
    const int found = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) > 0 : -1;
    sqlite3_finalize(statement);
    return found;
}

int userVersion(sqlite3 *handle)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(handle, sqlite::kVersion, -1, &statement, nullptr) != SQLITE_OK)
        return -1;
    const int version = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
    sqlite3_finalize(statement);
    return version;
}

bool run(sqlite3 *handle, const char *statements)
{
    return sqlite3_exec(handle, statements, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Runs one step: first the columns it adds, each only where it is not there
// yet, then its statements, which make only what is missing.
bool apply(sqlite3 *handle, const schema::Step &step)
{
    for (const schema::AddedColumn &added : step.added) {
        const int there = hasColumn(handle, added.table, added.name);
        const QByteArray addition =
            QByteArray("ALTER TABLE \"") + added.table + "\" ADD COLUMN \"" + added.name + "\" " + added.definition;
        if (there < 0 || (there == 0 && !run(handle, addition.constData())))
            return false;
    }
    return run(handle, step.statements);
}

enum class Migration { Done, Failed, Newer };

// Brings the database file at `path` up to the last of `steps`: each step in a
// transaction of its own, a missing table made again. A file from a newer
// build is left as it is.
Migration migrate(const QByteArray &path, bool unseen, std::span<const schema::Step> steps, FileFault *refusal,
                  const QString &shownName)
{
    const int current = steps.empty() ? 0 : steps.back().version;
    sqlite::File file(path, SQLITE_OPEN_READWRITE);
    sqlite3 *handle = file.db;
    bool ok = file.opened == SQLITE_OK;
    int version = ok ? userVersion(handle) : -1;
    ok = ok && version >= 0;
    bool newer = false;
    if (ok && version > current) {
        newer = true;
        if (refusal)
            *refusal = {.kind = FileFault::Kind::Newer, .name = shownName, .version = version, .newest = current};
        ok = false;
    } else if (const bool complete = ok && hasTables(handle, steps); ok && (version < current || !complete)) {
        // A file someone else made (an empty one, say) gets the program's tables, and
        // with them passwords: from now on only its owner may read it.
        if (!unseen && !hasTables(handle, steps.first(steps.empty() ? 0 : 1)))
            ::chmod(path.constData(), S_IRUSR | S_IWUSR);
        // A file nobody uses yet is synced once, as a whole, when it is done.
        ok = (!unseen || run(handle, sqlite::kNoSync)) && run(handle, sqlite::kWriteAheadLog);
        // Once a table is found missing, every step from there on runs again, so that
        // the table comes back with the columns and indexes the later steps gave it.
        bool repair = false;
        for (const schema::Step &step : steps) {
            if (!ok || !run(handle, sqlite::kBeginWriting)) {
                ok = false;
                break;
            }
            // Read again under the lock: a second copy may have moved the file on meanwhile.
            version = userVersion(handle);
            const bool due = version >= 0 && version < step.version;
            repair = repair || (version >= 0 && !hasTables(handle, steps));
            ok = version >= 0 && version <= current && (!(due || repair) || apply(handle, step));
            if (ok && due)
                ok = run(handle, QByteArray(sqlite::kSetVersion + QByteArray::number(step.version)).constData());
            ok = run(handle, ok ? sqlite::kCommit : sqlite::kRollback) && ok;
        }
    }
    // Closing the last connection moves the journal into the file and removes it.
    ok = file.close() && ok;
    return ok ? Migration::Done : newer ? Migration::Newer : Migration::Failed;
}

} // namespace

bool migrateDatabase(const QByteArray &path, bool unseen, std::span<const schema::Step> steps, FileFault *refusal)
{
    const Migration done = migrate(path, unseen, steps, refusal, fileName());
    newerFile = done == Migration::Newer;
    return done == Migration::Done;
}

bool bringUpToDate(const QString &path, const QString &shownName, FileFault *refusal)
{
    return migrate(path.toUtf8(), false, schema::kSteps, refusal, shownName) == Migration::Done;
}

} // namespace db
