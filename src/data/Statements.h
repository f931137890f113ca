#pragma once

// Every statement the program sends to the database, character for character.
// Each '?' takes one value, bound by the connection (see db::Value), never
// pasted into the text; fragments are appended to the statement above them
// when their filter is set.
namespace sql {

// The orders of lists shown unsorted (db::ListQuery): as stored, and the entries by period, as the
// period's index gives them, so that both engines walk the index rather than sort (a NULL another
// program left in a file comes first there, as SQLite orders it; a server's columns hold none).
inline constexpr char kStoredOrder[] = "RowId";
inline constexpr char kPeriodOrder[] = "Yil, Ay, RowId";

// Firmalar
inline constexpr char kFirmaEkle[] =
    "INSERT INTO Firmalar (FirmaAdi, FirmaAdresi, VergiDairesi, VergiNumarasi,Telefon,Mail,CalismaTuru,WebAdresi) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?)";
// The bare "WHERE CalismaTuru" lists nothing on SQLite; the item means "list all".
inline constexpr char kFirmaTumu[] = "SELECT FirmaAdi, RowId FROM Firmalar";
inline constexpr char kFirmaMusteri[] = "SELECT FirmaAdi, RowId FROM Firmalar WHERE CalismaTuru = 'Müşteri'";
inline constexpr char kFirmaTedarikci[] = "SELECT FirmaAdi, RowId FROM Firmalar WHERE CalismaTuru = 'Tedarikçi'";
inline constexpr char kFirmaTedarikciMusteri[] =
    "SELECT FirmaAdi, RowId FROM Firmalar WHERE CalismaTuru = 'Tedarikçi & Müşteri'";
inline constexpr char kFirmaDetay[] = "SELECT FirmaAdi, FirmaAdresi, VergiDairesi, VergiNumarasi,Telefon,Mail,"
                                      "CalismaTuru,WebAdresi FROM Firmalar WHERE RowId = ?";
inline constexpr char kFirmaGuncelle[] =
    "UPDATE Firmalar SET FirmaAdresi=?, VergiDairesi=?, VergiNumarasi=?, Telefon=?, Mail=?, WebAdresi=? WHERE RowId=?";
inline constexpr char kFirmaSil[] = "DELETE FROM Firmalar WHERE RowId=?";
inline constexpr char kFirmaGelirKaynaklari[] =
    "SELECT FirmaAdi FROM Firmalar WHERE CalismaTuru IN ('Müşteri', 'Tedarikçi & Müşteri')";
inline constexpr char kFirmaGiderKaynaklari[] =
    "SELECT FirmaAdi FROM Firmalar WHERE CalismaTuru IN ('Tedarikçi', 'Tedarikçi & Müşteri')";
// What the report shows of each company, the first of a name first.
inline constexpr char kFirmaRaporBilgileri[] =
    "SELECT FirmaAdi, FirmaAdresi, VergiDairesi, VergiNumarasi FROM Firmalar "
    "WHERE FirmaAdi IS NOT NULL ORDER BY RowId";

// GelirGider
inline constexpr char kGelirGiderEkle[] =
    "INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, GecerliKur, KdvOrani, "
    "IslemCesidi, IslemIcerigi, IslemNotu,FaturaNo) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
inline constexpr char kHareketListesi[] = "SELECT IslemKaynagi, RowId FROM GelirGider WHERE 1=1";
inline constexpr char kHareketGelir[] = " AND IslemTuru = 'Gelir'";
inline constexpr char kHareketGider[] = " AND IslemTuru = 'Gider'";
inline constexpr char kHareketAy[] = " AND Ay = ?";
inline constexpr char kHareketYil[] = " AND Yil = ?";
inline constexpr char kHareketDetay[] =
    "SELECT IslemTuru, Gun, Ay, Yil,IslemKaynagi,IslemTutari,TutarBirimi,GecerliKur,KdvOrani,IslemCesidi,"
    "IslemIcerigi,IslemNotu,FaturaNo FROM GelirGider WHERE RowId = ?";
// The amount comes as text already written with six decimals ("12.500000"),
// so it never passes through a double.
inline constexpr char kHareketGuncelle[] =
    "UPDATE GelirGider SET IslemTutari=?, GecerliKur=?, KdvOrani=?, IslemIcerigi=?, IslemNotu=?, "
    "TutarBirimi=? , Gun=? , Ay=? , Yil=?  , FaturaNo=? WHERE RowId=?";
inline constexpr char kHareketSil[] = "DELETE FROM GelirGider WHERE RowId=?";
// The totals read each entry's currency and rate with its amount.
inline constexpr char kToplamlar[] = "SELECT IslemTuru, IslemTutari, TutarBirimi, GecerliKur FROM GelirGider WHERE 1=1";
inline constexpr char kToplamAy[] = " AND Ay = ?";
inline constexpr char kToplamYil[] = " AND Yil = ?";
inline constexpr char kRaporHareketleri[] = "SELECT * FROM GelirGider WHERE IslemTuru = ?";
inline constexpr char kRaporAy[] = " AND Ay = ?";
inline constexpr char kRaporYil[] = " AND Yil = ?";
inline constexpr char kRaporSirasi[] = " ORDER BY RowId"; // last: the entries in the order stored

// The register, the charts and the search read whole tables and do the rest in one walk: the
// amounts are text, counted exactly in kuruş, and Turkish case rules are the program's own.
// The register: RowId, then what it keeps of each entry, then the rate.
inline constexpr char kHesapDokumu[] =
    "SELECT RowId, IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemCesidi, IslemIcerigi, FaturaNo, IslemTutari, "
    "TutarBirimi, GecerliKur FROM GelirGider ORDER BY RowId";
// A year's entries by month; and a period's by category (the month appended when one is chosen).
inline constexpr char kYilRakamlari[] =
    "SELECT Ay, IslemTuru, IslemTutari, TutarBirimi, GecerliKur FROM GelirGider WHERE Yil = ?";
inline constexpr char kKategoriRakamlari[] =
    "SELECT IslemCesidi, IslemTuru, IslemTutari, TutarBirimi, GecerliKur FROM GelirGider WHERE Yil = ?";
inline constexpr char kKategoriRakamlariAy[] = " AND Ay = ?";
// What the search looks through: RowId first, then the fields searched, then what a hit shows.
inline constexpr char kAraHareketler[] =
    "SELECT RowId, IslemKaynagi, IslemCesidi, IslemIcerigi, IslemNotu, FaturaNo, IslemTutari, Gun, Ay, Yil, "
    "IslemTuru, TutarBirimi FROM GelirGider";
inline constexpr char kAraFirmalar[] = "SELECT RowId, FirmaAdi, FirmaAdresi, VergiDairesi, VergiNumarasi, Telefon, "
                                       "Mail, WebAdresi FROM Firmalar";
inline constexpr char kAraKisiler[] =
    "SELECT RowId, AdSoyad, CepTelefonu, EvTelefonu, IsTelefonu, Meslek, Memleket, Tahsil, KanGurubu, Akrabalik, "
    "Eposta, Web, Hakkinda FROM Kisiler";
inline constexpr char kAraLinkler[] = "SELECT RowId, Baslik, Link, Notlar FROM Linkler";
// The place only: the rest of a membership may be sealed.
inline constexpr char kAraUyelikler[] = "SELECT RowId, UyelikYeri FROM Parolalar";

// GGKategori
inline constexpr char kKategoriGelir[] = "SELECT KalemAdi,RowId FROM GGKategori WHERE IslemTuru = 'Gelir'";
inline constexpr char kKategoriGider[] = "SELECT KalemAdi,RowId FROM GGKategori WHERE IslemTuru = 'Gider'";
inline constexpr char kKategoriEkle[] = "INSERT INTO GGKategori (IslemTuru, KalemAdi) VALUES (?, ?)";
inline constexpr char kKategoriGelirSil[] = "DELETE FROM GGKategori WHERE RowId=? AND IslemTuru='Gelir'";
inline constexpr char kKategoriGiderSil[] = "DELETE FROM GGKategori WHERE RowId=? AND IslemTuru='Gider'";

// Linkler
inline constexpr char kLinkListesi[] = "SELECT Baslik,RowId FROM Linkler";
inline constexpr char kLinkEkle[] = "INSERT INTO Linkler (Baslik, Link, Notlar) VALUES (?, ?, ?)";
// Every link whole, in the order stored; and one of them.
inline constexpr char kLinkKayitlari[] = "SELECT RowId, Baslik, Link, Notlar FROM Linkler ORDER BY RowId";
inline constexpr char kLinkDetay[] = "SELECT RowId, Baslik, Link, Notlar FROM Linkler WHERE RowId = ?";
inline constexpr char kLinkSil[] = "DELETE FROM Linkler WHERE RowId=? ";

// Parolalar
inline constexpr char kParolaListesi[] = "SELECT UyelikYeri,RowId FROM Parolalar";
inline constexpr char kParolaEkle[] = "INSERT INTO Parolalar (UyelikYeri, KullaniciAdi, Parola, Mail, Web, Notlar) "
                                      "VALUES (?, ?, ?, ?, ?, ?)";
inline constexpr char kParolaDetay[] =
    "SELECT UyelikYeri, KullaniciAdi, Parola, Mail, Web, Notlar FROM Parolalar WHERE RowId = ?";
inline constexpr char kParolaGuncelle[] =
    "UPDATE Parolalar SET UyelikYeri=?, KullaniciAdi=?, Parola=?, Mail=?, Web=?, Notlar=? WHERE RowId=?";
inline constexpr char kParolaSil[] = "DELETE FROM Parolalar WHERE RowId=? ";

// Kisiler
inline constexpr char kKisiListesi[] = "SELECT AdSoyad,RowId FROM Kisiler";
inline constexpr char kKisiEkle[] =
    "INSERT INTO Kisiler (AdSoyad, CepTelefonu, EvTelefonu, IsTelefonu, Meslek, Memleket, Tahsil, KanGurubu, "
    "Akrabalik, Eposta, Web, Hakkinda) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
// Every contact whole, in the order stored; and one of them.
inline constexpr char kKisiKayitlari[] =
    "SELECT RowId, AdSoyad, CepTelefonu, EvTelefonu, IsTelefonu, Meslek, Memleket, Tahsil, KanGurubu, Akrabalik, "
    "Eposta, Web, Hakkinda FROM Kisiler ORDER BY RowId";
inline constexpr char kKisiDetay[] =
    "SELECT RowId, AdSoyad, CepTelefonu, EvTelefonu, IsTelefonu, Meslek, Memleket, Tahsil, KanGurubu, Akrabalik, "
    "Eposta, Web, Hakkinda FROM Kisiler WHERE RowId = ?";
inline constexpr char kKisiSil[] = "DELETE FROM Kisiler WHERE RowId=? ";

// The master password: how its key is derived and a value that tells it is the right one.
// Sealed memberships are several times longer: the list of places is read from an index of
// its own, in the order stored, rather than from the whole rows.
inline constexpr char kMasterPasswordSchema[] =
    "CREATE TABLE IF NOT EXISTS MasterPassword (RowId INTEGER PRIMARY KEY CHECK (RowId = 1), "
    "KeyParameters TEXT NOT NULL, CheckValue TEXT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS ParolalarYerleri ON Parolalar (RowId, UyelikYeri)";
inline constexpr char kMasterPassword[] = "SELECT KeyParameters, CheckValue FROM MasterPassword WHERE RowId = 1";
inline constexpr char kMasterPasswordSet[] =
    "INSERT INTO MasterPassword (RowId, KeyParameters, CheckValue) VALUES (1, ?, ?) ON CONFLICT (RowId) DO UPDATE "
    "SET KeyParameters = excluded.KeyParameters, CheckValue = excluded.CheckValue";
inline constexpr char kMasterPasswordRemove[] = "DELETE FROM MasterPassword";
// Every membership's sealed columns, and the memberships waiting in the trash.
inline constexpr char kSealedMemberships[] =
    "SELECT RowId, coalesce(UyelikYeri, '') AS UyelikYeri, coalesce(KullaniciAdi, '') AS KullaniciAdi, "
    "coalesce(Parola, '') AS Parola, coalesce(Mail, '') AS Mail, coalesce(Web, '') AS Web, coalesce(Notlar, '') AS "
    "Notlar "
    "FROM Parolalar";
inline constexpr char kTrashedMemberships[] = "SELECT RowId, Record FROM Trash WHERE Kind = 'Parolalar'";
inline constexpr char kTrashedMembershipUpdate[] = "UPDATE Trash SET Record = ? WHERE RowId = ?";

inline constexpr char kTrashList[] =
    "SELECT RowId, Kind, Summary, DeletedAt FROM Trash ORDER BY DeletedAt DESC, RowId DESC";
inline constexpr char kTrashItem[] = "SELECT Kind, OriginalRowId FROM Trash WHERE RowId = ?";
inline constexpr char kTrashRemove[] = "DELETE FROM Trash WHERE RowId = ?";
inline constexpr char kTrashEmpty[] = "DELETE FROM Trash";
// The cut-off is bound in DeletedAt's own form (UTC, ISO 8601 with milliseconds), so the
// texts compare as the times do; the index on DeletedAt finds the old ones.
inline constexpr char kTrashPurge[] = "DELETE FROM Trash WHERE DeletedAt < ?";

// The schema, created at start where a table is missing. Every column but
// RowId is text, amounts included, so that values read back exactly as written.
inline constexpr char kSchema[] =
    "CREATE TABLE IF NOT EXISTS Firmalar (RowId INTEGER PRIMARY KEY AUTOINCREMENT, "
    "FirmaAdi TEXT NOT NULL DEFAULT '', FirmaAdresi TEXT NOT NULL DEFAULT '', VergiDairesi TEXT NOT NULL DEFAULT '', "
    "VergiNumarasi TEXT NOT NULL DEFAULT '', Telefon TEXT NOT NULL DEFAULT '', Mail TEXT NOT NULL DEFAULT '', "
    "CalismaTuru TEXT NOT NULL DEFAULT '', WebAdresi TEXT NOT NULL DEFAULT '');"
    "CREATE TABLE IF NOT EXISTS GelirGider (RowId INTEGER PRIMARY KEY AUTOINCREMENT, "
    "IslemTuru TEXT NOT NULL DEFAULT '', Gun TEXT NOT NULL DEFAULT '', Ay TEXT NOT NULL DEFAULT '', "
    "Yil TEXT NOT NULL DEFAULT '', IslemKaynagi TEXT NOT NULL DEFAULT '', IslemTutari TEXT NOT NULL DEFAULT '', "
    "TutarBirimi TEXT NOT NULL DEFAULT '', GecerliKur TEXT NOT NULL DEFAULT '', KdvOrani TEXT NOT NULL DEFAULT '', "
    "IslemCesidi TEXT NOT NULL DEFAULT '', IslemIcerigi TEXT NOT NULL DEFAULT '', "
    "IslemNotu TEXT NOT NULL DEFAULT '', FaturaNo TEXT NOT NULL DEFAULT '');"
    "CREATE TABLE IF NOT EXISTS GGKategori (RowId INTEGER PRIMARY KEY AUTOINCREMENT, "
    "IslemTuru TEXT NOT NULL DEFAULT '', KalemAdi TEXT NOT NULL DEFAULT '');"
    "CREATE TABLE IF NOT EXISTS Kisiler (RowId INTEGER PRIMARY KEY AUTOINCREMENT, "
    "AdSoyad TEXT NOT NULL DEFAULT '', CepTelefonu TEXT NOT NULL DEFAULT '', EvTelefonu TEXT NOT NULL DEFAULT '', "
    "IsTelefonu TEXT NOT NULL DEFAULT '', Meslek TEXT NOT NULL DEFAULT '', Memleket TEXT NOT NULL DEFAULT '', "
    "Tahsil TEXT NOT NULL DEFAULT '', KanGurubu TEXT NOT NULL DEFAULT '', Akrabalik TEXT NOT NULL DEFAULT '', "
    "Eposta TEXT NOT NULL DEFAULT '', Web TEXT NOT NULL DEFAULT '', Hakkinda TEXT NOT NULL DEFAULT '');"
    "CREATE TABLE IF NOT EXISTS Linkler (RowId INTEGER PRIMARY KEY AUTOINCREMENT, "
    "Baslik TEXT NOT NULL DEFAULT '', Link TEXT NOT NULL DEFAULT '', Notlar TEXT NOT NULL DEFAULT '');"
    "CREATE TABLE IF NOT EXISTS Parolalar (RowId INTEGER PRIMARY KEY AUTOINCREMENT, "
    "UyelikYeri TEXT NOT NULL DEFAULT '', KullaniciAdi TEXT NOT NULL DEFAULT '', Parola TEXT NOT NULL DEFAULT '', "
    "Mail TEXT NOT NULL DEFAULT '', Web TEXT NOT NULL DEFAULT '', Notlar TEXT NOT NULL DEFAULT '');"
    "CREATE INDEX IF NOT EXISTS GelirGiderDonem ON GelirGider (Yil, Ay, RowId, IslemTuru, IslemKaynagi);"
    "CREATE INDEX IF NOT EXISTS FirmalarAdi ON Firmalar (FirmaAdi);";

// Step 2: the trash every delete fills first. Its RowIds are never given twice, so a
// dialog's selection can never name another record after a second copy emptied it.
inline constexpr char kTrashSchema[] =
    "CREATE TABLE IF NOT EXISTS Trash (RowId INTEGER PRIMARY KEY AUTOINCREMENT, Kind TEXT NOT NULL, "
    "OriginalRowId INTEGER NOT NULL, "
    "Record TEXT NOT NULL, Summary TEXT NOT NULL, DeletedAt TEXT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS TrashDeletedAt ON Trash (DeletedAt);";

// Recurring entries. Dates are ISO text ("2025-03-31"), so they compare as the days do;
// DoneThrough is the day up to which every occurrence was recorded, skipped or given up by an
// edit of the rule. An occurrence is written once: the pair (template, date) is unique.
inline constexpr char kRecurringSchema[] =
    "CREATE TABLE IF NOT EXISTS RecurringEntries (RowId INTEGER PRIMARY KEY AUTOINCREMENT, "
    "Kind TEXT NOT NULL DEFAULT '', Source TEXT NOT NULL DEFAULT '', Amount TEXT NOT NULL DEFAULT '', "
    "Currency TEXT NOT NULL DEFAULT '', Rate TEXT NOT NULL DEFAULT '', VatRate TEXT NOT NULL DEFAULT '', "
    "Category TEXT NOT NULL DEFAULT '', Invoice TEXT NOT NULL DEFAULT '', Content TEXT NOT NULL DEFAULT '', "
    "Note TEXT NOT NULL DEFAULT '', Unit TEXT NOT NULL DEFAULT '', Every TEXT NOT NULL DEFAULT '', "
    "Day TEXT NOT NULL DEFAULT '', Month TEXT NOT NULL DEFAULT '', StartDate TEXT NOT NULL DEFAULT '', "
    "EndDate TEXT NOT NULL DEFAULT '', Times TEXT NOT NULL DEFAULT '', DoneThrough TEXT NOT NULL DEFAULT '');"
    "CREATE TABLE IF NOT EXISTS RecurringOccurrences (RowId INTEGER PRIMARY KEY AUTOINCREMENT, "
    "TemplateId INTEGER NOT NULL, OccurrenceDate TEXT NOT NULL, Outcome TEXT NOT NULL, "
    "UNIQUE (TemplateId, OccurrenceDate));";
inline constexpr char kRecurringFields[] =
    "SELECT RowId, Kind, Source, Amount, Currency, Rate, VatRate, Category, Invoice, Content, Note, Unit, Every, "
    "Day, Month, StartDate, EndDate, Times, DoneThrough FROM RecurringEntries";
inline constexpr char kRecurringAll[] = " ORDER BY RowId";
inline constexpr char kRecurringOne[] = " WHERE RowId = ?";
inline constexpr char kRecurringAdd[] =
    "INSERT INTO RecurringEntries (Kind, Source, Amount, Currency, Rate, VatRate, Category, Invoice, Content, Note, "
    "Unit, Every, Day, Month, StartDate, EndDate, Times, DoneThrough) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
inline constexpr char kRecurringUpdate[] =
    "UPDATE RecurringEntries SET Kind=?, Source=?, Amount=?, Currency=?, Rate=?, VatRate=?, Category=?, Invoice=?, "
    "Content=?, Note=?, Unit=?, Every=?, Day=?, Month=?, StartDate=?, EndDate=?, Times=?, DoneThrough=? "
    "WHERE RowId=?";
inline constexpr char kRecurringDoneThrough[] = "UPDATE RecurringEntries SET DoneThrough=? WHERE RowId=?";
inline constexpr char kRecurringRemove[] = "DELETE FROM RecurringEntries WHERE RowId=?";
// The occurrences recorded or skipped after each template's DoneThrough: the few the due list
// must leave out, however long the templates have run.
inline constexpr char kRecurringOpenOccurrences[] =
    "SELECT Occurrence.TemplateId AS TemplateId, Occurrence.OccurrenceDate AS OccurrenceDate "
    "FROM RecurringOccurrences AS Occurrence JOIN RecurringEntries AS Template ON Template.RowId = "
    "Occurrence.TemplateId WHERE Occurrence.OccurrenceDate > Template.DoneThrough "
    "ORDER BY Occurrence.TemplateId, Occurrence.OccurrenceDate";
inline constexpr char kRecurringHandled[] =
    "SELECT OccurrenceDate FROM RecurringOccurrences WHERE TemplateId = ? AND OccurrenceDate > ? "
    "ORDER BY OccurrenceDate";
inline constexpr char kRecurringLastHandled[] =
    "SELECT coalesce(max(OccurrenceDate), '') AS Last FROM RecurringOccurrences WHERE TemplateId = ?";
// Nothing when another desk wrote the same occurrence first: it is recorded once.
inline constexpr char kRecurringMark[] =
    "INSERT INTO RecurringOccurrences (TemplateId, OccurrenceDate, Outcome) VALUES (?, ?, ?) "
    "ON CONFLICT (TemplateId, OccurrenceDate) DO NOTHING";
// e-Fatura: the invoices recorded, by their UUID (an invoice whose entry is gone is not
// recorded any more), the category last chosen for a company by its tax number, and our
// own tax number, kept where every desk of a server sees them.
inline constexpr char kInvoiceSchema[] =
    "CREATE TABLE IF NOT EXISTS Invoices (RowId INTEGER PRIMARY KEY AUTOINCREMENT, Uuid TEXT NOT NULL UNIQUE, "
    "EntryRowId INTEGER NOT NULL, InvoiceNumber TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS InvoiceCategories (RowId INTEGER PRIMARY KEY AUTOINCREMENT, "
    "TaxNumber TEXT NOT NULL, Kind TEXT NOT NULL, Category TEXT NOT NULL, UNIQUE (TaxNumber, Kind));"
    "CREATE TABLE IF NOT EXISTS InvoiceSettings (RowId INTEGER PRIMARY KEY CHECK (RowId = 1), "
    "OwnTaxNumber TEXT NOT NULL)";
// An invoice counts as recorded while its entry is there with its number.
inline constexpr char kInvoicesRecorded[] =
    "SELECT Invoices.Uuid FROM Invoices JOIN GelirGider ON GelirGider.RowId = Invoices.EntryRowId "
    "AND GelirGider.FaturaNo = Invoices.InvoiceNumber";
inline constexpr char kInvoiceRecorded[] =
    "SELECT 1 AS Recorded FROM Invoices JOIN GelirGider ON GelirGider.RowId = Invoices.EntryRowId "
    "AND GelirGider.FaturaNo = Invoices.InvoiceNumber WHERE Invoices.Uuid = ?";
inline constexpr char kInvoiceForget[] =
    "DELETE FROM Invoices WHERE Uuid = ? AND NOT EXISTS (SELECT 1 FROM GelirGider WHERE GelirGider.RowId = "
    "Invoices.EntryRowId AND GelirGider.FaturaNo = Invoices.InvoiceNumber)";
inline constexpr char kInvoiceAdd[] = "INSERT INTO Invoices (Uuid, EntryRowId, InvoiceNumber) VALUES (?, ?, ?)";
// The invoice numbers entries carry, with their companies; "0" is the add dialog's empty one.
inline constexpr char kEntryInvoiceNumbers[] =
    "SELECT IslemKaynagi, FaturaNo FROM GelirGider WHERE FaturaNo <> '' AND FaturaNo <> '0'";
inline constexpr char kEntryInvoiceNumber[] =
    "SELECT 1 AS Recorded FROM GelirGider WHERE IslemKaynagi = ? AND FaturaNo = ?";
inline constexpr char kInvoiceCompanies[] =
    "SELECT RowId, FirmaAdi, VergiNumarasi, CalismaTuru FROM Firmalar ORDER BY RowId";
inline constexpr char kInvoiceCompanyBoth[] = "UPDATE Firmalar SET CalismaTuru = 'Tedarikçi & Müşteri' WHERE RowId = ?";
inline constexpr char kInvoiceCategories[] = "SELECT TaxNumber, Kind, Category FROM InvoiceCategories";
inline constexpr char kInvoiceCategoryKeep[] =
    "INSERT INTO InvoiceCategories (TaxNumber, Kind, Category) VALUES (?, ?, ?) ON CONFLICT (TaxNumber, Kind) "
    "DO UPDATE SET Category = excluded.Category";
inline constexpr char kOwnTaxNumber[] = "SELECT OwnTaxNumber FROM InvoiceSettings WHERE RowId = 1";
inline constexpr char kOwnTaxNumberKeep[] =
    "INSERT INTO InvoiceSettings (RowId, OwnTaxNumber) VALUES (1, ?) ON CONFLICT (RowId) DO UPDATE "
    "SET OwnTaxNumber = excluded.OwnTaxNumber";
// Step 4: the central bank's bulletins, kept once fetched so that a rate is there without a
// network and on every desk of a server. A day maps to the bulletin in force on it: its own, or
// the last before it on a weekend or holiday. Days are "2026-12-05"; rates are per one unit of
// the currency in the '.'-decimal form of "Geçerli Kur", empty where the bulletin gives none.
inline constexpr char kExchangeRatesSchema[] =
    "CREATE TABLE IF NOT EXISTS ExchangeRates (RowId INTEGER PRIMARY KEY AUTOINCREMENT, "
    "BulletinDay TEXT NOT NULL, Currency TEXT NOT NULL, ForexBuying TEXT NOT NULL DEFAULT '', "
    "ForexSelling TEXT NOT NULL DEFAULT '', BanknoteBuying TEXT NOT NULL DEFAULT '', "
    "BanknoteSelling TEXT NOT NULL DEFAULT '', UNIQUE (BulletinDay, Currency));"
    "CREATE TABLE IF NOT EXISTS ExchangeRateDays (RowId INTEGER PRIMARY KEY AUTOINCREMENT, "
    "Day TEXT NOT NULL UNIQUE, BulletinDay TEXT NOT NULL)";
// A bulletin is published once: the rates first kept stay.
inline constexpr char kKeepRates[] =
    "INSERT INTO ExchangeRates (BulletinDay, Currency, ForexBuying, ForexSelling, BanknoteBuying, BanknoteSelling) "
    "VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT (BulletinDay, Currency) DO NOTHING";
inline constexpr char kKeepRateDay[] =
    "INSERT INTO ExchangeRateDays (Day, BulletinDay) VALUES (?, ?) ON CONFLICT (Day) DO UPDATE SET "
    "BulletinDay = excluded.BulletinDay";
inline constexpr char kRateDay[] = "SELECT BulletinDay FROM ExchangeRateDays WHERE Day = ?";
// The days of a span with the rates of one currency in force on each.
inline constexpr char kRatesBetween[] =
    "SELECT ExchangeRateDays.Day AS Day, ExchangeRates.BulletinDay AS BulletinDay, ForexBuying, ForexSelling, "
    "BanknoteBuying, BanknoteSelling FROM ExchangeRateDays JOIN ExchangeRates ON "
    "ExchangeRates.BulletinDay = ExchangeRateDays.BulletinDay WHERE ExchangeRateDays.Day BETWEEN ? AND ? "
    "AND ExchangeRates.Currency = ?";
// The entries in a foreign currency, whose rate may be missing; read whole for the entries table's update.
inline constexpr char kForeignEntries[] =
    "SELECT RowId, IslemTuru, Gun, Ay, Yil,IslemKaynagi,IslemTutari,TutarBirimi,GecerliKur,KdvOrani,IslemCesidi,"
    "IslemIcerigi,IslemNotu,FaturaNo FROM GelirGider WHERE TutarBirimi IN (?, ?)";
inline constexpr char kForeignKind[] = " AND IslemTuru = ?";

} // namespace sql
