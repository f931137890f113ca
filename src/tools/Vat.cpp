#include "tools/Vat.h"

#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace vat {

double parseNumber(const QString &text)
{
    // strtod alone would follow the process's locale (a Turkish desktop reads
    // "12.5" as 12); the C locale keeps '.' the separator everywhere.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    const QByteArray bytes = text.toUtf8();
    return strtod_l(bytes.constData(), nullptr, cLocale);
}

Result compute(Mode mode, double amount, double ratePercent)
{
    if (mode == Mode::AddVat) {
        const double vat = amount * ratePercent / 100.0;
        return {vat, amount + vat};
    }
    const double net = amount / (ratePercent / 100.0 + 1.0);
    return {amount - net, net};
}

QString formatTl(double value)
{
    return QString::asprintf("%.2f TL", value);
}

} // namespace vat
