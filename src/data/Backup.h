#pragma once

#include <QDateTime>
#include <QString>

// Copies of the database file.
namespace db {

// Copies the database at `source` whole through the engine's own backup: a
// consistent copy even while another program writes to it. The copy is made
// owner-only under a name of its own, synced, and then renamed to `target`,
// so `target` is either the whole copy or as it was. Throws Error.
void copyDatabase(const QString &source, const QString &target);

// The name of a copy of Norva.db kept beside it before a change that replaces
// records: "Norva-<reason>-2026-12-07-14-05-09.db".
QString copyName(const QString &reason, const QDateTime &when);

// Keeps a copy of Norva.db beside it (see copyName) and returns its path. Throws Error.
QString keepCopy(const QString &reason);

} // namespace db
