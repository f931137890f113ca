#include "ledger/EntryFields.h"

#include "platform/Desktop.h"

#include <QComboBox>

using namespace Qt::StringLiterals;

namespace ledger {

namespace {

// Tells the user how an amount must be written.
void showAmountMessage()
{
    Desktop::current().applicationBox(u"İşlem Tutarı geçerli bir sayı olmalıdır. \r\n"
                                      u"Lütfen küsüratlı değerleri .(Nokta) ile ayırın, ,(Virgül Kullanmayın)"_s);
}

} // namespace

std::optional<Kurus> checkEntryNumbers(const QString &amount, const QString &currency, const QString &rate,
                                       const QString &vatRate)
{
    const auto kurus = parseAmount(amount);
    if (!kurus) {
        showAmountMessage();
        return std::nullopt;
    }
    const auto perUnit = parseRate(rate);
    const bool rateFits = isForeign(currency) ? perUnit && *perUnit > 0 : perUnit || rate.trimmed().isEmpty();
    if (!rateFits) {
        Desktop::current().applicationBox(
            u"Geçerli Kur geçerli bir sayı olmalıdır. \r\n"
            u"Dolar ve Euro için kur 0'dan büyük olmalıdır. Küsüratlı değerleri .(Nokta) ile ayırın "
            u"(en çok 6 basamak), ,(Virgül Kullanmayın)"_s,
            Desktop::Icon::Error);
        return std::nullopt;
    }
    if (!isVatRate(vatRate)) {
        Desktop::current().applicationBox(u"KDV Oran % 0 ile 100 arasında bir tam sayı olmalıdır."_s,
                                          Desktop::Icon::Error);
        return std::nullopt;
    }
    return kurus;
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

} // namespace ledger
