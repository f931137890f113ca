#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace exchange {

// The fixed-width values an Access file stores in its own binary form.
enum class StoredType { Byte, Integer, LongInteger, Currency, Single, Double, Date };

// The text for a stored value (see Kind in AccessFile.h): numbers in decimal
// with '.', no exponent and no trailing zeros, a currency exactly (it is a
// whole number of ten-thousandths), a float by its shortest exact form, a date
// as "yyyy-MM-ddTHH:mm:ss". Nothing when the bytes are not of the type's size.
std::optional<QString> storedText(StoredType type, QByteArrayView bytes);

} // namespace exchange
