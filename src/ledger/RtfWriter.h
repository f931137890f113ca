#pragma once

#include <QByteArray>

class QTextDocument;

// The document as an RTF 1.x file that word processors read with the same
// look: its paragraphs and line breaks, fonts and sizes, bold, italic,
// underline, strike-out and text colours. Text outside ASCII is written as
// \uN with a Windows-1254 fallback byte, so Turkish letters survive in
// readers that know only the code page.
QByteArray toRtf(const QTextDocument &document);
