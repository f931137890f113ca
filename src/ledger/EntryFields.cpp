#include "ledger/EntryFields.h"

#include "data/Database.h"
#include "data/Statements.h"
#include "platform/Desktop.h"

#include <QComboBox>

using namespace Qt::StringLiterals;

namespace ledger {

std::optional<double> parseAmount(const QString &text)
{
    const auto value = db::decimalValue(text.trimmed().toUtf8());
    if (!value || *value == 0.0)
        return std::nullopt;
    return value;
}

void showAmountMessage()
{
    Desktop::current().applicationBox(u"İşlem Tutarı geçerli bir sayı olmalıdır. \r\n"
                                      u"Lütfen küsüratlı değerleri .(Nokta) ile ayırın, ,(Virgül Kullanmayın)"_s);
}

} // namespace ledger

namespace ledger {

const char *categoryStatement(const QString &kind)
{
    return kind == gelir() ? sql::kKategoriGelir : sql::kKategoriGider;
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
