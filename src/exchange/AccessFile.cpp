#include "exchange/AccessFile.h"

#include "data/Files.h"
#include "exchange/StoredValue.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <mdbtools.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace exchange {

namespace {

const QString notAccess = u"Bu dosya bir Access veritabanı değil ya da bozuk."_s;

// libmdb converts a text or memo cell into a buffer of this many bytes; a
// cell that fills it may have been cut short.
constexpr qsizetype cellLimit = MDB_BIND_SIZE - 1;

struct TableDeleter
{
    void operator()(MdbTableDef *table) const { mdb_free_tabledef(table); }
};
using TablePointer = std::unique_ptr<MdbTableDef, TableDeleter>;

QString nameOf(const char *name)
{
    return QString::fromUtf8(name);
}

// Text of a 2000-or-later file: UTF-16LE, or, when it starts with FF FE,
// "compressed": one byte a character, a zero byte switching between that and
// two-byte units. Decoded here rather than by libmdb, which turns each half of
// a character outside the BMP into '?'.
QString decodeText(const unsigned char *data, qsizetype size)
{
    if (size >= 2 && data[0] == 0xff && data[1] == 0xfe) {
        QString text(size, Qt::Uninitialized); // never more characters than bytes
        QChar *out = text.data();
        bool compressed = true;
        for (qsizetype i = 2; i < size;) {
            if (data[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                *out++ = QChar(char16_t(data[i++]));
            } else if (i + 1 < size) {
                *out++ = QChar(char16_t(data[i] | data[i + 1] << 8));
                i += 2;
            } else {
                break;
            }
        }
        text.truncate(out - text.constData());
        return text;
    }
    QString text(size / 2, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < size / 2; ++i)
        out[i] = QChar(char16_t(data[2 * i] | data[2 * i + 1] << 8));
    return text;
}

// The first page starts with a fixed mark, then "Standard Jet DB" or
// "Standard ACE DB"; the byte at 0x14 is the engine version.
constexpr qsizetype headerStart = 0x18;
constexpr qsizetype headerSize = 128;

bool hasAccessMark(const QByteArray &page)
{
    return page.size() >= headerStart + headerSize && page.startsWith(QByteArray("\x00\x01\x00\x00", 4)) &&
           (page.mid(4, 16) == QByteArray("Standard Jet DB\0", 16) ||
            page.mid(4, 16) == QByteArray("Standard ACE DB\0", 16));
}

// The header after the mark is scrambled with a fixed RC4 stream.
QByteArray unscrambledHeader(const QByteArray &page)
{
    const unsigned char key[] = {0xc7, 0xda, 0x39, 0x6b};
    unsigned char state[256];
    for (int i = 0; i < 256; ++i)
        state[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + state[i] + key[i % 4]) & 0xff;
        std::swap(state[i], state[j]);
    }
    QByteArray header = page.left(headerStart + headerSize);
    for (qsizetype n = headerStart, i = 0, j = 0; n < header.size(); ++n) {
        i = (i + 1) & 0xff;
        j = (j + state[i]) & 0xff;
        std::swap(state[i], state[j]);
        header[n] = char(header[n] ^ state[(state[i] + state[j]) & 0xff]);
    }
    return header;
}

// Whether the file has a database password (which in Access 2007 and later
// also means it is encrypted) or was encoded ("Veritabanını Şifrele" of Access
// 2000–2003: a key at 0x3e). The password sits at 0x42; from Access 2000 on
// it is masked further with the integer part of the creation date at 0x72.
bool isProtected(const QByteArray &page)
{
    const QByteArray header = unscrambledHeader(page);
    if (header.mid(0x3e, 4) != QByteArray(4, '\0'))
        return true;
    const bool jet3 = header.at(0x14) == 0;
    unsigned char mask[4] = {0, 0, 0, 0};
    if (!jet3) {
        double created = 0;
        std::memcpy(&created, header.constData() + 0x72, sizeof created);
        const qint32 whole = std::isfinite(created) && std::fabs(created) < 1e9 ? qint32(created) : 0;
        for (int i = 0; i < 4; ++i)
            mask[i] = static_cast<unsigned char>(quint32(whole) >> (8 * i));
    }
    const int length = jet3 ? 20 : 40;
    for (int i = 0; i < length; ++i) {
        if ((static_cast<unsigned char>(header.at(0x42 + i)) ^ mask[i % 4]) != 0)
            return true;
    }
    return false;
}

constexpr char jet3Charset[] = "MDB_JET3_CHARSET";

// The code page of an Access 97 file's texts ("CP1254"); empty for later
// files, which keep Unicode, and for a value that names no Windows code page.
QByteArray jet3CodePage(const QByteArray &page)
{
    const QByteArray header = unscrambledHeader(page);
    if (header.at(0x14) != 0)
        return {};
    const int codePage = static_cast<unsigned char>(header.at(0x3c)) | static_cast<unsigned char>(header.at(0x3d)) << 8;
    const bool windows = (codePage >= 1250 && codePage <= 1258) || codePage == 874 || codePage == 932 ||
                         codePage == 936 || codePage == 949 || codePage == 950;
    return windows ? "CP" + QByteArray::number(codePage) : QByteArray();
}

Kind kindOf(int type)
{
    switch (type) {
    case MDB_TEXT:
    case MDB_MEMO: return Kind::Text;
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_COMPLEX:
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_NUMERIC: return Kind::Number;
    case MDB_DATETIME: return Kind::Date;
    case MDB_BOOL: return Kind::YesNo;
    default: return Kind::Other;
    }
}

// The stored type of a fixed-width column libmdb hands over as bytes; nothing
// for the types whose text libmdb makes.
std::optional<StoredType> storedTypeOf(int type)
{
    switch (type) {
    case MDB_BYTE: return StoredType::Byte;
    case MDB_INT: return StoredType::Integer;
    case MDB_LONGINT:
    case MDB_COMPLEX: return StoredType::LongInteger;
    case MDB_MONEY: return StoredType::Currency;
    case MDB_FLOAT: return StoredType::Single;
    case MDB_DOUBLE: return StoredType::Double;
    case MDB_DATETIME: return StoredType::Date;
    default: return std::nullopt;
    }
}

constexpr int offsetMask = 0x1fff;
constexpr int memoHeader = 12;

// libmdb tells in English on the standard output and error what it finds wrong
// in a file. While it reads, both go to a file of their own, and what it said is
// kept for support rather than shown.
class LibraryOutput
{
public:
    LibraryOutput() : m_said(std::tmpfile())
    {
        if (!m_said)
            return;
        std::fflush(stdout);
        std::fflush(stderr);
        for (int stream : {STDOUT_FILENO, STDERR_FILENO}) {
            const int saved = ::dup(stream);
            if (saved >= 0 && ::dup2(::fileno(m_said), stream) >= 0)
                m_saved.append({stream, saved});
            else if (saved >= 0)
                ::close(saved);
        }
    }
    ~LibraryOutput() { finish(); }
    LibraryOutput(const LibraryOutput &) = delete;
    LibraryOutput &operator=(const LibraryOutput &) = delete;

