#pragma once

#include <QString>

// The fixed texts the file keeps and every writer compares exactly: the kind of
// an entry or a category (IslemTuru) and the working relation of a company
// (CalismaTuru).
namespace ledger {

inline QString income()
{
    using namespace Qt::StringLiterals;
    return u"Gelir"_s;
}
inline QString expense()
{
    using namespace Qt::StringLiterals;
    return u"Gider"_s;
}
inline bool isKind(const QString &kind)
{
    return kind == income() || kind == expense();
}

} // namespace ledger

namespace relation {

inline QString customer()
{
    using namespace Qt::StringLiterals;
    return u"Müşteri"_s;
}
inline QString supplier()
{
    using namespace Qt::StringLiterals;
    return u"Tedarikçi"_s;
}
inline QString supplierAndCustomer()
{
    using namespace Qt::StringLiterals;
    return u"Tedarikçi & Müşteri"_s;
}

} // namespace relation
