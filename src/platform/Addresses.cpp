#include "platform/Addresses.h"

#include "platform/Desktop.h"

#include <QRegularExpression>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace addresses {

namespace {

Target refused(const QString &message)
{
    return {QString(), message};
}

bool hasControl(const QString &text)
{
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return true;
    return false;
}

} // namespace

Target mailto(const QString &field)
{
    const QString mail = field.trimmed();
    if (mail.isEmpty())
        return refused(u"Lütfen önce bir e-posta adresi yazın."_s);
    // Characters that end the address part of a mailto: address, or begin
    // further recipients, headers or an encoded character.
    static const QString kNotInPlainAddress = u"?%#,;:<>()[]\\\"/&"_s;
    const qsizetype at = mail.indexOf(u'@');
    bool plain = at > 0 && at < mail.size() - 1 && mail.indexOf(u'@', at + 1) < 0;
    for (qsizetype i = 0; plain && i < mail.size(); ++i)
        plain = !mail[i].isSpace() && !kNotInPlainAddress.contains(mail[i]);
    if (!plain || hasControl(mail))
        return refused(u"Geçerli bir e-posta adresi değil: "_s + mail);
    return {u"mailto:"_s + mail, QString()};
}

Target web(const QString &field)
{
    const QString text = field.trimmed();
    if (text.isEmpty())
        return refused(u"Lütfen önce bir web adresi yazın."_s);
    const Target notWeb = refused(u"Bu adres bir web adresi değil: "_s + text);
    if (hasControl(text))
        return notWeb;
    // A scheme is letters first, then letters, digits, '+', '-' or '.', then a
    // colon; a colon followed only by digits is a host's port ("a.com:8080").
    static const QRegularExpression kScheme(u"^([A-Za-z][A-Za-z0-9+.-]*):(?!\\d+(?:[/?#]|$))"_s);
    const QRegularExpressionMatch scheme = kScheme.match(text);
    QString address = text;
    if (!scheme.hasMatch())
        address.prepend(u"https://"_s);
    else if (scheme.captured(1).compare(u"http"_s, Qt::CaseInsensitive) != 0 &&
             scheme.captured(1).compare(u"https"_s, Qt::CaseInsensitive) != 0)
        return notWeb;
    // Read the way the desktop will read it.
    const QUrl url(address, QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty())
        return notWeb;
    return {address, QString()};
}

void open(const Target &target)
{
    if (target.refusal.isEmpty())
        Desktop::current().open(target.address);
    else
        Desktop::current().applicationBox(target.refusal, Desktop::Icon::Error);
}

} // namespace addresses
