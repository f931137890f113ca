#include "Workspace.h"

#include "core/Entries.h"
#include "core/InvoiceImport.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString kOurs = u"1234567890"_s;

QString efatura(const QString &name)
{
    return testDataPath(u"exchange/data/efatura/"_s + name);
}

// A row of the preview on one line: its state, then what would be recorded ('+' after a company
// not known yet), its content last; or why it is unreadable.
QString lineOf(const core::InvoiceImport::Row &row)
{
    static const char *const kProblems[] = {"cannot open", "too large", "broken archive", "archive too large",
                                            "broken xml",  "doctype",   "not an invoice", "missing field",
                                            "not ours",    "both ours", "currency",       "date",
                                            "amount",      "rate",      "VAT rate"};
    if (row.state == core::InvoiceImport::State::Unreadable)
        return u"unreadable %1 %2"_s.arg(QString::fromLatin1(kProblems[int(row.problem)]), row.detail).trimmed();
    const Entry &e = row.entry;
    return QStringList{row.state == core::InvoiceImport::State::New ? u"new"_s : u"recorded"_s,
                       e.kind,
                       u"%1.%2.%3"_s.arg(e.day, e.month, e.year),
                       e.invoice,
                       e.source + (row.newCompany ? u"+"_s : QString()),
                       e.amount,
                       e.currency,
                       e.rate,
                       e.vatRate,
                       e.category,
                       e.content}
        .join(u'|');
}

QStringList linesOf(const std::vector<core::InvoiceImport::Row> &rows)
{
    QStringList lines;
    for (const core::InvoiceImport::Row &row : rows)
        lines << lineOf(row);
    return lines;
}

std::vector<core::InvoiceImport::Row> previewOf(const QStringList &files, const QString &own = kOurs)
{
    QStringList paths;
    for (const QString &file : files)
        paths << (file.startsWith(u'/') ? file : efatura(file));
    return core::InvoiceImport(paths).preview(own);
}

} // namespace

// Invoices become entries and companies through the same checks as the dialogs, once each.
class TestCoreInvoices : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;

