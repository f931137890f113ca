#include "data/Database.h"

#include "data/Schema.h"
#include "data/SqliteEngine.h"
#include "data/SqliteSql.h"
#include "data/Statements.h"

#include <QHashFunctions>
#include <QStringEncoder>

#include <atomic>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace db {
namespace {

using sqlite::engineError;
using sqlite::errorKind;

constexpr int kCacheFromRow = 64; // short results never pay for the text cache

// Set when the file was written by a newer build: nothing may touch it.
std::atomic<bool> newerFile = false;

Error conversionError(const char *column)
{
    return Error{QString(), u"Sütun değeri dönüştürülemedi: "_s + QString::fromUtf8(column)};
}

// Prepares exactly one statement; anything after it is refused rather than
// silently dropped.
sqlite3_stmt *prepare(sqlite3 *handle, const QString &statement)
{
    const QByteArray utf8 = statement.toUtf8();
    sqlite3_stmt *prepared = nullptr;
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v2(handle, utf8.constData(), int(utf8.size()), &prepared, &tail);
    if (rc != SQLITE_OK)
        throw engineError(handle, rc);
    if (!prepared) {
        throw Error{u"Boş komut."_s, QString::fromUtf8(sqlite3_errstr(SQLITE_MISUSE))};
    }
    for (; tail && *tail; ++tail) {
        if (*tail != ' ' && *tail != '\t' && *tail != '\r' && *tail != '\n' && *tail != ';') {
            sqlite3_finalize(prepared);
            throw Error{u"Tek seferde yalnızca bir komut çalıştırılabilir."_s,
                        QString::fromUtf8(sqlite3_errstr(SQLITE_MISUSE))};
        }
    }
    return prepared;
}

} // namespace

QString fileName()
{
    return u"Norva.db"_s;
}

Database Database::current()
{
    return Database{Engine::Sqlite, fileName(), isReadOnly()};
}

Database Database::file(const QString &path, bool readOnly)
{
    return Database{Engine::Sqlite, path, readOnly};
}

bool isReadOnly()
{
    // The working folder is where the journal goes: without it nothing can be written either.
    const QByteArray path = fileName().toUtf8();
    return ::access(path.constData(), F_OK) == 0 && (::access(path.constData(), W_OK) != 0 || ::access(".", W_OK) != 0);
}

namespace {

Database currentUnlessNewer()
{
    if (newerFile)
        throw Error{
            u"%1 programın daha yeni bir sürümüyle kaydedilmiş; bu sürüm onu açmıyor, dosyaya dokunulmadı."_s.arg(
                fileName()),
            QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN))};
    return Database::current();
}

} // namespace

Connection::Connection() : Connection(currentUnlessNewer())
{}

Connection::Connection(const Database &database)
{
    m_handle = engine::open(database);
    sqlite3_exec(m_handle->db, sqlite::kFullSync, nullptr, nullptr, nullptr);
}

Connection::~Connection() = default;

} // namespace db

namespace db::engine {

void bind(Statement &prepared, const Values &values)
{
    sqlite3_stmt *statement = prepared.statement;
    Q_ASSERT_X(values.size() == sqlite3_bind_parameter_count(statement), "db::bind",
               "one value for every '?' of the statement");
    int index = 0;
    for (const Value &value : values) {
        ++index;
        int rc;
        if (const auto *text = std::get_if<QString>(&value.m_value)) {
            // Encoded into one buffer kept for the thread: the engine copies the bytes.
            thread_local QByteArray utf8;
            QStringEncoder encoder(QStringEncoder::Utf8);
            utf8.resize(encoder.requiredSpace(text->size()));
            const char *end = encoder.appendToBuffer(utf8.data(), *text);
            rc = sqlite3_bind_text(statement, index, utf8.constData(), int(end - utf8.constData()), SQLITE_TRANSIENT);
        } else {
            rc = sqlite3_bind_int64(statement, index, std::get<qint64>(value.m_value));
        }
        if (rc != SQLITE_OK)
            throw sqlite::engineError(prepared.db, rc);
    }
}

} // namespace db::engine

