#include "platform/DatabaseErrors.h"

#include "platform/Desktop.h"

using namespace Qt::StringLiterals;

namespace db {

QString plainReason(const Error &error)
{
    switch (error.kind) {
    case ErrorKind::Busy:
    case ErrorKind::Locked:
        return u"Veritabanı başka bir program tarafından kullanılıyor (kilitli). O program işini bitirince "
               u"yeniden deneyin."_s;
    case ErrorKind::NotADatabase:
    case ErrorKind::Damaged:
        return u"%1 bir veritabanı dosyası değil ya da bozulmuş; program dosyayı değiştirmedi."_s.arg(fileName());
    case ErrorKind::Full: return u"Diskte yer kalmadı; değişiklik kaydedilemedi."_s;
    case ErrorKind::Denied:
    case ErrorKind::CannotOpen:
        return u"Veritabanına erişilemiyor: dosyaya ya da klasörüne erişim izniniz yok veya dosya yerinde değil."_s;
    case ErrorKind::ReadOnly: return u"Veritabanı dosyası yalnızca okunabilir bir yerde; değişiklikler kaydedilemez."_s;
    case ErrorKind::Other:
    case ErrorKind::Constraint:
    case ErrorKind::InputOutput: break;
    }
    return {};
}

namespace {

// The engine's own text stays in the box; a failure the user can act on leads
// with a Turkish sentence. The box asks for no icon.
void showBox(const Error &error, const QString &engineText)
{
    const QString reason = plainReason(error);
    Desktop::current().applicationBox(reason.isEmpty() ? engineText : reason + u"\n\n"_s + engineText);
}

} // namespace

void showError(const Error &error)
{
    // A value that could not be read has no engine text: its message names the column.
    showBox(error, error.description.isEmpty() ? error.message : error.description);
}

void showConnectionError(const Error &error)
{
    showBox(error, u"OLEDB Bağlantı Hatası:\nHata: %1\nAçıklama: %2"_s.arg(error.message, error.description));
}

void showGone(const QString &what)
{
    Desktop::current().applicationBox(what + u"; başka bir yerden silinmiş olabilir. Liste yenilendi."_s,
                                      Desktop::Icon::Error);
}

} // namespace db