    // Puts the streams back; what was said, each line once.
    QStringList finish()
    {
        if (!m_said)
            return {};
        std::fflush(stdout);
        std::fflush(stderr);
        for (const auto &[stream, saved] : m_saved) {
            ::dup2(saved, stream);
            ::close(saved);
        }
        m_saved.clear();
        QByteArray bytes;
        std::rewind(m_said);
        char chunk[4096];
        for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, m_said)) > 0 && bytes.size() < 65536;)
            bytes.append(chunk, qsizetype(got));
        std::fclose(m_said);
        m_said = nullptr;
        QStringList lines;
        for (const QByteArray &line : bytes.split('\n')) {
            const QString text = QString::fromUtf8(line).simplified();
            if (!text.isEmpty() && !lines.contains(text))
                lines.append(text);
        }
        return lines;
    }

private:
    std::FILE *m_said;
    QList<std::pair<int, int>> m_saved; // stream, its own descriptor kept aside
};

} // namespace

// Runs `work` with libmdb quiet: what it said goes to the warnings, or to the
// detail of a refusal.
template <typename Work>
auto AccessFile::quietly(Work work)
{
    LibraryOutput output;
    const auto keep = [&] {
        for (const QString &line : output.finish())
            if (!m_warnings.contains(line))
                m_warnings.append(line);
    };
    try {
        if constexpr (std::is_void_v<decltype(work())>) {
            work();
            keep();
        } else {
            auto result = work();
            keep();
            return result;
        }
    } catch (AccessError &error) {
        QStringList detail = output.finish();
        if (!error.detail.isEmpty())
            detail.prepend(error.detail);
        error.detail = detail.join(u"; "_s);
        throw;
    }
}

QString notAnAccessFile()
{
    return notAccess;
}

