#include "ledger/Rapor.h"

#include "data/Files.h"
#include "data/Kinds.h"
#include "data/MonthlyReport.h"
#include "ledger/ReportPages.h"
#include "ledger/RtfWriter.h"
#include "platform/Desktop.h"
#include "platform/FileTransfer.h"
#include "ui_Rapor.h"

#include <QDate>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QSaveFile>
#include <QTextBlock>
#include <QToolBar>

using namespace Qt::StringLiterals;

namespace {

constexpr QSize kImageSize(32, 31);

struct StyleButton
{
    Rapor::Effect effect;
    const char *name;
    char16_t letter;
    const char16_t *tip;
};

// The letters come from the Turkish words: Kalın, Altı çizili, Üstü çizili, Yatık.
// The tips are the program's own texts as they have always read, "mentnin" included.
const StyleButton kStyleButtons[] = {
    {Rapor::Effect::Bold, "kalin", u'K', u"Seçili metni kalınlaştırır"},
    {Rapor::Effect::Underline, "altiCizili", u'A', u"Seçili mentnin altını çizer"},
    {Rapor::Effect::StrikeOut, "ustuCizili", u'Ü', u"Seçili mentnin üzerini çizer"},
    {Rapor::Effect::Italic, "yatik", u'Y', u"Seçili mentni hafif yatırır"},
};

struct ColourButton
{
    const char *name;
    QRgb rgb;
};

const ColourButton kColourButtons[] = {
    {"siyah", qRgb(0, 0, 0)},          {"beyaz", qRgb(255, 255, 255)},      {"koyuYesil", qRgb(0, 100, 0)},
    {"yesil", qRgb(0, 255, 0)},        {"koyuKirmizi", qRgb(139, 0, 0)},    {"kirmizi", qRgb(255, 0, 0)},
    {"koyuMavi", qRgb(0, 0, 139)},     {"mavi", qRgb(0, 0, 255)},           {"civitMavisi", qRgb(75, 0, 130)},
    {"mor", qRgb(128, 0, 128)},        {"zeytinSarisi", qRgb(204, 204, 0)}, {"sari", qRgb(255, 255, 0)},
    {"solukGri", qRgb(105, 105, 105)}, {"koyuGri", qRgb(169, 169, 169)},
};

QPixmap styleImage(const StyleButton &button, const QFont &base, const QColor &ink)
{
    QPixmap image(kImageSize);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = base;
    font.setPixelSize(20);
    font.setBold(button.effect == Rapor::Effect::Bold);
    font.setUnderline(button.effect == Rapor::Effect::Underline);
    font.setStrikeOut(button.effect == Rapor::Effect::StrikeOut);
    font.setItalic(button.effect == Rapor::Effect::Italic);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(image.rect(), Qt::AlignCenter, QString(QChar(button.letter)));
    return image;
}

QPixmap swatchImage(QRgb rgb, const QColor &frame)
{
    QPixmap image(kImageSize);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(frame, 1));
    painter.setBrush(QColor(rgb));
    painter.drawRoundedRect(QRectF(6.5, 6.5, 19, 18), 3, 3); // framed, so white and yellow show too
    return image;
}

bool hasEffect(const QTextCharFormat &format, Rapor::Effect effect)
{
    switch (effect) {
    case Rapor::Effect::Bold: return format.fontWeight() > QFont::Normal;
    case Rapor::Effect::Underline: return format.fontUnderline();
    case Rapor::Effect::StrikeOut: return format.fontStrikeOut();
    case Rapor::Effect::Italic: return format.fontItalic();
    }
    return false;
}

// Whether every character of the selection shows the effect: a selection
// only partly bold is made bold, as word processors do.
bool selectionHasEffect(const QTextCursor &cursor, Rapor::Effect effect)
{
    const int start = cursor.selectionStart(), end = cursor.selectionEnd();
    for (QTextBlock block = cursor.document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= start || fragment.position() >= end)
                continue;
            if (!hasEffect(fragment.charFormat(), effect))
                return false;
        }
    }
    return true;
}

