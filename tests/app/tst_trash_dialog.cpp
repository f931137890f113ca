#include "DialogTest.h"
#include "DialogWidgets.h"

#include "app/TrashDialog.h"
#include "data/ContactStore.h"
#include "data/EntryStore.h"
#include "data/LinkStore.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestTrashDialog : public DialogTest
{
    Q_OBJECT

private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    // Deleted in this order, the list shows them the other way round, with when each went in local time
    // (Istanbul's, three hours ahead of UTC all year). Nothing is acted on unseen: a record must be selected
    // first. Then each button on a record (the entry restored after its RowId was given to another
    // meanwhile): what it says, and the list and its count after.
    void eachButtonOnARecord()
    {
        qputenv("TZ", "Europe/Istanbul");
        tzset();
        rawExec("INSERT INTO Kisiler (AdSoyad) VALUES ('Ayşe\nYılmaz');"
                "INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi) VALUES "
                "('Gelir', '12', '3', '2025', 'Şahin Gıda', '1250.00', 'Lira');"
                "INSERT INTO Linkler (Baslik) VALUES ('GİB'), ('e-Devlet')");
        db::Connection c;
        ContactStore(c).remove(1);
        EntryStore(c).remove(1);
        for (const int link : {1, 2})
            LinkStore(c).remove(link);
        TrashDialog dialog;
        QCOMPARE(
            rowsOf(dialog, "copListesi", 2).join(u'/'),
            u"Link|e-Devlet/Link|GİB/Gelir/Gider Hareketi|12.3.2025 Gelir 1250.00 Lira — Şahin Gıda/Kişi|Ayşe Yılmaz"_s);
        QCOMPARE(rowsOf(dialog, "copListesi").constFirst().section(u'|', 2),
                 QDateTime::fromString(rawRows(u"SELECT max(DeletedAt) FROM Trash"_s).value(0), Qt::ISODateWithMs)
                     .addSecs(3 * 3600)
                     .toString(u"d.M.yyyy HH:mm:ss"_s));
        QVERIFY(!enabled(dialog, "geriYukle") && !enabled(dialog, "kaliciSil") && enabled(dialog, "bosalt"));
        rawExec("INSERT INTO GelirGider (RowId, IslemKaynagi) VALUES (1, 'Yeni')");
        // The row clicked, the button (it works only once a row is selected), what it says, the kinds left
        // and how many.
        for (const QString &step :
             {u"2|geriYukle|Seçili kayıt geri yüklendi. Eski kayıt numarası (1) bu arada başka bir kayda verildiğinden "
              u"kayıt yeni bir numarayla (2) geri yüklendi.|Link/Link/Kişi|3"_s,
              u"0|geriYukle|Seçili kayıt geri yüklendi.|Link/Kişi|2"_s,
              u"0|kaliciSil|Seçili kayıt kalıcı olarak silindi.|Kişi|1"_s, u"0|bosalt|Çöp kutusu boşaltıldı.||0"_s}) {
            const QStringList s = step.split(u'|');
            clickRow(dialog, "copListesi", s[0].toInt());
            s[1] == u"geriYukle"_s ? click(dialog, "geriYukle") : clickAndAnswer(dialog, qPrintable(s[1]));
            expectBox(s[2], Desktop::Icon::Information);
            QCOMPARE(rowsOf(dialog, "copListesi", 1).join(u'/'), s[3]);
            QCOMPARE(textOf(dialog, "toplam"), u"Toplam %1 silinmiş kayıt mevcut"_s.arg(s[4]));
            QCOMPARE(enabled(dialog, "bosalt"), s[4] != u"0"_s);
        }
    }
};

QTEST_MAIN(TestTrashDialog)
#include "tst_trash_dialog.moc"
