#include "FakeDesktop.h"
#include "Workspace.h"

#include "data/Database.h"
#include "data/Statements.h"
#include "ledger/MonthlyReport.h"
#include "ledger/ProcessValues.h"
#include "ledger/Rapor.h"
#include "ledger/RtfWriter.h"

#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolBar>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray golden(const QString &name)
{
    QFile file(QFINDTESTDATA(u"data/"_s + name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no golden file %s", qPrintable(name));
    return file.readAll();
}

void addCompany(const QString &name, const QString &address, const QString &taxOffice, const QString &taxNumber)
{
    db::Connection c;
    c.execute(db::format(sql::kFirmaEkle, name, address, taxOffice, taxNumber, u"0212"_s, u""_s,
                         u"Tedarikçi & Müşteri"_s, u""_s));
}

struct Entry
{
    QString kind, day, month, year, source, amount, currency, vatRate, category, content, note, invoice;
};

void addEntry(const Entry &e)
{
    db::Connection c;
    c.execute(db::format(sql::kGelirGiderEkle, e.kind, e.day, e.month, e.year, e.source, e.amount, e.currency, u"0"_s,
                         e.vatRate, e.category, e.content, e.note, e.invoice));
}

// Months of two years around the two reported ones, March 2024 and February 2025.
void fillLedger()
{
    addCompany(u"Ali'nin Kırtasiyesi"_s, u"Çarşı Cd. No:5\nŞişli / İstanbul"_s, u"Şişli"_s, u"12345678901"_s);
    addCompany(u"Işık Elektrik Ltd. Şti."_s, u"Organize Sanayi 3. Cad.\nBursa"_s, u"Nilüfer"_s, u"2345678901"_s);
    addCompany(u"Çınar Yapı A.Ş."_s, u"Atatürk Bulvarı 12 Ankara"_s, u"Çankaya"_s, u"3456789012"_s);
    const Entry entries[] = {
        {u"Gelir"_s, u"5"_s, u"3"_s, u"2024"_s, u"Çınar Yapı A.Ş."_s, u"1250.50"_s, u"Lira"_s, u"20"_s,
         u"Satış Geliri"_s, u"Mart hakedişi"_s, u""_s, u"0"_s},
        {u"Gider"_s, u"5"_s, u"4"_s, u"2024"_s, u"Işık Elektrik Ltd. Şti."_s, u"99.00"_s, u"Lira"_s, u"20"_s,
         u"Malzeme"_s, u"Nisan"_s, u""_s, u"7"_s},
        {u"Gelir"_s, u"5"_s, u"3"_s, u"2025"_s, u"Çınar Yapı A.Ş."_s, u"1.00"_s, u"Lira"_s, u"20"_s, u""_s,
         u"Bir yıl sonra"_s, u""_s, u"0"_s},
        {u"Gelir"_s, u"14"_s, u"2"_s, u"2025"_s, u"Ali'nin Kırtasiyesi"_s, u"300.00"_s, u"Dolar"_s, u"10"_s,
         u"Satış Geliri"_s, u"Kırtasiye satışı\nFatura kesildi"_s, u"Peşin ödendi"_s, u"0"_s},
        {u"Gider"_s, u"20"_s, u"2"_s, u"2025"_s, u"Işık Elektrik Ltd. Şti."_s, u"12.50"_s, u"Lira"_s, u"20"_s,
         u"Malzeme"_s, u"Kablo ve priz"_s, u"İki taksit\nKalan: 6,25"_s, u"A-1024"_s},
        {u"Gider"_s, u"21"_s, u"2"_s, u"2025"_s, u"Güneş Nakliyat"_s, u"800.00"_s, u"Euro"_s, u"18"_s, u"Nakliye"_s,
         u"İzmir'e sevkiyat"_s, u""_s, u"N'42"_s},
        {u"Gelir"_s, u"14"_s, u"2"_s, u"2024"_s, u"Ali'nin Kırtasiyesi"_s, u"5.00"_s, u"Lira"_s, u"20"_s, u""_s,
         u"Bir yıl önce"_s, u""_s, u"0"_s},
    };
    for (const Entry &e : entries)
        addEntry(e);
    // The entries table's edit writes the amount with six decimals.
    db::Connection c;
    c.execute(db::format(sql::kHareketGuncelle, 12.5, u"0"_s, u"20"_s, u"Kablo ve priz"_s, u"İki taksit\nKalan: 6,25"_s,
                         u"Lira"_s, u"20"_s, u"2"_s, u"2025"_s, u"A-1024"_s, 5));
}

QTextEdit *reportEdit(Rapor &dialog)
{
    return dialog.findChild<QTextEdit *>(u"rapor"_s);
}

// How a range of the document looks: its effects and colour, or "mixed".
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
            if (c.fontUnderline())
                look += u" underline"_s;
            if (c.fontStrikeOut())
                look += u" strike"_s;
            if (c.fontItalic())
                look += u" italic"_s;
            if (c.foreground().style() != Qt::NoBrush)
                look += u' ' + c.foreground().color().name();
            if (!uniform.isEmpty() && look != uniform)
                return u"mixed"_s;
            uniform = look;
        }
    }
    return uniform;
}
QString looks(QTextDocument *document, const QString &text)
{
    const QTextCursor found = document->find(text, 0, QTextDocument::FindCaseSensitively);
    return found.isNull() ? u"missing"_s : looks(document, found.selectionStart(), found.selectionEnd());
}

