#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QTextDocument;

// The page a report goes on, for the PDF and the printer alike: A4 upright,
// 15 mm margins.
QPageLayout reportPageLayout();

// The resolution a report is laid out at. The text layout counts in fixed
// point that ends near 33 million units: at 300 dots an inch that is 6,000
// pages or more, at the printer's usual 1,200 a month of 10,000 entries
// would not fit.
inline constexpr int kReportDotsPerInch = 300;

// Told after each page is painted, with its number and how many pages the
// report takes; false stops the painting there.
using PageProgress = std::function<bool(int page, int count)>;

// Paints the report on the pages of `device` as its page layout gives them:
// the document as the viewer shows it (fonts, styles, colours; black where no
// colour was set, whatever the screen's theme), made smaller, down to
// three-fifths, when its widest row would not fit the width otherwise, and
// "Sayfa 2 / 5" at the foot of every page. A printer asked for some pages
// gets those. The rows are read from the document itself, neither copied nor
// laid out by it: one walk measures them and breaks the pages, then each page
// is laid out and painted in turn, a row of plain letters glyph by glyph and
// any other row as the text layout makes it. The number of pages the report
// takes; 0 when the device cannot be painted on or `progress` stopped it.
int paintReport(const QTextDocument &document, QPagedPaintDevice &device, const PageProgress &progress = {});

// The report as a PDF file's bytes, `title` in the file's properties and the
// fonts embedded; empty when `progress` stopped it.
QByteArray reportPdf(const QTextDocument &document, const QString &title, const PageProgress &progress = {});