struct AccessFile::Handle
{
    MdbHandle *mdb = nullptr;
    std::vector<MdbCatalogEntry *> tables; // owned by the handle's catalog
    unsigned long memoPage = 0;            // 0: none (page 0 holds no long values)
    QByteArray memoPageBytes;
};

AccessFile::AccessFile(const QString &path) : m_handle(new Handle), m_path(path)
{
    std::unique_ptr<Handle> handle(m_handle);
    // A FIFO or a device would block or flood the open: refused before it is opened, and
    // checked again on the open file, which is opened without waiting for a writer.
    if (const std::optional<files::Failure> reason = files::notAFile(path))
        throw AccessError{{}, {}, reason};
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        throw AccessError{
            errno == EACCES || errno == EPERM
                ? u"\"%1\" dosyasını okuma izniniz yok. Dosyanın izinlerini değiştirin ya da dosyayı "
                  u"okuyabildiğiniz bir yere kopyalayıp yeniden deneyin."_s.arg(QDir::toNativeSeparators(path))
                : u"Dosya okunamadı: %1"_s.arg(QFileInfo(path).fileName()),
            {}};
    }
    struct stat status = {};
    QFile file;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        const std::optional<files::Failure> reason = files::notAFile(path);
        throw AccessError{reason ? QString() : notAccess, {}, reason};
    }
    const qint64 size = status.st_size;
    const QByteArray firstPage = file.read(headerStart + headerSize);
    file.close();
    // Checked before libmdb sees the file: it reads whatever it is given.
    if (!hasAccessMark(firstPage))
        throw AccessError{notAccess, {}};
    if (isProtected(firstPage))
        throw AccessError{u"Bu Access dosyası parola korumalı ya da şifrelenmiş; okunamıyor. Dosyayı Access'te açıp "
                          u"parolasını kaldırdıktan sonra yeniden deneyin."_s,
                          {}};

    // Access 97 keeps texts in the Windows code page the file was made under (1254 on a
    // Turkish Windows); libmdb takes it from its environment and otherwise assumes 1252.
    const QByteArray codePage = jet3CodePage(firstPage);
    const QByteArray previous = qgetenv(jet3Charset);
    const bool hadPrevious = qEnvironmentVariableIsSet(jet3Charset);
    if (!codePage.isEmpty())
        qputenv(jet3Charset, codePage);
    quietly([&] {
        m_handle->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
        if (!codePage.isEmpty()) {
            if (hadPrevious)
                qputenv(jet3Charset, previous);
            else
                qunsetenv(jet3Charset);
        }
        if (!m_handle->mdb)
            throw AccessError{notAccess, u"mdb_open"_s};
    });
    // A file whose length is not a whole number of pages was cut short: libmdb
    // would read past its end.
    const qint64 pageSize = m_handle->mdb->fmt->pg_size;
    if (size < 2 * pageSize || size % pageSize != 0) {
        mdb_close(m_handle->mdb);
        throw AccessError{notAccess, u"length %1 is not a multiple of the page size %2"_s.arg(size).arg(pageSize)};
    }
    switch (m_handle->mdb->f->jet_version) {
    case MDB_VER_JET3: m_format = Format::Access97; break;
    case MDB_VER_JET4: m_format = Format::Access2000; break;
    default: m_format = Format::Access2007; break;
    }
    GPtrArray *catalog = nullptr;
    try {
        quietly([&] {
            catalog = mdb_read_catalog(m_handle->mdb, MDB_TABLE);
            if (!catalog)
                throw AccessError{notAccess, u"mdb_read_catalog"_s};
        });
    } catch (const AccessError &) {
        mdb_close(m_handle->mdb);
        throw;
    }
    for (guint i = 0; i < catalog->len; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(catalog, i));
        if (mdb_is_user_table(entry))
            m_handle->tables.push_back(entry);
    }
    handle.release();
}

AccessFile::~AccessFile()
{
    mdb_close(m_handle->mdb); // frees the catalog too
    delete m_handle;
}

QString AccessFile::formatName(Format format)
{
    switch (format) {
    case Format::Access97: return u"Access 97"_s;
    case Format::Access2000: return u"Access 2000–2003"_s;
    case Format::Access2007: break;
    }
    return u"Access 2007 veya üstü"_s;
}

QStringList AccessFile::tables() const
{
    QStringList names;
    for (MdbCatalogEntry *entry : m_handle->tables)
        names.append(nameOf(entry->object_name));
    return names;
}

