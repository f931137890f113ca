#pragma once

// Private to the access routine: what Rows keeps per column to decode repeated texts once.
#include "data/Database.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

namespace db {

// Long walks repeat the same short texts (company names, kinds, months): each
// distinct one is decoded once and then shared, saving the decoding and an
// allocation per row. A column whose texts do not repeat stops using it.
struct Rows::TextCache
{
    static constexpr size_t kSlots = 1024; // a power of two
    static constexpr int kMostEntries = int(kSlots) * 3 / 4;
    static constexpr int kLongest = 64; // bytes; longer texts are decoded every time

    struct Slot
    {
        QByteArray utf8;
        QString text;
    };
    std::vector<Slot> table = std::vector<Slot>(kSlots);
    int entries = 0;
    int lookups = 0;
    int hits = 0;
    bool enabled = true;

    QString get(QByteArrayView bytes);
};

} // namespace db
