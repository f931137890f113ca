#include "exchange/Bookmarks.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace exchange {

namespace {

constexpr QStringView kDocType = u"<!DOCTYPE NETSCAPE-Bookmark-file-1>";

QString htmlEscaped(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'&': out += u"&amp;"_s; break;
        case u'<': out += u"&lt;"_s; break;
        case u'>': out += u"&gt;"_s; break;
        case u'"': out += u"&quot;"_s; break;
        // Line breaks as characters, so each bookmark stays on its line.
        case u'\n': out += u"&#10;"_s; break;
        case u'\r': out += u"&#13;"_s; break;
        default: out += c;
        }
    }
    return out;
}

QString entityDecoded(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const qsizetype end = c == u'&' ? text.indexOf(u';', i + 1) : -1;
        if (end < 0 || end - i > 10) {
            out += c;
            continue;
        }
        const QStringView name = text.sliced(i + 1, end - i - 1);
        char32_t code = 0;
        if (name.startsWith(u'#')) {
            bool ok = false;
            const bool hex = name.size() > 1 && (name.at(1) == u'x' || name.at(1) == u'X');
            code = hex ? name.sliced(2).toUInt(&ok, 16) : name.sliced(1).toUInt(&ok, 10);
            if (!ok || code == 0 || code > 0x10FFFF)
                code = 0;
        } else if (name == u"amp") {
            code = u'&';
        } else if (name == u"lt") {
            code = u'<';
        } else if (name == u"gt") {
            code = u'>';
        } else if (name == u"quot") {
            code = u'"';
        } else if (name == u"apos") {
            code = u'\'';
        } else if (name == u"nbsp") {
            code = 0xA0;
        }
        if (code == 0) {
            out += c;
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i = end;
    }
    return out;
}

// Where the tag opened by the '<' at `from` ends: at its '>', a quoted
// attribute value taken whole whatever it holds. -1 when no '>' follows.
qsizetype tagEnd(QStringView html, qsizetype from)
{
    QChar quote;
    bool valueNext = false; // after an '=': a quote here opens a value
    for (qsizetype i = from + 1; i < html.size(); ++i) {
        const QChar c = html.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'>') {
            return i;
        } else if (valueNext && (c == u'"' || c == u'\'')) {
            quote = c;
        }
        if (!c.isSpace())
            valueNext = quote.isNull() && c == u'=';
    }
    // A quote that never closes: the first '>' ends the tag after all.
    return html.indexOf(u'>', from);
}

// The text of a piece of HTML: its tags dropped, its entities decoded.
QString htmlText(QStringView html)
{
    // A '<' before anything but a letter, '/' or '!' is text, as in "1 < 2".
    const auto opensTag = [html](qsizetype i) {
        const QChar next = i + 1 < html.size() ? html.at(i + 1) : QChar();
        return html.at(i) == u'<' && (next.isLetter() || next == u'/' || next == u'!');
    };
    QString text;
    for (qsizetype i = 0; i < html.size();) {
        if (opensTag(i)) {
            const qsizetype end = tagEnd(html, i);
            i = end < 0 ? html.size() : end + 1;
            continue;
        }
        qsizetype next = i + 1;
        while (next < html.size() && !opensTag(next))
            ++next;
        text += entityDecoded(html.sliced(i, next - i));
        i = next;
    }
    return text;
}

// Where a description that starts at `from` ends: at the tag of the next
// bookmark, folder or separator (<DT>, <DD>, <DL>, </DL>, <HR>), or the end.
qsizetype descriptionEnd(QStringView html, qsizetype from)
{
    for (qsizetype i = html.indexOf(u'<', from); i >= 0; i = html.indexOf(u'<', i + 1)) {
        QStringView name = html.sliced(i + 1);
        if (name.startsWith(u'/'))
            name = name.sliced(1);
        for (QStringView ends : {u"DT", u"DD", u"DL", u"HR"}) {
            if (name.startsWith(ends, Qt::CaseInsensitive) &&
                (name.size() == 2 || name.at(2) == u'>' || name.at(2) == u'/' || name.at(2).isSpace()))
                return i;
        }
    }
    return html.size();
}

