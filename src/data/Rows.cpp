#include "data/Database.h"

#include "data/SqliteEngine.h"
#include "data/TextCache.h"

using namespace Qt::StringLiterals;

namespace db {
namespace {

using sqlite::engineError;

constexpr int kCacheFromRow = 64; // short results never pay for the text cache

Error conversionError(const char *column)
{
    return Error{QString(), u"conversion"_s, ErrorKind::Other, Failure::ValueNotRead, QString::fromUtf8(column)};
}

} // namespace

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

} // namespace db
