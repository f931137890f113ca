#include "data/TextCache.h"

#include <QHashFunctions>

namespace db {

QString Rows::TextCache::get(QByteArrayView bytes)
{
    if (!enabled || bytes.size() > kLongest)
        return QString::fromUtf8(bytes);
    ++lookups;
    if (entries == kMostEntries && hits < lookups / 4) {
        enabled = false; // full of texts that rarely repeat: it only costs
        table.clear();
        table.shrink_to_fit();
        return QString::fromUtf8(bytes);
    }
    for (size_t i = qHashBits(bytes.data(), size_t(bytes.size())) & (kSlots - 1);; i = (i + 1) & (kSlots - 1)) {
        Slot &slot = table[i];
        if (slot.utf8.isNull()) {
            QString text = QString::fromUtf8(bytes);
            if (entries < kMostEntries) {
                // Never null, even for an empty text, so the slot reads as taken.
                slot.utf8 = bytes.isEmpty() ? QByteArray("", 0) : bytes.toByteArray();
                slot.text = text;
                ++entries;
            }
            return text;
        }
        if (QByteArrayView(slot.utf8) == bytes) {
            ++hits;
            return slot.text;
        }
    }
}

} // namespace db
