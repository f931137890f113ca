#pragma once

// Private to the access routine: what bringing a file up to date tells the
// connections and the creation of a new file.
#include <QByteArray>
#include <QString>

#include <atomic>
#include <span>

namespace schema {
struct Step;
}

namespace db {

struct Database;
struct FileFault;

// Set when the file was written by a newer build: nothing may touch it.
extern std::atomic<bool> newerFile;

// Brings Norva.db, or the file about to become it, up to date; a newer one is never opened afterwards.
bool migrateDatabase(const QByteArray &path, bool unseen, std::span<const schema::Step> steps, FileFault *refusal);

// Brings a server's layout up to the last of `steps`, in one transaction under a lock that a
// second desk waits for; a newer layout is refused in `refusal` and left as it is. Throws Error.
void prepareServer(const Database &database, std::span<const schema::Step> steps, FileFault *refusal);

} // namespace db
