#pragma once

// Statements of the entries table that handle amounts exactly, written like
// those of data/Statements.h.
namespace sql {

// The edit's UPDATE, the amount given as text already written with six
// decimals ("12.500000"), so it never passes through a double.
inline constexpr char kHareketGuncelleMetin[] =
    "UPDATE GelirGider SET IslemTutari='%s', GecerliKur='%s', KdvOrani='%s', IslemIcerigi='%s', IslemNotu='%s', "
    "TutarBirimi='%s' , Gun='%s' , Ay='%s' , Yil='%s'  , FaturaNo='%s' WHERE RowId=%d";

// The totals read each entry's currency and rate with its amount; the period
// fragments kToplamAy and kToplamYil follow it.
inline constexpr char kToplamlarBirimli[] =
    "SELECT IslemTuru, IslemTutari, TutarBirimi, GecerliKur FROM GelirGider WHERE 1=1";

} // namespace sql