// Rows 4 and 17 of both sections, bold in the colour of their kind.
void colourBanners(QTextDocument *document)
{
    const struct
    {
        QString text;
        QColor colour;
    } banners[] = {
        {reportSectionStart(ledger::income()), QColor(0, 128, 0)},
        {reportSectionStart(ledger::expense()), QColor(255, 0, 0)},
        {reportSectionEnd(ledger::income()), QColor(0, 128, 0)},
        {reportSectionEnd(ledger::expense()), QColor(255, 0, 0)},
    };
    for (const auto &banner : banners) {
        QTextCursor found = document->find(banner.text, 0, QTextDocument::FindCaseSensitively);
        if (found.isNull())
            continue;
        QTextCharFormat format;
        format.setFontWeight(QFont::Bold);
        format.setForeground(banner.colour);
        found.mergeCharFormat(format);
    }
}

// Named after the day of saving, with the month in English: December_2026_Rapor.rtf.
QString savingDayFileName(const QString &suffix)
{
    const QDate today = QDate::currentDate();
    return u"%1_%2_Rapor.%3"_s.arg(QLocale::c().monthName(today.month()), QString::number(today.year()), suffix);
}

} // namespace

Rapor::Rapor(const MonthlyReport &report, QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::Rapor>())
{
    ui->setupUi(this);
    createToolBar();
    if (!report.monthName.isEmpty())
        m_month = (report.monthName + u' ' + report.yearText).trimmed();
    m_title = m_month.isEmpty() ? windowTitle() : windowTitle() + u" - "_s + m_month;

    QTextDocument *document = ui->rapor->document();
    ui->rapor->setPlainText(report.text);
    // The colouring is part of the report, not an edit the user could undo.
    document->setUndoRedoEnabled(false);
    colourBanners(document);
    document->setUndoRedoEnabled(true);

    connect(ui->rtfKaydet, &QPushButton::clicked, this, &Rapor::OnRtfKaydet);
    connect(ui->pdfKaydet, &QPushButton::clicked, this, &Rapor::OnPdfKaydet);
    connect(ui->yazdir, &QPushButton::clicked, this, &Rapor::OnYazdir);
    connect(ui->kapat, &QPushButton::clicked, this, &QDialog::reject);
    ui->rapor->setFocus();
}

Rapor::~Rapor() = default;

void Rapor::createToolBar()
{
    auto *bar = new QToolBar(this);
    bar->setObjectName(u"araclar"_s);
    bar->setIconSize(kImageSize);
    bar->setMovable(false);
    bar->setStyleSheet(u"QToolBar { border-bottom: 1px solid palette(mid); }"_s);
    const QColor ink = palette().color(QPalette::ButtonText);
    const QColor frame = palette().color(QPalette::Dark);

    bar->addSeparator();
    for (const StyleButton &button : kStyleButtons) {
        QAction *action = bar->addAction(QIcon(styleImage(button, font(), ink)), QString(QChar(button.letter)));
        action->setObjectName(QString::fromLatin1(button.name));
        action->setToolTip(QString::fromUtf16(button.tip));
        const Effect effect = button.effect;
        connect(action, &QAction::triggered, this, [this, effect] { ToggleSelectionEffect(effect); });
    }
    bar->addSeparator();
    for (const ColourButton &button : kColourButtons) {
        QAction *action = bar->addAction(QIcon(swatchImage(button.rgb, frame)), QString());
        action->setObjectName(QString::fromLatin1(button.name));
        action->setData(QColor(button.rgb));
        const QColor colour(button.rgb);
        connect(action, &QAction::triggered, this, [this, colour] { SetWordTextColor(colour); });
    }
    bar->addSeparator();
    ui->outer->insertWidget(0, bar);
}

void Rapor::ToggleSelectionEffect(Effect effect)
{
    const QTextCursor cursor = ui->rapor->textCursor();
    const bool on =
        cursor.hasSelection() ? selectionHasEffect(cursor, effect) : hasEffect(ui->rapor->currentCharFormat(), effect);
    QTextCharFormat change; // names only this effect, so nothing else changes
    switch (effect) {
    case Effect::Bold: change.setFontWeight(on ? QFont::Normal : QFont::Bold); break;
    case Effect::Underline: change.setFontUnderline(!on); break;
    case Effect::StrikeOut: change.setFontStrikeOut(!on); break;
    case Effect::Italic: change.setFontItalic(!on); break;
    }
    ui->rapor->mergeCurrentCharFormat(change); // the selection, or what is typed next
}

