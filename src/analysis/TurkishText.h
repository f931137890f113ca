#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <string>

// Texts compared the way a Turkish reader compares them: "istanbul" is "İSTANBUL", "ışık" is "IŞIK", and
// a letter is never its unmarked neighbour ("şeker" is not "seker").
namespace analysis {

// `text` in Turkish lower case, as UTF-8: I becomes ı, İ becomes i, marks stay.
std::string foldedUtf8(QStringView text);

// Finds one text inside stored texts, case aside. Every character of the text is a plain letter:
// '%', '_' and quotes included. Holds a buffer of its own: one matcher per thread.
class TextMatcher
{
public:
    explicit TextMatcher(QStringView needle);

    bool isEmpty() const { return m_needle.empty(); }
    bool matches(QByteArrayView utf8) const; // the stored bytes
    bool matches(QStringView text) const;

private:
    std::string m_needle;
    mutable std::string m_folded;
};

// A key that orders texts in the Turkish alphabet (C, Ç, ..., I, İ, ..., S, Ş, ...), case aside: compared
// as bytes. Made from the stored UTF-8 bytes.
std::string turkishSortKey(QByteArrayView utf8);

} // namespace analysis
