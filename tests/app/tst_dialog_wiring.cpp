#include "DialogTest.h"
#include "DialogWidgets.h"

#include "app/TrashDialog.h"
#include "companies/KayitliFirmalar.h"
#include "core/Links.h"
#include "data/Database.h"
#include "data/MonthlyReport.h"
#include "ledger/HareketTablosu.h"
#include "ledger/Rapor.h"
#include "platform/ServerChanges.h"
#include "platform/TextLimit.h"
#include "records/KayitliLinkler.h"
#include "records/Parolalar.h"
#include "records/TelefonRehberi.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

// The dialog over `table`, showing its records; the report viewer for any other name.
std::unique_ptr<QDialog> openOn(const QString &table)
{
    std::unique_ptr<QDialog> dialog;
    if (table == u"Kisiler"_s)
        dialog = std::make_unique<TelefonRehberi>();
    else if (table == u"Parolalar"_s)
        dialog = std::make_unique<Parolalar>();
    else if (table == u"Linkler"_s)
        dialog = std::make_unique<KayitliLinkler>();
    else if (table == u"Firmalar"_s)
        click(*(dialog = std::make_unique<KayitliFirmalar>()), "bul");
    else if (table == u"GelirGider"_s) {
        dialog = std::make_unique<HareketTablosu>();
        setTexts(*dialog, {"turFiltresi", "ayFiltresi", "yilFiltresi"}, u"Tümü|Tümü|Tümü"_s);
        click(*dialog, "listele");
    } else
        dialog = std::make_unique<Rapor>(MonthlyReport{u"ŞUBAT"_s, u"2025"_s, {}, u"Rapor metni, ŞUBAT\r\n"_s, {}});
    dialog->show();
    return dialog;
}

// Records into `table`, `values` a list of tuples (holding no ')'), with the columns its dialog needs filled.
void insertInto(const QString &table, const QString &columns, const QString &values)
{
    const QString more = table == u"Firmalar"_s     ? u", CalismaTuru|, 'Müşteri'"_s
                         : table == u"GelirGider"_s ? u", IslemTuru|, 'Gider'"_s
                                                    : u"|"_s;
    rawRows(u"INSERT INTO %1 (%2%3) VALUES %4"_s.arg(table, columns, more.section(u'|', 0, 0),
                                                     QString(values).replace(u")"_s, more.section(u'|', 1) + u')')));
}

// The columns given, and a row each for the lines of the tab-separated file `name` beside this test
// that have a value for each of them after the row's name.
void addRows(const QString &name, const QList<const char *> &columns)
{
    for (const char *column : columns)
        QTest::addColumn<QString>(column);
    for (const QStringList &row : caseRows(u"app/"_s + name)) {
        if (row.size() == columns.size() + 1) {
            QTestData &data = QTest::newRow(qPrintable(row[0]));
            for (const QString &value : row.sliced(1))
                data << value;
        }
    }
}

} // namespace

// What every dialog over a table does alike, whatever the table.
class TestDialogWiring : public DialogTest
{
    Q_OBJECT

private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    // Longer than any box takes when typed (longer than a one-line box takes at all), with line ends and
    // spaces that a text box would change: shown whole, and a "Kaydet" or "Düzelt" stores it back whole.
    void aLongStoredValueIsKeptWhole_data()
    {
        addRows(u"wiring-long-values.tsv"_s, {"table", "others", "pairs", "saved"});
    }
    void aLongStoredValueIsKeptWhole()
    {
        QFETCH(QString, table);
        QFETCH(QString, others);
        QFETCH(QString, pairs);
        QFETCH(QString, saved);
        const QString value = QString(32800, u'ş') + u"\r\nson\u00a0satır\u2028"_s;
        QStringList columns, boxes;
        for (const QString &pair : pairs.split(u'|'))
            columns << pair.section(u' ', 0, 0), boxes << pair.section(u' ', 1);
        QString names = columns.join(u','), tuple = QStringList(columns.size(), u'\'' + value + u'\'').join(u',');
        if (!others.isEmpty())
            names += u',' + others.section(u'|', 0, 0), tuple += u',' + others.section(u'|', 1);
        insertInto(table, names, u'(' + tuple + u')');

        const std::unique_ptr<QDialog> dialog = openOn(table);
        for (const QString &name : boxes) {
            QWidget *box = widget(*dialog, qPrintable(name));
            auto *line = qobject_cast<QLineEdit *>(box);
            QVERIFY2((line ? line->text() : qobject_cast<LimitedTextEdit *>(box)->text()) == value, qPrintable(name));
        }
        if (saved.isEmpty())
            return;
        click(*dialog, table == u"Parolalar"_s ? "duzelt" : "kaydet");
        expectBox(saved, Desktop::Icon::Information);
        QCOMPARE(rawRows(u"SELECT %1 FROM %2"_s.arg(columns.join(u','), table)),
                 QStringList(QStringList(columns.size(), value).join(u'|')));
    }