QString AccessFile::findTable(const QString &name) const
{
    for (MdbCatalogEntry *entry : m_handle->tables) {
        const QString found = nameOf(entry->object_name);
        if (found.compare(name, Qt::CaseInsensitive) == 0)
            return found;
    }
    return {};
}

MdbTableDef *AccessFile::openTable(const QString &table)
{
    const QString found = findTable(table);
    for (MdbCatalogEntry *entry : m_handle->tables) {
        if (found.isEmpty() || nameOf(entry->object_name) != found)
            continue;
        MdbTableDef *def = mdb_read_table(entry);
        if (!def || !mdb_read_columns(def)) {
            if (def)
                mdb_free_tabledef(def);
            throw AccessError{u"\"%1\" tablosu okunamadı; dosya bozuk olabilir."_s.arg(found), u"mdb_read_table"_s};
        }
        return def;
    }
    return nullptr;
}

// A memo's bytes: held in the row itself, on one page of its own, or on a
// chain of pages. Nothing when a page it points to is not there.
std::optional<QByteArray> AccessFile::readMemo(const unsigned char *cell, int size)
{
    if (size < memoHeader)
        return QByteArray();
    const quint32 length = quint32(mdb_get_int32(const_cast<unsigned char *>(cell), 0));
    if (length & 0x80000000)
        return QByteArray(reinterpret_cast<const char *>(cell) + memoHeader, size - memoHeader);
    qint32 pageRow = qint32(mdb_get_int32(const_cast<unsigned char *>(cell), 4));
    QByteArray memo;
    const bool chained = !(length & 0x40000000);
    for (int pages = 0; pages < 65536; ++pages) {
        const std::optional<QByteArrayView> row = (pageRow >> 8) == 0 ? std::nullopt : rowOnPage(pageRow);
        if (!row || (chained && row->size() < 4))
            return std::nullopt;
        if (!chained) {
            memo.append(*row);
            return memo;
        }
        memo.append(row->sliced(4));
        pageRow = qint32(mdb_get_int32(reinterpret_cast<void *>(const_cast<char *>(row->data())), 0));
        if ((pageRow >> 8) == 0)
            return memo.left(length & 0x3fffffff);
    }
    return std::nullopt;
}

// A row of a page that holds long values, found as libmdb finds rows. Memos of
// rows close together mostly share a page: the last one read is kept.
std::optional<QByteArrayView> AccessFile::rowOnPage(qint32 pageRow)
{
    MdbHandle *mdb = m_handle->mdb;
    const qsizetype pageSize = mdb->fmt->pg_size;
    const unsigned long page = quint32(pageRow) >> 8;
    const int row = pageRow & 0xff;
    if (page != m_handle->memoPage) {
        m_handle->memoPage = 0;
        if (mdb_read_alt_pg(mdb, page) != pageSize)
            return std::nullopt;
        m_handle->memoPageBytes = QByteArray(reinterpret_cast<const char *>(mdb->alt_pg_buf), pageSize);
        m_handle->memoPage = page;
    }
    const auto *bytes = reinterpret_cast<const unsigned char *>(m_handle->memoPageBytes.constData());
    const auto word = [bytes](qsizetype at) { return int(bytes[at] | bytes[at + 1] << 8); };
    const int rowCounts = mdb->fmt->row_count_offset;
    if (row >= word(rowCounts) || rowCounts + 4 + 2 * row > pageSize)
        return std::nullopt;
    const qsizetype start = word(rowCounts + 2 + 2 * row) & offsetMask;
    const qsizetype next = row == 0 ? pageSize : word(rowCounts + 2 * row) & offsetMask;
    if (start > next || next > pageSize)
        return std::nullopt;
    return QByteArrayView(m_handle->memoPageBytes).sliced(start, next - start);
}

QStringList AccessFile::columns(const QString &table)
{
    TablePointer def(quietly([&] { return openTable(table); }));
    if (!def)
        throw AccessError{u"Dosyada \"%1\" tablosu yok."_s.arg(table), {}};
    QStringList names;
    for (guint i = 0; i < def->columns->len; ++i)
        names.append(nameOf(static_cast<MdbColumn *>(g_ptr_array_index(def->columns, i))->name));
    return names;
}

QList<Row> AccessFile::rows(const QString &table, const QStringList &columns, QList<Kind> *kinds)
{
    return quietly([&] { return readRows(table, columns, kinds); });
}

