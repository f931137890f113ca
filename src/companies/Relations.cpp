#include "companies/Relations.h"

#include "data/RowListModel.h"

using namespace Qt::StringLiterals;

namespace relations {

QStringList sorted()
{
    QStringList texts{u"Tedarikçi"_s, u"Müşteri"_s, u"Tedarikçi & Müşteri"_s};
    sortTurkish(texts);
    return texts;
}

} // namespace relations
