#pragma once

#include "data/Statements.h"

#include <iterator>
#include <span>

// The versions of Norva.db's layout. The file keeps its version in
// PRAGMA user_version; at start every step above it runs, each in a
// transaction of its own that also writes the step's version. A step that has
// shipped never changes: a new table or column is a new step at the end.
//
// Every step can run again on a file that has it already: its statements make
// only what is missing ("IF NOT EXISTS"), and a column it adds is added only
// where it is not there. A table another program dropped is made again by
// running, from the first step on, every step again: it comes back in the
// current layout, its indexes with it.
namespace schema {

// A table a step makes and the columns its statements give it.
struct Table
{
    const char *name;
    std::span<const char *const> columns;
};

// A column a step adds to a table an earlier step made. The definition's
// default fills the rows already there.
struct AddedColumn
{
    const char *table;
    const char *name;
    const char *definition; // e.g. "TEXT NOT NULL DEFAULT ''"
};

struct Step
{
    int version;
    const char *statements;             // one or more, separated by ';'; run after `added`
    std::span<const Table> tables = {}; // the tables `statements` make: what the damage check expects
    std::span<const AddedColumn> added = {};
};

inline constexpr const char *kFirmalarColumns[] = {
    "RowId", "FirmaAdi", "FirmaAdresi", "VergiDairesi", "VergiNumarasi", "Telefon", "Mail", "CalismaTuru", "WebAdresi"};
inline constexpr const char *kGelirGiderColumns[] = {
    "RowId",       "IslemTuru",  "Gun",      "Ay",          "Yil",          "IslemKaynagi", "IslemTutari",
    "TutarBirimi", "GecerliKur", "KdvOrani", "IslemCesidi", "IslemIcerigi", "IslemNotu",    "FaturaNo"};
inline constexpr const char *kGGKategoriColumns[] = {"RowId", "IslemTuru", "KalemAdi"};
inline constexpr const char *kKisilerColumns[] = {"RowId",  "AdSoyad",  "CepTelefonu", "EvTelefonu", "IsTelefonu",
                                                  "Meslek", "Memleket", "Tahsil",      "KanGurubu",  "Akrabalik",
                                                  "Eposta", "Web",      "Hakkinda"};
inline constexpr const char *kLinklerColumns[] = {"RowId", "Baslik", "Link", "Notlar"};
inline constexpr const char *kParolalarColumns[] = {"RowId", "UyelikYeri", "KullaniciAdi", "Parola",
                                                    "Mail",  "Web",        "Notlar"};
inline constexpr Table kLedgerTables[] = {{"Firmalar", kFirmalarColumns},     {"GelirGider", kGelirGiderColumns},
                                          {"GGKategori", kGGKategoriColumns}, {"Kisiler", kKisilerColumns},
                                          {"Linkler", kLinklerColumns},       {"Parolalar", kParolalarColumns}};

inline constexpr const char *kTrashColumns[] = {"RowId", "Kind", "OriginalRowId", "Record", "Summary", "DeletedAt"};
inline constexpr Table kTrashTables[] = {{"Trash", kTrashColumns}};

inline constexpr const char *kMasterPasswordColumns[] = {"RowId", "KeyParameters", "CheckValue"};
inline constexpr Table kMasterPasswordTables[] = {{"MasterPassword", kMasterPasswordColumns}};

inline constexpr Step kSteps[] = {
    // The six tables of the ledger and the indexes its lists need. Files made
    // before versions were kept have these tables and version 0.
    {1, sql::kSchema, kLedgerTables},
    // The trash: every delete keeps a copy of its row there.
    {2, sql::kTrashSchema, kTrashTables},
    // The master password's settings (memberships are sealed while it is set), and the
    // index the list of places is read from.
    {3, sql::kMasterPasswordSchema, kMasterPasswordTables},
};

inline constexpr int kCurrentVersion = std::size(kSteps);

} // namespace schema
