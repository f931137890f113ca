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
#include <QTextEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QTextEdit *reportEdit(QDialog &dialog)
{
    return dialog.findChild<QTextEdit *>(u"rapor"_s);
}

// "A|B" selects from where A begins to where B ends, "A|" puts the caret where A begins; then the
// toolbar action named is triggered, if any.
void apply(Rapor &dialog, const char *action, const QString &range)
{
    QTextEdit *edit = reportEdit(dialog);
    const auto find = [&](const QString &text) {
        return edit->document()->find(text, 0, QTextDocument::FindCaseSensitively);
    };
    QTextCursor cursor(edit->document());
    cursor.setPosition(find(range.section(u'|', 0, 0)).selectionStart());
    if (const QString to = range.section(u'|', 1); !to.isEmpty())
        cursor.setPosition(find(to).selectionEnd(), QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
    if (*action)
        dialog.findChild<QAction *>(QString::fromLatin1(action))->trigger();
}

// How each text looks where first found: 'B'old or 'n'ormal, then 'U'nderline, 'S'trike, 'I'talic and
// the colour, if any; "?" when mixed.
QString looks(QTextDocument *document, const QStringList &texts)
{
    QStringList all;
    for (const QString &text : texts) {
        const QTextCursor found = document->find(text, 0, QTextDocument::FindCaseSensitively);
        QString uniform;
        for (int at = found.selectionStart() + 1; at <= found.selectionEnd(); ++at) {
            QTextCursor cursor(document);
            cursor.setPosition(at);
            const QTextCharFormat c = cursor.charFormat();
            QString look = QString(c.fontWeight() > QFont::Normal ? u'B' : u'n') +
                           (c.fontUnderline() ? u"U"_s : u""_s) + (c.fontStrikeOut() ? u"S"_s : u""_s) +
                           (c.fontItalic() ? u"I"_s : u""_s);
            if (c.foreground().style() != Qt::NoBrush)
                look += c.foreground().color().name();
            uniform = uniform.isEmpty() || uniform == look ? look : u"?"_s;
        }
        all << uniform;
    }
    return all.join(u'|');
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
    void init() { startCase(); }
    void cleanup() { endCase(); }

    // The banners open bold, income green and expense red. A toggle flips only its effect and twice
    // restores the banner; a selection only partly showing it gets it throughout. A colour goes to
    // the selection or the word at the caret. Enter breaks the line: it presses no button.
    void lookOfTheReport_data()
    {
        QTest::addColumn<QByteArray>("action");
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("banner"); // a toggle's look once on the expense banner
        QTest::addColumn<QString>("looks");
        const QString toggled = u"Gelir KAYITLARI|Kaynağı"_s;
        QTest::newRow("bold") << "kalin"_ba << toggled << u"n#ff0000"_s << u"B#008000|B|B|B|n"_s;
        QTest::newRow("underline") << "altiCizili"_ba << toggled << u"BU#ff0000"_s << u"BU#008000|nU|nU|nU|n"_s;
        QTest::newRow("strike-out") << "ustuCizili"_ba << toggled << u"BS#ff0000"_s << u"BS#008000|nS|nS|nS|n"_s;
        QTest::newRow("italic") << "yatik"_ba << toggled << u"BI#ff0000"_s << u"BI#008000|nI|nI|nI|n"_s;
        QTest::newRow("colour at the caret")
            << "koyuMavi"_ba << u"nağı|"_s << QString() << u"B#008000|n|n#00008b|n#00008b|n"_s;
        QTest::newRow("colour of a selection")
            << "zeytinSarisi"_ba << u"Kaynağı|Kayn"_s << QString() << u"B#008000|n|n#cccc00|n|n"_s;
    }
    void lookOfTheReport()
    {
        QFETCH(QByteArray, action);
        QFETCH(QString, range);
        QFETCH(QString, banner);
        const QString text = QString::fromUtf8(testData(u"ledger/data/report-both-kinds.txt"_s));
        Rapor dialog(MonthlyReport{u"ŞUBAT"_s, u"2025"_s, {}, text, {}});
        QTextEdit *edit = reportEdit(dialog);
        QCOMPARE(edit->toPlainText(), QString(text).replace(u"\r\n"_s, u"\n"_s));
        if (!banner.isEmpty()) {
            const QByteArray before = toRtf(*edit->document());
            apply(dialog, action.constData(), u"Gider KAYITLARI BAŞ|Gider KAYITLARI BAŞ"_s);
            QCOMPARE(looks(edit->document(), {u"Gider KAYITLARI BAŞ"_s}), banner);
            apply(dialog, action.constData(), u"Gider KAYITLARI BAŞ|Gider KAYITLARI BAŞ"_s);
            QCOMPARE(toRtf(*edit->document()), before);
        }
        apply(dialog, action.constData(), range);
        QFETCH(QString, looks); // then the other banners, as they opened
        QCOMPARE(
            ::looks(edit->document(), {u"Gelir KAYITLARI BAŞ"_s, u"İşlem "_s, u"Kayn"_s, u"ağı"_s, u": Ali"_s,
                                       u"Gelir KAYITLARI BİT"_s, u"Gider KAYITLARI BAŞ"_s, u"Gider KAYITLARI BİT"_s}),
            looks + u"|B#008000|B#ff0000|B#ff0000"_s);
        dialog.show();
        apply(dialog, "", u"ŞUBAT|"_s);
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(edit->toPlainText().contains(u"==== \nŞUBAT"_s) && dialog.isVisible());
    }

    void rtfOfASmallDocument()
    {
        QTextDocument document;
        document.setDefaultFont(QFont(u"DejaVu Sans"_s, 10));
        document.setHtml(QString::fromUtf8(testData(u"ledger/data/small.html"_s)));
        QCOMPARE(toRtf(document), testData(u"ledger/data/small.rtf"_s));
    }

    void savingWritesTheWholeFileOrNothing()
    {
        Rapor dialog(
            MonthlyReport{{}, {}, {}, u"Rapor metni, ŞUBAT\r\n"_s + reportSectionEnd(u"Gelir"_s) + u"\r\n"_s, {}});
        auto *button = dialog.findChild<QPushButton *>(u"rtfKaydet"_s);
        QVERIFY(button->isDefault());
        const auto save = [&](const QString &answer) {
            m_desktop->answerSave(answer);
            QTest::mouseClick(button, Qt::LeftButton);
        };
        save({}); // cancelled
        QCOMPARE(QDir(m_ws->path()).entryList(QDir::Files), QStringList{u"Norva.db"_s});
        const SaveFileRequest request = m_desktop->saveRequests.constFirst();
        const QDate today = QDate::currentDate();
        QCOMPARE(request.fileName, u"%1_%2_Rapor.rtf"_s.arg(QLocale::c().monthName(today.month())).arg(today.year()));
        QCOMPARE(request.filter, u"Rich Text Format (*.rtf);;Tüm Dosyalar (*.*)"_s);

        const QString path = m_ws->path() + u"/Şubat raporu.rtf"_s, nowhere = m_ws->path() + u"/yok/rapor.rtf"_s;
        save(path);
        expectBox(u"Dosya başarıyla kaydedildi: "_s + path, Desktop::Icon::Information, u"RTF Kaydet"_s);
        QCOMPARE(readFile(path), toRtf(*reportEdit(dialog)->document()));
        QCOMPARE(QFile::permissions(path) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
        save(nowhere);
        expectBox(u"Dosya oluşturulamadı veya yazılamadı: "_s + nowhere, Desktop::Icon::None);
    }

    void pdfAndPrintHoldTheReportAsItReads_data()
    {
        QTest::addColumn<QString>("month"); // and year, as the title line writes them
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QSet<QString>>("inks");
        const QDate today = QDate::currentDate();
        QTest::newRow("both kinds") << u"ŞUBAT 2025"_s
                                    << QString::fromUtf8(testData(u"ledger/data/report-both-kinds.txt"_s))
                                    << u"ŞUBAT_2025_Rapor.pdf"_s << 1
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
            << u"MART 2032"_s << month + reportSectionEnd(u"Gider"_s) + u"\r\n"_s << u"MART_2032_Rapor.pdf"_s << 93
            << QSet<QString>{u"black"_s, u"blue"_s, u"red"_s};
        QTest::newRow("no title line")
            << QString() << u"Düz metin, ay yok\r\nİkinci satır"_s
            << u"%1_%2_Rapor.pdf"_s.arg(QLocale::c().monthName(today.month())).arg(today.year()) << 1
            << QSet<QString>{u"black"_s, u"blue"_s};
    }

    // The rows, the colours the user gave, the properties and the fonts. Text without a colour is
    // black on paper even when the screen's theme writes it white.
    void pdfAndPrintHoldTheReportAsItReads()
    {
        QFETCH(QString, month);
        QFETCH(QString, text);
        QFETCH(int, pages);
        QPalette dark = QApplication::palette();
        dark.setColor(QPalette::Text, Qt::white);
        QApplication::setPalette(dark);
        const auto restore = qScopeGuard([] { QApplication::setPalette(QPalette()); });
        Rapor dialog(MonthlyReport{month.section(u' ', 0, 0), month.section(u' ', 1), {}, text, {}});
        apply(dialog, "mavi", text.left(10) + u'|' + text.left(10));
        const QString path = m_ws->path() + u"/Ekim raporu.pdf"_s;
        m_desktop->answerSave(path);
        QTest::mouseClick(dialog.findChild<QPushButton *>(u"pdfKaydet"_s), Qt::LeftButton);
        expectBox(u"Dosya başarıyla kaydedildi: "_s + path, Desktop::Icon::Information, u"PDF Kaydet"_s);
        const SaveFileRequest request = m_desktop->saveRequests.constFirst();
        QTEST(request.fileName, "fileName");
        QCOMPARE(request.filter, u"PDF Dosyası (*.pdf);;Tüm Dosyalar (*.*)"_s);
        QCOMPARE(QFile::permissions(path) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
        QTEST(::inks(path, m_ws->path()), "inks");

        // Each row once, in order, also where a page ends; each page told as it is done; stopped after
        // the first, no file comes of it.
        const QString title = u"Aylık Gelir/Gider Raporu"_s + (month.isEmpty() ? QString() : u" - "_s + month);
        QList<int> told, expected;
        QStringList numbers;
        for (int page = 1; page <= pages; ++page)
            numbers << u"Sayfa %1 / %2"_s.arg(page).arg(pages), expected << page << pages;
        const auto [rows, footers] = pdfText(path);
        QCOMPARE(rows, wordRows(text));
        QCOMPARE(footers, numbers);
        const auto tell = [&told](bool goOn) {
            return [&told, goOn](int page, int count) { return told << page << count, goOn; };
        };
        QTextDocument *document = reportEdit(dialog)->document();
        QVERIFY(!reportPdf(*document, title, tell(true)).isEmpty());
        QVERIFY(reportPdf(*document, title, tell(false)).isEmpty());
        QCOMPARE(told, expected << 1 << pages);
        const QString info = poppler(u"pdfinfo"_s, {path})
                                 .split(u'\n')
                                 .replaceInStrings(QRegularExpression(u" +"_s), u" "_s)
                                 .join(u'\n');
        for (const QString &property : {u"Title: "_s + title, u"Creator: Norva Rezado"_s,
                                        u"Page size: 595 x 842 pts (A4)"_s, u"Pages: %1"_s.arg(pages)})
            QVERIFY2(info.contains(property + u'\n'), qPrintable(info));
        static const QRegularExpression embedded(u" yes +(yes|no) +(yes|no) +\\d+ +\\d+$"_s);
        const QStringList fonts = poppler(u"pdffonts"_s, {path}).split(u'\n', Qt::SkipEmptyParts).mid(2);
        QVERIFY(!fonts.isEmpty());
        QCOMPARE(fonts.filter(embedded), fonts);

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
