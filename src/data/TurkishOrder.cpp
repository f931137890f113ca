#include "data/TurkishOrder.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <vector>

namespace {

constexpr quint8 kLevelSeparator = 1; // below every rank

// Ranks characters by the collator: equal characters share a rank.
template <size_t N>
void rank(const std::vector<char16_t> &chars, QCollator &collator, std::array<quint8, N> &ranks)
{
    std::vector<char16_t> sorted = chars;
    const auto text = [](char16_t c) { return QString(QChar(c)); };
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](char16_t a, char16_t b) { return collator.compare(text(a), text(b)) < 0; });
    quint8 next = kLevelSeparator + 1;
    for (size_t i = 0; i < sorted.size(); ++i) {
        if (i > 0 && collator.compare(text(sorted[i - 1]), text(sorted[i])) != 0)
            ++next;
        ranks[sorted[i]] = next;
    }
}

} // namespace

const TurkishOrder &TurkishOrder::instance()
{
    static const TurkishOrder order;
    return order;
}

TurkishOrder::TurkishOrder()
{
    std::vector<char16_t> chars;
    for (char16_t c = 0x20; c < 0x7f; ++c)
        chars.push_back(c);
    for (char16_t c : {u'Ç', u'ç', u'Ğ', u'ğ', u'İ', u'ı', u'Ö', u'ö', u'Ş', u'ş', u'Ü', u'ü'})
        chars.push_back(c);

    QCollator collator{QLocale(QLocale::Turkish, QLocale::Turkey)};
    collator.setCaseSensitivity(Qt::CaseSensitive);
    rank(chars, collator, m_tertiary);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    rank(chars, collator, m_primary);
}

bool TurkishOrder::appendKey(QStringView text, std::string &key) const
{
    // Like the collator's own keys: every letter ignoring case first, then,
    // after a separator, every letter with its case.
    const size_t start = key.size();
    key.resize(start + 2 * size_t(text.size()) + 1);
    char *primary = key.data() + start;
    char *tertiary = primary + text.size() + 1;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c >= kTableSize || m_primary[c] == 0) {
            key.resize(start);
            return false;
        }
        *primary++ = char(m_primary[c]);
        *tertiary++ = char(m_tertiary[c]);
    }
    *primary = char(kLevelSeparator);
    return true;
}
