#include "DialogTest.h"

#include "data/MonthlyReport.h"
#include "ledger/Rapor.h"
#include "ledger/ReportPages.h"
#include "ledger/RtfWriter.h"

#include <QAction>
#include <QDir>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QTextEdit *reportEdit(QDialog &dialog)
{
    return dialog.findChild<QTextEdit *>(u"rapor"_s);
}

// A report as the entries table hands it over; a text of no month without month and year.
MonthlyReport reportOf(const QString &text, const QString &month = {}, const QString &year = {})
{
    MonthlyReport report;
    report.monthName = month;
    report.yearText = year;
    report.text = text;
    return report;
}

void select(QTextEdit *edit, int from, int to)
{
    QTextCursor cursor(edit->document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
}

// Selects [from, to) of the report and triggers the toolbar action named.
void apply(Rapor &dialog, const char *action, int from, int to)
{
    select(reportEdit(dialog), from, to);
    dialog.findChild<QAction *>(QString::fromLatin1(action))->trigger();
}

// How a range of the document looks: "bold", "normal underline #ff0000", ... or "mixed".
QString looks(QTextDocument *document, int from, int to)
{
    QString uniform;
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() < to; block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.position() + f.length() <= from || f.position() >= to)
                continue;
            const QTextCharFormat c = f.charFormat();
            QString look = c.fontWeight() > QFont::Normal ? u"bold"_s : u"normal"_s;
            look += (c.fontUnderline() ? u" underline"_s : u""_s) + (c.fontStrikeOut() ? u" strike"_s : u""_s) +
                    (c.fontItalic() ? u" italic"_s : u""_s);
            if (c.foreground().style() != Qt::NoBrush)
                look += u' ' + c.foreground().color().name();
            if (!uniform.isEmpty() && look != uniform)
                return u"mixed"_s;
            uniform = look;
        }
    }
    return uniform;
}

// What a poppler tool (scripts/setup installs them) prints about a file.
QString poppler(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The rows of a text that hold words, each with its spaces made single.
QStringList wordRows(const QString &text)
{
    QStringList rows;
    for (const QString &row : text.split(u'\n'))
        if (const QString words = row.simplified(); !words.isEmpty())
            rows << words;
    return rows;
}

// The rows of a PDF's text, and its page footers apart.
std::pair<QStringList, QStringList> pdfText(const QString &path)
{
    static const QRegularExpression footer(u"^Sayfa \\d+ / \\d+$"_s);
    QStringList rows, footers;
    for (const QString &row : wordRows(poppler(u"pdftotext"_s, {path, u"-"_s})))
        (footer.match(row).hasMatch() ? footers : rows) << row;
    return {rows, footers};
}

// The inks of the upper half of a PDF's first page, told apart by hue: the
// edges of letters fade into the paper.
QSet<QString> inks(const QString &path, const QString &workFolder)
{
    poppler(u"pdftoppm"_s, {u"-png"_s, u"-r"_s, u"60"_s, u"-singlefile"_s, path, workFolder + u"/sayfa"_s});
    const QImage page(workFolder + u"/sayfa.png"_s);
    QSet<QString> found;
    for (int y = 0; y < page.height() / 2; ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.value() < 80)
                found << u"black"_s;
            else if (const int hue = c.hsvHue(); c.hsvSaturation() > 60)
                found << (hue < 20 || hue > 330 ? u"red"_s : hue < 150 ? u"green"_s : u"blue"_s);
        }
    }
    return found;
}

} // namespace

