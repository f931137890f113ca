#include "FakeDesktop.h"
#include "Workspace.h"

#include "data/Database.h"
#include "data/RowListModel.h"
#include "data/Statements.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QtTest>

#include <sqlite3.h>

#include <QCollator>

#include <random>
#include <thread>

using namespace Qt::StringLiterals;

class TestDatabase : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_desktop = std::make_unique<FakeDesktop>(); }
    void cleanup()
    {
        QVERIFY2(m_desktop->unexpected().isEmpty(), qPrintable(m_desktop->unexpected().join(u'\n')));
        m_desktop.reset();
    }

    void formatQuotesTextAndWritesNumbersWithPoint()
    {
        QLocale::setDefault(QLocale(QLocale::Turkish));
        QCOMPARE(db::format("X='%s' AND Y=%d AND Z='%f' AND W='%s' %%", u"Ali'nin 'Yeri'"_s, -42, 1250.5, u"şİı"_s),
                 u"X='Ali''nin ''Yeri''' AND Y=-42 AND Z='1250.500000' AND W='şİı' %"_s);
        QCOMPARE(db::format(sql::kFirmaMusteri), u"SELECT FirmaAdi, RowId FROM Firmalar WHERE CalismaTuru = 'Müşteri'"_s);
        QCOMPARE(db::withRowId(sql::kLinkDetay, 17), u"SELECT Baslik, Link, Notlar FROM Linkler WHERE RowId = 17"_s);
    }

    void freshDatabaseHasEveryTableAndIsPrivate()
    {
        Workspace ws;
        QCOMPARE(QFileInfo(u"Norva.db"_s).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther),
                 QFile::Permissions());
        db::Connection c;
        const std::pair<const char *, int> tables[] = {{"Firmalar", 9},   {"GelirGider", 14}, {"GGKategori", 3},
                                                       {"Kisiler", 13},    {"Linkler", 4},     {"Parolalar", 7}};
        for (const auto &[table, columns] : tables) {
            db::Rows rows = c.query(u"SELECT count(*) AS n FROM pragma_table_info('%1')"_s.arg(QString::fromLatin1(table)));
            QCOMPARE(rows.number("n"), double(columns));
        }
        db::Rows mode = c.query(u"PRAGMA journal_mode"_s);
        QCOMPARE(mode.text("journal_mode"), u"wal"_s);
    }

    void everyStatementRunsOnAFreshDatabase_data()
    {
        QTest::addColumn<QString>("statement");
        const QString t = u"Ali'nin Yeri"_s;
        QTest::newRow("firma ekle") << db::format(sql::kFirmaEkle, t, t, t, t, t, t, u"Müşteri"_s, t);
        QTest::newRow("firma tümü") << QString::fromUtf8(sql::kFirmaTumu);
        QTest::newRow("firma calisma turu") << QString::fromUtf8(sql::kFirmaCalismaTuru);
        QTest::newRow("firma müşteri") << QString::fromUtf8(sql::kFirmaMusteri);
        QTest::newRow("firma tedarikçi") << QString::fromUtf8(sql::kFirmaTedarikci);
        QTest::newRow("firma ikisi") << QString::fromUtf8(sql::kFirmaTedarikciMusteri);
        QTest::newRow("firma detay") << db::withRowId(sql::kFirmaDetay, 1);
        QTest::newRow("firma güncelle") << db::format(sql::kFirmaGuncelle, t, t, t, t, t, t, 1);
        QTest::newRow("firma sil") << db::format(sql::kFirmaSil, 1);
        QTest::newRow("gelir kaynakları") << QString::fromUtf8(sql::kFirmaGelirKaynaklari);
        QTest::newRow("gider kaynakları") << QString::fromUtf8(sql::kFirmaGiderKaynaklari);
        QTest::newRow("firma adıyla") << db::format(sql::kFirmaAdiyla, t);
        QTest::newRow("hareket ekle") << db::format(sql::kGelirGiderEkle, u"Gelir"_s, u"5"_s, u"3"_s, u"2025"_s, t,
                                                    u"1250.50"_s, u"Lira"_s, u"0"_s, u"20"_s, t, t, t, u"0"_s);
        QTest::newRow("hareket listesi")
            << QString::fromUtf8(sql::kHareketListesi) + QString::fromUtf8(sql::kHareketGelir) +
                   db::format(sql::kHareketAy, 3) + db::format(sql::kHareketYil, 2025);
        QTest::newRow("hareket gider") << QString::fromUtf8(sql::kHareketListesi) + QString::fromUtf8(sql::kHareketGider);
        QTest::newRow("hareket detay") << db::withRowId(sql::kHareketDetay, 1);
        QTest::newRow("hareket güncelle") << db::format(sql::kHareketGuncelle, 1250.5, t, t, t, t, u"Lira"_s, u"5"_s,
                                                        u"3"_s, u"2025"_s, t, 1);
        QTest::newRow("hareket sil") << db::format(sql::kHareketSil, 1);
        QTest::newRow("toplamlar") << QString::fromUtf8(sql::kToplamlar) + QString::fromUtf8(sql::kToplamAyBasi) +
                                          u"3"_s + QString::fromUtf8(sql::kToplamSonu) +
                                          QString::fromUtf8(sql::kToplamYilBasi) + u"2025"_s +
                                          QString::fromUtf8(sql::kToplamSonu);
        QTest::newRow("rapor") << db::format(sql::kRaporHareketleri, u"Gider"_s) + db::format(sql::kRaporAy, 3) +
                                      db::format(sql::kRaporYil, 2025);
        QTest::newRow("kategori gelir") << QString::fromUtf8(sql::kKategoriGelir);
        QTest::newRow("kategori gider") << QString::fromUtf8(sql::kKategoriGider);
        QTest::newRow("kategori ekle") << db::format(sql::kKategoriEkle, u"Gider"_s, t);
        QTest::newRow("kategori gelir sil") << db::format(sql::kKategoriGelirSil, 1);
        QTest::newRow("kategori gider sil") << db::format(sql::kKategoriGiderSil, 1);
        QTest::newRow("link listesi") << QString::fromUtf8(sql::kLinkListesi);
        QTest::newRow("link ekle") << db::format(sql::kLinkEkle, t, t, t);
        QTest::newRow("link detay") << db::withRowId(sql::kLinkDetay, 1);
        QTest::newRow("link sil") << db::format(sql::kLinkSil, 1);
        QTest::newRow("parola listesi") << QString::fromUtf8(sql::kParolaListesi);
        QTest::newRow("parola ekle") << db::format(sql::kParolaEkle, t, t, u"Pa\"ss\\wo;rd,1"_s, t, t, t);
        QTest::newRow("parola detay") << db::withRowId(sql::kParolaDetay, 1);
        QTest::newRow("parola güncelle") << db::format(sql::kParolaGuncelle, t, t, t, t, t, t, 1);
        QTest::newRow("parola sil") << db::format(sql::kParolaSil, 1);
        QTest::newRow("kişi listesi") << QString::fromUtf8(sql::kKisiListesi);
        QTest::newRow("kişi ekle") << db::format(sql::kKisiEkle, t, t, t, t, t, u"İstanbul"_s, u"Lise"_s, u"0 Rh+"_s,
                                                 u"EVET"_s, t, u"https://www."_s, t);
        QTest::newRow("kişi detay") << db::withRowId(sql::kKisiDetay, 1);
        QTest::newRow("kişi sil") << db::format(sql::kKisiSil, 1);
    }

    void everyStatementRunsOnAFreshDatabase()
    {
        QFETCH(QString, statement);
        Workspace ws;
        db::Connection c;
        if (statement.startsWith(u"SELECT"_s)) {
            db::Rows rows = c.query(statement);
            QVERIFY(rows.atEnd());
        } else {
            const int changed = c.execute(statement);
            QCOMPARE(changed, statement.startsWith(u"INSERT"_s) ? 1 : 0);
        }
    }

    void valuesReadBackExactly()
    {
        Workspace ws;
        const QString tricky = u"Ali'nin Kırtasiyesi; DROP TABLE Firmalar; -- çğıİöşüŞ\r\n'' \"x\" %s 🚗"_s;
        const QString longText(10000, u'ş');
        db::Connection c;
        QCOMPARE(c.execute(db::format(sql::kLinkEkle, tricky, longText, u""_s)), 1);
        QCOMPARE(c.execute(db::format(sql::kGelirGiderEkle, u"Gelir"_s, u"1"_s, u"3"_s, u"2025"_s, u""_s,
                                      u"1250.50"_s, u"Lira"_s, u"0"_s, u"20"_s, u""_s, u""_s, u""_s, u"0"_s)),
                 1);
        QCOMPARE(c.execute(db::format(sql::kHareketGuncelle, 1250.5, u"0"_s, u"20"_s, u""_s, u""_s, u"Lira"_s,
                                      u"1"_s, u"3"_s, u"2025"_s, u"0"_s, 1)),
                 1);

        db::Rows link = c.query(db::withRowId(sql::kLinkDetay, 1));
        QVERIFY(!link.atEnd());
        QCOMPARE(link.text("Baslik"), tricky);
        QCOMPARE(link.text("Link"), longText);
        QCOMPARE(link.text("Notlar"), QString());
        link.moveNext();
        QVERIFY(link.atEnd());

        db::Rows entry = c.query(db::withRowId(sql::kHareketDetay, 1));
        QCOMPARE(entry.text("IslemTutari"), u"1250.500000"_s);
        QCOMPARE(entry.number("IslemTutari"), 1250.5);
        QCOMPARE(entry.text("Ay"), u"3"_s);
        db::Rows found = c.query(QString::fromUtf8(sql::kHareketListesi) + db::format(sql::kHareketAy, 3) +
                                 db::format(sql::kHareketYil, 2025));
        QCOMPARE(found.rowId(), 1);
    }

    void longWalksReadBackExactly()
    {
        // Long walks share repeated texts; what comes back must still be each
        // row's own value: repeated, empty, long, and many distinct ones.
        Workspace ws;
        QStringList expected;
        {
            db::Connection c;
            c.execute(u"BEGIN"_s);
            for (int i = 0; i < 3000; ++i) {
                QString value;
                if (i % 7 == 0)
                    value = QString();
                else if (i % 11 == 0)
                    value = QString(100, u'ğ') + QString::number(i);
                else if (i < 1500)
                    value = u"Şirket %1"_s.arg(i % 40);
                else
                    value = u"Tekil Ünvan %1"_s.arg(i);
                expected << value;
                c.execute(db::format(sql::kLinkEkle, value, u""_s, u""_s));
            }
            c.execute(u"COMMIT"_s);
        }
        db::Connection c;
        QStringList read;
        for (db::Rows rows = c.query(QString::fromUtf8(sql::kLinkListesi)); !rows.atEnd(); rows.moveNext())
            read << rows.text("Baslik");
        QCOMPARE(read, expected);
    }

    void unconvertibleValuesRaiseAnEmptyDescription()
    {
        Workspace ws;
        rawExec("CREATE TABLE T (RowId INTEGER PRIMARY KEY, A TEXT, N TEXT);"
                "INSERT INTO T VALUES (1, NULL, '1,5'); INSERT INTO T VALUES (2, 'x', '12.25')");
        db::Connection c;
        db::Rows rows = c.query(u"SELECT A, N, RowId FROM T"_s);
        const auto expectEmptyError = [](auto read) {
            try {
                read();
                QFAIL("no error");
            } catch (const db::Error &e) {
                QVERIFY(e.description.isEmpty());
                QVERIFY(!e.message.isEmpty());
            }
        };
        expectEmptyError([&] { rows.text("A"); });
        expectEmptyError([&] { rows.number("N"); });
        QCOMPARE(rows.rowId(), 1);
        rows.moveNext();
        QCOMPARE(rows.text("a"), u"x"_s); // names are matched like the provider does, without case
        QCOMPARE(rows.number("N"), 12.25);
        QVERIFY_THROWS_EXCEPTION(db::Error, rows.text("Yok"));
    }

    void aFailingWalkKeepsTheRowsReadSoFar()
    {
        Workspace ws;
        rawExec("INSERT INTO Linkler (Baslik) VALUES ('b'); INSERT INTO Linkler (Baslik) VALUES ('a');"
                "CREATE TABLE L2 (RowId INTEGER PRIMARY KEY, Baslik TEXT);"
                "INSERT INTO L2 VALUES (1, 'Çınar'); INSERT INTO L2 VALUES (2, NULL); INSERT INTO L2 VALUES (3, 'z')");
        RowListModel model(true);
        model.load(QString::fromUtf8(sql::kLinkListesi), "Baslik");
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.row(0).text, u"a"_s);
        QCOMPARE(model.data(model.index(0), Qt::UserRole).toInt(), 2);

        QVERIFY_THROWS_EXCEPTION(db::Error, model.load(u"SELECT Baslik, RowId FROM L2"_s, "Baslik"));
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.row(0).text, u"Çınar"_s);

        // A statement that fails outright leaves the list as it was.
        QVERIFY_THROWS_EXCEPTION(db::Error, model.load(u"SELECT Baslik, RowId FROM Yok"_s, "Baslik"));
        QCOMPARE(model.rowCount(), 1);
    }

    void listsSortInTurkishOrder()
    {
        std::vector<RowListModel::Row> rows;
        for (const QString &text : {u"Zeytin"_s, u"Çiçek"_s, u"ılık"_s, u"Şeker"_s, u"İnci"_s, u"Ülkü"_s, u"Cam"_s,
                                    u"Irmak"_s, u"Ördek"_s, u"Oya"_s, u"Su"_s, u"Uğur"_s, u"iyi"_s, u"Ğ"_s, u"G"_s})
            rows.push_back({text, 0});
        sortTurkish(rows);
        QStringList order;
        for (const auto &row : rows)
            order << row.text;
        QCOMPARE(order, (QStringList{u"Cam"_s, u"Çiçek"_s, u"G"_s, u"Ğ"_s, u"ılık"_s, u"Irmak"_s, u"İnci"_s,
                                     u"iyi"_s, u"Oya"_s, u"Ördek"_s, u"Su"_s, u"Şeker"_s, u"Uğur"_s, u"Ülkü"_s,
                                     u"Zeytin"_s}));
    }

    void sortKeysAgreeWithTheCollator()
    {
        // Random texts over letters of both cases, Turkish letters, digits,
        // blanks and punctuation, one with a character outside the table (the
        // collator then sorts all): every neighbour pair must be in order.
        const QString alphabet = u"aAbBcCçÇgGğĞhHıIiİoOöÖsSşŞuUüÜzZqQwWxX09 .,-'&()/"_s;
        std::mt19937 random(20250301);
        QCollator collator{QLocale(QLocale::Turkish, QLocale::Turkey)};
        for (const QString &extra : {QString(), u"🚗 é"_s}) {
            std::vector<RowListModel::Row> rows;
            for (int i = 0; i < 3000; ++i) {
                QString text;
                for (int n = int(random() % 8); n >= 0; --n)
                    text += alphabet[qsizetype(random() % alphabet.size())];
                rows.push_back({text, i});
            }
            if (!extra.isEmpty())
                rows.push_back({extra, -1});
            sortTurkish(rows);
            for (size_t i = 1; i < rows.size(); ++i)
                QVERIFY2(collator.compare(rows[i - 1].text, rows[i].text) <= 0,
                         qPrintable(rows[i - 1].text + u" > "_s + rows[i].text));
        }
    }

    void badFilesGiveTheErrorBoxAndAreLeftAlone()
    {
        Workspace ws(false);
        // Missing file: nothing is created by a connection.
        QVERIFY_THROWS_EXCEPTION(db::Error, db::Connection());
        QVERIFY(!QFile::exists(u"Norva.db"_s));

        // A file that is not a database is never overwritten.
        QByteArray noise(4096, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + 13) % 251);
        {
            QFile file(u"Norva.db"_s);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(noise);
        }
        QVERIFY(!db::ensureSchema());
        try {
            db::Connection c;
            c.query(QString::fromUtf8(sql::kFirmaTumu));
            QFAIL("no error");
        } catch (const db::Error &e) {
            QVERIFY(e.description.contains(u"not a database"_s));
            db::showError(e);
        }
        const FakeDesktop::Box box = m_desktop->takeBox();
        QCOMPARE(box.caption, u"Norva Rezado 1.0"_s);
        QVERIFY(box.text.contains(u"not a database"_s));
        QCOMPARE(box.buttons, Desktop::Buttons::Ok);
        QFile file(u"Norva.db"_s);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), noise);
    }

    void aMissingTableIsReportedAndCreatedAgainAtStart()
    {
        Workspace ws;
        rawExec("INSERT INTO Linkler (Baslik) VALUES ('kalır'); DROP TABLE Firmalar");
        try {
            db::Connection c;
            c.execute(db::format(sql::kFirmaSil, 1));
            QFAIL("no error");
        } catch (const db::Error &e) {
            QVERIFY(e.description.contains(u"no such table: Firmalar"_s));
            db::showConnectionError(e);
        }
        const QString text = m_desktop->takeBox().text;
        QVERIFY(text.startsWith(u"OLEDB Bağlantı Hatası:\nHata: "_s));
        QVERIFY(text.endsWith(u"\nAçıklama: no such table: Firmalar"_s));

        QVERIFY(db::ensureSchema());
        db::Connection c;
        QVERIFY(c.query(QString::fromUtf8(sql::kFirmaTumu)).atEnd());
        QCOMPARE(c.query(QString::fromUtf8(sql::kLinkListesi)).text("Baslik"), u"kalır"_s);
    }

    void aMissingFolderLeavesTheProgramUsable()
    {
        QString gone;
        {
            Workspace ws(false);
            gone = ws.path();
            QVERIFY(QDir(gone).removeRecursively());
            QVERIFY(!db::ensureSchema());
            QVERIFY_THROWS_EXCEPTION(db::Error, db::Connection());
        }
        QVERIFY(!QFile::exists(gone));
    }

    void aSecondCopyHoldingTheLockIsWaitedFor()
    {
        Workspace ws;
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open("Norva.db", &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO Linkler (Baslik) VALUES ('öbür')", nullptr,
                              nullptr, nullptr),
                 SQLITE_OK);
        // Released after a moment: the write waits and then succeeds.
        std::thread release([other] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
        });
        {
            db::Connection c;
            QCOMPARE(c.execute(db::format(sql::kLinkEkle, u"bu"_s, u""_s, u""_s)), 1);
        }
        release.join();

        // Held past the wait: the engine's "locked" description, nothing written.
        QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        try {
            db::Connection c;
            c.execute(db::format(sql::kLinkEkle, u"yazılmaz"_s, u""_s, u""_s));
            QFAIL("no error");
        } catch (const db::Error &e) {
            QVERIFY(e.description.contains(u"locked"_s));
        }
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        db::Connection c;
        db::Rows rows = c.query(u"SELECT count(*) AS n FROM Linkler"_s);
        QCOMPARE(rows.number("n"), 2.0);
    }

private:
    std::unique_ptr<FakeDesktop> m_desktop;
};

QTEST_MAIN(TestDatabase)
#include "tst_database.moc"
