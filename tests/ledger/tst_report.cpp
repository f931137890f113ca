#include "DialogTest.h"
#include "DialogWidgets.h"

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

const QString kToggled = u"Gelir KAYITLARI|Kaynağı"_s;

const auto reportEdit = [](QDialog &dialog) { return dialog.findChild<QTextEdit *>(u"rapor"_s); };

// "A|B" selects from where A begins to where B ends, "A|" puts the caret where A begins; then the
// toolbar action named is triggered, if any.
void apply(Rapor &dialog, const char *action, const QString &range)
{
    QTextEdit *edit = reportEdit(dialog);
    auto find = [d = edit->document()](const QString &t) { return d->find(t, 0, QTextDocument::FindCaseSensitively); };
    QTextCursor cursor(edit->document());
    cursor.setPosition(find(range.section(u'|', 0, 0)).selectionStart());
    if (const QString to = range.section(u'|', 1); !to.isEmpty())
        cursor.setPosition(find(to).selectionEnd(), QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
    if (*action)
        dialog.findChild<QAction *>(QString::fromLatin1(action))->trigger();
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
    static const QRegularExpression blanks(u"[^\\S\\n]+"_s), rowEnd(u" ?\\n ?"_s);
    return QString(text).replace(blanks, u" "_s).trimmed().split(rowEnd, Qt::SkipEmptyParts);
}

// The rows of a PDF's text, then its page footers.
std::pair<QStringList, QStringList> pdfText(const QString &path)
{
    static const QRegularExpression footer(u"^Sayfa \\d+ / \\d+$"_s);
    QStringList rows = wordRows(poppler(u"pdftotext"_s, {path, u"-"_s}));
    const QStringList footers = rows.filter(footer);
    rows.removeIf([](const QString &row) { return footer.match(row).hasMatch(); });
    return {rows, footers};
}

// The inks of the upper half of a PDF's first page, told apart by hue: the
// edges of letters fade into the paper.
QSet<QString> inks(const QString &path, const QString &workFolder)
{
    poppler(u"pdftoppm"_s, {u"-png"_s, u"-r"_s, u"60"_s, u"-singlefile"_s, path, workFolder + u"/sayfa"_s});
    const QImage page(workFolder + u"/sayfa.png"_s);
    QSet<QString> found;
    for (int i = 0; i < page.width() * (page.height() / 2); ++i) {
        const QColor c = page.pixelColor(i % page.width(), i / page.width());
        if (const int hue = c.hsvHue(); c.value() < 80)
            found << u"black"_s;
        else if (c.hsvSaturation() > 60)
            found << (hue < 20 || hue > 330 ? u"red"_s : hue < 150 ? u"green"_s : u"blue"_s);
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
    // restores the banner; a selection only partly showing it gets it throughout. A colour goes to the
    // selection or the word at the caret. The looks are pinned as the RTF they save as.
    void lookOfTheReport_data()
    {
        QTest::addColumn<QByteArray>("action");
        QTest::addColumn<QString>("range"); // a toggle flips the expense banner once too
        QTest::newRow("bold") << "kalin"_ba << kToggled;
        QTest::newRow("underline") << "altiCizili"_ba << kToggled;
        QTest::newRow("strike-out") << "ustuCizili"_ba << kToggled;
        QTest::newRow("italic") << "yatik"_ba << kToggled;
        QTest::newRow("colour-at-the-caret") << "koyuMavi"_ba << u"nağı|"_s;
        QTest::newRow("colour-of-a-selection") << "zeytinSarisi"_ba << u"Kaynağı|Kayn"_s;
    }
    void lookOfTheReport()
    {
        QFETCH(QByteArray, action);
        QFETCH(QString, range);
        Rapor dialog(MonthlyReport{
            u"ŞUBAT"_s, u"2025"_s, {}, QString::fromUtf8(testData(u"ledger/data/report-both-kinds.txt"_s)), {}});
        QTextDocument *document = reportEdit(dialog)->document();
        const QByteArray opened = toRtf(*document);
        for (int times = 0; times < (range == kToggled ? 3 : 0); ++times) {
            QCOMPARE(toRtf(*document) == opened, times != 1);
            apply(dialog, action.constData(), u"Gider KAYITLARI BAŞ|Gider KAYITLARI BAŞ"_s);
        }
        apply(dialog, action.constData(), range);
        QCOMPARE(toRtf(*document),
                 testData(u"ledger/data/look-"_s + QLatin1String(QTest::currentDataTag()) + u".rtf"_s));
    }

    // The RTF of a small document, byte for byte. Enter breaks the line, pressing no button. "RTF Kaydet"
    // writes the file whole and owner-only, or says it could not; a report without a month is named after
    // the day of saving.
    void savingWritesTheWholeFileOrNothing()
    {
        QTextDocument small;
        small.setDefaultFont(QFont(u"DejaVu Sans"_s, 10));
        small.setHtml(QString::fromUtf8(testData(u"ledger/data/small.html"_s)));
        QCOMPARE(toRtf(small), testData(u"ledger/data/small.rtf"_s));

        Rapor dialog(
            MonthlyReport{{}, {}, {}, u"Rapor metni, ŞUBAT\r\n"_s + reportSectionEnd(u"Gelir"_s) + u"\r\n"_s, {}});
        QVERIFY(dialog.findChild<QPushButton *>(u"rtfKaydet"_s)->isDefault());
        dialog.show();
        apply(dialog, "", u"ŞUBAT|"_s);
        QTest::keyClick(reportEdit(dialog), Qt::Key_Return);
        QVERIFY(reportEdit(dialog)->toPlainText().startsWith(u"Rapor metni, \nŞUBAT"_s) && dialog.isVisible());
        for (const char *button : {"rtfKaydet", "pdfKaydet"})
            m_desktop->answerSave({}), click(dialog, button); // cancelled
        QCOMPARE(QDir(m_ws->path()).entryList(QDir::Files), onServer() ? QStringList() : QStringList{u"Norva.db"_s});
        const QList<SaveFileRequest> &asked = m_desktop->saveRequests;
        const QString named = QDate::currentDate().toString(u"MMMM_yyyy'_Rapor.'"_s); // month names in English
        QCOMPARE(asked[0].fileName + u'|' + asked[0].filter + u'|' + asked[1].fileName,
                 named + u"rtf|Rich Text Format (*.rtf);;Tüm Dosyalar (*.*)|"_s + named + u"pdf"_s);
        QString title;
        m_desktop->onModal = [&](QDialog &d) { title = static_cast<QPrintPreviewDialog &>(d).printer()->docName(); };
        click(dialog, "yazdir");
        QCOMPARE(title, u"Aylık Gelir/Gider Raporu"_s);

        const QString path = m_ws->path() + u"/Şubat raporu.rtf"_s, nowhere = m_ws->path() + u"/yok/rapor.rtf"_s;
        m_desktop->answerSave(path);
        click(dialog, "rtfKaydet");
        expectBox(u"Dosya başarıyla kaydedildi: "_s + path, Desktop::Icon::Information, u"RTF Kaydet"_s);
        QCOMPARE(readFile(path), toRtf(*reportEdit(dialog)->document()));
        QCOMPARE(QFile::permissions(path) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
        m_desktop->answerSave(nowhere);
        click(dialog, "rtfKaydet");
        expectBox(u"Dosya oluşturulamadı veya yazılamadı: "_s + nowhere, Desktop::Icon::None);
    }

    // Far into a long report each row still goes on one page only: its text is in the file once, in
    // order. The colours the user gave and the banners' reach the paper; text without a colour is black
    // even when the screen's theme writes it white. Each page is told as it is done; stopped, no file
    // comes of it. "Yazdır" previews and prints the same pages.
    void pdfAndPrintHoldTheReportAsItReads()
    {
        QPalette dark = QApplication::palette();
        dark.setColor(QPalette::Text, Qt::white);
        QApplication::setPalette(dark);
        const auto restore = qScopeGuard([] { QApplication::setPalette(QPalette()); });
        QString text = reportBanner(u"MART"_s, u"2032"_s) + u"\r\n"_s + reportSectionStart(u"Gelir"_s) + u"\r\n"_s +
                       reportSectionEnd(u"Gelir"_s) + u"\r\n"_s + reportSectionStart(u"Gider"_s) + u"\r\n"_s;
        for (int i = 1; i <= 6000; ++i)
            text += u"İşlem İçeriği: Kayıt %1, Işık Elektrik\r\n"_s.arg(i) +
                    (i % 4 ? QString() : QString(80, u'=') + u"\r\n"_s);
        text += reportSectionEnd(u"Gider"_s) + u"\r\n"_s;
        Rapor dialog(MonthlyReport{u"MART"_s, u"2032"_s, {}, text, {}});
        apply(dialog, "mavi", u"NORVA|NORVA"_s);
        const QString path = m_ws->path() + u"/Ekim raporu.pdf"_s, title = u"Aylık Gelir/Gider Raporu - MART 2032"_s;
        m_desktop->answerSave(path);
        click(dialog, "pdfKaydet");
        expectBox(u"Dosya başarıyla kaydedildi: "_s + path, Desktop::Icon::Information, u"PDF Kaydet"_s);
        QCOMPARE(m_desktop->saveRequests[0].fileName + u'|' + m_desktop->saveRequests[0].filter,
                 u"MART_2032_Rapor.pdf|PDF Dosyası (*.pdf);;Tüm Dosyalar (*.*)"_s);
        QCOMPARE(QFile::permissions(path) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(inks(path, m_ws->path()), (QSet<QString>{u"black"_s, u"blue"_s, u"green"_s, u"red"_s}));
        QStringList footers;
        QList<int> told, expected;
        for (int page = 1; page <= 92; ++page)
            footers << u"Sayfa %1 / 92"_s.arg(page), expected << page << 92;
        QCOMPARE(pdfText(path), std::pair(wordRows(text), footers));
        for (const bool goOn : {true, false}) {
            const auto tell = [&told, goOn](int page, int count) { return told << page << count, goOn; };
            QCOMPARE(reportPdf(*reportEdit(dialog)->document(), title, tell).isEmpty(), !goOn);
        }
        QCOMPARE(told, expected << 1 << 92);
        const QString info = poppler(u"pdfinfo"_s, {path}).replace(QRegularExpression(u" +"_s), u" "_s);
        for (const QString &property :
             {u"Title: "_s + title, u"Creator: Norva Rezado"_s, u"Page size: 595 x 842 pts (A4)"_s, u"Pages: 92"_s})
            QVERIFY2(info.contains(property + u'\n'), qPrintable(info));
        const QStringList fonts = poppler(u"pdffonts"_s, {path}).split(u'\n', Qt::SkipEmptyParts).mid(2); // embedded:
        QVERIFY(!fonts.isEmpty() &&
                fonts.filter(QRegularExpression(u" yes +(yes|no) +(yes|no) +\\d+ +\\d+$"_s)) == fonts);

        const QString printed = m_ws->path() + u"/yazici.pdf"_s;
        m_desktop->onModal = [&](QDialog &modal) {
            auto *preview = qobject_cast<QPrintPreviewDialog *>(&modal);
            auto *shown = modal.findChild<QPrintPreviewWidget *>();
            shown->updatePreview();
            QCOMPARE(preview->printer()->docName() + QString::number(shown->pageCount()), title + u"92"_s);
            preview->printer()->setOutputFileName(printed);
            emit preview->paintRequested(preview->printer());
        };
        click(dialog, "yazdir");
        QCOMPARE(pdfText(printed), pdfText(path));
    }

    // Rows the plain Latin letters do not make up (a tab, another script, a row too long for the
    // page even made smaller, which wraps and may cross a page's end) still reach the paper whole,
    // once and in order, between the plain rows around them.
    void rowsThatWrapOrNeedShaping_data()
    {
        QTest::addColumn<QString>("row");
        QTest::newRow("tab") << u"Tutar:\t125.00 TL"_s;
        QTest::newRow("greek") << u"Αθήνα Ticaret Ltd. Şti."_s;
        QTest::newRow("wraps-across-a-page") << QStringList(QList<QString>(150, u"uzunİşlemNotu"_s)).join(u' ');
    }
    void rowsThatWrapOrNeedShaping()
    {
        QFETCH(QString, row);
        QString text;
        for (int i = 1; i <= 130; ++i)
            text += u"İşlem İçeriği: Kayıt %1\r\n"_s.arg(i) + (i == 105 ? row + u"\r\n"_s : QString());
        Rapor dialog(MonthlyReport{u"MART"_s, u"2032"_s, {}, text, {}});
        const QString path = m_ws->path() + u"/rapor.pdf"_s;
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reportPdf(*reportEdit(dialog)->document(), u"Rapor"_s));
        file.close();
        const auto words = [](const QStringList &rows) { return rows.join(u' ').split(u' '); };
        QCOMPARE(words(pdfText(path).first), words(wordRows(text)));
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