class TestReport : public DialogTest
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        for (const QString &tool : {u"pdftotext"_s, u"pdfinfo"_s, u"pdffonts"_s, u"pdftoppm"_s})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                QFAIL(qPrintable(tool + u" is missing: scripts/setup installs poppler-utils"_s));
    }

    void init() { startCase(); }
    void cleanup() { endCase(); }

    void reportOpensInTheViewerWithColouredBanners()
    {
        const QString text = QString::fromUtf8(testData(u"ledger/data/report-both-kinds.txt"_s));
        Rapor dialog(reportOf(text, u"ŞUBAT"_s, u"2025"_s));
        QTextDocument *document = reportEdit(dialog)->document();
        QString banners;
        for (const QString &kind : {u"Gelir"_s, u"Gider"_s}) {
            for (const QString &banner : {reportSectionStart(kind), reportSectionEnd(kind)}) {
                const QTextCursor found = document->find(banner, 0, QTextDocument::FindCaseSensitively);
                banners += looks(document, found.selectionStart(), found.selectionEnd()) + u", "_s;
            }
        }
        const int row5 = document->findBlockByNumber(4).position(); // "İşlem Kaynağı: ..."
        banners += looks(document, row5, row5 + 14);
        QCOMPARE(document->toPlainText(), QString(text).replace(u"\r\n"_s, u"\n"_s));
        QCOMPARE(banners, u"bold #008000, bold #008000, bold #ff0000, bold #ff0000, normal"_s);
    }

    void toggleFlipsOnlyItsEffectAndTwiceRestores_data()
    {
        QTest::addColumn<QByteArray>("action");
        QTest::addColumn<QString>("once");
        QTest::addColumn<QString>("bannerOnce");
        QTest::newRow("bold") << "kalin"_ba << u"bold"_s << u"normal #ff0000"_s;
        QTest::newRow("underline") << "altiCizili"_ba << u"normal underline"_s << u"bold underline #ff0000"_s;
        QTest::newRow("strike-out") << "ustuCizili"_ba << u"normal strike"_s << u"bold strike #ff0000"_s;
        QTest::newRow("italic") << "yatik"_ba << u"normal italic"_s << u"bold italic #ff0000"_s;
    }

    void toggleFlipsOnlyItsEffectAndTwiceRestores()
    {
        QFETCH(QByteArray, action);
        QFETCH(QString, once);
        QFETCH(QString, bannerOnce);
        Rapor dialog(reportOf(u"Düz satır\r\n"_s + reportSectionStart(u"Gider"_s) + u"\r\nson\r\n"_s));
        QTextDocument *document = reportEdit(dialog)->document();
        const QByteArray before = toRtf(*document);
        const int bannerStart = document->findBlockByNumber(1).position(), bannerEnd = bannerStart + 82;
        const auto toggle = [&](int from, int to) { apply(dialog, action.constData(), from, to); };
        toggle(bannerStart, bannerEnd);
        QCOMPARE(looks(document, bannerStart, bannerEnd), bannerOnce);
        toggle(bannerStart, bannerEnd);
        QCOMPARE(toRtf(*document), before);

        // A selection only partly showing the effect gets it throughout; plain text just gets it.
        toggle(0, bannerEnd);
        QCOMPARE(looks(document, 0, 9), once);
        QVERIFY(looks(document, bannerStart, bannerEnd).startsWith(u"bold"_s));
    }

    void colourGoesToTheSelectionOrTheWordAtTheCaret()
    {
        Rapor dialog(reportOf(u"İşlem Kaynağı: Çınar Yapı\r\n"_s));
        QTextEdit *edit = reportEdit(dialog);
        apply(dialog, "koyuMavi", 8, 8);       // the caret inside "Kaynağı"
        apply(dialog, "zeytinSarisi", 15, 20); // "Çınar"
        QTextDocument *document = edit->document();
        QCOMPARE(QStringList({looks(document, 0, 6), looks(document, 6, 13), looks(document, 13, 15),
                              looks(document, 15, 20), looks(document, 20, 25)}),
                 QStringList({u"normal"_s, u"normal #00008b"_s, u"normal"_s, u"normal #cccc00"_s, u"normal"_s}));

        select(edit, 2, 2); // Enter breaks the line: it presses no button
        dialog.show();
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(edit->toPlainText().startsWith(u"İş\nlem"_s));
        QVERIFY(dialog.isVisible());
    }

    void rtfOfASmallDocument()
    {
        QTextDocument document;
        document.setDefaultFont(QFont(u"DejaVu Sans"_s, 10));
        document.setHtml(u"<p style='white-space:pre'>Düz {metin} \\ yol\tsekme</p>"
                         "<p><b>Kalın ĞÜŞİÖÇ ğüşıöç</b><i> yatık</i><u> altı</u><s> üstü</s></p>"
                         "<p><font color='#008000'>yeşil</font><font color='#ff0000'> kırmızı<br>ikinci satır</font>"
                         "<font color='#008000'> yine yeşil 12 €, ½ → ✓ 😀</font></p>"_s);
        QCOMPARE(toRtf(document), testData(u"ledger/data/small.rtf"_s));
    }

    void savingWritesTheWholeFileOrNothing()
    {
        Rapor dialog(reportOf(u"Rapor metni, ŞUBAT\r\n"_s + reportSectionEnd(u"Gelir"_s) + u"\r\n"_s));
        const QByteArray rtf = toRtf(*reportEdit(dialog)->document());
        auto *button = dialog.findChild<QPushButton *>(u"rtfKaydet"_s);
        QVERIFY(button->isDefault());
        const auto save = [&](const QString &answer) {
            m_desktop->answerSave(answer);
            QTest::mouseClick(button, Qt::LeftButton);
        };
        const QString path = m_ws->path() + u"/Şubat raporu.rtf"_s;
        const auto written = [&] {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };

        save({}); // cancelled
        QCOMPARE(QDir(m_ws->path()).entryList(QDir::Files), QStringList{u"Norva.db"_s});
        const SaveFileRequest request = m_desktop->saveRequests.constFirst();
        const QDate today = QDate::currentDate();
        QCOMPARE(request.fileName, u"%1_%2_Rapor.rtf"_s.arg(QLocale::c().monthName(today.month())).arg(today.year()));
        QCOMPARE(request.filter, u"Rich Text Format (*.rtf);;Tüm Dosyalar (*.*)"_s);

        save(path);
        expectBox(u"Dosya başarıyla kaydedildi: "_s + path, Desktop::Icon::Information, u"RTF Kaydet"_s);
        QCOMPARE(written(), rtf);
        QCOMPARE(QFile::permissions(path) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);

        const QString nowhere = m_ws->path() + u"/yok/rapor.rtf"_s;
        save(nowhere);
        expectBox(u"Dosya oluşturulamadı veya yazılamadı: "_s + nowhere, Desktop::Icon::None);
    }

    void pdfAndPrintHoldTheReportAsItReads_data()
    {
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QSet<QString>>("inks");
        const QString window = u"Aylık Gelir/Gider Raporu"_s;
        const QDate today = QDate::currentDate();
        QTest::newRow("both kinds") << u"ŞUBAT"_s << u"2025"_s
                                    << QString::fromUtf8(testData(u"ledger/data/report-both-kinds.txt"_s))
                                    << window + u" - ŞUBAT 2025"_s << u"ŞUBAT_2025_Rapor.pdf"_s << 1
                                    << QSet<QString>{u"black"_s, u"blue"_s, u"green"_s, u"red"_s};
        // Far into a long report, each row still goes on one page only: its text is in the file once.
        QString month = QString(81, u'=') + u"\r\n"_s + reportBanner(u"MART"_s, u"2032"_s) + u"\r\n"_s +
                        QString(81, u'=') + u"\r\n"_s + reportSectionStart(u"Gider"_s) + u"\r\n"_s;
        for (int i = 1; i <= 700; ++i)
            month +=
                u"İşlem Kaynağı: Işık Elektrik\r\nFirma Adresi: Organize Sanayi\r\nVergi Dairesi: Nilüfer\r\n"
                u"Vergi Numarası: 2345678901\r\nİşlem Tutarı: %1.00 TL \r\nKDV Oranı: 20\r\nİşlem Türü: Malzeme\r\n"
                u"İşlem İçeriği: Kayıt %1\r\nİşlem Notu: \r\nFatura Numarası: A-%1\r\n"_s.arg(i) +
                QString(80, u'=') + u"\r\n"_s;
        QTest::newRow("a month of many entries")
            << u"MART"_s << u"2032"_s << month + reportSectionEnd(u"Gider"_s) + u"\r\n"_s << window + u" - MART 2032"_s
            << u"MART_2032_Rapor.pdf"_s << 93 << QSet<QString>{u"black"_s, u"blue"_s, u"red"_s};
        QTest::newRow("no title line")
            << QString() << QString() << u"Düz metin, ay yok\r\nİkinci satır"_s << window
            << u"%1_%2_Rapor.pdf"_s.arg(QLocale::c().monthName(today.month())).arg(today.year()) << 1
            << QSet<QString>{u"black"_s, u"blue"_s};
    }

    // The rows, the colours the user gave, the properties and the fonts.
    // Text without a colour is black on paper even when the screen's theme
    // writes it white.
    void pdfAndPrintHoldTheReportAsItReads()
    {
        QFETCH(QString, month);
        QFETCH(QString, year);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(QString, fileName);
        QFETCH(int, pages);
        QFETCH(QSet<QString>, inks);
        QPalette dark = QApplication::palette();
        dark.setColor(QPalette::Text, Qt::white);
        QApplication::setPalette(dark);
        const auto restore = qScopeGuard([] { QApplication::setPalette(QPalette()); });
        Rapor dialog(reportOf(text, month, year));
        apply(dialog, "mavi", 0, 10);
        const QString path = m_ws->path() + u"/Ekim raporu.pdf"_s;
        m_desktop->answerSave(path);
        QTest::mouseClick(dialog.findChild<QPushButton *>(u"pdfKaydet"_s), Qt::LeftButton);
        expectBox(u"Dosya başarıyla kaydedildi: "_s + path, Desktop::Icon::Information, u"PDF Kaydet"_s);
        const SaveFileRequest request = m_desktop->saveRequests.constFirst();
        QCOMPARE(request.fileName, fileName);
        QCOMPARE(request.filter, u"PDF Dosyası (*.pdf);;Tüm Dosyalar (*.*)"_s);
        QCOMPARE(QFile::permissions(path) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);

        // Each row once, in order, also where a page ends.
        const auto [rows, footers] = pdfText(path);
        QCOMPARE(rows, wordRows(text));
        QStringList numbers;
        for (int page = 1; page <= pages; ++page)
            numbers << u"Sayfa %1 / %2"_s.arg(page).arg(pages);
        QCOMPARE(footers, numbers);
        QCOMPARE(::inks(path, m_ws->path()), inks);
        // Each page is told as it is done; stopped after the first, no file comes of it.
        QTextDocument *document = reportEdit(dialog)->document();
        QList<int> told;
        const auto tell = [&told](bool goOn) {
            return [&told, goOn](int page, int count) { return told << page << count, goOn; };
        };
        QVERIFY(!reportPdf(*document, title, tell(true)).isEmpty());
        QVERIFY(reportPdf(*document, title, tell(false)).isEmpty());
        QList<int> expected;
        for (int page = 1; page <= pages; ++page)
            expected << page << pages;
        QCOMPARE(told, expected << 1 << pages);
        QStringList info;
        for (const QString &row : poppler(u"pdfinfo"_s, {path}).split(u'\n'))
            info << row.simplified();
        for (const QString &property : {u"Title: "_s + title, u"Creator: Norva Rezado"_s,
                                        u"Page size: 595 x 842 pts (A4)"_s, u"Pages: %1"_s.arg(pages)})
            QVERIFY2(info.contains(property), qPrintable(info.join(u'\n')));
        static const QRegularExpression embedded(u" yes +(yes|no) +(yes|no) +\\d+ +\\d+$"_s);
        const QStringList fonts = poppler(u"pdffonts"_s, {path}).split(u'\n', Qt::SkipEmptyParts).mid(2);
        QVERIFY(!fonts.isEmpty());
        for (const QString &font : fonts)
            QVERIFY2(embedded.match(font).hasMatch(), qPrintable(font));

        // "Yazdır" previews and prints the same pages: here printed into a PDF file.
        const QString printed = m_ws->path() + u"/yazici.pdf"_s;
        int previewPages = 0;
        m_desktop->onModal = [&](QDialog &modal) {
            auto *preview = qobject_cast<QPrintPreviewDialog *>(&modal);
            QVERIFY(preview);
            QPrinter *printer = preview->printer();
            QCOMPARE(printer->docName(), title);
            auto *shown = modal.findChild<QPrintPreviewWidget *>();
            shown->updatePreview();
            previewPages = shown->pageCount();
            printer->setOutputFileName(printed);
            emit preview->paintRequested(printer);
        };
        QTest::mouseClick(dialog.findChild<QPushButton *>(u"yazdir"_s), Qt::LeftButton);
        QCOMPARE(m_desktop->modalDialogs, QStringList{u"QPrintPreviewDialog"_s});
        QCOMPARE(previewPages, pages);
        const auto [printedRows, printedFooters] = pdfText(printed);
        QCOMPARE(printedRows, rows);
        QCOMPARE(printedFooters, footers);
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
