#include "Workspace.h"

#include "exchange/EInvoice.h"

#include <QtTest>

#include <zip.h>

using namespace Qt::StringLiterals;

namespace {

QString efatura(const QString &name)
{
    return testDataPath(u"exchange/data/efatura/"_s + name);
}

// What was read of an invoice, on one line; the fault and its detail when nothing was.
QString summary(const exchange::InvoiceDocument &document)
{
    static const char *const kFaults[] = {"cannot open", "too large", "broken archive", "archive too large",
                                          "broken xml",  "doctype",   "not an invoice", "missing field"};
    if (!document.invoice)
        return QString::fromLatin1(kFaults[int(document.fault)]) + u' ' + document.detail;
    const exchange::Invoice &i = *document.invoice;
    QStringList vat;
    for (const exchange::InvoiceVat &v : i.vat)
        vat << u"%1:%2:%3"_s.arg(v.percent, v.taxable, v.amount);
    return QStringList{i.profile,
                       i.type,
                       i.number,
                       i.uuid,
                       i.issueDate,
                       i.currency,
                       i.exchangeRate,
                       i.supplier.taxNumber + u' ' + i.supplier.name,
                       i.customer.taxNumber + u' ' + i.customer.name,
                       vat.join(u','),
                       i.withheldVat,
                       i.exemption,
                       i.payable,
                       i.lines.join(u';'),
                       i.returnedInvoice}
        .join(u'|');
}

// A ZIP file of the entries given (a name ending in '/' is a folder), written with libzip.
void writeZip(const QString &path, const QList<std::pair<QString, QByteArray>> &entries)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QVERIFY(archive);
    for (const auto &[name, bytes] : entries) {
        if (name.endsWith(u'/')) {
            QVERIFY(zip_dir_add(archive, name.toUtf8().constData(), ZIP_FL_ENC_UTF_8) >= 0);
            continue;
        }
        zip_source_t *source = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        QVERIFY(zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) >= 0);
    }
    QCOMPARE(zip_close(archive), 0);
}

// Makes every file of a ZIP say, in its local header and in the central directory, that it
// expands to `size` bytes, whatever it holds.
void claimSize(const QString &path, quint32 size)
{
    QByteArray bytes = readFile(path);
    const auto patch = [&](const QByteArray &signature, int offset) {
        for (qsizetype at = bytes.indexOf(signature); at >= 0; at = bytes.indexOf(signature, at + 4))
            qToLittleEndian(size, bytes.data() + at + offset);
    };
    patch(QByteArray("PK\x03\x04", 4), 22);
    patch(QByteArray("PK\x01\x02", 4), 24);
    writeFile(path, bytes);
}

} // namespace

// e-Fatura and e-Arşiv files read as the tax administration's UBL-TR writes them, and every
// file that must not be read refused before it can do harm.
class TestEFatura : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;