    // Every "Kaydet" and "Aktar" that writes a file: a write failing half-way (files limited to 16 bytes)
    // says so and leaves the file that was there as it was, with nothing beside it.
    void aFailedWriteLeavesTheOldFile_data() { addRows(u"wiring-failed-writes.tsv"_s, {"button", "file", "said"}); }
    void aFailedWriteLeavesTheOldFile()
    {
        QFETCH(QString, button);
        QFETCH(QString, file);
        QFETCH(QString, said);
        const QString text = u"('Ayşe; \"Öztürk\", İzmir, uzun bir değer')"_s;
        for (const QString &into :
             {u"Kisiler AdSoyad"_s, u"Linkler Baslik"_s, u"Firmalar FirmaAdi"_s, u"GelirGider IslemKaynagi"_s})
            insertInto(into.section(u' ', 0, 0), into.section(u' ', 1), text);
        const QString path = m_ws->path() + u'/' + file;
        writeFile(path, "eski");
        const std::unique_ptr<QDialog> dialog = openOn(button.section(u' ', 0, 0));
        m_desktop->answerSave(path);
        const db::Connection held; // its side files are made already: only the written file meets the limit
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit small{16, saved.rlim_max};
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        click(*dialog, qPrintable(button.section(u' ', 1)));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        expectBox(said.isEmpty() ? u"\"%1\" dosyasına yazılamadı; diskte yer olduğundan emin olun. Önceki dosya olduğu "
                                   u"gibi duruyor."_s.arg(path)
                                 : said,
                  said.isEmpty() ? Desktop::Icon::Error : Desktop::Icon::None);
        QCOMPARE(readFile(path), QByteArray("eski"));
        QCOMPARE(
            QDir(m_ws->path()).entryList(QDir::Files | QDir::Hidden).filter(QRegularExpression(u"^(?!Norva\\.db)"_s)),
            QStringList{file});
    }

