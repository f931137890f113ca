#include "analysis/TurkishText.h"

#include <QChar>

#include <string_view>

namespace analysis {

namespace {

// The next character of UTF-8 `bytes` from `at`, which moves past it; a byte that begins no character
// stands for itself.
char32_t nextChar(QByteArrayView bytes, qsizetype &at)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length <= 1 || at + length > bytes.size()) {
        ++at;
        return lead;
    }
    char32_t c = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            ++at;
            return lead;
        }
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    at += length;
    return c;
}

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Turkish lower case: the dotless and the dotted I are two letters.
char32_t folded(char32_t c)
{
    if (c < 0x80)
        return c == U'I' ? U'ı' : (c >= U'A' && c <= U'Z') ? c + 32 : c;
    if (c == U'İ')
        return U'i';
    return QChar::toLower(c);
}

void appendFolded(std::string &out, QByteArrayView utf8)
{
    for (qsizetype at = 0; at < utf8.size();) {
        const unsigned char b = static_cast<unsigned char>(utf8[at]);
        if (b < 0x80 && b != 'I') { // most stored text: no decoding
            out += char(b >= 'A' && b <= 'Z' ? b + 32 : b);
            ++at;
            continue;
        }
        appendUtf8(out, folded(nextChar(utf8, at)));
    }
}

constexpr std::u32string_view kAlphabet = U"abcçdefgğhıijklmnoöpqrsştuüvwxyz";
constexpr std::string_view kPunctuation = " !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";

} // namespace

std::string foldedUtf8(QStringView text)
{
    std::string out;
    appendFolded(out, text.toUtf8());
    return out;
}

TextMatcher::TextMatcher(QStringView needle) : m_needle(foldedUtf8(needle.trimmed()))
{}

bool TextMatcher::matches(QByteArrayView utf8) const
{
    if (m_needle.empty())
        return true;
    if (utf8.size() < qsizetype(m_needle.size()) / 2) // folding at most doubles a character's bytes
        return false;
    m_folded.clear();
    appendFolded(m_folded, utf8);
    return m_folded.find(m_needle) != std::string::npos;
}

bool TextMatcher::matches(QStringView text) const
{
    return matches(QByteArrayView(text.toUtf8()));
}

std::string turkishSortKey(QByteArrayView utf8)
{
    std::string key;
    key.reserve(size_t(utf8.size()));
    for (qsizetype at = 0; at < utf8.size();) {
        const char32_t c = folded(nextChar(utf8, at));
        if (c >= U'0' && c <= U'9') {
            key += char(0x30 + (c - U'0'));
        } else if (const size_t letter = kAlphabet.find(c); letter != std::u32string_view::npos) {
            key += char(0x40 + letter);
        } else if (c < 0x80 && kPunctuation.find(char(c)) != std::string_view::npos) {
            key += char(0x02 + kPunctuation.find(char(c)));
        } else {
            key += char(0x01); // control characters first, anything else last, by its code
            if (c >= 0x80) {
                key.back() = char(0xF0);
                appendUtf8(key, c);
            }
        }
    }
    return key;
}

} // namespace analysis
