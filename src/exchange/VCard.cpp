#include "exchange/VCard.h"

#include <QList>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include <optional>

using namespace Qt::StringLiterals;

namespace exchange {

namespace {

// The fields a vCard has no property for.
constexpr char kHometown[] = "X-NORVA-HOMETOWN";
constexpr char kEducation[] = "X-NORVA-EDUCATION";
constexpr char kBloodGroup[] = "X-NORVA-BLOOD-GROUP";
constexpr char kRelative[] = "X-NORVA-RELATIVE";

QByteArray escaped(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\\' || c == u',' || c == u';') {
            out += u'\\';
            out += c;
        } else if (c == u'\r') {
            out += u"\\n"_s;
            if (i + 1 < value.size() && value.at(i + 1) == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += u"\\n"_s;
        } else {
            out += c;
        }
    }
    return out.toUtf8();
}

// A content line folded at 75 octets, never inside a UTF-8 character; each
// following part starts with a space.
void appendFolded(QByteArray &out, const QByteArray &line)
{
    qsizetype start = 0;
    qsizetype room = 75;
    while (line.size() - start > room) {
        qsizetype end = start + room;
        while (end > start && (uchar(line.at(end)) & 0xC0) == 0x80)
            --end;
        out += line.mid(start, end - start);
        out += "\r\n ";
        start = end;
        room = 74;
    }
    out += line.mid(start);
    out += "\r\n";
}

void appendProperty(QByteArray &out, const char *name, const QString &value)
{
    if (value.isEmpty())
        return;
    appendFolded(out, QByteArray(name) + ':' + escaped(value));
}

// One content line taken apart.
struct Property
{
    QByteArray name;   // upper case, without a group
    QStringList types; // lower case, from TYPE=a,b and bare parameters
    QByteArray charset;
    bool quotedPrintable = false;
    QByteArray value; // still encoded
};

std::optional<Property> parseLine(const QByteArray &line)
{
    // The name and its parameters end at the first ':' outside quotes.
    qsizetype colon = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == '"')
            quoted = !quoted;
        else if (line.at(i) == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon <= 0)
        return std::nullopt;
    Property p;
    p.value = line.mid(colon + 1);
    const QList<QByteArray> parts = line.left(colon).split(';');
    p.name = parts.first().trimmed().toUpper();
    if (const qsizetype dot = p.name.lastIndexOf('.'); dot >= 0)
        p.name = p.name.mid(dot + 1);
    if (p.name.isEmpty())
        return std::nullopt;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray param = parts.at(i).trimmed();
        const qsizetype equals = param.indexOf('=');
        const QByteArray key = equals < 0 ? QByteArray("TYPE") : param.left(equals).trimmed().toUpper();
        QByteArray val = equals < 0 ? param : param.mid(equals + 1).trimmed();
        if (val.size() >= 2 && val.startsWith('"') && val.endsWith('"'))
            val = val.mid(1, val.size() - 2);
        if (key == "ENCODING" || (equals < 0 && val.toUpper() == "QUOTED-PRINTABLE")) {
            p.quotedPrintable = val.toUpper() == "QUOTED-PRINTABLE";
        } else if (key == "CHARSET") {
            p.charset = val;
        } else if (key == "TYPE") {
            for (const QByteArray &type : val.split(','))
                if (!type.trimmed().isEmpty())
                    p.types.append(QString::fromLatin1(type.trimmed()).toLower());
        }
    }
    return p;
}

QByteArray decodeQuotedPrintable(const QByteArray &in)
{
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in.at(i);
        if (c == '=' && i + 2 < in.size()) {
            bool ok = false;
            const int byte = in.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                out += char(byte);
                i += 2;
                continue;
            }
        }
        if (c == '=' && i == in.size() - 1)
            break; // a soft line break left at the end
        out += c;
    }
    return out;
}

