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

// The text up to the next tag, with its entities decoded.
QString textUntilTag(QStringView html, qsizetype from)
{
    const qsizetype end = html.indexOf(u'<', from);
    return entityDecoded(html.sliced(from, (end < 0 ? html.size() : end) - from));
}

// The value of one attribute of a tag's text (between '<' and '>').
QString attribute(QStringView tag, QStringView name)
{
    qsizetype at = 0;
    while ((at = tag.indexOf(name, at, Qt::CaseInsensitive)) >= 0) {
        const bool starts = at > 0 && tag.at(at - 1).isSpace();
        qsizetype i = at + name.size();
        at = i;
        while (i < tag.size() && tag.at(i).isSpace())
            ++i;
        if (!starts || i >= tag.size() || tag.at(i) != u'=')
            continue;
        ++i;
        while (i < tag.size() && tag.at(i).isSpace())
            ++i;
        if (i < tag.size() && (tag.at(i) == u'"' || tag.at(i) == u'\'')) {
            const qsizetype close = tag.indexOf(tag.at(i), i + 1);
            if (close < 0)
                return entityDecoded(tag.sliced(i + 1));
            return entityDecoded(tag.sliced(i + 1, close - i - 1));
        }
        qsizetype end = i;
        while (end < tag.size() && !tag.at(end).isSpace())
            ++end;
        return entityDecoded(tag.sliced(i, end - i));
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
        const qsizetype tagEnd = view.indexOf(u'>', nameEnd);
        if (tagEnd < 0)
            break;
        const QStringView tag = view.sliced(nameEnd, tagEnd - nameEnd);
        qsizetype close = view.indexOf(u"</A>"_s, tagEnd, Qt::CaseInsensitive);
        if (close < 0)
            close = view.size();
        Link link;
        link.address = attribute(tag, u"HREF");
        // The title's own markup, if any, is dropped.
        QString title;
        for (qsizetype i = tagEnd + 1; i < close;) {
            if (view.at(i) == u'<') {
                const qsizetype end = view.indexOf(u'>', i);
                i = end < 0 || end > close ? close : end + 1;
                continue;
            }
            title += textUntilTag(view.first(close), i);
            const qsizetype next = view.indexOf(u'<', i);
            i = next < 0 || next > close ? close : next;
        }
        link.title = title;
        at = qMin(view.size(), close + 4);
        qsizetype next = at;
        while (next < view.size() && view.at(next).isSpace())
            ++next;
        if (view.sliced(next).startsWith(u"<DD>"_s, Qt::CaseInsensitive)) {
            // The line end after it is the file's, not the description's.
            const qsizetype end = view.indexOf(u'<', next + 4);
            QStringView notes = view.sliced(next + 4, (end < 0 ? view.size() : end) - next - 4);
            while (!notes.isEmpty() && notes.back().isSpace())
                notes.chop(1);
            link.notes = entityDecoded(notes);
            at = next + 4;
        }
        if (link.address.isEmpty() || link.address.startsWith(u"place:"_s, Qt::CaseInsensitive))
            continue;
        result.links.push_back(std::move(link));
    }
    return result;
}

} // namespace exchange
