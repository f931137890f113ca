#pragma once

#include <QStringList>

// A company's working relation, stored in Firmalar.CalismaTuru.
namespace relations {
// "Müşteri", "Tedarikçi", "Tedarikçi & Müşteri", in Turkish order.
QStringList sorted();
} // namespace relations