private slots:
    void init() { m_ws = std::make_unique<Workspace>(false); }
    void cleanup() { m_ws.reset(); }

    void readsEachKindOfInvoice_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("read");
        QTest::newRow("a sale we made") << u"satis-gelir.xml"_s
                                        << u"TEMELFATURA|SATIS|NRV2025000000012|F47AC10B-58CC-4372-A567-0E02B2C3D479|"
                                           u"2025-03-12|TRY||1234567890 Norva Yazılım Ltd. Şti.|9876543210 Zeytin Gıda "
                                           u"Ltd. Şti.|20:1000.00:200.00|||1200.00|Muhasebe yazılımı yıllık "
                                           u"lisans;Kurulum hizmeti|"_s;
        QTest::newRow("a foreign currency") << u"doviz.xml"_s
                                            << u"TICARIFATURA|SATIS|ANA2025000000077|0B7A1C2D-3E4F-4A5B-8C6D-"
                                               u"7E8F9A0B1C2D|2025-04-01|USD|32.1450|2222222222 Anadolu İthalat "
                                               u"A.Ş.|1234567890 Norva Yazılım Ltd. Şti.|20:1000.00:200.00|||1200.00|"
                                               u"Sunucu donanımı|"_s;
        QTest::newRow("two VAT rates") << u"iki-oran.xml"_s
                                       << u"TEMELFATURA|SATIS|NRV2025000000013|1C9D8E7F-6A5B-4C3D-9E2F-1A0B9C8D7E6F|"
                                          u"2025-03-20|TRY||1234567890 Norva Yazılım Ltd. Şti.|9876543210 Zeytin Gıda "
                                          u"Ltd. Şti.|10:500.00:50.00,20:1000.00:200.00|||1750.00|Eğitim "
                                          u"kitabı;Danışmanlık|"_s;
        QTest::newRow("a return") << u"iade.xml"_s
                                  << u"TEMELFATURA|IADE|ZEY2025000000004|A1B2C3D4-E5F6-4A7B-8C9D-0E1F2A3B4C5D|2025-03-"
                                     u"25|TRY||9876543210 Zeytin Gıda Ltd. Şti.|1234567890 Norva Yazılım Ltd. "
                                     u"Şti.|20:200.00:40.00|||240.00|Kurulum hizmeti|NRV2025000000012"_s;
        QTest::newRow("withholding") << u"tevkifat.xml"_s
                                     << u"TICARIFATURA|TEVKIFAT|TEM2025000000101|C0FFEE00-1234-4ABC-9DEF-0123456789AB|"
                                        u"2025-05-02|TRY||3333333333 Temiz Bina Hizmetleri Ltd.|1234567890 Norva "
                                        u"Yazılım Ltd. Şti.|20:5000.00:1000.00|500.00||5500.00|Temizlik hizmeti "
                                        u"(Nisan)|"_s;
        QTest::newRow("an exemption") << u"istisna.xml"_s
                                      << u"TEMELFATURA|ISTISNA|NRV2025000000020|2E4F6A8C-0B1D-4E3F-A5C7-E9B1D3F5A7C9|"
                                         u"2025-07-01|TRY||1234567890 Norva Yazılım Ltd. Şti.|9876543210 Zeytin Gıda "
                                         u"Ltd. Şti.|0:4000.00:0.00||301 11/1-a Mal ihracatı|4000.00|Muhasebe "
                                         u"yazılımı (yurt dışı)|"_s;
        QTest::newRow("e-Arşiv of a person") << u"earsiv-kisi.xml"_s
                                             << u"EARSIVFATURA|SATIS|NRA2025000000031|9E8D7C6B-5A49-4382-B1A0-"
                                                u"F9E8D7C6B5A4|2025-06-15|TRY||1234567890 Norva Yazılım Ltd. "
                                                u"Şti.|12345678901 Ayşe Yılmaz|20:250.00:50.00|||300.00|Yazılım "
                                                u"eğitimi (çevrimiçi)|"_s;
        // The XAdES block and the signatory's party are not the invoice's.
        QTest::newRow("signed") << u"imzali.xml"_s
                                << u"TICARIFATURA|SATIS|CAM2025000000346|7D3E9F10-2B4C-4D5E-8F6A-7B8C9D0E1F2A|2025-03-"
                                   u"06|TRY||1111111111 Cam Dünyası A.Ş.|1234567890 Norva Yazılım Ltd. "
                                   u"Şti.|20:1250.00:250.00|||1500.00|Lamine cam 10 mm|"_s;
        QTest::newRow("cut short") << u"bozuk.xml"_s << u"broken xml 93"_s;
        QTest::newRow("entity bomb") << u"entity-bomb.xml"_s << u"doctype "_s;
    }
    void readsEachKindOfInvoice()
    {
        QFETCH(QString, file);
        const std::vector<exchange::InvoiceDocument> read = exchange::readInvoiceFiles({efatura(file)});
        QCOMPARE(read.size(), 1u);
        QCOMPARE(read[0].source, file);
        QTEST(summary(read[0]), "read");
    }

    // Where a party is, its address and tax office come with it; a person's name is put together.
    void partiesComeWhole()
    {
        const exchange::InvoiceDocument read =
            exchange::readInvoice(testData(u"exchange/data/efatura/earsiv-kisi.xml"_s));
        QVERIFY(read.invoice);
        const exchange::InvoiceParty &person = read.invoice->customer;
        QCOMPARE(person, (exchange::InvoiceParty{u"12345678901"_s, u"Ayşe Yılmaz"_s,
                                                 u"Çiçek Sokak No:5/3, 06510 Kadıköy, İstanbul"_s, u"Kadıköy"_s}));
    }

    void refusesWhatIsNoInvoice_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("read");
        const QByteArray invoice = testData(u"exchange/data/efatura/satis-gelir.xml"_s);
        QTest::newRow("empty") << QByteArray() << u"broken xml 1"_s;
        QTest::newRow("not XML") << QByteArray("%PDF-1.7\n") << u"broken xml 1"_s;
        QTest::newRow("another UBL document")
            << QByteArray("<ApplicationResponse xmlns=\"urn:oasis:names:specification:ubl:schema:xsd:"
                          "ApplicationResponse-2\"/>")
            << u"not an invoice ApplicationResponse"_s;
        QTest::newRow("an invoice without its namespace")
            << QByteArray("<Invoice><ID>1</ID></Invoice>") << u"not an invoice Invoice"_s;
        QTest::newRow("an entity never declared")
            << QByteArray(invoice).replace("NRV2025000000012", "&xxe;") << u"broken xml 11"_s;
        QTest::newRow("an external DTD") << QByteArray(invoice).replace(
                                                "<Invoice ",
                                                "<!DOCTYPE Invoice SYSTEM \"http://127.0.0.1:9/x.dtd\">\n<Invoice ")
                                         << u"doctype "_s;
        QTest::newRow("no UUID")
            << QByteArray(invoice).replace("<cbc:UUID>", "<cbc:Note>").replace("</cbc:UUID>", "</cbc:Note>")
            << u"missing field cbc:UUID"_s;
        QTest::newRow("no payable amount")
            << QByteArray(invoice).replace("PayableAmount", "PrepaidAmount") << u"missing field cbc:PayableAmount"_s;
        QTest::newRow("a customer without VKN or TCKN")
            << QByteArray(invoice).replace("schemeID=\"VKN\">9876543210", "schemeID=\"MUSTERINO\">9876543210")
            << u"missing field cac:AccountingCustomerParty"_s;
    }
    void refusesWhatIsNoInvoice()
    {
        QFETCH(QByteArray, xml);
        QTEST(summary(exchange::readInvoice(xml)), "read");
    }

    // A ZIP's invoices are read wherever they are in it; its folders and other files are passed over.
    void readsTheInvoicesOfAZip()
    {
        const QString zip = m_ws->path() + u"/mart.zip"_s;
        writeZip(zip, {{u"Mart/"_s, {}},
                       {u"Mart/satis-gelir.xml"_s, testData(u"exchange/data/efatura/satis-gelir.xml"_s)},
                       {u"Mart/satis-gelir.pdf"_s, QByteArray("%PDF-1.7\n")},
                       {u"IADE.XML"_s, testData(u"exchange/data/efatura/iade.xml"_s)},
                       {u"bozuk.xml"_s, testData(u"exchange/data/efatura/bozuk.xml"_s)}});
        QStringList read;
        for (const exchange::InvoiceDocument &document : exchange::readInvoiceFiles({zip, efatura(u"doviz.xml"_s)}))
            read << document.source + u' ' +
                        (document.invoice ? summary(document).section(u'|', 2, 2) : summary(document));
        QCOMPARE(read, (QStringList{u"mart.zip: Mart/satis-gelir.xml NRV2025000000012"_s,
                                    u"mart.zip: IADE.XML ZEY2025000000004"_s, u"mart.zip: bozuk.xml broken xml 93"_s,
                                    u"doviz.xml ANA2025000000077"_s}));
    }

    // Nothing a ZIP or a file says of its size is taken on trust, and too much is never read.
    void refusesWhatIsTooLarge_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("read");
        QTest::newRow("a ZIP bomb: files that expand past what they say") << u"bomb"_s << u"broken archive "_s;
        QTest::newRow("a ZIP that says it expands past 200 MB") << u"claims"_s << u"archive too large "_s;
        QTest::newRow("a ZIP of more than 10,000 files") << u"many"_s << u"archive too large "_s;
        QTest::newRow("an invoice of more than 20 MB in a ZIP") << u"large entry"_s << u"too large "_s;
        QTest::newRow("an invoice file of more than 20 MB") << u"large file"_s << u"too large "_s;
        QTest::newRow("not a ZIP") << u"not zip"_s << u"broken archive "_s;
        QTest::newRow("a file that is not there") << u"missing"_s << u"cannot open "_s;
    }
    void refusesWhatIsTooLarge()
    {
        QFETCH(QString, kind);
        QString path = m_ws->path() + u"/faturalar.zip"_s;
        const QByteArray invoice = testData(u"exchange/data/efatura/satis-gelir.xml"_s);
        if (kind == "bomb"_L1) {
            // 21 MB of blanks after the invoice: a few kilobytes packed, said to be the invoice's size.
            writeZip(path, {{u"a.xml"_s, invoice + QByteArray(21 * 1024 * 1024, ' ')}});
            claimSize(path, quint32(invoice.size()));
        } else if (kind == "claims"_L1) {
            QList<std::pair<QString, QByteArray>> entries;
            for (int i = 0; i < 11; ++i)
                entries.append({u"%1.xml"_s.arg(i), invoice});
            writeZip(path, entries);
            claimSize(path, 19 * 1024 * 1024);
        } else if (kind == "many"_L1) {
            QList<std::pair<QString, QByteArray>> entries;
            for (int i = 0; i <= 10'000; ++i)
                entries.append({u"%1.txt"_s.arg(i), QByteArray()});
            writeZip(path, entries);
        } else if (kind == "large entry"_L1) {
            writeZip(path, {{u"a.xml"_s, QByteArray(20 * 1024 * 1024 + 1, ' ')}});
        } else if (kind == "large file"_L1) {
            path = m_ws->path() + u"/buyuk.xml"_s;
            writeFile(path, invoice + QByteArray(20 * 1024 * 1024, ' '));
        } else if (kind == "not zip"_L1) {
            writeFile(path, invoice);
        } else {
            path = m_ws->path() + u"/yok.xml"_s;
        }
        const std::vector<exchange::InvoiceDocument> read = exchange::readInvoiceFiles({path});
        QCOMPARE(read.size(), 1u);
        QTEST(summary(read[0]), "read");
    }
};

QTEST_GUILESS_MAIN(TestEFatura)
#include "tst_efatura.moc"
