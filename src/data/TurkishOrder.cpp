#include "data/TurkishOrder.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <string_view>
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

template <typename Next>
bool TurkishOrder::appendKeyOf(Next next, qsizetype length, std::string &key) const
{
    // Like the collator's own keys: every letter ignoring case first, then,
    // after a separator, every letter with its case. `length` characters.
    const size_t start = key.size();
    key.resize(start + 2 * size_t(length) + 1);
    char *primary = key.data() + start;
    char *tertiary = primary + length + 1;
    qsizetype count = 0;
    for (char32_t c; next(c); ++count) {
        if (count == length || c >= kTableSize || m_primary[c] == 0)
            break;
        primary[count] = char(m_primary[c]);
        tertiary[count] = char(m_tertiary[c]);
    }
    if (count != length) {
        key.resize(start);
        return false;
    }
    primary[count] = char(kLevelSeparator);
    return true;
}

bool TurkishOrder::appendKey(QStringView text, std::string &key) const
{
    qsizetype i = 0;
    const auto next = [&](char32_t &c) {
        if (i == text.size())
            return false;
        c = text[i++].unicode();
        return true;
    };
    return appendKeyOf(next, text.size(), key);
}

bool TurkishOrder::appendKey(QByteArrayView utf8, std::string &key) const
{
    // The table ends below U+0800: a character of more than two bytes is
    // outside it, and so is a malformed one.
    const auto *bytes = reinterpret_cast<const uchar *>(utf8.data());
    const qsizetype size = utf8.size();
    qsizetype i = 0;
    const auto next = [&](char32_t &c) {
        if (i == size)
            return false;
        const uchar lead = bytes[i++];
        if (lead < 0x80)
            c = lead;
        else if ((lead & 0xe0) == 0xc0 && i < size && (bytes[i] & 0xc0) == 0x80)
            c = char32_t(lead & 0x1f) << 6 | char32_t(bytes[i++] & 0x3f);
        else
            c = kTableSize;
        return true;
    };
    // One character per byte that does not continue one.
    const auto characters = std::count_if(bytes, bytes + size, [](uchar byte) { return (byte & 0xc0) != 0x80; });
    return appendKeyOf(next, qsizetype(characters), key);
}

namespace {

QString decoded(QStringView text)
{
    return text.toString();
}

QString decoded(QByteArrayView utf8)
{
    return QString::fromUtf8(utf8);
}

template <typename View>
std::vector<quint32> orderOf(size_t count, const std::function<View(size_t)> &text)
{
    std::vector<quint32> order(count);
    for (size_t i = 0; i < count; ++i)
        order[i] = quint32(i);
    // The keys share one buffer, made large enough at once: a key takes two
    // bytes per code unit of its text at most, and one more.
    const TurkishOrder &table = TurkishOrder::instance();
    size_t units = 0;
    for (size_t i = 0; i < count; ++i)
        units += size_t(text(i).size());
    std::string buffer;
    buffer.reserve(2 * units + count);
    std::vector<size_t> ends;
    ends.reserve(count);
    for (size_t i = 0; i < count && table.appendKey(text(i), buffer); ++i)
        ends.push_back(buffer.size());
    if (ends.size() == count) {
        const auto key = [&](quint32 i) {
            const size_t begin = i ? ends[i - 1] : 0;
            return std::string_view(buffer).substr(begin, ends[i] - begin);
        };
        // The first eight bytes of each key as one number decide most comparisons; keys hold no zero
        // byte, so a shorter key padded with zeros still comes first.
        std::vector<quint64> prefixes(count);
        for (quint32 i = 0; i < count; ++i) {
            const std::string_view k = key(i);
            for (size_t b = 0; b < 8; ++b)
                prefixes[i] = prefixes[i] << 8 | (b < k.size() ? uchar(k[b]) : 0u);
        }
        std::stable_sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
            return prefixes[a] != prefixes[b] ? prefixes[a] < prefixes[b] : key(a) < key(b);
        });
        return order;
    }
    // A character outside the table: the collator keys every text.
    QCollator collator{QLocale(QLocale::Turkish, QLocale::Turkey)};
    std::vector<QCollatorSortKey> keys;
    keys.reserve(count);
    for (size_t i = 0; i < count; ++i)
        keys.push_back(collator.sortKey(decoded(text(i))));
    std::stable_sort(order.begin(), order.end(), [&](quint32 a, quint32 b) { return keys[a].compare(keys[b]) < 0; });
    return order;
}

} // namespace

std::vector<quint32> turkishOrder(size_t count, const std::function<QByteArrayView(size_t)> &utf8)
{
    return orderOf(count, utf8);
}

std::vector<quint32> turkishOrder(size_t count, const std::function<QStringView(size_t)> &text)
{
    return orderOf(count, text);
}
