#include "core/Analysis.h"

#include "data/Database.h"
#include "exchange/CsvFile.h"

namespace core {

analysis::Register Register::read()
{
    db::Connection connection;
    analysis::Register shown;
    shown.load(connection);
    return shown;
}

QByteArray Register::csv(const analysis::Register &shown)
{
    return exchange::csvBytes(shown.table());
}

std::optional<analysis::YearFigures> Figures::year(int year)
{
    db::Connection connection;
    return analysis::yearFigures(connection, year);
}

std::optional<analysis::CategoryFigures> Figures::categories(int year, int month)
{
    db::Connection connection;
    return analysis::categoryFigures(connection, year, month);
}

analysis::SearchResults Search::find(const QString &text, int most)
{
    db::Connection connection;
    return analysis::search(connection, text, most);
}

} // namespace core
