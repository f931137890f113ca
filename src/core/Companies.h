#pragma once

#include "core/Result.h"
#include "data/CompanyStore.h"

#include <QStringList>

#include <optional>
#include <vector>

namespace core {

// A company's working relation, kept in Firmalar.CalismaTuru as its text.
enum class Relation { Customer, Supplier, SupplierAndCustomer };

// "Müşteri", "Tedarikçi", "Tedarikçi & Müşteri": the exact texts stored and
// compared by the lists, so every writer must store one of them.
QString relationText(Relation relation);
// The relation a stored text names; nothing for any other text.
std::optional<Relation> relationOf(const QString &text);
// The three texts, in Turkish order, for a choice.
QStringList relationTexts();

// Adds, reads, changes and deletes companies, each on a connection of its own.
// Every step throws db::Error.
class Companies
{
public:
    enum class Refusal {
        UnknownRelation, // not one of the three texts: no list would show it
    };

    // Adds a row as given: no field is required, names may repeat.
    Result<Refusal> add(const Company &company);
    // The same on the caller's connection, in its transaction.
    static Result<Refusal> add(db::Connection &connection, const Company &company);
    // The whole row; nothing when it is gone.
    std::optional<Company> find(qint32 rowId);
    // Writes the address, tax office and number, phone, mail and web address;
    // name and relation stay as they are. Changed, writing nothing, when the
    // stored row is no longer `original`, the company as the window showed it.
    Change update(const Company &original, const Company &company);
    Change remove(qint32 rowId); // into the trash

    // The names with their RowIds: all companies, or those of exactly one relation.
    static db::ListQuery list(std::optional<Relation> relation);

    // The companies of those RowIds that are still there, whole, in the order
    // given: the rows of a CSV file written from a list.
    std::vector<Company> rowsOf(const std::vector<qint32> &rowIds);
};

} // namespace core
