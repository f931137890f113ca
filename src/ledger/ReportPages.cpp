#include "ledger/ReportPages.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QRawFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <cmath>
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

// Whether a character is drawn as its own glyph, one after the other, with
// no shaping: the Latin letters (Turkish among them), digits, punctuation and
// the currency signs. Marks that combine, other scripts, tabs and the
// invisible characters go through the full text layout.
bool plainCharacter(char16_t c)
{
    return (c >= 0x20 && c < 0x7f) || (c >= 0xa0 && c < 0x2b0 && c != 0xad) || (c >= 0x2010 && c <= 0x2027) ||
           (c >= 0x2030 && c <= 0x205e) || (c >= 0x20a0 && c <= 0x20c0);
}

// One font of the report as the device sizes it: its glyphs, its heights, and
// the advance of each character it has been asked for. A row's characters
// added up are never narrower than the row shaped (kerning only takes away,
// bar a pair now and then), and cost far less.
struct Face
{
    Face(const QFont &asked, QPaintDevice &device)
        : font(asked), sized(asked, &device), metrics(sized), raw(QRawFont::fromFont(sized))
    {}

    QFont font; // as the document gives it
    QFont sized;
    QFontMetricsF metrics;
    QRawFont raw;
    std::array<qreal, 0x180> common{}; // Latin and the Turkish letters; 0 until asked
    QHash<char16_t, qreal> rest;

    // The width of `text` character by character; negative when a character
    // of it needs shaping or a font of its own.
    qreal characters(QStringView text)
    {
        qreal sum = 0;
        bool plain = true;
        for (const QChar c : text) {
            const char16_t code = c.unicode();
            qreal &advance = code < common.size() ? common[code] : rest[code];
            if (advance == 0) {
                const bool drawn = plainCharacter(code) && raw.supportsCharacter(c);
                const qreal width = std::max(metrics.horizontalAdvance(c), qreal(1e-9)); // asked once, even for 0
                advance = drawn ? width : -width;
            }
            plain = plain && advance > 0;
            sum += std::abs(advance);
        }
        return plain ? sum : -sum;
    }
};

// The handful of fonts a report uses, each known by the format that asks for it.
class Faces
{
public:
    Faces(const QTextDocument &document, QPaintDevice &device) : m_base(document.defaultFont()), m_device(device) {}

    Face &of(const QTextCharFormat &format)
    {
        const QFont font = format.font().resolve(m_base);
        for (const auto &known : m_faces)
            if (known->font == font)
                return *known;
        m_faces.push_back(std::make_unique<Face>(font, m_device));
        return *m_faces.back();
    }

private:
    QFont m_base;
    QPaintDevice &m_device;
    std::vector<std::unique_ptr<Face>> m_faces;
};

// A block of the document as the pages take it: one line of plain characters
// that is drawn glyph by glyph, or, for a row that wraps or needs shaping,
// laid out in full.
struct Row
{
    QTextBlock block;
    qreal top = 0;
    qreal height = 0;   // of its one line
    qreal baseline = 0; // below its top
    std::unique_ptr<QTextLayout> layout;
};

// A line on the pages: of a row, and which of its laid-out lines (0 for a row of one).
struct Line
{
    qsizetype row;
    int index;
    qreal top;
};

// The height the text layout gives a line: its tallest ascent, descent and
// leading added up, rounded up to a whole pixel.
qreal lineHeight(qreal ascent, qreal descent, qreal leading)
{
    return std::ceil(ascent + descent + std::max(leading, qreal(0)));
}

// The report's blocks measured for pages `width` wide: plain rows take their
// characters' advances, the rest are laid out as the document would.
class Measure
{
public:
    Measure(const QTextDocument &document, QPaintDevice &device) : m_document(document), m_faces(document, device) {}

    // The widest row in the device's pixels, each piece in its own font. A
    // row is shaped only when its characters added up could make it the
    // widest.
    qreal widest()
    {
        qreal widest = 0;
        std::vector<std::pair<Face *, QString>> pieces;
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
            Block &measured = m_blocks.emplace_back();
            const auto take = [&measured](const Face &face) {
                measured.ascent = std::max(measured.ascent, face.raw.ascent());
                measured.descent = std::max(measured.descent, face.raw.descent());
                measured.leading = std::max(measured.leading, face.raw.leading());
            };
            if (block.length() <= 1)
                take(m_faces.of(block.charFormat()));
            pieces.clear();
            for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                Face &face = m_faces.of(fragment.charFormat());
                pieces.emplace_back(&face, fragment.text());
                const qreal width = face.characters(pieces.back().second);
                measured.atMost += std::abs(width);
                measured.plain = measured.plain && width >= 0;
                take(face);
            }
            if (measured.atMost * kRowSlack <= widest) // with room for a kerning pair that widens
                continue;
            qreal width = 0;
            for (const auto &[face, text] : pieces)
                width += face->metrics.horizontalAdvance(text);
            widest = std::max(widest, width);
        }
        return widest;
    }

    // Every row, and every line on the pages, for rows `width` wide.
    void rows(qreal width, QPaintDevice &device, std::vector<Row> &rows, std::vector<Line> &lines)
    {
        rows.reserve(m_blocks.size());
        qreal top = 0;
        qsizetype number = 0;
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next(), ++number) {
            const Block &measured = m_blocks[size_t(number)];
            Row &row = rows.emplace_back();
            row.block = block;
            row.top = top;
            if (measured.plain && measured.atMost * kRowSlack <= width) {
                row.height = lineHeight(measured.ascent, measured.descent, measured.leading);
                row.baseline = measured.ascent;
                lines.push_back({number, 0, top});
                top += row.height;
                continue;
            }
            row.layout = laidOut(block, width, device);
            for (int i = 0; i < row.layout->lineCount(); ++i) {
                lines.push_back({number, i, top});
                top += row.layout->lineAt(i).height();
            }
        }
    }

    Faces &faces() { return m_faces; }

