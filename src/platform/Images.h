#pragma once

#include <QPixmap>

// One of the program's PNG images (":/strip.png" ...). The format is named,
// so no image plugin is loaded to guess it.
QPixmap programImage(const QString &resource);

// The program's 1152 by 32 image strip: 36 images of 32 by 32. The cells the
// program shows, by what they show.
namespace cell {
enum : int {
    HesapDokumu = 0,
    KayitliFirmalar = 1,
    FirmaEkle = 2,
    AccessVerisiniAktar = 3,
    Hakkinda = 7,
    Gelir = 8,
    Gider = 9,
    Bul = 11,
    Grafikler = 12,
    ProgramiKapat = 13,
    KayitliParolalar = 14,
    KisiRehberi = 15,
    TurleriBelirle = 16,
    HesapMakinesi = 18,
    TekrarlayanHareketler = 19, // the calendar page
    HareketTablosu = 20,
    KayitliLinklerim = 22,
    ArkaplanCiziminiKaydet = 26,
    DovizKuru = 31,
    EDevlet = 32,
    Gib = 33,
    CopKutusu = 29, // the savings safe: deleted records kept for recall
    KdvHesaplama = 35,
};
} // namespace cell
QPixmap imageStripCell(int index);

// The picture down the left side of the add dialogs.
QPixmap sidePicture(const QSize &size);
