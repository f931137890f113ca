#include "DialogTest.h"

#include "data/MonthlyReport.h"
#include "ledger/Rapor.h"
#include "ledger/RtfWriter.h"

#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

QTextEdit *reportEdit(QDialog &dialog)
{
    return dialog.findChild<QTextEdit *>(u"rapor"_s);
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
} // namespace

class TestReport : public DialogTest
{
    Q_OBJECT

private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    void reportOpensInTheViewerWithColouredBanners()
    {
        const QString text = QString::fromUtf8(testData(u"ledger/data/report-both-kinds.txt"_s));
        Rapor dialog(text);
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
        Rapor dialog(u"Düz satır\r\n"_s + reportSectionStart(u"Gider"_s) + u"\r\nson\r\n"_s);
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
        Rapor dialog(u"İşlem Kaynağı: Çınar Yapı\r\n"_s);
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
        Rapor dialog(u"Rapor metni, ŞUBAT\r\n"_s + reportSectionEnd(u"Gelir"_s) + u"\r\n"_s);
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

        // A write that fails half-way (here at the file size limit) leaves the file there whole.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit small{16, saved.rlim_max};
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        save(path);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        expectBox(u"RTF içeriği dosyaya yazılırken bir hata oluştu."_s, Desktop::Icon::None);
        QCOMPARE(written(), rtf);
        QCOMPARE(QDir(m_ws->path()).entryList(QDir::Files), (QStringList{u"Norva.db"_s, u"Şubat raporu.rtf"_s}));

        const QString nowhere = m_ws->path() + u"/yok/rapor.rtf"_s;
        save(nowhere);
        expectBox(u"Dosya oluşturulamadı veya yazılamadı: "_s + nowhere, Desktop::Icon::None);
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
