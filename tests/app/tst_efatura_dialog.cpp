#include "DialogTest.h"
#include "DialogWidgets.h"

#include "app/CMainFrame.h"
#include "app/CNorvaMuhasebe10App.h"
#include "app/CommandLine.h"
#include "app/EInvoiceDialog.h"

#include <QComboBox>
#include <QMimeData>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QString efatura(const QString &name)
{
    return testDataPath(u"exchange/data/efatura/"_s + name);
}

const QString kCaption = u"e-Fatura Al"_s;

} // namespace

// "e-Fatura Al" shows the invoices before anything is written and records them through the
// use case; the terminal does the same from its arguments.
class TestEFaturaDialog : public DialogTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startCase();
        rawExec("INSERT INTO GGKategori (IslemTuru, KalemAdi) VALUES ('Gelir', 'Yazılım Satışı'), ('Gelir', 'Eğitim'), "
                "('Gider', 'Malzeme')");
    }
    void cleanup() { endCase(); }

    // Our tax number is asked for before anything is shown as income or expense, kept by
    // "Kaydet", and there when the dialog opens again; the category chosen in a row is recorded.
    void previewThenRecord()
    {
        {
            EInvoiceDialog dialog(
                {efatura(u"satis-gelir.xml"_s), efatura(u"satis-gider.xml"_s), efatura(u"bozuk.xml"_s)});
            QCOMPARE(textOf(dialog, "ozet"), taxNumberWanted());
            QVERIFY(!enabled(dialog, "kaydet"));
            setText(dialog, "vergiNumarasi", u"1234567890"_s);
            QCOMPARE(rowsOf(dialog, "faturalar"),
                     (QStringList{
                         u"12.03.2025|NRV2025000000012|Zeytin Gıda Ltd. Şti.|9876543210|Gelir|1200.00|Lira|20||Yeni"_s,
                         u"05.03.2025|CAM2025000000345|Cam Dünyası A.Ş.|1111111111|Gider|3000.00|Lira|20||Yeni"_s,
                         u"|bozuk.xml||||||||Okunamadı: XML bozuk (93. satır)"_s}));
            QCOMPARE(textOf(dialog, "ozet"), u"3 fatura: 2 yeni, 0 zaten kayıtlı, 1 okunamadı."_s);
            QCOMPARE(rowsOf(dialog, "kategori0"), (QStringList{u"Yazılım Satışı"_s, u"Eğitim"_s}));
            setText(dialog, "kategori0", u"Eğitim"_s);
            click(dialog, "kaydet");
            expectBox(u"2 fatura kaydedildi, 2 yeni firma eklendi."_s, Desktop::Icon::Information, kCaption);
            QCOMPARE(
                rawRows(u"SELECT IslemTuru, IslemKaynagi, IslemTutari, IslemCesidi, FaturaNo FROM GelirGider ORDER "
                        u"BY RowId"_s),
                (QStringList{u"Gelir|Zeytin Gıda Ltd. Şti.|1200.00|Eğitim|NRV2025000000012"_s,
                             u"Gider|Cam Dünyası A.Ş.|3000.00|Malzeme|CAM2025000000345"_s}));
            QCOMPARE(rowsOf(dialog, "faturalar", 10).value(0).section(u'|', 8), u"Eğitim|Zaten kayıtlı"_s);
            QVERIFY(!enabled(dialog, "kaydet"));
        }
        EInvoiceDialog again({efatura(u"iki-oran.xml"_s)});
        QCOMPARE(textOf(again, "vergiNumarasi"), u"1234567890"_s);
        QCOMPARE(textOf(again, "kategori0"), u"Eğitim"_s); // remembered for the company
    }

    // "Kaydet" with no tax number says what to type, and writes nothing.
    void noTaxNumberNoRecord()
    {
        EInvoiceDialog dialog({efatura(u"satis-gelir.xml"_s)});
        setText(dialog, "vergiNumarasi", u"12345"_s);
        widget(dialog, "kaydet")->setEnabled(true); // as after a preview for a number since cut short
        click(dialog, "kaydet");
        expectBox(taxNumberWanted(), Desktop::Icon::Error, kCaption);
        QCOMPARE(rawRows(u"SELECT count(*) FROM GelirGider"_s), QStringList{u"0"_s});
    }

    // Invoice files dropped on the main window open the dialog on them; other files are not taken.
    void droppedFilesOpenTheDialog()
    {
        CNorvaMuhasebe10App app;
        QVERIFY(app.InitInstance());
        CMainFrame &frame = *app.mainFrame();
        QStringList shown;
        m_desktop->onModal = [&](QDialog &dialog) {
            if (dialog.findChild<QWidget *>(u"faturalar"_s))
                shown = rowsOf(dialog, "faturalar", 2);
        };
        const auto drop = [&](const QStringList &paths) {
            QMimeData data;
            QList<QUrl> urls;
            for (const QString &path : paths)
                urls << QUrl::fromLocalFile(path);
            data.setUrls(urls);
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(&frame, &enter);
            QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(&frame, &dropped);
            QCoreApplication::processEvents();
            return enter.isAccepted();
        };
        QVERIFY(!drop({testDataPath(u"exchange/data/Norva.mdb"_s)}));
        QVERIFY(m_desktop->modalDialogs.isEmpty());
        QVERIFY(drop({efatura(u"satis-gelir.xml"_s), testDataPath(u"exchange/data/Norva.mdb"_s)}));
        QTRY_COMPARE(m_desktop->modalDialogs, QStringList{u"EInvoiceDialog"_s});
        QCOMPARE(shown, QStringList{u"12.03.2025|NRV2025000000012"_s});
        app.ExitInstance();
    }

    // The terminal prints the preview, records only with --yes, and fails only when nothing was read.
    void commandLine_data()
    {
        QTest::addColumn<QString>("arguments"); // ';' between runs
        QTest::addColumn<QString>("said");
        QTest::newRow("no tax number kept or given")
            << u"--import-efatura satis-gelir.xml"_s << u"exit 1: "_s + taxNumberWanted() + u" (--vkn NUMARA)\n"_s;
        QTest::newRow("not a tax number") << u"--import-efatura satis-gelir.xml --vkn 12-34"_s
                                          << u"exit 1: --vkn bir vergi numarası ister: 10 haneli VKN ya da 11 haneli "
                                             u"TCKN.\n"_s;
        QTest::newRow("a preview writes nothing")
            << u"--import-efatura satis-gelir.xml bozuk.xml --vkn 1234567890"_s
            << u"exit 0: 12.03.2025  NRV2025000000012  Gelir  Zeytin Gıda Ltd. Şti. (9876543210)  1200.00 Lira  KDV "
               u"%20  Yazılım Satışı  Yeni\nbozuk.xml: Okunamadı: XML bozuk (93. satır)\n2 fatura: 1 yeni, 0 zaten "
               u"kayıtlı, 1 okunamadı.\nYeni faturaları kaydetmek için --yes ekleyin.\n0 kayıt"_s;
        QTest::newRow("recorded with --yes, then known")
            << u"--import-efatura satis-gider.xml --vkn 1234567890 --yes;--import-efatura satis-gider.xml"_s
            << u"exit 0: 05.03.2025  CAM2025000000345  Gider  Cam Dünyası A.Ş. (1111111111)  3000.00 Lira  KDV %20  "
               u"Malzeme  Yeni\n1 fatura: 1 yeni, 0 zaten kayıtlı, 0 okunamadı.\n1 fatura kaydedildi, 1 yeni firma "
               u"eklendi.\nexit 0: 05.03.2025  CAM2025000000345  Gider  Cam Dünyası A.Ş. (1111111111)  3000.00 Lira  "
               u"KDV %20  Zaten kayıtlı\n1 fatura: 0 yeni, 1 zaten kayıtlı, 0 okunamadı.\n1 kayıt"_s;
        QTest::newRow("nothing read") << u"--import-efatura bozuk.xml entity-bomb.xml --vkn 1234567890 --yes"_s
                                      << u"exit 1: Hiçbir fatura okunamadı.\nbozuk.xml: Okunamadı: XML bozuk (93. "
                                         u"satır)\nentity-bomb.xml: Okunamadı: DOCTYPE içeriyor; güvenlik için "
                                         u"okunmadı\n2 fatura: 0 yeni, 0 zaten kayıtlı, 2 okunamadı.\n"_s;
    }
    void commandLine()
    {
        QFETCH(QString, arguments);
        QString said;
        for (const QString &run : arguments.split(u';')) {
            QStringList args{u"norva-rezado"_s};
            for (const QString &argument : run.split(u' '))
                args << (argument.endsWith(u".xml"_s) ? efatura(argument) : argument);
            QVERIFY(commandline::wanted(args));
            QString in, out, err;
            QTextStream inStream(&in), outStream(&out), errStream(&err);
            said += u"exit %1: "_s.arg(commandline::run(args, inStream, outStream, errStream)) + err + out;
        }
        if (said.startsWith(u"exit 0"_s))
            said += rawRows(u"SELECT count(*) FROM GelirGider"_s).value(0) + u" kayıt"_s;
        QTEST(said, "said");
    }
};

QTEST_MAIN(TestEFaturaDialog)
#include "tst_efatura_dialog.moc"
