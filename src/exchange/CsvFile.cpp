#include "exchange/CsvFile.h"

#include "data/Statements.h"

#include <QDir>
#include <QHash>
#include <QSaveFile>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace exchange {

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

bool needsQuotes(QStringView value)
{
    for (QChar c : value)
        if (c == u';' || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    return false;
}

void appendValue(QByteArray &out, const QString &value)
{
    if (!needsQuotes(value)) {
        out += value.toUtf8();
        return;
    }
    out += '"';
    out += QString(value).replace(u'"', u"\"\""_s).toUtf8();
    out += '"';
}

void appendRow(QByteArray &out, const QStringList &row)
{
    for (qsizetype i = 0; i < row.size(); ++i) {
        if (i > 0)
            out += ';';
        appendValue(out, row.at(i));
    }
    out += "\r\n";
}

QStringList entryRow(const Entry &e)
{
    return {e.kind, e.day,     e.month,    e.year,    e.source, e.amount, e.currency,
            e.rate, e.vatRate, e.category, e.content, e.note,   e.invoice};
}

QStringList companyRow(const Company &c)
{
    return {c.name, c.address, c.taxOffice, c.taxNumber, c.phone, c.mail, c.relation, c.web};
}

// The columns of an entry in the order of entryCaptions().
constexpr char kEntryColumns[] =
    "SELECT IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, GecerliKur, "
    "KdvOrani, IslemCesidi, IslemIcerigi, IslemNotu, FaturaNo, RowId FROM GelirGider WHERE 1=1";

} // namespace

std::optional<QString> writeFile(const QString &path, const QByteArray &bytes)
{
    const QString shown = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return u"\"%1\" dosyası oluşturulamadı. Klasörün var olduğundan ve yazma izniniz olduğundan emin olun."_s.arg(
            shown);
    // flush() first: commit() would put a file whose last write failed in
    // place all the same. Without a commit the temporary file goes.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        return u"\"%1\" dosyasına yazılamadı; diskte yer olduğundan emin olun. Önceki dosya olduğu gibi duruyor."_s.arg(
            shown);
    return std::nullopt;
}

QByteArray csvBytes(const QList<QStringList> &rows)
{
    QByteArray out(kByteOrderMark);
    for (const QStringList &row : rows)
        appendRow(out, row);
    return out;
}

QStringList entryCaptions()
{
    return {u"Hareket Türü"_s,  u"Gün"_s,          u"Ay"_s,          u"Yıl"_s,        u"İşlem Kaynağı"_s,
            u"İşlem Tutarı"_s,  u"Tutar Birimi"_s, u"Geçerli Kur"_s, u"KDV Oran %"_s, u"İşlem Türü"_s,
            u"İşlem İçeriği"_s, u"İşlem Notu"_s,   u"Fatura No"_s};
}

QByteArray entriesCsv(const std::vector<Entry> &entries)
{
    QByteArray out(kByteOrderMark);
    // About what a row of a ledger takes, so the bytes grow a few times only.
    out.reserve(qsizetype(entries.size()) * 160 + 256);
    appendRow(out, entryCaptions());
    for (const Entry &entry : entries)
        appendRow(out, entryRow(entry));
    return out;
}

QStringList companyCaptions()
{
    return {u"Firma Adı"_s, u"Adresi"_s, u"Vergi Dairesi"_s, u"Vergi Numarası"_s,
            u"Telefon"_s,   u"Mail"_s,   u"Çalışma Türü"_s,  u"Web"_s};
}

QByteArray companiesCsv(const std::vector<Company> &companies)
{
    QByteArray out(kByteOrderMark);
    appendRow(out, companyCaptions());
    for (const Company &company : companies)
        appendRow(out, companyRow(company));
    return out;
}

