#include "ledger/RtfWriter.h"

#include <QFontInfo>
#include <QHash>
#include <QTextBlock>
#include <QTextDocument>

#include <charconv>

using namespace Qt::StringLiterals;

namespace {

// The Windows-1254 byte of a character, or 0 when the code page has none.
unsigned char cp1254(char16_t ch)
{
    // 0x80 to 0x9F; 0 where the code page leaves a hole.
    static const char16_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0,      0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0,      0x0178};
    switch (ch) {
    case u'Ğ': return 0xD0;
    case u'İ': return 0xDD;
    case u'Ş': return 0xDE;
    case u'ğ': return 0xF0;
    case u'ı': return 0xFD;
    case u'ş': return 0xFE;
    case 0xD0:
    case 0xDD:
    case 0xDE:
    case 0xF0:
    case 0xFD:
    case 0xFE: return 0; // taken by the Turkish letters
    default: break;
    }
    if (ch >= 0xA0 && ch <= 0xFF)
        return static_cast<unsigned char>(ch);
    for (int i = 0; i < 32; ++i) {
        if (high[i] && high[i] == ch)
            return static_cast<unsigned char>(0x80 + i);
    }
    return 0;
}

void appendNumber(QByteArray &out, int value)
{
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end - digits);
}

void appendHex(QByteArray &out, unsigned char byte)
{
    static const char hex[] = "0123456789abcdef";
    const char escaped[] = {'\\', '\'', hex[byte >> 4], hex[byte & 15]};
    out.append(escaped, 4);
}

// Text as RTF: the three special characters escaped, ASCII as it is, the rest
// as \uN (a signed 16-bit number) and a one-byte fallback for \uc1 readers.
void appendText(QByteArray &out, QStringView text)
{
    for (const QChar qch : text) {
        const char16_t ch = qch.unicode();
        if (ch >= 0x20 && ch < 0x80) {
            if (ch == u'\\' || ch == u'{' || ch == u'}')
                out += '\\';
            out += char(ch);
            continue;
        }
        switch (ch) {
        case u'\t': out += "\\tab "; continue;
        case 0x2028: out += "\\line "; continue; // a line break inside the paragraph
        case 0x00A0: out += "\\~"; continue;     // no-break space
        case 0x00AD: out += "\\-"; continue;     // soft hyphen
        case 0xFFFC: continue;                   // an embedded object: only text is written
        default: break;
        }
        if (ch < 0x20 || ch == 0x7F)
            continue; // other control characters mean nothing in a word processor
        out += "\\u";
        appendNumber(out, int(static_cast<short>(ch)));
        // Some readers lose the text after a plain '?' fallback: the code
        // page's byte is given where it has one.
        if (const unsigned char byte = cp1254(ch))
            appendHex(out, byte);
        else
            out += '?';
    }
}

struct CharState
{
    int font = 0;
    int halfPoints = 0;
    int colour = 0; // 0 is the reader's automatic colour
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

class Writer
{
public:
    explicit Writer(const QTextDocument &document) : m_document(document)
    {
        const QFont font = document.defaultFont();
        const QFontInfo shown(font);
        m_defaultFamily = shown.family();
        const qreal points = font.pointSizeF() > 0 ? font.pointSizeF() : shown.pointSizeF();
        m_defaultHalfPoints = qRound(points * 2);
        fontIndex(m_defaultFamily);
    }

    QByteArray write()
    {
        m_body.reserve(m_document.characterCount() * 11 / 10 + 256);
        const CharState start{0, m_defaultHalfPoints, 0, false, false, false, false};
        m_state = start;
        bool first = true;
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
            if (!first)
                m_body += "\\par\r\n";
            first = false;
            for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                switchTo(stateOf(fragment));
                appendText(m_body, fragment.text());
            }
        }

