#pragma once

// The statements only SQLite understands, which the engine runs on its own
// behalf. The records' statements are in Statements.h, and what they word
// differently on each engine in Dialect.h.
namespace db::sqlite {

// Every write reaches the disk before the statement returns.
inline constexpr char kFullSync[] = "PRAGMA synchronous=FULL";
// A file nobody uses yet is synced once, as a whole, when it is done.
inline constexpr char kNoSync[] = "PRAGMA synchronous=OFF";
inline constexpr char kWriteAheadLog[] = "PRAGMA journal_mode=WAL";
inline constexpr char kPlainJournal[] = "PRAGMA journal_mode=DELETE";
// A copy that is not in place yet needs neither a journal nor a sync per page.
inline constexpr char kNoJournalNoSync[] = "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF";
inline constexpr char kMappedReads[] = "PRAGMA mmap_size=268435456";

inline constexpr char kVersion[] = "PRAGMA user_version";
inline constexpr char kSetVersion[] = "PRAGMA user_version = "; // the number follows
inline constexpr char kQuickCheck[] = "PRAGMA quick_check(1)";  // stops at the first fault
inline constexpr char kHasTable[] = "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?";
inline constexpr char kHasColumn[] = "SELECT count(*) FROM pragma_table_info(?) WHERE name = ? COLLATE NOCASE";
inline constexpr char kColumnNames[] = "SELECT name FROM pragma_table_info('%1')"; // the table's name in place of %1

// The write lock at once, so a run of writes never fails half-way on a lock.
inline constexpr char kBeginWriting[] = "BEGIN IMMEDIATE";
inline constexpr char kCommit[] = "COMMIT";
inline constexpr char kRollback[] = "ROLLBACK";

// Deleted content is overwritten in the file, and the journal's copy of it moved into
// the file and emptied: a membership changed or deleted leaves no trace behind.
inline constexpr char kOverwriteDeleted[] = "PRAGMA secure_delete = ON";
inline constexpr char kEmptyJournal[] = "PRAGMA wal_checkpoint(TRUNCATE)";

} // namespace db::sqlite