std::vector<Entry> listedEntries(db::Connection &connection, const db::ListQuery &query)
{
    // The list itself gives the order (the engine may walk an index for it);
    // the same filters on every column give the values, placed in that order.
    QHash<qint32, qsizetype> places;
    for (db::Rows rows = connection.query(query.statement, query.values); !rows.atEnd(); rows.moveNext())
        places.insert(rows.rowId(), places.size());

    const QString listed = QString::fromUtf8(sql::kHareketListesi);
    Q_ASSERT(query.statement.startsWith(listed));
    const QString statement = QString::fromUtf8(kEntryColumns) + query.statement.mid(listed.size());
    std::vector<Entry> entries(places.size());
    for (db::Rows rows = connection.query(statement, query.values); !rows.atEnd(); rows.moveNext()) {
        const auto place = places.constFind(rows.rowId());
        if (place == places.cend())
            continue; // added after the list was read
        Entry &e = entries[*place];
        e.rowId = rows.rowId();
        e.kind = rows.text("IslemTuru");
        e.day = rows.text("Gun");
        e.month = rows.text("Ay");
        e.year = rows.text("Yil");
        e.source = rows.text("IslemKaynagi");
        e.amount = rows.text("IslemTutari");
        e.currency = rows.text("TutarBirimi");
        e.rate = rows.text("GecerliKur");
        e.vatRate = rows.text("KdvOrani");
        e.category = rows.text("IslemCesidi");
        e.content = rows.text("IslemIcerigi");
        e.note = rows.text("IslemNotu");
        e.invoice = rows.text("FaturaNo");
    }
    // Deleted between the two reads.
    std::erase_if(entries, [](const Entry &e) { return e.rowId < 0; });
    return entries;
}

CsvRead parseCsv(QByteArrayView bytes)
{
    CsvRead result;
    if (bytes.startsWith(kByteOrderMark))
        bytes = bytes.sliced(3);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    if (decoder.hasError()) {
        result.error = u"Dosya UTF-8 kodlamasında değil."_s;
        return result;
    }

    const auto refuse = [&result](int line, const QString &what) {
        result.rows.clear();
        result.error = u"Dosyanın %1. satırında %2."_s.arg(line).arg(what);
        return result;
    };

    QStringList row;
    QString value;
    int line = 1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        // One value, at its first character.
        value.clear();
        if (text.at(i) == u'"') {
            const int opened = line;
            ++i;
            for (;;) {
                if (i == n)
                    return refuse(opened, u"açılan tırnak kapanmıyor"_s);
                const QChar c = text.at(i++);
                if (c == u'"') {
                    if (i < n && text.at(i) == u'"') {
                        value += u'"';
                        ++i;
                        continue;
                    }
                    break;
                }
                if (c == u'\n')
                    ++line;
                value += c;
            }
        } else {
            while (i < n) {
                const QChar c = text.at(i);
                if (c == u';' || c == u'\r' || c == u'\n')
                    break;
                if (c == u'"')
                    return refuse(line, u"tırnaksız bir değerin içinde tırnak var"_s);
                value += c;
                ++i;
            }
        }
        row.append(value);

        // What follows a value: a separator, a line end or the end.
        if (i == n)
            break;
        const QChar c = text.at(i);
        if (c == u';') {
            ++i;
            if (i == n)
                row.append(QString());
            continue;
        }
        if (c == u'\r') {
            if (i + 1 == n || text.at(i + 1) != u'\n')
                return refuse(line, u"satır sonu olmayan bir CR var"_s);
            ++i;
        }
        if (text.at(i) != u'\n')
            return refuse(line, u"kapanan tırnaktan sonra ayraç yerine başka bir şey var"_s);
        ++i;
        if (!result.rows.isEmpty() && row.size() != result.rows.first().size())
            return refuse(line, u"%1 değer var, başlık satırında %2"_s.arg(row.size()).arg(result.rows.first().size()));
        result.rows.append(row);
        row.clear();
        ++line;
    }
    if (!row.isEmpty()) {
        if (!result.rows.isEmpty() && row.size() != result.rows.first().size())
            return refuse(line, u"%1 değer var, başlık satırında %2"_s.arg(row.size()).arg(result.rows.first().size()));
        result.rows.append(row);
    }
    return result;
}

} // namespace exchange