private slots:
    void init()
    {
        m_ws = std::make_unique<Workspace>();
        rawExec("INSERT INTO GGKategori (IslemTuru, KalemAdi) VALUES ('Gelir', 'Yazılım Satışı'), ('Gelir', 'Eğitim'), "
                "('Gider', 'Malzeme'), ('Gider', 'Hizmet Alımı')");
        rawExec("INSERT INTO Firmalar (FirmaAdi, VergiNumarasi, CalismaTuru) VALUES ('Cam Dünyası', '1111111111', "
                "'Tedarikçi')");
    }
    void cleanup() { m_ws.reset(); }

    // The kind follows the money for every type of invoice; what the add dialog would refuse is
    // shown unreadable with the reason.
    void previewTellsEachInvoice_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("change"); // "from => to" in the file's text first
        QTest::addColumn<QString>("own");
        QTest::addColumn<QString>("line");
        const auto row = [](const char *name, const char *file, const QString &change, const QString &own,
                            const QString &line) {
            QTest::newRow(name) << QString::fromLatin1(file) << change << own << line;
        };
        row("a sale we made", "satis-gelir.xml", {}, kOurs,
            u"new|Gelir|12.3.2025|NRV2025000000012|Zeytin Gıda Ltd. Şti.+|1200.00|Lira|0|20|Yazılım Satışı|Muhasebe "
            u"yazılımı yıllık lisans, Kurulum hizmeti"_s);
        row("a purchase from a company known by its tax number", "satis-gider.xml", {}, kOurs,
            u"new|Gider|5.3.2025|CAM2025000000345|Cam Dünyası|3000.00|Lira|0|20|Malzeme|Temperli cam 8 mm"_s);
        row("a foreign currency at the invoice's rate", "doviz.xml", {}, kOurs,
            u"new|Gider|1.4.2025|ANA2025000000077|Anadolu İthalat A.Ş.+|1200.00|Dolar|32.1450|20|Malzeme|Sunucu "
            u"donanımı"_s);
        row("two VAT rates: the larger base's stored, both noted", "iki-oran.xml", {}, kOurs,
            u"new|Gelir|20.3.2025|NRV2025000000013|Zeytin Gıda Ltd. Şti.+|1750.00|Lira|0|20|Yazılım Satışı|KDV "
            u"oranları: %10 50.00, %20 200.00; Eğitim kitabı, Danışmanlık"_s);
        row("a return to us is an expense", "iade.xml", {}, kOurs,
            u"new|Gider|25.3.2025|ZEY2025000000004|Zeytin Gıda Ltd. Şti.+|240.00|Lira|0|20|Malzeme|İade faturası "
            u"(iade edilen fatura: NRV2025000000012); Kurulum hizmeti"_s);
        row("withholding: the payable amount, the VAT withheld noted", "tevkifat.xml", {}, kOurs,
            u"new|Gider|2.5.2025|TEM2025000000101|Temiz Bina Hizmetleri Ltd.+|5500.00|Lira|0|20|Malzeme|Tevkifatlı "
            u"fatura, tevkif edilen KDV: 500.00; Temizlik hizmeti (Nisan)"_s);
        row("an exemption", "istisna.xml", {}, kOurs,
            u"new|Gelir|1.7.2025|NRV2025000000020|Zeytin Gıda Ltd. Şti.+|4000.00|Lira|0|0|Yazılım Satışı|KDV "
            u"istisnası: 301 11/1-a Mal ihracatı; Muhasebe yazılımı (yurt dışı)"_s);
        row("an e-Arşiv invoice to a person", "earsiv-kisi.xml", {}, kOurs,
            u"new|Gelir|15.6.2025|NRA2025000000031|Ayşe Yılmaz+|300.00|Lira|0|20|Yazılım Satışı|Yazılım eğitimi "
            u"(çevrimiçi)"_s);
        row("signed", "imzali.xml", {}, kOurs,
            u"new|Gider|6.3.2025|CAM2025000000346|Cam Dünyası|1500.00|Lira|0|20|Malzeme|Lamine cam 10 mm"_s);
        row("a person's tax number as ours", "earsiv-kisi.xml", {}, u"12345678901"_s,
            u"new|Gider|15.6.2025|NRA2025000000031|Norva Yazılım Ltd. Şti.+|300.00|Lira|0|20|Malzeme|Yazılım "
            u"eğitimi (çevrimiçi)"_s);
        row("our tax number on neither side", "satis-gelir.xml", {}, u"5555555555"_s, u"unreadable not ours"_s);
        row("our tax number on both sides", "satis-gelir.xml", u"9876543210 => 1234567890"_s, kOurs,
            u"unreadable both ours"_s);
        row("another currency", "satis-gelir.xml", u">TRY< => >GBP<"_s, kOurs, u"unreadable currency GBP"_s);
        row("a foreign currency without a rate", "doviz.xml", u"32.1450 => "_s, kOurs, u"unreadable rate"_s);
        row("an amount in fractions of a kuruş", "satis-gelir.xml", u">1200.00< => >1200.005<"_s, kOurs,
            u"unreadable amount 1200.005"_s);
        row("a VAT percent with a fraction", "satis-gider.xml", u">20.00< => >20.5<"_s, kOurs,
            u"unreadable VAT rate 20.5"_s);
        row("no such day", "satis-gelir.xml", u"2025-03-12 => 2025-02-30"_s, kOurs, u"unreadable date 2025-02-30"_s);
        row("broken XML", "bozuk.xml", {}, kOurs, u"unreadable broken xml 93"_s);
        row("an entity bomb", "entity-bomb.xml", {}, kOurs, u"unreadable doctype"_s);
    }
    void previewTellsEachInvoice()
    {
        QFETCH(QString, file);
        QFETCH(QString, change);
        QFETCH(QString, own);
        QString path = efatura(file);
        if (!change.isEmpty()) {
            path = m_ws->path() + u"/fatura.xml"_s;
            writeFile(path,
                      testData(u"exchange/data/efatura/"_s + file)
                          .replace(change.section(u" => "_s, 0, 0).toUtf8(), change.section(u" => "_s, 1).toUtf8()));
        }
        const QStringList lines = linesOf(previewOf({path}, own));
        QCOMPARE(lines.size(), 1);
        QTEST(lines[0], "line");
    }

    // "Kaydet": one entry per new invoice, a company for each party not known, a customer we
    // also buy from made both; the unreadable ones left out.
    void recordsTheNewOnesWithTheirCompanies()
    {
        const auto rows = previewOf({u"satis-gelir.xml"_s, u"satis-gider.xml"_s, u"doviz.xml"_s, u"earsiv-kisi.xml"_s,
                                     u"iade.xml"_s, u"bozuk.xml"_s});
        const core::InvoiceImport::Outcome outcome = core::InvoiceImport::record(rows, kOurs);
        QVERIFY(outcome.result.isDone());
        QCOMPARE(outcome.entries, 5);
        QCOMPARE(outcome.companies, 3);
        QCOMPARE(rawRows(u"SELECT FirmaAdi, FirmaAdresi, VergiDairesi, VergiNumarasi, CalismaTuru FROM Firmalar "
                         u"ORDER BY RowId"_s),
                 (QStringList{u"Cam Dünyası|||1111111111|Tedarikçi"_s,
                              u"Zeytin Gıda Ltd. Şti.|Kordon Caddesi No:45, 06510 Konak, İzmir|Konak|9876543210|"
                              u"Tedarikçi & Müşteri"_s,
                              u"Anadolu İthalat A.Ş.|Liman Yolu No:3, 06510 Mersin Merkez, Mersin|Uray|2222222222|"
                              u"Tedarikçi"_s,
                              u"Ayşe Yılmaz|Çiçek Sokak No:5/3, 06510 Kadıköy, İstanbul|Kadıköy|12345678901|"
                              u"Müşteri"_s}));
        QCOMPARE(rawRows(u"SELECT IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, GecerliKur, "
                         u"KdvOrani, IslemCesidi, IslemNotu, FaturaNo FROM GelirGider ORDER BY RowId"_s),
                 (QStringList{u"Gelir|12|3|2025|Zeytin Gıda Ltd. Şti.|1200.00|Lira|0|20|Yazılım Satışı|e-Fatura "
                              u"ETTN: F47AC10B-58CC-4372-A567-0E02B2C3D479|NRV2025000000012"_s,
                              u"Gider|5|3|2025|Cam Dünyası|3000.00|Lira|0|20|Malzeme|e-Fatura ETTN: "
                              u"6F1E2D3C-4B5A-4678-9ABC-DEF012345678|CAM2025000000345"_s,
                              u"Gider|1|4|2025|Anadolu İthalat A.Ş.|1200.00|Dolar|32.1450|20|Malzeme|e-Fatura ETTN: "
                              u"0B7A1C2D-3E4F-4A5B-8C6D-7E8F9A0B1C2D|ANA2025000000077"_s,
                              u"Gelir|15|6|2025|Ayşe Yılmaz|300.00|Lira|0|20|Yazılım Satışı|e-Arşiv ETTN: "
                              u"9E8D7C6B-5A49-4382-B1A0-F9E8D7C6B5A4|NRA2025000000031"_s,
                              u"Gider|25|3|2025|Zeytin Gıda Ltd. Şti.|240.00|Lira|0|20|Malzeme|e-Fatura ETTN: "
                              u"A1B2C3D4-E5F6-4A7B-8C9D-0E1F2A3B4C5D|ZEY2025000000004"_s}));
        // Our tax number is kept for every desk: the next import asks for it no more.
        QCOMPARE(core::InvoiceImport::ownTaxNumber(), kOurs);
    }

    // An invoice is recorded once: by its UUID, or by its company and number (typed in by hand,
    // say), across imports and within one; once its entry is deleted it may come in again.
    void duplicatesAcrossImports()
    {
        QVERIFY(core::InvoiceImport::record(previewOf({u"satis-gelir.xml"_s}), kOurs).result.isDone());
        QVERIFY(core::Entries()
                    .add({-1,
                          u"Gider"_s,
                          u"5"_s,
                          u"3"_s,
                          u"2025"_s,
                          u"Cam Dünyası"_s,
                          u"3000"_s,
                          u"Lira"_s,
                          u"0"_s,
                          u"20"_s,
                          u"Malzeme"_s,
                          {},
                          {},
                          u"CAM2025000000345"_s})
                    .isDone());
        const QString again = m_ws->path() + u"/again.xml"_s; // the same invoice under another file name
        writeFile(again, testData(u"exchange/data/efatura/satis-gelir.xml"_s));
        const auto states = [](const std::vector<core::InvoiceImport::Row> &rows) {
            QStringList states;
            for (const core::InvoiceImport::Row &row : rows)
                states << lineOf(row).section(u'|', 0, 0) + u' ' + row.entry.invoice;
            return states;
        };
        QCOMPARE(states(previewOf(
                     {u"satis-gelir.xml"_s, u"satis-gider.xml"_s, u"iki-oran.xml"_s, again, u"iki-oran.xml"_s})),
                 (QStringList{u"recorded NRV2025000000012"_s, u"recorded CAM2025000000345"_s, u"new NRV2025000000013"_s,
                              u"recorded NRV2025000000012"_s, u"recorded NRV2025000000013"_s}));
        QVERIFY(core::Entries().remove(1).isDone());
        QCOMPARE(states(previewOf({u"satis-gelir.xml"_s})), QStringList{u"new NRV2025000000012"_s});
        QCOMPARE(core::InvoiceImport::record(previewOf({u"satis-gelir.xml"_s}), kOurs).entries, 1);
        QCOMPARE(rawRows(u"SELECT count(*) FROM Invoices"_s), QStringList{u"1"_s});
    }

    // Two desks record the same files: the second adds nothing, and the table itself refuses a UUID twice.
    void aSecondDeskRecordsNothingTwice()
    {
        const auto rows = previewOf({u"satis-gelir.xml"_s, u"iade.xml"_s});
        QCOMPARE(core::InvoiceImport::record(rows, kOurs).entries, 2);
        const core::InvoiceImport::Outcome second = core::InvoiceImport::record(rows, kOurs);
        QCOMPARE(second.entries, 0);
        QCOMPARE(second.recordedMeanwhile, 2);
        QCOMPARE(rawRows(u"SELECT count(*) FROM GelirGider"_s), QStringList{u"2"_s});
        QCOMPARE(rawRows(u"SELECT count(*) FROM Firmalar"_s), QStringList{u"2"_s});
        QVERIFY_THROWS_EXCEPTION(db::Error, [] {
            db::Connection connection;
            connection.execute("INSERT INTO Invoices (Uuid, EntryRowId, InvoiceNumber) VALUES "
                               "('F47AC10B-58CC-4372-A567-0E02B2C3D479', 9, 'X')");
        }());
    }

    // The category chosen for a company is offered for its next invoice of that kind.
    void theCategoryChosenIsRemembered()
    {
        auto rows = previewOf({u"satis-gelir.xml"_s});
        rows[0].entry.category = u"Eğitim"_s;
        QVERIFY(core::InvoiceImport::record(rows, kOurs).result.isDone());
        QCOMPARE(previewOf({u"iki-oran.xml"_s, u"iade.xml"_s})[0].entry.category, u"Eğitim"_s);
        QCOMPARE(previewOf({u"iade.xml"_s})[0].entry.category, u"Malzeme"_s); // the other kind's stays its first
    }

    // One entry refused (its category deleted meanwhile) records nothing of the files.
    void oneRefusalRecordsNothing()
    {
        auto rows = previewOf({u"satis-gelir.xml"_s, u"doviz.xml"_s});
        rawExec("DELETE FROM GGKategori WHERE KalemAdi = 'Malzeme'");
        const core::InvoiceImport::Outcome outcome = core::InvoiceImport::record(rows, kOurs);
        QVERIFY(outcome.result.isRefused());
        QCOMPARE(outcome.result.refusal, core::InvoiceImport::Refusal::Entry);
        QCOMPARE(outcome.entryRefusal, core::EntryRefusal::Category);
        QCOMPARE(outcome.row, 1);
        QCOMPARE(rawRows(u"SELECT (SELECT count(*) FROM GelirGider) + (SELECT count(*) FROM Invoices) + (SELECT "
                         u"count(*) FROM InvoiceSettings) + (SELECT count(*) FROM Firmalar)"_s),
                 QStringList{u"1"_s});
        QCOMPARE(core::InvoiceImport::record(rows, u"123"_s).result.refusal, core::InvoiceImport::Refusal::TaxNumber);
    }
};

QTEST_GUILESS_MAIN(TestCoreInvoices)
#include "tst_core_invoices.moc"