// The value of one attribute of a tag's text (between its name and '>'). The
// attributes are read in turn, so a name inside another one's value is no
// attribute, and a quoted value ends only at its closing quote.
QString attribute(QStringView tag, QStringView name)
{
    const qsizetype n = tag.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && (tag.at(i).isSpace() || tag.at(i) == u'/'))
            ++i;
        const qsizetype nameStart = i;
        while (i < n && !tag.at(i).isSpace() && tag.at(i) != u'=' && tag.at(i) != u'/')
            ++i;
        const QStringView found = tag.sliced(nameStart, i - nameStart);
        while (i < n && tag.at(i).isSpace())
            ++i;
        QStringView value;
        if (i < n && tag.at(i) == u'=') {
            ++i;
            while (i < n && tag.at(i).isSpace())
                ++i;
            if (i < n && (tag.at(i) == u'"' || tag.at(i) == u'\'')) {
                const qsizetype open = i + 1;
                qsizetype close = tag.indexOf(tag.at(i), open);
                if (close < 0)
                    close = n;
                value = tag.sliced(open, close - open);
                i = close + 1;
            } else {
                const qsizetype start = i;
                while (i < n && !tag.at(i).isSpace())
                    ++i;
                value = tag.sliced(start, i - start);
            }
        }
        if (!found.isEmpty() && found.compare(name, Qt::CaseInsensitive) == 0)
            return entityDecoded(value);
    }
    return {};
}

} // namespace

QByteArray bookmarksHtml(const std::vector<Link> &links, qint64 addDate)
{
    QString out = kDocType.toString() + u"\n"_s
                                        u"<!-- This is an automatically generated file.\n"
                                        u"     It will be read and overwritten.\n"
                                        u"     DO NOT EDIT! -->\n"
                                        u"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
                                        u"<TITLE>Yer İmleri</TITLE>\n"
                                        u"<H1>Yer İmleri</H1>\n"
                                        u"<DL><p>\n"_s;
    const QString date = QString::number(addDate);
    for (const Link &link : links) {
        out += u"    <DT><A HREF=\"%1\" ADD_DATE=\"%2\">%3</A>\n"_s.arg(htmlEscaped(link.address), date,
                                                                        htmlEscaped(link.title));
        if (!link.notes.isEmpty())
            out += u"    <DD>"_s + htmlEscaped(link.notes) + u'\n';
    }
    out += u"</DL><p>\n"_s;
    return out.toUtf8();
}

BookmarksRead readBookmarks(QByteArrayView bytes)
{
    BookmarksRead result;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString html = decoder(bytes);
    if (decoder.hasError() || !QStringView(html).trimmed().startsWith(kDocType, Qt::CaseInsensitive)) {
        result.error = u"Bu dosya bir yer imi dosyası değil. Tarayıcınızın yer imlerini HTML olarak dışa "
                       u"aktardığı dosyayı seçin."_s;
        return result;
    }

    // Tags are found by their names alone: <A ...>title</A>, perhaps followed
    // by <DD>description. Folders (<H3>, <DL>) only nest them.
    const QStringView view(html);
    qsizetype at = 0;
    while ((at = view.indexOf(u"<A"_s, at, Qt::CaseInsensitive)) >= 0) {
        const qsizetype nameEnd = at + 2;
        if (nameEnd >= view.size() || !view.at(nameEnd).isSpace()) {
            at = nameEnd;
            continue;
        }
        const qsizetype end = tagEnd(view, at);
        if (end < 0)
            break;
        const QStringView tag = view.sliced(nameEnd, end - nameEnd);
        qsizetype close = view.indexOf(u"</A>"_s, end, Qt::CaseInsensitive);
        if (close < 0)
            close = view.size();
        Link link;
        link.address = attribute(tag, u"HREF");
        link.title = htmlText(view.sliced(end + 1, close - end - 1)); // its own markup dropped
        at = qMin(view.size(), close + 4);
        qsizetype next = at;
        while (next < view.size() && view.at(next).isSpace())
            ++next;
        if (view.sliced(next).startsWith(u"<DD>"_s, Qt::CaseInsensitive)) {
            // HTML text up to the next bookmark; the line end before it is the file's.
            const qsizetype from = next + 4;
            at = descriptionEnd(view, from);
            QStringView notes = view.sliced(from, at - from);
            while (!notes.isEmpty() && notes.back().isSpace())
                notes.chop(1);
            link.notes = htmlText(notes);
        }
        if (link.address.isEmpty() || link.address.startsWith(u"place:"_s, Qt::CaseInsensitive))
            continue;
        result.links.push_back(std::move(link));
    }
    return result;
}

} // namespace exchange