void Rapor::SetWordTextColor(const QColor &colour)
{
    QTextCharFormat change;
    change.setForeground(colour);
    QTextCursor cursor = ui->rapor->textCursor();
    if (!cursor.hasSelection())
        cursor.select(QTextCursor::WordUnderCursor);
    if (cursor.hasSelection())
        cursor.mergeCharFormat(change);
    else
        ui->rapor->mergeCurrentCharFormat(change); // no word at the caret: what is typed next
}

void Rapor::OnRtfKaydet()
{
    SaveFileRequest request;
    request.fileName = savingDayFileName(u"rtf"_s);
    request.filter = u"Rich Text Format (*.rtf);;Tüm Dosyalar (*.*)"_s;
    request.defaultSuffix = u"rtf"_s;
    const QString path = Desktop::current().saveFileName(this, request);
    if (path.isEmpty())
        return;

    // Written beside the file and put in its place whole: a failed save
    // leaves a file that was there as it was. Owner-only from the first byte:
    // the report holds names, addresses and amounts.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner)) {
        Desktop::current().applicationBox(u"Dosya oluşturulamadı veya yazılamadı: "_s + path);
        return;
    }
    const QByteArray rtf = toRtf(*ui->rapor->document());
    // flush() first: commit() would put a file whose last write failed in
    // place all the same. Without a commit the temporary file goes.
    if (file.write(rtf) != rtf.size() || !file.flush() || !file.commit()) {
        Desktop::current().applicationBox(u"RTF içeriği dosyaya yazılırken bir hata oluştu."_s);
        return;
    }
    Desktop::current().messageBox(this, u"RTF Kaydet"_s, u"Dosya başarıyla kaydedildi: "_s + path,
                                  Desktop::Icon::Information, Desktop::Buttons::Ok);
}

void Rapor::OnPdfKaydet()
{
    SaveFileRequest request;
    // Named after the month it reports, as its title line writes it: MART_2032_Rapor.pdf.
    request.fileName =
        m_month.isEmpty() ? savingDayFileName(u"pdf"_s) : QString(m_month).replace(u' ', u'_') + u"_Rapor.pdf"_s;
    request.filter = u"PDF Dosyası (*.pdf);;Tüm Dosyalar (*.*)"_s;
    request.defaultSuffix = u"pdf"_s;
    Desktop &desktop = Desktop::current();
    const QString path = desktop.saveFileName(this, request);
    if (path.isEmpty())
        return;
    // A month of thousands of entries takes a few seconds: its pages are
    // counted off, and "İptal" stops without writing anything.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QProgressDialog progress(u"Rapor PDF olarak hazırlanıyor..."_s, u"İptal"_s, 0, 0, this);
    progress.setWindowTitle(u"PDF Kaydet"_s);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const QByteArray pdf = reportPdf(*ui->rapor->document(), m_title, [&progress](int page, int count) {
        progress.setMaximum(count);
        progress.setValue(page);
        return !progress.wasCanceled();
    });
    progress.close();
    QGuiApplication::restoreOverrideCursor();
    if (pdf.isEmpty())
        return; // cancelled: nothing written
    if (const std::optional<files::Failure> failure = files::writeWhole(path, pdf)) {
        desktop.applicationBox(fileFailureText(*failure), Desktop::Icon::Error);
        return;
    }
    desktop.messageBox(this, u"PDF Kaydet"_s, u"Dosya başarıyla kaydedildi: "_s + path, Desktop::Icon::Information,
                       Desktop::Buttons::Ok);
}

void Rapor::OnYazdir()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(kReportDotsPerInch);
    printer.setPageLayout(reportPageLayout());
    printer.setDocName(m_title);
    printer.setCreator(u"Norva Rezado"_s);
    // The preview and the printer get the pages the PDF gets.
    QPrintPreviewDialog preview(&printer, this);
    preview.resize(size()); // a page large enough to read, over the report
    const QTextDocument *document = ui->rapor->document();
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [document](QPrinter *target) { paintReport(*document, *target); });
    Desktop::current().runModal(preview);
}