// The value as text, its line breaks as LF.
QString decodeText(const Property &p)
{
    QByteArray raw = p.quotedPrintable ? decodeQuotedPrintable(p.value) : p.value;
    raw.replace("\r\n", "\n");
    if (!p.charset.isEmpty() && p.charset.toUpper() != "UTF-8") {
        QStringDecoder decoder(p.charset.constData());
        if (decoder.isValid())
            return decoder(raw);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(raw);
    // Old phones wrote their own code page without naming it.
    return utf8.hasError() ? QString::fromLatin1(raw) : text;
}

// A value split at the ';'s that are not escaped, each part unescaped.
QStringList components(const QString &value)
{
    QStringList parts(1);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\\' && i + 1 < value.size()) {
            const QChar next = value.at(++i);
            parts.last() += (next == u'n' || next == u'N') ? QChar(u'\n') : next;
        } else if (c == u';') {
            parts.append(QString());
        } else {
            parts.last() += c;
        }
    }
    return parts;
}

QString unescaped(const QString &value)
{
    return components(value).join(u';');
}

// The logical lines of a file: folded lines joined (a line starting with a
// space or a tab goes on the one before, less that character), and a
// quoted-printable value ending in '=' joined with the next line.
QList<QByteArray> unfoldedLines(QByteArrayView bytes)
{
    QList<QByteArray> physical = bytes.toByteArray().split('\n');
    for (QByteArray &line : physical)
        if (line.endsWith('\r'))
            line.chop(1);
    QList<QByteArray> lines;
    for (qsizetype i = 0; i < physical.size(); ++i) {
        const QByteArray &line = physical.at(i);
        if ((line.startsWith(' ') || line.startsWith('\t')) && !lines.isEmpty()) {
            lines.last() += line.mid(1);
            continue;
        }
        lines.append(line);
        QByteArray &current = lines.last();
        const qsizetype colon = current.indexOf(':');
        if (colon < 0 || !current.left(colon).toUpper().contains("QUOTED-PRINTABLE"))
            continue;
        while (current.endsWith('=') && i + 1 < physical.size()) {
            current.chop(1);
            current += physical.at(++i);
        }
    }
    return lines;
}

// The contact of one card's lines; nothing when the card has no name.
std::optional<Contact> readCard(const QList<Property> &properties)
{
    Contact contact;
    QString structuredName;
    QStringList extras;
    const auto place = [&extras](QString &field, const QString &value, const QString &caption) {
        if (value.isEmpty())
            return;
        if (field.isEmpty())
            field = value;
        else
            extras.append(caption + u": "_s + value);
    };
    for (const Property &p : properties) {
        const QString text = decodeText(p);
        const QString value = unescaped(text).trimmed();
        const QByteArray &n = p.name;
        if (n == "FN") {
            place(contact.name, value, u"Ad"_s);
        } else if (n == "N") {
            QStringList parts = components(text);
            parts.resize(5);
            // Prefix, given names, additional names, family name, suffix.
            structuredName = QStringList{parts.at(3), parts.at(1), parts.at(2), parts.at(0), parts.at(4)}
                                 .filter(QRegularExpression(u"\\S"_s))
                                 .join(u' ')
                                 .simplified();
        } else if (n == "TEL") {
            QString number = value;
            if (number.startsWith(u"tel:"_s, Qt::CaseInsensitive))
                number = number.mid(4);
            if (p.types.contains(u"cell"_s))
                place(contact.mobile, number, u"Cep"_s);
            else if (p.types.contains(u"home"_s))
                place(contact.homePhone, number, u"Ev Telefonu"_s);
            else if (p.types.contains(u"work"_s))
                place(contact.workPhone, number, u"İş Telefonu"_s);
            else
                place(contact.mobile, number, u"Telefon"_s);
        } else if (n == "EMAIL") {
            place(contact.mail, value, u"E-Posta"_s);
        } else if (n == "URL") {
            place(contact.web, value, u"Web"_s);
        } else if (n == "TITLE") {
            place(contact.occupation, value, u"Ünvan"_s);
        } else if (n == "NOTE") {
            place(contact.about, unescaped(text), u"Not"_s);
        } else if (n == kHometown) {
            contact.hometown = value;
        } else if (n == kEducation) {
            contact.education = value;
        } else if (n == kBloodGroup) {
            contact.bloodGroup = value;
        } else if (n == kRelative) {
            contact.relative = value;
        } else if (n == "ORG") {
            extras.append(u"Kurum: "_s + components(text).filter(QRegularExpression(u"\\S"_s)).join(u", "_s));
        } else if (n == "ADR") {
            extras.append(u"Adres: "_s + components(text).filter(QRegularExpression(u"\\S"_s)).join(u", "_s));
        } else if (n == "BDAY") {
            extras.append(u"Doğum Günü: "_s + value);
        } else if (n == "ANNIVERSARY") {
            extras.append(u"Yıldönümü: "_s + value);
        } else if (n == "NICKNAME") {
            extras.append(u"Takma Ad: "_s + value);
        } else if (n == "ROLE") {
            extras.append(u"Görev: "_s + value);
        }
        // The rest (VERSION, UID, REV, PHOTO, other programs' X- properties)
        // is about the card, not the person.
    }
    if (contact.name.isEmpty())
        contact.name = structuredName;
    if (contact.name.isEmpty())
        return std::nullopt;
    extras.removeIf([](const QString &line) { return line.endsWith(u": "_s); });
    if (!extras.isEmpty()) {
        if (!contact.about.isEmpty())
            extras.prepend(contact.about);
        contact.about = extras.join(u'\n');
    }
    return contact;
}

} // namespace