private:
    std::unique_ptr<QTextLayout> laidOut(const QTextBlock &block, qreal width, QPaintDevice &device) const
    {
        auto layout = std::make_unique<QTextLayout>(block.text(), m_document.defaultFont(), &device);
        QList<QTextLayout::FormatRange> formats;
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            formats.append({fragment.position() - block.position(), fragment.length(), fragment.charFormat()});
        }
        layout->setFormats(formats);
        QTextOption option = m_document.defaultTextOption();
        option.setAlignment(Qt::AlignLeft);
        layout->setTextOption(option);
        layout->beginLayout();
        qreal y = 0;
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLeadingIncluded(true);
            line.setLineWidth(width);
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        layout->endLayout();
        return layout;
    }

    const QTextDocument &m_document;
    Faces m_faces;
    // What the first walk learnt of each block.
    struct Block
    {
        qreal atMost = 0; // its characters' advances added up
        bool plain = true;
        qreal ascent = 0, descent = 0, leading = 0;
    };
    std::vector<Block> m_blocks;
};

// Where each page starts: a line that would cross a page's end goes whole to
// the next page (one taller than a page stands alone on its own).
std::vector<qsizetype> pageStarts(const std::vector<Row> &rows, const std::vector<Line> &lines, qreal pageHeight)
{
    std::vector<qsizetype> starts{0};
    qreal start = 0;
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        const Line &line = lines[size_t(i)];
        const Row &row = rows[size_t(line.row)];
        const qreal height = row.layout ? row.layout->lineAt(line.index).height() : row.height;
        if (line.top + height > start + pageHeight && line.top > start) {
            starts.push_back(i);
            start = line.top;
        }
    }
    return starts;
}

// Draws a plain row glyph by glyph, piece by piece, each in its font and colour.
void drawPlain(QPainter &painter, Faces &faces, const Row &row, qreal y)
{
    qreal x = 0;
    QList<quint32> glyphs;
    QList<QPointF> advances, positions;
    for (QTextBlock::iterator it = row.block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        const Face &face = faces.of(format);
        const QString text = fragment.text();
        int count = int(text.size());
        glyphs.resize(count);
        face.raw.glyphIndexesForChars(text.constData(), int(text.size()), glyphs.data(), &count);
        glyphs.resize(count);
        advances.resize(count);
        face.raw.advancesForGlyphIndexes(glyphs.constData(), advances.data(), count, QRawFont::KernedAdvances);
        positions.resize(count);
        qreal along = 0;
        for (int g = 0; g < count; ++g) {
            positions[g] = QPointF(along, 0);
            along += advances[g].x();
        }
        QGlyphRun run;
        run.setRawFont(face.raw);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        run.setUnderline(format.fontUnderline());
        run.setStrikeOut(format.fontStrikeOut());
        run.setOverline(format.fontOverline());
        const QBrush ink = format.foreground();
        painter.setPen(ink.style() == Qt::NoBrush ? QColor(Qt::black) : ink.color());
        painter.drawGlyphRun(QPointF(x, y + row.baseline), run);
        x += along;
    }
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
    Measure measure(document, device);
    const qreal widest = measure.widest() * kRowSlack;
    const qreal scale = widest > area.width() ? std::max(kSmallest, area.width() / widest) : 1.0;
    QFont footerFont = document.defaultFont(); // as large as the text above it
    if (footerFont.pointSizeF() > 0)
        footerFont.setPointSizeF(footerFont.pointSizeF() * scale);
    const qreal footerHeight = 2 * QFontMetricsF(footerFont, &device).height();
    const qreal bodyHeight = area.height() - footerHeight;
    const QSizeF page(area.width() / scale, bodyHeight / scale);
    std::vector<Row> rows;
    std::vector<Line> lines;
    measure.rows(page.width(), device, rows, lines);
    const std::vector<qsizetype> starts = pageStarts(rows, lines, page.height());
    const int count = int(starts.size());

    int first = 1, last = count;
    if (auto *printer = dynamic_cast<QPrinter *>(&device); printer && printer->printRange() == QPrinter::PageRange) {
        first = std::max(first, printer->fromPage());
        last = std::min(last, printer->toPage());
    }

    for (int number = first; number <= last; ++number) {
        if (number != first)
            device.newPage();
        const qsizetype from = starts[size_t(number - 1)];
        const qsizetype to = size_t(number) < starts.size() ? starts[size_t(number)] : qsizetype(lines.size());
        const qreal top = from < qsizetype(lines.size()) ? lines[size_t(from)].top : 0;
        painter.save();
        painter.scale(scale, scale);
        for (qsizetype i = from; i < to; ++i) {
            const Line &line = lines[size_t(i)];
            const Row &row = rows[size_t(line.row)];
            if (row.layout) {
                painter.setPen(Qt::black); // paper is white, whatever the theme on screen
                row.layout->lineAt(line.index).draw(&painter, QPointF(0, row.top - top));
            } else if (row.block.length() > 1) {
                drawPlain(painter, measure.faces(), row, line.top - top);
            }
        }
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
