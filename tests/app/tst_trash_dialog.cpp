#include "DialogTest.h"
#include "DialogWidgets.h"

#include "app/TrashDialog.h"
#include "data/ContactStore.h"
#include "data/EntryStore.h"
#include "data/LinkStore.h"

#include <QtTest>

#include <ctime>

using namespace Qt::StringLiterals;

class TestTrashDialog : public DialogTest
{
    Q_OBJECT

private slots:
    // Times are shown in local time: Istanbul's, three hours ahead of UTC all year.
    void initTestCase()
    {
        qputenv("TZ", "Europe/Istanbul");
        tzset();
    }
    void init() { startCase(); }
    void cleanup() { endCase(); }

    // Each button on the second record, the entry; the use cases' table holds the rest.
    void eachButtonOnTheSecondRecord_data()
    {
        QTest::addColumn<QByteArray>("before"); // a statement run while the dialog is open
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("left"); // the kinds left in the trash
        QTest::newRow("restore") << QByteArray() << "geriYukle"_ba << u"Seçili kayıt geri yüklendi."_s
                                 << u"Link|Kişi"_s;
        QTest::newRow("restore, its RowId taken")
            << "INSERT INTO GelirGider (RowId, IslemKaynagi) VALUES (1, 'Yeni')"_ba
            << "geriYukle"_ba
            << u"Seçili kayıt geri yüklendi. Eski kayıt numarası (1) bu arada başka bir kayda verildiğinden kayıt yeni "
               "bir numarayla (2) geri yüklendi."_s
            << u"Link|Kişi"_s;
        QTest::newRow("remove forever") << QByteArray() << "kaliciSil"_ba << u"Seçili kayıt kalıcı olarak silindi."_s
                                        << u"Link|Kişi"_s;
        QTest::newRow("empty") << QByteArray() << "bosalt"_ba << u"Çöp kutusu boşaltıldı."_s << QString();
    }
    void eachButtonOnTheSecondRecord()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, button);
        QFETCH(QString, box);
        QFETCH(QString, left);
        // Deleted in this order, so the list shows them the other way round.
        rawExec("INSERT INTO Kisiler (AdSoyad) VALUES ('Ayşe\nYılmaz');"
                "INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi) VALUES "
                "('Gelir', '12', '3', '2025', 'Şahin Gıda', '1250.00', 'Lira');"
                "INSERT INTO Linkler (Baslik) VALUES ('GİB')");
        {
            db::Connection c;
            ContactStore(c).remove(1);
            EntryStore(c).remove(1);
            LinkStore(c).remove(1);
        }
        TrashDialog dialog;
        dialog.show();
        QCOMPARE(rowsOf(dialog, "copListesi", 2),
                 (QStringList{u"Link|GİB"_s, u"Gelir/Gider Hareketi|12.3.2025 Gelir 1250.00 Lira — Şahin Gıda"_s,
                              u"Kişi|Ayşe Yılmaz"_s}));
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam 3 silinmiş kayıt mevcut"_s);
        const QDateTime utc =
            QDateTime::fromString(rawRows(u"SELECT max(DeletedAt) FROM Trash"_s).value(0), Qt::ISODateWithMs);
        QCOMPARE(rowsOf(dialog, "copListesi").constFirst().section(u'|', 2),
                 utc.addSecs(3 * 3600).toString(u"d.M.yyyy HH:mm:ss"_s));
        // Nothing is acted on unseen: a record must be selected first.
        QVERIFY(!enabled(dialog, "geriYukle") && !enabled(dialog, "kaliciSil") && enabled(dialog, "bosalt"));
        clickRow(dialog, "copListesi", 1);
        QVERIFY(enabled(dialog, "geriYukle") && enabled(dialog, "kaliciSil"));
        if (!before.isEmpty())
            rawExec(before.constData());

        if (button == "geriYukle")
            click(dialog, button.constData());
        else
            clickAndAnswer(dialog, button.constData());
        expectBox(box, Desktop::Icon::Information);
        QCOMPARE(rowsOf(dialog, "copListesi", 1).join(u'|'), left);
        QCOMPARE(textOf(dialog, "toplam"),
                 u"Toplam %1 silinmiş kayıt mevcut"_s.arg(rowsOf(dialog, "copListesi").size()));
        QCOMPARE(enabled(dialog, "bosalt"), !left.isEmpty());
    }
};

QTEST_MAIN(TestTrashDialog)
#include "tst_trash_dialog.moc"
