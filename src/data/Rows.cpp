#include "data/Database.h"

#include "data/Engine.h"
#include "data/TextCache.h"

using namespace Qt::StringLiterals;

namespace db {
namespace {

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
        m_statement->reset(); // ready for the next run of its PreparedQuery
}

void Rows::step()
{
    try {
        m_atEnd = !m_statement->step();
    } catch (const Error &) {
        m_atEnd = true;
        throw;
    }
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
            Q_ASSERT(m_statement->columnIndex(name) == known.index);
            return known;
        }
    }
    if (const int index = m_statement->columnIndex(name); index >= 0)
        return m_columns.emplace_back(Column{name, index, nullptr});
    throw Error{u"İstenen sütun sonuçta yok: "_s + QString::fromUtf8(name), u"Sütun bulunamadı"_s};
}

QString Rows::text(const char *name) const
{
    Column &known = column(name);
    if (m_atEnd)
        throw conversionError(known.name);
    const QByteArrayView bytes = m_statement->utf8(known.index);
    return bytes.isNull() ? QString() : decoded(known, bytes);
}

QString Rows::listedText(const char *name) const
{
    Column &known = column(name);
    return decoded(known, m_atEnd ? QByteArrayView() : m_statement->utf8(known.index));
}

QByteArrayView Rows::listedUtf8(const char *name) const
{
    const Column &known = column(name);
    const QByteArrayView bytes = m_atEnd ? QByteArrayView() : m_statement->utf8(known.index);
    if (bytes.isNull())
        throw conversionError(known.name);
    return bytes;
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
    Q_ASSERT(index >= 0 && index < m_statement->columnCount());
    return m_atEnd ? QByteArrayView() : m_statement->utf8(index);
}

qint32 Rows::rowId() const
{
    static const char kRowId[] = "RowId";
    const int index = column(kRowId).index;
    if (const std::optional<qint64> number = m_atEnd ? std::nullopt : m_statement->integer(index)) {
        if (*number >= INT32_MIN && *number <= INT32_MAX)
            return qint32(*number);
    }
    throw conversionError(kRowId);
}

} // namespace db
