#include "analysis/Register.h"

#include "analysis/MoneyText.h"
#include "analysis/TurkishText.h"
#include "data/Database.h"
#include "data/Kinds.h"
#include "data/Statements.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_set>

using namespace Qt::StringLiterals;

namespace analysis {

namespace {

// Below every value: a row without one sorts first.
constexpr ledger::WideKurus kNone = -(ledger::WideKurus(1) << 120);

QByteArray utf8Of(const QString &text)
{
    return text.isEmpty() ? QByteArray() : text.toUtf8();
}

} // namespace

QStringList Register::captions()
{
    return {u"Tarih"_s,     u"Hareket Türü"_s, u"Firma"_s,        u"Kategori"_s, u"İşlem İçeriği"_s,
            u"Fatura No"_s, u"Tutar"_s,        u"TL Karşılığı"_s, u"Bakiye"_s};
}

void Register::load(db::Connection &connection)
{
    m_bytes.clear();
    m_bytes.reserve(1 << 20);
    m_rows.clear();
    m_rows.reserve(1 << 12);
    m_shown.clear();
    const QByteArray income = ledger::income().toUtf8(), expense = ledger::expense().toUtf8();
    // The statement's columns: RowId, then the kept fields in the order of Field, then the rate.
    constexpr int kRate = FieldCount + 1;
    for (db::Rows rows = connection.query(sql::kHesapDokumu); !rows.atEnd(); rows.moveNext()) {
        Row row{};
        row.rowId = rows.rowId();
        for (int field = 0; field < FieldCount; ++field) {
            row.field[field] = quint32(m_bytes.size());
            const QByteArrayView stored = rows.utf8(field + 1);
            m_bytes.append(stored.data(), size_t(stored.size()));
        }
        row.field[FieldCount] = quint32(m_bytes.size());
        const QByteArrayView kind = bytes(row, KindText);
        row.kind = kind == income ? EntryKind::Income : kind == expense ? EntryKind::Expense : EntryKind::Other;
        row.date = dateKey(bytes(row, Day), bytes(row, Month), bytes(row, Year));
        const StoredValue value = storedValue(bytes(row, AmountText), bytes(row, Currency), rows.utf8(kRate));
        row.value = !value.readable ? Value::Unreadable : value.lira ? Value::Known : Value::NoRate;
        row.lira = value.lira.value_or(0);
        m_rows.push_back(row);
    }
    // Read in the order stored: entries of one day stay in it. Sorted by small keys, the rows then moved once.
    const auto earlier = [](const Row &a, const Row &b) { return a.date < b.date; };
    if (!std::is_sorted(m_rows.begin(), m_rows.end(), earlier)) {
        std::vector<quint64> order(m_rows.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = quint64(quint32(m_rows[i].date)) << 32 | i;
        std::sort(order.begin(), order.end());
        std::vector<Row> sorted;
        sorted.reserve(m_rows.size());
        for (const quint64 key : order)
            sorted.push_back(m_rows[size_t(key & 0xFFFFFFFFu)]);
        m_rows = std::move(sorted);
    }
    setFilter({});
}

QByteArrayView Register::bytes(const Row &row, Field field) const
{
    return QByteArrayView(m_bytes.data() + row.field[field], row.field[field + 1] - row.field[field]);
}

QString Register::decoded(const Row &row, Field field) const
{
    return QString::fromUtf8(bytes(row, field));
}

void Register::setFilter(const RegisterFilter &filter)
{
    const QByteArray kind = utf8Of(filter.kind), company = utf8Of(filter.company), category = utf8Of(filter.category);
    const TextMatcher matcher(filter.text);
    m_shown.clear();
    m_withoutRate = m_unreadable = 0;
    ledger::WideKurus balance = 0;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        Row &row = m_rows[i];
        if ((filter.from && row.date < filter.from) || (filter.to && (row.date > filter.to || row.date == 0)))
            continue;
        if ((!kind.isEmpty() && bytes(row, KindText) != kind) ||
            (!company.isEmpty() && bytes(row, Source) != company) ||
            (!category.isEmpty() && bytes(row, CategoryText) != category))
            continue;
        if (!matcher.isEmpty() && !matchesText(row, matcher))
            continue;
        if (row.value == Value::NoRate)
            ++m_withoutRate;
        else if (row.value == Value::Unreadable)
            ++m_unreadable;
        else if (row.kind == EntryKind::Income)
            balance += row.lira;
        else if (row.kind == EntryKind::Expense)
            balance -= row.lira;
        row.balance = balance;
        m_shown.push_back(int(i));
    }
    m_finalBalance = balance;
    sort(Column(m_sortColumn), m_descending);
}

bool Register::matchesText(const Row &row, const TextMatcher &matcher) const
{
    for (const Field field : {Source, CategoryText, ContentText, InvoiceText, KindText, AmountText})
        if (matcher.matches(bytes(row, field)))
            return true;
    // What is shown in the Turkish form: the date, the amount and its lira value.
    for (const Column column : {Date, Amount, Lira})
        if (matcher.matches(QStringView(cellText(row, column))))
            return true;
    return false;
}

void Register::sort(Column column, bool descending)
{
    m_sortColumn = column;
    m_descending = descending;
    std::sort(m_shown.begin(), m_shown.end()); // date order: equal keys keep it
    if (column == Date || column >= ColumnCount) {
        if (descending)
            std::reverse(m_shown.begin(), m_shown.end());
        return;
    }
    std::vector<int> order(m_shown.size());
    std::iota(order.begin(), order.end(), 0);
    const auto arrange = [&](const auto &keys) {
        if (descending)
            std::stable_sort(order.begin(), order.end(),
                             [&](int a, int b) { return keys[size_t(b)] < keys[size_t(a)]; });
        else
            std::stable_sort(order.begin(), order.end(),
                             [&](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
    };
    if (column == Amount || column == Lira || column == Balance) {
        std::vector<ledger::WideKurus> keys(m_shown.size());
        for (size_t i = 0; i < keys.size(); ++i) {
            const Row &row = m_rows[size_t(m_shown[i])];
            if (column == Balance)
                keys[i] = row.balance;
            else if (column == Lira)
                keys[i] = row.value == Value::Known ? row.lira : kNone;
            else {
                const StoredValue value = storedValue(bytes(row, AmountText), {}, {});
                keys[i] = value.readable ? value.millionths : kNone;
            }
        }
        arrange(keys);
    } else {
        const Field field = column == Kind       ? KindText
                            : column == Company  ? Source
                            : column == Category ? CategoryText
                            : column == Content  ? ContentText
                                                 : InvoiceText;
        std::vector<std::string> keys(m_shown.size());
        for (size_t i = 0; i < keys.size(); ++i)
            keys[i] = turkishSortKey(bytes(m_rows[size_t(m_shown[i])], field));
        arrange(keys);
    }
    std::vector<int> shown(m_shown.size());
    for (size_t i = 0; i < order.size(); ++i)
        shown[i] = m_shown[size_t(order[i])];
    m_shown = std::move(shown);
}

qint32 Register::rowId(int row) const
{
    return shownRow(row).rowId;
}

bool Register::hasLira(int row) const
{
    return shownRow(row).value == Value::Known;
}

bool Register::isNegative(int row, Column column) const
{
    const Row &r = shownRow(row);
    switch (column) {
    case Amount: return storedValue(bytes(r, AmountText), {}, {}).millionths < 0;
    case Lira: return r.value == Value::Known && r.lira < 0;
    case Balance: return r.balance < 0;
    default: return false;
    }
}

QString Register::text(int row, Column column) const
{
    return cellText(shownRow(row), column);
}

QString Register::cellText(const Row &r, Column column) const
{
    switch (column) {
    case Date:
        if (r.date)
            return dateText(r.date);
        return decoded(r, Day) + u'.' + decoded(r, Month) + u'.' + decoded(r, Year);
    case Kind: return decoded(r, KindText);
    case Company: return decoded(r, Source);
    case Category: return decoded(r, CategoryText);
    case Content: return decoded(r, ContentText).simplified(); // one line in a cell
    case Invoice: return decoded(r, InvoiceText);
    case Amount: {
        const StoredValue value = storedValue(bytes(r, AmountText), {}, {});
        if (!value.readable)
            return decoded(r, AmountText);
        // Shown to the kuruş, as the amount was typed.
        const auto kurus = ledger::liraValue(value.millionths, u"Lira", {});
        return turkishMoney(*kurus, QStringView(decoded(r, Currency)));
    }
    case Lira:
        return r.value == Value::Known    ? turkishMoney(r.lira)
               : r.value == Value::NoRate ? u"kur yok"_s
                                          : u"okunamadı"_s;
    case Balance: return turkishMoney(r.balance);
    case ColumnCount: break;
    }
    return {};
}

QStringList Register::distinct(Field field) const
{
    std::unordered_set<std::string_view> seen;
    QStringList texts;
    std::vector<std::pair<std::string, QString>> keyed;
    for (const Row &row : m_rows) {
        const QByteArrayView value = bytes(row, field);
        if (!value.isEmpty() && seen.insert(std::string_view(value.data(), size_t(value.size()))).second)
            keyed.emplace_back(turkishSortKey(value), QString::fromUtf8(value));
    }
    std::sort(keyed.begin(), keyed.end());
    for (auto &[key, text] : keyed)
        texts << text;
    return texts;
}

QStringList Register::companies() const
{
    return distinct(Source);
}

QStringList Register::categories() const
{
    return distinct(CategoryText);
}

QList<QStringList> Register::table() const
{
    QList<QStringList> rows{captions()};
    rows.reserve(rowCount() + 1);
    for (int row = 0; row < rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < ColumnCount; ++column)
            cells << text(row, Column(column));
        rows << cells;
    }
    return rows;
}

} // namespace analysis