    // Each dialog over another program's copy of its table, whose first record has no name: that one is
    // left out of the list and counted aside; a NULL beside a name shows as empty text. Details that cannot
    // be read at all empty the boxes rather than leave the record chosen before, nor delete it unseen.
    // A delete asks and "Hayır" keeps the record; one deleted meanwhile by a second copy is said gone,
    // not deleted, and the list shows what is left.
    void aDeleteAsksAndAGoneRecordIsSaid_data() { addRows(u"wiring-deletes.tsv"_s, {"table", "texts", "buttons"}); }
    void aDeleteAsksAndAGoneRecordIsSaid()
    {
        QFETCH(QString, table);
        QFETCH(QString, texts);
        QFETCH(QString, buttons);
        const QStringList text = texts.split(u'|'), name = text[0].split(u' '), note = text[1].split(u' ');
        const QByteArray list = text[2].toLatin1();
        insertInto(table, name[0] + u',' + note[0],
                   u"('silinecek', 'not 0'), ('Birinci', 'not 1'), ('İkinci', 'not 2'), ('Üçüncü', 'not 3')"_s);
        spoilFirstRow(table, name[0]);
        rawRows(u"UPDATE %1 SET %2 = NULL WHERE %3 = 'Birinci'"_s.arg(table, note[0], name[0]));
        const std::unique_ptr<QDialog> dialog = openOn(table);
        const auto shown = [&] {
            return textOf(*dialog, qPrintable(name[1])) + u'|' + textOf(*dialog, qPrintable(note[1]));
        };
        QCOMPARE(textsOf(*dialog, {"toplam", "okunamayan"}), text[3].arg(3) + u"|1 kayıt okunamadı."_s);
        QVERIFY(widget(*dialog, "okunamayan")->isVisible());
        clickRow(*dialog, list.constData(), 0);
        QCOMPARE(shown(), u"Birinci|"_s);
        m_desktop->answer(Desktop::Answer::No); // keeps the record
        click(*dialog, "sil");
        expectBox(text[4], Desktop::Icon::Question);
        for (const QStringList &left :
             {QStringList{u"İkinci"_s, u"Üçüncü"_s}, QStringList{u"Üçüncü"_s}, QStringList()}) {
            if (left.size() == 1)
                rawRows(u"DELETE FROM %1 WHERE %2 = 'İkinci'"_s.arg(table, name[0]));
            clickAndAnswer(*dialog, "sil");
            if (left.size() == 1)
                expectBox(text[6] + u"; başka bir yerden silinmiş olabilir. Liste yenilendi."_s, Desktop::Icon::Error);
            else
                expectBox(text[5], Desktop::Icon::Information);
            QCOMPARE(listed(*dialog, list.constData()), left);
            QStringList on;
            for (const QString &button : buttons.section(u'|', 0, 0).split(u' '))
                if (enabled(*dialog, qPrintable(button)))
                    on << button;
            QCOMPARE(on.join(u' '), buttons.section(u'|', left.isEmpty() ? 2 : 1, left.isEmpty() ? 2 : 1));
            if (left.size() == 2) { // a record whose details cannot be read, chosen after a readable one
                clickRow(*dialog, list.constData(), 0);
                QCOMPARE(shown(), u"İkinci|not 2"_s);
                rawRows(u"ALTER TABLE %1 RENAME COLUMN %2 TO Eski"_s.arg(table, note[0]));
                clickRow(*dialog, list.constData(), 1);
                expectBox(noSuchColumn(note[0]), Desktop::Icon::None);
                QCOMPARE(shown(), u"|"_s);
                QVERIFY(!enabled(*dialog, "sil"));
                rawRows(u"ALTER TABLE %1 RENAME COLUMN Eski TO %2"_s.arg(table, note[0]));
            }
            if (!left.isEmpty())
                clickRow(*dialog, list.constData(), 0);
        }
        QCOMPARE(textOf(*dialog, "toplam"), text[3].arg(0));
        QCOMPARE(rawRows(u"SELECT count(*) FROM %1"_s.arg(table)), QStringList{u"1"_s}); // the unreadable one
    }

    // On a server, an open list follows what another desk records or deletes within 2 seconds: the chosen
    // record stays chosen with what was typed into it; when it is deleted, the first one left is shown.
    void anotherDesksChangesReachAnOpenList_data() { aDeleteAsksAndAGoneRecordIsSaid_data(); }
    void anotherDesksChangesReachAnOpenList()
    {
        QFETCH(QString, table);
        QFETCH(QString, texts);
        if (!onServer())
            QSKIP("a file has no other desk to hear from");
        const QStringList text = texts.split(u'|'), name = text[0].split(u' '), note = text[1].split(u' ');
        const QByteArray list = text[2].toLatin1();
        insertInto(table, name[0], u"('Birinci'), ('İkinci')"_s);
        ServerChanges::instance().follow(db::Database::current());
        const std::unique_ptr<QDialog> dialog = openOn(table);
        clickRow(*dialog, list.constData(), int(listed(*dialog, list.constData()).indexOf(u"İkinci"_s)));
        typeText(widget(*dialog, qPrintable(note[1])), u"yazılıyor"_s);

        insertInto(table, name[0], u"('Üçüncü')"_s); // another desk
        QTRY_COMPARE_WITH_TIMEOUT(textOf(*dialog, "toplam"), text[3].arg(3), 2000);
        QStringList now = listed(*dialog, list.constData());
        now.sort();
        QCOMPARE(now, QStringList({u"Birinci"_s, u"Üçüncü"_s, u"İkinci"_s}));
        auto *view = qobject_cast<QAbstractItemView *>(widget(*dialog, list.constData()));
        QCOMPARE(view->currentIndex().data().toString(), u"İkinci"_s);
        QCOMPARE(textOf(*dialog, qPrintable(name[1])) + u'|' + textOf(*dialog, qPrintable(note[1])),
                 u"İkinci|yazılıyor"_s);

        rawRows(u"DELETE FROM %1 WHERE %2 = 'İkinci'"_s.arg(table, name[0])); // another desk
        QTRY_COMPARE_WITH_TIMEOUT(textOf(*dialog, "toplam"), text[3].arg(2), 2000);
        QCOMPARE(textOf(*dialog, qPrintable(name[1])), listed(*dialog, list.constData()).value(0));
        ServerChanges::instance().follow(db::Database::file(db::fileName()));
    }

