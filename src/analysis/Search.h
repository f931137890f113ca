#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <vector>

namespace db {
class Connection;
}

// One text looked for in every kind of record, by Turkish case rules (see TextMatcher).
namespace analysis {

// In the order the results show them.
enum class RecordKind { Company, Entry, Contact, Link, Membership };
inline constexpr int kRecordKinds = 5;

struct SearchHit
{
    RecordKind kind;
    qint32 rowId;
    QString summary; // one line
};

struct SearchResults
{
    // Grouped by kind in RecordKind's order; the entries newest first, the others in the order stored.
    std::vector<SearchHit> hits;
    std::array<int, kRecordKinds> found{}; // how many of each kind matched; `hits` holds at most `most` of them
};

// Looks for `text` in the companies (name, address, tax office and number, phone, mail, web), the
// entries (company, category, content, note, invoice number, amount), the contacts (every field), the
// links (title, address, notes) and the memberships (the place only: nothing sealed is ever read).
// Nothing for a blank text. Throws db::Error.
SearchResults search(db::Connection &connection, QStringView text, int most = 200);

} // namespace analysis