void trigger(Rapor &dialog, const char *action)
{
    dialog.findChild<QAction *>(QString::fromLatin1(action))->trigger();
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;
    std::unique_ptr<FakeDesktop> m_desktop;

    void expectBox(const QString &caption, const QString &text, Desktop::Icon icon)
    {
        const FakeDesktop::Box box = m_desktop->takeBox();
        QCOMPARE(box.caption, caption);
        QCOMPARE(box.text, text);
        QCOMPARE(box.icon, icon);
    }

private slots:
    void init()
    {
        m_ws = std::make_unique<Workspace>();
        m_desktop = std::make_unique<FakeDesktop>();
    }
    void cleanup()
    {
        QVERIFY2(m_desktop->unexpected().isEmpty(), qPrintable(m_desktop->unexpected().join(u'\n')));
        m_desktop.reset();
        m_ws.reset();
    }

    void reportOpensInTheViewerWithColouredBanners_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("monthName");
        QTest::addColumn<QString>("goldenFile");
        QTest::newRow("one income, no expense") << 3 << u"2024"_s << u"MART"_s << u"report-one-income.txt"_s;
        QTest::newRow("both kinds") << 2 << u"2025"_s << u"ŞUBAT"_s << u"report-both-kinds.txt"_s;
    }

    void reportOpensInTheViewerWithColouredBanners()
    {
        QFETCH(int, month);
        QFETCH(QString, year);
        QFETCH(QString, monthName);
        QFETCH(QString, goldenFile);
        fillLedger();
        QString shown, banners;
        m_desktop->onModal = [&](QDialog &dialog) {
            QTextDocument *document = reportEdit(static_cast<Rapor &>(dialog))->document();
            shown = document->toPlainText();
            for (const QString &kind : {u"Gelir"_s, u"Gider"_s}) {
                banners += looks(document, reportSectionStart(kind)) + u" / "_s;
                banners += looks(document, reportSectionEnd(kind)) + u" / "_s;
            }
            banners += looks(document, u"İşlem Kaynağı:"_s);
        };
        showMonthlyReport(nullptr, month, year);

        QCOMPARE(m_desktop->modalDialogs, QStringList{u"Rapor"_s});
        QCOMPARE(g_strReportMonthName, monthName);
        QCOMPARE(g_strReportBanner, u"==== NORVA REZADO ==== "_s + monthName + u' ' + year +
                                        u" --- AYLIK GELİR VE GİDER RAPORU --- =========="_s);
        QCOMPARE(g_strReportText, QString::fromUtf8(golden(goldenFile)));
        QCOMPARE(shown, QString(g_strReportText).replace(u"\r\n"_s, u"\n"_s));
        QCOMPARE(banners, u"bold #008000 / bold #008000 / bold #ff0000 / bold #ff0000 / normal"_s);
    }

    void aDatabaseErrorGivesThePartialReport()
    {
        fillLedger();
        rawExec("DROP TABLE Firmalar");
        g_strReportBanner = reportBanner(u"MART"_s, u"2024"_s);
        const QString text = BuildMonthlyReport(3, 2024);
        expectBox(u"Norva Rezado 1.0"_s, u"no such table: Firmalar"_s, Desktop::Icon::None);
        // The head and the start of the income section: the first entry's lookup failed.
        const QStringList rows = QString::fromUtf8(golden(u"report-one-income.txt"_s)).split(u"\r\n"_s);
        QCOMPARE(text, rows.mid(0, 4).join(u"\r\n"_s) + u"\r\n"_s);
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
        g_strReportText = u"Düz satır\r\n"_s + reportSectionStart(u"Gider"_s) + u"\r\nson\r\n"_s;
        Rapor dialog;
        QTextEdit *edit = reportEdit(dialog);
        QTextDocument *document = edit->document();
        const QByteArray before = toRtf(*document);
        const int bannerStart = document->findBlockByNumber(1).position();
        const int bannerEnd = bannerStart + int(reportSectionStart(u"Gider"_s).size());
        const struct
        {
            int from, to;
            QString once;
        } ranges[] = {{0, 9, once}, {bannerStart, bannerEnd, bannerOnce}};
        for (const auto &range : ranges) {
            QTextCursor cursor(document);
            cursor.setPosition(range.from);
            cursor.setPosition(range.to, QTextCursor::KeepAnchor);
            edit->setTextCursor(cursor);
            trigger(dialog, action.constData());
            QCOMPARE(looks(document, range.from, range.to), range.once);
            trigger(dialog, action.constData());
        }
        QCOMPARE(toRtf(*document), before);

        // A selection only partly showing the effect gets it throughout.
        QTextCursor both(document);
        both.setPosition(0);
        both.setPosition(bannerEnd, QTextCursor::KeepAnchor);
        edit->setTextCursor(both);
        trigger(dialog, action.constData());
        QCOMPARE(looks(document, 0, 9), once);
        QVERIFY(looks(document, bannerStart, bannerEnd).startsWith(u"bold"_s));
    }

    void colourGoesToTheSelectionOrTheWordAtTheCaret()
    {
        g_strReportText = u"İşlem Kaynağı: Çınar Yapı\r\n"_s;
        Rapor dialog;
        QTextEdit *edit = reportEdit(dialog);
        QTextDocument *document = edit->document();
        QCOMPARE(dialog.findChild<QToolBar *>()->actions().size(), 21);

        QTextCursor caret(document);
        caret.setPosition(8); // inside "Kaynağı"
        edit->setTextCursor(caret);
        trigger(dialog, "koyuMavi");
        QCOMPARE(looks(document, 6, 13), u"normal #00008b"_s);
        QCOMPARE(looks(document, 0, 6), u"normal"_s);
        QCOMPARE(looks(document, 13, 26), u"normal"_s);

        QTextCursor selection(document);
        selection.setPosition(15);
        selection.setPosition(20, QTextCursor::KeepAnchor); // "Çınar"
        edit->setTextCursor(selection);
        trigger(dialog, "zeytinSarisi");
        QCOMPARE(looks(document, 15, 20), u"normal #cccc00"_s);
        QCOMPARE(looks(document, 20, 26), u"normal"_s);
    }

    void rtfOfASmallDocument()
    {
        QTextDocument document;
        document.setDefaultFont(QFont(u"DejaVu Sans"_s, 10));
        QTextCursor cursor(&document);
        const auto add = [&](const QString &text, auto style) {
            QTextCharFormat format;
            style(format);
            cursor.insertText(text, format);
        };
        add(u"Düz {metin} \\ yol\tsekme"_s, [](QTextCharFormat &) {});
        cursor.insertBlock();
        add(u"Kalın ĞÜŞİÖÇ ğüşıöç"_s, [](QTextCharFormat &f) { f.setFontWeight(QFont::Bold); });
        add(u" yatık"_s, [](QTextCharFormat &f) { f.setFontItalic(true); });
        add(u" altı"_s, [](QTextCharFormat &f) { f.setFontUnderline(true); });
        add(u" üstü"_s, [](QTextCharFormat &f) { f.setFontStrikeOut(true); });
        cursor.insertBlock();
        add(u"yeşil"_s, [](QTextCharFormat &f) { f.setForeground(QColor(0, 128, 0)); });
        add(u" kırmızı\u2028ikinci satır"_s, [](QTextCharFormat &f) { f.setForeground(QColor(255, 0, 0)); });
        add(u" yine yeşil 12 €, ½ → ✓ 😀"_s, [](QTextCharFormat &f) { f.setForeground(QColor(0, 128, 0)); });
        QCOMPARE(toRtf(document), golden(u"small.rtf"_s));
    }

    void savingWritesTheWholeFileOrNothing()
    {
        g_strReportText = u"Rapor metni, ŞUBAT\r\n"_s + reportSectionEnd(u"Gelir"_s) + u"\r\n"_s;
        Rapor dialog;
        const QByteArray rtf = toRtf(*reportEdit(dialog)->document());
        QVERIFY(dialog.findChild<QPushButton *>(u"rtfKaydet"_s)->isDefault());
        const auto save = [&](const QString &answer) {
            m_desktop->answerSave(answer);
            QTest::mouseClick(dialog.findChild<QPushButton *>(u"rtfKaydet"_s), Qt::LeftButton);
        };
        const QString path = m_ws->path() + u"/Şubat raporu.rtf"_s;

        save({}); // cancelled
        QCOMPARE(QDir(m_ws->path()).entryList(QDir::Files), QStringList{u"Norva.db"_s});
        const SaveFileRequest request = m_desktop->saveRequests.constFirst();
        const QDate today = QDate::currentDate();
        QCOMPARE(request.fileName,
                 QLocale::c().monthName(today.month()) + u'_' + QString::number(today.year()) + u"_Rapor.rtf"_s);
        QCOMPARE(request.filter, u"Rich Text Format (*.rtf);;Tüm Dosyalar (*.*)"_s);
        QCOMPARE(request.defaultSuffix, u"rtf"_s);

        save(path);
        expectBox(u"RTF Kaydet"_s, u"Dosya başarıyla kaydedildi: "_s + path, Desktop::Icon::Information);
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), rtf);
        written.close();

        // A write that fails half-way (the file size limit) leaves the old file whole.
        QVERIFY(written.open(QIODevice::WriteOnly));
        written.write("eski");
        written.close();
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit small{16, saved.rlim_max};
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        save(path);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        expectBox(u"Norva Rezado 1.0"_s, u"RTF içeriği dosyaya yazılırken bir hata oluştu."_s, Desktop::Icon::None);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), "eski"_ba);
        QCOMPARE(QDir(m_ws->path()).entryList(QDir::Files), (QStringList{u"Norva.db"_s, u"Şubat raporu.rtf"_s}));

        const QString nowhere = m_ws->path() + u"/yok/rapor.rtf"_s;
        save(nowhere);
        expectBox(u"Norva Rezado 1.0"_s, u"Dosya oluşturulamadı veya yazılamadı: "_s + nowhere, Desktop::Icon::None);
    }

    void enterBreaksTheLineAndEscapeCloses()
    {
        g_strReportText = u"ab"_s;
        Rapor dialog;
        dialog.show();
        QTextEdit *edit = reportEdit(dialog);
        QTextCursor cursor(edit->document());
        cursor.setPosition(1);
        edit->setTextCursor(cursor);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->toPlainText(), u"a\nb"_s);
        QVERIFY(dialog.isVisible());
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
