#include "exchange/CsvFile.h"

#include "data/EntryStore.h"
#include "data/Schema.h"

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace exchange {

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// The bytes that put a value in quotes: ';', '"', CR and LF.
constexpr std::array<bool, 256> kQuoted = [] {
    std::array<bool, 256> quoted{};
    for (unsigned char c : {';', '"', '\r', '\n'})
        quoted[c] = true;
    return quoted;
}();

// The bytes a value may not begin with bare: a spreadsheet runs such a text as
// a formula, also behind a tab or a CR that it trims away.
constexpr std::array<bool, 256> kFormulaStart = [] {
    std::array<bool, 256> start{};
    for (unsigned char c : {'=', '+', '-', '@', '\t', '\r'})
        start[c] = true;
    return start;
}();

// An optional sign, digits and, after a '.', digits: an amount such as -5.00.
bool isPlainNumber(QByteArrayView utf8)
{
    qsizetype i = utf8.startsWith('-') || utf8.startsWith('+') ? 1 : 0;
    const auto digits = [&] {
        const qsizetype first = i;
        while (i < utf8.size() && utf8[i] >= '0' && utf8[i] <= '9')
            ++i;
        return i > first;
    };
    if (!digits())
        return false;
    if (i < utf8.size() && utf8[i] == '.') {
        ++i;
        if (!digits())
            return false;
    }
    return i == utf8.size();
}

// A value a spreadsheet would run rather than show. It is written after an
// apostrophe, which spreadsheets take for "this cell is text"; a plain number
// stays a number.
bool looksLikeFormula(QByteArrayView utf8)
{
    return !utf8.isEmpty() && kFormulaStart[static_cast<unsigned char>(utf8.front())] && !isPlainNumber(utf8);
}

// The bytes of a file, from the byte-order mark on, in a buffer grown by
// hand: appending to a QByteArray value by value costs more than reading
// the values from the database.
class FileBuffer
{
public:
    FileBuffer() : m_bytes(kByteOrderMark), m_size(m_bytes.size()) {}

    // A value as the file holds it: bare, or quoted with its quotes doubled;
    // one that looks like a formula after an apostrophe.
    void append(QByteArrayView utf8)
    {
        const bool guarded = looksLikeFormula(utf8);
        // Copied bare while looking for a byte that needs quotes, in one pass;
        // the rare value that has one is written again over it.
        char *out = room(utf8.size() + 1);
        char *const bare = out;
        if (guarded)
            *out++ = '\'';
        bool quoted = false;
        for (char c : utf8) {
            quoted |= kQuoted[static_cast<unsigned char>(c)];
            *out++ = c;
        }
        if (!quoted) {
            m_size += out - bare;
            return;
        }
        // At worst every byte a doubled quote, the apostrophe and the two quotes around it.
        out = room(2 * utf8.size() + 3);
        char *const first = out;
        *out++ = '"';
        if (guarded)
            *out++ = '\'';
        for (char c : utf8) {
            if (c == '"')
                *out++ = '"';
            *out++ = c;
        }
        *out++ = '"';
        m_size += out - first;
    }
    void append(char c) { *room(1) = c, ++m_size; }
    // A row of values and its line end. A row none of whose values needs
    // quotes or an apostrophe, nearly every one, is copied in one go.
    void appendRow(const QByteArrayView *values, qsizetype count)
    {
        qsizetype length = count + 1; // the separators and CR LF
        for (qsizetype i = 0; i < count; ++i)
            length += values[i].size();
        char *out = room(length);
        char *const first = out;
        bool special = false;
        for (qsizetype i = 0; i < count; ++i) {
            if (i > 0)
                *out++ = ';';
            special |= looksLikeFormula(values[i]);
            for (char c : values[i]) {
                special |= kQuoted[static_cast<unsigned char>(c)];
                *out++ = c;
            }
        }
        if (special) { // written again over it, value by value
            for (qsizetype i = 0; i < count; ++i) {
                if (i > 0)
                    append(';');
                append(values[i]);
            }
        } else {
            m_size += out - first;
        }
        append('\r');
        append('\n');
    }
    QByteArray take()
    {
        m_bytes.resize(m_size);
        return std::move(m_bytes);
    }

private:
    char *room(qsizetype needed)
    {
        if (m_size + needed > m_bytes.size())
            m_bytes.resize(std::max(2 * m_bytes.size(), m_size + needed + 4096));
        return m_bytes.data() + m_size;
    }

    QByteArray m_bytes;
    qsizetype m_size;
};

void appendRow(FileBuffer &out, const QStringList &row)
{
    std::vector<QByteArray> utf8;
    utf8.reserve(size_t(row.size()));
    for (const QString &value : row)
        utf8.push_back(value.toUtf8());
    const std::vector<QByteArrayView> values(utf8.begin(), utf8.end());
    out.appendRow(values.data(), qsizetype(values.size()));
}

// The headers of a table's columns that a file has, in the order stored.
QStringList captionsOf(const schema::Table &table)
{
    QStringList captions;
    for (const schema::Column &column : table.columns)
        if (column.caption)
            captions.append(QString::fromUtf16(column.caption));
    return captions;
}

} // namespace

QByteArray csvBytes(const QList<QStringList> &rows)
{
    FileBuffer out;
    for (const QStringList &row : rows)
        appendRow(out, row);
    return out.take();
}

QStringList entryCaptions()
{
    return captionsOf(schema::kGelirGider);
}

QStringList companyCaptions()
{
    return captionsOf(schema::kFirmalar);
}

QByteArray companiesCsv(const std::vector<Company> &companies)
{
    QList<QStringList> rows{companyCaptions()};
    for (const Company &c : companies)
        rows.append({c.name, c.address, c.taxOffice, c.taxNumber, c.phone, c.mail, c.relation, c.web});
    return csvBytes(rows);
}

QByteArray listedEntriesCsv(db::Connection &connection, const db::ListQuery &query)
{
    FileBuffer out;
    appendRow(out, entryCaptions());
    // The stored bytes go into the file as they are, with no detour through
    // QString: a long list is written in about the time it takes to list it.
    constexpr int kColumns = int(std::size(schema::kGelirGiderColumns)) - 1; // all but RowId
    QByteArrayView values[kColumns];
    for (db::Rows rows = EntryStore(connection).listedRows(query); !rows.atEnd(); rows.moveNext()) {
        for (int column = 0; column < kColumns; ++column)
            values[column] = rows.utf8(column);
        out.appendRow(values, kColumns);
    }
    return out.take();
}

} // namespace exchange
