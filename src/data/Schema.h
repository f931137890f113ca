#pragma once

#include "data/Statements.h"

#include <iterator>
#include <span>
#include <string_view>

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

// A column of a table, as every part of the program that reads the table whole
// sees it: the import, the CSV files, the sealing and the trash.
struct Column
{
    const char *name;
    const char16_t *caption = nullptr; // its header in a CSV file; only the tables written to one have them
    bool sealed = false;               // held sealed while a master password is set
};

// A table a step makes and the columns its statements give it, RowId first.
struct Table
{
    const char *name;
    std::span<const Column> columns;
    // The ledger's tables only, which the import brings and the trash takes:
    const char16_t *caption = nullptr;    // what the table holds, for the user
    const char16_t *recordName = nullptr; // one record of it, as the trash lists it
    const char *summary = nullptr;        // the line the trash shows of a record: an expression over its row
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

inline constexpr Column kFirmalarColumns[] = {{"RowId"},
                                              {"FirmaAdi", u"Firma Adı"},
                                              {"FirmaAdresi", u"Adresi"},
                                              {"VergiDairesi", u"Vergi Dairesi"},
                                              {"VergiNumarasi", u"Vergi Numarası"},
                                              {"Telefon", u"Telefon"},
                                              {"Mail", u"Mail"},
                                              {"CalismaTuru", u"Çalışma Türü"},
                                              {"WebAdresi", u"Web"}};
inline constexpr Column kGelirGiderColumns[] = {{"RowId"},
                                                {"IslemTuru", u"Hareket Türü"},
                                                {"Gun", u"Gün"},
                                                {"Ay", u"Ay"},
                                                {"Yil", u"Yıl"},
                                                {"IslemKaynagi", u"İşlem Kaynağı"},
                                                {"IslemTutari", u"İşlem Tutarı"},
                                                {"TutarBirimi", u"Tutar Birimi"},
                                                {"GecerliKur", u"Geçerli Kur"},
                                                {"KdvOrani", u"KDV Oran %"},
                                                {"IslemCesidi", u"İşlem Türü"},
                                                {"IslemIcerigi", u"İşlem İçeriği"},
                                                {"IslemNotu", u"İşlem Notu"},
                                                {"FaturaNo", u"Fatura No"}};
inline constexpr Column kGGKategoriColumns[] = {{"RowId"}, {"IslemTuru"}, {"KalemAdi"}};
inline constexpr Column kLinklerColumns[] = {{"RowId"}, {"Baslik"}, {"Link"}, {"Notlar"}};
// Everything but the place: the list of memberships shows it while the rest stays locked.
inline constexpr Column kParolalarColumns[] = {{"RowId"},
                                               {"UyelikYeri"},
                                               {"KullaniciAdi", nullptr, true},
                                               {"Parola", nullptr, true},
                                               {"Mail", nullptr, true},
                                               {"Web", nullptr, true},
                                               {"Notlar", nullptr, true}};
inline constexpr Column kKisilerColumns[] = {{"RowId"},  {"AdSoyad"},  {"CepTelefonu"}, {"EvTelefonu"}, {"IsTelefonu"},
                                             {"Meslek"}, {"Memleket"}, {"Tahsil"},      {"KanGurubu"},  {"Akrabalik"},
                                             {"Eposta"}, {"Web"},      {"Hakkinda"}};
// In the order the import brings them and reports on them.
inline constexpr Table kLedgerTables[] = {
    {"Firmalar", kFirmalarColumns, u"Firmalar", u"Firma", "coalesce(FirmaAdi, '')"},
    // "12.3.2025 Gelir 1250.00 Lira — Şahin Gıda"
    {"GelirGider", kGelirGiderColumns, u"Gelir/Gider hareketleri", u"Gelir/Gider Hareketi",
     "coalesce(Gun, '') || '.' || coalesce(Ay, '') || '.' || coalesce(Yil, '') || ' ' || coalesce(IslemTuru, '') || ' "
     "' || "
     "coalesce(IslemTutari, '') || ' ' || coalesce(TutarBirimi, '') || ' — ' || coalesce(IslemKaynagi, '')"},
    {"GGKategori", kGGKategoriColumns, u"Gelir/Gider türleri", u"Gelir/Gider Türü",
     "coalesce(IslemTuru, '') || ': ' || coalesce(KalemAdi, '')"},
    {"Linkler", kLinklerColumns, u"Kayıtlı linkler", u"Link", "coalesce(Baslik, '')"},
    // The place only: user name and password stay inside the record.
    {"Parolalar", kParolalarColumns, u"Üyelikler ve parolalar", u"Üyelik", "coalesce(UyelikYeri, '')"},
    {"Kisiler", kKisilerColumns, u"Kişiler", u"Kişi", "coalesce(AdSoyad, '')"}};
inline constexpr const Table &kFirmalar = kLedgerTables[0];
inline constexpr const Table &kGelirGider = kLedgerTables[1];
inline constexpr const Table &kGGKategori = kLedgerTables[2];
inline constexpr const Table &kLinkler = kLedgerTables[3];
inline constexpr const Table &kParolalar = kLedgerTables[4];
inline constexpr const Table &kKisiler = kLedgerTables[5];

inline constexpr Column kTrashColumns[] = {{"RowId"},  {"Kind"},    {"OriginalRowId"},
                                           {"Record"}, {"Summary"}, {"DeletedAt"}};
inline constexpr Table kTrashTables[] = {{"Trash", kTrashColumns}};

inline constexpr Column kMasterPasswordColumns[] = {{"RowId"}, {"KeyParameters"}, {"CheckValue"}};
inline constexpr Table kMasterPasswordTables[] = {{"MasterPassword", kMasterPasswordColumns}};

// Recurring entries: a template holds every field of an entry and its rule; each occurrence the
// user recorded or skipped is a row of its own, one per template and date.
inline constexpr Column kRecurringEntriesColumns[] = {
    {"RowId"},    {"Kind"},      {"Source"},  {"Amount"}, {"Currency"},   {"Rate"},  {"VatRate"},
    {"Category"}, {"Invoice"},   {"Content"}, {"Note"},   {"Unit"},       {"Every"}, {"Day"},
    {"Month"},    {"StartDate"}, {"EndDate"}, {"Times"},  {"DoneThrough"}};
inline constexpr Column kRecurringOccurrencesColumns[] = {{"RowId"}, {"TemplateId"}, {"OccurrenceDate"}, {"Outcome"}};
inline constexpr Table kRecurringTables[] = {
    // "Gider 12500.00 Lira — Çınar Yapı (Kira)"
    {"RecurringEntries", kRecurringEntriesColumns, u"Tekrarlayan hareketler", u"Tekrarlayan Hareket",
     "coalesce(Kind, '') || ' ' || coalesce(Amount, '') || ' ' || coalesce(Currency, '') || ' — ' || "
     "coalesce(Source, '') || ' (' || coalesce(Category, '') || ')'"},
    {"RecurringOccurrences", kRecurringOccurrencesColumns}};
inline constexpr const Table &kRecurringEntries = kRecurringTables[0];

inline constexpr Column kInvoicesColumns[] = {{"RowId"}, {"Uuid"}, {"EntryRowId"}, {"InvoiceNumber"}};
inline constexpr Column kInvoiceCategoriesColumns[] = {{"RowId"}, {"TaxNumber"}, {"Kind"}, {"Category"}};
inline constexpr Column kInvoiceSettingsColumns[] = {{"RowId"}, {"OwnTaxNumber"}};
inline constexpr Table kInvoiceTables[] = {{"Invoices", kInvoicesColumns},
                                           {"InvoiceCategories", kInvoiceCategoriesColumns},
                                           {"InvoiceSettings", kInvoiceSettingsColumns}};

inline constexpr Column kExchangeRatesColumns[] = {{"RowId"},          {"BulletinDay"},  {"Currency"},
                                                   {"ForexBuying"},    {"ForexSelling"}, {"BanknoteBuying"},
                                                   {"BanknoteSelling"}};
inline constexpr Column kExchangeRateDaysColumns[] = {{"RowId"}, {"Day"}, {"BulletinDay"}};
inline constexpr Table kExchangeRateTables[] = {{"ExchangeRates", kExchangeRatesColumns},
                                                {"ExchangeRateDays", kExchangeRateDaysColumns}};

// The table called `name` whose deleted records the trash keeps: the ledger's six and the
// recurring entries' templates; nothing for another.
constexpr const Table *ledgerTable(std::string_view name)
{
    for (const Table &table : kLedgerTables)
        if (name == table.name)
            return &table;
    return name == kRecurringEntries.name ? &kRecurringEntries : nullptr;
}

inline constexpr Step kSteps[] = {
    // The six tables of the ledger and the indexes its lists need. Files made
    // before versions were kept have these tables and version 0.
    {1, sql::kSchema, kLedgerTables},
    // The trash: every delete keeps a copy of its row there.
    {2, sql::kTrashSchema, kTrashTables},
    // The master password's settings (memberships are sealed while it is set), and the
    // index the list of places is read from.
    {3, sql::kMasterPasswordSchema, kMasterPasswordTables},
    // Recurring entries: the templates and the occurrences recorded or skipped.
    {4, sql::kRecurringSchema, kRecurringTables},
    // e-Fatura: the invoices recorded, the category chosen per company, our own tax number.
    {5, sql::kInvoiceSchema, kInvoiceTables},
    // The central bank's bulletins, kept once fetched.
    {6, sql::kExchangeRatesSchema, kExchangeRateTables},
};

inline constexpr int kCurrentVersion = std::size(kSteps);

} // namespace schema
