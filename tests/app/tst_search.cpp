#include "DialogTest.h"
#include "DialogWidgets.h"

#include "app/SearchDialog.h"

#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The hits as shown: each group's title, then its hits indented.
QStringList shownHits(SearchDialog &dialog)
{
    QStringList lines;
    auto *tree = static_cast<QTreeWidget *>(widget(dialog, "sonuclar"));
    for (int g = 0; g < tree->topLevelItemCount(); ++g) {
        lines << tree->topLevelItem(g)->text(0);
        for (int h = 0; h < tree->topLevelItem(g)->childCount(); ++h)
            lines << u"  "_s + tree->topLevelItem(g)->child(h)->text(0);
    }
    return lines;
}

} // namespace

// "Ara": the hits follow the text as it is typed, and open in their own windows with the record chosen.
class TestSearch : public DialogTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startCase();
        // Second of each kind, so that choosing it is seen: a window opens on its first record anyway.
        rawExec("INSERT INTO Firmalar (FirmaAdi, VergiDairesi, CalismaTuru) VALUES ('Ayaz Ltd', '', 'Müşteri'), "
                "('İNCİ GIDA', 'Konak', 'Müşteri')");
        rawExec("INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, GecerliKur, "
                "IslemCesidi, IslemIcerigi, IslemNotu, FaturaNo) VALUES "
                "('Gelir', '1', '2', '2024', 'Ayaz Ltd', '10.00', 'Lira', '0', 'Satış', '', '', '0'), "
                "('Gider', '3', '4', '2025', 'Ayaz Ltd', '20.00', 'Lira', '0', 'Kira', 'inci küpe', '', 'F-1')");
        rawExec("INSERT INTO Kisiler (AdSoyad) VALUES ('Ali Veli'), ('İnci Işık')");
        rawExec("INSERT INTO Linkler (Baslik, Link, Notlar) VALUES ('Haber', 'https://haber.example', ''), "
                "('İnci Blog', 'https://inci.example', '')");
        rawExec("INSERT INTO Parolalar (UyelikYeri, KullaniciAdi, Parola) VALUES ('Posta', 'a', 'b'), "
                "('İnci Kulübü', 'inci', 'gizli')");
    }
    void cleanup() { endCase(); }

    void hitsFollowTheText()
    {
        SearchDialog dialog(u"xyz"_s);
        QTRY_VERIFY(!dialog.isSearching());
        QCOMPARE(textOf(dialog, "durum"), u"Bulunamadı."_s);
        setText(dialog, "aranan", u"inci"_s);
        QTRY_COMPARE(textOf(dialog, "durum"), u"5 kayıt bulundu."_s);
        QCOMPARE(shownHits(dialog),
                 (QStringList{u"Firmalar (1)"_s, u"  İNCİ GIDA · Konak"_s, u"Gelir/Gider hareketleri (1)"_s,
                              u"  03.04.2025 · Gider · Ayaz Ltd · 20,00 ₺ · Kira"_s, u"Kişiler (1)"_s, u"  İnci Işık"_s,
                              u"Kayıtlı linkler (1)"_s, u"  İnci Blog · https://inci.example"_s, u"Üyelikler (1)"_s,
                              u"  İnci Kulübü"_s}));
        setText(dialog, "aranan", u"gizli"_s); // a password is never looked in
        QTRY_COMPARE(textOf(dialog, "durum"), u"Bulunamadı."_s);
        QVERIFY(!enabled(dialog, "ac"));
    }

    // Enter on a hit opens its record's own window with that record chosen.
    void aHitOpensItsRecord_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("shown"); // the record's first field in that window
        QTest::newRow("company") << 0 << u"KayitliFirmalar"_s << u"İNCİ GIDA"_s;
        QTest::newRow("entry") << 1 << u"HareketTablosu"_s << u"Ayaz Ltd|20.00|F-1"_s;
        QTest::newRow("contact") << 2 << u"TelefonRehberi"_s << u"İnci Işık"_s;
        QTest::newRow("link") << 3 << u"KayitliLinkler"_s << u"İnci Blog"_s;
        QTest::newRow("membership") << 4 << u"Parolalar"_s << u"İnci Kulübü"_s;
    }
    void aHitOpensItsRecord()
    {
        QFETCH(int, group);
        SearchDialog dialog(u"İNCİ"_s);
        QTRY_COMPARE(textOf(dialog, "durum"), u"5 kayıt bulundu."_s);
        auto *tree = static_cast<QTreeWidget *>(widget(dialog, "sonuclar"));
        tree->setCurrentItem(tree->topLevelItem(group)->child(0));
        QString shown;
        m_desktop->onModal = [&](QDialog &opened) {
            const char *fields[] = {"firmaAdi", "kaynak", "adSoyad", "baslik", "uyelikYeri"};
            shown = group == 1 ? textsOf(opened, {"kaynak", "tutar", "faturaNo"}) : textOf(opened, fields[group]);
        };
        QTest::keyClick(tree, Qt::Key_Return);
        QTEST(m_desktop->modalDialogs.join(u','), "window");
        QTEST(shown, "shown");
        QTRY_VERIFY(!dialog.isSearching());
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
