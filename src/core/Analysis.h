#pragma once

#include "analysis/Figures.h"
#include "analysis/Register.h"
#include "analysis/Search.h"

#include <QByteArray>
#include <QString>

#include <optional>

// What the register, the charts and the search read, through src/analysis.
namespace core {

// The register ("Hesap Dökümü"): every entry with its lira value and the running balance.
class Register
{
public:
    analysis::Register read(); // throws db::Error
    // What `shown` shows, as a CSV file in the program's form.
    static QByteArray csv(const analysis::Register &shown);
};

// The sums the charts draw ("Grafikler").
class Figures
{
public:
    // Nothing when an amount of the period cannot be read. Both throw db::Error.
    std::optional<analysis::YearFigures> year(int year);
    std::optional<analysis::CategoryFigures> categories(int year, int month); // month 0: the whole year
};

// One text looked for in every kind of record ("Ara"). Runs on any thread: its own connection.
class Search
{
public:
    analysis::SearchResults find(const QString &text, int most = 200); // throws db::Error
};

} // namespace core