    // A save over a record that a second desk saved since it was shown writes nothing typed: it is said, the
    // list and the record show as they are now, and a save from there goes through.
    void aRecordChangedMeanwhileIsShownAsItIsNow_data()
    {
        for (const char *column : {"table", "list", "texts", "setup"})
            QTest::addColumn<QString>(column);
        // texts: the name's column and box, another's, the button, what the box names, what a save says
        QTest::newRow("companies") << u"Firmalar"_s << u"firmaListesi"_s
                                   << u"FirmaAdi firmaAdi|Mail mail|kaydet|Bu firma|Firma bilgileri başarıyla "
                                      u"güncellendi."_s
                                   << QString();
        QTest::newRow("entries") << u"GelirGider"_s << u"hareketListesi"_s
                                 << u"IslemKaynagi kaynak|IslemNotu islemNotu|kaydet|Bu hareket|Hareket bilgileri "
                                    u"başarıyla güncellendi."_s
                                 << u"UPDATE GelirGider SET IslemTutari = '10.00'"_s;
        QTest::newRow("memberships") << u"Parolalar"_s << u"uyelikListesi"_s
                                     << u"UyelikYeri uyelikYeri|Notlar notlar|duzelt|Bu üyelik|Üyelik bilgisi "
                                        u"başarıyla güncellendi."_s
                                     << QString();
    }
    void aRecordChangedMeanwhileIsShownAsItIsNow()
    {
        QFETCH(QString, table);
        QFETCH(QString, list);
        QFETCH(QString, texts);
        QFETCH(QString, setup);
        const QStringList text = texts.split(u'|'), name = text[0].split(u' '), note = text[1].split(u' ');
        const QByteArray button = text[2].toLatin1(), box = note[1].toLatin1();
        insertInto(table, name[0] + u',' + note[0], u"('Birinci', 'eski'), ('İkinci', 'eski')"_s);
        if (!setup.isEmpty())
            rawRows(setup);
        const std::unique_ptr<QDialog> dialog = openOn(table);
        clickRow(*dialog, list.toLatin1().constData(), 1);
        rawRows(u"UPDATE %1 SET %2 = 'başka masa' WHERE %3 = 'İkinci'"_s.arg(table, note[0], name[0]));
        setText(*dialog, box.constData(), u"benim"_s);
        click(*dialog, button.constData());
        expectBox(text[3] + u"; siz açtıktan sonra başka bir yerden değiştirilmiş. Yazdıklarınız kaydedilmedi; "
                            u"kaydın son hâli gösteriliyor."_s,
                  Desktop::Icon::Error);
        QCOMPARE(textsOf(*dialog, {qPrintable(name[1]), box.constData()}), u"İkinci|başka masa"_s);
        QCOMPARE(rawRows(u"SELECT %1 FROM %2 ORDER BY RowId"_s.arg(note[0], table)),
                 (QStringList{u"eski"_s, u"başka masa"_s}));
        setText(*dialog, box.constData(), u"benim"_s);
        click(*dialog, button.constData());
        expectBox(text[4], Desktop::Icon::Information);
        QCOMPARE(rawRows(u"SELECT %1 FROM %2 ORDER BY RowId"_s.arg(note[0], table)),
                 (QStringList{u"eski"_s, u"benim"_s}));
    }

    // The trash, too, says a record restored meanwhile by a second copy is gone.
    void aRecordGoneFromTheTrashIsSaid()
    {
        insertInto(u"Linkler"_s, u"Baslik"_s, u"('GİB')"_s);
        QVERIFY(core::Links::remove(1).isDone());
        TrashDialog dialog;
        dialog.show();
        clickRow(dialog, "copListesi", 0);
        rawExec("DELETE FROM Trash");
        click(dialog, "geriYukle");
        expectBox(u"Bu kayıt artık mevcut değil; başka bir yerden silinmiş olabilir. Liste yenilendi."_s,
                  Desktop::Icon::Error);
    }
};

QTEST_MAIN(TestDialogWiring)
#include "tst_dialog_wiring.moc"