QByteArray vcardBytes(const std::vector<Contact> &contacts)
{
    QByteArray out;
    for (const Contact &c : contacts) {
        out += "BEGIN:VCARD\r\nVERSION:4.0\r\n";
        appendFolded(out, "FN:" + escaped(c.name));
        appendProperty(out, "TEL;TYPE=cell", c.mobile);
        appendProperty(out, "TEL;TYPE=home", c.homePhone);
        appendProperty(out, "TEL;TYPE=work", c.workPhone);
        appendProperty(out, "EMAIL", c.mail);
        appendProperty(out, "URL", c.web);
        appendProperty(out, "TITLE", c.occupation);
        appendProperty(out, "NOTE", c.about);
        appendProperty(out, kHometown, c.hometown);
        appendProperty(out, kEducation, c.education);
        appendProperty(out, kBloodGroup, c.bloodGroup);
        appendProperty(out, kRelative, c.relative);
        out += "END:VCARD\r\n";
    }
    return out;
}

VCardRead readVCards(QByteArrayView bytes)
{
    VCardRead result;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    bool sawCard = false;
    bool inCard = false;
    bool broken = false;
    QList<Property> properties;
    for (const QByteArray &raw : unfoldedLines(bytes)) {
        const QByteArray line = raw.trimmed();
        const QByteArray upper = line.toUpper();
        if (upper == "BEGIN:VCARD") {
            if (inCard)
                ++result.skipped; // the card before never ended
            sawCard = inCard = true;
            broken = false;
            properties.clear();
            continue;
        }
        if (!inCard)
            continue;
        if (upper == "END:VCARD") {
            inCard = false;
            std::optional<Contact> contact = broken ? std::nullopt : readCard(properties);
            if (contact)
                result.contacts.push_back(std::move(*contact));
            else
                ++result.skipped;
            continue;
        }
        if (line.isEmpty())
            continue;
        if (std::optional<Property> p = parseLine(line))
            properties.append(std::move(*p));
        else
            broken = true;
    }
    if (inCard)
        ++result.skipped;
    if (!sawCard)
        result.error = u"Bu dosya bir vCard (.vcf) dosyası değil; içinde hiç kişi kartı yok."_s;
    return result;
}

} // namespace exchange
