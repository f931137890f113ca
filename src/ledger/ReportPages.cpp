#include "ledger/ReportPages.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// How far a wide report is made smaller before its rows wrap instead.
constexpr qreal kSmallest = 0.6;
// Room for what the width of a row in pieces and the width of the laid-out
// line may differ by (kerning between pieces).
constexpr qreal kRowSlack = 1.01;

// A font's metrics, with the advance of each character it has been asked for
// remembered: a row's characters added up are never narrower than the row
// shaped (kerning and ligatures only take away), and cost far less.
struct FontWidths
{
    QFont font;
    QFontMetricsF metrics;
    std::array<qreal, 0x180> common{}; // Latin and the Turkish letters; 0 until asked
    QHash<char16_t, qreal> rest;

    qreal characters(const QString &text)
    {
        qreal sum = 0;
        for (const QChar c : text) {
            const char16_t code = c.unicode();
            qreal &advance = code < common.size() ? common[code] : rest[code];
            if (advance == 0)
                advance = std::max(metrics.horizontalAdvance(c), qreal(1e-9)); // asked once, even for 0
            sum += advance;
        }
        return sum;
    }
};

// The width of the widest row in the device's pixels, each piece of it in its
// own font. A row is shaped only when its characters added up could make it
// the widest.
qreal widestRow(const QTextDocument &document, QPaintDevice &device)
{
    std::vector<std::unique_ptr<FontWidths>> fonts; // a report has a handful
    const auto widths = [&](const QFont &font) -> FontWidths & {
        for (const auto &known : fonts)
            if (known->font == font)
                return *known;
        fonts.push_back(std::make_unique<FontWidths>(FontWidths{font, QFontMetricsF(font, &device), {}, {}}));
        return *fonts.back();
    };
    const QFont base = document.defaultFont();
    qreal widest = 0;
    std::vector<std::pair<FontWidths *, QString>> pieces;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        pieces.clear();
        qreal atMost = 0;
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            FontWidths &font = widths(fragment.charFormat().font().resolve(base));
            pieces.emplace_back(&font, fragment.text());
            atMost += font.characters(pieces.back().second);
        }
        if (atMost * kRowSlack <= widest) // with room for a kerning pair that widens
            continue;
        qreal width = 0;
        for (const auto &[font, text] : pieces)
            width += font->metrics.horizontalAdvance(text);
        widest = std::max(widest, width);
    }
    return widest;
}

// Where each page starts in the document laid out as one long column: a row
// that would cross a page's end goes whole to the next page (one taller than
// a page stands alone on its own). The engine's own page breaks are not used:
// far into a long report they let a row straddle two pages, and the text of
// such a row would be painted on both.
std::vector<qreal> pageStarts(const QTextDocument &document, qreal pageHeight)
{
    std::vector<qreal> starts{0};
    const QAbstractTextDocumentLayout *layout = document.documentLayout();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const qreal blockTop = layout->blockBoundingRect(block).top();
        const QTextLayout *rows = block.layout();
        for (int i = 0; i < rows->lineCount(); ++i) {
            const QTextLine row = rows->lineAt(i);
            const qreal top = blockTop + row.y();
            if (top + row.height() > starts.back() + pageHeight && top > starts.back())
                starts.push_back(top);
        }
    }
    return starts;
}

} // namespace

QPageLayout reportPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

int paintReport(const QTextDocument &document, QPagedPaintDevice &device, const PageProgress &progress)
{
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    // Inside the margins, where the painter starts.
    const QSizeF area(device.width(), device.height());
    // Laid out anew for the device, so the viewer's own layout stays as it is.
    const std::unique_ptr<QTextDocument> pages(document.clone());
    pages->documentLayout()->setPaintDevice(&device);
    pages->setDocumentMargin(0);
    const qreal widest = widestRow(*pages, device) * kRowSlack;
    const qreal scale = widest > area.width() ? std::max(kSmallest, area.width() / widest) : 1.0;
    QFont footerFont = document.defaultFont(); // as large as the text above it
    if (footerFont.pointSizeF() > 0)
        footerFont.setPointSizeF(footerFont.pointSizeF() * scale);
    const qreal footerHeight = 2 * QFontMetricsF(footerFont, &device).height();
    const qreal bodyHeight = area.height() - footerHeight;
    const QSizeF page(area.width() / scale, bodyHeight / scale);
    pages->setTextWidth(page.width());
    const std::vector<qreal> starts = pageStarts(*pages, page.height());
    const int count = int(starts.size());

    int first = 1, last = count;
    if (auto *printer = dynamic_cast<QPrinter *>(&device); printer && printer->printRange() == QPrinter::PageRange) {
        first = std::max(first, printer->fromPage());
        last = std::min(last, printer->toPage());
    }

    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black); // paper is white, whatever the theme on screen
    for (int number = first; number <= last; ++number) {
        if (number != first)
            device.newPage();
        // Up to where the next page starts: its first row would be hidden by
        // the painter's clip, but the file would still hold its text. Rows
        // touch, and none is thinner than a pixel.
        const qreal top = starts[size_t(number - 1)];
        const qreal end = size_t(number) < starts.size() ? std::min(starts[size_t(number)], top + page.height())
                                                         : top + page.height();
        const QRectF view(0, top, page.width(), end - top);
        painter.save();
        painter.scale(scale, scale);
        painter.translate(0, -top);
        painter.setClipRect(view);
        context.clip = view.adjusted(0, 0.5, 0, -0.5);
        pages->documentLayout()->draw(&painter, context);
        painter.restore();

        painter.setFont(footerFont);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, bodyHeight, area.width(), footerHeight), Qt::AlignHCenter | Qt::AlignBottom,
                         u"Sayfa %1 / %2"_s.arg(number).arg(count));
        if (progress && !progress(number, count))
            return 0;
    }
    return count;
}

QByteArray reportPdf(const QTextDocument &document, const QString &title, const PageProgress &progress)
{
    QByteArray bytes;
    bool whole = false;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(kReportDotsPerInch);
        writer.setPageLayout(reportPageLayout());
        writer.setTitle(title);
        writer.setCreator(u"Norva Rezado"_s);
        whole = paintReport(document, writer, progress) > 0; // the file is complete when the painter ends
    }
    return whole ? bytes : QByteArray();
}