        QByteArray out;
        out.reserve(m_body.size() + 512);
        out += "{\\rtf1\\ansi\\ansicpg1254\\deff0\\deflang1055{\\fonttbl";
        for (qsizetype i = 0; i < m_fonts.size(); ++i) {
            out += "{\\f";
            appendNumber(out, int(i));
            out += "\\fnil\\fcharset162 ";
            appendText(out, m_fonts[i]);
            out += ";}";
        }
        out += "}\r\n{\\colortbl ;";
        for (const QRgb rgb : std::as_const(m_colours)) {
            out += "\\red";
            appendNumber(out, qRed(rgb));
            out += "\\green";
            appendNumber(out, qGreen(rgb));
            out += "\\blue";
            appendNumber(out, qBlue(rgb));
            out += ';';
        }
        out += "}\r\n\\uc1\\pard\\plain\\f0\\fs";
        appendNumber(out, m_defaultHalfPoints);
        out += ' ';
        out += m_body;
        out += "}\r\n";
        return out;
    }

private:
    int fontIndex(const QString &family)
    {
        const auto found = m_fontIndex.constFind(family);
        if (found != m_fontIndex.cend())
            return *found;
        m_fonts.append(family);
        return m_fontIndex[family] = int(m_fonts.size() - 1);
    }

    // The font the text is drawn with: a reader knows "DejaVu Sans", not an
    // alias like "Sans Serif".
    static QString shownFamily(const QString &family) { return QFontInfo(QFont(family)).family(); }

    int colourIndex(QRgb rgb)
    {
        const auto found = m_colourIndex.constFind(rgb);
        if (found != m_colourIndex.cend())
            return *found;
        m_colours.append(rgb);
        return m_colourIndex[rgb] = int(m_colours.size()); // after the automatic colour
    }

    CharState stateOf(const QTextFragment &fragment)
    {
        // The document keeps each distinct format once, under one index, and a
        // report has a handful of them: each is worked out once.
        const int index = fragment.charFormatIndex();
        const auto known = m_formats.constFind(index);
        if (known != m_formats.cend())
            return *known;
        const QTextCharFormat format = fragment.charFormat();
        CharState state;
        QString family;
        const QStringList families = format.fontFamilies().toStringList();
        if (!families.isEmpty())
            family = families.constFirst();
        else if (format.hasProperty(QTextFormat::FontFamily))
            family = format.stringProperty(QTextFormat::FontFamily);
        state.font = family.isEmpty() ? 0 : fontIndex(shownFamily(family));
        // Pasted text can carry its size in pixels; RTF knows points (96 pixels an inch).
        const qreal points = format.hasProperty(QTextFormat::FontPixelSize)
                                 ? format.intProperty(QTextFormat::FontPixelSize) * 0.75
                                 : format.fontPointSize();
        state.halfPoints = points > 0 ? qRound(points * 2) : m_defaultHalfPoints;
        if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush)
            state.colour = colourIndex(format.foreground().color().rgb());
        state.bold = format.fontWeight() > QFont::Normal;
        state.italic = format.fontItalic();
        state.underline = format.fontUnderline();
        state.strikeOut = format.fontStrikeOut();
        m_formats.insert(index, state);
        return state;
    }

    // Control words for what differs from the current state only.
    void switchTo(const CharState &next)
    {
        const qsizetype before = m_body.size();
        const auto flag = [this](bool now, bool was, const char *on, const char *off) {
            if (now != was)
                m_body += now ? on : off;
        };
        if (next.font != m_state.font) {
            m_body += "\\f";
            appendNumber(m_body, next.font);
        }
        if (next.halfPoints != m_state.halfPoints) {
            m_body += "\\fs";
            appendNumber(m_body, next.halfPoints);
        }
        if (next.colour != m_state.colour) {
            m_body += "\\cf";
            appendNumber(m_body, next.colour);
        }
        flag(next.bold, m_state.bold, "\\b", "\\b0");
        flag(next.italic, m_state.italic, "\\i", "\\i0");
        flag(next.underline, m_state.underline, "\\ul", "\\ulnone");
        flag(next.strikeOut, m_state.strikeOut, "\\strike", "\\strike0");
        if (m_body.size() != before)
            m_body += ' '; // ends the last control word; the reader drops it
        m_state = next;
    }

    const QTextDocument &m_document;
    QString m_defaultFamily;
    int m_defaultHalfPoints = 20;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    QList<QRgb> m_colours;
    QHash<QRgb, int> m_colourIndex;
    QHash<int, CharState> m_formats;
    CharState m_state;
    QByteArray m_body;
};

} // namespace

QByteArray toRtf(const QTextDocument &document)
{
    return Writer(document).write();
}
