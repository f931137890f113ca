#include "DialogTest.h"
#include "DialogWidgets.h"

#include "app/TrashDialog.h"
#include "data/ContactStore.h"
#include "data/EntryStore.h"
#include "data/LinkStore.h"

#include <QtTest>

#include <ctime>

using namespace Qt::StringLiterals;

namespace {
// The trash as the dialog lists it, each row "kind|summary".
const QStringList kAll{u"Link|GİB"_s, u"Gelir/Gider Hareketi|12.3.2025 Gelir 1250.00 Lira — Şahin Gıda"_s,
                       u"Kişi|Ayşe Yılmaz"_s};
} // namespace

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
    void init()
    {
        startCase();
        // Deleted in this order, so the list shows them the other way round.
        rawExec("INSERT INTO Kisiler (AdSoyad) VALUES ('Ayşe\nYılmaz');"
                "INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi) VALUES "
                "('Gelir', '12', '3', '2025', 'Şahin Gıda', '1250.00', 'Lira');"
                "INSERT INTO Linkler (Baslik) VALUES ('GİB')");
        db::Connection c;
        ContactStore(c).remove(1);
        EntryStore(c).remove(1);
        LinkStore(c).remove(1);
    }
    void cleanup() { endCase(); }

    // Each button on the second record, the entry; a question is answered as `answer` says.
    void eachButtonOnTheSecondRecord_data()
    {
        QTest::addColumn<QByteArray>("before"); // a statement run while the dialog is open
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<int>("answer"); // -1: no question
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("left"); // the rows left in the trash

        const QStringList others{kAll.at(0), kAll.at(2)};
        const int yes = int(Desktop::Answer::Yes), no = int(Desktop::Answer::No);
        QTest::newRow("restore") << QByteArray() << "geriYukle"_ba << -1 << u"Seçili kayıt geri yüklendi."_s << others;
        QTest::newRow("restore, its RowId taken")
            << "INSERT INTO GelirGider (RowId, IslemKaynagi) VALUES (1, 'Yeni')"_ba
            << "geriYukle"_ba << -1
            << u"Seçili kayıt geri yüklendi. Eski kayıt numarası (1) bu arada başka bir kayda verildiğinden kayıt yeni "
               "bir numarayla (2) geri yüklendi."_s
            << others;
        QTest::newRow("restore, gone meanwhile")
            << "DELETE FROM Trash WHERE Kind = 'GelirGider'"_ba
            << "geriYukle"_ba << -1
            << u"Bu kayıt artık mevcut değil; başka bir yerden silinmiş olabilir. Liste yenilendi."_s << others;
        QTest::newRow("restore, table missing") << "DROP TABLE GelirGider"_ba
                                                << "geriYukle"_ba << -1 << u"no such table: GelirGider"_s << kAll;
        QTest::newRow("remove forever") << QByteArray() << "kaliciSil"_ba << yes
                                        << u"Seçili kayıt kalıcı olarak silindi."_s << others;
        QTest::newRow("remove forever, answered No") << QByteArray() << "kaliciSil"_ba << no << QString() << kAll;
        QTest::newRow("empty") << QByteArray() << "bosalt"_ba << yes << u"Çöp kutusu boşaltıldı."_s << QStringList();
    }

    void eachButtonOnTheSecondRecord()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, button);
        QFETCH(int, answer);
        QFETCH(QString, box);
        QFETCH(QStringList, left);
        TrashDialog dialog;
        dialog.show();
        QCOMPARE(rowsOf(dialog, "copListesi", 2), kAll);
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

        if (answer >= 0)
            clickAndAnswer(dialog, button.constData(), Desktop::Answer(answer));
        else
            click(dialog, button.constData());
        if (!box.isEmpty())
            expectBox(box, box.startsWith(u"Seçili"_s) || box.startsWith(u"Çöp"_s) ? Desktop::Icon::Information
                           : box.startsWith(u"Bu kayıt"_s)                         ? Desktop::Icon::Error
                                                                                   : Desktop::Icon::None);

        QCOMPARE(rowsOf(dialog, "copListesi", 2), left);
        QCOMPARE(textOf(dialog, "toplam"), u"Toplam %1 silinmiş kayıt mevcut"_s.arg(left.size()));
        QCOMPARE(enabled(dialog, "bosalt"), !left.isEmpty());
    }
};

QTEST_MAIN(TestTrashDialog)
#include "tst_trash_dialog.moc"
