#include "platform/Addresses.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace addresses {

std::optional<QString> mailto(const QString &mail)
{
    const QString address = u"mailto:"_s + mail;
    if (QUrl(address, QUrl::TolerantMode).scheme().compare(u"mailto"_s, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return address;
}

std::optional<QString> web(const QString &text)
{
    const QString address = text.contains(u"http"_s, Qt::CaseSensitive) ? text : u"https://"_s + text;
    const QString scheme = QUrl(address, QUrl::TolerantMode).scheme().toLower();
    if (scheme != u"http"_s && scheme != u"https"_s)
        return std::nullopt;
    return address;
}

} // namespace addresses