QList<Row> AccessFile::readRows(const QString &table, const QStringList &columns, QList<Kind> *kinds)
{
    TablePointer def(openTable(table));
    if (!def)
        throw AccessError{u"Dosyada \"%1\" tablosu yok."_s.arg(table), {}};
    const QString tableName = nameOf(def->name);

    // Where each wanted column sits among the table's columns.
    QList<int> positions;
    for (const QString &column : columns) {
        int position = -1;
        for (guint i = 0; i < def->columns->len && position < 0; ++i) {
            if (nameOf(static_cast<MdbColumn *>(g_ptr_array_index(def->columns, i))->name)
                    .compare(column, Qt::CaseInsensitive) == 0)
                position = int(i);
        }
        if (position < 0)
            throw AccessError{u"\"%1\" tablosunda \"%2\" sütunu yok."_s.arg(tableName, column), {}};
        positions.append(position);
        if (kinds)
            kinds->append(kindOf(static_cast<MdbColumn *>(g_ptr_array_index(def->columns, position))->col_type));
    }

    MdbHandle *mdb = m_handle->mdb;
    const auto failed = [&](const QString &detail) {
        return AccessError{u"\"%1\" tablosu okunamadı; dosya bozuk olabilir."_s.arg(tableName), detail};
    };
    mdb_rewind_table(def.get());

    QList<Row> rows;
    rows.reserve(def->num_rows);
    std::vector<MdbField> fields(def->num_cols);
    const int pageSize = int(mdb->fmt->pg_size);
    // mdb_fetch_row leaves the row it found on the current page; it is cracked
    // again here, since only the cracked fields tell a NULL from ''.
    while (mdb_fetch_row(def.get())) {
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb, def->cur_row - 1, &start, &size) != 0)
            throw failed(u"mdb_find_row"_s);
        start &= offsetMask;
        if (start + qint64(size) > pageSize)
            throw failed(u"row outside its page"_s);
        if (mdb_crack_row(def.get(), start, size, fields.data()) != int(def->num_cols))
            throw failed(u"mdb_crack_row"_s);
        Row row;
        row.reserve(columns.size());
        for (int position : positions) {
            const MdbField &field = fields[position];
            auto *column = static_cast<MdbColumn *>(g_ptr_array_index(def->columns, position));
            if (column->col_type == MDB_BOOL) { // a yes/no is kept in the null mask itself: never NULL
                row.append(field.is_null ? u"0"_s : u"1"_s);
                continue;
            }
            if (field.is_null) {
                row.append(std::nullopt);
                continue;
            }
            const bool text = column->col_type == MDB_TEXT || column->col_type == MDB_MEMO;
            if (text && m_format != Format::Access97) {
                const auto *page = reinterpret_cast<const unsigned char *>(mdb->pg_buf);
                if (field.start < 0 || field.siz < 0 || field.start + field.siz > pageSize)
                    throw failed(u"cell outside its page"_s);
                if (column->col_type == MDB_TEXT) {
                    row.append(decodeText(page + field.start, field.siz));
                } else {
                    const std::optional<QByteArray> memo = readMemo(page + field.start, field.siz);
                    if (!memo)
                        throw failed(u"memo"_s);
                    row.append(decodeText(reinterpret_cast<const unsigned char *>(memo->constData()), memo->size()));
                }
                continue;
            }
            if (field.start >= 0 && field.siz >= 0 && field.start + field.siz <= pageSize) {
                const auto *cell = reinterpret_cast<const unsigned char *>(mdb->pg_buf) + field.start;
                const std::optional<StoredType> stored = storedTypeOf(column->col_type);
                if (std::optional<QString> fixed =
                        stored ? storedText(*stored, QByteArrayView(cell, field.siz)) : std::nullopt) {
                    row.append(std::move(*fixed));
                    continue;
                }
            }
            char *converted = mdb_col_to_string(mdb, mdb->pg_buf, field.start, column->col_type, field.siz);
            if (!converted)
                throw failed(u"mdb_col_to_string"_s);
            const QByteArray bytes(converted);
            g_free(converted);
            if (text && bytes.size() >= cellLimit)
                throw AccessError{u"\"%1\" tablosunun \"%2\" sütununda okunamayacak kadar uzun bir değer var."_s.arg(
                                      tableName, nameOf(column->name)),
                                  u"%1 bytes or more"_s.arg(cellLimit)};
            row.append(QString::fromUtf8(bytes));
        }
        rows.append(row);
    }
    // A page missing from the file ends the walk early without a word from libmdb.
    if (rows.size() != qsizetype(def->num_rows))
        throw failed(u"%1 of %2 rows"_s.arg(rows.size()).arg(def->num_rows));
    return rows;
}

} // namespace exchange
