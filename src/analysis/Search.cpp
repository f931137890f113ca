#include "analysis/Search.h"

#include "analysis/MoneyText.h"
#include "analysis/TurkishText.h"
#include "data/Database.h"
#include "data/Statements.h"

#include <QHash>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace analysis {

namespace {

const QString kSeparator = u" · "_s;

// The non-empty texts of `columns`, joined into one line.
QString summaryOf(const db::Rows &rows, std::initializer_list<int> columns)
{
    QStringList parts;
    for (const int column : columns) {
        const QString part = QString::fromUtf8(rows.utf8(column)).simplified();
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(kSeparator);
}

// Walks `statement`, whose columns 1 to `searched` are looked in, and calls `hit` on each row found.
template <typename Hit>
void walk(db::Connection &connection, const char *statement, int searched, const TextMatcher &matcher, Hit hit)
{
    for (db::Rows rows = connection.query(statement); !rows.atEnd(); rows.moveNext()) {
        for (int column = 1; column <= searched; ++column) {
            if (matcher.matches(rows.utf8(column))) {
                hit(rows);
                break;
            }
        }
    }
}

// A record kind whose hits come in the order stored.
void searchStored(db::Connection &connection, SearchResults &results, RecordKind kind, const char *statement,
                  int searched, std::initializer_list<int> summary, const TextMatcher &matcher, int most)
{
    int &found = results.found[size_t(kind)];
    walk(connection, statement, searched, matcher, [&](const db::Rows &rows) {
        if (found++ < most)
            results.hits.push_back({kind, rows.rowId(), summaryOf(rows, summary)});
    });
}

// "12.03.2024 · Gelir · Şahin Gıda · 1.250,00 ₺ · Satış Geliri"
QString entrySummary(const db::Rows &rows)
{
    // Columns of kAraHareketler: 1 IslemKaynagi, 2 IslemCesidi, 6 IslemTutari, 7 Gun, 8 Ay, 9 Yil, 10 IslemTuru,
    // 11 TutarBirimi.
    const int date = dateKey(rows.utf8(7), rows.utf8(8), rows.utf8(9));
    const QString day = date ? dateText(date)
                             : QString::fromUtf8(rows.utf8(7)) + u'.' + QString::fromUtf8(rows.utf8(8)) + u'.' +
                                   QString::fromUtf8(rows.utf8(9));
    const StoredValue value = storedValue(rows.utf8(6), {}, {});
    const QString amount = value.readable ? turkishMoney(*ledger::liraValue(value.millionths, u"Lira", {}),
                                                         QStringView(QString::fromUtf8(rows.utf8(11))))
                                          : QString::fromUtf8(rows.utf8(6));
    QStringList parts{day};
    for (const QString &part :
         {QString::fromUtf8(rows.utf8(10)), QString::fromUtf8(rows.utf8(1)), amount, QString::fromUtf8(rows.utf8(2))})
        if (!part.trimmed().isEmpty())
            parts << part.simplified();
    return parts.join(kSeparator);
}

void searchEntries(db::Connection &connection, SearchResults &results, const TextMatcher &matcher, int most)
{
    struct Found
    {
        int date;
        qint32 rowId;
        QString summary; // made in the walk while hits are few
    };
    // Past this many hits the summaries are made in a second walk, for those shown only: a common word
    // matches most of a long ledger.
    const size_t kInline = size_t(most) * 5;
    std::vector<Found> found;
    walk(connection, sql::kAraHareketler, 6, matcher, [&](const db::Rows &rows) {
        found.push_back({dateKey(rows.utf8(7), rows.utf8(8), rows.utf8(9)), rows.rowId(),
                         found.size() < kInline ? entrySummary(rows) : QString()});
    });
    results.found[size_t(RecordKind::Entry)] = int(found.size());
    const bool inlined = found.size() <= kInline;
    // Newest first; of one day, the last stored first.
    const auto newer = [](const Found &a, const Found &b) {
        return a.date != b.date ? a.date > b.date : a.rowId > b.rowId;
    };
    const size_t shown = std::min(found.size(), size_t(most));
    std::partial_sort(found.begin(), found.begin() + qsizetype(shown), found.end(), newer);
    found.resize(shown);
    if (!inlined && shown > 0) {
        std::vector<qint32> wanted;
        for (const Found &f : found)
            wanted.push_back(f.rowId);
        std::sort(wanted.begin(), wanted.end());
        QHash<qint32, QString> summaries;
        for (db::Rows rows = connection.query(sql::kAraHareketler); !rows.atEnd(); rows.moveNext())
            if (std::binary_search(wanted.begin(), wanted.end(), rows.rowId()))
                summaries.insert(rows.rowId(), entrySummary(rows));
        for (Found &f : found)
            f.summary = summaries.value(f.rowId);
    }
    for (Found &f : found)
        results.hits.push_back({RecordKind::Entry, f.rowId, std::move(f.summary)});
}

} // namespace

SearchResults search(db::Connection &connection, QStringView text, int most)
{
    SearchResults results;
    const TextMatcher matcher(text);
    if (matcher.isEmpty())
        return results;
    searchStored(connection, results, RecordKind::Company, sql::kAraFirmalar, 7, {1, 3, 5}, matcher, most);
    searchEntries(connection, results, matcher, most);
    searchStored(connection, results, RecordKind::Contact, sql::kAraKisiler, 12, {1, 2, 10}, matcher, most);
    searchStored(connection, results, RecordKind::Link, sql::kAraLinkler, 3, {1, 2}, matcher, most);
    searchStored(connection, results, RecordKind::Membership, sql::kAraUyelikler, 1, {1}, matcher, most);
    return results;
}

} // namespace analysis
