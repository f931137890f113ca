#include "CsvReader.h"

#include <QStringDecoder>

#include <utility>

using namespace Qt::StringLiterals;

CsvRead parseCsv(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes);
    if (decoder.hasError())
        return {{}, u"Dosya UTF-8 kodlamasında değil."_s};
    CsvRead read;
    QStringList row;
    QString value;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted && c == u'"' && text.mid(i + 1, 1) == u"\""_s)
            value += text.at(++i);
        else if (c == u'"')
            quoted = !quoted;
        else if (quoted || (c != u';' && c != u'\r' && c != u'\n'))
            value += c;
        else if (c != u'\r')
            row << std::exchange(value, {});
        if (!quoted && c == u'\n')
            read.rows << std::exchange(row, {});
    }
    if (quoted)
        return {{}, u"Açılan tırnak kapanmıyor."_s};
    if (!row.isEmpty() || !value.isEmpty())
        read.rows << (row << value);
    return read;
}
