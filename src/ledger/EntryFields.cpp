#include "ledger/EntryFields.h"

#include "core/Entries.h"
#include "data/Totals.h"
#include "platform/DatabaseErrors.h"
#include "platform/Desktop.h"

#include <QComboBox>

using namespace Qt::StringLiterals;

namespace ledger {

void showRefusal(core::EntryRefusal refusal)
{
    Desktop &desktop = Desktop::current();
    switch (refusal) {
    case core::EntryRefusal::Amount:
        desktop.applicationBox(u"İşlem Tutarı geçerli bir sayı olmalıdır. \r\n"
                               u"Lütfen küsüratlı değerleri .(Nokta) ile ayırın, ,(Virgül Kullanmayın)"_s);
        return;
    case core::EntryRefusal::Rate:
        desktop.applicationBox(u"Geçerli Kur geçerli bir sayı olmalıdır. \r\n"
                               u"Dolar ve Euro için kur 0'dan büyük olmalıdır. Küsüratlı değerleri .(Nokta) ile "
                               u"ayırın (en çok 6 basamak), ,(Virgül Kullanmayın)"_s,
                               Desktop::Icon::Error);
        return;
    case core::EntryRefusal::VatRate:
        desktop.applicationBox(u"KDV Oran % 0 ile 100 arasında bir tam sayı olmalıdır."_s, Desktop::Icon::Error);
        return;
    case core::EntryRefusal::Kind:
        desktop.applicationBox(u"İşlem Türü Gelir veya Gider olmalıdır."_s, Desktop::Icon::Error);
        return;
    case core::EntryRefusal::Source: db::showGone(u"Seçilen İşlem Kaynağı artık kayıtlı değil"_s); return;
    case core::EntryRefusal::Category: db::showGone(u"Seçilen kategori artık kayıtlı değil"_s); return;
    }
}

std::optional<core::Result<core::EntryRefusal>>
writeEntries(const std::function<core::Result<core::EntryRefusal>()> &write)
{
    core::Result<core::EntryRefusal> result;
    try {
        result = write();
    } catch (const db::Error &error) {
        db::showError(error);
        return std::nullopt;
    }
    if (result.isRefused()) {
        showRefusal(result.refusal);
        return std::nullopt;
    }
    return result;
}

void addNumbers(QComboBox *combo, int first, int last)
{
    QStringList texts;
    for (int n = first; n <= last; ++n)
        texts << QString::number(n);
    combo->addItems(texts);
}

void addCurrencies(QComboBox *combo)
{
    combo->addItems({u"Lira"_s, u"Dolar"_s, u"Euro"_s});
}

QString resultText(const Totals &totals)
{
    const WideKurus difference = totals.income - totals.expense;
    return difference > 0 ? u"Toplam KAR: "_s + amountText(difference)
                          : u"Toplam ZARAR: "_s + amountText(totals.expense - totals.income);
}

QString leftOutText(const Totals &totals)
{
    return totals.leftOut == 0 ? QString()
                               : u"%1 hareket kur bilgisi olmadığı için toplama katılmadı."_s.arg(totals.leftOut);
}

} // namespace ledger
