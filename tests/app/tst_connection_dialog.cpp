#include "DialogTest.h"
#include "DialogWidgets.h"

#include "app/ConnectionDialog.h"
#include "app/DatabaseChoice.h"

#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

using namespace Qt::StringLiterals;

// "Veritabanı Bağlantısı" on the server the tests run against: tried, Norva.db copied into it once,
// then chosen and kept in the settings.
class TestConnectionDialog : public DialogTest
{
    Q_OBJECT

private slots:
    void init()
    {
        if (!onServer())
            QSKIP("run on a PostgreSQL server (NORVA_TEST_ENGINE=postgres)");
        startCase();
    }
    void cleanup()
    {
        if (onServer())
            endCase();
    }

    void aServerIsTriedFilledFromTheFileAndChosen()
    {
        const db::Database server = db::Database::current();
        db::Database::choose(db::Database::file(db::fileName()));
        QVERIFY(db::ensureSchema());
        rawRows(u"INSERT INTO Firmalar (FirmaAdi, CalismaTuru) VALUES ('Çınar Yapı', 'Müşteri')"_s, u"./Norva.db"_s);
        // The dialog names no schema: libpq's PGOPTIONS points it at the case's own.
        qputenv("PGOPTIONS", serverConnection().section(u'\'', 1, 1).toUtf8());

        ConnectionDialog dialog;
        dialog.show();
        QVERIFY(widget(dialog, "dosya")->property("checked").toBool());
        QVERIFY(!enabled(dialog, "dene"));
        qobject_cast<QRadioButton *>(widget(dialog, "sunucu"))->setChecked(true);
        setTexts(dialog, {"adres", "veritabani", "kullanici"},
                 qEnvironmentVariable("PGHOST") + u'|' + qEnvironmentVariable("PGDATABASE") + u'|' +
                     qEnvironmentVariable("PGUSER"));
        qobject_cast<QSpinBox *>(widget(dialog, "port"))->setValue(qEnvironmentVariableIntValue("PGPORT"));
        const QString name = qEnvironmentVariable("PGDATABASE") + u'@' + qEnvironmentVariable("PGHOST");
        click(dialog, "dene");
        QCOMPARE(textOf(dialog, "sonuc"), u"Bağlantı kuruldu: %1. Kayıtlar bu sunucuda tutulabilir."_s.arg(name));

        clickAndAnswer(dialog, "aktar");
        expectBox(
            u"Norva.db sunucuya aktarıldı: 1 firma, 0 hareket, 0 tür, 0 link, 0 üyelik, 0 kişi, 0 çöp kutusunda "
            u"kayıt.\n\nBu bilgisayarda sunucuyu kullanmak için \"PostgreSQL sunucusu\" seçiliyken Tamam'a basın."_s,
            Desktop::Icon::Information);
        clickAndAnswer(dialog, "aktar");
        expectBox(u"Sunucudaki veritabanında zaten kayıt var. Dosya yalnızca boş bir veritabanına aktarılabilir; "
                  u"sunucudaki kayıtlara dokunulmadı."_s,
                  Desktop::Icon::Error);

        click(dialog, "tamam");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(DatabaseChoice::stored().server);
        QCOMPARE(db::Database::current().shownName(), name);
        QCOMPARE(rawRows(u"SELECT FirmaAdi FROM Firmalar"_s), QStringList{u"Çınar Yapı"_s});
        qunsetenv("PGOPTIONS");
        db::Database::choose(server);
    }
};

QTEST_MAIN(TestConnectionDialog)
#include "tst_connection_dialog.moc"
