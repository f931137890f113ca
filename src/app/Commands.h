#pragma once

// Command IDs of the ribbon, the application menu and the theme menu.
namespace cmd {
enum : int {
    KayitliParolalar = 32762,
    FirmaEkle = 32771,
    KayitliFirmalar = 32772,
    Gelir = 32773,
    Gider = 32774,
    HareketTablosu = 32775,
    TurleriBelirle = 32776,
    EDevlet = 32777,
    YazilimHakkinda = 32778,
    Gib = 32779,
    KdvHesaplama = 32781,
    HesapMakinesi = 32782,
    ProgramiKapat = 32783,
    KisiRehberi = 32784,
    DovizKuru = 32785,
    KayitliLinklerim = 32807,
    AccessVerisiniAktar = 32820,
    CopKutusu = 32821,
    Yedekler = 32822,
    VeritabaniBaglantisi = 32823,
    TekrarlayanHareketler = 32824,
    HesapDokumu = 32830,
    Grafikler = 32831,
    Ara = 32832,
    EFaturaAl = 32828,
    ArkaplanCiziminiKaydet = 57609,
    AppAbout = 57664,
    // Themes: 205 to 219. Earlier builds stored these looks; the menu no longer offers them.
    Windows2000Tema = 205,
    OfficeXpTema = 206,
    WindowsXpTema = 207,
    Office2003Tema = 208,
    VisualStudio2005Tema = 209,
    VisualStudio2008Tema = 210,
    // The menu offers these five.
    MaviTema = 215,
    SiyahTema = 216,
    GumusTema = 217,
    KlasikTema = 218,
    ModernTema = 219,
};
} // namespace cmd