namespace db {
namespace {

// Runs a bound statement to its end and leaves it ready for the next run.
int runToEnd(const engine::Statement &prepared)
{
    int rc;
    while ((rc = sqlite3_step(prepared.statement)) == SQLITE_ROW) {
    }
    sqlite3_reset(prepared.statement);
    if (rc != SQLITE_DONE)
        throw engineError(prepared.db, rc);
    return sqlite3_changes(prepared.db);
}

} // namespace

int Connection::execute(const char *statement, const Values &values)
{
    return execute(QString::fromUtf8(statement), values);
}

int Connection::execute(const QString &statement, const Values &values)
{
    sqlite3 *handle = m_handle->db;
    engine::Statement prepared{db::prepare(handle, statement), handle};
    engine::bind(prepared, values);
    return runToEnd(prepared);
}

Rows Connection::query(const char *statement, const Values &values)
{
    return query(QString::fromUtf8(statement), values);
}

Rows Connection::query(const QString &statement, const Values &values)
{
    sqlite3 *handle = m_handle->db;
    auto prepared = std::make_unique<engine::Statement>(db::prepare(handle, statement), handle);
    engine::bind(*prepared, values);
    return Rows(prepared.release());
}

PreparedQuery Connection::prepare(const char *statement)
{
    sqlite3 *handle = m_handle->db;
    return PreparedQuery(
        std::make_unique<engine::Statement>(db::prepare(handle, QString::fromUtf8(statement)), handle));
}

PreparedQuery::PreparedQuery(std::unique_ptr<engine::Statement> statement) : m_statement(std::move(statement))
{}

PreparedQuery::PreparedQuery(PreparedQuery &&other) noexcept = default;

PreparedQuery::~PreparedQuery() = default;

Rows PreparedQuery::query(const Values &values)
{
    engine::bind(*m_statement, values);
    return Rows(m_statement.get(), true);
}

int PreparedQuery::execute(const Values &values)
{
    engine::bind(*m_statement, values);
    return runToEnd(*m_statement);
}

Transaction::Transaction(Connection &connection) : m_connection(connection)
{
    m_connection.execute(sqlite::kBeginWriting);
}

Transaction::~Transaction()
{
    if (m_open)
        sqlite3_exec(m_connection.m_handle->db, sqlite::kRollback, nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    m_open = false;
    try {
        m_connection.execute(sqlite::kCommit);
    } catch (const Error &) {
        // A COMMIT that failed may leave the transaction open: it ends here.
        sqlite3_exec(m_connection.m_handle->db, sqlite::kRollback, nullptr, nullptr, nullptr);
        throw;
    }
}

Rows::Rows(engine::Statement *statement, bool reused) : m_statement(statement), m_reused(reused)
{
    try {
        step();
    } catch (const Error &) {
        // No destructor runs for a half-made object: the statement goes here,
        // or it would keep the connection open.
        release();
        throw;
    }
}

Rows::Rows(Rows &&other) noexcept
    : m_statement(other.m_statement), m_reused(other.m_reused), m_atEnd(other.m_atEnd),
      m_columns(std::move(other.m_columns)), m_row(other.m_row)
{
    other.m_statement = nullptr;
    other.m_atEnd = true;
}

Rows::~Rows()
{
    release();
}

void Rows::release()
{
    if (!m_reused)
        delete m_statement;
    else if (m_statement)
        sqlite3_reset(m_statement->statement); // ready for the next run of its PreparedQuery
}

void Rows::step()
{
    const int rc = sqlite3_step(m_statement->statement);
    if (rc == SQLITE_ROW)
        return;
    m_atEnd = true;
    if (rc != SQLITE_DONE)
        throw engineError(m_statement->db, rc);
}

void Rows::moveNext()
{
    if (!m_atEnd) {
        ++m_row;
        step();
    }
}

Rows::Column &Rows::column(const char *name) const
{
    // Names are literals: the same address is the same column.
    for (Column &known : m_columns) {
        if (known.name == name) {
            Q_ASSERT(sqlite3_stricmp(sqlite3_column_name(m_statement->statement, known.index), name) == 0);
            return known;
        }
    }
    const int count = sqlite3_column_count(m_statement->statement);
    for (int i = 0; i < count; ++i) {
        if (sqlite3_stricmp(sqlite3_column_name(m_statement->statement, i), name) == 0)
            return m_columns.emplace_back(Column{name, i, nullptr});
    }
    throw Error{u"İstenen sütun sonuçta yok: "_s + QString::fromUtf8(name), u"Sütun bulunamadı"_s};
}

// Long walks repeat the same short texts (company names, kinds, months): each
// distinct one is decoded once and then shared, saving the decoding and an
// allocation per row. A column whose texts do not repeat stops using it.
struct Rows::TextCache
{
    static constexpr size_t kSlots = 1024; // a power of two
    static constexpr int kMostEntries = int(kSlots) * 3 / 4;
    static constexpr int kLongest = 64; // bytes; longer texts are decoded every time

    struct Slot
    {
        QByteArray utf8;
        QString text;
    };
    std::vector<Slot> table = std::vector<Slot>(kSlots);
    int entries = 0;
    int lookups = 0;
    int hits = 0;
    bool enabled = true;

    QString get(QByteArrayView bytes)
    {
        if (!enabled || bytes.size() > kLongest)
            return QString::fromUtf8(bytes);
        ++lookups;
        if (entries == kMostEntries && hits < lookups / 4) {
            enabled = false; // full of texts that rarely repeat: it only costs
            table.clear();
            table.shrink_to_fit();
            return QString::fromUtf8(bytes);
        }
        for (size_t i = qHashBits(bytes.data(), size_t(bytes.size())) & (kSlots - 1);; i = (i + 1) & (kSlots - 1)) {
            Slot &slot = table[i];
            if (slot.utf8.isNull()) {
                QString text = QString::fromUtf8(bytes);
                if (entries < kMostEntries) {
                    // Never null, even for an empty text, so the slot reads as taken.
                    slot.utf8 = bytes.isEmpty() ? QByteArray("", 0) : bytes.toByteArray();
                    slot.text = text;
                    ++entries;
                }
                return text;
            }
            if (QByteArrayView(slot.utf8) == bytes) {
                ++hits;
                return slot.text;
            }
        }
    }
};

namespace {

// The text of a value as stored, in UTF-8; a null view for no value.
QByteArrayView utf8Of(sqlite3_value *value)
{
    // The text first, then its length in the form just asked for.
    const auto *utf8 = value ? reinterpret_cast<const char *>(sqlite3_value_text(value)) : nullptr;
    return utf8 ? QByteArrayView(utf8, sqlite3_value_bytes(value)) : QByteArrayView();
}

} // namespace

QString Rows::text(const char *name) const
{
    Column &known = column(name);
    sqlite3_value *value = m_atEnd ? nullptr : sqlite3_column_value(m_statement->statement, known.index);
    if (value && sqlite3_value_type(value) == SQLITE_NULL)
        return QString();
    return decoded(known, utf8Of(value));
}

QString Rows::listedText(const char *name) const
{
    Column &known = column(name);
    return decoded(known, utf8Of(m_atEnd ? nullptr : sqlite3_column_value(m_statement->statement, known.index)));
}

QString Rows::decoded(Column &known, QByteArrayView bytes) const
{
    // A NULL value gives a null view.
    if (bytes.isNull())
        throw conversionError(known.name);
    if (m_row < kCacheFromRow)
        return QString::fromUtf8(bytes);
    if (!known.texts)
        known.texts = std::make_unique<TextCache>();
    return known.texts->get(bytes);
}

QByteArrayView Rows::utf8(int index) const
{
    Q_ASSERT(index >= 0 && index < sqlite3_column_count(m_statement->statement));
    return utf8Of(m_atEnd ? nullptr : sqlite3_column_value(m_statement->statement, index));
}

qint32 Rows::rowId() const
{
    static const char kRowId[] = "RowId";
    sqlite3_value *value = m_atEnd ? nullptr : sqlite3_column_value(m_statement->statement, column(kRowId).index);
    if (value && sqlite3_value_type(value) == SQLITE_INTEGER) {
        const sqlite3_int64 number = sqlite3_value_int64(value);
        if (number >= INT32_MIN && number <= INT32_MAX)
            return qint32(number);
    }
    throw conversionError(kRowId);
}

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

QString newerFileMessage(const QString &name, int version, int current)
{
    return u"%1 programın daha yeni bir sürümüyle kaydedilmiş (dosya sürümü %2, bu programın tanıdığı en son sürüm "
           u"%3). Dosyaya dokunulmadı; lütfen programın yeni sürümünü kullanın."_s.arg(name)
               .arg(version)
               .arg(current);
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
Migration migrate(const QByteArray &path, bool unseen, std::span<const schema::Step> steps, QString *refusal,
                  const QString &shownName)
{
    const int current = steps.empty() ? 0 : steps.back().version;
    engine::Handle file(path, SQLITE_OPEN_READWRITE);
    sqlite3 *handle = file.db;
    bool ok = file.opened == SQLITE_OK;
    int version = ok ? userVersion(handle) : -1;
    ok = ok && version >= 0;
    bool newer = false;
    if (ok && version > current) {
        newer = true;
        if (refusal)
            *refusal = newerFileMessage(shownName, version, current);
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

// Brings Norva.db, or the file about to become it, up to date; a newer one is never opened afterwards.
bool migrateDatabase(const QByteArray &path, bool unseen, std::span<const schema::Step> steps, QString *refusal)
{
    const Migration done = migrate(path, unseen, steps, refusal, fileName());
    newerFile = done == Migration::Newer;
    return done == Migration::Done;
}

} // namespace

bool ensureSchema(QString *refusal)
{
    return ensureSchema(schema::kSteps, refusal);
}

bool ensureSchema(std::span<const schema::Step> steps, QString *refusal)
{
    newerFile = false;
    const QByteArray path = fileName().toUtf8();
    if (isReadOnly())
        return true; // nothing can be added; what is there can still be read
    // A file that is there is never replaced, whatever it holds.
    if (::access(path.constData(), F_OK) == 0 || errno != ENOENT)
        return migrateDatabase(path, false, steps, refusal);

    // A new database is made whole under a name of its own and then put in
    // place in one step: a crash never leaves a half-made Norva.db behind.
    // The file holds passwords: only its owner may read it.
    const QByteArray made = path + '.' + QByteArray::number(::getpid()) + ".new";
    const int fd = ::open(made.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    bool ok = migrateDatabase(made, true, steps, refusal);
    if (ok) {
        const int file = ::open(made.constData(), O_RDONLY | O_CLOEXEC);
        ok = file >= 0 && ::fsync(file) == 0;
        if (file >= 0)
            ::close(file);
    }
    // link() never replaces a database a second copy of the program made meanwhile.
    const bool placed = ok && ::link(made.constData(), path.constData()) == 0;
    const bool madeElsewhere = ok && !placed && errno == EEXIST;
    ::unlink(made.constData());
    return placed || (madeElsewhere && migrateDatabase(path, false, steps, refusal));
}

bool bringUpToDate(const QString &path, const QString &shownName, QString *refusal)
{
    return migrate(path.toUtf8(), false, schema::kSteps, refusal, shownName) == Migration::Done;
}

} // namespace db
