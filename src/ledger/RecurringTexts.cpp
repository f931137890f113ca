#include "ledger/RecurringTexts.h"

#include "core/RecurringEntries.h"
#include "platform/Desktop.h"

using namespace Qt::StringLiterals;

namespace recurring {

QStringList monthNames()
{
    return {u"Ocak"_s,   u"Şubat"_s,   u"Mart"_s,  u"Nisan"_s, u"Mayıs"_s, u"Haziran"_s,
            u"Temmuz"_s, u"Ağustos"_s, u"Eylül"_s, u"Ekim"_s,  u"Kasım"_s, u"Aralık"_s};
}

QStringList weekdayNames()
{
    return {u"Pazartesi"_s, u"Salı"_s, u"Çarşamba"_s, u"Perşembe"_s, u"Cuma"_s, u"Cumartesi"_s, u"Pazar"_s};
}

QString dateText(const QDate &day)
{
    return day.toString(u"dd.MM.yyyy"_s);
}

QString ruleText(const Recurrence &rule)
{
    QString text;
    switch (rule.unit) {
    case Recurrence::Unit::Months:
        text = (rule.every == 1 ? u"Her ay"_s : u"%1 ayda bir"_s.arg(rule.every)) + u", ayın %1. günü"_s.arg(rule.day);
        break;
    case Recurrence::Unit::Weeks:
        text = (rule.every == 1 ? u"Her hafta "_s : u"%1 haftada bir "_s.arg(rule.every)) +
               weekdayNames().value(rule.day - 1);
        break;
    case Recurrence::Unit::Years:
        text = (rule.every == 1 ? u"Her yıl "_s : u"%1 yılda bir "_s.arg(rule.every)) +
               u"%1 %2"_s.arg(rule.day).arg(monthNames().value(rule.month - 1));
        break;
    }
    if (rule.end.isValid())
        text += u"; %1 tarihine kadar"_s.arg(dateText(rule.end));
    if (rule.times > 0)
        text += u"; %1 kez"_s.arg(rule.times);
    return text;
}

QString problemText(core::EntryRefusal problem)
{
    return problem == core::EntryRefusal::Source
               ? u"İşlem Kaynağı artık kayıtlı değil: Düzelt ile başka bir firma seçin."_s
               : u"Kategori artık kayıtlı değil: Düzelt ile başka bir kategori seçin."_s;
}

void showRefusal(core::RuleRefusal refusal)
{
    static const char16_t *const kTexts[] = {
        u"Tekrar sıklığı 1 ile 99 arasında olmalıdır.",
        u"Gün, ayın 1 ile 31 arasındaki bir günü ya da haftanın bir günü olmalıdır.",
        u"Bir ay seçilmelidir.",
        u"Başlangıç tarihi seçilmelidir.",
        u"Bitiş tarihi başlangıç tarihinden önce olamaz.",
        u"Tekrar sayısı 1 veya daha büyük olmalıdır.",
    };
    Desktop::current().applicationBox(QString::fromUtf16(kTexts[int(refusal)]), Desktop::Icon::Error);
}

} // namespace recurring
