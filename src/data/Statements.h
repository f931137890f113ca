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
